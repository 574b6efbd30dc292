// Registration entries from the project descriptor.
#include "runtime/registration.h"

#include <cstdio>
#include <filesystem>

namespace kestrinx::runtime {

namespace {

std::string version(std::uint16_t major, std::uint16_t minor) {
  return std::to_string(major) + "." + std::to_string(minor);
}

std::string hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", v);
  return buf;
}

class Entries {
 public:
  void key(const std::string& k) { list_.push_back({k, std::nullopt, {}}); }
  void value(const std::string& k, const std::string& name, const std::string& data) {
    list_.push_back({k, name, data});
  }
  std::vector<RegistryEntry> take() { return std::move(list_); }

 private:
  std::vector<RegistryEntry> list_;
};

}  // namespace

std::vector<RegistryEntry> registrationEntries(const Project& project) {
  const TypeLibraryEntry& lib = project.typeLibrary;
  const std::string libid = lib.libid.toString();
  const std::string libVersion = version(lib.majorVersion, lib.minorVersion);
  Entries e;

  const auto classEntries = [&](const values::Guid& clsid, const std::string& name, const std::string& progId,
                                bool control) {
    const std::string k = "CLSID\\" + clsid.toString();
    e.value(k, "", name);
    e.value(k + "\\InprocServer32", "", project.modulePath);
    e.value(k + "\\InprocServer32", "ThreadingModel", "Apartment");
    e.value(k + "\\ProgID", "", progId);
    e.value(k + "\\TypeLib", "", libid);
    e.value(k + "\\Version", "", libVersion);
    if (control) {
      e.key(k + "\\Control");
      e.value(k + "\\ToolboxBitmap32", "", project.modulePath + ", " + std::to_string(project.toolboxBitmapId));
    }
    e.value(progId, "", name);
    e.value(progId + "\\CLSID", "", clsid.toString());
  };
  for (const ControlClass& c : project.controls) classEntries(c.clsid, c.name, c.component.progId, true);
  for (const PageClass& p : project.pages) classEntries(p.clsid, p.name, p.progId, false);

  const std::string t = "TypeLib\\" + libid + "\\" + libVersion;
  e.value(t, "", lib.name);
  e.value(t + "\\" + hex(lib.lcid) + "\\" + lib.platform, "", project.modulePath);
  e.value(t + "\\FLAGS", "", "0");
  e.value(t + "\\HELPDIR", "", std::filesystem::path(project.modulePath).parent_path().string());

  for (const InterfaceEntry& i : lib.interfaces) {
    const std::string k = "Interface\\" + i.iid.toString();
    e.value(k, "", i.name);
    e.value(k + "\\TypeLib", "", libid);
    e.value(k + "\\TypeLib", "Version", libVersion);
  }
  return e.take();
}

bool registerProject(Registry& registry, const Project& project) {
  bool changed = false;
  for (const RegistryEntry& entry : registrationEntries(project)) {
    const bool c = entry.name ? registry.setValue(entry.key, *entry.name, entry.data) : registry.createKey(entry.key);
    changed = changed || c;
  }
  return changed;
}

bool unregisterProject(Registry& registry, const Project& project) {
  const std::vector<RegistryEntry> entries = registrationEntries(project);
  bool changed = false;
  for (const RegistryEntry& entry : entries) {
    if (entry.name && registry.removeValue(entry.key, *entry.name)) changed = true;
  }
  // Keys last, deepest first, so a key emptied by removing its subkeys goes too.
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (registry.removeEmptyKeys(it->key)) changed = true;
  }
  return changed;
}

}  // namespace kestrinx::runtime
