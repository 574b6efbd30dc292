// A control seen by name or by identifier: what the property page, scripts, the command-line tool
// and the component runtime use to reach any published member without knowing the control's
// class.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "values/automation.h"
#include "values/variant.h"

namespace kestrinx::values {

// Properties read and set by name (any case); each value is coerced to the property's type (errors 13 and 6 as for any
// coercion, 438 for an unknown name).
class Dispatch {
 public:
  virtual ~Dispatch() = default;
  virtual Variant getProperty(const std::string& name) = 0;
  virtual void setProperty(const std::string& name, const Variant& value) = 0;
};

// How a client invokes a member, as flags with the automation platform's values, so a client's
// request passes through unchanged. A client may offer more than one ("get, or call it"
// is Method | Get, as scripting clients ask).
enum InvokeKind : std::uint16_t {
  InvokeMethod = 1,
  InvokeGet = 2,
  InvokePut = 4,
  InvokePutRef = 8,  // put by reference (object properties)
};

// One published member as a client sees it.
struct MemberInfo {
  std::int32_t id = 0;  // dispatch identifier
  std::string_view name;
  std::uint16_t kinds = 0;  // the InvokeKind entries the member has
  AutoType type = AutoType::Long;          // a property's type (unused for a method)
  const EnumInfo* enumeration = nullptr;   // the enumeration of an Enum property

  constexpr bool has(InvokeKind k) const { return (kinds & k) != 0; }
};

// A control's published interface by identifier: names to identifiers (any case) and
// invocation of any member by identifier, with the automation rules for invocation kinds,
// argument counts and coercion. A control class implements the three member operations;
// the rules live here, once, for every class.
class Automation {
 public:
  virtual ~Automation() = default;

  // Every published member, in slot order.
  virtual std::span<const MemberInfo> members() const = 0;
  // The member with that name (any case) or identifier; nullptr when there is none.
  const MemberInfo* find(std::string_view name) const;
  const MemberInfo* find(std::int32_t id) const;

  // Invokes member `id`. `kinds` says how (InvokeKind flags); `args` holds the put's value or
  // nothing. When `kinds` offers more than one entry the member has, Get wins over Method and
  // PutRef over Put. Returns the property's value for a get, Empty otherwise.
  // Errors, each raised before anything changes:
  //   438  no member `id`, or no entry of any kind offered (a get of a method, a call of a
  //        property, a put of a method, a put by value of an object property, ...)
  //   383  a put of either kind on a property that has a get and no put
  //   449  a put without its value
  //   450  a get or call with arguments, or a put with more than one
  //   13, 6  the put's value does not convert to the property's type (coerce)
  // and whatever the control raises from the member itself.
  Variant invoke(std::int32_t id, std::uint16_t kinds, std::span<const Variant> args);

 protected:
  // The member operations, called by invoke only for an entry the member has; a put's value is
  // already of the member's type.
  virtual Variant getMember(const MemberInfo& m) = 0;
  virtual void putMember(const MemberInfo& m, const Variant& value) = 0;  // put and put by reference
  virtual void callMember(const MemberInfo& m) = 0;
};

}  // namespace kestrinx::values
