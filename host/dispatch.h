// A control seen by name: what the property page, scripts and the command-line tool use to read
// and set any published property without knowing the control's class.
#pragma once

#include <string>

#include "host/variant.h"

namespace kestrinx::host {

// Properties read and set by name (any case); each value is coerced to the property's type (errors 13 and 6 as for any coercion, 438 for an unknown name).
class Dispatch {
 public:
  virtual ~Dispatch() = default;
  virtual Variant getProperty(const std::string& name) = 0;
  virtual void setProperty(const std::string& name, const Variant& value) = 0;
};

}  // namespace kestrinx::host
