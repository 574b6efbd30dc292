// The Qt host's text box: a QLineEdit (framed for element 0, flat for element 1; its adapter is
// host/qt/line_edit.h) that delivers its events to the control exactly as the headless host does:
//   - setting Text raises Change (source Program) before it returns, and never for a text that
//     stays the same; setting MaxLength cuts a longer text at the limit (QLineEdit's rule) and
//     raises Change for that cut too;
//   - a keystroke goes KeyDown, KeyPress for each character it types (code by reference: 0
//     discards the character, a changed code is typed instead; codes in host/qt/keys.h), the
//     edit at the caret (MaxLength and Locked respected), Change (source UserEdit), and KeyUp
//     when the key is released; an input method's committed text goes KeyPress, edit, Change
//     for each character. Keys that type no character (Delete, the arrows, Ctrl+V and the other
//     Ctrl and Alt combinations) go KeyDown, their own action unless KeyDown set KeyCode to 0,
//     Change when the action edited, KeyUp;
//   - edits that come without a key (pasting from the context menu, drops, undo) raise Change
//     (source UserEdit) once the edit is complete; pasted and dropped text is taken up to its
//     first line break;
//   - GotFocus and LostFocus, the mouse, Click, DblClick and drags as line_edit.h says;
//     OLEDrag drags the selected text and reports OLECompleteDrag.
// A box never holds more than MaxLength characters (0: no limit). SelStart and SelLength are
// byte offsets into the UTF-8 text. The Link members keep their values and do nothing else.
//
// Opt-in features a program may switch on for its users (all off by default, and then the box
// behaves as above):
//   - undo of the host's own: each keystroke, paste, drop, Escape and rewrite is one step (all
//     the box's text went through while it handled one Qt event, the control's numeric regroup
//     and exit-check rewrite included; the regroup on focus entry is none); Ctrl+Z restores the
//     text and caret before the step, Ctrl+Y or Ctrl+Shift+Z redoes it, and the context menu's
//     Undo and Redo do the same. An undo or redo reaches Change as a user edit. A text the
//     program sets outside the box's events starts a new history;
//   - Escape restores the text the box held when focus entered it (a user edit; the box keeps
//     focus, so no exit check runs);
//   - the widget that owns the box (TextBox::Owner) sees each paste (keys or context menu)
//     before it lands and may refuse it whole, and is told when focus has left the box and the
//     control has checked the entry (it tells assistive technology the outcome from there).
//
// Creation: a box's line edit is made with it (Creation::Now) or the first time it is needed
// (Creation::OnDemand: when it is to show, or when asked for anything beyond its text, caret and
// the values it keeps itself, or to select); until then it keeps what is set on it, with a
// QLineEdit's rules for text, MaxLength, caret and insertion, and raises the same events. A
// control reading its properties then sets no widget, and a hidden element costs none until it
// shows.
//
// Height: the control asks a box for its font's point size as a height in twips after a font
// change (8 twips for an 8.25-point font), far less than any text needs. A box keeps at least
// the height its font needs (QLineEdit::minimumSizeHint) and reports that height, also before
// its line edit is made (measured as the line edit would measure it).
//
// Accessible name: the box's caption (setAccessibleName), so that a screen reader announces the
// box by the text beside it.
#pragma once

#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/event_depth.h"
#include "host/qt/delivery.h"
#include "host/qt/edit_state.h"
#include "host/qt/element.h"
#include "host/qt/held_keystroke.h"
#include "host/qt/strings.h"
#include "host/qt/undo_history.h"
#include "host/widgets.h"
#include "values/objects.h"
#include "values/types.h"

class QLineEdit;
class QStyle;
class QValidator;

namespace kestrinx::qthost {

using values::Boolean;
using values::OleColor;

class LineEdit;
class SingleLine;

class TextBox final : public Element<host::TextBox>, private Delivery::HeldEdit {
 public:
  enum class Look : std::uint8_t { Framed, Flat };
  enum class Creation : std::uint8_t { Now, OnDemand };  // when the line edit is made (see above)
  TextBox(QWidget& surface, Look look, Delivery& delivery, Creation creation = Creation::Now);
  ~TextBox() override;
  TextBox(const TextBox&) = delete;
  TextBox& operator=(const TextBox&) = delete;

  std::string text() const override;
  void setText(const std::string& v) override;
  std::int32_t selStart() const override;
  void setSelStart(std::int32_t v) override;
  std::int32_t selLength() const override;
  void setSelLength(std::int32_t v) override;
  std::string selText() const override;
  void setSelText(const std::string& v) override;
  OleColor backColor() const override { return backColor_; }
  void setBackColor(OleColor v) override;
  OleColor foreColor() const override { return foreColor_; }
  void setForeColor(OleColor v) override;
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef v) override;  // error 424 for no font
  float fontSize() const override { return font_->size; }
  Boolean enabled() const override { return enabled_; }
  void setEnabled(Boolean v) override;
  Boolean locked() const override { return locked_; }
  void setLocked(Boolean v) override;
  std::int32_t maxLength() const override { return maxLength_; }
  void setMaxLength(std::int32_t v) override;  // error 380 when negative
  std::int16_t mousePointer() const override { return mousePointer_; }
  void setMousePointer(std::int16_t v) override;  // error 380 outside 0..15 and 99
  values::PictureRef mouseIcon() const override { return rare_ ? rare_->mouseIcon : nullptr; }
  void setMouseIcon(values::PictureRef v) override;
  std::int16_t scrollBars() const override { return 0; }
  std::string toolTipText() const override { return rare_ ? rare_->toolTip : std::string(); }
  void setToolTipText(const std::string& v) override;
  std::int16_t linkMode() const override { return linkMode_; }
  void setLinkMode(std::int16_t v) override;  // error 380 outside 0..3
  std::string linkItem() const override { return rare_ ? rare_->linkItem : std::string(); }
  void setLinkItem(const std::string& v) override;
  std::string linkTopic() const override { return rare_ ? rare_->linkTopic : std::string(); }
  void setLinkTopic(const std::string& v) override;
  std::int16_t linkTimeout() const override { return linkTimeout_; }
  void setLinkTimeout(std::int16_t v) override { linkTimeout_ = v; }
  void linkSend() override {}
  void linkRequest() override {}
  void oleDrag() override;
  std::int16_t oleDragMode() const override { return oleDragMode_; }
  void setOleDragMode(std::int16_t v) override;  // error 380 outside 0..1
  std::int16_t oleDropMode() const override { return oleDropMode_; }
  void setOleDropMode(std::int16_t v) override;  // error 380 outside 0..2
  void setEventSink(host::TextBoxEvents* sink, std::int16_t index) override {
    sink_ = sink;
    index_ = index;
  }

  void setVisible(bool v) override;

  // The Qt widget, for placing, styling and driving it as a user would (made now if it is not yet;
  // a keystroke's edit held back is settled first, so it shows what the program reads).
  QLineEdit& lineEdit() const;
  // Whether the line edit is made yet.
  bool lineEditMade() const { return made_; }
  // Whether `w` is this box's line edit (also while it is being made).
  bool isLineEdit(const QObject* w) const;
  // The surface is about to show, or shows: a box made on demand that is to show is made now
  // (just before, it shows with the surface as a child it had from the start; made once the
  // surface shows, it is shown by hand).
  void surfaceShowing();
  // Where a line edit made on demand stands in the focus chain, as it would had it been made
  // with the box: after `before`.
  void placeAmong(QWidget& before);
  void placeAmong(TextBox& before);  // after that box's line edit (made first)

  // The box's accessible name (its caption), kept for a line edit made later.
  void setAccessibleName(const QString& name);

  // ---- opt-in features (see above) ----
  void setUndoEnabled(bool on);
  bool undoEnabled() const { return optIns_ && optIns_->undo; }
  // Undoes or redoes one step as the user's keys do (nothing when there is none or the box is
  // locked).
  void undo();
  void redo();
  void setEscapeRestores(bool on);
  bool escapeRestores() const { return optIns_ && optIns_->escape; }
  // What the widget that owns the box is asked and told (the paste filter and the leave
  // observer above).
  class Owner {
   public:
    // Asked before a paste lands with the pasted text (up to its first line break) and the text
    // the box would then hold; false refuses the paste whole.
    virtual bool pasteAllowed(const QString& pasted, const QString& result) = 0;
    // Focus has left `box` and the control has handled LostFocus (its exit check); `before` is
    // the text the box held before.
    virtual void left(TextBox& box, const QString& before) = 0;

   protected:
    Owner() = default;
    Owner(const Owner&) = default;
    Owner& operator=(const Owner&) = default;
    ~Owner() = default;
  };
  // None: every paste lands, and nobody is told.
  void setOwner(Owner* owner) { owner_ = owner; }

 private:
  friend class LineEdit;
  friend class SingleLine;
  // The line edit, made now if it is not yet: everything that needs the widget goes through here.
  LineEdit& edit() const;
  void makeLineEdit();
  QWidget& widget() const override;
  QWidget* madeWidget() const override;
  const QWidget& unitsWidget() const override;
  int minimumHeight() const override;

  // Raises one event to the control, under the nesting guard.
  template <typename Call>
  void raise(Call&& call) {
    host::detail::raiseEvent(sink_, call);
  }
  // Raises Change when the text differs from the one last reported.
  void reportChange(host::ChangeSource source);
  // Runs a change the program makes, with Qt's own change signal left unheard, then reports it.
  template <typename Edit>
  void programEdit(Edit&& edit);
  // The line edit's text changed: a user edit outside any Qt event of the box is reported at
  // once; inside one, when the event has been handled.
  void textChangedByQt();

  // What the user does (called by the line edit inside a delivery).
  // Types what KeyPress left: `keyAscii` 0 types nothing, 8 is Backspace, and `original` (the
  // character the key typed, when its code came back unchanged) is typed as it is.
  void typeCode(std::int16_t keyAscii, const QString& original);

  // The box's state: the held keystroke's while there is one, else the line edit's (or the kept
  // text and caret of a box whose line edit is not made yet).
  EditState editState() const;
  // The box's text, from the same place.
  QString currentText() const;
  void settle() override;

  // A text in UTF-8 (converted again only when the text changes), and SelStart and SelLength
  // arithmetic on it (strings.h's).
  const std::string& utf8Of(const QString& t) const;
  std::int32_t bytesBefore(const QString& t, qsizetype pos) const;
  qsizetype charsBefore(const QString& t, std::int64_t bytes) const;
  // Puts a state back as a user edit (undo, redo, Escape); one replayed by undo or redo is kept
  // out of the history (they move within it).
  enum class Replay : std::uint8_t { Recorded, WithinHistory };
  void replay(const EditState& s, Replay kind);
  // Around each outermost Qt event of the box: the state before, and the step it made.
  void beginStep();
  void endStep();
  void clearHistory();
  void applyPalette();

  Delivery& delivery_;
  QWidget& surface_;
  Look look_;
  Creation creation_;
  QPointer<LineEdit> edit_;
  bool made_ = false;
  // Until the line edit is made: its text and caret, where it goes, and what makes it when the
  // surface shows.
  QString keptText_;
  int keptCursor_ = 0;
  QPointer<QWidget> before_;
  TextBox* beforeBox_ = nullptr;
  host::TextBoxEvents* sink_ = nullptr;
  std::int16_t index_ = 0;
  std::string reported_;     // the text last reported by Change
  int programEdits_ = 0;     // nesting of program edits in progress
  bool focusReported_ = false;
  bool afterDoubleClick_ = false;
  OleColor backColor_ = values::SystemWindowBackground;
  OleColor foreColor_ = values::SystemWindowText;
  values::FontRef font_;
  Boolean enabled_ = values::True;
  Boolean locked_ = values::False;
  std::int32_t maxLength_ = 0;
  std::int16_t mousePointer_ = 0;
  QString accessibleName_;
  std::int16_t linkMode_ = 0, linkTimeout_ = 50;
  std::int16_t oleDragMode_ = 0, oleDropMode_ = 0;
  Owner* owner_ = nullptr;
  // What few boxes hold, made when first set: the tool tip, link members, mouse icon, the data
  // of a drag over the box.
  struct Rare {
    std::string toolTip, linkItem, linkTopic;
    values::PictureRef mouseIcon;
    values::DataObjectRef dragData;
  };
  std::unique_ptr<Rare> rare_;
  Rare& rare();
  // The opt-ins' state, made when one is switched on.
  struct OptIns {
    bool undo = false;
    bool escape = false;
    UndoHistory history;
    int replaying = 0;  // nesting of replays in progress
    QString entryText;  // the text when focus entered
  };
  std::unique_ptr<OptIns> optIns_;
  OptIns& optIns();

  std::unique_ptr<HeldKeystroke> held_;
  mutable Utf8Cache converted_;  // the text last converted to UTF-8
  const QValidator* singleLine_ = nullptr;  // the box's own validator
  // The least height last measured, and what for.
  struct LeastHeight {
    int dpi;
    const QStyle* style;
    bool made;
    int height;
  };
  mutable std::optional<LeastHeight> least_;
};

}  // namespace kestrinx::qthost
