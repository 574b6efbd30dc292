// Internal to the value functions (variant.cpp, numbers.cpp, dates.cpp, values.cpp): the
// pieces they share. Not part of the host interface; the control never includes it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "values/functions.h"

namespace kestrinx::values::detail {

// A text that reads as a number (see values.h), split into its parts. Views into the text.
struct NumberText {
  bool negative = false;
  std::string_view integer;   // digits and "," separators, possibly empty
  std::string_view fraction;  // digits after the ".", possibly empty
};

// Splits a number text; nullopt when the text is not a number.
std::optional<NumberText> scanNumber(std::string_view text);

// The number as a double; nullopt when it is too large for one (tiny values give 0).
std::optional<double> numberValue(const NumberText& n);

// Appends the number rendered with a number pattern (one that has no date letters).
void appendNumber(std::string& out, const NumberText& n, std::string_view pattern);

// Plain decimal text of a number, every digit of it (fixed notation, shortest round-trip form
// for reals). Used where a number must meet a number pattern.
std::string fixedText(double v);
std::string fixedText(float v);

// The shortest round-trip text of a real: plain below 1E+15 and from 1E-05 up, otherwise
// scientific with "E" and a signed exponent of at least two digits ("1E+20", "1.5E-07").
std::string shortestText(double v);
std::string shortestText(float v);

// True when the pattern contains any of the date letters y, m, d, h, n, s (any case).
bool isDatePattern(std::string_view pattern);

// Renders a date with a date pattern.
std::string formatDateParts(const DateTimeParts& p, std::string_view pattern);

// True when the serial lies in 100-01-01 .. 9999-12-31 (any time of day); false for NaN.
bool serialInRange(double serial);

}  // namespace kestrinx::values::detail
