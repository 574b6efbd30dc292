#include "host/qt/label.h"

#include <QApplication>
#include <QLabel>

#include "host/error.h"
#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/strings.h"

namespace kestrinx::qthost {

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

std::string Label::caption() const { return toStdString(label_->text()); }

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
  const QSize hint = label_->sizeHint();
  place(left_, top_, toTwipsX(*label_, hint.width()), toTwipsY(*label_, hint.height()));
}

}  // namespace kestrinx::qthost
