// A control's caption on the Qt host: a windowless label element on the control's surface. It
// paints its text on the surface widget, in its font (LabelFont), colour (LabelForeColor) and a
// label's alignment (left, centred vertically), and sizes itself to its text exactly as the
// label widget does (QLabel's size hint: host/qt/text_extent.h); hidden, it paints nothing.
// An RGB colour is painted as it is; a system colour (the default, button text, among them) is
// the surface widget's palette's, so a palette or a style sheet's colour set on the control's
// widget reaches the caption. The element is no widget of its own: a control is one widget
// plus its box, as a label and line edit pair is two.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "host/qt/element.h"
#include "host/qt/strings.h"
#include "host/qt/text_extent.h"
#include "host/widgets.h"
#include "values/objects.h"
#include "values/types.h"

class QPainter;

namespace kestrinx::qthost {

using values::OleColor;

class Caption final : public Element<host::Label> {
 public:
  // A rectangle in twips.
  struct Placed {
    Twips left = 0, top = 0, width = 0, height = 0;
  };
  // A caption showing `caption` on `surface` in the rectangle `at`, not sized to it (a control's
  // design stands its caption so at once, whatever size the caption would take).
  Caption(QWidget& surface, const std::string& caption, const Placed& at);

  std::string caption() const override;
  void setCaption(const std::string& v) override;  // sizes the caption to its text
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override;
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef v) override;  // error 424 for no font; sizes the caption
  void setVisible(bool v) override;

  // Told the text each time the caption is set (the site names the boxes by it).
  void setTextHook(std::function<void(const QString&)> hook) { textHook_ = std::move(hook); }
  // The text, the colour it paints in, and where it paints, in the surface's pixels.
  const QString& text() const { return text_; }
  QColor color() const;
  using Element<host::Label>::pixelRect;
  // Paints the caption (the surface widget is painting).
  void paint(QPainter& painter) const;

 private:
  QWidget& widget() const override { return surface_; }
  QWidget* madeWidget() const override { return nullptr; }  // nothing to place: it is painted
  void placed(const QRect& before) override;
  void autoSize();
  void repaint();  // the caption's rectangle painted again, while it shows

  QWidget& surface_;
  QString text_;
  mutable Utf8Cache utf8_;  // the caption last converted to UTF-8
  OleColor foreColor_ = values::SystemButtonText;
  values::FontRef font_;
  TextExtent extent_;
  QRect shown_;  // the rectangle in pixels the caption was last placed in
  std::function<void(const QString&)> textHook_;
};

}  // namespace kestrinx::qthost
