// The headless frame: a caption and geometry, for layout only.
#pragma once

#include <string>

#include "host/headless/widget.h"
#include "host/widgets.h"

namespace kestrinx::headless {

class Frame final : public Widget<host::Frame> {
 public:
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override { check("setCaption"); caption_ = v; }

 private:
  std::string caption_;
};

}  // namespace kestrinx::headless
