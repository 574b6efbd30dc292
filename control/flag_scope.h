// Internal to the control: a re-entry flag held True for a scope and cleared however the scope
// ends (the layout's m_InLayout, the numeric rewrite's m_Formatting).
#pragma once

#include "host/types.h"

namespace kestrinx {

class FlagScope {
 public:
  explicit FlagScope(host::Boolean& flag) : flag_(flag) { flag_ = host::True; }
  ~FlagScope() { flag_ = host::False; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  host::Boolean& flag_;
};

}  // namespace kestrinx
