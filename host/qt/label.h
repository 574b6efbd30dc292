// The Qt host's label widget, for a property page: a QLabel showing plain text, sizing itself
// to its caption and font (width and height follow them whenever either is set; setting Width
// or Height overrides that until the next set). A control's caption is painted instead
// (host/qt/caption.h).
#pragma once

#include <QPointer>
#include <QSize>
#include <QString>
#include <string>

#include "host/qt/element.h"
#include "host/qt/strings.h"
#include "host/qt/text_extent.h"
#include "host/widgets.h"
#include "values/objects.h"
#include "values/types.h"

class QLabel;

namespace kestrinx::qthost {

using values::OleColor;

class Label final : public Element<host::Label> {
 public:
  // A rectangle in twips.
  struct Placed {
    Twips left = 0, top = 0, width = 0, height = 0;
  };
  // A label showing `caption`, sized to it.
  explicit Label(QWidget& surface, const std::string& caption = {});
  // A label showing `caption` in the rectangle `at`, not sized to it (a control's design stands
  // its caption so at once, whatever size the caption would take).
  Label(QWidget& surface, const std::string& caption, const Placed& at);
  ~Label() override;
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  std::string caption() const override;
  void setCaption(const std::string& v) override;
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override;
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef v) override;  // error 424 for no font

  QLabel& qlabel() const;

 private:
  QWidget& widget() const override;
  void autoSize();
  // The size QLabel::sizeHint gives (see label.cpp).
  QSize sizeHint();

  TextExtent extent_;
  QPointer<QLabel> label_;
  mutable Utf8Cache caption_;  // the caption last converted to UTF-8
  OleColor foreColor_ = values::SystemButtonText;
  values::FontRef font_;
};

}  // namespace kestrinx::qthost
