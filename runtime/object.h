// The objects the runtime hands across the C interface (runtime/kestrinx_abi.h): one reference
// count per object, the interfaces it answers, and the module-wide counts that decide whether
// the library may be unloaded (every live object and every server lock).
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/kestrinx_abi.h"
#include "values/automation.h"

namespace kestrinx::runtime {

inline bool operator==(const KxGuid& a, const KxGuid& b) { return kx_guid_equal(&a, &b) != 0; }

constexpr KxGuid toKxGuid(const values::Guid& g) {
  return KxGuid{g.data1, g.data2, g.data3,
                {g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]}};
}
constexpr values::Guid toGuid(const KxGuid& k) {
  return values::Guid{k.Data1, k.Data2, k.Data3,
                    {k.Data4[0], k.Data4[1], k.Data4[2], k.Data4[3], k.Data4[4], k.Data4[5], k.Data4[6], k.Data4[7]}};
}

// Objects alive now and server locks held, over every object this runtime created.
long liveObjects();
long serverLocks();
void lockServer();
// False (and nothing changes) when no lock is held.
bool unlockServer();

// An object with a reference count, counted among the live objects from creation to
// destruction. It is created with one reference, which its creator hands on or releases.
class Object {
 public:
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  std::uint32_t addRef() noexcept;
  std::uint32_t release() noexcept;  // destroys the object when the count reaches 0
  // Hands out interface `iid` with one reference added; E_NOINTERFACE, E_POINTER.
  KxHResult queryInterface(const KxGuid* iid, void** ppv) noexcept;

 protected:
  Object() noexcept;
  virtual ~Object();
  // The object's interface `iid`, or nullptr when it has none. Every object answers
  // IUnknown with the same pointer for as long as it lives.
  virtual void* interfaceFor(const KxGuid& iid) noexcept = 0;

 private:
  std::atomic<std::uint32_t> refs_{1};
};

// One C interface of an object: the interface structure (its function table) followed by the
// object it belongs to. The C side sees only the first member.
template <typename Interface>
struct Face {
  Interface iface;
  Object* owner;
};

template <typename Owner, typename Interface>
Owner& ownerOf(Interface* p) {
  return static_cast<Owner&>(*reinterpret_cast<Face<Interface>*>(p)->owner);
}

// The three first entries of every function table.
template <typename Interface>
KxHResult queryInterfaceEntry(Interface* self, const KxGuid* iid, void** ppv) noexcept {
  return reinterpret_cast<Face<Interface>*>(self)->owner->queryInterface(iid, ppv);
}
template <typename Interface>
std::uint32_t addRefEntry(Interface* self) noexcept {
  return reinterpret_cast<Face<Interface>*>(self)->owner->addRef();
}
template <typename Interface>
std::uint32_t releaseEntry(Interface* self) noexcept {
  return reinterpret_cast<Face<Interface>*>(self)->owner->release();
}

}  // namespace kestrinx::runtime
