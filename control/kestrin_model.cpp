// Creation, Initialize, the event plumbing and the control's own simple properties.
#include <algorithm>

#include "control/kestrin.h"
#include "control/members.h"
#include "values/error.h"

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

void Kestrin::connect(values::EventSink* sink) {
  if (sink != nullptr && std::find(sinks_.begin(), sinks_.end(), sink) == sinks_.end()) sinks_.push_back(sink);
}

void Kestrin::disconnect(values::EventSink* sink) {
  if (raising_ > 0) {
    std::replace(sinks_.begin(), sinks_.end(), sink, static_cast<values::EventSink*>(nullptr));
  } else {
    std::erase(sinks_, sink);
  }
}

void Kestrin::raiseEvent(values::EventArgs& args) {
  ++raising_;
  try {
    for (std::size_t i = 0; i < sinks_.size(); ++i)
      if (sinks_[i] != nullptr) sinks_[i]->onEvent(args.info(), args);
  } catch (...) {
    endRaise();
    throw;
  }
  endRaise();
}

void Kestrin::endRaise() {
  if (--raising_ == 0) std::erase(sinks_, nullptr);
}

void Kestrin::Initialize() {
  m_DateFormatText = kDateFormatTexts[YYMMDD];
  m_TimeFormatText = kTimeFormatTexts[HM];
}

host::TextBox& Kestrin::box(std::int32_t index) const { return site_.txtKestrin(index == 1 ? 1 : 0); }

// ---- own properties ----------------------------------------------------------------------------

void Kestrin::put_KestrinType(std::int32_t v) {
  m_KestrinType = v;
  if (v == NUMERIC_TYPE || v == DATE_TYPE || v == TIME_TYPE) {
    // Emptied even when the type is unchanged; each set raises the box's change handling.
    box(1).setText("");
    box(0).setText("");
  }
  notifyChanged<&Kestrin::put_KestrinType>();
}

void Kestrin::put_NumAlignment(std::int32_t v) { storeAndNotify<&Kestrin::put_NumAlignment>(m_NumAlignment, v); }

void Kestrin::put_NumSeparatorUse(Boolean v) { storeAndNotify<&Kestrin::put_NumSeparatorUse>(m_NumSeparatorUse, v); }

std::string Kestrin::get_ToolTipText() const { return activeBox().toolTipText(); }

void Kestrin::put_ToolTipText(const std::string& v) {
  writeBoth(&host::TextBox::setToolTipText, v);
  notifyChanged<&Kestrin::put_ToolTipText>();
}

void Kestrin::put_InvalidBeep(Boolean v) { storeAndNotify<&Kestrin::put_InvalidBeep>(m_InvalidBeep, v); }

std::int32_t Kestrin::get_FormatDate() const { return m_KestrinType == DATE_TYPE ? m_FormatDate : NONE; }

void Kestrin::put_FormatDate(std::int32_t v) {
  if (m_KestrinType != DATE_TYPE) return;  // ignored for boxes of another type
  if (v >= NONE && v <= MMDDYY) m_DateFormatText = kDateFormatTexts[v];
  m_FormatDate = v;
  notifyChanged<&Kestrin::put_FormatDate>();
}

std::int32_t Kestrin::get_FormatTime() const { return m_KestrinType == TIME_TYPE ? m_FormatTime : ANY_TYPE; }

void Kestrin::put_FormatTime(std::int32_t v) {
  if (m_KestrinType != TIME_TYPE) return;  // ignored for boxes of another type
  if (v >= ANY_TYPE && v <= HMS) m_TimeFormatText = kTimeFormatTexts[v];
  m_FormatTime = v;
  notifyChanged<&Kestrin::put_FormatTime>();
}

void Kestrin::put_ColorValid(OleColor v) { storeAndNotify<&Kestrin::put_ColorValid>(m_ColorValid, v); }

void Kestrin::put_ColorValidUse(Boolean v) { storeAndNotify<&Kestrin::put_ColorValidUse>(m_ColorValidUse, v); }

void Kestrin::put_ColorInValid(OleColor v) { storeAndNotify<&Kestrin::put_ColorInValid>(m_ColorInValid, v); }

void Kestrin::put_ColorInValidUse(Boolean v) { storeAndNotify<&Kestrin::put_ColorInValidUse>(m_ColorInValidUse, v); }

void Kestrin::put_ColorEdit(OleColor v) { storeAndNotify<&Kestrin::put_ColorEdit>(m_ColorEdit, v); }

void Kestrin::put_ColorEditUse(Boolean v) { storeAndNotify<&Kestrin::put_ColorEditUse>(m_ColorEditUse, v); }

void Kestrin::put_ValidState(Boolean /*v*/) {
  // Read-only for every client; the stored value never changes and nothing is notified.
  values::raiseError(surface().ambientUserMode() ? values::err::ReadOnlyAtRunTime : values::err::ReadOnlyAtDesignTime);
}

}  // namespace kestrinx
