// The registry the runtime records registrations in: a tree of keys, each with named string
// values ("" is the key's default value) and subkeys, names compared without regard to case as
// the platform's registry compares them, kept in a JSON file.
//
// The file (UTF-8 JSON, written with sorted names and two-space indentation, so equal
// registries are equal files):
//   {
//     "format": "kestrinx-registry",
//     "version": 1,
//     "keys": {
//       "CLSID": {
//         "keys": {
//           "{A7D52C63-91AD-11D2-A265-00A0C93C9297}": {
//             "values": { "": "Kestrin" },
//             "keys": { "InprocServer32": { "values": { "": "/usr/lib/libKestrinX.so.1", ... } }, ... }
//           }
//         }
//       }
//     }
//   }
// A key object has at most the members "values" (name to string) and "keys" (name to key
// object); empty ones are left out. Anything else is refused, so a file this version does not
// fully understand is never rewritten with parts of it lost.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "runtime/project.h"

namespace kestrinx::runtime {

// A registry file that cannot be found, read, understood or written; the message says which
// file and why.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Orders names without regard to the case of ASCII letters.
struct NoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

struct RegistryKey {
  std::map<std::string, std::string, NoCase> values;
  std::map<std::string, RegistryKey, NoCase> keys;

  bool empty() const { return values.empty() && keys.empty(); }
  friend bool operator==(const RegistryKey&, const RegistryKey&) = default;
};

// Keys are addressed by paths of names joined by backslashes ("CLSID\\{...}\\InprocServer32").
// A path with an empty name is refused (RegistryError).
class Registry {
 public:
  const RegistryKey& root() const { return root_; }
  // The key at `path`, or nullptr.
  const RegistryKey* find(std::string_view path) const;
  // Each returns whether the registry changed.
  bool createKey(std::string_view path);
  bool setValue(std::string_view path, std::string_view name, std::string_view data);
  bool removeValue(std::string_view path, std::string_view name);
  // Removes the key at `path` when it is empty, then each of its parents left empty.
  bool removeEmptyKeys(std::string_view path);
  // Every key below the root, parents before children, in name order, with its path.
  void forEachKey(const std::function<void(const std::string& path, const RegistryKey& key)>& visit) const;

  std::string toJson() const;
  // RegistryError for text that is not a registry file of this version.
  static Registry fromJson(std::string_view text);

  friend bool operator==(const Registry&, const Registry&) = default;

 private:
  RegistryKey root_;
};

// The registry file `config` names: its registryPath, else $KESTRINX_REGISTRY, else
// $XDG_DATA_HOME/kestrinx/registry.json (an absolute XDG_DATA_HOME only), else
// ~/.local/share/kestrinx/registry.json (HOME, else the user database). Empty variables count
// as unset. RegistryError when there is no home folder to be found.
std::string registryPath(const Configuration& config);

// Reads a registry file; a file that does not exist is an empty registry. RegistryError for a
// file that cannot be read, is larger than 16 MiB or is not a registry file.
Registry loadRegistry(const std::string& path);

// Replaces the file with `registry` atomically (forms::replaceFile: a temporary file in the same
// folder, flushed to disk, renamed over the file, the folder flushed). Missing folders are
// created. RegistryError on failure, with the file as it was.
void saveRegistry(const std::string& path, const Registry& registry);

// Loads the file, runs `change` and saves the result when `change` returns true, all under the
// file's forms::FileLock (an exclusive lock of "<path>.lock"), so registrations running at once
// do not lose each other's changes. What `change` throws leaves the file as it was.
void updateRegistry(const std::string& path, const std::function<bool(Registry&)>& change);

}  // namespace kestrinx::runtime
