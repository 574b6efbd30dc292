#include "host/qt/label.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>

#include "host/error.h"
#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/strings.h"

namespace kestrinx::qthost {

namespace {

// QLabel::sizeHint, measured once. A QLabel computes both its hints together, laying its text
// out three times; a caption (plain text on one or more lines, no frame, margin, indent,
// minimum size, buddy or style sheet) needs only the one layout its size hint comes from. Any
// other label is asked itself.
QSize sizeHintOf(const QLabel& l) {
  l.ensurePolished();  // as QLabel does first: polishing may change font and margins
  const QString text = l.text();
  const bool caption = !text.isEmpty() && l.textFormat() == Qt::PlainText && !l.wordWrap() &&
                       l.frameShape() == QFrame::NoFrame && l.margin() == 0 && l.indent() < 0 &&
                       l.contentsMargins().isNull() && l.minimumSize().isNull() && l.buddy() == nullptr &&
                       !l.testAttribute(Qt::WA_StyleSheet);
  if (!caption) return l.sizeHint();
  // As QLabel measures: tabs expanded, centring left out (it only places the text).
  const Qt::Alignment align = QStyle::visualAlignment(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight,
                                                      l.alignment()) &
                              ~(Qt::AlignVCenter | Qt::AlignHCenter);
  return l.fontMetrics().boundingRect(0, 0, 2000, 2000, static_cast<int>(align) | Qt::TextExpandTabs, text).size();
}

}  // namespace

Label::Label(QWidget& surface, const std::string& caption)
    : label_(new QLabel(&surface)), font_(std::make_shared<host::Font>()) {
  installFontSubstitutions();
  label_->setTextFormat(Qt::PlainText);
  label_->setFont(toQFont(*font_));
  setForeColor(foreColor_);
  if (!caption.empty()) label_->setText(toQString(caption));
  autoSize();
}

Label::~Label() { delete label_.data(); }

QLabel& Label::qlabel() const { return *label_; }
QWidget& Label::widget() const { return *label_; }

std::string Label::caption() const { return caption_.of(label_->text()); }

// Every set re-sizes, also one that keeps the caption.
void Label::setCaption(const std::string& v) {
  label_->setText(toQString(v));
  autoSize();
}

void Label::setForeColor(OleColor v) {
  foreColor_ = v;
  QPalette p = label_->palette();
  const QColor c = toQColor(v, QApplication::palette(label_));
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) p.setColor(g, QPalette::WindowText, c);
  // The same colour again changes nothing (a control reading its properties sets it again).
  const QPalette& now = label_->palette();
  if (label_->testAttribute(Qt::WA_SetPalette) && p == now && p.resolveMask() == now.resolveMask()) return;
  label_->setPalette(p);
}

void Label::setFont(host::FontRef v) {
  if (!v) host::raiseError(host::err::ObjectRequired);
  font_ = std::move(v);
  label_->setFont(toQFont(*font_));
  autoSize();
}

void Label::autoSize() {
  const QSize hint = sizeHintOf(*label_);
  place(left_, top_, toTwipsX(*label_, hint.width()), toTwipsY(*label_, hint.height()));
}

}  // namespace kestrinx::qthost
