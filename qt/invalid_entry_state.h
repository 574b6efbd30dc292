// Assistive technology on Linux reads an invalid entry as AT-SPI's invalid-entry state of the
// box. Qt 6.4's accessibility has no such state (QAccessible::State has no bit for it, and its
// AT-SPI bridge sends none), so KestrinWidget adds it where that bridge answers on the
// accessibility bus: the state set of a box in the invalid-entry state (BoxAccessible) carries
// it, and each change is sent as the event object:state-changed:invalid-entry. Without an
// accessibility bus (other platforms, or no assistive technology listening) this does nothing;
// the box's description still says "Invalid ...".
#pragma once

class QLineEdit;

namespace kestrinx::qt::invalidentry {

// `box` went into (`invalid`) or out of the invalid-entry state: AT-SPI is told.
void changed(QLineEdit& box, bool invalid);

}  // namespace kestrinx::qt::invalidentry
