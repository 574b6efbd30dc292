// A type library as the writer takes it: the library's attributes, its type entries with their
// functions, constants and implemented interfaces, and the outside types it imports. The
// KestrinX library is described in kestrinx_typelib.h from the member tables; the writer
// (typelib_writer.h) turns any such description into the compound type-library format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "packaging/automation_codes.h"
#include "values/automation.h"

namespace kestrinx::packaging::tlb {

// The type of a parameter, a result or a constant: a basic variant type, a type entry of this
// library, or an imported type, behind `pointers` levels of indirection.
struct TypeSpec {
  enum class Kind : std::uint8_t { Basic, Local, Imported };
  Kind kind = Kind::Basic;
  std::uint16_t vt = codes::VT_EMPTY;  // for Basic
  std::size_t index = 0;               // Local: type entry; Imported: entry of Library::importedTypes
  int pointers = 0;

  static TypeSpec basic(std::uint16_t vt) { return {Kind::Basic, vt, 0, 0}; }
  static TypeSpec local(std::size_t typeIndex) { return {Kind::Local, codes::VT_EMPTY, typeIndex, 0}; }
  static TypeSpec imported(std::size_t importIndex) { return {Kind::Imported, codes::VT_EMPTY, importIndex, 0}; }
  // The same type one level of indirection further away.
  TypeSpec pointer() const {
    TypeSpec t = *this;
    ++t.pointers;
    return t;
  }
};

struct Param {
  std::string name;
  TypeSpec type;
  std::uint16_t flags = 0;  // PARAMFLAG_*
};

struct Function {
  std::int32_t id = 0;  // member identifier
  std::string name;
  codes::InvokeKind invoke = codes::INVOKE_FUNC;
  TypeSpec result;
  std::vector<Param> params;
};

// A constant of an enumeration: a 32-bit signed value with its help string.
struct Constant {
  std::string name;
  std::int32_t value = 0;
  std::string helpString;
};

// An interface a class implements: a type entry of this library, with IMPLTYPEFLAG_* flags.
struct Implemented {
  std::size_t type = 0;
  std::uint32_t flags = 0;
};

// One type entry. Dispatch interfaces carry functions and name the imported interface they
// derive from; enumerations carry constants; classes list the interfaces they implement. A
// dispatch interface with TYPEFLAG_FDUAL is also a vtable interface, its functions in order
// after the base interface's.
struct TypeEntry {
  codes::TypeKind kind = codes::TKIND_DISPATCH;
  std::string name;
  values::Guid guid;
  std::uint32_t flags = 0;          // TYPEFLAG_*
  std::optional<std::size_t> base;  // imported type the dispatch interface derives from
  std::vector<Function> functions;
  std::vector<Constant> constants;
  std::vector<Implemented> implemented;
};

struct ImportedLibrary {
  std::string fileName;
  values::Guid libid;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::uint32_t lcid = 0;
};

// A type of an imported library, referenced by its identifier.
struct ImportedType {
  std::size_t library = 0;  // entry of Library::libraries
  values::Guid guid;
  codes::TypeKind kind = codes::TKIND_INTERFACE;
};

struct Library {
  std::string name;
  std::string docString;
  std::string helpFile;
  values::Guid libid;
  std::uint16_t majorVersion = 0;
  std::uint16_t minorVersion = 0;
  std::uint32_t lcid = 0;
  codes::SysKind sysKind = codes::SYS_WIN32;
  std::vector<TypeEntry> types;
  std::vector<ImportedLibrary> libraries;
  std::vector<ImportedType> importedTypes;
  // The imported type that stands for IDispatch, the implied base of every dispatch interface.
  std::optional<std::size_t> dispatch;
};

}  // namespace kestrinx::packaging::tlb
