// Fuzzes the value functions: the date and number texts, patterns and Variant coercions.
// Input: the whole input as a text; also split at the first newline into pattern and text,
// and its first eight bytes read as a double.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "values/error.h"
#include "values/functions.h"

using namespace kestrinx::values;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

template <typename F>
void tolerant(F&& f) {
  try {
    f();
  } catch (const AutomationError&) {
  }
}

// Integer digits of a number text without "." and without leading zeros ("0" for none).
std::string integerDigits(std::string_view text) {
  std::string d;
  for (char c : text) {
    if (c >= '0' && c <= '9' && !(c == '0' && d.empty())) d.push_back(c);
  }
  return d.empty() ? "0" : d;
}

void fuzzText(std::string_view text) {
  const std::optional<Date> date = parseDate(text);
  check(isDate(text) == date.has_value());
  if (date) {
    // A date written out in full reads back as the same date.
    const std::string full = format(text, "yyyy-mm-dd hh:nn:ss");
    check(parseDate(full) == date);
    check(parseDate(defaultDateText(*date)) == date);
  }
  for (const char* pattern : {"yyyy-mm-dd", "mm-dd-yyyy", "hh:mm", "hh:mm:ss", "dddd mmmm y AM/PM"}) {
    const std::string out = format(text, pattern);
    if (!date) check(out == text);
  }

  const bool numeric = isNumeric(text);
  const std::string grouped = format(text, "###,##0");
  if (!numeric) {
    check(grouped == text);
  } else if (text.find('.') == std::string_view::npos) {
    std::string digits;
    for (char c : grouped) {
      if (c != ',' && c != '-') digits.push_back(c);
    }
    check(digits == integerDigits(text));
  }
  for (const char* pattern : {"0.00", "#,##0.0#", "$ #", ".000", "00-00"}) {
    const std::string out = format(text, pattern);
    if (!numeric) check(out == text);
  }

  const Variant v = Variant::string(std::string(text));
  tolerant([&] { (void)v.toInteger(); });
  tolerant([&] { (void)v.toLong(); });
  tolerant([&] { (void)v.toSingle(); });
  tolerant([&] { (void)v.toDouble(); });
  tolerant([&] { (void)v.toBoolean(); });
  try {
    const Date d = v.toDate();
    check(date && d == *date);
  } catch (const AutomationError& e) {
    check(!date && e.number() == err::TypeMismatch);
  }
  check(v.toString() == text);
  check(isNumeric(v) == numeric);
  check(trim(text).size() <= text.size());
  (void)upperCase(text);
}

void fuzzPattern(std::string_view pattern, std::string_view text) {
  (void)format(text, pattern);
  tolerant([&] { (void)format(Variant::doubleValue(36154.5), pattern); });
  tolerant([&] { (void)format(Variant::longValue(-1234567), pattern); });
}

void fuzzNumber(double d) {
  const Variant v = Variant::doubleValue(d);
  tolerant([&] { (void)v.toInteger(); });
  tolerant([&] { (void)v.toLong(); });
  tolerant([&] { (void)v.toSingle(); });
  tolerant([&] { (void)v.toDate(); });
  tolerant([&] { (void)addDays(1, Date{d}); });
  tolerant([&] { (void)defaultDateText(Date{d}); });
  (void)v.toBoolean();
  const std::string plain = v.toString();
  tolerant([&] { (void)format(v, "###,##0.00"); });
  tolerant([&] { (void)format(v, "yyyy-mm-dd hh:nn:ss"); });
  if (isNumeric(plain)) check(Variant::string(plain).toDouble() == d);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  fuzzText(input);
  const std::size_t newline = input.find('\n');
  if (newline != std::string_view::npos) fuzzPattern(input.substr(0, newline), input.substr(newline + 1));
  if (size >= sizeof(double)) {
    double d;
    std::memcpy(&d, data, sizeof d);
    fuzzNumber(d);
  }
  return 0;
}
