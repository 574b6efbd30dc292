// The keyboard as every host reports it to the control: the shift-state bits of KeyDown, KeyUp
// and the mouse events, and the key code a typed character comes with.
#pragma once

#include <cstdint>
#include <utility>

namespace kestrinx::host {

inline constexpr std::int16_t ShiftMask = 1, CtrlMask = 2, AltMask = 4;

// The key code (KeyDown/KeyUp) and shift state of a typed character, as a US keyboard gives
// them: letters their upper-case code (Shift for capitals), digits and space themselves,
// punctuation the OEM codes (',' 188, '-' 189, '.' 190, '/' 191, ...).
std::pair<std::int16_t, std::int16_t> keyCodeFor(char c);

}  // namespace kestrinx::host
