// Class factories.
#include "runtime/class_factory.h"

#include <utility>

#include "runtime/control_object.h"
#include "runtime/errors.h"
#include "runtime/page_object.h"

namespace kestrinx::runtime {

namespace {

ClassFactory& factoryOf(KxClassFactory* p) { return ownerOf<ClassFactory>(p); }

KxHResult createInstanceEntry(KxClassFactory* self, KxUnknown* outer, const KxGuid* riid, void** ppv) noexcept {
  return factoryOf(self).createInstance(outer, riid, ppv);
}

KxHResult lockServerEntry(KxClassFactory* self, std::int32_t lock) noexcept { return factoryOf(self).lockServer(lock); }

constexpr KxClassFactoryVtbl kFactoryTable{&queryInterfaceEntry<KxClassFactory>, &addRefEntry<KxClassFactory>,
                                           &releaseEntry<KxClassFactory>, &createInstanceEntry, &lockServerEntry};

// Hands out interface `riid` of a new object and drops the creation reference, so an object
// nobody asked a valid interface of is gone again.
template <typename O>
KxHResult handOut(O* object, const KxGuid* riid, void** ppv) {
  const KxHResult hr = object->queryInterface(riid, ppv);
  object->release();
  return hr;
}

}  // namespace

ClassFactory::ClassFactory(std::variant<ControlClass, PageClass> cls)
    : face_{{&kFactoryTable}, this}, class_(std::move(cls)) {}

ClassFactory* ClassFactory::create(std::variant<ControlClass, PageClass> cls) {
  return new ClassFactory(std::move(cls));
}

void* ClassFactory::interfaceFor(const KxGuid& iid) noexcept {
  return iid == KX_IID_UNKNOWN || iid == KX_IID_CLASSFACTORY ? &face_.iface : nullptr;
}

KxHResult ClassFactory::createInstance(KxUnknown* outer, const KxGuid* riid, void** ppv) {
  if (ppv == nullptr) return KX_E_POINTER;
  *ppv = nullptr;
  if (riid == nullptr) return KX_E_POINTER;
  if (outer != nullptr) return KX_CLASS_E_NOAGGREGATION;
  return guarded([&] {
    if (const auto* control = std::get_if<ControlClass>(&class_))
      return handOut(ControlObject::create(*control), riid, ppv);
    return handOut(PageObject::create(std::get<PageClass>(class_)), riid, ppv);
  });
}

KxHResult ClassFactory::lockServer(std::int32_t lock) {
  if (lock != 0) {
    runtime::lockServer();
    return KX_S_OK;
  }
  return unlockServer() ? KX_S_OK : KX_E_UNEXPECTED;
}

}  // namespace kestrinx::runtime
