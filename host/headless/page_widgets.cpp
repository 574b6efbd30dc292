// The property page's widgets: check box, drop-down list and tab control.
#include "host/headless/event_depth.h"
#include "host/headless/headless.h"

namespace kestrinx::headless {

namespace {

void raiseClick(host::ClickEvents* sink, std::int16_t index) {
  if (sink == nullptr) return;
  detail::EventDepth guard;
  sink->onClick(index);
}

}  // namespace

void CheckBox::setValue(std::int16_t v) {
  check("setValue");
  if (v < 0 || v > 2) host::raiseError(host::err::InvalidPropertyValue);
  if (v == value_) return;
  value_ = v;
  raiseClick(sink_, index_);
}

void CheckBox::click() {
  // A checked box becomes unchecked; an unchecked or grayed one becomes checked.
  value_ = value_ == 1 ? 0 : 1;
  raiseClick(sink_, index_);
}

void ComboBox::clear() {
  check("clear");
  items_.clear();
  listIndex_ = -1;  // emptying the list raises no Click
}

std::string ComboBox::list(std::int32_t index) const {
  if (index < 0 || index >= listCount()) host::raiseError(host::err::InvalidPropertyArrayIndex);
  return items_[static_cast<std::size_t>(index)];
}

void ComboBox::setListIndex(std::int32_t v) {
  check("setListIndex");
  if (v < -1 || v >= listCount()) host::raiseError(host::err::InvalidPropertyValue);
  if (v == listIndex_) return;
  listIndex_ = v;
  raiseClick(sink_, index_);
}

std::string ComboBox::text() const {
  return listIndex_ >= 0 && listIndex_ < listCount() ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
}

void TabControl::setTabs(std::int16_t n) {
  check("setTabs");
  if (n < 1) host::raiseError(host::err::InvalidPropertyValue);
  captions_.resize(static_cast<std::size_t>(n));
  if (tab_ >= n) tab_ = static_cast<std::int16_t>(n - 1);
}

void TabControl::setTab(std::int16_t v) {
  check("setTab");
  if (v < 0 || v >= tabs()) host::raiseError(host::err::InvalidPropertyValue);
  tab_ = v;
}

std::string TabControl::tabCaption(std::int16_t tab) const {
  if (tab < 0 || tab >= tabs()) host::raiseError(host::err::InvalidPropertyArrayIndex);
  return captions_[static_cast<std::size_t>(tab)];
}

void TabControl::setTabCaption(std::int16_t tab, const std::string& v) {
  check("setTabCaption");
  if (tab < 0 || tab >= tabs()) host::raiseError(host::err::InvalidPropertyArrayIndex);
  captions_[static_cast<std::size_t>(tab)] = v;
}

}  // namespace kestrinx::headless
