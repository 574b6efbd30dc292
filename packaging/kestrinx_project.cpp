// The project descriptor, from the tables the type library is written from.
#include "packaging/kestrinx_project.h"

#include "control/kestrin_component.h"
#include "control/members.h"
#include "host/headless/page_site.h"
#include "packaging/automation_codes.h"
#include "packaging/kestrinx_resources.h"
#include "packaging/typelib_identity.h"
#include "propertypage/general.h"
#include "propertypage/general_identity.h"
#include "runtime/kestrinx_abi.h"

namespace kestrinx::packaging {

// The C interface speaks the variant type numbers and invocation kinds the type library is
// written in.
constexpr bool sameCodes() {
  constexpr int pairs[][2] = {
      {KX_VT_I2, codes::VT_I2},           {KX_VT_I4, codes::VT_I4},
      {KX_VT_R4, codes::VT_R4},           {KX_VT_R8, codes::VT_R8},
      {KX_VT_DATE, codes::VT_DATE},       {KX_VT_BSTR, codes::VT_BSTR},
      {KX_VT_DISPATCH, codes::VT_DISPATCH}, {KX_VT_ERROR, codes::VT_ERROR},
      {KX_VT_BOOL, codes::VT_BOOL},       {KX_VT_VARIANT, codes::VT_VARIANT},
      {KX_VT_UNKNOWN, codes::VT_UNKNOWN}, {KX_DISPATCH_METHOD, codes::INVOKE_FUNC},
      {KX_DISPATCH_PROPERTYGET, codes::INVOKE_PROPERTYGET}, {KX_DISPATCH_PROPERTYPUT, codes::INVOKE_PROPERTYPUT},
      {KX_DISPATCH_PROPERTYPUTREF, codes::INVOKE_PROPERTYPUTREF},
  };
  for (const auto& p : pairs)
    if (p[0] != p[1]) return false;
  return true;
}
static_assert(sameCodes());

// The General page edits the Kestrin control by name, through dispatch, and includes nothing of
// the control; this is where the two meet. Every property the page binds is a member of the
// control with a get and a put, of the type its widget carries: a list's index is an
// enumeration's value, a check box a Boolean, a text box a string or a whole number.
constexpr bool carries(propertypage::ValueKind kind, const members::Member& m) {
  using K = propertypage::ValueKind;
  switch (kind) {
    case K::ListIndex: return m.type == values::AutoType::Enum && m.enumeration != nullptr;
    case K::Check: return m.type == values::AutoType::Boolean;
    case K::Text: return m.type == values::AutoType::String;
    case K::NumberText: return m.type == values::AutoType::Long;
  }
  return false;
}
constexpr bool pageBindsMembers() {
  for (const propertypage::Binding& b : propertypage::kBindings) {
    bool found = false;
    for (const members::Member& m : members::kMembers)
      if (m.name == b.property) found = m.has(members::Get) && m.has(members::Put) && carries(b.kind, m);
    if (!found) return false;
  }
  return true;
}
static_assert(pageBindsMembers(), "a binding of the General page names no member of the Kestrin control, or one "
                                  "without a get and a put of the type its widget carries");

namespace {

// The General page as the runtime drives it.
class GeneralPage final : public runtime::PropertyPage {
 public:
  explicit GeneralPage(host::PageSite& site) : page_(site) {}
  void initialize() override { page_.PropertyPage_Initialize(); }
  void selectionChanged() override { page_.PropertyPage_SelectionChanged(); }
  void applyChanges() override { page_.PropertyPage_ApplyChanges(); }

 private:
  propertypage::General page_;
};

// The registry's name of a type library's system kind.
std::string platformName(codes::SysKind kind) {
  switch (kind) {
    case codes::SYS_WIN16: return "win16";
    case codes::SYS_WIN32: return "win32";
    case codes::SYS_MAC: return "mac";
    case codes::SYS_WIN64: return "win64";
  }
  return "win32";
}

}  // namespace

runtime::Project kestrinxProject(const std::string& modulePath) {
  runtime::Project p;
  p.name = std::string(kLibrary.name);
  p.modulePath = modulePath;
  p.toolboxBitmapId = kToolboxBitmapId;

  runtime::TypeLibraryEntry& lib = p.typeLibrary;
  lib.libid = kLibrary.libid;
  lib.name = std::string(kLibrary.name);
  lib.majorVersion = kLibrary.majorVersion;
  lib.minorVersion = kLibrary.minorVersion;
  lib.lcid = kLibrary.lcid;
  lib.platform = platformName(kLibrary.sysKind);
  lib.resourceId = 1;
  lib.interfaces = {
      {members::kInterfaceId, std::string(members::kInterfaceName)},
      {members::kEventInterfaceId, std::string(members::kEventInterfaceName)},
      {propertypage::kGeneralInterfaceId, std::string(propertypage::kGeneralInterfaceName)},
  };

  runtime::ControlClass kestrin;
  kestrin.clsid = members::kClassId;
  kestrin.name = std::string(members::kClassName);
  kestrin.interfaceId = members::kInterfaceId;
  kestrin.eventInterfaceId = members::kEventInterfaceId;
  kestrin.component = kestrinClass();
  kestrin.makeHost = [](const std::string& instanceName) -> std::unique_ptr<runtime::ControlHost> {
    return std::make_unique<HeadlessControlHost>(instanceName);
  };
  p.controls.push_back(std::move(kestrin));

  runtime::PageClass general;
  general.clsid = propertypage::kGeneralClassId;
  general.name = std::string(propertypage::kGeneralClassName);
  general.progId = std::string(propertypage::kGeneralProgId);
  general.interfaceId = propertypage::kGeneralInterfaceId;
  general.makeWidgetSite = []() -> std::unique_ptr<host::PageSite> { return std::make_unique<headless::PageSite>(); };
  general.create = [](host::PageSite& site) -> std::unique_ptr<runtime::PropertyPage> {
    return std::make_unique<GeneralPage>(site);
  };
  p.pages.push_back(std::move(general));
  return p;
}

}  // namespace kestrinx::packaging
