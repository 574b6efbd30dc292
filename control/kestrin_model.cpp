// Creation, Initialize, the event plumbing and the control's own simple properties.
#include <algorithm>

#include "control/kestrin.h"
#include "host/error.h"

namespace kestrinx {

namespace {
constexpr const char* kDateFormatTexts[] = {"", "yyyy-mm-dd", "mm-dd-yyyy"};
constexpr const char* kTimeFormatTexts[] = {"", "hh:mm", "hh:mm:ss"};
}  // namespace

Kestrin::Kestrin(host::ControlSite& site) : site_(site) {
  site_.txtKestrin(0).setEventSink(this, 0);
  site_.txtKestrin(1).setEventSink(this, 1);
  site_.surface().setEventSink(this);
}

Kestrin::~Kestrin() {
  site_.txtKestrin(0).setEventSink(nullptr, 0);
  site_.txtKestrin(1).setEventSink(nullptr, 1);
  site_.surface().setEventSink(nullptr);
}

void Kestrin::connect(KestrinEvents* sink) {
  if (sink != nullptr && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void Kestrin::disconnect(KestrinEvents* sink) {
  if (raising_ > 0) {
    std::replace(sinks_.begin(), sinks_.end(), sink, static_cast<KestrinEvents*>(nullptr));
  } else {
    std::erase(sinks_, sink);
  }
}

void Kestrin::endRaise() {
  if (--raising_ == 0) std::erase(sinks_, nullptr);
}

void Kestrin::Initialize() {
  m_DateFormatText = kDateFormatTexts[YYMMDD];
  m_TimeFormatText = kTimeFormatTexts[HM];
}

host::TextBox& Kestrin::box(std::int32_t index) const { return site_.txtKestrin(index == 1 ? 1 : 0); }

// ---- element events --------------------------------------------------------------------------

void Kestrin::onChange(std::int16_t index, host::ChangeSource source) { txtKestrin_Change(index, source); }
void Kestrin::onGotFocus(std::int16_t index) { txtKestrin_GotFocus(index); }
void Kestrin::onLostFocus(std::int16_t index) { txtKestrin_LostFocus(index); }
void Kestrin::onKeyDown(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) {
  txtKestrin_KeyDown(index, keyCode, shift);
}
void Kestrin::onKeyPress(std::int16_t index, std::int16_t& keyAscii) { txtKestrin_KeyPress(index, keyAscii); }
void Kestrin::onKeyUp(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) {
  txtKestrin_KeyUp(index, keyCode, shift);
}
void Kestrin::onClick(std::int16_t index) { txtKestrin_Click(index); }
void Kestrin::onDblClick(std::int16_t index) { txtKestrin_DblClick(index); }
void Kestrin::onMouseDown(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) {
  txtKestrin_MouseDown(index, button, shift, x, y);
}
void Kestrin::onMouseMove(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) {
  txtKestrin_MouseMove(index, button, shift, x, y);
}
void Kestrin::onMouseUp(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) {
  txtKestrin_MouseUp(index, button, shift, x, y);
}
void Kestrin::onOLECompleteDrag(std::int16_t index, std::int32_t& effect) { txtKestrin_OLECompleteDrag(index, effect); }
void Kestrin::onOLEDragDrop(std::int16_t index, host::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                            std::int16_t& shift, float& x, float& y) {
  txtKestrin_OLEDragDrop(index, data, effect, button, shift, x, y);
}
void Kestrin::onOLEDragOver(std::int16_t index, host::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                            std::int16_t& shift, float& x, float& y, std::int16_t& state) {
  txtKestrin_OLEDragOver(index, data, effect, button, shift, x, y, state);
}

// ---- own properties ----------------------------------------------------------------------------

void Kestrin::put_KestrinType(std::int32_t v) {
  m_KestrinType = v;
  if (v == NUMERIC_TYPE || v == DATE_TYPE || v == TIME_TYPE) {
    // Emptied even when the type is unchanged; each set raises the box's change handling.
    box(1).setText("");
    box(0).setText("");
  }
  notify("KestrinType");
}

void Kestrin::put_NumAlignment(std::int32_t v) { storeAndNotify(m_NumAlignment, v, "NumAlignment"); }

void Kestrin::put_NumSeparatorUse(Boolean v) { storeAndNotify(m_NumSeparatorUse, v, "NumSeparatorUse"); }

std::string Kestrin::get_ToolTipText() const { return activeBox().toolTipText(); }

void Kestrin::put_ToolTipText(const std::string& v) {
  writeBoth(&host::TextBox::setToolTipText, v);
  notify("ToolTipText");
}

void Kestrin::put_InvalidBeep(Boolean v) { storeAndNotify(m_InvalidBeep, v, "InvalidBeep"); }

std::int32_t Kestrin::get_FormatDate() const { return m_KestrinType == DATE_TYPE ? m_FormatDate : NONE; }

void Kestrin::put_FormatDate(std::int32_t v) {
  if (m_KestrinType != DATE_TYPE) return;  // ignored for boxes of another type
  if (v >= NONE && v <= MMDDYY) m_DateFormatText = kDateFormatTexts[v];
  m_FormatDate = v;
  notify("FormatDate");
}

std::int32_t Kestrin::get_FormatTime() const { return m_KestrinType == TIME_TYPE ? m_FormatTime : ANY_TYPE; }

void Kestrin::put_FormatTime(std::int32_t v) {
  if (m_KestrinType != TIME_TYPE) return;  // ignored for boxes of another type
  if (v >= ANY_TYPE && v <= HMS) m_TimeFormatText = kTimeFormatTexts[v];
  m_FormatTime = v;
  notify("FormatTime");
}

void Kestrin::put_ColorValid(OleColor v) { storeAndNotify(m_ColorValid, v, "ColorValid"); }

void Kestrin::put_ColorValidUse(Boolean v) { storeAndNotify(m_ColorValidUse, v, "ColorValidUse"); }

void Kestrin::put_ColorInValid(OleColor v) { storeAndNotify(m_ColorInValid, v, "ColorInValid"); }

void Kestrin::put_ColorInValidUse(Boolean v) { storeAndNotify(m_ColorInValidUse, v, "ColorInValidUse"); }

void Kestrin::put_ColorEdit(OleColor v) { storeAndNotify(m_ColorEdit, v, "ColorEdit"); }

void Kestrin::put_ColorEditUse(Boolean v) { storeAndNotify(m_ColorEditUse, v, "ColorEditUse"); }

void Kestrin::put_ValidState(Boolean /*v*/) {
  // Read-only for every client; the stored value never changes and nothing is notified.
  host::raiseError(surface().ambientUserMode() ? host::err::ReadOnlyAtRunTime : host::err::ReadOnlyAtDesignTime);
}

}  // namespace kestrinx
