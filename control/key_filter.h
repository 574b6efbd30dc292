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

// The most digits (a minus sign counted as one) a grouped number's integer part may hold, as
// the length limit lets a user type it.
inline constexpr std::int16_t kIntegerDigitLimit = 15;

// Whether a numeric box takes a pasted text whole when pastes are held to what its keys let
// through: every character of `pasted`, once the spaces around it are put aside, is one the
// keys accept, and with `limited` (grouping on) the box's resulting text `result` holds at most
// kIntegerDigitLimit digits and minus signs before its first ".".
bool PasteAccepted(std::string_view pasted, std::string_view result, bool limited);

}  // namespace kestrinx::keyfilter
