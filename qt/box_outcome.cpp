#include "qt/box_outcome.h"

#include "qt/invalid_entry_state.h"

#include <QAccessible>
#include <QAction>
#include <QLineEdit>
#include <QStyle>

namespace kestrinx::qt {

void BoxOutcome::tell(QLineEdit& box, const QString& message, bool invalid, bool marker) {
  // A new description is sent by Qt itself; the same one again is sent here, so that each
  // outcome is told once, a repeated one too.
  if (box.accessibleDescription() == message) {
    QAccessibleEvent described(&box, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&described);
  } else {
    box.setAccessibleDescription(message);
  }
  if (invalid != invalid_) {
    invalid_ = invalid;
    invalidentry::changed(box, invalid);
  }
  const bool shown = invalid && marker;
  if (shown && marker_ == nullptr) {
    marker_ = box.addAction(box.style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::TrailingPosition);
  } else if (!shown && marker_ != nullptr) {
    box.removeAction(marker_);
    delete marker_;
    marker_ = nullptr;
  }
  if (marker_ != nullptr) marker_->setToolTip(message);
}

bool BoxOutcome::anythingTold(const QLineEdit& box) const {
  return invalid_ || marker_ != nullptr || !box.accessibleDescription().isEmpty();
}

}  // namespace kestrinx::qt
