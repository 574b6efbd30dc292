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
  if (!on && !optIns_) return;
  optIns().undo = on;
  clearHistory();
}

void TextBox::setEscapeRestores(bool on) {
  if (on || optIns_) optIns().escape = on;
}

TextBox::OptIns& TextBox::optIns() {
  if (!optIns_) {
    optIns_ = std::make_unique<OptIns>();
    optIns_->history.clear(editState());
  }
  return *optIns_;
}

void TextBox::clearHistory() {
  if (optIns_) optIns_->history.clear(editState());
}

// Without the opt-ins no step is kept.
void TextBox::beginStep() {
  if (optIns_) optIns_->history.beginStep(editState());
}

void TextBox::endStep() {
  if (!edit_) return;
  if (optIns_) optIns_->history.endStep(editState(), optIns_->undo);
}

void TextBox::replay(const EditState& s, Replay kind) {
  delivery_.settle();
  OptIns& opt = optIns();
  ++opt.replaying;
  ++programEdits_;
  edit_->setText(s.text);
  applyCaret(*edit_, s);
  --programEdits_;
  reportChange(host::ChangeSource::UserEdit);
  // The Change handler may have rewritten the text (a numeric regroup) and moved the caret;
  // the state's own caret stands when the text is the state's.
  if (edit_->text() == s.text) applyCaret(*edit_, s);
  --opt.replaying;
  if (kind == Replay::WithinHistory) opt.history.markNoStep();
  if (!opt.history.inStep()) endStep();  // called by the program, outside the box's events
}

void TextBox::undo() {
  delivery_.settle();
  if (locked_ != values::False) return;
  if (!optIns_) return;
  if (const std::optional<EditState> before = optIns_->history.undo(editState())) replay(*before, Replay::WithinHistory);
}

void TextBox::redo() {
  delivery_.settle();
  if (locked_ != values::False) return;
  if (!optIns_) return;
  if (const std::optional<EditState> after = optIns_->history.redo(editState())) replay(*after, Replay::WithinHistory);
}

}  // namespace kestrinx::qthost
