// The KestrinX type library: the published contract of the Kestrin control and the General
// property page, described from the member and enumeration tables and written in the compound
// type-library format.
//
// Type entries, in this order: 0 `_Kestrin` (dual dispatch interface with the control's
// members), 1 `Kestrin` (the control class), 2 `_General` (the page's memberless dual
// interface), 3 `General` (the page class), 4 `__Kestrin` (the event interface), 5.. the
// enumerations in the order of enums::All.
//
// Every member returns HRESULT: a property get returns its value through a final
// [out, retval] parameter, a put or put-by-reference takes it as one [in] parameter, a method
// takes nothing. Events return nothing and take every argument by reference ([in, out]).
// Booleans are VT_BOOL, 16-bit integers VT_I2, 32-bit integers VT_I4, singles VT_R4, strings
// VT_BSTR; enumerations refer to their type entries; OLE_COLOR, the font, the picture and
// IDispatch are imported from the standard automation library, the data object from the host's
// runtime library, all by identifier.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "packaging/typelib_model.h"

namespace kestrinx::packaging {

// Positions of the type entries.
enum KestrinXType : std::size_t {
  kKestrinInterface = 0,
  kKestrinClass = 1,
  kGeneralInterface = 2,
  kGeneralClass = 3,
  kKestrinEvents = 4,
  kFirstEnumeration = 5,
};

// The library, from the tables.
tlb::Library describeKestrinX();

// The library's bytes (the same on every call).
std::vector<std::uint8_t> kestrinxTypeLibrary();

}  // namespace kestrinx::packaging
