/// \file
/// The headless form: the services, which text box has keyboard focus, focus events, Tab, and
/// typing routed to the focused box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/headless/keys.h"
#include "host/headless/services.h"

namespace kestrinx::headless {

class TextBox;

/// A headless form: its services, keyboard focus and typing.
class Form {
 public:
  Form() = default;
  Form(const Form&) = delete;             ///< A form is not copyable.
  Form& operator=(const Form&) = delete;  ///< A form is not copyable.

  /// The clock, beeps and message boxes every control on the form uses.
  Services& services() { return services_; }

  /// Moves focus: LostFocus on the box that had it, then GotFocus on `box` (nullptr: focus
  /// leaves every box). Focusing the box that has focus does nothing. A disabled box, or one of
  /// another form, cannot take focus (error 5). While LostFocus runs no box has focus; a
  /// LostFocus handler that moves focus itself wins and this move ends there.
  void focus(TextBox* box);
  /// The box that has keyboard focus, or nullptr.
  TextBox* focused() const { return focused_; }
  /// Types each character of `s` into the focused box (nothing when no box has focus).
  void type(const std::string& s);
  /// Presses a named key in the focused box. Tab moves focus to the next enabled, visible box
  /// in creation order, or away from every box when there is none (no wrapping: the Tab after
  /// that starts at the first box); Shift+Tab goes backwards. The box never sees a Tab.
  void press(Key k, std::int16_t shift = 0);

 private:
  friend class TextBox;
  void attach(TextBox* box);
  void detach(TextBox* box);
  Services services_;
  std::vector<TextBox*> boxes_;
  TextBox* focused_ = nullptr;
};

}  // namespace kestrinx::headless
