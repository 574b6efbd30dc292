// The headless host: an in-memory implementation of every host interface, exact and
// deterministic (no threads, no sleeps, no clock of its own), for tests, benchmarks, fuzzers
// and the command-line tool.
//
// Text metrics (documented rule, so widths are exact and repeatable):
//   one em = font size in points * 20 twips.
//   A character's advance is a number of sixteenths of an em:
//     fixed-pitch fonts (name contains "Courier", "Mono" or "Fixed", any case): 10 for every character;
//     otherwise  4 for narrow characters  space ! ' , . : ; | i j l I
//               12 for wide characters    m w M W @ %
//                8 for every other character (digits included);
//     bold adds 1 to every character.
//   textWidth(s) is the sum of the advances (single precision, not rounded).
//   The line height is size * 24 twips (1.2 em).
//
// Events are synchronous: setting Text raises Change before it returns (never when the text
// stays the same); changing the surface's size raises Resize at once, also from inside a
// Resize handler.
//
// Failure injection: every widget and the surface can be told to fail a member (by the
// member's setter name as in the host interface, such as "setText", "move", "setWidth",
// "setBackColor", "setToolTipText", "setFont"); every later call throws AutomationError with
// the given number until clearFailures(). Only the program's calls can fail: what a user or the
// container does (typing, Surface::resize) is never stopped by an injected failure.
//
// Runaway re-entry (a handler that answers every event with another change) fails with error 28
// ("Out of stack space") once events nest 100 deep, instead of overflowing the stack; from then
// on every event fails at once until the outermost one has returned.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/control_site.h"
#include "host/error.h"
#include "host/property_bag.h"
#include "host/property_page_site.h"
#include "host/services.h"
#include "host/surface.h"
#include "host/values.h"
#include "host/widgets.h"

namespace kestrinx::headless {

using host::Boolean;
using host::OleColor;
using host::Twips;

// ---- text metrics --------------------------------------------------------------------------
Twips textWidth(const host::Font& font, const std::string& s);
Twips lineHeight(const host::Font& font);

// ---- failure injection shared by every headless object -------------------------------------
class FailurePoints {
 public:
  void setFailure(const std::string& member, std::int32_t errorNumber = host::err::InvalidPropertyValue);
  void clearFailures();
  // Throws the registered error when `member` is set to fail.
  void check(const char* member) const;

 private:
  std::map<std::string, std::int32_t> failing_;
};

// ---- services: clock, beeps, message boxes -------------------------------------------------
struct MessageRecord {
  std::string text;
  host::MsgBoxButtons buttons;
  std::string title;
};

class Services final : public host::Services {
 public:
  Services();  // clock starts at 2000-01-01 00:00:00
  host::Date now() const override { return now_; }
  void setNow(host::Date d) { now_ = d; }
  void setNow(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  void beep() override { ++beeps_; }
  host::MsgBoxResult msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) override;

  int beeps() const { return beeps_; }
  const std::vector<MessageRecord>& messages() const { return messages_; }
  void clearRecords() {
    beeps_ = 0;
    messages_.clear();
  }
  void setMsgBoxAnswer(host::MsgBoxResult r) { answer_ = r; }

 private:
  host::Date now_;
  int beeps_ = 0;
  std::vector<MessageRecord> messages_;
  host::MsgBoxResult answer_ = host::MsgBoxResult::Ok;
};

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
inline constexpr std::int16_t ShiftMask = 1, CtrlMask = 2, AltMask = 4;

// The key code (KeyDown/KeyUp) and shift state of a typed character, as a US keyboard gives
// them: letters their upper-case code (Shift for capitals), digits and space themselves,
// punctuation the OEM codes (',' 188, '-' 189, '.' 190, '/' 191, ...).
std::pair<std::int16_t, std::int16_t> keyCodeFor(char c);

class TextBox;
class Form;

// Common geometry, visibility and failure injection of headless widgets.
template <typename Interface>
class Widget : public Interface, public FailurePoints {
 public:
  Twips left() const override { return left_; }
  Twips top() const override { return top_; }
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setLeft(Twips v) override { check("setLeft"); left_ = v; }
  void setTop(Twips v) override { check("setTop"); top_ = v; }
  void setWidth(Twips v) override { check("setWidth"); if (v < 0) host::raiseError(host::err::InvalidPropertyValue); width_ = v; }
  void setHeight(Twips v) override { check("setHeight"); if (v < 0) host::raiseError(host::err::InvalidPropertyValue); height_ = v; }
  void move(Twips l, Twips t, std::optional<Twips> w = std::nullopt, std::optional<Twips> h = std::nullopt) override {
    check("move");
    if ((w && *w < 0) || (h && *h < 0)) host::raiseError(host::err::InvalidPropertyValue);
    left_ = l;
    top_ = t;
    if (w) width_ = *w;
    if (h) height_ = *h;
  }
  bool visible() const override { return visible_; }
  void setVisible(bool v) override { check("setVisible"); visible_ = v; }

 protected:
  Twips left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
};

// ---- the text box, with typing ------------------------------------------------------------
class TextBox final : public Widget<host::TextBox> {
 public:
  explicit TextBox(Form& form);
  ~TextBox() override;

  std::string text() const override { return text_; }
  void setText(const std::string& v) override;
  std::int32_t selStart() const override { return selStart_; }
  void setSelStart(std::int32_t v) override;
  std::int32_t selLength() const override { return selLength_; }
  void setSelLength(std::int32_t v) override;
  std::string selText() const override;
  void setSelText(const std::string& v) override;
  OleColor backColor() const override { return backColor_; }
  void setBackColor(OleColor v) override { check("setBackColor"); backColor_ = v; }
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override { check("setForeColor"); foreColor_ = v; }
  host::FontRef font() const override { return font_; }
  void setFont(host::FontRef v) override;  // error 424 for no font
  float fontSize() const override;
  Boolean enabled() const override { return enabled_; }
  void setEnabled(Boolean v) override { check("setEnabled"); enabled_ = v; }
  Boolean locked() const override { return locked_; }
  void setLocked(Boolean v) override { check("setLocked"); locked_ = v; }
  std::int32_t maxLength() const override { return maxLength_; }
  void setMaxLength(std::int32_t v) override;
  std::int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(std::int16_t v) override;  // error 380 outside 0..15 and 99
  host::PictureRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(host::PictureRef v) override { check("setMouseIcon"); mouseIcon_ = std::move(v); }
  std::int16_t scrollBars() const override { return scrollBars_; }
  std::string toolTipText() const override { return toolTip_; }
  void setToolTipText(const std::string& v) override { check("setToolTipText"); toolTip_ = v; }
  // Link members keep their values and do nothing else (no conversation partner exists).
  std::int16_t linkMode() const override { return linkMode_; }
  void setLinkMode(std::int16_t v) override;  // error 380 outside 0..3
  std::string linkItem() const override { return linkItem_; }
  void setLinkItem(const std::string& v) override { check("setLinkItem"); linkItem_ = v; }
  std::string linkTopic() const override { return linkTopic_; }
  void setLinkTopic(const std::string& v) override { check("setLinkTopic"); linkTopic_ = v; }
  std::int16_t linkTimeout() const override { return linkTimeout_; }
  void setLinkTimeout(std::int16_t v) override { check("setLinkTimeout"); linkTimeout_ = v; }
  void linkSend() override { check("linkSend"); ++linkSends_; }
  void linkRequest() override { check("linkRequest"); ++linkRequests_; }
  void oleDrag() override { check("oleDrag"); ++oleDrags_; }
  std::int16_t oleDragMode() const override { return oleDragMode_; }
  void setOleDragMode(std::int16_t v) override;  // error 380 outside 0..1
  std::int16_t oleDropMode() const override { return oleDropMode_; }
  void setOleDropMode(std::int16_t v) override;  // error 380 outside 0..2
  void setEventSink(host::TextBoxEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }

  // -- what a user does (normally through Form, which routes to the focused box) --
  // One typed character: KeyDown, KeyPress (code by reference: 0 discards, a changed code is
  // inserted instead), the edit at the caret replacing the selection (MaxLength and Locked
  // respected; Backspace deletes; Enter and other control codes insert nothing), Change
  // (source UserEdit) when the text changed, KeyUp. Nothing at all while disabled.
  void typeChar(char c);
  // A named key: KeyDown; Backspace and Enter also go through KeyPress as codes 8 and 13;
  // Delete, Left, Right, Home, End edit or move the caret; KeyUp. KeyDown may cancel the
  // key's action by setting KeyCode to 0. Shift does not extend the selection: Left and Right
  // collapse a selection to its start or end.
  void pressKey(Key k, std::int16_t shift = 0);
  // Pastes text at the caret as one edit (MaxLength and Locked respected), one Change. A
  // single-line box takes the text up to its first line break.
  void paste(const std::string& s);
  void click();
  void dblClick();
  void mouseDown(std::int16_t button, std::int16_t shift, float x, float y);
  void mouseMove(std::int16_t button, std::int16_t shift, float x, float y);
  void mouseUp(std::int16_t button, std::int16_t shift, float x, float y);
  // Drag-and-drop as the host reports it; the by-reference effect comes back. With OLEDropMode
  // 2 (automatic) a drop with a non-zero effect also pastes the data's text at the caret.
  std::int32_t dragOver(host::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                        float x, float y, std::int16_t state);
  std::int32_t dragDrop(host::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                        float x, float y);
  std::int32_t completeDrag(std::int32_t effect);
  void setScrollBars(std::int16_t v) { scrollBars_ = v; }  // design-time only in a real host

  // -- records --
  int linkSends() const { return linkSends_; }
  int linkRequests() const { return linkRequests_; }
  int oleDrags() const { return oleDrags_; }
  bool hasFocus() const;
  std::int16_t index() const { return index_; }

 private:
  friend class Form;
  void replaceSelection(const std::string& insert, host::ChangeSource source, bool limitToMaxLength);
  void raiseChange(host::ChangeSource source);
  // One keystroke from KeyDown to KeyUp; keyAscii < 0 when the key types no character,
  // namedKey when the key's own action (Delete, caret movement) follows KeyDown.
  void keystroke(std::int16_t keyCode, std::int16_t shift, std::int16_t keyAscii, bool namedKey);
  void applyCharacter(std::int16_t keyAscii);
  void applyKeyAction(std::int16_t keyCode);

  Form& form_;
  host::TextBoxEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
  std::string text_;
  std::int32_t selStart_ = 0, selLength_ = 0;
  OleColor backColor_ = host::SystemWindowBackground;
  OleColor foreColor_ = host::SystemWindowText;
  host::FontRef font_;
  Boolean enabled_ = host::True;
  Boolean locked_ = host::False;
  std::int32_t maxLength_ = 0;
  std::int16_t mousePointer_ = 0;
  host::PictureRef mouseIcon_;
  std::int16_t scrollBars_ = 0;
  std::string toolTip_;
  std::int16_t linkMode_ = 0, linkTimeout_ = 50;
  std::string linkItem_, linkTopic_;
  int linkSends_ = 0, linkRequests_ = 0, oleDrags_ = 0;
  std::int16_t oleDragMode_ = 0, oleDropMode_ = 0;
};

// ---- the label, sizing itself to its caption and font --------------------------------------
class Label final : public Widget<host::Label> {
 public:
  Label();
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override;  // re-sizes to the text
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override { check("setForeColor"); foreColor_ = v; }
  host::FontRef font() const override { return font_; }
  void setFont(host::FontRef v) override;  // re-sizes; error 424 for no font

 private:
  void autoSize();
  std::string caption_;
  OleColor foreColor_ = host::SystemButtonText;
  host::FontRef font_;
};

// ---- page widgets ---------------------------------------------------------------------------
class CheckBox final : public Widget<host::CheckBox> {
 public:
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override { check("setCaption"); caption_ = v; }
  std::int16_t value() const override { return value_; }
  void setValue(std::int16_t v) override;  // raises Click when the value changes
  void setEventSink(host::ClickEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }
  void click();  // the user clicks: toggles checked/unchecked, raises Click

 private:
  std::string caption_;
  std::int16_t value_ = 0;
  host::ClickEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

class ComboBox final : public Widget<host::ComboBox> {
 public:
  void addItem(const std::string& item) override { check("addItem"); items_.push_back(item); }
  void clear() override;
  std::int32_t listCount() const override { return static_cast<std::int32_t>(items_.size()); }
  std::string list(std::int32_t index) const override;
  std::int32_t listIndex() const override { return listIndex_; }
  void setListIndex(std::int32_t v) override;  // raises Click when it changes
  std::string text() const override;
  void setEventSink(host::ClickEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }

 private:
  std::vector<std::string> items_;
  std::int32_t listIndex_ = -1;
  host::ClickEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
};

class Frame final : public Widget<host::Frame> {
 public:
  std::string caption() const override { return caption_; }
  void setCaption(const std::string& v) override { check("setCaption"); caption_ = v; }

 private:
  std::string caption_;
};

class TabControl final : public Widget<host::TabControl> {
 public:
  TabControl() { captions_.resize(3); }
  std::int16_t tabs() const override { return static_cast<std::int16_t>(captions_.size()); }
  void setTabs(std::int16_t n) override;  // error 380 when < 1
  std::int16_t tab() const override { return tab_; }
  void setTab(std::int16_t v) override;
  std::string tabCaption(std::int16_t tab) const override;
  void setTabCaption(std::int16_t tab, const std::string& v) override;

 private:
  std::vector<std::string> captions_;
  std::int16_t tab_ = 0;
};

// ---- the control's surface ----------------------------------------------------------------
class Surface final : public host::Surface, public FailurePoints {
 public:
  explicit Surface(std::string extenderName);
  std::string extenderName() const override { return extenderName_; }
  host::FontRef ambientFont() const override { return ambientFont_; }
  Boolean ambientUserMode() const override { return userMode_; }
  host::FontRef font() const override { return font_; }
  void setFont(host::FontRef f) override;
  Twips textWidth(const std::string& s) const override;
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setWidth(Twips v) override;   // raises Resize when the width changes
  void setHeight(Twips v) override;  // raises Resize when the height changes
  Twips scaleLeft() const override { return 0; }
  Twips scaleTop() const override { return 0; }
  Twips scaleWidth() const override { return width_; }
  Twips scaleHeight() const override { return height_; }
  std::int16_t scaleMode() const override { return 1; }
  Boolean autoRedraw() const override { return autoRedraw_; }
  void setAutoRedraw(Boolean v) override { check("setAutoRedraw"); autoRedraw_ = v; }
  void refresh() override { ++refreshes_; }
  // Fake handles: the process's first surface has 0x10010, each later one 0x10 more.
  std::int32_t hWnd() const override { return hWnd_; }
  void propertyChanged(const std::string& name) override;
  void setEventSink(host::SurfaceEvents* sink) override { sink_ = sink; }

  // -- what the container does --
  void setUserMode(Boolean v) { userMode_ = v; }
  void setAmbientFont(host::FontRef f) { ambientFont_ = std::move(f); }
  // The container resizes the control: width then height, each raising Resize if it changed.
  void resize(Twips width, Twips height);
  void paint();
  void show();
  void hide();

  // -- records --
  const std::vector<std::string>& changedProperties() const { return changed_; }
  void clearChangedProperties() { changed_.clear(); }
  int resizeEvents() const { return resizes_; }
  int refreshes() const { return refreshes_; }

 private:
  std::string extenderName_;
  host::FontRef ambientFont_;
  host::FontRef font_;
  Boolean userMode_ = host::True;
  Twips width_ = 2560, height_ = 360;
  Boolean autoRedraw_ = host::False;
  std::int32_t hWnd_;
  host::SurfaceEvents* sink_ = nullptr;
  std::vector<std::string> changed_;
  int resizes_ = 0;
  int refreshes_ = 0;
};

// ---- the form: services, keyboard focus and typing -----------------------------------------
class Form {
 public:
  Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Services& services() { return services_; }

  // Moves focus: LostFocus on the box that had it, then GotFocus on `box` (nullptr: focus
  // leaves every box). Focusing the box that has focus does nothing. A disabled box, or one of
  // another form, cannot take focus (error 5). While LostFocus runs no box has focus; a
  // LostFocus handler that moves focus itself wins and this move ends there.
  void focus(TextBox* box);
  TextBox* focused() const { return focused_; }
  // Types each character of `s` into the focused box (nothing when no box has focus).
  void type(const std::string& s);
  // Presses a named key in the focused box. Tab moves focus to the next enabled, visible box
  // in creation order, or away from every box when there is none (no wrapping: the Tab after
  // that starts at the first box); Shift+Tab goes backwards. The box never sees a Tab.
  void press(Key k, std::int16_t shift = 0);

 private:
  friend class TextBox;
  void attach(TextBox* box);
  void detach(TextBox* box);
  Services services_;
  std::vector<TextBox*> boxes_;
  TextBox* focused_ = nullptr;
};

// ---- a control's site: its surface, two text box elements and caption label ---------------
// Initial geometry as the control's design lays it out: label at (0,0) 828x240, both boxes at
// (960,0) 1600x360, text and caption equal to the instance name, the default font
// (host::DefaultFontName, host::DefaultFontSize); element 1 is the flat one; surface 2560x360.
class ControlSite final : public host::ControlSite {
 public:
  ControlSite(Form& form, std::string instanceName = "Kestrin1");
  host::Surface& surface() override { return surface_; }
  host::TextBox& txtKestrin(int index) override;
  host::Label& lblCaption() override { return label_; }
  host::Services& services() override { return form_.services(); }

  Form& form() { return form_; }
  Surface& headlessSurface() { return surface_; }
  TextBox& box(int index);  // element 0 or 1
  Label& label() { return label_; }

 private:
  Form& form_;
  Surface surface_;
  TextBox box0_, box1_;
  Label label_;
};

// ---- property bag and page site -------------------------------------------------------------
// Keeps typed values in memory; a key written twice keeps the later value. Reads and writes are
// recorded in order, so tests can check the order a control uses.
class PropertyBag final : public host::PropertyBag {
 public:
  host::Variant readProperty(const std::string& name, const host::Variant& defaultValue) override;
  void writeProperty(const std::string& name, const host::Variant& value, const host::Variant& defaultValue) override;
  bool contains(const std::string& name) const { return values_.count(name) != 0; }
  const std::map<std::string, host::Variant>& values() const { return values_; }
  const std::vector<std::string>& readOrder() const { return reads_; }
  const std::vector<std::string>& writeOrder() const { return writes_; }

 private:
  std::map<std::string, host::Variant> values_;
  std::vector<std::string> reads_, writes_;
};

class PropertyPageSite final : public host::PropertyPageSite {
 public:
  void select(std::vector<host::Dispatch*> controls) { selected_ = std::move(controls); }
  std::size_t selectedCount() const override { return selected_.size(); }
  host::Dispatch& selectedControl(std::size_t i) override;  // error 9 outside the selection
  Boolean changed() const override { return changed_; }
  void setChanged(Boolean v) override { changed_ = v; }

 private:
  std::vector<host::Dispatch*> selected_;
  Boolean changed_ = host::False;
};

}  // namespace kestrinx::headless
