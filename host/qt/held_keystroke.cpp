// The held keystroke: its arithmetic, and how a text box types a character through it.
#include "host/qt/held_keystroke.h"

#include <QLineEdit>
#include <QValidator>

#include "host/qt/keys.h"
#include "host/qt/line_edit.h"
#include "host/qt/text_box.h"

namespace kestrinx::qthost {

namespace {

bool isBackspace(const QString& typed) { return typed == QStringLiteral("\b"); }

bool hasLineBreak(const QString& t) {
  return t.contains(u'\r') || t.contains(u'\n') || t.contains(QChar(0));
}

}  // namespace

HeldKeystroke::HeldKeystroke(const EditState& before, QString typed, int maxLength) : typed_(std::move(typed)) {
  EditState after{before.text, before.cursor};
  const bool backspace = isBackspace(typed_);
  if (before.selStart >= 0) {
    // The selection goes, and the key's own action with it for Backspace.
    after.text.remove(before.selStart, before.selLength);
    after.cursor = before.selStart;
  } else if (backspace && after.cursor > 0) {
    // The character before the caret goes: both halves of a surrogate pair.
    const bool pair = after.cursor > 1 && after.text.at(after.cursor - 1).isLowSurrogate() &&
                      after.text.at(after.cursor - 2).isHighSurrogate();
    const int n = pair ? 2 : 1;
    after.cursor -= n;
    after.text.remove(after.cursor, n);
  }
  // QLineEdit inserts as much as MaxLength leaves room for (a negative room is no limit).
  const qsizetype room = maxLength - after.text.size();
  if (!backspace && room != 0) {
    const QString inserted = typed_.left(room);
    after.text.insert(after.cursor, inserted);
    after.cursor += static_cast<int>(inserted.size());
  }
  typedState_ = after;
  state_ = after;
}

bool HeldKeystroke::canHold(const QLineEdit& e, const QValidator* boxValidator) {
  return e.validator() == boxValidator && e.echoMode() == QLineEdit::Normal && e.inputMask().isEmpty() &&
         !hasLineBreak(e.text());
}

void HeldKeystroke::setText(QString text, int maxLength) {
  if (!text.isEmpty()) text.truncate(maxLength);  // as the line edit cuts a set text
  state_ = {std::move(text), 0};
  replaced_ = true;
}

void HeldKeystroke::settleInto(QLineEdit& e) const {
  const EditState& s = state_;
  if (!replaced_ && s.text == typedState_.text) {
    if (isBackspace(typed_)) {
      e.backspace();
    } else {
      e.insert(typed_);
    }
    if (s.cursor != typedState_.cursor || s.selStart >= 0) applyCaret(e, s);
    return;
  }
  e.setText(s.text);  // the caret goes to the end
  if (s.cursor != s.text.size() || s.selStart >= 0) applyCaret(e, s);
}

// ---- a text box's keystrokes ----------------------------------------------------------
// What a character that went through KeyPress does to the box: held while the control handles
// the Change it causes, where the line edit's rules are the held edit's (canHold), else typed
// into the line edit at once.

void TextBox::typeCode(std::int16_t keyAscii, const QString& original) {
  if (keyAscii == 0 || locked_ != values::False) return;
  QString typed = original;
  if (keyAscii == 8) {
    typed = QStringLiteral("\b");
  } else if (typed.isEmpty()) {
    const std::optional<QChar> c = characterOf(keyAscii);
    if (!c) return;  // a control code, or half of a surrogate pair: nothing to type
    typed = QString(*c);
  }
  if (held_ || !HeldKeystroke::canHold(*edit_, singleLine_)) {
    if (keyAscii == 8) {
      edit_->backspace();
    } else {
      edit_->insert(typed);  // replaces the selection; MaxLength respected
    }
    reportChange(host::ChangeSource::UserEdit);
    return;
  }
  held_ = std::make_unique<HeldKeystroke>(editState(), std::move(typed), edit_->maxLength());
  delivery_.hold(*this);
  // The line edit gets the edit however the Change ends (an error ends it early).
  struct SettleAtEnd {
    Delivery& delivery;
    ~SettleAtEnd() { delivery.settle(); }
  } settleAtEnd{delivery_};
  reportChange(host::ChangeSource::UserEdit);
}

void TextBox::settle() {
  if (!held_) return;
  const std::unique_ptr<HeldKeystroke> held = std::move(held_);
  delivery_.released(*this);
  if (!edit_) return;
  ++programEdits_;
  held->settleInto(*edit_);
  --programEdits_;
}

}  // namespace kestrinx::qthost
