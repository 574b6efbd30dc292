// Small helpers shared by the test suites (header-only, so the host suites can use them too).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "values/automation.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx::values {

// Shows a variant in test failures as its kind and value ("Long 80", "Font Arial").
inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << varTypeName(v.type()) << ' ';
  if (v.type() == VarType::Font) {
    *os << (v.toFont() ? v.toFont()->name : "(none)");
  } else if (v.type() == VarType::Picture || v.type() == VarType::DataObject) {
    *os << (v.isEmpty() ? "" : "(object)");
  } else {
    *os << '"' << v.toString() << '"';
  }
}

}  // namespace kestrinx::values

namespace kestrinx::testing {

// The automation error number a call throws, or nullopt when it returns.
template <typename F>
std::optional<std::int32_t> errorOf(F&& f) {
  try {
    f();
    return std::nullopt;
  } catch (const values::AutomationError& e) {
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
