// Keys of the headless host: the named keys a test or tool can press, with the shift-state bits
// and the key code of a typed character that every host shares (host/keys.h).
#pragma once

#include <cstdint>

#include "host/keys.h"

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
using host::AltMask;
using host::CtrlMask;
using host::keyCodeFor;
using host::ShiftMask;

}  // namespace kestrinx::headless
