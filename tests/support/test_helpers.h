// Small helpers shared by the test suites (header-only, so the host suites can use them too).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "host/error.h"

namespace kestrinx::testing {

// The automation error number a call throws, or nullopt when it returns.
template <typename F>
std::optional<std::int32_t> errorOf(F&& f) {
  try {
    f();
    return std::nullopt;
  } catch (const host::AutomationError& e) {
    return e.number();
  }
}

// Names each row of a parameterised table for the behaviour it pins (rows carry `name`).
struct RowName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& info) const {
    return info.param.name;
  }
};

}  // namespace kestrinx::testing
