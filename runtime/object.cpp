// Reference counts, interface queries and the module-wide counts.
#include "runtime/object.h"

namespace kestrinx::runtime {

namespace {
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};
}  // namespace

long liveObjects() { return gObjects.load(); }
long serverLocks() { return gLocks.load(); }
void lockServer() { ++gLocks; }

bool unlockServer() {
  long held = gLocks.load();
  while (held > 0) {
    if (gLocks.compare_exchange_weak(held, held - 1)) return true;
  }
  return false;
}

Object::Object() noexcept { ++gObjects; }
Object::~Object() { --gObjects; }

std::uint32_t Object::addRef() noexcept { return ++refs_; }

std::uint32_t Object::release() noexcept {
  const std::uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

KxHResult Object::queryInterface(const KxGuid* iid, void** ppv) noexcept {
  if (ppv == nullptr) return KX_E_POINTER;
  *ppv = nullptr;
  if (iid == nullptr) return KX_E_POINTER;
  void* p = interfaceFor(*iid);
  if (p == nullptr) return KX_E_NOINTERFACE;
  addRef();
  *ppv = p;
  return KX_S_OK;
}

}  // namespace kestrinx::runtime
