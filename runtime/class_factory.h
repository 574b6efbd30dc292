// Class factories: one per request, for one control or page class, creating its objects and
// holding server locks.
#pragma once

#include <variant>

#include "runtime/object.h"
#include "runtime/project.h"

namespace kestrinx::runtime {

class ClassFactory final : public Object {
 public:
  // A factory for `cls` (copied), with one reference.
  static ClassFactory* create(std::variant<ControlClass, PageClass> cls);

  KxClassFactory* iface() { return &face_.iface; }
  KxHResult createInstance(KxUnknown* outer, const KxGuid* riid, void** ppv);
  KxHResult lockServer(std::int32_t lock);

 private:
  explicit ClassFactory(std::variant<ControlClass, PageClass> cls);
  void* interfaceFor(const KxGuid& iid) noexcept override;

  Face<KxClassFactory> face_;
  std::variant<ControlClass, PageClass> class_;
};

}  // namespace kestrinx::runtime
