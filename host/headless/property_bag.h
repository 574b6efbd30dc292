/// \file
/// The in-memory property bag: keeps typed values in memory; a key written twice keeps the later
/// value. Reads and writes are recorded in order, so tests can check the order a control uses.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "values/property_bag.h"
#include "values/variant.h"

namespace kestrinx::headless {

/// The in-memory property bag, with its reads and writes recorded in order.
class PropertyBag final : public values::PropertyBag {
 public:
  /// The stored value, or `defaultValue`; records the read.
  values::Variant readProperty(const std::string& name, const values::Variant& defaultValue) override;
  /// Stores the value (a key written twice keeps the later value); records the write.
  void writeProperty(const std::string& name, const values::Variant& value,
                     const values::Variant& defaultValue) override;
  /// Whether a value is stored under `name`.
  bool contains(const std::string& name) const { return values_.count(name) != 0; }
  /// The stored values by key.
  const std::map<std::string, values::Variant>& values() const { return values_; }
  /// The keys read, in order (a key read twice is listed twice).
  const std::vector<std::string>& readOrder() const { return reads_; }
  /// The keys written, in order.
  const std::vector<std::string>& writeOrder() const { return writes_; }

 private:
  std::map<std::string, values::Variant> values_;
  std::vector<std::string> reads_, writes_;
};

}  // namespace kestrinx::headless
