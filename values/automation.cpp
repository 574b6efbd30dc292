// Automation type names, coercion to a member's type and event arguments as variants.
#include "values/automation.h"

#include <cmath>
#include <cstdio>

#include "values/error.h"

namespace kestrinx::values {

std::string Guid::toString() const {
  char buf[39];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2, data3, data4[0],
                data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
  return buf;
}

std::string_view autoTypeName(AutoType t) {
  switch (t) {
    case AutoType::Boolean: return "Boolean";
    case AutoType::Integer: return "Integer";
    case AutoType::Long: return "Long";
    case AutoType::Single: return "Single";
    case AutoType::String: return "String";
    case AutoType::Color: return "OLE_COLOR";
    case AutoType::Font: return "Font";
    case AutoType::Picture: return "Picture";
    case AutoType::DataObject: return "DataObject";
    case AutoType::Enum: return "Enum";
  }
  return "?";
}

std::string_view varTypeName(VarType t) {
  switch (t) {
    case VarType::Empty: return "Empty";
    case VarType::Integer: return "Integer";
    case VarType::Long: return "Long";
    case VarType::Single: return "Single";
    case VarType::Double: return "Double";
    case VarType::Boolean: return "Boolean";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::Font: return "Font";
    case VarType::Picture: return "Picture";
    case VarType::DataObject: return "DataObject";
  }
  return "?";
}

OleColor toColor(const Variant& v) {
  switch (v.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Boolean:
    case VarType::Empty: return static_cast<OleColor>(v.toLong());
    default: break;
  }
  const double d = v.toDouble();
  // Nearest whole number, halves to the even neighbour (the default rounding mode).
  const double r = std::isfinite(d) ? std::nearbyint(d) : d;
  // Whole numbers from the signed 32-bit minimum to the unsigned maximum keep their 32 bits.
  if (!std::isfinite(r) || r < -2147483648.0 || r > 4294967295.0) raiseError(err::Overflow);
  const auto bits = r < 0 ? static_cast<std::int64_t>(r) + 4294967296LL : static_cast<std::int64_t>(r);
  return static_cast<OleColor>(bits);
}

Variant coerce(const Variant& v, AutoType t) {
  switch (t) {
    case AutoType::Boolean: return Variant::boolean(v.toBoolean());
    case AutoType::Integer: return Variant::integer(v.toInteger());
    case AutoType::Long:
    case AutoType::Enum: return Variant::longValue(v.toLong());
    case AutoType::Single: return Variant::single(v.toSingle());
    case AutoType::String: return Variant::string(v.toString());
    case AutoType::Color: return colorVariant(toColor(v));
    case AutoType::Font: return Variant::font(v.toFont());
    case AutoType::Picture: return Variant::picture(v.toPicture());
    case AutoType::DataObject: return Variant::dataObject(v.toDataObject());
  }
  raiseError(err::TypeMismatch);
}

Variant EventArgs::value(std::size_t i) const {
  if (i >= refs_.size() || i >= info_.params.size()) raiseError(err::SubscriptOutOfRange);
  const AutoType type = info_.params[i].type;
  return std::visit(
      [type](auto* p) -> Variant {
        using T = std::remove_pointer_t<decltype(p)>;
        if constexpr (std::is_same_v<T, std::int16_t>) {
          return type == AutoType::Boolean ? Variant::boolean(*p) : Variant::integer(*p);
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          return Variant::longValue(*p);
        } else if constexpr (std::is_same_v<T, float>) {
          return Variant::single(*p);
        } else {
          return Variant::dataObject(*p);
        }
      },
      refs_[i]);
}

void EventArgs::setValue(std::size_t i, const Variant& v) {
  if (i >= refs_.size() || i >= info_.params.size()) raiseError(err::SubscriptOutOfRange);
  const AutoType type = info_.params[i].type;
  std::visit(
      [&](auto* p) {
        using T = std::remove_pointer_t<decltype(p)>;
        if constexpr (std::is_same_v<T, std::int16_t>) {
          *p = type == AutoType::Boolean ? v.toBoolean() : v.toInteger();
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          *p = v.toLong();
        } else if constexpr (std::is_same_v<T, float>) {
          *p = v.toSingle();
        } else {
          *p = v.toDataObject();
        }
      },
      refs_[i]);
}

}  // namespace kestrinx::values
