// The headless drop-down list: items, ListIndex and Click.
#include "host/headless/combo_box.h"

#include "host/error.h"
#include "host/headless/event_depth.h"

namespace kestrinx::headless {

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
  detail::raiseEvent(sink_, [&](host::ClickEvents& s) { s.onClick(index_); });
}

std::string ComboBox::text() const {
  return listIndex_ >= 0 && listIndex_ < listCount() ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
}

}  // namespace kestrinx::headless
