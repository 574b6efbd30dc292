// Internal to the control: a re-entry flag held True for a scope and cleared however the scope
// ends (the layout's m_InLayout, the numeric rewrite's m_Formatting).
#pragma once

#include "values/types.h"

namespace kestrinx {

class FlagScope {
 public:
  explicit FlagScope(values::Boolean& flag) : flag_(flag) { flag_ = values::True; }
  ~FlagScope() { flag_ = values::False; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  values::Boolean& flag_;
};

}  // namespace kestrinx
