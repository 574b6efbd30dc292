// Keystroke filter of a numeric Kestrin box: which character codes it lets through and how
// long a grouped number may grow. Internal to the control.
#pragma once

#include <cstdint>
#include <string_view>

namespace kestrinx::keyfilter {

inline constexpr std::int16_t kBackspace = 8;
inline constexpr std::int16_t kEnter = 13;
inline constexpr std::int16_t kFirstNumberChar = 44;  // ","
inline constexpr std::int16_t kLastNumberChar = 57;   // "9"
// With grouping on, characters of a number are refused once the text before its first "."
// holds more than this many counted characters (15 digits and four separators, or a minus
// sign, 14 digits and four separators).
inline constexpr std::int16_t kIntegerCharLimit = 18;

// True for the characters that can belong to a number: "," "-" "." "/" and the digits.
constexpr bool isNumberChar(std::int16_t keyAscii) {
  return keyAscii >= kFirstNumberChar && keyAscii <= kLastNumberChar;
}

// True for the codes a numeric box accepts: Backspace, Enter and the number characters.
constexpr bool acceptedByNumericBox(std::int16_t keyAscii) {
  return keyAscii == kBackspace || keyAscii == kEnter || isNumberChar(keyAscii);
}

// Counts the characters of `text` before its first "." that are "-", "," or a digit (spaces,
// "/" and letters are passed over). Saturates at the 16-bit maximum.
std::int16_t CountIntegerChars(std::string_view text);

}  // namespace kestrinx::keyfilter
