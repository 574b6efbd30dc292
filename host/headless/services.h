// The headless services: a clock that tests and tools set, counted beeps, and message boxes
// recorded and answered with a preset result, and how dates are read (set by tests and tools).
#pragma once

#include <string>
#include <vector>

#include "host/services.h"
#include "host/variant.h"

namespace kestrinx::headless {

struct MessageRecord {
  std::string text;
  host::MsgBoxButtons buttons;
  std::string title;
};

class Services final : public host::Services {
 public:
  Services();  // clock starts at 2000-01-01 00:00:00
  host::Date now() const override { return now_; }
  void setNow(host::Date d) { now_ = d; }
  void setNow(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
  void beep() override { ++beeps_; }
  host::MsgBoxResult msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) override;

  int beeps() const { return beeps_; }
  const std::vector<MessageRecord>& messages() const { return messages_; }
  void clearRecords() {
    beeps_ = 0;
    messages_.clear();
  }
  void setMsgBoxAnswer(host::MsgBoxResult r) { answer_ = r; }
  host::DateReading dateReading() const override { return dateReading_; }
  void setDateReading(const host::DateReading& r) { dateReading_ = r; }

 private:
  host::Date now_;
  int beeps_ = 0;
  std::vector<MessageRecord> messages_;
  host::MsgBoxResult answer_ = host::MsgBoxResult::Ok;
  host::DateReading dateReading_;
};

}  // namespace kestrinx::headless
