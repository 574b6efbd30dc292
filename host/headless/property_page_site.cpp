// The headless property page site: the selected controls.
#include "host/headless/property_page_site.h"

#include "host/error.h"

namespace kestrinx::headless {

host::Dispatch& PropertyPageSite::selectedControl(std::size_t i) {
  if (i >= selected_.size()) host::raiseError(host::err::SubscriptOutOfRange);
  if (selected_[i] == nullptr) host::raiseError(host::err::ObjectVariableNotSet);
  return *selected_[i];
}

}  // namespace kestrinx::headless
