// Variant: the automation value that crosses the published interface and the property bag,
// with the automation coercions (numbers and numeric strings convert; integers round half to
// even; out of range is error 6; a non-number where a number is needed is error 13).
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "host/objects.h"
#include "host/types.h"

namespace kestrinx::host {

// An automation date: days since 1899-12-30, the fraction of a day being the time.
struct Date {
  double serial = 0.0;
  friend bool operator==(const Date&, const Date&) = default;
};

enum class VarType : std::uint8_t {
  Empty,
  Integer,  // 16-bit
  Long,     // 32-bit
  Single,
  Double,
  Boolean,
  Date,
  String,
  Font,
  Picture,
  DataObject,
};

class Variant {
 public:
  Variant() = default;
  static Variant integer(std::int16_t v) { return Variant(Storage(std::in_place_index<1>, v)); }
  static Variant longValue(std::int32_t v) { return Variant(Storage(std::in_place_index<2>, v)); }
  static Variant single(float v) { return Variant(Storage(std::in_place_index<3>, v)); }
  static Variant doubleValue(double v) { return Variant(Storage(std::in_place_index<4>, v)); }
  static Variant boolean(Boolean v) { return Variant(Storage(std::in_place_index<5>, BoolBox{v})); }
  static Variant date(Date v) { return Variant(Storage(std::in_place_index<6>, v)); }
  static Variant string(std::string v) { return Variant(Storage(std::in_place_index<7>, std::move(v))); }
  static Variant font(FontRef v) { return Variant(Storage(std::in_place_index<8>, std::move(v))); }
  static Variant picture(PictureRef v) { return Variant(Storage(std::in_place_index<9>, std::move(v))); }
  static Variant dataObject(DataObjectRef v) {
    return Variant(Storage(std::in_place_index<10>, std::move(v)));
  }

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

 private:
  struct BoolBox {
    Boolean v;
    friend bool operator==(const BoolBox&, const BoolBox&) = default;
  };
  using Storage = std::variant<std::monostate, std::int16_t, std::int32_t, float, double, BoolBox,
                               Date, std::string, FontRef, PictureRef, DataObjectRef>;
  explicit Variant(Storage s) : value_(std::move(s)) {}
  Storage value_;
};

// Rounds to the nearest whole number, halves to the even neighbour (the automation rule for
// every conversion of a real number to an integer). Throws error 6 outside the target range.
std::int16_t roundToInteger(double v);
std::int32_t roundToLong(double v);

// A length or position handed to a host: single precision. Error 6 when a single cannot hold
// the value or it is not a finite number.
float toCoordinate(double v);

}  // namespace kestrinx::host
