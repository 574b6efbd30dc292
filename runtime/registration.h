// What registering a library writes to the registry, and registering and unregistering it.
//
// For each class (CLSID\{clsid}): the class's name as the key's default value; InprocServer32
// (the library file, ThreadingModel "Apartment"); ProgID; TypeLib (the library identifier);
// Version ("1.0"); for a control also the empty Control key and ToolboxBitmap32
// ("<library file>, <bitmap id>"). For each programmatic name: its key with the class's name and
// CLSID. The type library under TypeLib\{libid}\<major.minor> (its name; <lcid hex>\<platform>:
// the library file; FLAGS "0"; HELPDIR the library's folder), and each of its interfaces under
// Interface\{iid} (its name; TypeLib: the library identifier and Version).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "runtime/project.h"
#include "runtime/registry.h"

namespace kestrinx::runtime {

// One entry registration writes: a key, and the value `name` in it; without a name the key alone
// (a marker such as Control).
struct RegistryEntry {
  std::string key;
  std::optional<std::string> name;  // "" is the key's default value
  std::string data;
};

// Every entry registering `project` writes, in order.
std::vector<RegistryEntry> registrationEntries(const Project& project);

// Writes the entries; returns whether the registry changed (registering again changes nothing).
bool registerProject(Registry& registry, const Project& project);
// Removes exactly the values the entries name, then the entries' keys left empty by that, with
// each parent left empty in turn; every other key and value stays. Returns whether the
// registry changed.
bool unregisterProject(Registry& registry, const Project& project);

}  // namespace kestrinx::runtime
