#include "registry_cmd.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "options.h"
#include "output.h"
#include "runtime/kestrinx_abi.h"
#include "runtime/registry.h"

namespace kestrinx::cli {

namespace {

enum class Action { Register, Unregister, List };

struct Request {
  Action action = Action::List;
  std::optional<std::string> registry;
  std::optional<std::string> library;
};

Request parse(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("registry needs register, unregister or list (see 'kestrinx registry --help')");
  Request r;
  if (args[0] == "register") {
    r.action = Action::Register;
  } else if (args[0] == "unregister") {
    r.action = Action::Unregister;
  } else if (args[0] == "list") {
    r.action = Action::List;
  } else {
    throw UsageError("registry: unknown action " + shown(args[0]) + " (expected register, unregister or list)");
  }
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    const std::size_t eq = a.find('=');
    const std::string name = a.rfind("--", 0) == 0 && eq != std::string::npos ? a.substr(0, eq) : a;
    std::optional<std::string>* target = name == "--registry" ? &r.registry : name == "--library" ? &r.library : nullptr;
    if (target == nullptr) throw UsageError("registry: unknown option " + shown(a));
    if (name != a) {
      *target = a.substr(eq + 1);
    } else if (i + 1 < args.size()) {
      *target = args[++i];
    } else {
      throw UsageError("option " + name + " needs a value");
    }
    if ((*target)->empty()) throw UsageError("option " + name + " needs a value");
  }
  return r;
}

// Where the tool itself is, to find the library beside it.
std::filesystem::path toolFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path() : exe.parent_path();
}

std::string libraryFile(const Request& r) {
  if (r.library) return *r.library;
  if (const char* v = std::getenv("KESTRINX_LIBRARY"); v != nullptr && *v != '\0') return v;
  const std::filesystem::path folder = toolFolder();
  if (!folder.empty()) {
    for (const char* relative : {"libKestrinX.so.1", "../packaging/libKestrinX.so.1", "../lib/libKestrinX.so.1"}) {
      const std::filesystem::path candidate = (folder / relative).lexically_normal();
      std::error_code ec;
      if (std::filesystem::exists(candidate, ec)) return candidate.string();
    }
  }
  return "libKestrinX.so.1";
}

// Names written in a listing: as they are when printable, else quoted and escaped.
std::string printable(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7f) return jsonString(s);
  return s;
}

int list(const std::string& path, std::FILE* out) {
  const runtime::Registry registry = runtime::loadRegistry(path);
  std::fprintf(out, "registry %s\n", printable(path).c_str());
  registry.forEachKey([&](const std::string& key, const runtime::RegistryKey& k) {
    std::fprintf(out, "%s\n", printable(key).c_str());
    for (const auto& [name, data] : k.values)
      std::fprintf(out, "  %s = %s\n", name.empty() ? "(default)" : printable(name).c_str(), jsonString(data).c_str());
  });
  return 0;
}

int callLibrary(const Request& r, const std::string& registryPath, std::FILE* out, std::FILE* err) {
  const char* entry = r.action == Action::Register ? "DllRegisterServer" : "DllUnregisterServer";
  const char* verb = r.action == Action::Register ? "register" : "unregister";
  const std::string file = libraryFile(r);
  // The library reads the registry's place from the environment.
  ::setenv("KESTRINX_REGISTRY", registryPath.c_str(), 1);
  void* library = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* why = ::dlerror();
    std::fprintf(err, "kestrinx: registry %s: cannot load %s: %s\n", verb, file.c_str(), why ? why : "unknown error");
    return 1;
  }
  const auto call = reinterpret_cast<KxDllRegisterServerFn>(::dlsym(library, entry));
  const auto canUnload = reinterpret_cast<KxDllCanUnloadNowFn>(::dlsym(library, "DllCanUnloadNow"));
  if (call == nullptr) {
    std::fprintf(err, "kestrinx: registry %s: %s has no %s\n", verb, file.c_str(), entry);
    ::dlclose(library);
    return 1;
  }
  const KxHResult hr = call();
  if (canUnload == nullptr || canUnload() == KX_S_OK) ::dlclose(library);
  if (KX_FAILED(hr)) {
    // The library answers with a code only; reading the registry here says what is wrong with it.
    std::string why = "the registry could not be read or written";
    try {
      (void)runtime::loadRegistry(registryPath);
    } catch (const runtime::RegistryError& e) {
      why = e.what();
    }
    std::fprintf(err, "kestrinx: registry %s: %s failed (0x%08X): %s\n", verb, entry, static_cast<unsigned>(hr),
                 why.c_str());
    return 1;
  }
  std::fprintf(out, "%s %s in %s\n", r.action == Action::Register ? "registered" : "unregistered", file.c_str(),
               registryPath.c_str());
  return 0;
}

}  // namespace

int registryCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  try {
    if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
      std::fputs(registryHelp().c_str(), out);
      return 0;
    }
    const Request r = parse(args);
    runtime::Configuration config;
    config.registryPath = r.registry;
    const std::string path = runtime::registryPath(config);
    if (r.action == Action::List) return list(path, out);
    return callLibrary(r, path, out, err);
  } catch (const UsageError& e) {
    std::fprintf(err, "kestrinx: %s\n", e.what());
    return 2;
  } catch (const runtime::RegistryError& e) {
    std::fprintf(err, "kestrinx: registry: %s\n", e.what());
    return 1;
  }
}

std::string registryHelp() {
  return R"(Usage: kestrinx registry register|unregister|list [--registry FILE] [--library FILE]

  register    load libKestrinX.so and register its classes (Kestrin, General), its type library,
              interfaces and toolbox image; registering again changes nothing
  unregister  remove exactly what register writes; everything else in the registry stays
  list        every key of the registry with its values

The registry is a JSON file: --registry FILE, else $KESTRINX_REGISTRY, else
$XDG_DATA_HOME/kestrinx/registry.json, else ~/.local/share/kestrinx/registry.json.
The library is --library FILE, else $KESTRINX_LIBRARY, else libKestrinX.so.1 beside this tool,
in ../packaging/ or ../lib/ from it, else wherever the dynamic loader finds it.
)";
}

}  // namespace kestrinx::cli
