// Variant: the automation value that crosses the published interface and the property bag,
// with the automation coercions (numbers and numeric strings convert; integers round half to
// even; out of range is error 6; a non-number where a number is needed is error 13).
#pragma once

#include <cstdint>
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::values {

// An automation date: days since 1899-12-30, the fraction of a day being the time.
struct Date {
  double serial = 0.0;
  friend bool operator==(const Date&, const Date&) = default;
};

// The type of a Variant's value. The numbers are fixed (saved values carry them): each is the
// index of its alternative in Variant's storage, which Variant checks at compile time.
enum class VarType : std::uint8_t {
  Empty = 0,
  Integer = 1,  // 16-bit
  Long = 2,     // 32-bit
  Single = 3,
  Double = 4,
  Boolean = 5,
  Date = 6,
  String = 7,
  Font = 8,
  Picture = 9,
  DataObject = 10,
};

namespace detail {
// alternativeIndex: where type T stands in std::variant V (once at most; the size when absent).
// storedAt: true when it stands at the index VarType `t` names.
template <typename T, typename V>
inline constexpr std::size_t alternativeIndex = std::variant_npos;
template <typename T, typename... Ts>
inline constexpr std::size_t alternativeIndex<T, std::variant<Ts...>> = [] {
  constexpr bool same[] = {std::is_same_v<T, Ts>...};
  std::size_t i = 0;
  while (i < sizeof...(Ts) && !same[i]) ++i;
  return i;
}();
template <typename T, typename V>
constexpr bool storedAt(VarType t) {
  return alternativeIndex<T, V> == static_cast<std::size_t>(t);
}
}  // namespace detail

class Variant {
 public:
  Variant() = default;
  static Variant integer(std::int16_t v) { return of<std::int16_t>(v); }
  static Variant longValue(std::int32_t v) { return of<std::int32_t>(v); }
  static Variant single(float v) { return of<float>(v); }
  static Variant doubleValue(double v) { return of<double>(v); }
  static Variant boolean(Boolean v) { return of<BoolBox>(BoolBox{v}); }
  static Variant date(Date v) { return of<Date>(v); }
  static Variant string(std::string v) { return of<std::string>(std::move(v)); }
  static Variant font(FontRef v) { return of<FontRef>(std::move(v)); }
  static Variant picture(PictureRef v) { return of<PictureRef>(std::move(v)); }
  static Variant dataObject(DataObjectRef v) { return of<DataObjectRef>(std::move(v)); }

  VarType type() const { return static_cast<VarType>(value_.index()); }
  bool isEmpty() const { return type() == VarType::Empty; }
  bool isObject() const {
    return type() == VarType::Font || type() == VarType::Picture || type() == VarType::DataObject;
  }

  // Coercions. Each throws AutomationError 13 (type mismatch) when the value is not a number
  // (or not convertible at all) and 6 (overflow) when it is out of the target's range.
  // Empty converts to 0, False or "".
  std::int16_t toInteger() const;
  std::int32_t toLong() const;
  float toSingle() const;
  double toDouble() const;
  Boolean toBoolean() const;  // any non-zero number is True (-1); "True"/"False" convert too
  Date toDate() const;        // numbers are serials; strings go through the date conversion
  std::string toString() const;  // numbers in their shortest round-tripping form; Boolean "True"/"False"
  FontRef toFont() const;        // error 13 unless a font (Empty gives nullptr)
  PictureRef toPicture() const;  // error 13 unless a picture (Empty gives nullptr)
  DataObjectRef toDataObject() const;

  // Exact equality of type and value (objects by identity).
  friend bool operator==(const Variant& a, const Variant& b) { return a.value_ == b.value_; }
  // Whether this equals the Variant of that type made of `v` (integer(v), longValue(v),
  // boolean(v), string(v), font(v), picture(v): an object is the same one), compared in place.
  bool isInteger(std::int16_t v) const { return holds<std::int16_t>(v); }
  bool isLong(std::int32_t v) const { return holds<std::int32_t>(v); }
  bool isBoolean(Boolean v) const { return holds<BoolBox>(BoolBox{v}); }
  bool isString(std::string_view v) const { return holds<std::string>(v); }
  bool isFont(const FontRef& v) const { return holds<FontRef>(v); }
  bool isPicture(const PictureRef& v) const { return holds<PictureRef>(v); }
  // The text held, read in place; nullptr unless this is a String.
  const std::string* stringIf() const { return std::get_if<std::string>(&value_); }

 private:
  // A Boolean is a 16-bit integer too; the box gives it an alternative of its own.
  struct BoolBox {
    Boolean v;
    friend bool operator==(const BoolBox&, const BoolBox&) = default;
  };
  using Storage = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, BoolBox,
                               Date, std::string, FontRef, PictureRef, DataObjectRef>;

  static_assert(detail::storedAt<std::monostate, Storage>(VarType::Empty));
  static_assert(detail::storedAt<std::int16_t, Storage>(VarType::Integer));
  static_assert(detail::storedAt<std::int32_t, Storage>(VarType::Long));
  static_assert(detail::storedAt<float, Storage>(VarType::Single));
  static_assert(detail::storedAt<double, Storage>(VarType::Double));
  static_assert(detail::storedAt<BoolBox, Storage>(VarType::Boolean));
  static_assert(detail::storedAt<Date, Storage>(VarType::Date));
  static_assert(detail::storedAt<std::string, Storage>(VarType::String));
  static_assert(detail::storedAt<FontRef, Storage>(VarType::Font));
  static_assert(detail::storedAt<PictureRef, Storage>(VarType::Picture));
  static_assert(detail::storedAt<DataObjectRef, Storage>(VarType::DataObject));
  static_assert(std::variant_size_v<Storage> == 11, "every alternative has its VarType above");

  template <typename T, typename Arg>
  static Variant of(Arg&& v) {
    return Variant(Storage(std::in_place_type<T>, std::forward<Arg>(v)));
  }
  explicit Variant(Storage s) : value_(std::move(s)) {}
  template <typename T, typename V>
  bool holds(const V& v) const {
    const T* held = std::get_if<T>(&value_);
    return held != nullptr && *held == v;
  }
  // The object reference held, nullptr for Empty; error 13 for any other type.
  template <typename Ref>
  Ref objectAs() const;

  Storage value_;
};

// Rounds to the nearest whole number, halves to the even neighbour (the automation rule for
// every conversion of a real number to an integer). Throws error 6 outside the target range.
std::int16_t roundToInteger(double v);
std::int32_t roundToLong(double v);

// A length or position handed to a host: single precision. Error 6 when a single cannot hold
// the value or it is not a finite number.
float toCoordinate(double v);

// Values compared as a saved file keeps them: fonts and pictures by their contents, numbers by
// their bits (so a NaN equals itself), everything else by value.
bool sameValue(const Variant& a, const Variant& b);
bool sameFont(const Font& a, const Font& b);

}  // namespace kestrinx::values
