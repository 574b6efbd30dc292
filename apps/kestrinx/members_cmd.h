// kestrinx members: the control's published interface as a table, or as JSON.
#pragma once

#include <cstdint>
#include <cstdio>

namespace kestrinx::cli {

enum class ListingFormat : std::uint8_t { Table, Json };

// Writes every member in slot order (identifier, name, access, type, and for saved properties
// the bag's written type and default), the events with their arguments, and the enumerations.
void writeMembers(std::FILE* out, ListingFormat format);

}  // namespace kestrinx::cli
