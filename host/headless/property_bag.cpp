// The in-memory property bag.
#include "host/headless/property_bag.h"

namespace kestrinx::headless {

values::Variant PropertyBag::readProperty(const std::string& name, const values::Variant& defaultValue) {
  reads_.push_back(name);
  auto it = values_.find(name);
  return it == values_.end() ? defaultValue : it->second;
}

// Every value is kept, also one equal to its default, so tests see exactly what was written.
void PropertyBag::writeProperty(const std::string& name, const values::Variant& value, const values::Variant&) {
  writes_.push_back(name);
  values_[name] = value;
}

}  // namespace kestrinx::headless
