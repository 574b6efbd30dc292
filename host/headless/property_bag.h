// The in-memory property bag: keeps typed values in memory; a key written twice keeps the later
// value. Reads and writes are recorded in order, so tests can check the order a control uses.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/property_bag.h"
#include "host/variant.h"

namespace kestrinx::headless {

class PropertyBag final : public host::PropertyBag {
 public:
  host::Variant readProperty(const std::string& name, const host::Variant& defaultValue) override;
  void writeProperty(const std::string& name, const host::Variant& value, const host::Variant& defaultValue) override;
  bool contains(const std::string& name) const { return values_.count(name) != 0; }
  const std::map<std::string, host::Variant>& values() const { return values_; }
  const std::vector<std::string>& readOrder() const { return reads_; }
  const std::vector<std::string>& writeOrder() const { return writes_; }

 private:
  std::map<std::string, host::Variant> values_;
  std::vector<std::string> reads_, writes_;
};

}  // namespace kestrinx::headless
