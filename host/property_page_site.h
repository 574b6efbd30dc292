// What a property page receives from its host: the selected controls and the Changed flag.
#pragma once

#include <cstddef>
#include <string>

#include "host/types.h"
#include "host/variant.h"

namespace kestrinx::host {

// A control seen from the page: properties read and set by name; the host coerces each
// value to the property's type (errors 13 and 6 as for any coercion, 438 for an unknown name).
class Dispatch {
 public:
  virtual ~Dispatch() = default;
  virtual Variant getProperty(const std::string& name) = 0;
  virtual void setProperty(const std::string& name, const Variant& value) = 0;
};

class PropertyPageSite {
 public:
  virtual ~PropertyPageSite() = default;
  virtual std::size_t selectedCount() const = 0;
  virtual Dispatch& selectedControl(std::size_t i) = 0;  // i < selectedCount()
  // Changed True enables the sheet's Apply button.
  virtual Boolean changed() const = 0;
  virtual void setChanged(Boolean v) = 0;
};

}  // namespace kestrinx::host
