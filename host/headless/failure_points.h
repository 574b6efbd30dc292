// Failure injection, shared by every headless widget and the surface.
//
// Each can be told to fail a member (by the member's setter name as in the host interface, such
// as "setText", "move", "setWidth", "setBackColor", "setToolTipText", "setFont"); every later
// call throws AutomationError with the given number until clearFailures(). Only the program's
// calls can fail: what a user or the container does (typing, Surface::resize) is never stopped
// by an injected failure.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "values/error.h"

namespace kestrinx::headless {

class FailurePoints {
 public:
  void setFailure(const std::string& member, std::int32_t errorNumber = values::err::InvalidPropertyValue);
  void clearFailures();
  // Throws the registered error when `member` is set to fail.
  void check(const char* member) const;

 private:
  std::map<std::string, std::int32_t> failing_;
};

}  // namespace kestrinx::headless
