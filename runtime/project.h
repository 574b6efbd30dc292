// What a component library tells the runtime about itself: its classes (controls and property
// pages, with their identifiers, names and how to create them), its type library and its
// interfaces, the toolbox image and the file it is loaded from. The library's four entry points
// hand this descriptor to the runtime (server.h); the runtime knows no class of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/component.h"
#include "host/control_site.h"
#include "host/page_site.h"
#include "values/automation.h"

namespace kestrinx::runtime {

// Where a control created by a class factory stands: the site it is created on and whatever
// host owns that site. The runtime keeps it for the control's lifetime.
class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual host::ControlSite& site() = 0;
};

// A property page as the runtime drives it through the page protocol.
class PropertyPage {
 public:
  virtual ~PropertyPage() = default;
  // Once, after the page is created.
  virtual void initialize() = 0;
  // The selection changed: load the widgets from the first selected control.
  virtual void selectionChanged() = 0;
  // Apply the widgets to every selected control.
  virtual void applyChanges() = 0;
};

// A control class: created on a ControlHost of its own, reached by identifier through its
// values::Automation, raising its events through a connection point for `eventInterfaceId`.
struct ControlClass {
  values::Guid clsid;
  std::string name;              // "Kestrin": the class's name in the registry
  values::Guid interfaceId;        // its default (dual) interface
  values::Guid eventInterfaceId;   // its source interface
  host::ComponentClass component;  // its programmatic name and how to create one on a site
  // The host a new control stands on; `instanceName` is the name its site gives it.
  std::function<std::unique_ptr<ControlHost>(const std::string& instanceName)> makeHost;
};

// A property page class: its widgets come from a page site the library provides (which owns
// them); the runtime supplies the selection and the Changed flag.
struct PageClass {
  values::Guid clsid;
  std::string name;    // "General"
  std::string progId;  // "KestrinX.General"
  values::Guid interfaceId;
  std::function<std::unique_ptr<host::PageSite>()> makeWidgetSite;
  std::function<std::unique_ptr<PropertyPage>(host::PageSite&)> create;
};

// An interface the type library describes, as the registry lists it.
struct InterfaceEntry {
  values::Guid iid;
  std::string name;
};

// The type library, which the library file carries as resource TYPELIB `resourceId`.
struct TypeLibraryEntry {
  values::Guid libid;
  std::string name;
  std::uint16_t majorVersion = 1;
  std::uint16_t minorVersion = 0;
  std::uint32_t lcid = 0;
  std::string platform;  // the system kind's registry name ("win32")
  std::uint16_t resourceId = 1;
  std::vector<InterfaceEntry> interfaces;
};

struct Project {
  std::string name;        // "KestrinX"
  std::string modulePath;  // the library file, as the registry records it
  TypeLibraryEntry typeLibrary;
  std::uint16_t toolboxBitmapId = 0;  // the controls' toolbox image, a bitmap resource of the library
  std::vector<ControlClass> controls;
  std::vector<PageClass> pages;
};

// The runtime's own settings.
struct Configuration {
  // The registry file; when not given: $KESTRINX_REGISTRY, else
  // $XDG_DATA_HOME/kestrinx/registry.json, else ~/.local/share/kestrinx/registry.json.
  std::optional<std::string> registryPath;
};

}  // namespace kestrinx::runtime
