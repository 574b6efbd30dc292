// The automation rules of invocation by identifier, for every control class.
#include "values/dispatch.h"

#include "values/error.h"
#include "values/text.h"

namespace kestrinx::values {

const MemberInfo* Automation::find(std::string_view name) const {
  for (const MemberInfo& m : members())
    if (equalsIgnoreCase(m.name, name)) return &m;
  return nullptr;
}

const MemberInfo* Automation::find(std::int32_t id) const {
  for (const MemberInfo& m : members())
    if (m.id == id) return &m;
  return nullptr;
}

Variant Automation::invoke(std::int32_t id, std::uint16_t kinds, std::span<const Variant> args) {
  const MemberInfo* m = find(id);
  if (m == nullptr) raiseError(err::MemberNotSupported);
  const std::uint16_t offered = kinds & m->kinds;
  if ((offered & InvokeGet) != 0) {
    if (!args.empty()) raiseError(err::WrongNumberOfArguments);
    return getMember(*m);
  }
  if ((offered & InvokeMethod) != 0) {
    if (!args.empty()) raiseError(err::WrongNumberOfArguments);
    callMember(*m);
    return {};
  }
  if ((offered & (InvokePut | InvokePutRef)) != 0) {
    if (args.empty()) raiseError(err::ArgumentNotOptional);
    if (args.size() > 1) raiseError(err::WrongNumberOfArguments);
    putMember(*m, coerce(args[0], m->type));
    return {};
  }
  // A put of a property that can only be read is the read-only error; every other kind the
  // member does not have is an unsupported member.
  const bool putOfReadOnly = (kinds & (InvokePut | InvokePutRef)) != 0 && m->has(InvokeGet) &&
                             !m->has(InvokePut) && !m->has(InvokePutRef);
  raiseError(putOfReadOnly ? err::ReadOnlyProperty : err::MemberNotSupported);
}

}  // namespace kestrinx::values
