// Client-side helpers for the runtime's suites: owned interface pointers, variants, a dispatch
// call in one line, an event sink and a page site written as any C client would write them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "control/members.h"
#include "propertypage/general_identity.h"
#include "runtime/kestrinx_abi.h"
#include "runtime/object.h"
#include "support/temp_dir.h"

namespace kestrinx::testing {

inline const KxGuid kNil = KX_IID_NULL;
inline const KxGuid kUnknownId = KX_IID_UNKNOWN;
inline const KxGuid kFactoryId = KX_IID_CLASSFACTORY;
inline const KxGuid kDispatchId = KX_IID_DISPATCH;
inline const KxGuid kContainerId = KX_IID_CONNECTIONPOINTCONTAINER;
inline const KxGuid kPageId = KX_IID_PROPERTYPAGE;
inline const KxGuid kPageSiteId = KX_IID_PROPERTYPAGESITE;
// The published identities.
inline constexpr KxGuid kKestrinClass = runtime::toKxGuid(members::kClassId);
inline constexpr KxGuid kKestrinInterface = runtime::toKxGuid(members::kInterfaceId);
inline constexpr KxGuid kKestrinEvents = runtime::toKxGuid(members::kEventInterfaceId);
inline constexpr KxGuid kGeneralClass = runtime::toKxGuid(propertypage::kGeneralClassId);

// An interface pointer that releases its reference.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  Ref& operator=(Ref&& o) noexcept {
    reset();
    p_ = std::exchange(o.p_, nullptr);
    return *this;
  }
  ~Ref() { reset(); }
  void reset() {
    if (p_ != nullptr) p_->lpVtbl->Release(p_);
    p_ = nullptr;
  }
  T* get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // For an output argument: the pointer's address, as void**.
  void** out() {
    reset();
    return reinterpret_cast<void**>(&p_);
  }

 private:
  T* p_ = nullptr;
};

// A variant that frees what it holds.
struct Var {
  KxVariant v;
  Var() { kx_variant_init(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  ~Var() { kx_variant_clear(&v); }
  static Var i2(std::int16_t x) { return make([&](KxVariant& v) { v.vt = KX_VT_I2; v.iVal = x; }); }
  static Var i4(std::int32_t x) { return make([&](KxVariant& v) { v.vt = KX_VT_I4; v.lVal = x; }); }
  static Var r8(double x) { return make([&](KxVariant& v) { v.vt = KX_VT_R8; v.dblVal = x; }); }
  static Var boolean(bool x) {
    return make([&](KxVariant& v) { v.vt = KX_VT_BOOL; v.boolVal = x ? KX_VARIANT_TRUE : KX_VARIANT_FALSE; });
  }
  static Var str(const std::string& s) {
    return make([&](KxVariant& v) {
      v.vt = KX_VT_BSTR;
      v.bstrVal = kx_bstr_alloc(s.data(), static_cast<std::uint32_t>(s.size()));
    });
  }
  // The value as text: a string's bytes, a number in decimal, a Boolean -1 or 0.
  std::string text() const {
    switch (v.vt) {
      case KX_VT_BSTR: return std::string(v.bstrVal, kx_bstr_length(v.bstrVal));
      case KX_VT_I2: return std::to_string(v.iVal);
      case KX_VT_I4: return std::to_string(v.lVal);
      case KX_VT_BOOL: return std::to_string(v.boolVal);
      case KX_VT_R4: return std::to_string(v.fltVal);
      case KX_VT_EMPTY: return "(empty)";
      default: return "(vt " + std::to_string(v.vt) + ")";
    }
  }
  Var(Var&& o) noexcept : v(o.v) { kx_variant_init(&o.v); }

 private:
  template <typename F>
  static Var make(F&& f) {
    Var r;
    f(r.v);
    return r;
  }
};

// The outcome of one Invoke: its result code, the value, the run-time error it reported.
struct Call {
  KxHResult hr = KX_S_OK;
  Var value;
  std::int32_t error = 0;  // 0, or the error number of the exception information
  std::string text;        // the error's text
  std::uint32_t argErr = 0xFFFFFFFF;
};

inline Call invoke(KxDispatch* d, std::int32_t id, std::uint16_t flags, const KxVariant* value = nullptr) {
  Call c;
  KxVariant arg{};
  std::int32_t named = KX_DISPID_PROPERTYPUT;
  KxDispParams params{nullptr, nullptr, 0, 0};
  if (value != nullptr) {
    arg = *value;  // lent, not owned
    params = {&arg, (flags & (KX_DISPATCH_PROPERTYPUT | KX_DISPATCH_PROPERTYPUTREF)) ? &named : nullptr, 1,
              (flags & (KX_DISPATCH_PROPERTYPUT | KX_DISPATCH_PROPERTYPUTREF)) ? 1u : 0u};
  }
  KxExcepInfo excep{};
  c.hr = d->lpVtbl->Invoke(d, id, &kNil, 0, flags, &params, &c.value.v, &excep, &c.argErr);
  if (KX_FAILED(c.hr) && KX_SCODE_FACILITY(excep.scode) == KX_FACILITY_CONTROL) {
    c.error = KX_SCODE_CODE(excep.scode);
    c.text = std::string(excep.bstrDescription, kx_bstr_length(excep.bstrDescription));
  }
  kx_excepinfo_clear(&excep);
  return c;
}

inline std::int32_t idOf(KxDispatch* d, const char* name) {
  const char* names[] = {name};
  std::int32_t id = 0;
  EXPECT_EQ(d->lpVtbl->GetIDsOfNames(d, &kNil, names, 1, 0, &id), KX_S_OK) << name;
  return id;
}

inline Call get(KxDispatch* d, const char* name) { return invoke(d, idOf(d, name), KX_DISPATCH_PROPERTYGET); }
inline Call put(KxDispatch* d, const char* name, const Var& v) {
  return invoke(d, idOf(d, name), KX_DISPATCH_PROPERTYPUT, &v.v);
}

// An event sink as a C client writes one: a dispatch object that records each event's
// identifier and lets a test rewrite its by-reference arguments.
struct Sink {
  KxDispatch iface{&kTable};
  int refs = 1;
  std::vector<std::int32_t> events;
  // Called with the event's identifier and its arguments (rgvarg order: last argument first).
  std::function<void(std::int32_t, KxDispParams&)> act;

  KxUnknown* unknown() { return reinterpret_cast<KxUnknown*>(&iface); }

  static Sink& self(KxDispatch* d) { return *reinterpret_cast<Sink*>(d); }
  static KxHResult qi(KxDispatch* d, const KxGuid* iid, void** ppv) {
    if (kx_guid_equal(iid, &kUnknownId) || kx_guid_equal(iid, &kDispatchId) || kx_guid_equal(iid, &kKestrinEvents)) {
      ++self(d).refs;
      *ppv = d;
      return KX_S_OK;
    }
    *ppv = nullptr;
    return KX_E_NOINTERFACE;
  }
  static std::uint32_t addRef(KxDispatch* d) { return static_cast<std::uint32_t>(++self(d).refs); }
  static std::uint32_t release(KxDispatch* d) { return static_cast<std::uint32_t>(--self(d).refs); }
  static KxHResult count(KxDispatch*, std::uint32_t* n) {
    *n = 0;
    return KX_S_OK;
  }
  static KxHResult info(KxDispatch*, std::uint32_t, std::uint32_t, void**) { return KX_E_NOTIMPL; }
  static KxHResult names(KxDispatch*, const KxGuid*, const char* const*, std::uint32_t, std::uint32_t, std::int32_t*) {
    return KX_DISP_E_UNKNOWNNAME;
  }
  static KxHResult call(KxDispatch* d, std::int32_t id, const KxGuid*, std::uint32_t, std::uint16_t,
                        KxDispParams* params, KxVariant*, KxExcepInfo*, std::uint32_t*) {
    Sink& s = self(d);
    s.events.push_back(id);
    if (s.act) s.act(id, *params);
    return KX_S_OK;
  }
  static constexpr KxDispatchVtbl kTable{&qi, &addRef, &release, &count, &info, &names, &call};
};

// A property page's site as a sheet writes one: it counts the status changes it hears.
struct PageSite {
  KxPropertyPageSite iface{&kTable};
  int refs = 1;
  std::vector<std::uint32_t> statuses;

  static PageSite& self(KxPropertyPageSite* s) { return *reinterpret_cast<PageSite*>(s); }
  static KxHResult qi(KxPropertyPageSite* s, const KxGuid* iid, void** ppv) {
    if (kx_guid_equal(iid, &kUnknownId) || kx_guid_equal(iid, &kPageSiteId)) {
      ++self(s).refs;
      *ppv = s;
      return KX_S_OK;
    }
    *ppv = nullptr;
    return KX_E_NOINTERFACE;
  }
  static std::uint32_t addRef(KxPropertyPageSite* s) { return static_cast<std::uint32_t>(++self(s).refs); }
  static std::uint32_t release(KxPropertyPageSite* s) { return static_cast<std::uint32_t>(--self(s).refs); }
  static KxHResult status(KxPropertyPageSite* s, std::uint32_t flags) {
    self(s).statuses.push_back(flags);
    return KX_S_OK;
  }
  static constexpr KxPropertyPageSiteVtbl kTable{&qi, &addRef, &release, &status};
};

}  // namespace kestrinx::testing
