#include "host/qt/delivery.h"

#include <QtGlobal>

namespace kestrinx::qthost {

void Delivery::report(const values::AutomationError& e) noexcept {
  if (onError_) {
    try {
      settle();
      onError_(e);
      return;
    } catch (...) {
      // An error handler that fails leaves the warning below.
    }
  }
  qWarning("KestrinX: run-time error %d in an event: %s", static_cast<int>(e.number()), e.what());
}

void Delivery::reportOther(const std::exception& e) noexcept { qWarning("KestrinX: error in an event: %s", e.what()); }

}  // namespace kestrinx::qthost
