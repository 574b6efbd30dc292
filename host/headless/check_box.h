// The headless check box of the property page: Value 0, 1 or 2, and Click on every change.
#pragma once

#include <cstdint>
#include <string>

#include "host/headless/widget.h"
#include "host/widgets.h"

namespace kestrinx::headless {

class CheckBox final : public Widget<host::CheckBox> {
 public:
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override { check("setCaption"); caption_ = v; }
  std::int16_t value() const override { return value_; }
  void setValue(std::int16_t v) override;  // raises Click when the value changes
  void setEventSink(host::ClickEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }
  void click();  // the user clicks: toggles checked/unchecked, raises Click

 private:
  std::string caption_;
  std::int16_t value_ = 0;
  host::ClickEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

}  // namespace kestrinx::headless
