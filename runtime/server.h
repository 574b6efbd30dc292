// The component server: what a library's four entry points forward to, each with the library's
// project descriptor, returning the result unchanged.
#pragma once

#include "runtime/kestrinx_abi.h"
#include "runtime/project.h"

namespace kestrinx::runtime {

// Registers the project's classes, type library and interfaces in the registry file
// (registration.h). KX_SELFREG_E_CLASS when the registry cannot be read or written; it is then
// unchanged.
KxHResult registerServer(const Project& project, const Configuration& config = {}) noexcept;
// Removes those registrations; KX_SELFREG_E_CLASS as above.
KxHResult unregisterServer(const Project& project, const Configuration& config = {}) noexcept;
// A class factory for class `rclsid` of the project as `riid`; CLASS_E_CLASSNOTAVAILABLE for a
// class the project does not have.
KxHResult getClassObject(const Project& project, const KxGuid* rclsid, const KxGuid* riid, void** ppv) noexcept;
// S_FALSE while an object this runtime created lives or a server lock is held, else S_OK.
KxHResult canUnloadNow() noexcept;

}  // namespace kestrinx::runtime
