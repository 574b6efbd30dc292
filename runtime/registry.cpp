// The registry tree, its JSON file, where the file is, and safe updates of it.
#include "runtime/registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <vector>

#include "forms/atomic_file.h"
#include "values/text.h"

namespace kestrinx::runtime {

namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kFormat = "kestrinx-registry";
constexpr int kVersion = 1;
constexpr std::size_t kMaxFileSize = 16u << 20;
constexpr int kMaxDepth = 32;

std::vector<std::string> split(std::string_view path) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view name = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (name.empty()) throw RegistryError("registry key path '" + std::string(path) + "' has an empty name");
    names.emplace_back(name);
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

Json keyToJson(const RegistryKey& key) {
  Json j = Json::object();
  if (!key.values.empty()) {
    Json values = Json::object();
    for (const auto& [name, data] : key.values) values[name] = data;
    j["values"] = std::move(values);
  }
  if (!key.keys.empty()) {
    Json keys = Json::object();
    for (const auto& [name, sub] : key.keys) keys[name] = keyToJson(sub);
    j["keys"] = std::move(keys);
  }
  return j;
}

// Reads the subkeys of `into` from `keys` (a JSON object of key objects).
void readKeys(const Json& keys, RegistryKey& into, const std::string& path, int depth);

void readKey(const Json& j, RegistryKey& key, const std::string& path, int depth) {
  if (!j.is_object()) throw RegistryError("key '" + path + "' is not an object");
  for (const auto& [member, value] : j.items()) {
    if (member == "values") {
      if (!value.is_object()) throw RegistryError("the values of key '" + path + "' are not an object");
      for (const auto& [name, data] : value.items()) {
        if (!data.is_string()) throw RegistryError("value '" + name + "' of key '" + path + "' is not a string");
        if (!key.values.emplace(name, data.get<std::string>()).second)
          throw RegistryError("key '" + path + "' has two values named '" + name + "'");
      }
    } else if (member == "keys") {
      readKeys(value, key, path, depth + 1);
    } else {
      throw RegistryError("key '" + path + "' has an unknown member '" + member + "'");
    }
  }
}

void readKeys(const Json& keys, RegistryKey& into, const std::string& path, int depth) {
  if (depth > kMaxDepth)
    throw RegistryError("keys nested deeper than " + std::to_string(kMaxDepth) + " below '" + path + "'");
  if (!keys.is_object()) throw RegistryError("the subkeys of '" + path + "' are not an object");
  for (const auto& [name, sub] : keys.items()) {
    const std::string subPath = path.empty() ? name : path + "\\" + name;
    if (name.empty() || name.find('\\') != std::string::npos)
      throw RegistryError("key name '" + subPath + "' is empty or holds a backslash");
    RegistryKey key;
    readKey(sub, key, subPath, depth);
    if (!into.keys.emplace(name, std::move(key)).second)
      throw RegistryError("two keys named '" + subPath + "' (names do not depend on case)");
  }
}

// Creates the folders a registry file stands in.
void createFolderOf(const std::string& path) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (!folder.empty()) std::filesystem::create_directories(folder, ec);
  if (ec) throw RegistryError("cannot create the folder of registry file " + path + ": " + ec.message());
}

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr && *pw->pw_dir != '\0')
    return pw->pw_dir;
  throw RegistryError("no registry file: neither KESTRINX_REGISTRY, XDG_DATA_HOME nor a home folder is set");
}

const char* variable(const char* name) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? v : nullptr;
}

}  // namespace

bool NoCase::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const char x = values::toLowerAscii(a[i]), y = values::toLowerAscii(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

// ---- the tree ------------------------------------------------------------------------------------

const RegistryKey* Registry::find(std::string_view path) const {
  const RegistryKey* key = &root_;
  for (const std::string& name : split(path)) {
    const auto it = key->keys.find(name);
    if (it == key->keys.end()) return nullptr;
    key = &it->second;
  }
  return key;
}

bool Registry::createKey(std::string_view path) {
  bool changed = false;
  RegistryKey* key = &root_;
  for (const std::string& name : split(path)) {
    auto [it, inserted] = key->keys.try_emplace(name);
    changed = changed || inserted;
    key = &it->second;
  }
  return changed;
}

bool Registry::setValue(std::string_view path, std::string_view name, std::string_view data) {
  bool changed = createKey(path);
  RegistryKey& key = const_cast<RegistryKey&>(*find(path));
  const auto it = key.values.find(name);
  if (it == key.values.end()) {
    key.values.emplace(std::string(name), std::string(data));
    return true;
  }
  if (it->second != data) {
    it->second = std::string(data);
    changed = true;
  }
  return changed;
}

bool Registry::removeValue(std::string_view path, std::string_view name) {
  const RegistryKey* found = find(path);
  if (found == nullptr) return false;
  auto& values = const_cast<RegistryKey*>(found)->values;
  const auto it = values.find(name);
  if (it == values.end()) return false;
  values.erase(it);
  return true;
}

bool Registry::removeEmptyKeys(std::string_view path) {
  std::vector<std::string> names = split(path);
  bool changed = false;
  while (!names.empty()) {
    RegistryKey* parent = &root_;
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
      const auto it = parent->keys.find(names[i]);
      if (it == parent->keys.end()) return changed;
      parent = &it->second;
    }
    const auto it = parent->keys.find(names.back());
    if (it == parent->keys.end() || !it->second.empty()) return changed;
    parent->keys.erase(it);
    changed = true;
    names.pop_back();
  }
  return changed;
}

void Registry::forEachKey(const std::function<void(const std::string&, const RegistryKey&)>& visit) const {
  const std::function<void(const std::string&, const RegistryKey&)> walk = [&](const std::string& path,
                                                                                const RegistryKey& key) {
    for (const auto& [name, sub] : key.keys) {
      const std::string subPath = path.empty() ? name : path + "\\" + name;
      visit(subPath, sub);
      walk(subPath, sub);
    }
  };
  walk("", root_);
}

std::string Registry::toJson() const {
  Json j = Json::object();
  j["format"] = kFormat;
  j["version"] = kVersion;
  j["keys"] = keyToJson(root_).value("keys", Json::object());
  try {
    return j.dump(2) + "\n";
  } catch (const nlohmann::json::exception& e) {
    throw RegistryError(std::string("the registry holds text that is not UTF-8: ") + e.what());
  }
}

Registry Registry::fromJson(std::string_view text) {
  Json j;
  try {
    j = Json::parse(text.begin(), text.end());
  } catch (const nlohmann::json::exception& e) {
    throw RegistryError(std::string("not JSON: ") + e.what());
  }
  if (!j.is_object()) throw RegistryError("not a registry file: the top level is not an object");
  const auto format = j.find("format");
  if (format == j.end() || *format != kFormat)
    throw RegistryError("not a registry file: \"format\" is not \"" + std::string(kFormat) + "\"");
  const auto version = j.find("version");
  if (version == j.end() || !version->is_number_integer() || *version != kVersion)
    throw RegistryError("registry file version is not " + std::to_string(kVersion));
  Registry r;
  for (const auto& [member, value] : j.items()) {
    if (member == "keys") {
      readKeys(value, r.root_, "", 1);
    } else if (member != "format" && member != "version") {
      throw RegistryError("registry file has an unknown member '" + member + "'");
    }
  }
  return r;
}

// ---- the file --------------------------------------------------------------------------------------

std::string registryPath(const Configuration& config) {
  if (config.registryPath && !config.registryPath->empty()) return *config.registryPath;
  if (const char* explicitPath = variable("KESTRINX_REGISTRY")) return explicitPath;
  if (const char* data = variable("XDG_DATA_HOME"); data != nullptr && data[0] == '/')
    return (std::filesystem::path(data) / "kestrinx" / "registry.json").string();
  return (std::filesystem::path(homeFolder()) / ".local" / "share" / "kestrinx" / "registry.json").string();
}

Registry loadRegistry(const std::string& path) {
  std::string text;
  try {
    text = forms::readWholeFile(path, kMaxFileSize);
  } catch (const forms::FileAccessError& e) {
    if (e.errorNumber() == ENOENT) return {};
    throw RegistryError(e.what());
  }
  try {
    return Registry::fromJson(text);
  } catch (const RegistryError& e) {
    throw RegistryError("registry file " + path + ": " + e.what());
  }
}

void saveRegistry(const std::string& path, const Registry& registry) {
  const std::string text = registry.toJson();
  createFolderOf(path);
  try {
    forms::replaceFile(path, text);
  } catch (const forms::FileAccessError& e) {
    throw RegistryError(e.what());
  }
}

void updateRegistry(const std::string& path, const std::function<bool(Registry&)>& change) {
  createFolderOf(path);
  std::optional<forms::FileLock> lock;
  try {
    lock.emplace(path);
  } catch (const forms::FileAccessError& e) {
    throw RegistryError(e.what());
  }
  Registry registry = loadRegistry(path);
  if (change(registry)) saveRegistry(path, registry);
}

}  // namespace kestrinx::runtime
