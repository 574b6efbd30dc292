// The headless check box: Value and Click.
#include "host/headless/check_box.h"

#include "host/headless/event_depth.h"
#include "values/error.h"

namespace kestrinx::headless {

void CheckBox::setValue(std::int16_t v) {
  check("setValue");
  if (v < 0 || v > 2) values::raiseError(values::err::InvalidPropertyValue);
  if (v == value_) return;
  value_ = v;
  detail::raiseEvent(sink_, [&](host::ClickEvents& s) { s.onClick(index_); });
}

void CheckBox::click() {
  // A checked box becomes unchecked; an unchecked or grayed one becomes checked.
  value_ = value_ == 1 ? 0 : 1;
  detail::raiseEvent(sink_, [&](host::ClickEvents& s) { s.onClick(index_); });
}

}  // namespace kestrinx::headless
