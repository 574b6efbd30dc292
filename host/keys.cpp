// The key code and shift state a typed character comes with on a US keyboard.
#include "host/keys.h"

namespace kestrinx::host {

std::pair<std::int16_t, std::int16_t> keyCodeFor(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u >= 'a' && u <= 'z') return {static_cast<std::int16_t>(u - 'a' + 'A'), 0};
  if (u >= 'A' && u <= 'Z') return {static_cast<std::int16_t>(u), ShiftMask};
  if (u >= '0' && u <= '9') return {static_cast<std::int16_t>(u), 0};
  switch (u) {
    case ' ': return {32, 0};
    case '\b': return {8, 0};
    case '\t': return {9, 0};
    case '\r': return {13, 0};
    case '\n': return {13, CtrlMask};  // Ctrl+Enter types a line feed
    case 27: return {27, 0};
    case 127: return {8, CtrlMask};    // Ctrl+Backspace
    case ')': return {'0', ShiftMask};
    case '!': return {'1', ShiftMask};
    case '@': return {'2', ShiftMask};
    case '#': return {'3', ShiftMask};
    case '$': return {'4', ShiftMask};
    case '%': return {'5', ShiftMask};
    case '^': return {'6', ShiftMask};
    case '&': return {'7', ShiftMask};
    case '*': return {'8', ShiftMask};
    case '(': return {'9', ShiftMask};
    case ';': return {186, 0};
    case ':': return {186, ShiftMask};
    case '=': return {187, 0};
    case '+': return {187, ShiftMask};
    case ',': return {188, 0};
    case '<': return {188, ShiftMask};
    case '-': return {189, 0};
    case '_': return {189, ShiftMask};
    case '.': return {190, 0};
    case '>': return {190, ShiftMask};
    case '/': return {191, 0};
    case '?': return {191, ShiftMask};
    case '`': return {192, 0};
    case '~': return {192, ShiftMask};
    case '[': return {219, 0};
    case '{': return {219, ShiftMask};
    case '\\': return {220, 0};
    case '|': return {220, ShiftMask};
    case ']': return {221, 0};
    case '}': return {221, ShiftMask};
    case '\'': return {222, 0};
    case '"': return {222, ShiftMask};
    default: break;
  }
  // Other control characters are Ctrl with a letter (1 = Ctrl+A ... 26 = Ctrl+Z) or with the
  // key that carries them.
  if (u >= 1 && u <= 26) return {static_cast<std::int16_t>('A' + u - 1), CtrlMask};
  if (u == 0) return {'2', CtrlMask | ShiftMask};
  if (u == 28) return {220, CtrlMask};
  if (u == 29) return {221, CtrlMask};
  if (u == 30) return {'6', CtrlMask | ShiftMask};
  if (u == 31) return {189, CtrlMask | ShiftMask};
  // Bytes 128..255 have no key on a US keyboard: code 0, no shift.
  return {0, 0};
}

}  // namespace kestrinx::host
