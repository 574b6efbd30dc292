// The Qt host's caption label: a QLabel showing plain text, sizing itself to its caption and
// font (width and height follow them whenever either is set; setting Width or Height overrides
// that until the next set).
#pragma once

#include <QPointer>
#include <string>

#include "host/objects.h"
#include "host/qt/element.h"
#include "host/qt/strings.h"
#include "host/types.h"
#include "host/widgets.h"

class QLabel;

namespace kestrinx::qthost {

using host::OleColor;

class Label final : public Element<host::Label> {
 public:
  // A label showing `caption`, sized to it.
  explicit Label(QWidget& surface, const std::string& caption = {});
  ~Label() override;
  Label(const Label&) = delete;
  Label& operator=(const Label&) = delete;

  std::string caption() const override;
  void setCaption(const std::string& v) override;
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override;
  host::FontRef font() const override { return font_; }
  void setFont(host::FontRef v) override;  // error 424 for no font

  QLabel& qlabel() const;

 private:
  QWidget& widget() const override;
  void autoSize();

  QPointer<QLabel> label_;
  mutable Utf8Cache caption_;  // the caption last converted to UTF-8
  OleColor foreColor_ = host::SystemButtonText;
  host::FontRef font_;
};

}  // namespace kestrinx::qthost
