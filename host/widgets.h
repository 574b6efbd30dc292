// The widgets a host supplies to the control and the property page. Every member may fail by
// throwing AutomationError; callers decide whether a failure stops them or is skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::host {

// Why a text box's text changed, so behaviour that depends on it (where the caret goes after
// a rewrite) need not guess from the text.
enum class ChangeSource : std::uint8_t {
  UserEdit,  // a typed key, Backspace/Delete, a paste or a drop: the user edited in the box
  Program,   // code set Text or SelText
};

// Events of a text box. A widget array element reports its index; by-reference arguments
// written by the handler take effect in the box (KeyAscii 0 discards the key).
class TextBoxEvents {
 public:
  virtual ~TextBoxEvents() = default;
  virtual void onChange(std::int16_t /*index*/, ChangeSource /*source*/) {}
  virtual void onGotFocus(std::int16_t /*index*/) {}
  virtual void onLostFocus(std::int16_t /*index*/) {}
  virtual void onKeyDown(std::int16_t /*index*/, std::int16_t& /*keyCode*/, std::int16_t& /*shift*/) {}
  virtual void onKeyPress(std::int16_t /*index*/, std::int16_t& /*keyAscii*/) {}
  virtual void onKeyUp(std::int16_t /*index*/, std::int16_t& /*keyCode*/, std::int16_t& /*shift*/) {}
  virtual void onClick(std::int16_t /*index*/) {}
  virtual void onDblClick(std::int16_t /*index*/) {}
  virtual void onMouseDown(std::int16_t, std::int16_t& /*button*/, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void onMouseMove(std::int16_t, std::int16_t& /*button*/, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void onMouseUp(std::int16_t, std::int16_t& /*button*/, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void onOLECompleteDrag(std::int16_t, std::int32_t& /*effect*/) {}
  virtual void onOLEDragDrop(std::int16_t, values::DataObjectRef& /*data*/, std::int32_t& /*effect*/,
                             std::int16_t& /*button*/, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/) {}
  virtual void onOLEDragOver(std::int16_t, values::DataObjectRef& /*data*/, std::int32_t& /*effect*/,
                             std::int16_t& /*button*/, std::int16_t& /*shift*/, float& /*x*/, float& /*y*/,
                             std::int16_t& /*state*/) {}
  virtual void onOLEGiveFeedback(std::int16_t, std::int32_t& /*effect*/, values::Boolean& /*defaultCursors*/) {}
  virtual void onOLEStartDrag(std::int16_t, values::DataObjectRef& /*data*/, std::int32_t& /*allowedEffects*/) {}
  virtual void onOLESetData(std::int16_t, values::DataObjectRef& /*data*/, std::int16_t& /*dataFormat*/) {}
};

// Anything placed on a surface: position and size in the surface's units (twips).
class Positioned {
 public:
  virtual ~Positioned() = default;
  virtual values::Twips left() const = 0;
  virtual values::Twips top() const = 0;
  virtual values::Twips width() const = 0;
  virtual values::Twips height() const = 0;
  virtual void setLeft(values::Twips v) = 0;
  virtual void setTop(values::Twips v) = 0;
  virtual void setWidth(values::Twips v) = 0;
  virtual void setHeight(values::Twips v) = 0;
  // Moves to (left, top); width and height change only when given.
  virtual void move(values::Twips left, values::Twips top, std::optional<values::Twips> width = std::nullopt,
                    std::optional<values::Twips> height = std::nullopt) = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool v) = 0;
};

// A single-line text box (the control's txtKestrin elements; the page's text boxes).
class TextBox : public Positioned {
 public:
  virtual std::string text() const = 0;
  // Raises Change (source Program) before it returns, and never when the text stays the same.
  virtual void setText(const std::string& v) = 0;
  virtual std::int32_t selStart() const = 0;
  virtual void setSelStart(std::int32_t v) = 0;  // error 380 when negative; clamped to the length
  virtual std::int32_t selLength() const = 0;
  virtual void setSelLength(std::int32_t v) = 0;  // error 380 when negative; clamped
  virtual std::string selText() const = 0;
  virtual void setSelText(const std::string& v) = 0;  // replaces the selection; raises Change
  virtual values::OleColor backColor() const = 0;
  virtual void setBackColor(values::OleColor v) = 0;
  virtual values::OleColor foreColor() const = 0;
  virtual void setForeColor(values::OleColor v) = 0;
  virtual values::FontRef font() const = 0;
  virtual void setFont(values::FontRef v) = 0;
  virtual float fontSize() const = 0;  // the point size of the box's font
  virtual values::Boolean enabled() const = 0;
  virtual void setEnabled(values::Boolean v) = 0;
  virtual values::Boolean locked() const = 0;
  virtual void setLocked(values::Boolean v) = 0;
  virtual std::int32_t maxLength() const = 0;  // 0: no limit
  virtual void setMaxLength(std::int32_t v) = 0;  // error 380 when negative
  virtual std::int16_t mousePointer() const = 0;
  virtual void setMousePointer(std::int16_t v) = 0;
  virtual values::PictureRef mouseIcon() const = 0;
  virtual void setMouseIcon(values::PictureRef v) = 0;
  virtual std::int16_t scrollBars() const = 0;
  virtual std::string toolTipText() const = 0;
  virtual void setToolTipText(const std::string& v) = 0;
  virtual std::int16_t linkMode() const = 0;
  virtual void setLinkMode(std::int16_t v) = 0;
  virtual std::string linkItem() const = 0;
  virtual void setLinkItem(const std::string& v) = 0;
  virtual std::string linkTopic() const = 0;
  virtual void setLinkTopic(const std::string& v) = 0;
  virtual std::int16_t linkTimeout() const = 0;
  virtual void setLinkTimeout(std::int16_t v) = 0;
  virtual void linkSend() = 0;
  virtual void linkRequest() = 0;
  virtual void oleDrag() = 0;
  virtual std::int16_t oleDragMode() const = 0;
  virtual void setOleDragMode(std::int16_t v) = 0;
  virtual std::int16_t oleDropMode() const = 0;
  virtual void setOleDropMode(std::int16_t v) = 0;

  // Where the box sends its events, and the index it reports (its place in a widget array).
  virtual void setEventSink(TextBoxEvents* sink, std::int16_t index) = 0;
};

// A label that sizes itself to its caption and font (width and height follow them whenever
// either changes; setting Width or Height overrides that until the next change).
class Label : public Positioned {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& v) = 0;
  virtual values::OleColor foreColor() const = 0;
  virtual void setForeColor(values::OleColor v) = 0;
  virtual values::FontRef font() const = 0;
  virtual void setFont(values::FontRef v) = 0;
};

// Events of the property page's widgets.
class ClickEvents {
 public:
  virtual ~ClickEvents() = default;
  virtual void onClick(std::int16_t /*index*/) {}
};

// A check box: Value 1 checked, 0 unchecked, 2 grayed. Click is raised also when code
// changes Value.
class CheckBox : public Positioned {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& v) = 0;
  virtual std::int16_t value() const = 0;
  virtual void setValue(std::int16_t v) = 0;  // error 380 outside 0..2
  virtual void setEventSink(ClickEvents* sink, std::int16_t index) = 0;
};

// Events of a drop-down list: Change whenever ListIndex changes, by the user's pick or by
// code, then Click.
class ListEvents : public ClickEvents {
 public:
  virtual void onChange(std::int16_t /*index*/) {}
};

// A drop-down list (the user picks an item, no typing). ListIndex -1 means nothing chosen;
// Change, then Click, is raised whenever it changes.
class ComboBox : public Positioned {
 public:
  virtual void addItem(const std::string& item) = 0;
  virtual void clear() = 0;
  virtual std::int32_t listCount() const = 0;
  virtual std::string list(std::int32_t index) const = 0;  // error 381 outside the list
  virtual std::int32_t listIndex() const = 0;
  virtual void setListIndex(std::int32_t v) = 0;  // error 380 outside -1..listCount-1
  virtual std::string text() const = 0;
  virtual void setEventSink(ListEvents* sink, std::int16_t index) = 0;
};

// A frame that groups other widgets (layout only).
class Frame : public Positioned {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& v) = 0;
};

// A tab control (layout only): a number of tabs with captions and the current tab.
class TabControl : public Positioned {
 public:
  virtual std::int16_t tabs() const = 0;
  virtual void setTabs(std::int16_t n) = 0;
  virtual std::int16_t tab() const = 0;
  virtual void setTab(std::int16_t v) = 0;  // error 380 outside 0..tabs-1
  virtual std::string tabCaption(std::int16_t tab) const = 0;
  virtual void setTabCaption(std::int16_t tab, const std::string& v) = 0;
};

}  // namespace kestrinx::host
