// The clock helpers every host shares: today's date and the time of day, from now().
#include "host/services.h"

#include "values/functions.h"

namespace kestrinx::host {

values::Date Services::today() const {
  values::DateTimeParts p = values::partsFromDate(now());
  p.hour = p.minute = p.second = 0;
  return values::dateFromParts(p);
}

values::Date Services::timeOfDay() const {
  const values::DateTimeParts p = values::partsFromDate(now());
  return values::Date{(p.hour * 3600 + p.minute * 60 + p.second) / 86400.0};
}

}  // namespace kestrinx::host
