// How a KestrinWidget's box tells the outcome of its exit check, when the widget's opt-ins
// ask (accessibleOutcome, invalidMarker): the message ("T+1 → 2026-12-10", "Invalid date")
// becomes the box's accessible description, sent to assistive technology once for each
// outcome told (also when it repeats the last one); a change between valid and invalid is sent
// as a change of the accessible invalid-entry state, which the box's accessible interface
// reports from then on (qt/box_accessible.h); and with the marker an invalid box shows a
// warning icon at its end whose tool tip is the message, so that colour is not the only cue.
#pragma once

#include <QString>

class QAction;
class QLineEdit;

namespace kestrinx::qt {

class BoxOutcome {
 public:
  // Tells `message` (empty: clears the description), `invalid` and the marker on `box`.
  void tell(QLineEdit& box, const QString& message, bool invalid, bool marker);
  // Whether the outcome last told was invalid.
  bool invalid() const { return invalid_; }
  // Whether anything told still stands (a description, the invalid state or the marker).
  bool anythingTold(const QLineEdit& box) const;

 private:
  bool invalid_ = false;
  QAction* marker_ = nullptr;  // owned by the box's line edit
};

}  // namespace kestrinx::qt
