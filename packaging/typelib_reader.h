// Reads a type library in the compound binary format of 32-bit Windows type libraries ("MSFT")
// into plain values: the library's attributes, its type entries with functions, variables and
// implemented interfaces, imports, names with their stored hashes, and the hash tables.
//
// The reader trusts nothing in the bytes: every offset, count and length is checked against
// the file and its segments, chains are followed a bounded number of steps, and anything that
// does not hold together is reported as MalformedTypeLibrary with what and where. It parses
// the bytes on its own: it shares the format's numbers with the writer (typelib_format.h) and
// nothing else, so it can check what the writer decides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "packaging/typelib_format.h"
#include "values/automation.h"

namespace kestrinx::packaging::reader {

class MalformedTypeLibrary : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where a type reference leads: a type entry of this library or an imported type.
struct TypeRef {
  enum class Kind : std::uint8_t { Local, Imported };
  Kind kind = Kind::Local;
  std::size_t index = 0;  // Local: entry of TypeLibrary::types; Imported: entry of TypeLibrary::imports
  friend bool operator==(const TypeRef&, const TypeRef&) = default;
};

// A type as stored: its variant types from the outside in ({VT_PTR, VT_PTR, VT_USERDEFINED} is
// a pointer to a pointer to a user-defined type), the reference of a final VT_USERDEFINED, and
// the array descriptor offset of a final VT_CARRAY.
struct TypeDesc {
  std::vector<std::uint16_t> chain;
  std::optional<TypeRef> ref;
  std::int32_t arrayDescriptor = -1;

  std::uint16_t base() const { return chain.empty() ? 0 : chain.back(); }
  // Leading VT_PTR levels.
  int pointers() const;
};

struct Param {
  std::string name;  // empty when the parameter has no name
  TypeDesc type;
  std::uint32_t flags = 0;  // PARAMFLAG_*
};

struct Function {
  std::int32_t id = 0;
  std::string name;
  std::uint8_t funcKind = 0;    // FUNC_*
  std::uint8_t invokeKind = 0;  // INVOKE_*
  std::uint8_t callConv = 0;    // CC_*
  std::int16_t vtableOffset = 0;
  std::uint32_t flags = 0;  // FUNCFLAG_*
  TypeDesc result;
  std::vector<Param> params;
  std::uint16_t optionalParams = 0;
  std::int32_t helpContext = 0;
  std::optional<std::string> helpString;
};

struct Variable {
  std::int32_t id = 0;
  std::string name;
  std::uint16_t varKind = 0;  // VAR_*
  std::uint32_t flags = 0;
  TypeDesc type;
  // A constant's value: its variant type, and the value when it is an integer type.
  std::uint16_t valueType = 0;
  std::optional<std::int64_t> value;
  std::int32_t offset = 0;  // the stored value word (an instance offset for non-constants)
  std::int32_t helpContext = 0;
  std::optional<std::string> helpString;
};

struct Implemented {
  TypeRef ref;
  std::uint32_t flags = 0;  // IMPLTYPEFLAG_*; 0 for an interface's base
};

struct TypeInfo {
  std::uint8_t kind = 0;  // TKIND_*
  std::uint16_t alignment = 0;
  std::string name;
  std::optional<values::Guid> guid;
  std::uint32_t flags = 0;  // TYPEFLAG_*
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::optional<std::string> docString;
  std::int32_t helpContext = 0;
  std::int32_t instanceSize = 0;
  // Of an interface or dispatch interface: the size of its vtable, which counts its base's
  // functions and its own (the reader checks that it does), and how many are its base's.
  std::int16_t vtableSize = 0;
  std::uint16_t baseFunctions = 0;
  std::vector<Function> functions;
  std::vector<Variable> variables;
  // A class's interfaces, or the interface an interface derives from.
  std::vector<Implemented> implemented;
  std::optional<TypeDesc> aliasOf;  // for an alias
};

struct ImportedLibrary {
  std::optional<values::Guid> libid;
  std::uint32_t lcid = 0;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::string fileName;
};

struct ImportedType {
  std::size_t library = 0;         // entry of TypeLibrary::libraries
  std::uint8_t kind = 0;           // TKIND_*
  std::optional<values::Guid> guid;  // when the import names the type by identifier
  std::int32_t typeIndex = -1;     // otherwise its position in the imported library
};

// One entry of the name table.
struct Name {
  std::int32_t offset = 0;
  std::string text;
  std::int32_t owner = -1;  // offset of the type entry the name belongs to, or -1
  std::int32_t next = -1;   // next name in its hash bucket
  std::uint32_t hash = 0;   // as stored: the high part (third byte) << 16 | the low word
};

struct Segment {
  std::int32_t offset = -1;
  std::int32_t length = 0;
};

struct TypeLibrary {
  std::size_t fileSize = 0;
  std::uint32_t formatVersion = 0;
  std::optional<values::Guid> libid;
  std::uint32_t lcid = 0;
  std::uint32_t lcid2 = 0;
  std::uint32_t headerFlags = 0;  // system kind in the low nibble, help file mark 0x10
  std::uint8_t sysKind = 0;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::uint32_t libraryFlags = 0;  // LIBFLAG_*
  std::string name;
  std::optional<std::string> docString;
  std::optional<std::string> helpFile;
  std::int32_t helpContext = 0;
  std::optional<TypeRef> dispatch;  // what stands for IDispatch
  std::vector<TypeInfo> types;
  std::vector<ImportedLibrary> libraries;
  std::vector<ImportedType> imports;
  std::vector<Name> names;  // in table order
  std::array<Segment, format::kSegmentCount> segments;
  std::size_t customDataEntries = 0;
  std::vector<std::int32_t> nameBuckets;
  std::vector<std::int32_t> guidBuckets;

  // The name entry for `name` found through the name hash table, as a loader looks names up
  // (letter case ignored); nullptr when the table does not lead to it.
  const Name* findName(std::string_view name) const;
  // The owner reference of `guid` found through the GUID hash table (a type entry's offset,
  // -2 for the library itself, an import's reference); nullopt when not found.
  std::optional<std::int32_t> findGuid(const values::Guid& guid) const;

  struct GuidEntry {
    std::int32_t offset = 0;
    values::Guid guid;
    std::int32_t owner = 0;
    std::int32_t next = -1;
  };
  std::vector<GuidEntry> guids;
};

// Parses `bytes`. Throws MalformedTypeLibrary.
TypeLibrary readTypeLibrary(std::span<const std::uint8_t> bytes);

}  // namespace kestrinx::packaging::reader
