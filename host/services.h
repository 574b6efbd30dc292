/// \file
/// Host services that are not widgets: the clock, the beep, the message box and how dates are read.
#pragma once

#include <cstdint>
#include <string>

#include "values/functions.h"
#include "values/variant.h"

namespace kestrinx::host {

/// Message box buttons and answers, with the automation values.
enum class MsgBoxButtons : std::int16_t { OkOnly = 0, OkCancel = 1, YesNo = 4 };
/// What the user answered.
enum class MsgBoxResult : std::int16_t { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

/// The host's services a control uses besides its widgets.
class Services {
 public:
  virtual ~Services() = default;
  /// The current date and time (the host's clock; tests set it).
  virtual values::Date now() const = 0;
  /// Today's date, with no time part.
  values::Date today() const;
  /// The current time of day, on day 0.
  values::Date timeOfDay() const;
  /// Sounds the host's beep.
  virtual void beep() = 0;
  /// Shows a message and returns when the user closes it.
  virtual MsgBoxResult msgBox(const std::string& text, MsgBoxButtons buttons, const std::string& title) = 0;
  /// How the user's date entries are read: the two-digit-year window and whether a date whose
  /// day and month could swap is refused. Hosts let their user or program choose; the default
  /// DateReading is what a host gives unless told otherwise.
  virtual values::DateReading dateReading() const = 0;
};

}  // namespace kestrinx::host
