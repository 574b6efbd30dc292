/// \file
/// The property bag in which a host saves a control's properties with its form.
#pragma once

#include <string>

#include "values/variant.h"

namespace kestrinx::values {

/// Where a control's saved properties live: the host reads and writes them by key, each with
/// the default the control passes. Errors: a failing read or write throws AutomationError.
class PropertyBag {
 public:
  virtual ~PropertyBag() = default;
  /// The stored value, or `defaultValue` when nothing is stored under `name`.
  virtual Variant readProperty(const std::string& name, const Variant& defaultValue) = 0;
  /// Stores `value` under `name`. A host may leave out values equal to the default.
  virtual void writeProperty(const std::string& name, const Variant& value, const Variant& defaultValue) = 0;
};

}  // namespace kestrinx::values
