// How the Qt host hands a Qt event (a key, a focus change, a click, a resize) to the control.
// Qt's event loop cannot carry exceptions, so an automation error that the control's handling
// of an event raises ends that event and goes to the error handler (by default a warning on
// the Qt message log). When the outermost event has been delivered, the after-events handler
// runs: the widget that owns the control uses it to announce what the event changed. A
// before-events handler runs before the outermost event is delivered.
//
// A widget may hold back an edit while the control handles it (a text box does for a typed
// character, so that its line edit lays the text out once, not once per step of the control's
// rewrite). The held edit is settled before anything reaches the application: the widget that
// owns the control settles before it emits an event's signal, and the error handler runs after
// settling, so the application always sees its widgets as the control left them.
#pragma once

#include <functional>
#include <utility>

#include "values/error.h"

namespace kestrinx::qthost {

class Delivery {
 public:
  using ErrorHandler = std::function<void(const values::AutomationError&)>;

  // An edit held back by a widget; settle() hands it to the widget's Qt object.
  class HeldEdit {
   public:
    virtual void settle() = 0;

   protected:
    HeldEdit() = default;
    HeldEdit(const HeldEdit&) = default;
    HeldEdit& operator=(const HeldEdit&) = default;
    ~HeldEdit() = default;
  };

  void setErrorHandler(ErrorHandler h) { onError_ = std::move(h); }
  void setBeforeEvents(std::function<void()> h) { beforeEvents_ = std::move(h); }
  void setAfterEvents(std::function<void()> h) { afterEvents_ = std::move(h); }

  // Runs one delivery step; never throws.
  template <typename Step>
  void deliver(Step&& step) noexcept {
    if (depth_++ == 0 && beforeEvents_) guarded(beforeEvents_);
    guarded(step);
    if (--depth_ == 0 && afterEvents_) guarded(afterEvents_);
  }
  bool delivering() const { return depth_ > 0; }

  // `edit` holds an edit back; one held before is settled first.
  void hold(HeldEdit& edit) {
    if (held_ != &edit) settle();
    held_ = &edit;
  }
  // `edit` has settled (or was never held).
  void released(const HeldEdit& edit) noexcept {
    if (held_ == &edit) held_ = nullptr;
  }
  // Settles the edit held back, if any.
  void settle() {
    if (HeldEdit* held = std::exchange(held_, nullptr)) held->settle();
  }

 private:
  template <typename Step>
  void guarded(Step& step) noexcept {
    try {
      step();
    } catch (const values::AutomationError& e) {
      report(e);
    } catch (const std::exception& e) {
      reportOther(e);
    }
  }
  void report(const values::AutomationError& e) noexcept;
  static void reportOther(const std::exception& e) noexcept;

  ErrorHandler onError_;
  std::function<void()> beforeEvents_;
  std::function<void()> afterEvents_;
  int depth_ = 0;
  HeldEdit* held_ = nullptr;
};

}  // namespace kestrinx::qthost
