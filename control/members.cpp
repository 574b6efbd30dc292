// Lookups in the member and event tables, and get, put and call through them.
#include "control/members.h"

#include "host/error.h"
#include "host/form_file.h"
#include "host/values.h"

namespace kestrinx {

void KestrinEvents::onEvent(const host::EventInfo& event, host::EventArgs& args) {
  const members::Event* e = members::findEvent(event.id);
  // Only the control's own events have a virtual here; anything else is not ours to hear.
  if (e == nullptr || e->info.params.size() != args.size()) return;
  e->typed(*this, args);
}

namespace members {

namespace {

const Member& named(std::string_view name) {
  const Member* m = find(name);
  if (m == nullptr) host::raiseError(host::err::MemberNotSupported);
  return *m;
}

}  // namespace

const Member* find(std::string_view name) {
  for (const Member& m : kMembers)
    if (host::equalsIgnoreCase(m.name, name)) return &m;
  return nullptr;
}

const Member* find(std::int32_t id) {
  for (const Member& m : kMembers)
    if (m.id == id) return &m;
  return nullptr;
}

const Event* findEvent(std::string_view name) {
  for (const Event& e : kEvents)
    if (host::equalsIgnoreCase(e.info.name, name)) return &e;
  return nullptr;
}

const Event* findEvent(std::int32_t id) {
  if (id < 1 || id > static_cast<std::int32_t>(kEvents.size())) return nullptr;
  return &kEvents[static_cast<std::size_t>(id - 1)];
}

host::Variant get(const Kestrin& k, const Member& m) {
  if (m.get == nullptr) host::raiseError(host::err::MemberNotSupported);
  return m.get(k);
}

namespace detail {
bool sameObject(const host::Variant& before, const host::Variant& now) { return host::sameValue(before, now); }
}  // namespace detail

void put(Kestrin& k, const Member& m, const host::Variant& v) {
  if (m.has(Method)) host::raiseError(host::err::MemberNotSupported);
  if (m.put == nullptr) host::raiseError(host::err::ReadOnlyProperty);
  m.put(k, v);
}

void call(Kestrin& k, const Member& m) {
  if (m.call == nullptr) host::raiseError(host::err::MemberNotSupported);
  m.call(k);
}

host::Variant get(const Kestrin& k, std::string_view name) { return get(k, named(name)); }

void put(Kestrin& k, std::string_view name, const host::Variant& v) { put(k, named(name), v); }

namespace {

// The table row of an entry of kMemberInfo (the same slot).
const Member& rowOf(const host::MemberInfo& m) {
  const auto slot = static_cast<std::size_t>(&m - kMemberInfo.data());
  if (slot >= kMembers.size()) host::raiseError(host::err::MemberNotSupported);
  return kMembers[slot];
}

}  // namespace

host::Variant Automation::getMember(const host::MemberInfo& m) { return get(k_, rowOf(m)); }

void Automation::putMember(const host::MemberInfo& m, const host::Variant& value) { put(k_, rowOf(m), value); }

void Automation::callMember(const host::MemberInfo& m) { call(k_, rowOf(m)); }

host::Variant defaultValue(const BagDefault& d, const host::Surface& surface) {
  switch (d.kind) {
    case BagDefault::Kind::Integer: return host::Variant::integer(static_cast<std::int16_t>(d.number));
    case BagDefault::Kind::Long: return host::Variant::longValue(d.number);
    case BagDefault::Kind::Boolean: return host::Variant::boolean(static_cast<Boolean>(d.number));
    case BagDefault::Kind::String: return host::Variant::string("");
    case BagDefault::Kind::InstanceName: return host::Variant::string(surface.extenderName());
    case BagDefault::Kind::AmbientFont: return host::Variant::font(surface.ambientFont());
    case BagDefault::Kind::NoObject: return host::Variant::picture(nullptr);
  }
  return {};
}

}  // namespace members

}  // namespace kestrinx
