// The automation coercions of Variant.
#include "values/variant.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "values/error.h"
#include "values/functions.h"
#include "values/text.h"
#include "values/value_text.h"

namespace kestrinx::values {

namespace {

// Nearest whole number, halves to the even neighbour; error 6 outside [lo, hi] or for NaN/inf.
double roundHalfEven(double v, double lo, double hi) {
  if (!std::isfinite(v)) raiseError(err::Overflow);
  const double down = std::floor(v);
  const double diff = v - down;
  double r = down;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(down, 2.0) != 0.0)) r = down + 1.0;
  if (r < lo || r > hi) raiseError(err::Overflow);
  return r;
}

double stringToDouble(const std::string& s) {
  const std::optional<detail::NumberText> n = detail::scanNumber(s);
  if (!n) raiseError(err::TypeMismatch);
  const std::optional<double> v = detail::numberValue(*n);
  if (!v) raiseError(err::Overflow);
  return *v;
}

}  // namespace

std::int16_t roundToInteger(double v) {
  return static_cast<std::int16_t>(roundHalfEven(v, -32768.0, 32767.0));
}

std::int32_t roundToLong(double v) {
  return static_cast<std::int32_t>(roundHalfEven(v, -2147483648.0, 2147483647.0));
}

float toCoordinate(double v) {
  if (!std::isfinite(v) || std::fabs(v) > std::numeric_limits<float>::max()) raiseError(err::Overflow);
  return static_cast<float>(v);
}

std::int16_t Variant::toInteger() const {
  switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return std::get<std::int16_t>(value_);
    case VarType::Long: {
      const std::int32_t v = std::get<std::int32_t>(value_);
      if (v < -32768 || v > 32767) raiseError(err::Overflow);
      return static_cast<std::int16_t>(v);
    }
    case VarType::Boolean: return std::get<BoolBox>(value_).v;
    default: return roundToInteger(toDouble());
  }
}

std::int32_t Variant::toLong() const {
  switch (type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return std::get<std::int16_t>(value_);
    case VarType::Long: return std::get<std::int32_t>(value_);
    case VarType::Boolean: return std::get<BoolBox>(value_).v;
    default: return roundToLong(toDouble());
  }
}

float Variant::toSingle() const {
  if (type() == VarType::Single) return std::get<float>(value_);
  const double v = toDouble();
  if (std::isfinite(v) && std::fabs(v) > std::numeric_limits<float>::max()) raiseError(err::Overflow);
  return static_cast<float>(v);
}

double Variant::toDouble() const {
  switch (type()) {
    case VarType::Empty: return 0.0;
    case VarType::Integer: return std::get<std::int16_t>(value_);
    case VarType::Long: return std::get<std::int32_t>(value_);
    case VarType::Single: return std::get<float>(value_);
    case VarType::Double: return std::get<double>(value_);
    case VarType::Boolean: return std::get<BoolBox>(value_).v;
    case VarType::Date: return std::get<Date>(value_).serial;
    case VarType::String: return stringToDouble(std::get<std::string>(value_));
    case VarType::Font:
    case VarType::Picture:
    case VarType::DataObject: break;
  }
  raiseError(err::TypeMismatch);
}

Boolean Variant::toBoolean() const {
  switch (type()) {
    case VarType::Empty: return False;
    case VarType::Boolean: return std::get<BoolBox>(value_).v;  // as stored, never normalised
    case VarType::String: {
      const std::string_view s = trimSpaces(std::get<std::string>(value_));
      if (equalsIgnoreCase(s, "true")) return True;
      if (equalsIgnoreCase(s, "false")) return False;
      return values::toBoolean(stringToDouble(std::get<std::string>(value_)) != 0.0);
    }
    default: return values::toBoolean(toDouble() != 0.0);
  }
}

Date Variant::toDate() const {
  switch (type()) {
    case VarType::Date: return std::get<Date>(value_);
    case VarType::String: {
      const std::optional<Date> d = parseDate(std::get<std::string>(value_));
      if (!d) raiseError(err::TypeMismatch);
      return *d;
    }
    default: {
      const double serial = toDouble();
      if (!detail::serialInRange(serial)) raiseError(err::Overflow);
      return Date{serial};
    }
  }
}

std::string Variant::toString() const {
  switch (type()) {
    case VarType::Empty: return {};
    case VarType::Integer: return std::to_string(std::get<std::int16_t>(value_));
    case VarType::Long: return std::to_string(std::get<std::int32_t>(value_));
    case VarType::Single: return detail::shortestText(std::get<float>(value_));
    case VarType::Double: return detail::shortestText(std::get<double>(value_));
    case VarType::Boolean: return std::get<BoolBox>(value_).v != 0 ? "True" : "False";
    case VarType::Date: return defaultDateText(std::get<Date>(value_));
    case VarType::String: return std::get<std::string>(value_);
    case VarType::Font:
    case VarType::Picture:
    case VarType::DataObject: break;
  }
  raiseError(err::TypeMismatch);
}

template <typename Ref>
Ref Variant::objectAs() const {
  if (type() == VarType::Empty) return nullptr;
  const Ref* held = std::get_if<Ref>(&value_);
  if (held == nullptr) raiseError(err::TypeMismatch);
  return *held;
}

FontRef Variant::toFont() const { return objectAs<FontRef>(); }
PictureRef Variant::toPicture() const { return objectAs<PictureRef>(); }
DataObjectRef Variant::toDataObject() const { return objectAs<DataObjectRef>(); }

// ---- values compared as a file keeps them ------------------------------------------------------

namespace {

template <typename T>
bool sameBits(T a, T b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// What a file keeps of a picture: its type, size and image bytes (not the handle of the moment).
bool samePicture(const Picture& a, const Picture& b) {
  return a.type == b.type && a.width == b.width && a.height == b.height && a.bytes == b.bytes;
}

}  // namespace

bool sameFont(const Font& a, const Font& b) {
  return a.name == b.name && sameBits(a.size, b.size) && a.bold == b.bold && a.italic == b.italic &&
         a.underline == b.underline && a.strikethrough == b.strikethrough && a.weight == b.weight &&
         a.charset == b.charset;
}

bool sameValue(const Variant& a, const Variant& b) {
  if (a.type() != b.type()) return false;
  switch (a.type()) {
    case VarType::Single: return sameBits(a.toSingle(), b.toSingle());
    case VarType::Double: return sameBits(a.toDouble(), b.toDouble());
    case VarType::Date: return sameBits(a.toDate().serial, b.toDate().serial);
    case VarType::Font: {
      const FontRef fa = a.toFont(), fb = b.toFont();
      return fa == fb || (fa && fb && sameFont(*fa, *fb));
    }
    case VarType::Picture: {
      const PictureRef pa = a.toPicture(), pb = b.toPicture();
      return pa == pb || (pa && pb && samePicture(*pa, *pb));
    }
    default: return a == b;
  }
}

}  // namespace kestrinx::values
