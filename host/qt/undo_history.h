// A box's own undo history (the opt-in TextBox::setUndoEnabled). A QLineEdit's own undo stack
// loses its way when the program sets texts, so the box keeps its own: a step is everything
// the text went through while the box handled one Qt event (the keystroke with the numeric
// regroup its Change caused, a paste, the exit check's rewrite inside focus-out). Undo and redo
// give back the text and caret a step started from or ended with; the box puts them back as a
// user edit. The history keeps the last kSteps steps.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "host/qt/edit_state.h"

namespace kestrinx::qthost {

class UndoHistory {
 public:
  static constexpr std::size_t kSteps = 100;

  // Forgets every step; the box holds `now`.
  void clear(const EditState& now);
  // A Qt event of the box begins, the box holding `now`.
  void beginStep(const EditState& now);
  // An edit the box learns of after it was made (through the line edit's own slots, outside
  // any event of the box) is a step from the state the last step ended with.
  void continueStep() { inStep_ = true; }
  // The event has ended with the box holding `now`: a step is kept when `recording` and the
  // text changed, unless the step was marked as none.
  void endStep(const EditState& now, bool recording);
  // Whether an event of the box is under way (between beginStep and endStep).
  bool inStep() const { return inStep_; }
  // The step under way is no step to undo: an undo or redo itself, or what the control does to
  // the text on focus entry (which would come straight back after an undo).
  void markNoStep() { noStep_ = true; }

  // The state before the last step, `now` kept for redo; none when there is no step.
  std::optional<EditState> undo(const EditState& now);
  // The state after the last step undone, `now` kept for undo; none when there is none.
  std::optional<EditState> redo(const EditState& now);
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }

 private:
  std::vector<EditState> undo_, redo_;
  EditState settled_;    // the state when the step under way began
  bool noStep_ = false;  // the step under way is none
  bool inStep_ = false;
};

}  // namespace kestrinx::qthost
