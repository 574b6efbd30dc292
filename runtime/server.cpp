// The four server operations over the project descriptor.
#include "runtime/server.h"

#include "runtime/class_factory.h"
#include "runtime/errors.h"
#include "runtime/object.h"
#include "runtime/registration.h"
#include "runtime/registry.h"

namespace kestrinx::runtime {

namespace {

KxHResult update(const Project& project, const Configuration& config, bool add) noexcept {
  try {
    updateRegistry(registryPath(config), [&](Registry& r) {
      return add ? registerProject(r, project) : unregisterProject(r, project);
    });
    return KX_S_OK;
  } catch (...) {
    return KX_SELFREG_E_CLASS;
  }
}

}  // namespace

KxHResult registerServer(const Project& project, const Configuration& config) noexcept {
  return update(project, config, true);
}

KxHResult unregisterServer(const Project& project, const Configuration& config) noexcept {
  return update(project, config, false);
}

KxHResult getClassObject(const Project& project, const KxGuid* rclsid, const KxGuid* riid, void** ppv) noexcept {
  if (ppv == nullptr) return KX_E_POINTER;
  *ppv = nullptr;
  if (rclsid == nullptr || riid == nullptr) return KX_E_POINTER;
  const values::Guid clsid = toGuid(*rclsid);
  return guarded([&]() -> KxHResult {
    ClassFactory* factory = nullptr;
    for (const ControlClass& c : project.controls)
      if (c.clsid == clsid) factory = ClassFactory::create(c);
    for (const PageClass& p : project.pages)
      if (factory == nullptr && p.clsid == clsid) factory = ClassFactory::create(p);
    if (factory == nullptr) return KX_CLASS_E_CLASSNOTAVAILABLE;
    const KxHResult hr = factory->queryInterface(riid, ppv);
    factory->release();
    return hr;
  });
}

KxHResult canUnloadNow() noexcept { return liveObjects() == 0 && serverLocks() == 0 ? KX_S_OK : KX_S_FALSE; }

}  // namespace kestrinx::runtime
