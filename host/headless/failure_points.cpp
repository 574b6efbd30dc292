// Failure injection: which members fail, and with which error.
#include "host/headless/failure_points.h"

namespace kestrinx::headless {

void FailurePoints::setFailure(const std::string& member, std::int32_t errorNumber) {
  failing_[member] = errorNumber;
}

void FailurePoints::clearFailures() { failing_.clear(); }

void FailurePoints::check(const char* member) const {
  if (failing_.empty()) return;
  auto it = failing_.find(member);
  if (it != failing_.end()) values::raiseError(it->second);
}

}  // namespace kestrinx::headless
