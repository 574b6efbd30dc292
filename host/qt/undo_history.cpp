// The undo history, and how a text box records its steps and puts them back.
#include "host/qt/undo_history.h"

#include <QLineEdit>

#include "host/qt/line_edit.h"
#include "host/qt/text_box.h"

namespace kestrinx::qthost {

void UndoHistory::clear(const EditState& now) {
  undo_.clear();
  redo_.clear();
  settled_ = now;
  noStep_ = false;
}

void UndoHistory::beginStep(const EditState& now) {
  settled_ = now;
  inStep_ = true;
}

void UndoHistory::endStep(const EditState& now, bool recording) {
  if (recording && !noStep_ && now.text != settled_.text) {
    undo_.push_back(settled_);
    if (undo_.size() > kSteps) undo_.erase(undo_.begin());
    redo_.clear();
  }
  noStep_ = false;
  inStep_ = false;
  settled_ = now;
}

std::optional<EditState> UndoHistory::undo(const EditState& now) {
  if (undo_.empty()) return std::nullopt;
  EditState before = undo_.back();
  undo_.pop_back();
  redo_.push_back(now);
  return before;
}

std::optional<EditState> UndoHistory::redo(const EditState& now) {
  if (redo_.empty()) return std::nullopt;
  EditState after = redo_.back();
  redo_.pop_back();
  undo_.push_back(now);
  return after;
}

// ---- a text box's history ------------------------------------------------------------

void TextBox::setUndoEnabled(bool on) {
  undoEnabled_ = on;
  clearHistory();
}

void TextBox::clearHistory() { history_.clear(editState()); }

void TextBox::beginStep() { history_.beginStep(editState()); }

void TextBox::endStep() {
  if (!edit_) return;
  history_.endStep(editState(), undoEnabled_);
}

void TextBox::replay(const EditState& s, Replay kind) {
  delivery_.settle();
  ++replaying_;
  ++programEdits_;
  edit_->setText(s.text);
  applyCaret(*edit_, s);
  --programEdits_;
  reportChange(host::ChangeSource::UserEdit);
  // The Change handler may have rewritten the text (a numeric regroup) and moved the caret;
  // the state's own caret stands when the text is the state's.
  if (edit_->text() == s.text) applyCaret(*edit_, s);
  --replaying_;
  if (kind == Replay::WithinHistory) history_.markNoStep();
  if (!history_.inStep()) endStep();  // called by the program, outside the box's events
}

void TextBox::undo() {
  delivery_.settle();
  if (locked_ != values::False) return;
  if (const std::optional<EditState> before = history_.undo(editState())) replay(*before, Replay::WithinHistory);
}

void TextBox::redo() {
  delivery_.settle();
  if (locked_ != values::False) return;
  if (const std::optional<EditState> after = history_.redo(editState())) replay(*after, Replay::WithinHistory);
}

}  // namespace kestrinx::qthost
