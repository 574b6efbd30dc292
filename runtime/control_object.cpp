// Control objects: dispatch by identifier, and event connections.
#include "runtime/control_object.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <utility>

#include "runtime/errors.h"
#include "runtime/variants.h"
#include "values/error.h"

namespace kestrinx::runtime {

// The connection point of a control's events: an object of its own that keeps its control
// alive; the connections themselves live in the control.
class ConnectionPoint final : public Object {
 public:
  explicit ConnectionPoint(ControlObject& control) : control_(control) {
    face_.owner = this;
    control_.addRef();
    control_.point_ = this;
  }
  KxConnectionPoint* iface() { return &face_.iface; }

 private:
  ~ConnectionPoint() override {
    control_.point_ = nullptr;
    control_.release();
  }
  void* interfaceFor(const KxGuid& iid) noexcept override {
    return iid == KX_IID_UNKNOWN || iid == KX_IID_CONNECTIONPOINT ? &face_.iface : nullptr;
  }
  static ConnectionPoint& self(KxConnectionPoint* p) { return ownerOf<ConnectionPoint>(p); }

  static KxHResult getConnectionInterface(KxConnectionPoint* p, KxGuid* iid) noexcept {
    if (iid == nullptr) return KX_E_POINTER;
    *iid = self(p).control_.eventInterfaceId_;
    return KX_S_OK;
  }
  static KxHResult getContainer(KxConnectionPoint* p, KxConnectionPointContainer** container) noexcept {
    if (container == nullptr) return KX_E_POINTER;
    return self(p).control_.queryInterface(&KX_IID_CONNECTIONPOINTCONTAINER, reinterpret_cast<void**>(container));
  }
  static KxHResult advise(KxConnectionPoint* p, KxUnknown* sink, std::uint32_t* cookie) noexcept {
    if (cookie == nullptr) return KX_E_POINTER;
    *cookie = 0;
    if (sink == nullptr) return KX_E_POINTER;
    ControlObject& control = self(p).control_;
    return guarded([&] {
      void* found = nullptr;
      if (KX_FAILED(sink->lpVtbl->QueryInterface(sink, &control.eventInterfaceId_, &found)) || found == nullptr) {
        found = nullptr;
        if (KX_FAILED(sink->lpVtbl->QueryInterface(sink, &KX_IID_DISPATCH, &found)) || found == nullptr)
          return KX_CONNECT_E_CANNOTCONNECT;
      }
      auto* d = static_cast<KxDispatch*>(found);
      try {
        control.connections_.push_back({control.nextCookie_, d});
      } catch (...) {
        d->lpVtbl->Release(d);
        throw;
      }
      *cookie = control.nextCookie_++;
      return KX_S_OK;
    });
  }
  static KxHResult unadvise(KxConnectionPoint* p, std::uint32_t cookie) noexcept {
    auto& list = self(p).control_.connections_;
    const auto it = std::find_if(list.begin(), list.end(), [&](const auto& c) { return c.cookie == cookie; });
    if (it == list.end()) return KX_CONNECT_E_NOCONNECTION;
    KxDispatch* sink = it->sink;
    list.erase(it);
    sink->lpVtbl->Release(sink);
    return KX_S_OK;
  }
  static KxHResult enumConnections(KxConnectionPoint*, void** enumerator) noexcept {
    if (enumerator != nullptr) *enumerator = nullptr;
    return KX_E_NOTIMPL;
  }

  static constexpr KxConnectionPointVtbl kTable{
      &queryInterfaceEntry<KxConnectionPoint>, &addRefEntry<KxConnectionPoint>, &releaseEntry<KxConnectionPoint>,
      &getConnectionInterface, &getContainer, &advise, &unadvise, &enumConnections};

  Face<KxConnectionPoint> face_{{&kTable}, nullptr};
  ControlObject& control_;
};

namespace {

ControlObject& controlOf(KxDispatch* p) { return ownerOf<ControlObject>(p); }

KxHResult getTypeInfoCount(KxDispatch*, std::uint32_t* count) noexcept {
  if (count == nullptr) return KX_E_POINTER;
  *count = 0;
  return KX_S_OK;
}

KxHResult getTypeInfo(KxDispatch*, std::uint32_t, std::uint32_t, void** typeInfo) noexcept {
  if (typeInfo != nullptr) *typeInfo = nullptr;
  return KX_E_NOTIMPL;
}

KxHResult getIDsOfNamesEntry(KxDispatch* self, const KxGuid* riid, const char* const* names, std::uint32_t count,
                             std::uint32_t, std::int32_t* dispids) noexcept {
  return controlOf(self).getIDsOfNames(riid, names, count, dispids);
}

KxHResult invokeEntry(KxDispatch* self, std::int32_t dispid, const KxGuid* riid, std::uint32_t, std::uint16_t flags,
                      KxDispParams* params, KxVariant* result, KxExcepInfo* excep, std::uint32_t* argErr) noexcept {
  ControlObject& control = controlOf(self);
  // The call keeps the control alive, whatever a sink of an event it raises releases.
  control.addRef();
  const KxHResult hr = control.invoke(dispid, riid, flags, params, result, excep, argErr);
  control.release();
  return hr;
}

constexpr KxDispatchVtbl kDispatchTable{&queryInterfaceEntry<KxDispatch>,
                                        &addRefEntry<KxDispatch>,
                                        &releaseEntry<KxDispatch>,
                                        &getTypeInfoCount,
                                        &getTypeInfo,
                                        &getIDsOfNamesEntry,
                                        &invokeEntry};

KxHResult enumConnectionPoints(KxConnectionPointContainer*, void** enumerator) noexcept {
  if (enumerator != nullptr) *enumerator = nullptr;
  return KX_E_NOTIMPL;
}

KxHResult findConnectionPointEntry(KxConnectionPointContainer* self, const KxGuid* riid,
                                   KxConnectionPoint** cp) noexcept {
  return ownerOf<ControlObject>(self).findConnectionPoint(riid, cp);
}

constexpr KxConnectionPointContainerVtbl kContainerTable{
    &queryInterfaceEntry<KxConnectionPointContainer>, &addRefEntry<KxConnectionPointContainer>,
    &releaseEntry<KxConnectionPointContainer>, &enumConnectionPoints, &findConnectionPointEntry};

// The largest argument list Invoke reads; no member takes more than one argument.
constexpr std::uint32_t kMaxArguments = 64;
}  // namespace

ControlObject::ControlObject(const ControlClass& cls)
    : dispatch_{{&kDispatchTable}, this},
      container_{{&kContainerTable}, this},
      interfaceId_(toKxGuid(cls.interfaceId)),
      eventInterfaceId_(toKxGuid(cls.eventInterfaceId)),
      progId_(cls.component.progId) {
  host_ = cls.makeHost(cls.name + "1");
  component_ = cls.component.create(host_->site());
  automation_ = component_->automation();
  component_->Initialize();
  component_->InitProperties();
  component_->connect(this);
}

ControlObject::~ControlObject() {
  component_->disconnect(this);
  // A sink's last Release may unadvise from inside it: take the list first.
  const std::vector<Connection> sinks = std::exchange(connections_, {});
  for (const Connection& c : sinks) c.sink->lpVtbl->Release(c.sink);
}

ControlObject* ControlObject::create(const ControlClass& cls) { return new ControlObject(cls); }

ControlObject* ControlObject::from(const void* p) {
  if (p == nullptr) return nullptr;
  const auto* d = static_cast<const KxDispatch*>(p);
  if (d->lpVtbl == &kDispatchTable) return &ownerOf<ControlObject>(const_cast<KxDispatch*>(d));
  const auto* c = static_cast<const KxConnectionPointContainer*>(p);
  if (c->lpVtbl == &kContainerTable) return &ownerOf<ControlObject>(const_cast<KxConnectionPointContainer*>(c));
  return nullptr;
}

void* ControlObject::interfaceFor(const KxGuid& iid) noexcept {
  if (iid == KX_IID_UNKNOWN) return &dispatch_.iface;
  if (automation_ != nullptr && (iid == KX_IID_DISPATCH || iid == interfaceId_)) return &dispatch_.iface;
  if (iid == KX_IID_CONNECTIONPOINTCONTAINER) return &container_.iface;
  return nullptr;
}

KxHResult ControlObject::getIDsOfNames(const KxGuid* riid, const char* const* names, std::uint32_t count,
                                       std::int32_t* dispids) {
  if (names == nullptr || dispids == nullptr) return KX_E_POINTER;
  if (automation_ == nullptr) return KX_E_NOTIMPL;
  if (riid == nullptr || !(*riid == KX_IID_NULL)) return KX_DISP_E_UNKNOWNINTERFACE;
  if (count == 0) return KX_E_INVALIDARG;
  for (std::uint32_t i = 0; i < count; ++i) dispids[i] = KX_DISPID_UNKNOWN;
  // The members take no named parameters, so only the member's own name can be known.
  const values::MemberInfo* m = names[0] == nullptr ? nullptr : automation_->find(std::string_view(names[0]));
  if (m != nullptr) dispids[0] = m->id;
  return m != nullptr && count == 1 ? KX_S_OK : KX_DISP_E_UNKNOWNNAME;
}

KxHResult ControlObject::invoke(std::int32_t dispid, const KxGuid* riid, std::uint16_t flags,
                                const KxDispParams* params, KxVariant* result, KxExcepInfo* excep,
                                std::uint32_t* argErr) {
  if (automation_ == nullptr) return KX_E_NOTIMPL;
  if (riid == nullptr || !(*riid == KX_IID_NULL)) return KX_DISP_E_UNKNOWNINTERFACE;
  constexpr std::uint16_t kAllKinds =
      KX_DISPATCH_METHOD | KX_DISPATCH_PROPERTYGET | KX_DISPATCH_PROPERTYPUT | KX_DISPATCH_PROPERTYPUTREF;
  if (flags == 0 || (flags & ~kAllKinds) != 0) return KX_E_INVALIDARG;
  const KxDispParams none{nullptr, nullptr, 0, 0};
  const KxDispParams& p = params != nullptr ? *params : none;
  if ((p.cArgs > 0 && p.rgvarg == nullptr) || (p.cNamedArgs > 0 && p.rgdispidNamedArgs == nullptr))
    return KX_E_POINTER;
  if (p.cNamedArgs > p.cArgs) return KX_E_INVALIDARG;
  // The only named argument there is: a put's value.
  const bool put = (flags & (KX_DISPATCH_PROPERTYPUT | KX_DISPATCH_PROPERTYPUTREF)) != 0;
  if (p.cNamedArgs > 1 || (p.cNamedArgs == 1 && (!put || p.rgdispidNamedArgs[0] != KX_DISPID_PROPERTYPUT)))
    return KX_DISP_E_NONAMEDARGS;

  return guarded(
      [&]() -> KxHResult {
        if (automation_->find(dispid) == nullptr) values::raiseError(values::err::MemberNotSupported);
        if (p.cArgs > kMaxArguments) values::raiseError(values::err::WrongNumberOfArguments);
        // Arguments in their natural order; an argument marked "not given" is left out.
        std::vector<values::Variant> args;
        args.reserve(p.cArgs);
        for (std::uint32_t i = p.cArgs; i-- > 0;) {
          const KxVariant& a = p.rgvarg[i];
          if (a.vt == KX_VT_ERROR) continue;
          try {
            args.push_back(fromAbi(a));
          } catch (...) {
            if (argErr != nullptr) *argErr = i;
            throw;
          }
        }
        values::Variant value;
        try {
          value = automation_->invoke(dispid, flags, args);
        } catch (const values::AutomationError& e) {
          // A value that does not convert is the put's one argument.
          if (argErr != nullptr && (e.number() == values::err::TypeMismatch || e.number() == values::err::Overflow) &&
              put && p.cArgs > 0)
            *argErr = 0;
          throw;
        }
        if (result != nullptr) toAbi(value, *result);
        return KX_S_OK;
      },
      excep, progId_);
}

KxHResult ControlObject::findConnectionPoint(const KxGuid* riid, KxConnectionPoint** cp) {
  if (cp == nullptr) return KX_E_POINTER;
  *cp = nullptr;
  if (riid == nullptr) return KX_E_POINTER;
  if (!(*riid == eventInterfaceId_)) return KX_CONNECT_E_NOCONNECTION;
  return guarded([&] {
    if (point_ != nullptr) {
      point_->addRef();
    } else {
      new ConnectionPoint(*this);  // registers itself as point_, with one reference
    }
    *cp = point_->iface();
    return KX_S_OK;
  });
}

bool ControlObject::connected(std::uint32_t cookie) const {
  return std::any_of(connections_.begin(), connections_.end(), [&](const auto& c) { return c.cookie == cookie; });
}

void ControlObject::onEvent(const values::EventInfo& event, values::EventArgs& args) {
  if (connections_.empty()) return;
  // The sinks connected now hear the event, each holding a reference for the delivery; one
  // disconnected by an earlier sink's handler hears no more of it.
  std::vector<Connection> now = connections_;
  for (const Connection& c : now) c.sink->lpVtbl->AddRef(c.sink);
  try {
    for (const Connection& c : now)
      if (connected(c.cookie)) deliver(c.sink, event, args);
  } catch (...) {
    for (const Connection& c : now) c.sink->lpVtbl->Release(c.sink);
    throw;
  }
  for (const Connection& c : now) c.sink->lpVtbl->Release(c.sink);
}

void ControlObject::deliver(KxDispatch* sink, const values::EventInfo& event, values::EventArgs& args) {
  const std::size_t n = args.size();
  // Each argument in a variant of its own, passed by reference (last argument first).
  std::vector<KxVariant> values(n), refs(n);
  struct Clear {
    std::vector<KxVariant>& v;
    ~Clear() {
      for (KxVariant& x : v) kx_variant_clear(&x);
    }
  } clear{values};
  for (std::size_t i = 0; i < n; ++i) {
    toAbi(args.value(i), values[i]);
    KxVariant& r = refs[n - 1 - i];
    kx_variant_init(&r);
    r.vt = static_cast<KxVarType>(KX_VT_BYREF | values[i].vt);
    switch (values[i].vt) {
      case KX_VT_I2: r.piVal = &values[i].iVal; break;
      case KX_VT_I4: r.plVal = &values[i].lVal; break;
      case KX_VT_R4: r.pfltVal = &values[i].fltVal; break;
      case KX_VT_BOOL: r.pboolVal = &values[i].boolVal; break;
      case KX_VT_UNKNOWN: r.ppunkVal = &values[i].punkVal; break;
      default:
        // An argument of another type goes by reference as a variant.
        r.vt = KX_VT_BYREF | KX_VT_VARIANT;
        r.pvarVal = &values[i];
        break;
    }
  }
  KxDispParams params{refs.data(), nullptr, static_cast<std::uint32_t>(n), 0};
  (void)sink->lpVtbl->Invoke(sink, event.id, &KX_IID_NULL, 0, KX_DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  // What the sink left in each argument reaches the control; a value the argument cannot
  // take (an object that is not one of ours) leaves it as it was.
  for (std::size_t i = 0; i < n; ++i) {
    try {
      args.setValue(i, fromAbi(values[i]));
    } catch (const values::AutomationError&) {
    } catch (const InterfaceError&) {
    }
  }
}

}  // namespace kestrinx::runtime
