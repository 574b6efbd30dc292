/// \file
/// The headless services: a clock that tests and tools set, counted beeps, message boxes recorded
/// and answered with a preset result, and how dates are read (set by tests and tools).
#pragma once

#include <string>
#include <vector>

#include "host/services.h"
#include "values/variant.h"

namespace kestrinx::headless {

/// A message box the control showed: its text, buttons and title.
struct MessageRecord {
  std::string text;              ///< the message
  host::MsgBoxButtons buttons;  ///< the buttons offered
  std::string title;             ///< the title
};

/// The headless host's services: a settable clock, counted beeps, recorded message boxes.
class Services final : public host::Services {
 public:
  Services();  ///< clock starts at 2000-01-01 00:00:00
  values::Date now() const override { return now_; }
  /// Sets the clock to a date and time (days since 1899-12-30).
  void setNow(values::Date d) { now_ = d; }
  /// Sets the clock to a calendar date and time of day.
  void setNow(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  /// Counts the beep.
  void beep() override { ++beeps_; }
  /// Records the message box and answers it with the preset answer (setMsgBoxAnswer; Ok at first).
  host::MsgBoxResult msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) override;

  /// How many beeps since creation or clearRecords().
  int beeps() const { return beeps_; }
  /// The message boxes shown since creation or clearRecords(), in order.
  const std::vector<MessageRecord>& messages() const { return messages_; }
  /// Forgets the counted beeps and recorded message boxes.
  void clearRecords() {
    beeps_ = 0;
    messages_.clear();
  }
  /// The answer every following message box gets.
  void setMsgBoxAnswer(host::MsgBoxResult r) { answer_ = r; }
  values::DateReading dateReading() const override { return dateReading_; }
  /// How following date entries are read.
  void setDateReading(const values::DateReading& r) { dateReading_ = r; }

 private:
  values::Date now_;
  int beeps_ = 0;
  std::vector<MessageRecord> messages_;
  host::MsgBoxResult answer_ = host::MsgBoxResult::Ok;
  values::DateReading dateReading_;
};

}  // namespace kestrinx::headless
