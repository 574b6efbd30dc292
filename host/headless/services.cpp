// The headless services: a clock that tests set, counted beeps and recorded message boxes.
#include "host/headless/services.h"

#include "values/functions.h"

namespace kestrinx::headless {

Services::Services() : now_(values::dateFromParts(values::DateTimeParts{2000, 1, 1, 0, 0, 0})) {}

void Services::setNow(int year, int month, int day, int hour, int minute, int second) {
  now_ = values::dateFromParts(values::DateTimeParts{year, month, day, hour, minute, second});
}

host::MsgBoxResult Services::msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) {
  messages_.push_back(MessageRecord{text, buttons, title});
  return answer_;
}

}  // namespace kestrinx::headless
