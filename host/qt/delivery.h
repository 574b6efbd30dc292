// How the Qt host hands a Qt event (a key, a focus change, a click, a resize) to the control.
// Qt's event loop cannot carry exceptions, so an automation error that the control's handling
// of an event raises ends that event and goes to the error handler (by default a warning on
// the Qt message log). When the outermost event has been delivered, the after-events handler
// runs: the widget that owns the control uses it to announce what the event changed.
#pragma once

#include <functional>

#include "host/error.h"

namespace kestrinx::qthost {

class Delivery {
 public:
  using ErrorHandler = std::function<void(const host::AutomationError&)>;

  void setErrorHandler(ErrorHandler h) { onError_ = std::move(h); }
  void setAfterEvents(std::function<void()> h) { afterEvents_ = std::move(h); }

  // Runs one delivery step; never throws.
  template <typename Step>
  void deliver(Step&& step) noexcept {
    ++depth_;
    guarded(step);
    if (--depth_ == 0 && afterEvents_) guarded(afterEvents_);
  }
  bool delivering() const { return depth_ > 0; }

 private:
  template <typename Step>
  void guarded(Step& step) noexcept {
    try {
      step();
    } catch (const host::AutomationError& e) {
      report(e);
    } catch (const std::exception& e) {
      reportOther(e);
    }
  }
  void report(const host::AutomationError& e) noexcept;
  static void reportOther(const std::exception& e) noexcept;

  ErrorHandler onError_;
  std::function<void()> afterEvents_;
  int depth_ = 0;
};

}  // namespace kestrinx::qthost
