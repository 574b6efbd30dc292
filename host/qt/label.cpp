#include "host/qt/label.h"

#include <QApplication>
#include <QLabel>

#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"
#include "values/error.h"

namespace kestrinx::qthost {

namespace {

// Whether QLabel's size hint of `l` is the bounding rectangle of its text alone: a caption (plain
// text on one or more lines, no frame, margin, indent, minimum size, buddy or style sheet).
bool isPlainCaption(const QLabel& l, const QString& text) {
  return !text.isEmpty() && l.textFormat() == Qt::PlainText && !l.wordWrap() && l.frameShape() == QFrame::NoFrame &&
         l.margin() == 0 && l.indent() < 0 && l.contentsMargins().isNull() && l.minimumSize().isNull() &&
         l.buddy() == nullptr && !l.testAttribute(Qt::WA_StyleSheet);
}

}  // namespace

// QLabel::sizeHint: for a caption, its text's extent (measured once for the same text, font,
// alignment and DPI; QLabel lays its text out three times for its two hints); any other label
// is asked itself.
QSize Label::sizeHint() {
  QLabel& l = *label_;
  l.ensurePolished();  // as QLabel does first: polishing may change font and margins
  const QString text = l.text();
  if (!isPlainCaption(l, text)) return l.sizeHint();
  return extent_.of(text, l.font(), l, l.alignment());
}

Label::Label(QWidget& surface, const std::string& caption) : Label(surface, caption, Placed{}) { autoSize(); }

Label::Label(QWidget& surface, const std::string& caption, const Placed& at)
    : label_(new QLabel(&surface)), font_(std::make_shared<values::Font>()) {
  installFontSubstitutions();
  label_->setTextFormat(Qt::PlainText);
  label_->setFont(toQFont(*font_));
  setForeColor(foreColor_);
  if (!caption.empty()) label_->setText(toQString(caption));
  place(at.left, at.top, at.width, at.height);
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
  setPaletteUnlessSame(*label_, p);
}

void Label::setFont(values::FontRef v) {
  if (!v) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(v);
  label_->setFont(toQFont(*font_));
  autoSize();
}

void Label::autoSize() {
  const QSize hint = sizeHint();
  place(left_, top_, toTwipsX(*label_, hint.width()), toTwipsY(*label_, hint.height()));
}

}  // namespace kestrinx::qthost
