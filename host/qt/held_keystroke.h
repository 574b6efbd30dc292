// A keystroke's edit held back while the control handles the Change it causes (see
// host/qt/delivery.h): the control reads and sets the held text, caret and selection as it
// would the line edit's, and the line edit is given the final state once, when the keystroke
// is done or before anything else could see the line edit. So the line edit lays its text out
// once per keystroke, however the control's numeric rewrite changes it.
//
// One editing model: the line edit's. The held state repeats QLineEdit's own rules for the
// one edit it holds, and only because the control must read what its keystroke made before
// the line edit has it: a character replaces the selection, or goes in at the caret while
// MaxLength leaves room (as much of it as fits, as QLineEdit inserts); Backspace removes the
// selection, or the character before the caret (a surrogate pair whole); a program's set cuts
// its text at MaxLength and puts the caret at the start. canHold() says when those rules are the
// line edit's; otherwise the line edit takes the keystroke itself.
#pragma once

#include <QString>

#include "host/qt/edit_state.h"

class QLineEdit;
class QValidator;

namespace kestrinx::qthost {

class HeldKeystroke {
 public:
  // What typing `typed` (one character, a surrogate pair for one beyond the basic plane, or
  // "\b" for Backspace) does to `before` in a line edit of `maxLength`.
  HeldKeystroke(const EditState& before, QString typed, int maxLength);

  // Whether a keystroke's edit in `e` can be held: the line edit applies it as the rules above
  // say (its validator is the box's own `boxValidator`, no input mask or echo mode of the
  // application's, no line break in its text, which that validator would treat apart).
  static bool canHold(const QLineEdit& e, const QValidator* boxValidator);

  // The held state now.
  EditState& state() { return state_; }
  const EditState& state() const { return state_; }
  // The program set the text meanwhile: cut at `maxLength`, the caret at the start.
  void setText(QString text, int maxLength);
  // Gives the line edit the held state: by the line edit's own insert or backspace when the
  // text is just the keystroke's, so that its own undo keeps the step; else as a text and caret.
  void settleInto(QLineEdit& e) const;

 private:
  QString typed_;
  EditState typedState_;  // the line edit's state after the keystroke's own action
  EditState state_;
  bool replaced_ = false;  // the program set a text meanwhile
};

}  // namespace kestrinx::qthost
