// libKestrinX.so: the library's four entry points, each handing the library's project
// descriptor to the component runtime and returning its result unchanged. Nothing else is
// exported (kestrinx_library.map).
#include <dlfcn.h>

#include <filesystem>
#include <new>
#include <string>

#include "packaging/kestrinx_project.h"
#include "runtime/kestrinx_abi.h"
#include "runtime/server.h"

#define KESTRINX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace kestrinx;

// The library file as it was loaded (absolute, links not resolved, so the registry keeps the
// name the loader found).
std::string modulePath() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&DllGetClassObject), &info) != 0 && info.dli_fname != nullptr &&
      *info.dli_fname != '\0') {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(info.dli_fname, ec);
    if (!ec) return p.lexically_normal().string();
    return info.dli_fname;
  }
  return "libKestrinX.so.1";
}

// The descriptor, made on first use; nullptr when it cannot be made.
const runtime::Project* project() noexcept {
  try {
    static const runtime::Project p = packaging::kestrinxProject(modulePath());
    return &p;
  } catch (...) {
    return nullptr;
  }
}

}  // namespace

KESTRINX_EXPORT KxHResult DllRegisterServer(void) {
  const runtime::Project* p = project();
  return p != nullptr ? runtime::registerServer(*p) : KX_E_OUTOFMEMORY;
}

KESTRINX_EXPORT KxHResult DllUnregisterServer(void) {
  const runtime::Project* p = project();
  return p != nullptr ? runtime::unregisterServer(*p) : KX_E_OUTOFMEMORY;
}

KESTRINX_EXPORT KxHResult DllGetClassObject(const KxGuid* rclsid, const KxGuid* riid, void** ppv) {
  const runtime::Project* p = project();
  if (p == nullptr) {
    if (ppv != nullptr) *ppv = nullptr;
    return KX_E_OUTOFMEMORY;
  }
  return runtime::getClassObject(*p, rclsid, riid, ppv);
}

KESTRINX_EXPORT KxHResult DllCanUnloadNow(void) { return runtime::canUnloadNow(); }
