// Fuzzes the component runtime's automation interface: controls and a General page created
// through the library's class factories, driven by a sequence of operations read from the input:
// names looked up in any case (or any bytes), Invoke with any identifier (published, unpublished,
// events, anything), any combination of invocation flags, argument lists of any length with
// variants of any type (by value, by reference, nested, objects handed out earlier, foreign
// objects, NULL pointers where a pointer is due), named arguments, missing result and exception
// pointers; the same through the C++ interface; event sinks that rewrite their by-reference
// arguments or disconnect while keys are typed; the page given the controls and applied.
//
// Each operation is one byte of code followed by its argument bytes (a missing byte reads as 0).
// Findings: a crash or sanitizer report; a result code outside those Invoke documents;
// E_UNEXPECTED (something other than a run-time error escaped); a DISP_E_EXCEPTION without the
// run-time error's number and text; from the C++ interface anything but AutomationError; an
// object still alive once every reference is released.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "control/kestrin_component.h"
#include "control/members.h"
#include "packaging/kestrinx_project.h"
#include "runtime/control_object.h"
#include "runtime/kestrinx_abi.h"
#include "runtime/object.h"
#include "runtime/server.h"
#include "values/error.h"

using namespace kestrinx;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

const runtime::Project& project() {
  static const runtime::Project p = packaging::kestrinxProject("/fuzz/libKestrinX.so.1");
  return p;
}

const KxGuid kNil = KX_IID_NULL;
const KxGuid kFactory = KX_IID_CLASSFACTORY;
const KxGuid kDispatch = KX_IID_DISPATCH;
const KxGuid kContainer = KX_IID_CONNECTIONPOINTCONTAINER;
const KxGuid kPage = KX_IID_PROPERTYPAGE;

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool done() const { return pos_ >= size_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::uint32_t word() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return v;
  }
  std::string bytes(std::size_t most) {
    std::string s;
    for (std::size_t n = byte() % (most + 1); n > 0; --n) s.push_back(static_cast<char>(byte()));
    return s;
  }
  double real() {
    static constexpr double kValues[] = {0.0,  -0.0,   0.5,     1.5,     2.5,     -2.5,    32767.5, 32768.0,
                                         1e300, -1e300, 2147483647.5, 4294967296.0, 1e-300, 120.0};
    const std::uint8_t pick = byte();
    if (pick < 200) return kValues[pick % std::size(kValues)];
    if (pick < 230) return pick % 2 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
    double d;
    const std::uint64_t bits = (std::uint64_t{word()} << 32) | word();
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  std::int32_t integer() {
    static constexpr std::int32_t kValues[] = {0, 1, -1, 4, 8, 80, 120, 1600, 32767, 32768, -32769, 65535,
                                               2147483647, -2147483647 - 1};
    const std::uint8_t pick = byte();
    return pick < 200 ? kValues[pick % std::size(kValues)] : static_cast<std::int32_t>(word());
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// What a variant argument points at when it goes by reference.
struct Storage {
  std::int16_t i2 = 0;
  std::int32_t i4 = 0;
  float r4 = 0;
  double r8 = 0;
  KxBStr str = nullptr;
  KxUnknown* unk = nullptr;
  KxVariant inner{};
  ~Storage() {
    kx_bstr_free(str);
    kx_variant_clear(&inner);
  }
};

// One argument from the input. Objects handed out earlier (`objects`) may come back.
void makeArgument(Input& in, KxVariant& v, Storage& s, const std::vector<KxUnknown*>& objects, KxDispatch* foreign) {
  kx_variant_init(&v);
  const std::uint8_t kind = in.byte();
  switch (kind % 16) {
    case 0: break;  // Empty
    case 1: v.vt = KX_VT_NULL; break;
    case 2: v.vt = KX_VT_I2; v.iVal = static_cast<std::int16_t>(in.integer()); break;
    case 3: v.vt = KX_VT_I4; v.lVal = in.integer(); break;
    case 4: v.vt = KX_VT_R4; v.fltVal = static_cast<float>(in.real()); break;
    case 5: v.vt = KX_VT_R8; v.dblVal = in.real(); break;
    case 6: v.vt = KX_VT_DATE; v.date = in.real(); break;
    case 7: {
      const std::string text = in.byte() % 2 ? std::to_string(in.integer()) : in.bytes(48);
      v.vt = KX_VT_BSTR;
      v.bstrVal = kx_bstr_alloc(text.data(), static_cast<std::uint32_t>(text.size()));
      break;
    }
    case 8: v.vt = KX_VT_BOOL; v.boolVal = static_cast<std::int16_t>(in.integer()); break;
    case 9:
      v.vt = KX_VT_UNKNOWN;
      v.punkVal = objects.empty() || in.byte() % 4 == 0 ? nullptr : objects[in.byte() % objects.size()];
      if (v.punkVal != nullptr) v.punkVal->lpVtbl->AddRef(v.punkVal);
      break;
    case 10:
      v.vt = KX_VT_DISPATCH;
      v.pdispVal = foreign;
      foreign->lpVtbl->AddRef(foreign);
      break;
    case 11: v.vt = KX_VT_ERROR; break;
    case 12: v.vt = static_cast<KxVarType>(in.word()); break;  // any type at all, nothing owned
    case 13: {
      // By reference to a number, a string or an object.
      const std::uint8_t target = in.byte() % 6;
      s.i2 = static_cast<std::int16_t>(in.integer());
      s.i4 = in.integer();
      s.r4 = static_cast<float>(in.real());
      s.r8 = in.real();
      constexpr KxVarType kTypes[] = {KX_VT_I2, KX_VT_I4, KX_VT_R4, KX_VT_R8, KX_VT_BSTR, KX_VT_UNKNOWN};
      v.vt = KX_VT_BYREF | kTypes[target];
      if (in.byte() % 8 == 0) break;  // a NULL pointer where the value should be
      switch (target) {
        case 0: v.piVal = &s.i2; break;
        case 1: v.plVal = &s.i4; break;
        case 2: v.pfltVal = &s.r4; break;
        case 3: v.pdblVal = &s.r8; break;
        case 4: s.str = kx_bstr_from("12"); v.pbstrVal = &s.str; break;
        default: v.ppunkVal = &s.unk; break;
      }
      break;
    }
    case 14: {
      // A variant by reference, itself holding a number or another by-reference variant.
      v.vt = KX_VT_BYREF | KX_VT_VARIANT;
      v.pvarVal = &s.inner;
      if (in.byte() % 2) {
        s.inner.vt = KX_VT_I4;
        s.inner.lVal = in.integer();
      } else {
        s.inner.vt = KX_VT_BYREF | KX_VT_VARIANT;
        s.inner.pvarVal = &s.inner;
      }
      break;
    }
    default: v.vt = static_cast<KxVarType>(KX_VT_BYREF | (in.byte() % 40)); break;  // by reference to nothing
  }
}

// Frees an argument: what makeArgument gave it to own.
void clearArgument(KxVariant& v) {
  if (v.vt == KX_VT_BSTR || v.vt == KX_VT_UNKNOWN || v.vt == KX_VT_DISPATCH) kx_variant_clear(&v);
}

bool documented(KxHResult hr) {
  for (KxHResult ok : {KX_S_OK, KX_DISP_E_MEMBERNOTFOUND, KX_DISP_E_TYPEMISMATCH, KX_DISP_E_OVERFLOW,
                       KX_DISP_E_PARAMNOTOPTIONAL, KX_DISP_E_BADPARAMCOUNT, KX_DISP_E_NONAMEDARGS, KX_DISP_E_BADVARTYPE,
                       KX_DISP_E_EXCEPTION, KX_DISP_E_UNKNOWNINTERFACE, KX_E_INVALIDARG, KX_E_POINTER})
    if (hr == ok) return true;
  return false;
}

// An event sink that rewrites its by-reference arguments from the input, or disconnects itself.
struct Sink {
  KxDispatch iface{&kTable};
  Input* in = nullptr;
  KxConnectionPoint* point = nullptr;
  std::uint32_t cookie = 0;

  static Sink& self(KxDispatch* d) { return *reinterpret_cast<Sink*>(d); }
  static KxHResult qi(KxDispatch* d, const KxGuid* iid, void** ppv) {
    *ppv = kx_guid_equal(iid, &kDispatch) ? d : nullptr;
    return *ppv != nullptr ? KX_S_OK : KX_E_NOINTERFACE;
  }
  static std::uint32_t refs(KxDispatch*) { return 1; }
  static KxHResult count(KxDispatch*, std::uint32_t* n) {
    *n = 0;
    return KX_S_OK;
  }
  static KxHResult info(KxDispatch*, std::uint32_t, std::uint32_t, void**) { return KX_E_NOTIMPL; }
  static KxHResult names(KxDispatch*, const KxGuid*, const char* const*, std::uint32_t, std::uint32_t, std::int32_t*) {
    return KX_DISP_E_UNKNOWNNAME;
  }
  static KxHResult call(KxDispatch* d, std::int32_t, const KxGuid*, std::uint32_t, std::uint16_t, KxDispParams* p,
                        KxVariant*, KxExcepInfo*, std::uint32_t*) {
    Sink& s = self(d);
    for (std::uint32_t i = 0; i < p->cArgs; ++i) {
      KxVariant& a = p->rgvarg[i];
      check((a.vt & KX_VT_BYREF) != 0);
      const std::uint8_t what = s.in->byte();
      if (what % 4 != 0) continue;
      switch (a.vt & ~KX_VT_BYREF) {
        case KX_VT_I2:
        case KX_VT_BOOL: *a.piVal = static_cast<std::int16_t>(s.in->integer()); break;
        case KX_VT_I4: *a.plVal = s.in->integer(); break;
        case KX_VT_R4: *a.pfltVal = static_cast<float>(s.in->real()); break;
        default: break;
      }
    }
    if (s.in->byte() % 16 == 0 && s.point != nullptr && s.cookie != 0) {
      s.point->lpVtbl->Unadvise(s.point, s.cookie);
      s.cookie = 0;
    }
    return KX_S_OK;
  }
  static constexpr KxDispatchVtbl kTable{&qi, &refs, &refs, &count, &info, &names, &call};
};

// One control created through its class factory.
struct Control {
  KxDispatch* d = nullptr;
  KxConnectionPoint* point = nullptr;
  Sink sinks[2];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const values::MemberInfo& m : members::kMemberInfo) n.emplace_back(m.name);
    return n;
  }();

  KxClassFactory* controls = nullptr;
  KxClassFactory* pages = nullptr;
  check(runtime::getClassObject(project(), &kNil, &kFactory, reinterpret_cast<void**>(&controls)) ==
        KX_CLASS_E_CLASSNOTAVAILABLE);
  const KxGuid controlClass = runtime::toKxGuid(project().controls[0].clsid);
  const KxGuid pageClass = runtime::toKxGuid(project().pages[0].clsid);
  check(runtime::getClassObject(project(), &controlClass, &kFactory, reinterpret_cast<void**>(&controls)) == KX_S_OK);
  check(runtime::getClassObject(project(), &pageClass, &kFactory, reinterpret_cast<void**>(&pages)) == KX_S_OK);

  Control c[2];
  for (Control& k : c) {
    check(controls->lpVtbl->CreateInstance(controls, nullptr, &kDispatch, reinterpret_cast<void**>(&k.d)) == KX_S_OK);
    KxConnectionPointContainer* container = nullptr;
    check(k.d->lpVtbl->QueryInterface(k.d, &kContainer, reinterpret_cast<void**>(&container)) == KX_S_OK);
    const KxGuid events = runtime::toKxGuid(project().controls[0].eventInterfaceId);
    check(container->lpVtbl->FindConnectionPoint(container, &events, &k.point) == KX_S_OK);
    container->lpVtbl->Release(container);
    for (Sink& s : k.sinks) {
      s.in = &in;
      s.point = k.point;
    }
  }
  KxPropertyPage* page = nullptr;
  check(pages->lpVtbl->CreateInstance(pages, nullptr, &kPage, reinterpret_cast<void**>(&page)) == KX_S_OK);
  std::vector<KxUnknown*> objects;  // values handed out by gets, one reference each

  for (int steps = 0; !in.done() && steps < 64; ++steps) {
    Control& k = c[in.byte() % 2];
    const std::uint8_t op = in.byte() % 8;
    if (op == 0) {
      // A name: a member's in mangled case, or any bytes; sometimes with parameter names.
      std::string name = in.byte() % 2 ? names[in.byte() % names.size()] : in.bytes(24);
      for (char& ch : name)
        if (in.byte() % 2) ch = static_cast<char>(ch ^ 0x20);
      const char* list[3] = {name.c_str(), "Value", nullptr};
      const std::uint32_t count = 1 + in.byte() % 3;
      std::int32_t ids[3] = {7, 7, 7};
      const KxHResult hr = k.d->lpVtbl->GetIDsOfNames(k.d, &kNil, list, count, 0, ids);
      check(hr == KX_S_OK || hr == KX_DISP_E_UNKNOWNNAME);
      check(hr != KX_S_OK || ids[0] != KX_DISPID_UNKNOWN);
    } else if (op <= 2) {
      // Invoke through the C interface.
      const std::uint8_t pick = in.byte();
      const std::int32_t id = pick < 160 ? members::kMemberInfo[pick % members::kMemberInfo.size()].id
                              : pick < 200 ? static_cast<std::int32_t>(pick % 20) - 4
                                           : static_cast<std::int32_t>(in.word());
      const std::uint8_t f = in.byte();
      const std::uint16_t flags = f < 240 ? static_cast<std::uint16_t>(1u << (f % 4)) | (f % 3 == 0 ? 1u << ((f / 4) % 4) : 0)
                                          : static_cast<std::uint16_t>(in.word());
      const std::uint32_t argc = in.byte() % 4;
      KxVariant args[3];
      Storage storage[3];
      for (std::uint32_t i = 0; i < argc; ++i) makeArgument(in, args[i], storage[i], objects, c[0].d);
      std::int32_t named[2] = {KX_DISPID_PROPERTYPUT, static_cast<std::int32_t>(in.integer())};
      const std::uint32_t namedCount = std::min<std::uint32_t>(argc, in.byte() % 3);
      KxDispParams params{args, named, argc, namedCount};
      KxVariant result;
      kx_variant_init(&result);
      KxExcepInfo excep{};
      std::uint32_t argErr = 0;
      const std::uint8_t omit = in.byte();
      const KxHResult hr = k.d->lpVtbl->Invoke(k.d, id, &kNil, 0, flags, omit % 5 == 0 ? nullptr : &params,
                                               omit % 3 == 0 ? nullptr : &result, omit % 7 == 0 ? nullptr : &excep,
                                               &argErr);
      check(documented(hr));
      if (hr == KX_DISP_E_EXCEPTION && omit % 7 != 0)
        check(KX_SCODE_FACILITY(excep.scode) == KX_FACILITY_CONTROL && excep.bstrDescription != nullptr);
      kx_excepinfo_clear(&excep);
      if (result.vt == KX_VT_UNKNOWN && result.punkVal != nullptr) {
        objects.push_back(result.punkVal);  // keeps the reference
      } else {
        kx_variant_clear(&result);
      }
      for (std::uint32_t i = 0; i < argc; ++i) clearArgument(args[i]);
    } else if (op == 3) {
      // The C++ interface, with values of any kind.
      values::Automation* a = runtime::ControlObject::from(k.d)->component().automation();
      const std::int32_t id = members::kMemberInfo[in.byte() % members::kMemberInfo.size()].id;
      std::vector<values::Variant> args;
      for (int n = in.byte() % 3; n > 0; --n) {
        switch (in.byte() % 5) {
          case 0: args.push_back(values::Variant::longValue(in.integer())); break;
          case 1: args.push_back(values::Variant::doubleValue(in.real())); break;
          case 2: args.push_back(values::Variant::string(in.bytes(32))); break;
          case 3: args.push_back(values::Variant::boolean(static_cast<std::int16_t>(in.integer()))); break;
          default: args.push_back(values::Variant()); break;
        }
      }
      try {
        (void)a->invoke(id, static_cast<std::uint16_t>(in.byte() % 16), args);
      } catch (const values::AutomationError&) {
      }
    } else if (op == 4) {
      // A sink connects or disconnects.
      Sink& s = k.sinks[in.byte() % 2];
      if (s.cookie == 0) {
        check(k.point->lpVtbl->Advise(k.point, reinterpret_cast<KxUnknown*>(&s.iface), &s.cookie) == KX_S_OK);
      } else {
        check(k.point->lpVtbl->Unadvise(k.point, s.cookie) == KX_S_OK);
        s.cookie = 0;
      }
    } else if (op == 5) {
      // The user types a key into the control's active box.
      auto& host = static_cast<packaging::HeadlessControlHost&>(runtime::ControlObject::from(k.d)->host());
      Kestrin& control = static_cast<KestrinComponent&>(runtime::ControlObject::from(k.d)->component()).control();
      try {
        host.form().focus(&host.headlessSite().box(control.boxIndex()));
        host.form().type(std::string(1, static_cast<char>(in.byte())));
      } catch (const values::AutomationError&) {
      }
    } else if (op == 6) {
      // The page is given one or both controls, or none.
      KxUnknown* selection[2] = {reinterpret_cast<KxUnknown*>(c[0].d), reinterpret_cast<KxUnknown*>(c[1].d)};
      KxExcepInfo excep{};
      const KxHResult hr = page->lpVtbl->SetObjects(page, in.byte() % 3, selection, &excep);
      check(hr == KX_S_OK || hr == KX_DISP_E_EXCEPTION || hr == KX_DISP_E_TYPEMISMATCH || hr == KX_DISP_E_OVERFLOW);
      kx_excepinfo_clear(&excep);
    } else {
      KxExcepInfo excep{};
      const KxHResult hr = page->lpVtbl->Apply(page, &excep);
      check(hr != KX_E_UNEXPECTED);
      kx_excepinfo_clear(&excep);
    }
  }

  for (KxUnknown* o : objects) o->lpVtbl->Release(o);
  page->lpVtbl->Release(page);
  for (Control& k : c) {
    k.point->lpVtbl->Release(k.point);
    k.d->lpVtbl->Release(k.d);
  }
  controls->lpVtbl->Release(controls);
  pages->lpVtbl->Release(pages);
  check(runtime::liveObjects() == 0 && runtime::serverLocks() == 0);
  return 0;
}
