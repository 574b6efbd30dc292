// Helpers shared by the type library suites: the platform's codes written out as the numbers
// the platform publishes (so a wrong constant in the packaging code cannot hide behind itself),
// and a readable form of a stored type.
#pragma once

#include <cstdint>
#include <string>

#include "packaging/typelib_reader.h"

namespace kestrinx::testing::tlb {

// Variant types.
enum : std::uint16_t {
  I2 = 2,
  I4 = 3,
  R4 = 4,
  BSTR = 8,
  BOOL = 11,
  VOID = 24,
  HRESULT = 25,
  PTR = 26,
  USERDEFINED = 29,
};
// Type kinds, invocation kinds, parameter flags, calling convention, function and variable kinds.
enum : std::uint8_t { ENUM = 0, INTERFACE = 3, DISPATCH = 4, COCLASS = 5, ALIAS = 6 };
enum : std::uint8_t { FUNC = 1, GET = 2, PUT = 4, PUTREF = 8 };
enum : std::uint32_t { IN = 1, OUT = 2, RETVAL = 8 };
enum : std::uint8_t { STDCALL = 4, FUNC_PUREVIRTUAL = 1, FUNC_DISPATCH = 4 };
enum : std::uint16_t { VAR_CONST = 2 };

// "26 26 29 import{GUID}" for a pointer to a pointer to an imported type, "29 type 5" for a
// type entry of the library, "11" for a Boolean.
inline std::string shape(const packaging::reader::TypeLibrary& lib, const packaging::reader::TypeDesc& t) {
  std::string s;
  for (const std::uint16_t vt : t.chain) s += (s.empty() ? "" : " ") + std::to_string(vt);
  if (t.ref) {
    if (t.ref->kind == packaging::reader::TypeRef::Kind::Local) {
      s += " type " + std::to_string(t.ref->index);
    } else {
      const auto& imported = lib.imports.at(t.ref->index);
      s += " import" + (imported.guid ? imported.guid->toString() : "#" + std::to_string(imported.typeIndex));
    }
  }
  return s;
}

}  // namespace kestrinx::testing::tlb
