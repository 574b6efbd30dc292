// The headless tab control: tabs, their captions and the current tab, for layout only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/headless/widget.h"
#include "host/widgets.h"

namespace kestrinx::headless {

class TabControl final : public Widget<host::TabControl> {
 public:
  TabControl() { captions_.resize(3); }
  std::int16_t tabs() const override { return static_cast<std::int16_t>(captions_.size()); }
  void setTabs(std::int16_t n) override;  // error 380 when < 1
  std::int16_t tab() const override { return tab_; }
  void setTab(std::int16_t v) override;
  std::string tabCaption(std::int16_t tab) const override;
  void setTabCaption(std::int16_t tab, const std::string& v) override;

 private:
  std::vector<std::string> captions_;
  std::int16_t tab_ = 0;
};

}  // namespace kestrinx::headless
