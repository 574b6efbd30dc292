// The headless text box: the program's members, and typing, pasting, clicking and drag-and-drop
// as a user does them. Events are synchronous: setting Text raises Change before it returns
// (never when the text stays the same), and each keystroke raises its events in order.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "host/headless/keys.h"
#include "host/headless/widget.h"
#include "host/widgets.h"
#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::Boolean;
using values::OleColor;

class Form;

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
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef v) override;  // error 424 for no font
  float fontSize() const override;
  Boolean enabled() const override { return enabled_; }
  void setEnabled(Boolean v) override { check("setEnabled"); enabled_ = v; }
  Boolean locked() const override { return locked_; }
  void setLocked(Boolean v) override { check("setLocked"); locked_ = v; }
  std::int32_t maxLength() const override { return maxLength_; }
  void setMaxLength(std::int32_t v) override;
  std::int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(std::int16_t v) override;  // error 380 outside 0..15 and 99
  values::PictureRef mouseIcon() const override { return mouseIcon_; }
  void setMouseIcon(values::PictureRef v) override { check("setMouseIcon"); mouseIcon_ = std::move(v); }
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
  std::int32_t dragOver(values::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                        float x, float y, std::int16_t state);
  std::int32_t dragDrop(values::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                        float x, float y);
  std::int32_t completeDrag(std::int32_t effect);
  void setScrollBars(std::int16_t v) { scrollBars_ = v; }  // design-time only in a real host

  // -- records --
  int linkSends() const { return linkSends_; }
  int linkRequests() const { return linkRequests_; }
  int oleDrags() const { return oleDrags_; }
  std::int16_t index() const { return index_; }

 private:
  friend class Form;
  // Whether an edit keeps to MaxLength: typing, pasting and dropping do; deleting and the
  // program's SelText do not.
  enum class LengthLimit : std::uint8_t { None, MaxLength };
  void replaceSelection(const std::string& insert, host::ChangeSource source, LengthLimit limit);
  void raiseChange(host::ChangeSource source);
  // Raises one event, then brings the selection back inside the text: a handler may have
  // changed either.
  template <typename Call>
  void raise(Call&& call);
  // One keystroke from KeyDown to KeyUp. A key that types (a character, Backspace, Enter) goes
  // through KeyPress with its keyAscii; for any other key (no keyAscii) the key's own action
  // (Delete, caret movement) follows KeyDown.
  void keystroke(std::int16_t keyCode, std::int16_t shift, std::optional<std::int16_t> keyAscii);
  void applyCharacter(std::int16_t keyAscii);
  void applyKeyAction(std::int16_t keyCode);

  Form& form_;
  host::TextBoxEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
  std::string text_;
  std::int32_t selStart_ = 0, selLength_ = 0;
  OleColor backColor_ = values::SystemWindowBackground;
  OleColor foreColor_ = values::SystemWindowText;
  values::FontRef font_;
  Boolean enabled_ = values::True;
  Boolean locked_ = values::False;
  std::int32_t maxLength_ = 0;
  std::int16_t mousePointer_ = 0;
  values::PictureRef mouseIcon_;
  std::int16_t scrollBars_ = 0;
  std::string toolTip_;
  std::int16_t linkMode_ = 0, linkTimeout_ = 50;
  std::string linkItem_, linkTopic_;
  int linkSends_ = 0, linkRequests_ = 0, oleDrags_ = 0;
  std::int16_t oleDragMode_ = 0, oleDropMode_ = 0;
};

}  // namespace kestrinx::headless
