// One step on the designer's undo stack. Every edit of the form (a property, a move, a resize,
// Add control, Delete, an apply of the General page) is one FormCommand: the controls the edit
// touched, each as the form file held it before and after (or absent from the form), so undo
// and redo put back exactly what was there. A control is put back by creating it again from
// its saved properties, as opening the form does: a deleted control comes back with all of
// them, in its place in the form order. Controls are found by instance name, which stays the
// same across steps, so steps stay valid however often a control was created again.
#pragma once

#include <QString>
#include <QStringList>
#include <QUndoCommand>
#include <functional>
#include <optional>
#include <vector>

#include "form_view.h"
#include "forms/form_file.h"

namespace kestrinx::demo {

class FormCommand final : public QUndoCommand {
 public:
  // One control before and after the edit.
  struct Change {
    QString name;                           // its instance name
    int indexBefore = -1, indexAfter = -1;  // its place in the form order, when on the form
    std::optional<forms::FormControl> before, after;  // none: not on the form
  };
  // After each undo or redo: the controls the step leaves on the form, to be selected, and the
  // messages of controls whose loading stopped while they were put back.
  using Done = std::function<void(const QStringList& selected, const QStringList& problems)>;

  // A step named `text` ("Move numAmount") for an edit already made on `form`: pushing it does
  // not make the edit again.
  FormCommand(FormView& form, const QString& text, std::vector<Change> changes, Done done);

  void undo() override;
  void redo() override;

  // Whether an edit changed any control (so that a step is worth recording).
  static bool changesAnything(const std::vector<Change>& changes);

 private:
  void apply(bool forward);

  FormView& form_;
  std::vector<Change> changes_;
  Done done_;
  bool made_ = true;  // the edit is on the form already: the first redo has nothing to do
};

}  // namespace kestrinx::demo
