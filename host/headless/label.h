// The headless label: sizes itself to its caption in its font, by the metrics rule.
#pragma once

#include <string>

#include "host/headless/widget.h"
#include "host/widgets.h"
#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::OleColor;

class Label final : public Widget<host::Label> {
 public:
  Label();
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override;  // re-sizes to the text
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override { check("setForeColor"); foreColor_ = v; }
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef v) override;  // re-sizes; error 424 for no font

 private:
  void autoSize();
  std::string caption_;
  OleColor foreColor_ = values::SystemButtonText;
  values::FontRef font_;
};

}  // namespace kestrinx::headless
