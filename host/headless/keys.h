// Keys of the headless host: the named keys a test or tool can press, the shift-state bits, and
// the key code a typed character comes with.
#pragma once

#include <cstdint>
#include <utility>

namespace kestrinx::headless {

// Named keys a test or tool can press. Values are the host's key codes.
enum class Key : std::int16_t {
  Backspace = 8,
  Tab = 9,
  Enter = 13,
  Escape = 27,
  End = 35,
  Home = 36,
  Left = 37,
  Right = 39,
  Delete = 46,
};
inline constexpr std::int16_t ShiftMask = 1, CtrlMask = 2, AltMask = 4;

// The key code (KeyDown/KeyUp) and shift state of a typed character, as a US keyboard gives
// them: letters their upper-case code (Shift for capitals), digits and space themselves,
// punctuation the OEM codes (',' 188, '-' 189, '.' 190, '/' 191, ...).
std::pair<std::int16_t, std::int16_t> keyCodeFor(char c);

}  // namespace kestrinx::headless
