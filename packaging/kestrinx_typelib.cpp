#include "packaging/kestrinx_typelib.h"

#include <stdexcept>
#include <string>

#include "control/enumerations.h"
#include "control/members.h"
#include "packaging/typelib_identity.h"
#include "packaging/typelib_writer.h"
#include "propertypage/general_identity.h"

namespace kestrinx::packaging {

namespace {

using namespace codes;
using tlb::TypeSpec;

// The name of the value parameter of every property get, put and put-by-reference.
constexpr const char* kValueParam = "Value";

constexpr std::uint32_t kDualInterfaceFlags =
    TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
constexpr std::uint32_t kEventInterfaceFlags = TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;

class Builder {
 public:
  tlb::Library build() {
    lib_.name = std::string(kLibrary.name);
    lib_.docString = std::string(kLibrary.docString);
    lib_.helpFile = std::string(kLibrary.helpFile);
    lib_.libid = kLibrary.libid;
    lib_.majorVersion = kLibrary.majorVersion;
    lib_.minorVersion = kLibrary.minorVersion;
    lib_.lcid = kLibrary.lcid;
    lib_.sysKind = kLibrary.sysKind;
    lib_.dispatch = importOf(kIDispatch);

    lib_.types.resize(kFirstEnumeration + enums::All.size());
    lib_.types[kKestrinInterface] =
        dispatchInterface(members::kInterfaceName, members::kInterfaceId, kDualInterfaceFlags);
    for (const members::Member& m : members::kMembers) addFunctions(lib_.types[kKestrinInterface], m);

    lib_.types[kKestrinClass] = coclass(members::kClassName, members::kClassId, TYPEFLAG_FCONTROL);
    lib_.types[kKestrinClass].implemented = {{kKestrinInterface, IMPLTYPEFLAG_FDEFAULT},
                                             {kKestrinEvents, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE}};

    lib_.types[kGeneralInterface] =
        dispatchInterface(propertypage::kGeneralInterfaceName, propertypage::kGeneralInterfaceId, kDualInterfaceFlags);
    lib_.types[kGeneralClass] = coclass(propertypage::kGeneralClassName, propertypage::kGeneralClassId, 0);
    lib_.types[kGeneralClass].implemented = {{kGeneralInterface, IMPLTYPEFLAG_FDEFAULT}};

    lib_.types[kKestrinEvents] =
        dispatchInterface(members::kEventInterfaceName, members::kEventInterfaceId, kEventInterfaceFlags);
    for (const members::Event& e : members::kEvents) addEvent(lib_.types[kKestrinEvents], e.info);

    for (std::size_t i = 0; i < enums::All.size(); ++i) lib_.types[kFirstEnumeration + i] = enumeration(*enums::All[i]);
    return std::move(lib_);
  }

 private:
  // The index of an imported type, importing it (and its library) on first use.
  std::size_t importOf(const ImportedTypeIdentity& t) {
    for (std::size_t i = 0; i < imported_.size(); ++i)
      if (imported_[i] == &t) return i;
    std::size_t library = 0;
    while (library < libraries_.size() && libraries_[library] != t.library) ++library;
    if (library == libraries_.size()) {
      libraries_.push_back(t.library);
      lib_.libraries.push_back({std::string(t.library->fileName), t.library->libid, t.library->majorVersion,
                                t.library->minorVersion, t.library->lcid});
    }
    imported_.push_back(&t);
    lib_.importedTypes.push_back({library, t.guid, t.kind});
    return imported_.size() - 1;
  }

  tlb::TypeEntry dispatchInterface(std::string_view name, const values::Guid& guid, std::uint32_t flags) {
    tlb::TypeEntry t;
    t.kind = TKIND_DISPATCH;
    t.name = std::string(name);
    t.guid = guid;
    t.flags = flags;
    t.base = importOf(kIDispatch);
    return t;
  }

  static tlb::TypeEntry coclass(std::string_view name, const values::Guid& guid, std::uint32_t flags) {
    tlb::TypeEntry t;
    t.kind = TKIND_COCLASS;
    t.name = std::string(name);
    t.guid = guid;
    t.flags = flags;
    return t;
  }

  static tlb::TypeEntry enumeration(const values::EnumInfo& info) {
    tlb::TypeEntry t;
    t.kind = TKIND_ENUM;
    t.name = std::string(info.name);
    t.guid = info.guid;
    for (const values::EnumMember& m : info.members)
      t.constants.push_back({std::string(m.name), m.value, std::string(m.name)});
    return t;
  }

  // The type a value of the automation type has (before any by-reference pointer).
  TypeSpec valueType(values::AutoType type, const values::EnumInfo* enumeration) {
    switch (type) {
      case values::AutoType::Boolean: return TypeSpec::basic(VT_BOOL);
      case values::AutoType::Integer: return TypeSpec::basic(VT_I2);
      case values::AutoType::Long: return TypeSpec::basic(VT_I4);
      case values::AutoType::Single: return TypeSpec::basic(VT_R4);
      case values::AutoType::String: return TypeSpec::basic(VT_BSTR);
      case values::AutoType::Color: return TypeSpec::imported(importOf(kOleColor));
      case values::AutoType::Font: return TypeSpec::imported(importOf(kFont)).pointer();
      case values::AutoType::Picture: return TypeSpec::imported(importOf(kPicture)).pointer();
      case values::AutoType::DataObject: return TypeSpec::imported(importOf(kDataObject)).pointer();
      case values::AutoType::Enum:
        for (std::size_t i = 0; i < enums::All.size(); ++i)
          if (enums::All[i] == enumeration) return TypeSpec::local(kFirstEnumeration + i);
        throw std::logic_error("type library: a member's enumeration is not published");
    }
    throw std::logic_error("type library: unknown automation type");
  }

  void addFunctions(tlb::TypeEntry& t, const members::Member& m) {
    const TypeSpec hresult = TypeSpec::basic(VT_HRESULT);
    const std::string name(m.name);
    if (m.has(members::Method)) {
      t.functions.push_back({m.id, name, INVOKE_FUNC, hresult, {}});
      return;
    }
    const TypeSpec value = valueType(m.type, m.enumeration);
    if (m.has(members::Get))
      t.functions.push_back({m.id,
                             name,
                             INVOKE_PROPERTYGET,
                             hresult,
                             {{kValueParam, value.pointer(), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}}});
    if (m.has(members::Put))
      t.functions.push_back({m.id, name, INVOKE_PROPERTYPUT, hresult, {{kValueParam, value, PARAMFLAG_FIN}}});
    if (m.has(members::PutRef))
      t.functions.push_back({m.id, name, INVOKE_PROPERTYPUTREF, hresult, {{kValueParam, value, PARAMFLAG_FIN}}});
  }

  void addEvent(tlb::TypeEntry& t, const values::EventInfo& e) {
    tlb::Function f{e.id, std::string(e.name), INVOKE_FUNC, TypeSpec::basic(VT_VOID), {}};
    for (const values::ParamInfo& p : e.params)
      f.params.push_back({std::string(p.name), valueType(p.type, nullptr).pointer(), PARAMFLAG_FIN | PARAMFLAG_FOUT});
    t.functions.push_back(std::move(f));
  }

  tlb::Library lib_;
  std::vector<const ImportedTypeIdentity*> imported_;
  std::vector<const ImportedLibraryIdentity*> libraries_;
};

}  // namespace

tlb::Library describeKestrinX() { return Builder().build(); }

std::vector<std::uint8_t> kestrinxTypeLibrary() { return writeTypeLibrary(describeKestrinX()); }

}  // namespace kestrinx::packaging
