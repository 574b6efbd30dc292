#include "host/qt/text_extent.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

#include "host/qt/units.h"

namespace kestrinx::qthost {

QSize TextExtent::of(const QString& text, const QFont& font, const QWidget& device, Qt::Alignment align) {
  // As QLabel measures: the visual alignment without its centring, tabs expanded.
  const Qt::LayoutDirection direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
  const Qt::Alignment visual = QStyle::visualAlignment(direction, align) & ~(Qt::AlignVCenter | Qt::AlignHCenter);
  const int flags = static_cast<int>(visual) | Qt::TextExpandTabs;
  const int dpi = logicalDpiY(device);
  if (measured_ && measured_->text == text && measured_->flags == flags && measured_->dpi == dpi &&
      measured_->font == font)
    return measured_->size;
  const QFontMetrics fm(font, &device);
  // An empty label is one average character wide and one line high.
  const QSize size = text.isEmpty() ? QSize(fm.averageCharWidth(), fm.height())
                                    : fm.boundingRect(0, 0, 2000, 2000, flags, text).size();
  measured_ = Measured{text, font, flags, dpi, size};
  return size;
}

}  // namespace kestrinx::qthost
