// format(value, pattern), the Variant forms of the tests, and the string helpers.
//
// format with a Variant:
//   - an empty pattern gives the value's plain text (Variant::toString);
//   - Empty gives "" whatever the pattern; a string is formatted as text;
//   - a number, Boolean or date meets a number pattern as its exact decimal text (a real's
//     shortest round-trip form, so 2.675 rounds to 2.68 with "0.00", as it reads);
//   - a date meets a date pattern directly; a number or Boolean meets one as a date serial,
//     and comes back as its plain text when it lies outside the date range;
//   - an object is error 13.
#include <new>
#include <stdexcept>

#include "values/error.h"
#include "values/text.h"
#include "values/value_text.h"

namespace kestrinx::values {

namespace {

std::string numberWithPattern(const std::string& plain, std::string_view pattern) {
  const std::optional<detail::NumberText> n = detail::scanNumber(plain);
  if (!n) return plain;  // NaN and infinities
  std::string out;
  detail::appendNumber(out, *n, pattern);
  return out;
}

}  // namespace

std::string format(std::string_view text, std::string_view pattern, const DateReading& reading) {
  if (pattern.empty()) return std::string(text);
  if (detail::isDatePattern(pattern)) {
    const std::optional<Date> d = parseDate(text, reading);
    if (!d) return std::string(text);
    return detail::formatDateParts(partsFromDate(*d), pattern);
  }
  const std::optional<detail::NumberText> n = detail::scanNumber(text);
  if (!n) return std::string(text);
  std::string out;
  detail::appendNumber(out, *n, pattern);
  return out;
}

std::string format(const Variant& value, std::string_view pattern) {
  switch (value.type()) {
    case VarType::Empty: return {};
    case VarType::String: return format(value.toString(), pattern);
    case VarType::Font:
    case VarType::Picture:
    case VarType::DataObject: raiseError(err::TypeMismatch);
    default: break;
  }
  if (pattern.empty()) return value.toString();
  if (detail::isDatePattern(pattern)) {
    const double serial = value.type() == VarType::Date ? value.toDate().serial : value.toDouble();
    if (!detail::serialInRange(serial)) return value.toString();
    return detail::formatDateParts(partsFromDate(Date{serial}), pattern);
  }
  switch (value.type()) {
    case VarType::Single: return numberWithPattern(detail::fixedText(value.toSingle()), pattern);
    case VarType::Double: return numberWithPattern(detail::fixedText(value.toDouble()), pattern);
    case VarType::Date: return numberWithPattern(detail::fixedText(value.toDate().serial), pattern);
    default: return numberWithPattern(std::to_string(value.toLong()), pattern);
  }
}

bool isDate(const Variant& v) {
  if (v.type() == VarType::Date) return true;
  if (v.type() == VarType::String) return isDate(v.toString());
  return false;
}

bool isNumeric(const Variant& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Boolean: return true;
    case VarType::String: return isNumeric(v.toString());
    default: return false;
  }
}

std::string trim(std::string_view s) { return std::string(trimSpaces(s)); }
std::string ltrim(std::string_view s) { return std::string(trimLeadingSpaces(s)); }

std::string upperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = toUpperAscii(c);
  return out;
}

std::string left(std::string_view s, std::int32_t n) {
  if (n < 0) raiseError(err::InvalidProcedureCall);
  return std::string(s.substr(0, static_cast<std::size_t>(n)));
}

std::string spaces(std::int32_t n) {
  if (n < 0) raiseError(err::InvalidProcedureCall);
  try {
    return std::string(static_cast<std::size_t>(n), ' ');
  } catch (const std::bad_alloc&) {
    raiseError(err::OutOfMemory);
  } catch (const std::length_error&) {
    raiseError(err::OutOfMemory);
  }
}

}  // namespace kestrinx::values
