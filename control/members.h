// The published interface of the Kestrin control, listed once: its 48 properties and methods
// in slot order and its 15 events, each with identifier, name, access, automation type, and for
// saved properties the bag's written type and default. Every part of the system that needs the
// list reads these tables: the names the control reports to PropertyChanged, InitProperties and
// persistence, dispatch by name or identifier, the property page, the type library writer, the
// command-line tool, hosts, tests and fuzzers.
//
// Get and put go through values::Variant with the host's coercions, so a put by name with the
// string "5" or the double 2.5 behaves as an automation client's assignment would (round half
// to even, error 13 for a type mismatch, error 6 for overflow).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "control/enumerations.h"
#include "control/kestrin.h"
#include "values/automation.h"
#include "values/dispatch.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx::members {

// The control's published identity: the dual interface that carries the members below, the
// class hosts create, and the event interface that carries the events below.
inline constexpr std::string_view kInterfaceName = "_Kestrin";
inline constexpr values::Guid kInterfaceId = values::Guid::parse("A7D52C62-91AD-11D2-A265-00A0C93C9297");
inline constexpr std::string_view kClassName = "Kestrin";
inline constexpr values::Guid kClassId = values::Guid::parse("A7D52C63-91AD-11D2-A265-00A0C93C9297");
inline constexpr std::string_view kEventInterfaceName = "__Kestrin";
inline constexpr values::Guid kEventInterfaceId = values::Guid::parse("A7D52C6B-91AD-11D2-A265-00A0C93C9297");

// Entries a member has in the published interface, as flags.
enum Access : std::uint8_t {
  Get = 1,
  Put = 2,
  PutRef = 4,  // put by reference (object properties)
  Method = 8,
};

// The default a property bag gets with a key: returned when nothing is stored under the key, and
// passed beside the value on writing. Some defaults are the host's own values at the time.
struct BagDefault {
  enum class Kind : std::uint8_t { Integer, Long, Boolean, String, InstanceName, AmbientFont, NoObject };
  Kind kind = Kind::Integer;
  std::int32_t number = 0;  // for Integer, Long and Boolean
};

// One member of the published interface.
struct Member {
  std::int32_t id = 0;  // dispatch identifier
  std::string_view name;
  std::uint8_t access = 0;  // Access flags
  values::AutoType type = values::AutoType::Long;
  const values::EnumInfo* enumeration = nullptr;  // the enumeration of an Enum member
  // Saved in the property bag under its name, written as `written` with `fallback` beside it.
  bool saved = false;
  values::VarType written = values::VarType::Empty;
  BagDefault fallback;
  // Adaptors through Variant. `put` serves put and put-by-reference. `changed` reads the value
  // as get does, and gives it only when it is not the same as `before` (values::sameValue),
  // compared before any Variant is made of it.
  values::Variant (*get)(const Kestrin&) = nullptr;
  std::optional<values::Variant> (*changed)(const Kestrin&, const values::Variant& before) = nullptr;
  void (*put)(Kestrin&, const values::Variant&) = nullptr;
  void (*call)(Kestrin&) = nullptr;
  // Identity of the put procedure or the method, for compile-time lookups from the code.
  const char* procedure = nullptr;

  constexpr bool has(Access a) const { return (access & a) != 0; }
  // Function entries in the published interface: one per get, put, put-by-reference and method.
  constexpr int functionEntries() const {
    return (has(Get) ? 1 : 0) + (has(Put) ? 1 : 0) + (has(PutRef) ? 1 : 0) + (has(Method) ? 1 : 0);
  }
};

// One published event. Its typed call reaches the matching virtual of KestrinEvents.
struct Event {
  values::EventInfo info;
  void (*typed)(KestrinEvents&, values::EventArgs&) = nullptr;
  const char* procedure = nullptr;  // identity of the KestrinEvents virtual
};

namespace detail {

// A distinct address for each procedure (put, method or event virtual).
template <auto Procedure>
inline constexpr char procedureKey = 0;

// Whether two Variants are the same as values::sameValue tells (objects by content).
bool sameObject(const values::Variant& before, const values::Variant& now);

// The C++ type a property of each automation type has in the control's procedures, its
// conversions to and from Variant, and whether a value is the same (values::sameValue) as the
// Variant `before`, told in place where the Variant it would be wrapped in equals `before`
// (the same object, for an object).
template <values::AutoType T>
struct Conv;
template <>
struct Conv<values::AutoType::Boolean> {
  static values::Variant wrap(Boolean v) { return values::Variant::boolean(v); }
  static Boolean unwrap(const values::Variant& v) { return v.toBoolean(); }
  static bool same(const values::Variant& before, Boolean v) { return before.isBoolean(v); }
};
template <>
struct Conv<values::AutoType::Integer> {
  static values::Variant wrap(std::int16_t v) { return values::Variant::integer(v); }
  static std::int16_t unwrap(const values::Variant& v) { return v.toInteger(); }
  static bool same(const values::Variant& before, std::int16_t v) { return before.isInteger(v); }
};
template <>
struct Conv<values::AutoType::Long> {
  static values::Variant wrap(std::int32_t v) { return values::Variant::longValue(v); }
  static std::int32_t unwrap(const values::Variant& v) { return v.toLong(); }
  static bool same(const values::Variant& before, std::int32_t v) { return before.isLong(v); }
};
template <>
struct Conv<values::AutoType::Enum> : Conv<values::AutoType::Long> {};
template <>
struct Conv<values::AutoType::Color> {
  static values::Variant wrap(OleColor v) { return values::colorVariant(v); }
  static OleColor unwrap(const values::Variant& v) { return values::toColor(v); }
  static bool same(const values::Variant& before, OleColor v) { return before.isLong(static_cast<std::int32_t>(v)); }
};
template <>
struct Conv<values::AutoType::String> {
  static values::Variant wrap(std::string v) { return values::Variant::string(std::move(v)); }
  static std::string unwrap(const values::Variant& v) { return v.toString(); }
  static bool same(const values::Variant& before, const std::string& v) { return before.isString(v); }
};
template <>
struct Conv<values::AutoType::Font> {
  static values::Variant wrap(values::FontRef v) { return values::Variant::font(std::move(v)); }
  static values::FontRef unwrap(const values::Variant& v) { return v.toFont(); }
  static bool same(const values::Variant& before, const values::FontRef& v) {
    return before.isFont(v) || sameObject(before, wrap(v));
  }
};
template <>
struct Conv<values::AutoType::Picture> {
  static values::Variant wrap(values::PictureRef v) { return values::Variant::picture(std::move(v)); }
  static values::PictureRef unwrap(const values::Variant& v) { return v.toPicture(); }
  static bool same(const values::Variant& before, const values::PictureRef& v) {
    return before.isPicture(v) || sameObject(before, wrap(v));
  }
};

template <values::AutoType T, auto Getter>
values::Variant getVia(const Kestrin& k) {
  return Conv<T>::wrap((k.*Getter)());
}
template <values::AutoType T, auto Getter>
std::optional<values::Variant> changedVia(const Kestrin& k, const values::Variant& before) {
  auto v = (k.*Getter)();
  if (Conv<T>::same(before, v)) return std::nullopt;
  return Conv<T>::wrap(std::move(v));
}
template <values::AutoType T, auto Putter>
void putVia(Kestrin& k, const values::Variant& v) {
  (k.*Putter)(Conv<T>::unwrap(v));
}
template <auto Procedure>
void callVia(Kestrin& k) {
  (k.*Procedure)();
}

// Calls a KestrinEvents virtual with the event's arguments, each by reference.
template <typename Method>
struct EventCall;
template <typename... Args>
struct EventCall<void (KestrinEvents::*)(Args&...)> {
  template <auto M, std::size_t... I>
  static void call(KestrinEvents& sink, values::EventArgs& args, std::index_sequence<I...>) {
    (sink.*M)(args.ref<Args>(I)...);
  }
  static constexpr std::size_t arity = sizeof...(Args);
};
template <auto M>
void typedVia(KestrinEvents& sink, values::EventArgs& args) {
  using Call = EventCall<decltype(M)>;
  Call::template call<M>(sink, args, std::make_index_sequence<Call::arity>{});
}

constexpr BagDefault asInteger(std::int32_t v) { return {BagDefault::Kind::Integer, v}; }
constexpr BagDefault asLong(std::int32_t v) { return {BagDefault::Kind::Long, v}; }
constexpr BagDefault asLong(std::uint32_t v) { return {BagDefault::Kind::Long, static_cast<std::int32_t>(v)}; }
constexpr BagDefault asBoolean(Boolean v) { return {BagDefault::Kind::Boolean, v}; }
constexpr BagDefault emptyString{BagDefault::Kind::String, 0};
constexpr BagDefault instanceName{BagDefault::Kind::InstanceName, 0};
constexpr BagDefault ambientFont{BagDefault::Kind::AmbientFont, 0};
constexpr BagDefault noObject{BagDefault::Kind::NoObject, 0};

struct Saved {
  values::VarType written;
  BagDefault fallback;
};
inline constexpr Saved notSaved{values::VarType::Empty, {}};

template <values::AutoType T, auto Getter, auto Putter>
constexpr Member getPut(std::int32_t id, std::string_view name, Saved s, const values::EnumInfo* e = nullptr) {
  return Member{id,          name,        Get | Put,
                T,           e,           s.written != values::VarType::Empty,
                s.written,   s.fallback,  &getVia<T, Getter>,
                &changedVia<T, Getter>, &putVia<T, Putter>, nullptr, &procedureKey<Putter>};
}
template <auto Getter, auto Putter>
constexpr Member getPutEnum(std::int32_t id, std::string_view name, const values::EnumInfo& e, Saved s) {
  return getPut<values::AutoType::Enum, Getter, Putter>(id, name, s, &e);
}
template <values::AutoType T, auto Getter, auto Putter>
constexpr Member getPutRef(std::int32_t id, std::string_view name, Saved s) {
  Member m = getPut<T, Getter, Putter>(id, name, s);
  m.access = Get | PutRef;
  return m;
}
template <values::AutoType T, auto Getter>
constexpr Member getOnly(std::int32_t id, std::string_view name) {
  return Member{id,
                name,
                Get,
                T,
                nullptr,
                false,
                values::VarType::Empty,
                {},
                &getVia<T, Getter>,
                &changedVia<T, Getter>,
                nullptr,
                nullptr,
                nullptr};
}
template <auto Procedure>
constexpr Member method(std::int32_t id, std::string_view name) {
  return Member{id,      name,    Method,  values::AutoType::Long, nullptr, false, values::VarType::Empty, {},
                nullptr, nullptr, nullptr, &callVia<Procedure>, &procedureKey<Procedure>};
}

template <auto M>
constexpr Event event(std::int32_t id, std::string_view name, std::span<const values::ParamInfo> params, bool raised) {
  return Event{values::EventInfo{id, name, params, raised}, &typedVia<M>, &procedureKey<M>};
}

// Argument lists of the events.
using values::AutoType;
inline constexpr values::ParamInfo kEffect[] = {{"Effect", AutoType::Long}};
inline constexpr values::ParamInfo kDragDrop[] = {{"Data", AutoType::DataObject}, {"Effect", AutoType::Long},
                                                {"Button", AutoType::Integer},  {"Shift", AutoType::Integer},
                                                {"X", AutoType::Single},        {"Y", AutoType::Single}};
inline constexpr values::ParamInfo kDragOver[] = {{"Data", AutoType::DataObject}, {"Effect", AutoType::Long},
                                                {"Button", AutoType::Integer},  {"Shift", AutoType::Integer},
                                                {"X", AutoType::Single},        {"Y", AutoType::Single},
                                                {"State", AutoType::Integer}};
inline constexpr values::ParamInfo kKey[] = {{"KeyCode", AutoType::Integer}, {"Shift", AutoType::Integer}};
inline constexpr values::ParamInfo kKeyAscii[] = {{"KeyAscii", AutoType::Integer}};
inline constexpr values::ParamInfo kMouse[] = {{"Button", AutoType::Integer},
                                             {"Shift", AutoType::Integer},
                                             {"X", AutoType::Single},
                                             {"Y", AutoType::Single}};
inline constexpr values::ParamInfo kGiveFeedback[] = {{"Effect", AutoType::Long},
                                                      {"DefaultCursors", AutoType::Boolean}};
inline constexpr values::ParamInfo kStartDrag[] = {{"Data", AutoType::DataObject}, {"AllowedEffects", AutoType::Long}};
inline constexpr values::ParamInfo kSetData[] = {{"Data", AutoType::DataObject}, {"DataFormat", AutoType::Integer}};

}  // namespace detail

// ---- the tables ---------------------------------------------------------------------------------

// The members of the published interface, in slot order. Property identifiers count down from
// 0x68030031 (0x68030010 to 0x68030014 are not published); the methods take 0x60030042 to
// 0x60030044.
inline constexpr std::array<Member, 48> kMembers = [] {
  using namespace detail;
  using K = Kestrin;
  using T = values::AutoType;
  using V = values::VarType;
  const Saved asBool{V::Boolean, asBoolean(values::False)};
  return std::array<Member, 48>{
      getPutEnum<&K::get_KestrinType, &K::put_KestrinType>(0x68030031, "KestrinType", enums::DefKestrinType,
                                                           {V::Long, asLong(NORMAL_TYPE)}),
      getPutEnum<&K::get_NumAlignment, &K::put_NumAlignment>(0x68030030, "NumAlignment", enums::DefNumAlign,
                                                             {V::Long, asLong(RIGHT_ALIGN)}),
      getPut<T::Boolean, &K::get_NumSeparatorUse, &K::put_NumSeparatorUse>(0x6803002F, "NumSeparatorUse",
                                                                           {V::Boolean, asBoolean(values::True)}),
      getPut<T::Boolean, &K::get_CaptionView, &K::put_CaptionView>(0x6803002E, "CaptionView",
                                                                   {V::Boolean, asInteger(1)}),
      getPut<T::String, &K::get_Caption, &K::put_Caption>(0x6803002D, "Caption", {V::String, instanceName}),
      getPutEnum<&K::get_Appearance, &K::put_Appearance>(0x6803002C, "Appearance", enums::DefAppearance,
                                                         {V::Long, asLong(ThreeD)}),
      getPut<T::String, &K::get_ToolTipText, &K::put_ToolTipText>(0x6803002B, "ToolTipText", {V::String, emptyString}),
      getPut<T::Boolean, &K::get_InvalidBeep, &K::put_InvalidBeep>(0x6803002A, "InvalidBeep", asBool),
      getPutEnum<&K::get_FormatDate, &K::put_FormatDate>(0x68030029, "FormatDate", enums::DefDateFormat,
                                                         {V::Long, asLong(YYMMDD)}),
      getPutEnum<&K::get_FormatTime, &K::put_FormatTime>(0x68030028, "FormatTime", enums::DefTimeFormat,
                                                         {V::Long, asLong(HM)}),
      getPut<T::Color, &K::get_BackColor, &K::put_BackColor>(0x68030027, "BackColor",
                                                             {V::Long, asLong(values::SystemWindowBackground)}),
      getPut<T::Color, &K::get_ColorValid, &K::put_ColorValid>(0x68030026, "ColorValid",
                                                               {V::Long, asLong(values::SystemWindowBackground)}),
      getPut<T::Boolean, &K::get_ColorValidUse, &K::put_ColorValidUse>(0x68030025, "ColorValidUse",
                                                                       {V::Boolean, asInteger(1)}),
      getPut<T::Color, &K::get_ColorInValid, &K::put_ColorInValid>(0x68030024, "ColorInValid",
                                                                   {V::Long, asLong(0x000000FF)}),
      getPut<T::Boolean, &K::get_ColorInValidUse, &K::put_ColorInValidUse>(0x68030023, "ColorInValidUse",
                                                                           {V::Boolean, asInteger(1)}),
      getPut<T::Color, &K::get_ColorEdit, &K::put_ColorEdit>(0x68030022, "ColorEdit", {V::Long, asLong(0x0000FFFF)}),
      getPut<T::Boolean, &K::get_ColorEditUse, &K::put_ColorEditUse>(0x68030021, "ColorEditUse",
                                                                     {V::Boolean, asInteger(0)}),
      getPut<T::Long, &K::get_Interval, &K::put_Interval>(0x68030020, "Interval", {V::Long, asInteger(80)}),
      getPutEnum<&K::get_Alignment, &K::put_Alignment>(0x6803001F, "Alignment", enums::DefAlign,
                                                       {V::Long, asLong(LeftTop)}),
      getPut<T::Long, &K::get_BoxWidth, &K::put_BoxWidth>(0x6803001E, "BoxWidth", {V::Long, asInteger(1600)}),
      getPut<T::Boolean, &K::get_BoxWidthLock, &K::put_BoxWidthLock>(0x6803001D, "BoxWidthLock",
                                                                     {V::Boolean, asInteger(0)}),
      getPut<T::Boolean, &K::get_AutoSize, &K::put_AutoSize>(0x6803001C, "AutoSize", {V::Boolean, asInteger(0)}),
      getPut<T::Boolean, &K::get_AutoRedraw, &K::put_AutoRedraw>(0x6803001B, "AutoRedraw", asBool),
      getPut<T::Boolean, &K::get_Locked, &K::put_Locked>(0x6803001A, "Locked", asBool),
      getPut<T::Long, &K::get_MaxLength, &K::put_MaxLength>(0x68030019, "MaxLength", {V::Long, asInteger(0)}),
      getPutRef<T::Picture, &K::get_MouseIcon, &K::putref_MouseIcon>(0x68030018, "MouseIcon", {V::Picture, noObject}),
      getPut<T::Integer, &K::get_MousePointer, &K::put_MousePointer>(0x68030017, "MousePointer",
                                                                     {V::Integer, asInteger(0)}),
      getPut<T::Boolean, &K::get_Enabled, &K::put_Enabled>(0x68030016, "Enabled",
                                                           {V::Boolean, asBoolean(values::True)}),
      getOnly<T::Long, &K::get_hWnd>(0x68030015, "hWnd"),
      getOnly<T::Integer, &K::get_ScrollBars>(0x6803000F, "ScrollBars"),
      getPut<T::Long, &K::get_SelLength, &K::put_SelLength>(0x6803000E, "SelLength", {V::Long, asInteger(0)}),
      getPut<T::Long, &K::get_SelStart, &K::put_SelStart>(0x6803000D, "SelStart", {V::Long, asInteger(0)}),
      getPut<T::String, &K::get_SelText, &K::put_SelText>(0x6803000C, "SelText", {V::String, emptyString}),
      getPut<T::String, &K::get_Text, &K::put_Text>(0x6803000B, "Text", {V::String, instanceName}),
      getPutRef<T::Font, &K::get_LabelFont, &K::putref_LabelFont>(0x6803000A, "LabelFont", {V::Font, ambientFont}),
      getPut<T::Color, &K::get_LabelForeColor, &K::put_LabelForeColor>(0x68030009, "LabelForeColor",
                                                                       {V::Long, asLong(values::SystemWindowText)}),
      getPutRef<T::Font, &K::get_Font, &K::putref_Font>(0x68030008, "Font", {V::Font, ambientFont}),
      getPut<T::Color, &K::get_ForeColor, &K::put_ForeColor>(0x68030007, "ForeColor",
                                                             {V::Long, asLong(values::SystemWindowText)}),
      getPut<T::Integer, &K::get_LinkMode, &K::put_LinkMode>(0x68030006, "LinkMode", {V::Integer, asInteger(0)}),
      getPut<T::String, &K::get_LinkItem, &K::put_LinkItem>(0x68030005, "LinkItem", {V::String, emptyString}),
      getPut<T::String, &K::get_LinkTopic, &K::put_LinkTopic>(0x68030004, "LinkTopic", {V::String, emptyString}),
      getPut<T::Integer, &K::get_LinkTimeout, &K::put_LinkTimeout>(0x68030003, "LinkTimeout",
                                                                   {V::Integer, asInteger(50)}),
      method<&K::LinkSend>(0x60030042, "LinkSend"),
      method<&K::LinkRequest>(0x60030043, "LinkRequest"),
      method<&K::OLEDrag>(0x60030044, "OLEDrag"),
      getPut<T::Integer, &K::get_OLEDragMode, &K::put_OLEDragMode>(0x68030002, "OLEDragMode",
                                                                   {V::Integer, asInteger(0)}),
      getPut<T::Integer, &K::get_OLEDropMode, &K::put_OLEDropMode>(0x68030001, "OLEDropMode",
                                                                   {V::Integer, asInteger(0)}),
      getPut<T::Boolean, &K::get_ValidState, &K::put_ValidState>(0x68030000, "ValidState", {V::Boolean, asInteger(0)}),
  };
}();

// The events of the published event interface, in slot order (identifiers 1 to 15). The last
// three are published but never raised.
inline constexpr std::array<Event, 15> kEvents = [] {
  using namespace detail;
  using E = KestrinEvents;
  return std::array<Event, 15>{
      event<&E::Change>(1, "Change", {}, true),
      event<&E::Click>(2, "Click", {}, true),
      event<&E::DblClick>(3, "DblClick", {}, true),
      event<&E::OLECompleteDrag>(4, "OLECompleteDrag", kEffect, true),
      event<&E::OLEDragDrop>(5, "OLEDragDrop", kDragDrop, true),
      event<&E::OLEDragOver>(6, "OLEDragOver", kDragOver, true),
      event<&E::KeyDown>(7, "KeyDown", kKey, true),
      event<&E::KeyPress>(8, "KeyPress", kKeyAscii, true),
      event<&E::KeyUp>(9, "KeyUp", kKey, true),
      event<&E::MouseDown>(10, "MouseDown", kMouse, true),
      event<&E::MouseMove>(11, "MouseMove", kMouse, true),
      event<&E::MouseUp>(12, "MouseUp", kMouse, true),
      event<&E::OLEGiveFeedback>(13, "OLEGiveFeedback", kGiveFeedback, false),
      event<&E::OLEStartDrag>(14, "OLEStartDrag", kStartDrag, false),
      event<&E::OLESetData>(15, "OLESetData", kSetData, false),
  };
}();

// ---- what the tables promise ------------------------------------------------------------------

constexpr int functionEntries() {
  int n = 0;
  for (const Member& m : kMembers) n += m.functionEntries();
  return n;
}
constexpr int raisedEvents() {
  int n = 0;
  for (const Event& e : kEvents) n += e.info.raised ? 1 : 0;
  return n;
}
constexpr bool eventsInSlotOrder() {
  for (std::size_t i = 0; i < kEvents.size(); ++i)
    if (kEvents[i].info.id != static_cast<std::int32_t>(i + 1)) return false;
  return true;
}
constexpr bool propertyIdentifiersCountDown() {
  std::int32_t last = 0x68030032;
  for (const Member& m : kMembers) {
    if (m.has(Method)) continue;
    if (m.id >= last || (m.id >= 0x68030010 && m.id <= 0x68030014)) return false;
    last = m.id;
  }
  return last == 0x68030000;
}
static_assert(kMembers.size() == 48);
static_assert(functionEntries() == 91);
static_assert(kEvents.size() == 15 && raisedEvents() == 12 && eventsInSlotOrder());
static_assert(enums::All.size() == 7);
static_assert(propertyIdentifiersCountDown());

// ---- lookups --------------------------------------------------------------------------------

// The slot of the member whose put (or method) is `Procedure`; compiling fails for a procedure
// that the table does not publish.
template <auto Procedure>
consteval std::size_t slotOf() {
  for (std::size_t i = 0; i < kMembers.size(); ++i)
    if (kMembers[i].procedure == &detail::procedureKey<Procedure>) return i;
  throw "not a published put or method";
}
template <auto Procedure>
inline constexpr const Member& memberOf = kMembers[slotOf<Procedure>()];

// The event whose KestrinEvents virtual is `Procedure`.
template <auto Procedure>
consteval std::size_t eventSlotOf() {
  for (std::size_t i = 0; i < kEvents.size(); ++i)
    if (kEvents[i].procedure == &detail::procedureKey<Procedure>) return i;
  throw "not a published event";
}

// By name (any case) or by identifier; nullptr when there is no such member.
const Member* find(std::string_view name);
const Member* find(std::int32_t id);
const Event* findEvent(std::string_view name);
const Event* findEvent(std::int32_t id);

// Reads, sets or calls a member through its adaptor. A set coerces the value to the member's
// type. Errors: 438 for a get or call the member does not have, 383 for a put on a get-only
// member (nothing changes), 13 and 6 from the coercion, and whatever the control raises.
values::Variant get(const Kestrin& k, const Member& m);
// What a get reads now when it is not the same as `before` (values::sameValue), none when it is;
// an unchanged value costs less than a get and a comparison. The same errors as get.
inline std::optional<values::Variant> changed(const Kestrin& k, const Member& m, const values::Variant& before) {
  if (m.changed == nullptr) values::raiseError(values::err::MemberNotSupported);
  return m.changed(k, before);
}
void put(Kestrin& k, const Member& m, const values::Variant& v);
void call(Kestrin& k, const Member& m);

// The same by name or identifier; 438 for an unknown member.
values::Variant get(const Kestrin& k, std::string_view name);
void put(Kestrin& k, std::string_view name, const values::Variant& v);

// The saved properties' keys in the order ReadProperties reads them back, each once, where it
// is first read. Designers declare the properties in this order, so code generated from a
// designed form sets them in the order a loaded control reads them.
std::span<const std::string_view> readOrder();

// A bag default as a value, with the instance name and ambient font taken from `surface`.
values::Variant defaultValue(const BagDefault& d, const host::Surface& surface);

// A control seen by name, as the property page and other by-name clients use it.
class Dispatch final : public values::Dispatch {
 public:
  explicit Dispatch(Kestrin& k) : k_(k) {}
  values::Variant getProperty(const std::string& name) override { return get(k_, name); }
  void setProperty(const std::string& name, const values::Variant& value) override { put(k_, name, value); }

 private:
  Kestrin& k_;
};

// The member table as clients see it by identifier: each row's identifier, name, type and
// enumeration, its access flags as the invocation kinds it answers. Slot i here is slot i of
// kMembers.
inline constexpr std::array<values::MemberInfo, kMembers.size()> kMemberInfo = [] {
  std::array<values::MemberInfo, kMembers.size()> info{};
  for (std::size_t i = 0; i < kMembers.size(); ++i) {
    const Member& m = kMembers[i];
    const std::uint16_t kinds = (m.has(Get) ? values::InvokeGet : 0) | (m.has(Put) ? values::InvokePut : 0) |
                                (m.has(PutRef) ? values::InvokePutRef : 0) | (m.has(Method) ? values::InvokeMethod : 0);
    info[i] = values::MemberInfo{m.id, m.name, kinds, m.type, m.enumeration};
  }
  return info;
}();

// A control seen by identifier, as the component runtime and scripting clients reach it: the
// automation rules of values::Automation over the member table's adaptors.
class Automation final : public values::Automation {
 public:
  explicit Automation(Kestrin& k) : k_(k) {}
  std::span<const values::MemberInfo> members() const override { return kMemberInfo; }

 protected:
  values::Variant getMember(const values::MemberInfo& m) override;
  void putMember(const values::MemberInfo& m, const values::Variant& value) override;
  void callMember(const values::MemberInfo& m) override;

 private:
  Kestrin& k_;
};

}  // namespace kestrinx::members

namespace kestrinx {

// Definitions of the control's table-driven templates (declared in kestrin.h).

template <auto Put>
void Kestrin::notifyChanged() {
  static constexpr const members::Member& m = members::memberOf<Put>;
  surface().propertyChanged(std::string(m.name));
}

template <auto Put, typename T>
void Kestrin::storeAndNotify(T& field, T v) {
  field = v;
  notifyChanged<Put>();
}

template <auto Put>
void Kestrin::putDefault() {
  static constexpr const members::Member& m = members::memberOf<Put>;
  m.put(*this, members::defaultValue(m.fallback, surface()));
}

template <auto Event, typename... A>
void Kestrin::raise(A&... args) {
  static constexpr const members::Event& e = members::kEvents[members::eventSlotOf<Event>()];
  static_assert(e.info.params.size() == sizeof...(A), "the event's argument list");
  const std::array<values::ArgRef, sizeof...(A)> refs{values::ArgRef(&args)...};
  values::EventArgs eventArgs(e.info, refs);
  raiseEvent(eventArgs);
}

}  // namespace kestrinx
