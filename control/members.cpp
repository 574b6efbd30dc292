// Lookups in the member and event tables, and get, put and call through them.
#include "control/members.h"

#include "values/error.h"
#include "values/functions.h"

namespace kestrinx {

void KestrinEvents::onEvent(const values::EventInfo& event, values::EventArgs& args) {
  const members::Event* e = members::findEvent(event.id);
  // Only the control's own events have a virtual here; anything else is not ours to hear.
  if (e == nullptr || e->info.params.size() != args.size()) return;
  e->typed(*this, args);
}

namespace members {

namespace {

const Member& named(std::string_view name) {
  const Member* m = find(name);
  if (m == nullptr) values::raiseError(values::err::MemberNotSupported);
  return *m;
}

}  // namespace

const Member* find(std::string_view name) {
  for (const Member& m : kMembers)
    if (values::equalsIgnoreCase(m.name, name)) return &m;
  return nullptr;
}

const Member* find(std::int32_t id) {
  for (const Member& m : kMembers)
    if (m.id == id) return &m;
  return nullptr;
}

const Event* findEvent(std::string_view name) {
  for (const Event& e : kEvents)
    if (values::equalsIgnoreCase(e.info.name, name)) return &e;
  return nullptr;
}

const Event* findEvent(std::int32_t id) {
  if (id < 1 || id > static_cast<std::int32_t>(kEvents.size())) return nullptr;
  return &kEvents[static_cast<std::size_t>(id - 1)];
}

values::Variant get(const Kestrin& k, const Member& m) {
  if (m.get == nullptr) values::raiseError(values::err::MemberNotSupported);
  return m.get(k);
}

namespace detail {
bool sameObject(const values::Variant& before, const values::Variant& now) { return values::sameValue(before, now); }
}  // namespace detail

void put(Kestrin& k, const Member& m, const values::Variant& v) {
  if (m.has(Method)) values::raiseError(values::err::MemberNotSupported);
  if (m.put == nullptr) values::raiseError(values::err::ReadOnlyProperty);
  m.put(k, v);
}

void call(Kestrin& k, const Member& m) {
  if (m.call == nullptr) values::raiseError(values::err::MemberNotSupported);
  m.call(k);
}

values::Variant get(const Kestrin& k, std::string_view name) { return get(k, named(name)); }

void put(Kestrin& k, std::string_view name, const values::Variant& v) { put(k, named(name), v); }

namespace {

// The table row of an entry of kMemberInfo (the same slot).
const Member& rowOf(const values::MemberInfo& m) {
  const auto slot = static_cast<std::size_t>(&m - kMemberInfo.data());
  if (slot >= kMembers.size()) values::raiseError(values::err::MemberNotSupported);
  return kMembers[slot];
}

}  // namespace

values::Variant Automation::getMember(const values::MemberInfo& m) { return get(k_, rowOf(m)); }

void Automation::putMember(const values::MemberInfo& m, const values::Variant& value) { put(k_, rowOf(m), value); }

void Automation::callMember(const values::MemberInfo& m) { call(k_, rowOf(m)); }

values::Variant defaultValue(const BagDefault& d, const host::Surface& surface) {
  switch (d.kind) {
    case BagDefault::Kind::Integer: return values::Variant::integer(static_cast<std::int16_t>(d.number));
    case BagDefault::Kind::Long: return values::Variant::longValue(d.number);
    case BagDefault::Kind::Boolean: return values::Variant::boolean(static_cast<Boolean>(d.number));
    case BagDefault::Kind::String: return values::Variant::string("");
    case BagDefault::Kind::InstanceName: return values::Variant::string(surface.extenderName());
    case BagDefault::Kind::AmbientFont: return values::Variant::font(surface.ambientFont());
    case BagDefault::Kind::NoObject: return values::Variant::picture(nullptr);
  }
  return {};
}

}  // namespace members

}  // namespace kestrinx
