/// \file
/// Kestrin: a single-line entry box with a caption label. It knows whether it holds text, a
/// number, a date or a time; filters keys and groups thousands while the user types in a
/// numeric box; rewrites dates and times into the chosen pattern when the user leaves the box;
/// and reports the outcome by colour, beep and ValidState.
///
/// Everything the control touches comes from the host::ControlSite it is created with. The
/// host calls every member on one thread; re-entry happens only synchronously (setting a box's
/// text runs its change handling; changing the control's size raises Resize at once).
///
/// Implementation is split by concern:
///   kestrin_model.cpp     creation, Initialize, own properties, ValidState
///   key_filter.cpp        keystroke filtering of numeric boxes, key events
///   validation.cpp        focus entry, text change, numeric rewrite, exit check, colours
///   date_time_entry.cpp   date and time entry rules (also usable on their own)
///   layout.cpp            ArrangeControls, Resize/Paint, caption and box geometry properties
///   appearance.cpp        Appearance, colours, fonts, AutoSize, AutoRedraw, hWnd
///   pass_through.cpp      text-box properties, methods and events passed through
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "control/enumerations.h"
#include "control/kestrin_events.h"
#include "host/control_site.h"
#include "values/objects.h"
#include "values/property_bag.h"
#include "values/types.h"

namespace kestrinx {

using values::Boolean;
using values::OleColor;

/// Where the caret goes after the numeric rewrite.
enum class CaretPlacement : std::uint8_t {
  AtEnd,             ///< focus entry, or a program set the text
  AfterSameDigits,   ///< the user edited: keep the caret after the same digits as before
};

/// The Kestrin entry control: a single-line entry box (the active one of the two
/// `txtKestrin` elements) with a caption label (`lblCaption`) beside it.
///
/// Create it on a host::ControlSite, call Initialize(), then exactly one of InitProperties()
/// (a newly placed control) or ReadProperties() (a saved one). Read and set its published
/// properties through the get_/put_ members (or by name through members::get and
/// members::put), connect a KestrinEvents or values::EventSink for its events.
///
/// Errors: a property put or method that fails (the host refuses a widget change, a value that
/// does not convert) throws values::AutomationError with the steps before it in effect; the
/// control's own errors are 382 and 393 from put_ValidState(). Events the control raises:
/// Change, Click, DblClick, KeyDown, KeyPress, KeyUp, MouseDown, MouseMove, MouseUp,
/// OLECompleteDrag, OLEDragDrop, OLEDragOver (see KestrinEvents).
class Kestrin final : private host::TextBoxEvents, private host::SurfaceEvents {
 public:
  /// Creation: every field zero, false or empty; hooks the widgets' and the surface's events.
  explicit Kestrin(host::ControlSite& site);
  /// Unhooks the widgets' and the surface's events; the control does nothing else on destruction.
  ~Kestrin() override;
  Kestrin(const Kestrin&) = delete;             ///< Not copyable: the control is bound to its site.
  Kestrin& operator=(const Kestrin&) = delete;  ///< Not copyable.

  /// Connects an application event sink (any number; events reach them in connection order).
  /// A typed KestrinEvents or any generic values::EventSink; the sink must outlive its connection.
  void connect(values::EventSink* sink);
  /// Disconnects a sink; one disconnected while an event is raised still misses that event.
  void disconnect(values::EventSink* sink);

  // ---- host-driven life cycle -------------------------------------------------------------
  /// After creation, before anything else: sets the default date and time pattern texts.
  void Initialize();
  /// Gives a newly placed control its first values: the property defaults, through the puts,
  /// each step that the host refuses skipped. Never fails.
  void InitProperties();
  /// Restores a saved control from the host's property bag: 49 reads in a fixed order
  /// (members::readOrder() lists the keys), some through the puts and some straight into a
  /// widget or field. Stops at the first failing read, conversion or put
  /// (values::AutomationError), with the keys before it in effect.
  void ReadProperties(values::PropertyBag& bag);
  /// Saves the control into the bag: 53 writes in a fixed order. Changes nothing; stops at the
  /// first failing get or write.
  void WriteProperties(values::PropertyBag& bag) const;
  /// The surface was resized: lays out caption and box again (each failing step skipped).
  void UserControl_Resize();
  /// The surface is painted: lays out caption and box again.
  void UserControl_Paint();
  void UserControl_Show() {}  ///< The surface is shown: nothing to do.
  void UserControl_Hide() {}  ///< The surface is hidden: nothing to do.

  // ---- own properties ---------------------------------------------------------------------
  /// \name KestrinType
  //@{
  /// What the box holds (DEF_KESTRIN_TYPE): plain text, a number, a date or a time. The put
  /// also chooses the alignment, the key filter and the date or time format the box uses.
  std::int32_t get_KestrinType() const { return m_KestrinType; }
  void put_KestrinType(std::int32_t v);
  //@}
  /// \name NumAlignment
  //@{
  /// Where a number sits in a numeric box (DEF_NUM_ALIGN); used from the next rewrite on.
  std::int32_t get_NumAlignment() const { return m_NumAlignment; }
  void put_NumAlignment(std::int32_t v);
  //@}
  /// \name NumSeparatorUse
  //@{
  /// Whether a numeric box groups thousands while the user types.
  Boolean get_NumSeparatorUse() const { return m_NumSeparatorUse; }
  void put_NumSeparatorUse(Boolean v);
  //@}
  /// \name CaptionView
  //@{
  /// Whether the caption label is shown; hiding it also empties the caption and the gap.
  Boolean get_CaptionView() const { return m_CaptionView; }
  void put_CaptionView(Boolean v);
  //@}
  /// \name Caption
  //@{
  /// The caption's text (a new control: its instance name); the put lays the control out again.
  std::string get_Caption() const;
  void put_Caption(const std::string& v);
  //@}
  /// \name Appearance
  //@{
  /// The box's border (DEF_APPEARANCE): Flat shows the flat element 1, anything else the
  /// three-dimensional element 0.
  std::int32_t get_Appearance() const { return m_Appearance; }
  void put_Appearance(std::int32_t v);
  //@}
  /// \name ToolTipText
  //@{
  /// The tooltip of the box: read from the active box, written to both.
  std::string get_ToolTipText() const;
  void put_ToolTipText(const std::string& v);
  //@}
  /// \name InvalidBeep
  //@{
  /// Whether an invalid entry sounds a double beep when the user leaves the box (only the
  /// value True, -1, counts).
  Boolean get_InvalidBeep() const { return m_InvalidBeep; }
  void put_InvalidBeep(Boolean v);
  //@}
  /// \name FormatDate
  //@{
  /// The pattern a date box rewrites its entry into (DEF_DATE_FORMAT); reads NONE and the put
  /// is ignored unless the box is a date box.
  std::int32_t get_FormatDate() const;
  void put_FormatDate(std::int32_t v);
  //@}
  /// \name FormatTime
  //@{
  /// The pattern a time box rewrites its entry into (DEF_TIME_FORMAT); reads ANY_TYPE and the
  /// put is ignored unless the box is a time box.
  std::int32_t get_FormatTime() const;
  void put_FormatTime(std::int32_t v);
  //@}
  /// \name BackColor
  //@{
  /// The boxes' normal background (an OLE colour).
  OleColor get_BackColor() const { return m_BackColor; }
  void put_BackColor(OleColor v);
  //@}
  /// \name ColorValid and ColorValidUse
  //@{
  /// The background a valid entry takes when the user leaves the box, and whether it does.
  OleColor get_ColorValid() const { return m_ColorValid; }
  void put_ColorValid(OleColor v);
  Boolean get_ColorValidUse() const { return m_ColorValidUse; }
  void put_ColorValidUse(Boolean v);
  //@}
  /// \name ColorInValid and ColorInValidUse
  //@{
  /// The background an invalid entry takes when the user leaves the box, and whether it does.
  OleColor get_ColorInValid() const { return m_ColorInValid; }
  void put_ColorInValid(OleColor v);
  Boolean get_ColorInValidUse() const { return m_ColorInValidUse; }
  void put_ColorInValidUse(Boolean v);
  //@}
  /// \name ColorEdit and ColorEditUse
  //@{
  /// The background the box takes while its text changes, and whether it does.
  OleColor get_ColorEdit() const { return m_ColorEdit; }
  void put_ColorEdit(OleColor v);
  Boolean get_ColorEditUse() const { return m_ColorEditUse; }
  void put_ColorEditUse(Boolean v);
  //@}
  /// \name Interval
  //@{
  /// The gap between caption and box in twips; the put does nothing while the caption is hidden.
  std::int32_t get_Interval() const { return m_Interval; }
  void put_Interval(std::int32_t v);
  //@}
  /// \name Alignment
  //@{
  /// Where the caption stands around the box (DEF_ALIGN, nine positions).
  std::int32_t get_Alignment() const { return m_Alignment; }
  void put_Alignment(std::int32_t v);
  //@}
  /// \name BoxWidth and BoxWidthLock
  //@{
  /// The box's width in twips, and whether it keeps that width when the control is resized.
  std::int32_t get_BoxWidth() const;
  void put_BoxWidth(std::int32_t v);
  Boolean get_BoxWidthLock() const { return m_BoxWidthLock; }
  void put_BoxWidthLock(Boolean v);
  //@}
  /// \name AutoSize
  //@{
  /// Whether the control sizes itself to its caption and box at the next layout.
  Boolean get_AutoSize() const { return m_AutoSize; }
  void put_AutoSize(Boolean v);
  //@}
  /// \name ValidState
  //@{
  /// The outcome of the check made when the user last left the box (True: valid). Read-only:
  /// the put always fails, with error 382 at design time and 393 at run time.
  Boolean get_ValidState() const { return m_ValidState; }
  [[noreturn]] void put_ValidState(Boolean v);
  //@}

  // ---- appearance and fonts ---------------------------------------------------------------
  /// \name ForeColor
  //@{
  /// The text colour of both boxes.
  OleColor get_ForeColor() const;
  void put_ForeColor(OleColor v);
  //@}
  /// \name Font and LabelFont
  //@{
  /// The boxes' font and the caption's font (objects, put by reference, so a get returns the
  /// very object). A put lays the control out again for the new size; the Font put never
  /// fails (a step the host refuses is skipped).
  values::FontRef get_Font() const;
  void putref_Font(values::FontRef f);
  values::FontRef get_LabelFont() const;
  void putref_LabelFont(values::FontRef f);
  //@}
  /// \name LabelForeColor
  //@{
  /// The caption's text colour.
  OleColor get_LabelForeColor() const;
  void put_LabelForeColor(OleColor v);
  //@}
  /// \name AutoRedraw
  //@{
  /// The surface's persistent drawing flag, passed through to the host.
  Boolean get_AutoRedraw() const;
  void put_AutoRedraw(Boolean v);
  //@}
  /// The host's window handle of the control's surface (read-only).
  std::int32_t get_hWnd() const;

  // ---- passed-through text-box members ----------------------------------------------------
  /// \name Text
  //@{
  /// The entry: read from the active box, written to both (a numeric box is rewritten, grouped).
  std::string get_Text() const;
  void put_Text(const std::string& v);
  //@}
  /// \name Text-box properties passed through
  //@{
  /// The boxes' own properties, read from the active box and written to both (Enabled,
  /// Locked, MaxLength, MousePointer, MouseIcon) or to the active box only (the selection, the
  /// link and drag-and-drop settings); ScrollBars is read-only. The host's widget decides what
  /// it accepts (error 380 for a value it refuses).
  Boolean get_Enabled() const;
  void put_Enabled(Boolean v);
  Boolean get_Locked() const;
  void put_Locked(Boolean v);
  std::int32_t get_MaxLength() const;
  void put_MaxLength(std::int32_t v);
  values::PictureRef get_MouseIcon() const;
  void putref_MouseIcon(values::PictureRef p);
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
  //@}
  /// \name Text-box methods passed through
  //@{
  /// Called on the active box.
  void LinkSend();
  void LinkRequest();
  void OLEDrag();
  //@}

  // ---- element event handlers with behaviour of their own (the host reaches them through the
  // text boxes; the other element events go straight on to the application) ------------------
  /// \name Element event handlers
  //@{
  /// What the control does when a box (`Index` 0 or 1) gains focus, changes, loses focus
  /// (the check and rewrite) or receives a typed character (the numeric key filter; raises
  /// KeyPress, whose handler may change or discard the key). Hosts reach them through the
  /// boxes' events.
  void txtKestrin_GotFocus(std::int16_t Index);
  void txtKestrin_Change(std::int16_t Index, host::ChangeSource source);
  void txtKestrin_LostFocus(std::int16_t Index);
  void txtKestrin_KeyPress(std::int16_t Index, std::int16_t& KeyAscii);
  //@}

  // ---- read-only views of private state, for the host's tools and for tests ----------------
  /// \name Private state, read-only
  //@{
  /// For the host's tools and for tests: the active box's index, the date and time pattern
  /// texts, the pending fit, the caption-changed flag, the pending growth to the content's
  /// height and the two re-entry guards.
  std::int32_t boxIndex() const { return m_BoxIndex; }
  const std::string& dateFormatText() const { return m_DateFormatText; }
  const std::string& timeFormatText() const { return m_TimeFormatText; }
  Boolean sizeFlag() const { return m_SizeFlag; }
  Boolean captionChanged() const { return m_CaptionChanged; }
  Boolean heightFlag() const { return m_HeightFlag; }
  Boolean inLayout() const { return m_InLayout; }
  Boolean formatting() const { return m_Formatting; }
  //@}

 private:
  friend struct Persistence;  ///< reads and writes saved values straight into widgets and fields

  /// host::TextBoxEvents. The events without behaviour of their own are raised to the
  /// application at once, the element index dropped and every other argument by reference.
  void onChange(std::int16_t index, host::ChangeSource source) override { txtKestrin_Change(index, source); }
  void onGotFocus(std::int16_t index) override { txtKestrin_GotFocus(index); }
  void onLostFocus(std::int16_t index) override { txtKestrin_LostFocus(index); }
  void onKeyPress(std::int16_t index, std::int16_t& keyAscii) override { txtKestrin_KeyPress(index, keyAscii); }
  void onKeyDown(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) override;
  void onKeyUp(std::int16_t index, std::int16_t& keyCode, std::int16_t& shift) override;
  void onClick(std::int16_t index) override;
  void onDblClick(std::int16_t index) override;
  void onMouseDown(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onMouseMove(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onMouseUp(std::int16_t index, std::int16_t& button, std::int16_t& shift, float& x, float& y) override;
  void onOLECompleteDrag(std::int16_t index, std::int32_t& effect) override;
  void onOLEDragDrop(std::int16_t index, values::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y) override;
  void onOLEDragOver(std::int16_t index, values::DataObjectRef& data, std::int32_t& effect, std::int16_t& button,
                     std::int16_t& shift, float& x, float& y, std::int16_t& state) override;
  /// host::SurfaceEvents
  void onResize() override { UserControl_Resize(); }
  void onPaint() override { UserControl_Paint(); }
  void onShow() override { UserControl_Show(); }
  void onHide() override { UserControl_Hide(); }

  /// Raises the event whose KestrinEvents virtual is `Event` to every connected sink, with the
  /// arguments by reference; the event's identifier and argument list come from the event table
  /// (defined in members.h).
  template <auto Event, typename... A>
  void raise(A&... args);
  /// A sink disconnected by a handler is only blanked while events are being raised, so the
  /// sinks after it still hear this event.
  void raiseEvent(values::EventArgs& args);
  void endRaise();

  host::TextBox& box(std::int32_t index) const;  ///< element 0 or 1
  host::TextBox& activeBox() const { return box(m_BoxIndex); }
  host::Label& label() const { return site_.lblCaption(); }
  host::Surface& surface() const { return site_.surface(); }
  /// Reports the property whose put is `Put` as changed, under its published name.
  template <auto Put>
  void notifyChanged();
  /// A put that only stores its value: the field, then the notification.
  template <auto Put, typename T>
  void storeAndNotify(T& field, T v);
  /// Puts the property's bag default through its own put (InitProperties).
  template <auto Put>
  void putDefault();
  /// Writes a member of both elements, element 1 first (so a failure there leaves element 0 alone).
  template <typename Setter, typename Value>
  void writeBoth(Setter setter, const Value& v) {
    (box(1).*setter)(v);
    (box(0).*setter)(v);
  }

  /// Validation and formatting.
  void FormatNumericBox(CaretPlacement caret);
  void recolour(std::int16_t index, OleColor colour);

  /// Layout.
  void ArrangeControls(std::int32_t Interval, std::int32_t Alignment);
  /// Persistence: the BoxWidth WriteProperties saves (as read while the box keeps the width the
  /// first layout after reading gave it, else the BoxWidth get).
  std::int32_t savedBoxWidth() const;

  host::ControlSite& site_;
  std::vector<values::EventSink*> sinks_;
  int raising_ = 0;  ///< nesting depth of raise()

  /// Private state, in the order the control declares it.
  Boolean m_ValidState = values::False;
  std::int32_t m_FormatDate = 0;
  std::string m_DateFormatText;
  std::int32_t m_FormatTime = 0;
  std::string m_TimeFormatText;
  std::int32_t m_KestrinType = 0;
  std::int32_t m_BoxIndex = 0;
  std::int32_t m_Appearance = 0;
  Boolean m_Formatting = values::False;
  std::int32_t m_NumAlignment = 0;
  Boolean m_NumSeparatorUse = values::False;
  Boolean m_CaptionView = values::False;
  Boolean m_SizeFlag = values::False;
  Boolean m_AutoSize = values::False;
  Boolean m_InLayout = values::False;
  Boolean m_BoxWidthLock = values::False;
  OleColor m_BackColor = 0;
  Boolean m_ColorValidUse = values::False;
  OleColor m_ColorValid = 0;
  Boolean m_InvalidBeep = values::False;
  Boolean m_ColorInValidUse = values::False;
  OleColor m_ColorInValid = 0;
  Boolean m_ColorEditUse = values::False;
  OleColor m_ColorEdit = 0;
  std::int32_t m_Interval = 0;
  std::int32_t m_Alignment = 0;
  Boolean m_CaptionChanged = values::False;
  /// A pending request to grow the control's height to its content (the box, and the caption
  /// while it shows), set by the puts that change what the control shows and carried out by
  /// the next layout whatever AutoSize is (layout.cpp). Not one of the saved fields.
  Boolean m_HeightFlag = values::False;

  /// What reading saved properties leaves for the first layout after it (persistence.cpp):
  /// set at the end of ReadProperties, cleared by the next layout, which then keeps the
  /// Interval that was read for a locked box instead of working the gap out from where the
  /// reading left the box, and notes the width it gives the box.
  Boolean m_FirstLayoutAfterReading = values::False;
  /// The BoxWidth that was read and the box's width after the first layout that followed. An
  /// unlocked box fills the control, so its width depends on the caption's width, which each
  /// host measures in its own fonts: while the box keeps the width that layout gave it,
  /// WriteProperties saves BoxWidth as it was read (savedBoxWidth).
  std::optional<std::int32_t> m_BoxWidthAsRead;
  std::optional<std::int32_t> m_BoxWidthAsLaidOut;
};

}  // namespace kestrinx
