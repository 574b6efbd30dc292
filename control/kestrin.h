// Kestrin: a single-line entry box with a caption label. It knows whether it holds text, a
// number, a date or a time; filters keys and groups thousands while the user types in a
// numeric box; rewrites dates and times into the chosen pattern when the user leaves the box;
// and reports the outcome by colour, beep and ValidState.
//
// Everything the control touches comes from the host::ControlSite it is created with. The
// host calls every member on one thread; re-entry happens only synchronously (setting a box's
// text runs its change handling; changing the control's size raises Resize at once).
//
// Implementation is split by concern:
//   kestrin_model.cpp     creation, Initialize, own properties, ValidState
//   key_filter.cpp        keystroke filtering of numeric boxes, key events
//   validation.cpp        focus entry, text change, numeric rewrite, exit check, colours
//   date_time_entry.cpp   date and time entry rules (also usable on their own)
//   layout.cpp            ArrangeControls, Resize/Paint, caption and box geometry properties
//   appearance.cpp        Appearance, colours, fonts, AutoSize, AutoRedraw, hWnd
//   pass_through.cpp      text-box properties, methods and events passed through
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "control/kestrin_events.h"
#include "host/control_site.h"
#include "host/objects.h"
#include "host/types.h"

namespace kestrinx {

using host::Boolean;
using host::OleColor;

// The published enumerations: 32-bit signed values. Fields and properties hold any int32,
// so values outside the lists are stored as given.
enum DEF_KESTRIN_TYPE : std::int32_t { NORMAL_TYPE = 0, NUMERIC_TYPE = 1, DATE_TYPE = 2, TIME_TYPE = 3 };
enum DEF_KESTRIN_CLASS : std::int32_t { KSTD = 0, KSF = 1 };
enum DEF_NUM_ALIGN : std::int32_t { RIGHT_ALIGN = 0, LEFT_ALIGN = 1 };
enum DEF_APPEARANCE : std::int32_t { Flat = 0, ThreeD = 1 };
enum DEF_ALIGN : std::int32_t {
  LeftTop = 0,
  LeftMiddle = 1,
  LeftBottom = 2,
  CenterTop = 3,
  CenterMiddle = 4,
  CenterBottom = 5,
  RightTop = 6,
  RightMiddle = 7,
  RightBottom = 8,
};
enum DEF_DATE_FORMAT : std::int32_t { NONE = 0, YYMMDD = 1, MMDDYY = 2 };
enum DEF_TIME_FORMAT : std::int32_t { ANY_TYPE = 0, HM = 1, HMS = 2 };

// Where the caret goes after the numeric rewrite.
enum class CaretPlacement : std::uint8_t {
  AtEnd,             // focus entry, or a program set the text
  AfterSameDigits,   // the user edited: keep the caret after the same digits as before
};

class Kestrin final : private host::TextBoxEvents, private host::SurfaceEvents {
 public:
  // Creation: every field zero, false or empty; hooks the widgets' and the surface's events.
  explicit Kestrin(host::ControlSite& site);
  ~Kestrin() override;
  Kestrin(const Kestrin&) = delete;
  Kestrin& operator=(const Kestrin&) = delete;

  // Application event connections (any number; raised in connection order).
  void connect(KestrinEvents* sink);
  void disconnect(KestrinEvents* sink);

  // ---- host-driven life cycle -------------------------------------------------------------
  void Initialize();
  void UserControl_Resize();
  void UserControl_Paint();
  void UserControl_Show() {}
  void UserControl_Hide() {}

  // ---- own properties ---------------------------------------------------------------------
  std::int32_t get_KestrinType() const { return m_KestrinType; }
  void put_KestrinType(std::int32_t v);
  std::int32_t get_NumAlignment() const { return m_NumAlignment; }
  void put_NumAlignment(std::int32_t v);
  Boolean get_NumSeparatorUse() const { return m_NumSeparatorUse; }
  void put_NumSeparatorUse(Boolean v);
  Boolean get_CaptionView() const { return m_CaptionView; }
  void put_CaptionView(Boolean v);
  std::string get_Caption() const;
  void put_Caption(const std::string& v);
  std::int32_t get_Appearance() const { return m_Appearance; }
  void put_Appearance(std::int32_t v);
  std::string get_ToolTipText() const;
  void put_ToolTipText(const std::string& v);
  Boolean get_InvalidBeep() const { return m_InvalidBeep; }
  void put_InvalidBeep(Boolean v);
  std::int32_t get_FormatDate() const;
  void put_FormatDate(std::int32_t v);
  std::int32_t get_FormatTime() const;
  void put_FormatTime(std::int32_t v);
  OleColor get_BackColor() const { return m_BackColor; }
  void put_BackColor(OleColor v);
  OleColor get_ColorValid() const { return m_ColorValid; }
  void put_ColorValid(OleColor v);
  Boolean get_ColorValidUse() const { return m_ColorValidUse; }
  void put_ColorValidUse(Boolean v);
  OleColor get_ColorInValid() const { return m_ColorInValid; }
  void put_ColorInValid(OleColor v);
  Boolean get_ColorInValidUse() const { return m_ColorInValidUse; }
  void put_ColorInValidUse(Boolean v);
  OleColor get_ColorEdit() const { return m_ColorEdit; }
  void put_ColorEdit(OleColor v);
  Boolean get_ColorEditUse() const { return m_ColorEditUse; }
  void put_ColorEditUse(Boolean v);
  std::int32_t get_Interval() const { return m_Interval; }
  void put_Interval(std::int32_t v);
  std::int32_t get_Alignment() const { return m_Alignment; }
  void put_Alignment(std::int32_t v);
  std::int32_t get_BoxWidth() const;
  void put_BoxWidth(std::int32_t v);
  Boolean get_BoxWidthLock() const { return m_BoxWidthLock; }
  void put_BoxWidthLock(Boolean v);
  Boolean get_AutoSize() const { return m_AutoSize; }
  void put_AutoSize(Boolean v);
  Boolean get_ValidState() const { return m_ValidState; }
  // Always fails: error 382 at design time, 393 at run time. ValidState is read-only.
  [[noreturn]] void put_ValidState(Boolean v);

  // ---- appearance and fonts ---------------------------------------------------------------
  OleColor get_ForeColor() const;
  void put_ForeColor(OleColor v);
  host::FontRef get_Font() const;
  void putref_Font(host::FontRef f);
  host::FontRef get_LabelFont() const;
  void putref_LabelFont(host::FontRef f);
  OleColor get_LabelForeColor() const;
  void put_LabelForeColor(OleColor v);
  Boolean get_AutoRedraw() const;
  void put_AutoRedraw(Boolean v);
  std::int32_t get_hWnd() const;

  // ---- passed-through text-box members ----------------------------------------------------
  std::string get_Text() const;
  void put_Text(const std::string& v);
  Boolean get_Enabled() const;
  void put_Enabled(Boolean v);
  Boolean get_Locked() const;
  void put_Locked(Boolean v);
  std::int32_t get_MaxLength() const;
  void put_MaxLength(std::int32_t v);
  host::PictureRef get_MouseIcon() const;
  void putref_MouseIcon(host::PictureRef p);
  std::int16_t get_MousePointer() const;
  void put_MousePointer(std::int16_t v);
  std::int16_t get_ScrollBars() const;
  std::int32_t get_SelLength() const;
  void put_SelLength(std::int32_t v);
  std::int32_t get_SelStart() const;
  void put_SelStart(std::int32_t v);
  std::string get_SelText() const;
  void put_SelText(const std::string& v);
  std::int16_t get_LinkMode() const;
  void put_LinkMode(std::int16_t v);
  std::string get_LinkItem() const;
  void put_LinkItem(const std::string& v);
  std::string get_LinkTopic() const;
  void put_LinkTopic(const std::string& v);
  std::int16_t get_LinkTimeout() const;
  void put_LinkTimeout(std::int16_t v);
  std::int16_t get_OLEDragMode() const;
  void put_OLEDragMode(std::int16_t v);
  std::int16_t get_OLEDropMode() const;
  void put_OLEDropMode(std::int16_t v);
  void LinkSend();
  void LinkRequest();
  void OLEDrag();

  // ---- element event handlers (the host reaches them through the text boxes) --------------
  void txtKestrin_GotFocus(std::int16_t Index);
  void txtKestrin_Change(std::int16_t Index, host::ChangeSource source);
  void txtKestrin_LostFocus(std::int16_t Index);
  void txtKestrin_KeyPress(std::int16_t Index, std::int16_t& KeyAscii);
  void txtKestrin_KeyDown(std::int16_t Index, std::int16_t& KeyCode, std::int16_t& Shift);
  void txtKestrin_KeyUp(std::int16_t Index, std::int16_t& KeyCode, std::int16_t& Shift);
  void txtKestrin_Click(std::int16_t Index);
  void txtKestrin_DblClick(std::int16_t Index);
  void txtKestrin_MouseDown(std::int16_t Index, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);
  void txtKestrin_MouseMove(std::int16_t Index, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);
  void txtKestrin_MouseUp(std::int16_t Index, std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);
  void txtKestrin_OLECompleteDrag(std::int16_t Index, std::int32_t& Effect);
  void txtKestrin_OLEDragDrop(std::int16_t Index, host::DataObjectRef& Data, std::int32_t& Effect,
                              std::int16_t& Button, std::int16_t& Shift, float& X, float& Y);
  void txtKestrin_OLEDragOver(std::int16_t Index, host::DataObjectRef& Data, std::int32_t& Effect,
                              std::int16_t& Button, std::int16_t& Shift, float& X, float& Y, std::int16_t& State);

  // ---- read-only views of private state, for the host's tools and for tests ----------------
  std::int32_t boxIndex() const { return m_BoxIndex; }
  const std::string& dateFormatText() const { return m_DateFormatText; }
  const std::string& timeFormatText() const { return m_TimeFormatText; }
  Boolean sizeFlag() const { return m_SizeFlag; }
  Boolean captionChanged() const { return m_CaptionChanged; }
  Boolean inLayout() const { return m_InLayout; }
  Boolean formatting() const { return m_Formatting; }

 private:
  // host::TextBoxEvents: element events, forwarded to the txtKestrin_ handlers.
  void onChange(std::int16_t index, host::ChangeSource source) override;
  void onGotFocus(std::int16_t index) override;
  void onLostFocus(std::int16_t index) override;
  void onKeyDown(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) override;
  void onKeyPress(std::int16_t index, std::int16_t& keyAscii) override;
  void onKeyUp(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) override;
  void onClick(std::int16_t index) override;
  void onDblClick(std::int16_t index) override;
  void onMouseDown(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onMouseMove(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onMouseUp(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onOLECompleteDrag(std::int16_t index, std::int32_t& effect) override;
  void onOLEDragDrop(std::int16_t index, host::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y) override;
  void onOLEDragOver(std::int16_t index, host::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y, std::int16_t& state) override;
  // host::SurfaceEvents
  void onResize() override { UserControl_Resize(); }
  void onPaint() override { UserControl_Paint(); }
  void onShow() override { UserControl_Show(); }
  void onHide() override { UserControl_Hide(); }

  // Raises an event to every connected application sink. A sink disconnected by a handler is
  // only blanked while events are being raised, so the sinks after it still hear this event.
  template <typename Fn>
  void raise(Fn&& fn) {
    ++raising_;
    try {
      for (std::size_t i = 0; i < sinks_.size(); ++i)
        if (sinks_[i] != nullptr) fn(*sinks_[i]);
    } catch (...) {
      endRaise();
      throw;
    }
    endRaise();
  }
  void endRaise();

  host::TextBox& box(std::int32_t index) const;  // element 0 or 1
  host::TextBox& activeBox() const { return box(m_BoxIndex); }
  host::Label& label() const { return site_.lblCaption(); }
  host::Surface& surface() const { return site_.surface(); }
  void notify(const char* name) { surface().propertyChanged(name); }
  // A put that only stores its value: the field, then the notification.
  template <typename T>
  void storeAndNotify(T& field, T v, const char* name) {
    field = v;
    notify(name);
  }
  // Writes a member of both elements, element 1 first (so a failure there leaves element 0 alone).
  template <typename Setter, typename Value>
  void writeBoth(Setter setter, const Value& v) {
    (box(1).*setter)(v);
    (box(0).*setter)(v);
  }

  // Validation and formatting.
  void FormatNumericBox(CaretPlacement caret);
  void recolour(std::int16_t index, OleColor colour);

  // Layout.
  void ArrangeControls(std::int32_t Interval, std::int32_t Alignment);

  host::ControlSite& site_;
  std::vector<KestrinEvents*> sinks_;
  int raising_ = 0;  // nesting depth of raise()

  // Private state, in the order the control declares it.
  Boolean m_ValidState = host::False;
  std::int32_t m_FormatDate = 0;
  std::string m_DateFormatText;
  std::int32_t m_FormatTime = 0;
  std::string m_TimeFormatText;
  std::int32_t m_KestrinType = 0;
  std::int32_t m_BoxIndex = 0;
  std::int32_t m_Appearance = 0;
  Boolean m_Formatting = host::False;
  std::int32_t m_NumAlignment = 0;
  Boolean m_NumSeparatorUse = host::False;
  Boolean m_CaptionView = host::False;
  Boolean m_SizeFlag = host::False;
  Boolean m_AutoSize = host::False;
  Boolean m_InLayout = host::False;
  Boolean m_BoxWidthLock = host::False;
  OleColor m_BackColor = 0;
  Boolean m_ColorValidUse = host::False;
  OleColor m_ColorValid = 0;
  Boolean m_InvalidBeep = host::False;
  Boolean m_ColorInValidUse = host::False;
  OleColor m_ColorInValid = 0;
  Boolean m_ColorEditUse = host::False;
  OleColor m_ColorEdit = 0;
  std::int32_t m_Interval = 0;
  std::int32_t m_Alignment = 0;
  Boolean m_CaptionChanged = host::False;
};

}  // namespace kestrinx
