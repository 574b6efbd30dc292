// STUB: to be replaced by validation and formatting.
#include "control/kestrin.h"

namespace kestrinx {
void Kestrin::txtKestrin_GotFocus(std::int16_t) {}
void Kestrin::txtKestrin_Change(std::int16_t, host::ChangeSource) {
  raise([](KestrinEvents& e) { e.Change(); });
}
void Kestrin::txtKestrin_LostFocus(std::int16_t) {}
void Kestrin::FormatNumericBox(CaretPlacement) {}
void Kestrin::recolour(std::int16_t, OleColor) {}
}  // namespace kestrinx
