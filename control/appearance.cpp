// STUB: to be replaced by the appearance implementation.
#include "control/kestrin.h"

namespace kestrinx {
void Kestrin::put_Appearance(std::int32_t v) { m_Appearance = v; m_BoxIndex = v == 0 ? 1 : 0; }
void Kestrin::put_BackColor(OleColor v) { m_BackColor = v; }
OleColor Kestrin::get_ForeColor() const { return activeBox().foreColor(); }
void Kestrin::put_ForeColor(OleColor) {}
host::FontRef Kestrin::get_Font() const { return activeBox().font(); }
void Kestrin::putref_Font(host::FontRef) {}
host::FontRef Kestrin::get_LabelFont() const { return label().font(); }
void Kestrin::putref_LabelFont(host::FontRef) {}
OleColor Kestrin::get_LabelForeColor() const { return label().foreColor(); }
void Kestrin::put_LabelForeColor(OleColor) {}
void Kestrin::put_AutoSize(Boolean v) { m_AutoSize = v; }
Boolean Kestrin::get_AutoRedraw() const { return surface().autoRedraw(); }
void Kestrin::put_AutoRedraw(Boolean) {}
std::int32_t Kestrin::get_hWnd() const { return surface().hWnd(); }
}  // namespace kestrinx
