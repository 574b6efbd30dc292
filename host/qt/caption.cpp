#include "host/qt/caption.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>
#include <optional>

#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/units.h"
#include "values/error.h"

namespace kestrinx::qthost {

namespace {

// A label's own alignment, which QLabel paints its text with.
constexpr Qt::Alignment kAlignment = Qt::AlignLeft | Qt::AlignVCenter;

}  // namespace

Caption::Caption(QWidget& surface, const std::string& caption, const Placed& at)
    : surface_(surface), text_(toQString(caption)), font_(std::make_shared<values::Font>()) {
  installFontSubstitutions();
  place(at.left, at.top, at.width, at.height);
}

std::string Caption::caption() const { return utf8_.of(text_); }

// Every set re-sizes, also one that keeps the caption.
void Caption::setCaption(const std::string& v) {
  text_ = toQString(v);
  autoSize();
  repaint();  // a new text in the same rectangle
  if (textHook_) textHook_(text_);
}

void Caption::setForeColor(OleColor v) {
  foreColor_ = v;
  if (visible_) surface_.update(pixelRect());
}

void Caption::setFont(values::FontRef v) {
  if (!v) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(v);
  autoSize();
  repaint();
}

void Caption::setVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  surface_.update(pixelRect());
}

void Caption::repaint() {
  if (visible_) surface_.update(pixelRect());
}

QColor Caption::color() const { return toQColor(foreColor_, surface_.palette()); }

void Caption::paint(QPainter& painter) const {
  if (!visible_ || text_.isEmpty()) return;
  // The text is drawn with the palette's window text brush: the surface's own palette when that
  // is already the caption's colour, else a copy holding the colour.
  const QPalette& own = surface_.palette();
  const QColor c = color();
  const QBrush& text = own.brush(QPalette::WindowText);
  std::optional<QPalette> recoloured;
  if (text.style() != Qt::SolidPattern || text.color() != c) {
    recoloured.emplace(own);
    recoloured->setColor(QPalette::WindowText, c);
  }
  painter.setFont(toQFont(*font_));
  const Qt::Alignment align = QStyle::visualAlignment(text_.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight, kAlignment);
  surface_.style()->drawItemText(&painter, pixelRect(), static_cast<int>(align) | Qt::TextExpandTabs,
                                 recoloured ? *recoloured : own, true, text_, QPalette::WindowText);
}

// Only a move or resize paints again: a layout that runs while the surface paints places the
// caption where it stands, and an update asked for then would be one more paint, each asking for
// the next.
void Caption::placed(const QRect& /*before*/) {
  const QRect now = pixelRect();
  if (now == shown_) return;
  if (visible_) surface_.update(shown_.united(now));
  shown_ = now;
}

void Caption::autoSize() {
  const QSize size = extent_.of(text_, toQFont(*font_), surface_, kAlignment);
  place(left_, top_, toTwipsX(surface_, size.width()), toTwipsY(surface_, size.height()));
}

}  // namespace kestrinx::qthost
