// The clock helpers every host shares: today's date and the time of day, from now().
#include "host/services.h"

#include "host/values.h"

namespace kestrinx::host {

Date Services::today() const {
  DateTimeParts p = partsFromDate(now());
  p.hour = p.minute = p.second = 0;
  return dateFromParts(p);
}

Date Services::timeOfDay() const {
  const DateTimeParts p = partsFromDate(now());
  return Date{(p.hour * 3600 + p.minute * 60 + p.second) / 86400.0};
}

}  // namespace kestrinx::host
