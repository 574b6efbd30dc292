// STUB: to be replaced by the keystroke filter.
#include "control/kestrin.h"

namespace kestrinx {
void Kestrin::txtKestrin_KeyPress(std::int16_t, std::int16_t& KeyAscii) {
  raise([&](KestrinEvents& e) { e.KeyPress(KeyAscii); });
}
void Kestrin::txtKestrin_KeyDown(std::int16_t, std::int16_t& KeyCode, std::int16_t& Shift) {
  raise([&](KestrinEvents& e) { e.KeyDown(KeyCode, Shift); });
}
void Kestrin::txtKestrin_KeyUp(std::int16_t, std::int16_t& KeyCode, std::int16_t& Shift) {
  raise([&](KestrinEvents& e) { e.KeyUp(KeyCode, Shift); });
}
}  // namespace kestrinx
