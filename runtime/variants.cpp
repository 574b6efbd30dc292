// values::Variant to and from KxVariant, and the value objects that carry host objects.
#include "runtime/variants.h"

#include <new>
#include <string>

#include "runtime/errors.h"
#include "runtime/object.h"
#include "values/error.h"

namespace kestrinx::runtime {

namespace {

// A font, picture or data object handed to a client. It answers only IUnknown; the runtime
// recognises its own by the function table.
class ValueObject final : public Object {
 public:
  explicit ValueObject(values::Variant value) : value_(std::move(value)) { face_.owner = this; }
  KxUnknown* unknown() { return &face_.iface; }
  const values::Variant& value() const { return value_; }

  static const ValueObject* from(const KxUnknown* p) {
    if (p == nullptr || p->lpVtbl != &kTable) return nullptr;
    return static_cast<const ValueObject*>(reinterpret_cast<const Face<KxUnknown>*>(p)->owner);
  }

 private:
  void* interfaceFor(const KxGuid& iid) noexcept override { return iid == KX_IID_UNKNOWN ? &face_.iface : nullptr; }

  static constexpr KxUnknownVtbl kTable{&queryInterfaceEntry<KxUnknown>, &addRefEntry<KxUnknown>,
                                        &releaseEntry<KxUnknown>};
  Face<KxUnknown> face_{{&kTable}, nullptr};
  values::Variant value_;
};

values::Variant objectValue(const KxUnknown* p) {
  if (p == nullptr) return {};
  const ValueObject* v = ValueObject::from(p);
  if (v == nullptr) values::raiseError(values::err::TypeMismatch);
  return v->value();
}

template <typename T>
const T& deref(const T* p) {
  if (p == nullptr) throw InterfaceError(KX_E_POINTER);
  return *p;
}

std::string stringOf(const KxBStr s) { return s == nullptr ? std::string() : std::string(s, kx_bstr_length(s)); }

}  // namespace

values::Variant fromAbi(const KxVariant& v) {
  const bool byRef = (v.vt & KX_VT_BYREF) != 0;
  const KxVarType type = v.vt & static_cast<KxVarType>(~KX_VT_BYREF);
  if (!byRef) {
    switch (type) {
      case KX_VT_EMPTY: return {};
      case KX_VT_NULL: values::raiseError(values::err::InvalidUseOfNull);
      case KX_VT_I2: return values::Variant::integer(v.iVal);
      case KX_VT_I4: return values::Variant::longValue(v.lVal);
      case KX_VT_R4: return values::Variant::single(v.fltVal);
      case KX_VT_R8: return values::Variant::doubleValue(v.dblVal);
      case KX_VT_DATE: return values::Variant::date(values::Date{v.date});
      case KX_VT_BSTR: return values::Variant::string(stringOf(v.bstrVal));
      case KX_VT_BOOL: return values::Variant::boolean(v.boolVal);
      case KX_VT_UNKNOWN: return objectValue(v.punkVal);
      case KX_VT_DISPATCH: return objectValue(reinterpret_cast<const KxUnknown*>(v.pdispVal));
      default: throw InterfaceError(KX_DISP_E_BADVARTYPE);
    }
  }
  switch (type) {
    case KX_VT_I2: return values::Variant::integer(deref(v.piVal));
    case KX_VT_I4: return values::Variant::longValue(deref(v.plVal));
    case KX_VT_R4: return values::Variant::single(deref(v.pfltVal));
    case KX_VT_R8: return values::Variant::doubleValue(deref(v.pdblVal));
    case KX_VT_DATE: return values::Variant::date(values::Date{deref(v.pdate)});
    case KX_VT_BSTR: return values::Variant::string(stringOf(deref(v.pbstrVal)));
    case KX_VT_BOOL: return values::Variant::boolean(deref(v.pboolVal));
    case KX_VT_UNKNOWN: return objectValue(deref(v.ppunkVal));
    case KX_VT_DISPATCH: return objectValue(reinterpret_cast<const KxUnknown*>(deref(v.ppdispVal)));
    case KX_VT_VARIANT: {
      const KxVariant& inner = deref(v.pvarVal);
      // One level only: a by-reference variant inside a by-reference variant is refused.
      if (inner.vt == (KX_VT_BYREF | KX_VT_VARIANT)) throw InterfaceError(KX_DISP_E_BADVARTYPE);
      return fromAbi(inner);
    }
    default: throw InterfaceError(KX_DISP_E_BADVARTYPE);
  }
}

void toAbi(const values::Variant& value, KxVariant& out) {
  kx_variant_init(&out);
  switch (value.type()) {
    case values::VarType::Empty: return;
    case values::VarType::Integer:
      out.vt = KX_VT_I2;
      out.iVal = value.toInteger();
      return;
    case values::VarType::Long:
      out.vt = KX_VT_I4;
      out.lVal = value.toLong();
      return;
    case values::VarType::Single:
      out.vt = KX_VT_R4;
      out.fltVal = value.toSingle();
      return;
    case values::VarType::Double:
      out.vt = KX_VT_R8;
      out.dblVal = value.toDouble();
      return;
    case values::VarType::Boolean:
      out.vt = KX_VT_BOOL;
      out.boolVal = value.toBoolean();
      return;
    case values::VarType::Date:
      out.vt = KX_VT_DATE;
      out.date = value.toDate().serial;
      return;
    case values::VarType::String: {
      const std::string s = value.toString();
      KxBStr b = kx_bstr_alloc(s.data(), static_cast<std::uint32_t>(s.size()));
      if (b == nullptr) throw std::bad_alloc();
      out.vt = KX_VT_BSTR;
      out.bstrVal = b;
      return;
    }
    case values::VarType::Font:
    case values::VarType::Picture:
    case values::VarType::DataObject: {
      out.vt = KX_VT_UNKNOWN;
      // Nothing stays nothing; an object crosses as a value object carrying it.
      const bool nothing = (value.type() == values::VarType::Font && !value.toFont()) ||
                           (value.type() == values::VarType::Picture && !value.toPicture()) ||
                           (value.type() == values::VarType::DataObject && !value.toDataObject());
      out.punkVal = nothing ? nullptr : (new ValueObject(value))->unknown();
      return;
    }
  }
}

}  // namespace kestrinx::runtime
