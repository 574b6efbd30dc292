// The size a label's plain text takes, as QLabel's size hint measures it: the bounding
// rectangle of the text in its font (tabs expanded; lines broken only where the text breaks
// them; the alignment's centring left out, which only places the text; an empty text one
// average character wide and a line high). The same text in the same font, alignment and DPI
// is not measured again (a control sets its caption, then its caption font again as it was).
#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

namespace kestrinx::qthost {

class TextExtent {
 public:
  // The size of `text` in `font` on `device` (its DPI and layout direction), aligned by `align`.
  QSize of(const QString& text, const QFont& font, const QWidget& device, Qt::Alignment align);

 private:
  struct Measured {
    QString text;
    QFont font;
    int flags = 0;
    int dpi = 0;
    QSize size;
  };
  std::optional<Measured> measured_;
};

}  // namespace kestrinx::qthost
