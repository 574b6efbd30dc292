// The headless drop-down list: items, ListIndex, the user's pick, Change and Click.
#include "host/headless/combo_box.h"

#include "host/headless/event_depth.h"
#include "values/error.h"

namespace kestrinx::headless {

void ComboBox::clear() {
  check("clear");
  items_.clear();
  listIndex_ = -1;  // emptying the list raises no event
}

std::string ComboBox::list(std::int32_t index) const {
  if (index < 0 || index >= listCount()) values::raiseError(values::err::InvalidPropertyArrayIndex);
  return items_[static_cast<std::size_t>(index)];
}

void ComboBox::setListIndex(std::int32_t v) {
  check("setListIndex");
  if (v < -1 || v >= listCount()) values::raiseError(values::err::InvalidPropertyValue);
  change(v);
}

void ComboBox::choose(std::int32_t item) {
  // A user's pick is never stopped by an injected failure; only an item the list lacks is refused.
  if (item < 0 || item >= listCount()) values::raiseError(values::err::InvalidPropertyValue);
  change(item);
}

void ComboBox::change(std::int32_t v) {
  if (v == listIndex_) return;
  listIndex_ = v;
  detail::raiseEvent(sink_, [&](host::ListEvents& s) { s.onChange(index_); });
  detail::raiseEvent(sink_, [&](host::ListEvents& s) { s.onClick(index_); });
}

std::string ComboBox::text() const {
  return listIndex_ >= 0 && listIndex_ < listCount() ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
}

}  // namespace kestrinx::headless
