// STUB: to be replaced by the layout implementation.
#include "control/kestrin.h"

namespace kestrinx {
void Kestrin::UserControl_Resize() { ArrangeControls(m_Interval, m_Alignment); }
void Kestrin::UserControl_Paint() { ArrangeControls(m_Interval, m_Alignment); }
void Kestrin::ArrangeControls(std::int32_t, std::int32_t) {}
void Kestrin::put_CaptionView(Boolean v) { m_CaptionView = v; }
std::string Kestrin::get_Caption() const { return label().caption(); }
void Kestrin::put_Caption(const std::string& v) { label().setCaption(v); }
void Kestrin::put_Interval(std::int32_t v) { m_Interval = v; }
void Kestrin::put_Alignment(std::int32_t v) { m_Alignment = v; }
std::int32_t Kestrin::get_BoxWidth() const { return static_cast<std::int32_t>(activeBox().width()); }
void Kestrin::put_BoxWidth(std::int32_t) {}
void Kestrin::put_BoxWidthLock(Boolean v) { m_BoxWidthLock = v; }
}  // namespace kestrinx
