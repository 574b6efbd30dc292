// Writes a type library in the compound binary format of 32-bit Windows type libraries (the
// "MSFT" format that hosts load from a library's TYPELIB resource or a .tlb file).
//
// The output is a pure function of the description: no time stamps, no custom attributes, every
// byte written explicitly (padding included), tables in the description's order. Writing the
// same description twice gives the same bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "packaging/typelib_model.h"

namespace kestrinx::packaging {

// The library's bytes. Throws std::invalid_argument for a description the format cannot hold
// or this writer does not support: a name that is empty, longer than 255 bytes or not printable
// ASCII; two names that differ only in letter case (lookups ignore case); an index that names
// no entry; a type kind other than enumeration, dispatch interface or class; a library that is
// not a 32-bit Windows library in an English locale (the only name hash implemented).
std::vector<std::uint8_t> writeTypeLibrary(const tlb::Library& library);

}  // namespace kestrinx::packaging
