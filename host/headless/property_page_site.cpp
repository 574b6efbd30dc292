// The headless property page site: the selected controls.
#include "host/headless/property_page_site.h"

#include "values/error.h"

namespace kestrinx::headless {

values::Dispatch& PropertyPageSite::selectedControl(std::size_t i) {
  if (i >= selected_.size()) values::raiseError(values::err::SubscriptOutOfRange);
  if (selected_[i] == nullptr) values::raiseError(values::err::ObjectVariableNotSet);
  return *selected_[i];
}

}  // namespace kestrinx::headless
