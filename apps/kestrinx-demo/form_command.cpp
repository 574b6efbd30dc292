// The designer's undo steps.
#include "form_command.h"

#include <algorithm>

#include "values/error.h"

namespace kestrinx::demo {

namespace {

// Two records of a control as a form file holds them, compared (values by values::sameValue).
bool same(const forms::FormControl& a, const forms::FormControl& b) {
  forms::FormFile x, y;
  x.controls.push_back(a);
  y.controls.push_back(b);
  return forms::sameForm(x, y);
}

// Whether the control `w` holds the saved properties of `saved` (its placement aside).
bool sameProperties(const FormView& form, const KestrinWidget& w, forms::FormControl saved) {
  try {
    const forms::FormControl now = form.record(w);
    saved.placement = now.placement;
    return same(now, saved);
  } catch (const values::AutomationError&) {
    return false;  // it cannot say: it is created again from the record
  }
}

}  // namespace

FormCommand::FormCommand(FormView& form, const QString& text, std::vector<Change> changes, Done done)
    : QUndoCommand(text), form_(form), changes_(std::move(changes)), done_(std::move(done)) {}

void FormCommand::undo() { apply(false); }

void FormCommand::redo() {
  if (made_) {
    made_ = false;
    return;
  }
  apply(true);
}

void FormCommand::apply(bool forward) {
  // Controls leave first, then the others are put back in rising form order, so that each
  // lands at the place it had.
  std::vector<const Change*> order;
  for (const Change& c : changes_) order.push_back(&c);
  const auto target = [forward](const Change& c) -> const std::optional<forms::FormControl>& {
    return forward ? c.after : c.before;
  };
  const auto index = [forward](const Change& c) { return forward ? c.indexAfter : c.indexBefore; };
  std::stable_sort(order.begin(), order.end(), [&](const Change* a, const Change* b) {
    if (target(*a).has_value() != target(*b).has_value()) return !target(*a).has_value();
    return index(*a) < index(*b);
  });
  QStringList selected, problems;
  for (const Change* c : order) {
    KestrinWidget* w = form_.find(c->name);
    if (!target(*c)) {
      if (w != nullptr) form_.remove(w);
      continue;
    }
    selected << c->name;
    if (w != nullptr && form_.indexOf(c->name) == index(*c) && sameProperties(form_, *w, *target(*c))) {
      // Only its place changed (a move, a resize): the control stays as it is.
      form_.setPlacement(*w, target(*c)->placement);
      continue;
    }
    QString problem;
    form_.restore(*target(*c), index(*c), &problem);
    if (!problem.isEmpty()) problems << problem;
  }
  if (done_) done_(selected, problems);
}

bool FormCommand::changesAnything(const std::vector<Change>& changes) {
  for (const Change& c : changes) {
    if (c.before.has_value() != c.after.has_value()) return true;
    if (c.before && (!same(*c.before, *c.after) || c.indexBefore != c.indexAfter)) return true;
  }
  return false;
}

}  // namespace kestrinx::demo
