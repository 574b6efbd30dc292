// The value functions both hosts share: formatting by pattern, the date and number tests,
// the date conversion behind them, date arithmetic and the small string helpers.
//
// One set of US-English rules, independent of the machine's locale:
//
// Numbers (isNumeric, number patterns)
//   [spaces] [+|-] integer-part [. fraction-digits] [spaces]
//   The integer part holds digits and "," group separators in any places (at least one digit
//   must appear in the whole number, "-", ".", "" and "," are not numbers). One "." at most.
//
// Dates (isDate, toDate)
//   A date is three numeric fields separated by "-", "/", "." or " " (any mix, runs of spaces
//   count once), optionally followed by a space and a time.
//   Field order: a first field of four digits, or greater than 31, is a year: year-month-day.
//   Otherwise the text is read month-day-year, as US English reads it.
//   A year of one or two digits is windowed: 0-29 means 2000-2029, 30-99 means 1930-1999
//   (a DateReading may move the window and refuse dates whose day and month could swap).
//   Years run from 100 to 9999; month and day must form a real calendar date.
// Times
//   hours and minutes, and optionally seconds, separated by ":" or "." (at least one ":" when
//   the text could also read as a date), hours 0-23 (1-12 with a trailing AM/PM), minutes and
//   seconds 0-59. A time alone is a time on day 0 (1899-12-30).
//   A text is tried as a date (with optional time) first, then as a time.
//
// Patterns (format)
//   Number patterns use "0" (a digit always shown), "#" (a digit shown when significant),
//   "," (group the integer digits in threes) and "." (decimal point); other characters before
//   the first or after the last placeholder are copied as they stand. Digits are grouped
//   exactly as written (no detour through floating point) and rounded half away from zero to
//   the pattern's decimal places. A text that is not a number comes back unchanged.
//   Date patterns use yyyy, yy, m, mm, d, dd, h, hh, n, nn, s, ss; "m"/"mm" right after an
//   hour or right before seconds means minutes. Other characters are copied. A text that is
//   not a date or time comes back unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "values/text.h"  // the ASCII helpers (equalsIgnoreCase, trimSpaces, ...) come with the value functions
#include "values/variant.h"

namespace kestrinx::values {

// Parsed calendar date and time of day.
struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// Serial <-> calendar conversions (std::chrono civil calendar). fromParts throws error 5
// when the date lies outside 100-01-01 .. 9999-12-31.
Date dateFromParts(const DateTimeParts& p);
DateTimeParts partsFromDate(Date d);

// How dates are read beyond the fixed rules above; the default reads them exactly as above.
struct DateReading {
  // The first year of the hundred-year window a one- or two-digit year falls in: the year is
  // the one from centuryStart to centuryStart + 99 that ends in those digits (1930: 0-29 are
  // 2000-2029, 30-99 are 1930-1999).
  int centuryStart = 1930;
  // When true, a date read month-first whose first two fields also make a different real date
  // read day-first ("04/12/26": April 12 or December 4) is no date rather than a guess.
  bool strictOrder = false;
  friend bool operator==(const DateReading&, const DateReading&) = default;
};
// The century starts a DateReading may have, so that every windowed year is a year of the range.
inline constexpr int kFirstCenturyStart = 100;
inline constexpr int kLastCenturyStart = 9900;

// The text conversion behind isDate and format: nullopt when the text is not a date or time.
std::optional<Date> parseDate(std::string_view text, const DateReading& reading = {});
// True when parseDate accepts the text.
bool isDate(std::string_view text, const DateReading& reading = {});
bool isDate(const Variant& v);  // dates are dates, strings are parsed, everything else is not

// True when the text reads as a number under the rules above.
bool isNumeric(std::string_view text);
bool isNumeric(const Variant& v);  // numbers, Booleans and Empty are numeric; strings are parsed

// The host's "default date form" of a date: "m/d/yyyy", with " h:nn:ss AM/PM" when it has a time.
std::string defaultDateText(Date d);

// format(value, pattern). A date/time pattern applied to a string parses it (under `reading`); a number pattern
// applied to a string groups its exact digits. Values that do not fit the pattern come back
// as their plain text, unchanged.
std::string format(std::string_view text, std::string_view pattern, const DateReading& reading = {});
std::string format(const Variant& value, std::string_view pattern);

// Date arithmetic: d plus n days. Error 5 when the result leaves the date range.
Date addDays(std::int32_t n, Date d);

// String helpers with the automation semantics (never throw for a length past the end; a
// negative length or count is error 5).
std::string trim(std::string_view s);   // removes leading and trailing spaces (only ' ')
std::string ltrim(std::string_view s);  // removes leading spaces
std::string upperCase(std::string_view s);  // ASCII letters only
std::string left(std::string_view s, std::int32_t n);
std::string spaces(std::int32_t n);

}  // namespace kestrinx::values
