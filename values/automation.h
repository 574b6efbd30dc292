// How a published automation interface is described: member types, enumerations, events and
// their by-reference arguments, and the generic sink that hears events by identifier.
//
// A control describes its interface once, in tables of these types (the Kestrin control's are
// in control/members.h). Persistence, dispatch by name or identifier, the property page, the
// type library writer and every host read those tables instead of listing members again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "values/objects.h"
#include "values/types.h"
#include "values/variant.h"

namespace kestrinx::values {

// A 128-bit interface, class or library identifier in its standard field layout.
struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  // Reads "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" (hex digits, either case); a malformed text
  // does not compile when the call is a constant expression.
  static consteval Guid parse(std::string_view s) {
    if (s.size() != 36 || s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-') throw "malformed GUID";
    Guid g;
    std::size_t pos = 0;
    const auto hexByte = [&]() -> std::uint8_t {
      std::uint8_t v = 0;
      for (int i = 0; i < 2; ++i, ++pos) {
        if (s[pos] == '-') ++pos;
        const char c = s[pos];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : throw "malformed GUID";
        v = static_cast<std::uint8_t>(v * 16 + digit);
      }
      return v;
    };
    for (int i = 0; i < 4; ++i) g.data1 = (g.data1 << 8) | hexByte();
    for (int i = 0; i < 2; ++i) g.data2 = static_cast<std::uint16_t>((g.data2 << 8) | hexByte());
    for (int i = 0; i < 2; ++i) g.data3 = static_cast<std::uint16_t>((g.data3 << 8) | hexByte());
    for (std::uint8_t& b : g.data4) b = hexByte();
    return g;
  }
  // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
  std::string toString() const;
  friend constexpr bool operator==(const Guid&, const Guid&) = default;
};

// The automation type of a property, a parameter or an event argument.
enum class AutoType : std::uint8_t {
  Boolean,     // 16-bit automation Boolean
  Integer,     // 16-bit signed
  Long,        // 32-bit signed
  Single,      // single-precision real
  String,
  Color,       // OLE_COLOR, 32 bits
  Font,        // the standard font object
  Picture,     // the standard picture object
  DataObject,  // the host's drag-and-drop data object
  Enum,        // 32-bit signed, one of the published enumerations
};

// The type's name as a listing shows it ("Boolean", "Integer", "Long", "OLE_COLOR", ...).
std::string_view autoTypeName(AutoType t);
// A variant kind's name as a listing shows it ("Integer" for 16 bits, "Long" for 32, ...).
std::string_view varTypeName(VarType t);

// Converts a value to a type the way an automation client's assignment does: numbers and
// numeric strings convert (round half to even), error 13 for a type mismatch, error 6 for a
// value out of range. The result holds exactly the type's variant kind (a Color as a Long with
// the colour's 32 bits, an Enum as a Long).
Variant coerce(const Variant& v, AutoType t);

// The 32 bits of an OLE colour from a variant: a Long gives its bits; other numbers must lie in
// -2^31 .. 2^32-1 (error 6 outside), so 0x80000005 may be given as 2147483653.
OleColor toColor(const Variant& v);
inline Variant colorVariant(OleColor c) { return Variant::longValue(static_cast<std::int32_t>(c)); }

// ---- enumerations ------------------------------------------------------------------------------

struct EnumMember {
  std::string_view name;
  std::int32_t value;
};

struct EnumInfo {
  std::string_view name;
  Guid guid;
  std::span<const EnumMember> members;

  // The member's name for a value, or an empty view for a value outside the list.
  constexpr std::string_view nameOf(std::int32_t value) const {
    for (const EnumMember& m : members)
      if (m.value == value) return m.name;
    return {};
  }
};

// ---- events ------------------------------------------------------------------------------------

struct ParamInfo {
  std::string_view name;
  AutoType type;
};

struct EventInfo {
  std::int32_t id;  // the dispatch identifier of the event
  std::string_view name;
  std::span<const ParamInfo> params;  // every argument is passed by reference
  bool raised;                        // false for events that are published but never raised
};

// One by-reference argument: the very variable the raiser holds, so a sink's change reaches it.
using ArgRef = std::variant<std::int16_t*, std::int32_t*, float*, DataObjectRef*>;

// The arguments of one raised event, readable and writable as variants by position.
class EventArgs {
 public:
  EventArgs(const EventInfo& info, std::span<const ArgRef> refs) : info_(info), refs_(refs) {}
  const EventInfo& info() const { return info_; }
  std::size_t size() const { return refs_.size(); }
  // The argument as a variant of its parameter's type.
  Variant value(std::size_t i) const;
  // Writes the argument, coerced to its parameter's type (errors 13 and 6 as for a put).
  void setValue(std::size_t i, const Variant& v);
  // The argument itself, for code that knows its type.
  template <typename T>
  T& ref(std::size_t i) const {
    return *std::get<T*>(refs_[i]);
  }

 private:
  const EventInfo& info_;
  std::span<const ArgRef> refs_;
};

// Hears a control's events by identifier, with the arguments by reference. The runtime's event
// connections and host adapters implement it; C++ applications usually derive from a control's
// typed event class instead, which implements it for them.
class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void onEvent(const EventInfo& event, EventArgs& args) = 0;
};

}  // namespace kestrinx::values
