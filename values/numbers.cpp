// Number texts: the is-numeric test, number patterns and the text forms of reals.
//
// Number patterns work on the digits of the text itself, never through floating point, so a
// 20-digit number keeps all 20 digits. Layout of a pattern:
//   prefix   characters before the first placeholder ("0" or "#"), copied as they stand; a "."
//            right before the first placeholder belongs to the number (".00").
//   integer  placeholders and "," up to the decimal point; any "," switches grouping in threes
//            on. Digits beyond the placeholders go to the leftmost one. The number shows at least
//            as many digits as there are placeholders from the first "0" on.
//   fraction placeholders after the decimal point: the number is rounded half away from zero
//            to as many decimals as there are placeholders; trailing zeros are dropped down to the
//            last "0" placeholder. The point itself is shown only when a decimal follows it.
//   suffix   characters after the last placeholder, copied as they stand.
// Other characters between placeholders are copied in place. A negative sign goes in front of
// everything; a number that rounds to zero has no sign. A pattern without any placeholder is
// copied as it stands.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "values/text.h"
#include "values/value_text.h"

namespace kestrinx::values::detail {

namespace {

bool isPlaceholder(char c) { return c == '0' || c == '#'; }

// Where the parts of a number pattern lie.
struct NumberPattern {
  std::size_t bodyBegin = 0;  // first character of the number (placeholder or leading ".")
  std::size_t bodyEnd = 0;    // one past the last placeholder
  std::size_t point = 0;      // the decimal point, or bodyEnd when there is none
  int integerPlaces = 0;
  int minIntegerDigits = 0;
  int fractionPlaces = 0;
  int minFractionDigits = 0;
  bool grouping = false;
};

std::optional<NumberPattern> readPattern(std::string_view pattern) {
  const std::size_t first = pattern.find_first_of("0#");
  if (first == std::string_view::npos) return std::nullopt;
  NumberPattern p;
  p.bodyEnd = pattern.find_last_of("0#") + 1;
  p.bodyBegin = (first > 0 && pattern[first - 1] == '.') ? first - 1 : first;
  const std::size_t point = pattern.find('.', p.bodyBegin);
  p.point = (point == std::string_view::npos || point >= p.bodyEnd) ? p.bodyEnd : point;

  int firstZero = -1;
  for (std::size_t i = p.bodyBegin; i < p.point; ++i) {
    const char c = pattern[i];
    if (isPlaceholder(c)) {
      if (c == '0' && firstZero < 0) firstZero = p.integerPlaces;
      ++p.integerPlaces;
    } else if (c == ',') {
      p.grouping = true;
    }
  }
  p.minIntegerDigits = firstZero < 0 ? 0 : p.integerPlaces - firstZero;
  for (std::size_t i = p.point + 1; i < p.bodyEnd; ++i) {
    const char c = pattern[i];
    if (isPlaceholder(c)) {
      ++p.fractionPlaces;
      if (c == '0') p.minFractionDigits = p.fractionPlaces;
    }
  }
  return p;
}

// Appends the integer digits `digits` (most significant first) laid out on the integer
// placeholders of the pattern, with grouping and in-place literals.
void appendInteger(std::string& out, std::string_view digits, std::string_view pattern,
                   const NumberPattern& p) {
  const std::size_t start = out.size();
  const int count = static_cast<int>(digits.size());
  int next = 0;  // index from the right of the next digit to place
  auto put = [&](int fromRight) {
    if (p.grouping && fromRight > 0 && fromRight % 3 == 0) out.push_back(',');
    out.push_back(digits[static_cast<std::size_t>(count - 1 - fromRight)]);
  };
  // Built right to left, then turned round.
  int placeholder = 0;
  for (std::size_t i = p.point; i-- > p.bodyBegin;) {
    const char c = pattern[i];
    if (isPlaceholder(c)) {
      ++placeholder;
      if (next < count) put(next++);
      if (placeholder == p.integerPlaces) {
        while (next < count) put(next++);
      }
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  if (p.integerPlaces == 0) {
    while (next < count) put(next++);
  }
  std::reverse(out.begin() + static_cast<std::ptrdiff_t>(start), out.end());
}

}  // namespace

std::optional<NumberText> scanNumber(std::string_view untrimmed) {
  const std::string_view text = trimSpaces(untrimmed);
  std::size_t i = 0;
  const std::size_t n = text.size();
  NumberText r;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    r.negative = text[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  const std::size_t intBegin = i;
  while (i < n && (isDigit(text[i]) || text[i] == ',')) {
    anyDigit = anyDigit || isDigit(text[i]);
    ++i;
  }
  r.integer = text.substr(intBegin, i - intBegin);
  if (i < n && text[i] == '.') {
    ++i;
    const std::size_t fracBegin = i;
    while (i < n && isDigit(text[i])) ++i;
    r.fraction = text.substr(fracBegin, i - fracBegin);
    anyDigit = anyDigit || !r.fraction.empty();
  }
  if (i != n || !anyDigit) return std::nullopt;
  return r;
}

std::optional<double> numberValue(const NumberText& n) {
  std::string plain;
  plain.reserve(n.integer.size() + n.fraction.size() + 3);
  if (n.negative) plain.push_back('-');
  plain.push_back('0');
  bool integerIsZero = true;
  for (char c : n.integer) {
    if (isDigit(c)) {
      plain.push_back(c);
      integerIsZero = integerIsZero && c == '0';
    }
  }
  if (!n.fraction.empty()) {
    plain.push_back('.');
    plain.append(n.fraction);
  }
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Out of range with a zero integer part is a value too small to represent: zero.
    if (integerIsZero) return n.negative ? -0.0 : 0.0;
    return std::nullopt;
  }
  if (ec != std::errc()) return std::nullopt;
  return v;
}

void appendNumber(std::string& out, const NumberText& n, std::string_view pattern) {
  const std::optional<NumberPattern> layout = readPattern(pattern);
  if (!layout) {
    out.append(pattern);
    return;
  }
  const NumberPattern& p = *layout;

  // digits := integer digits without leading zeros, then exactly fractionPlaces decimals.
  std::string digits;
  digits.reserve(n.integer.size() + static_cast<std::size_t>(p.fractionPlaces) + 1);
  for (char c : n.integer) {
    if (isDigit(c) && !(c == '0' && digits.empty())) digits.push_back(c);
  }
  std::size_t integerCount = digits.size();
  const std::size_t places = static_cast<std::size_t>(p.fractionPlaces);
  for (std::size_t k = 0; k < places; ++k) digits.push_back(k < n.fraction.size() ? n.fraction[k] : '0');
  if (n.fraction.size() > places && n.fraction[places] >= '5') {
    // Half away from zero: carry one into the last kept digit.
    std::size_t k = digits.size();
    while (k > 0 && digits[k - 1] == '9') digits[--k] = '0';
    if (k > 0) {
      ++digits[k - 1];
    } else {
      digits.insert(digits.begin(), '1');
      ++integerCount;
    }
  }
  const bool zero = std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });

  std::string_view integer(digits.data(), integerCount);
  // Pad to the "0" placeholders. A whole part of zero has no digits of its own.
  const std::size_t minInt = static_cast<std::size_t>(p.minIntegerDigits);
  std::string padded;
  if (integerCount < minInt) {
    padded.assign(minInt - integerCount, '0');
    padded.append(integer);
    integer = padded;
  }
  std::size_t fractionShown = places;
  while (fractionShown > static_cast<std::size_t>(p.minFractionDigits) &&
         digits[integerCount + fractionShown - 1] == '0') {
    --fractionShown;
  }

  out.reserve(out.size() + pattern.size() + integer.size() * 4 / 3 + fractionShown + 2);
  if (n.negative && !zero) out.push_back('-');
  out.append(pattern.substr(0, p.bodyBegin));
  appendInteger(out, integer, pattern, p);
  if (fractionShown > 0) out.push_back('.');
  std::size_t placed = 0;
  for (std::size_t i = p.point + 1; i < p.bodyEnd; ++i) {
    const char c = pattern[i];
    if (isPlaceholder(c)) {
      if (placed < fractionShown) out.push_back(digits[integerCount + placed]);
      ++placed;
    } else if (c != ',') {
      out.push_back(c);
    }
  }
  out.append(pattern.substr(p.bodyEnd));
}

namespace {

template <typename Real>
std::string fixedTextOf(Real v) {
  if (!std::isfinite(v)) return shortestText(v);
  if (v == 0) return "0";
  // Fixed notation of the largest double needs 309 digits.
  std::array<char, 400> buf;
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::fixed);
  return std::string(buf.data(), r.ptr);
}

template <typename Real>
std::string shortestTextOf(Real v) {
  if (std::isnan(v)) return "NaN";
  if (std::isinf(v)) return v < 0 ? "-Infinity" : "Infinity";
  if (v == 0) return "0";
  std::array<char, 64> buf;
  auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v, std::chars_format::scientific);
  std::string text(buf.data(), r.ptr);
  const std::size_t e = text.find('e');
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(), exponent);
  if (exponent >= -5 && exponent < 15) return fixedTextOf(v);
  text[e] = 'E';
  return text;
}

}  // namespace

std::string fixedText(double v) { return fixedTextOf(v); }
std::string fixedText(float v) { return fixedTextOf(v); }
std::string shortestText(double v) { return shortestTextOf(v); }
std::string shortestText(float v) { return shortestTextOf(v); }

}  // namespace kestrinx::values::detail

namespace kestrinx::values {

bool isNumeric(std::string_view text) { return detail::scanNumber(text).has_value(); }

}  // namespace kestrinx::values
