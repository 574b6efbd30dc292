// The headless tab control: the number of tabs, the current tab and the captions.
#include "host/headless/tab_control.h"

#include "values/error.h"

namespace kestrinx::headless {

void TabControl::setTabs(std::int16_t n) {
  check("setTabs");
  if (n < 1) values::raiseError(values::err::InvalidPropertyValue);
  captions_.resize(static_cast<std::size_t>(n));
  if (tab_ >= n) tab_ = static_cast<std::int16_t>(n - 1);
}

void TabControl::setTab(std::int16_t v) {
  check("setTab");
  if (v < 0 || v >= tabs()) values::raiseError(values::err::InvalidPropertyValue);
  tab_ = v;
}

std::string TabControl::tabCaption(std::int16_t tab) const {
  if (tab < 0 || tab >= tabs()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  return captions_[static_cast<std::size_t>(tab)];
}

void TabControl::setTabCaption(std::int16_t tab, const std::string& v) {
  check("setTabCaption");
  if (tab < 0 || tab >= tabs()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  captions_[static_cast<std::size_t>(tab)] = v;
}

}  // namespace kestrinx::headless
