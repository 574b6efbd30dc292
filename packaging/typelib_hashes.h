// The two hashes a compound type library indexes its tables with: the platform's name hash
// (the name hash table, and each name's stored hash) and the GUID hash (the GUID hash table).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "values/automation.h"

namespace kestrinx::packaging {

// The platform's name hash for a 32-bit Windows library in the Western locale group (code page
// 1252; US English 0x409 among them): the locale group's mark 0x0010 in the high word, and in
// the low word the hash proper, which ignores letter case. Names are ASCII; a byte above 0x7F
// is hashed as it stands (the platform folds accented letters, which this library never uses).
std::uint32_t nameHash(std::string_view name);

// Bucket of a name in the 128-bucket name hash table.
constexpr std::size_t nameBucket(std::uint32_t hash) { return hash & 0x7F; }

// Bucket of a GUID in the 32-bucket GUID hash table: its eight 16-bit words (as stored, little
// endian) exclusive-ored together, low five bits.
std::size_t guidBucket(const values::Guid& guid);

}  // namespace kestrinx::packaging
