// kestrinx typelib dump [FILE]: a type library as a readable listing — the library's
// attributes, imports, and every type entry with its kind, GUID and flags, its functions (id,
// invocation kind, result, parameters with direction and type), implemented interfaces and
// constants (value and help string).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>

namespace kestrinx::cli {

// Writes the listing of the type library in `bytes`. Throws reader::MalformedTypeLibrary.
void writeTypeLibraryListing(std::FILE* out, std::span<const std::uint8_t> bytes);

// Runs `typelib dump`: the listing of `file`, or of the library the writer produces when no
// file is given. Returns the exit status: 0, or 1 (with one line on `err`) when the file cannot
// be read or is not a well-formed type library.
int runTypelibDump(const std::optional<std::string>& file, std::FILE* out, std::FILE* err);

}  // namespace kestrinx::cli
