// ASCII text helpers every layer shares: the digit test, case mapping, comparing names without
// regard to case, and trimming spaces. They look at ASCII only (bytes 128-255 are never letters
// or digits) and never depend on the machine's locale.
#pragma once

#include <cstddef>
#include <string_view>

namespace kestrinx::values {

constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char toLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char toUpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// True when the two texts are equal but for the case of ASCII letters ("Text" and "TEXT"):
// how member and property names compare.
constexpr bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (toLowerAscii(a[i]) != toLowerAscii(b[i])) return false;
  }
  return true;
}

// The text without its leading spaces, trailing spaces, or both (only ' ', no other white space).
constexpr std::string_view trimLeadingSpaces(std::string_view s) {
  const std::size_t b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string_view() : s.substr(b);
}
constexpr std::string_view trimTrailingSpaces(std::string_view s) {
  const std::size_t e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string_view() : s.substr(0, e + 1);
}
constexpr std::string_view trimSpaces(std::string_view s) { return trimTrailingSpaces(trimLeadingSpaces(s)); }

}  // namespace kestrinx::values
