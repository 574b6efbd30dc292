// Dates: serial <-> calendar conversion, the date and time text conversion behind isDate,
// date patterns, the default date form and day arithmetic. All calendar work is std::chrono's.
//
// Serials follow the automation convention: the whole part counts days from 1899-12-30 and the
// time of day is the size of the fraction, for negative serials too (-1.25 is 1899-12-29 06:00,
// not 1899-12-28 18:00). Times are kept to the nearest second.
//
// Text conversion, beyond the rules in values.h:
//   - leading and trailing spaces are ignored; month and day fields have one or two digits,
//     years one to four (three or four digits are taken literally);
//   - a time that stands alone must have at least one ":" unless AM/PM follows it, since
//     "9.30" is a number and "12.30.15" reads as a date; after a date, "." alone will do;
//   - AM/PM (any case) may follow the time with or without a space; 12 AM is midnight.
//
// Date patterns, beyond values.h: "yyyy" is the year in four digits (zero-padded), "yy" its
// last two; "mmm"/"mmmm" and "ddd"/"dddd" give English month and weekday names, "y" the day of
// the year, and "AM/PM" (or "am/pm") switches h/hh to a twelve-hour clock; without it hours
// run 0-23. The pattern letters are always placeholders (there is no escape).
#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "values/error.h"
#include "values/text.h"
#include "values/value_text.h"

namespace kestrinx::values {

namespace {

using namespace std::chrono;

constexpr sys_days kEpoch = sys_days{year{1899} / December / 30};
constexpr int kFirstDay = (sys_days{year{100} / January / 1} - kEpoch).count();
constexpr int kLastDay = (sys_days{year{9999} / December / 31} - kEpoch).count();
constexpr int kSecondsPerDay = 86400;

double serialOf(int day, int secondsOfDay) {
  const double time = static_cast<double>(secondsOfDay) / kSecondsPerDay;
  return day >= 0 ? day + time : day - time;
}


// A cursor over the text being read as a date or time.
struct Reader {
  std::string_view s;
  std::size_t i = 0;

  bool atEnd() const { return i >= s.size(); }
  char peek() const { return atEnd() ? '\0' : s[i]; }

  // Reads a run of digits; returns its length (0 when there is none). value holds the number
  // when the run has at most 9 digits.
  int digits(int& value) {
    int count = 0;
    value = 0;
    while (!atEnd() && isDigit(s[i])) {
      if (count < 9) value = value * 10 + (s[i] - '0');
      ++count;
      ++i;
    }
    return count;
  }
  void skipSpaces() {
    while (!atEnd() && s[i] == ' ') ++i;
  }
  // A date separator: "-", "/", "." or a run of spaces.
  bool dateSeparator() {
    const char c = peek();
    if (c == '-' || c == '/' || c == '.') {
      ++i;
      return true;
    }
    if (c == ' ') {
      skipSpaces();
      return true;
    }
    return false;
  }
};

struct Field {
  int value = 0;
  int length = 0;
};

std::optional<int> yearOf(Field f, const DateReading& reading) {
  if (f.length == 0 || f.length > 4) return std::nullopt;
  int y = f.value;
  if (f.length <= 2) {
    const int start = std::clamp(reading.centuryStart, kFirstCenturyStart, kLastCenturyStart);
    y += start - start % 100;
    if (y < start) y += 100;
  }
  if (y < 100 || y > 9999) return std::nullopt;
  return y;
}

// Three numeric fields with date separators.
bool readDate(Reader& r, DateTimeParts& p, const DateReading& reading) {
  std::array<Field, 3> f;
  for (int k = 0; k < 3; ++k) {
    if (k > 0 && !r.dateSeparator()) return false;
    f[k].length = r.digits(f[k].value);
    if (f[k].length == 0) return false;
  }
  Field y, m, d;
  const bool yearFirst = f[0].length == 4 || f[0].value > 31;
  if (yearFirst) {
    y = f[0], m = f[1], d = f[2];
  } else {
    m = f[0], d = f[1], y = f[2];
  }
  const std::optional<int> yr = yearOf(y, reading);
  if (!yr || m.length > 2 || d.length > 2) return false;
  const year_month_day ymd{year{*yr}, month{static_cast<unsigned>(m.value)}, day{static_cast<unsigned>(d.value)}};
  if (!ymd.ok()) return false;
  if (reading.strictOrder && !yearFirst && m.value != d.value) {
    const year_month_day swapped{year{*yr}, month{static_cast<unsigned>(d.value)}, day{static_cast<unsigned>(m.value)}};
    if (swapped.ok()) return false;  // day-first reads as another real date: ambiguous
  }
  p.year = *yr;
  p.month = m.value;
  p.day = d.value;
  return true;
}

// Where a time stands: after a date, or alone (then it needs a ":" or AM/PM, since "9.30" is a
// number).
enum class TimePlace : std::uint8_t { AfterDate, Alone };

// Hours and minutes, optional seconds, optional AM/PM, up to the end of the text.
bool readTime(Reader& r, DateTimeParts& p, TimePlace place) {
  Field h, m, s;
  h.length = r.digits(h.value);
  if (h.length == 0 || h.length > 2) return false;
  const char sep1 = r.peek();
  if (sep1 != ':' && sep1 != '.') return false;
  bool colon = sep1 == ':';
  ++r.i;
  m.length = r.digits(m.value);
  if (m.length == 0 || m.length > 2) return false;
  const char sep2 = r.peek();
  if (sep2 == ':' || sep2 == '.') {
    colon = colon || sep2 == ':';
    ++r.i;
    s.length = r.digits(s.value);
    if (s.length == 0 || s.length > 2) return false;
  }
  r.skipSpaces();
  int half = -1;  // -1 no AM/PM, 0 AM, 12 PM
  const std::string_view rest = r.s.substr(r.i);
  if (equalsIgnoreCase(rest, "am")) half = 0;
  if (equalsIgnoreCase(rest, "pm")) half = 12;
  if (half >= 0) r.i += 2;
  if (!r.atEnd()) return false;
  if (place == TimePlace::Alone && !colon && half < 0) return false;
  int hour = h.value;
  if (half >= 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + half;
  } else if (hour > 23) {
    return false;
  }
  if (m.value > 59 || s.value > 59) return false;
  p.hour = hour;
  p.minute = m.value;
  p.second = s.value;
  return true;
}

std::optional<DateTimeParts> readDateTime(std::string_view text, const DateReading& reading) {
  const std::string_view s = trimSpaces(text);
  if (s.empty()) return std::nullopt;
  DateTimeParts p;
  Reader r{s};
  if (readDate(r, p, reading)) {
    if (r.atEnd()) return p;
    // A time may follow the date after one or more spaces.
    if (r.peek() == ' ') {
      r.skipSpaces();
      if (readTime(r, p, TimePlace::AfterDate)) return p;
    }
  }
  DateTimeParts t;
  Reader tr{s};
  if (readTime(tr, t, TimePlace::Alone)) return t;
  return std::nullopt;
}

// ---- date patterns ---------------------------------------------------------------------

enum class Tok : std::uint8_t {
  Literal,
  Year4, Year2, DayOfYear,
  MonthName, MonthAbbr, Month2, Month1,
  WeekdayName, WeekdayAbbr, Day2, Day1,
  Hour2, Hour1, Minute2, Minute1, Second2, Second1,
  AmPmUpper, AmPmLower,
};

struct Token {
  Tok kind;
  std::size_t length;
};

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                    "May",     "June",     "July",      "August",
                                                    "September", "October", "November", "December"};
constexpr std::array<const char*, 7> kWeekdayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                      "Thursday", "Friday", "Saturday"};

bool isAmPm(std::string_view s, std::size_t i) {
  return equalsIgnoreCase(s.substr(i, 5), "am/pm");
}

// The pattern token that starts at i (i < size).
Token tokenAt(std::string_view pattern, std::size_t i) {
  const char c = toLowerAscii(pattern[i]);
  std::size_t run = 1;
  while (i + run < pattern.size() && toLowerAscii(pattern[i + run]) == c) ++run;
  switch (c) {
    case 'y':
      if (run >= 4) return {Tok::Year4, 4};
      if (run >= 2) return {Tok::Year2, 2};
      return {Tok::DayOfYear, 1};
    case 'm':
      if (run >= 4) return {Tok::MonthName, 4};
      if (run == 3) return {Tok::MonthAbbr, 3};
      return {run == 2 ? Tok::Month2 : Tok::Month1, run};
    case 'd':
      if (run >= 4) return {Tok::WeekdayName, 4};
      if (run == 3) return {Tok::WeekdayAbbr, 3};
      return {run == 2 ? Tok::Day2 : Tok::Day1, run};
    case 'h': return run >= 2 ? Token{Tok::Hour2, 2} : Token{Tok::Hour1, 1};
    case 'n': return run >= 2 ? Token{Tok::Minute2, 2} : Token{Tok::Minute1, 1};
    case 's': return run >= 2 ? Token{Tok::Second2, 2} : Token{Tok::Second1, 1};
    case 'a':
      if (isAmPm(pattern, i)) return {pattern[i] == 'a' ? Tok::AmPmLower : Tok::AmPmUpper, 5};
      return {Tok::Literal, 1};
    default: return {Tok::Literal, 1};
  }
}

bool isHour(Tok t) { return t == Tok::Hour1 || t == Tok::Hour2; }
bool isSecond(Tok t) { return t == Tok::Second1 || t == Tok::Second2; }

// True when the first token after position i that is not a literal is a seconds token.
bool secondsFollow(std::string_view pattern, std::size_t i) {
  while (i < pattern.size()) {
    const Token t = tokenAt(pattern, i);
    if (t.kind != Tok::Literal) return isSecond(t.kind);
    i += t.length;
  }
  return false;
}

void appendField(std::string& out, int v, int width) {
  std::array<char, 12> buf;
  std::size_t n = buf.size();
  unsigned u = static_cast<unsigned>(v < 0 ? -v : v);
  do {
    buf[--n] = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  while (buf.size() - n < static_cast<std::size_t>(width) && n > 0) buf[--n] = '0';
  out.append(buf.data() + n, buf.size() - n);
}

}  // namespace

Date dateFromParts(const DateTimeParts& p) {
  if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 || p.day > 31 ||
      p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 || p.second > 59) {
    raiseError(err::InvalidProcedureCall);
  }
  const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)}, day{static_cast<unsigned>(p.day)}};
  if (!ymd.ok()) raiseError(err::InvalidProcedureCall);
  const int dayNumber = (sys_days{ymd} - kEpoch).count();
  return Date{serialOf(dayNumber, p.hour * 3600 + p.minute * 60 + p.second)};
}

DateTimeParts partsFromDate(Date d) {
  if (!detail::serialInRange(d.serial)) raiseError(err::Overflow);
  const double whole = std::trunc(d.serial);
  int dayNumber = static_cast<int>(whole);
  long seconds = std::lround(std::fabs(d.serial - whole) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {
    // Rounds up to midnight: the next calendar day, unless that leaves the range.
    if (dayNumber < kLastDay) {
      ++dayNumber;
      seconds = 0;
    } else {
      seconds = kSecondsPerDay - 1;
    }
  }
  const year_month_day ymd{kEpoch + days{dayNumber}};
  DateTimeParts p;
  p.year = static_cast<int>(ymd.year());
  p.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  p.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  return p;
}

std::optional<Date> parseDate(std::string_view text, const DateReading& reading) {
  const std::optional<DateTimeParts> p = readDateTime(text, reading);
  if (!p) return std::nullopt;
  return dateFromParts(*p);
}

bool isDate(std::string_view text, const DateReading& reading) { return parseDate(text, reading).has_value(); }

std::string defaultDateText(Date d) {
  const DateTimeParts p = partsFromDate(d);
  const bool dayZero = p.year == 1899 && p.month == 12 && p.day == 30;
  const bool hasTime = p.hour != 0 || p.minute != 0 || p.second != 0;
  std::string out;
  out.reserve(24);
  if (!dayZero) {
    appendField(out, p.month, 1);
    out.push_back('/');
    appendField(out, p.day, 1);
    out.push_back('/');
    appendField(out, p.year, 4);
    if (!hasTime) return out;
    out.push_back(' ');
  }
  appendField(out, p.hour % 12 == 0 ? 12 : p.hour % 12, 1);
  out.push_back(':');
  appendField(out, p.minute, 2);
  out.push_back(':');
  appendField(out, p.second, 2);
  out.append(p.hour < 12 ? " AM" : " PM");
  return out;
}

Date addDays(std::int32_t n, Date d) {
  if (!detail::serialInRange(d.serial)) raiseError(err::InvalidProcedureCall);
  const double whole = std::trunc(d.serial);
  const double time = std::fabs(d.serial - whole);
  const long long target = static_cast<long long>(whole) + n;
  if (target < kFirstDay || target > kLastDay) raiseError(err::InvalidProcedureCall);
  // Through the calendar, so the day number is the one the calendar gives.
  const sys_days day = kEpoch + days{static_cast<int>(target)};
  const double dayNumber = static_cast<double>((day - kEpoch).count());
  return Date{dayNumber >= 0 ? dayNumber + time : dayNumber - time};
}

namespace detail {

bool serialInRange(double serial) {
  const double whole = std::trunc(serial);
  return whole >= kFirstDay && whole <= kLastDay;  // false for NaN
}

bool isDatePattern(std::string_view pattern) {
  for (char c : pattern) {
    switch (toLowerAscii(c)) {
      case 'y': case 'm': case 'd': case 'h': case 'n': case 's': return true;
      default: break;
    }
  }
  return false;
}

std::string formatDateParts(const DateTimeParts& p, std::string_view pattern) {
  bool twelveHour = false;
  for (std::size_t i = 0; i < pattern.size() && !twelveHour; ++i) twelveHour = isAmPm(pattern, i);
  const year_month_day ymd{year{p.year}, month{static_cast<unsigned>(p.month)}, day{static_cast<unsigned>(p.day)}};
  const int hour = twelveHour ? (p.hour % 12 == 0 ? 12 : p.hour % 12) : p.hour;

  std::string out;
  out.reserve(pattern.size() + 8);
  Tok previous = Tok::Literal;  // the last token that was not a literal
  for (std::size_t i = 0; i < pattern.size();) {
    const Token t = tokenAt(pattern, i);
    switch (t.kind) {
      case Tok::Literal: out.push_back(pattern[i]); break;
      case Tok::Year4: appendField(out, p.year, 4); break;
      case Tok::Year2: appendField(out, p.year % 100, 2); break;
      case Tok::DayOfYear:
        appendField(out, (sys_days{ymd} - sys_days{ymd.year() / January / 1}).count() + 1, 1);
        break;
      case Tok::MonthName: out.append(kMonthNames[static_cast<std::size_t>(p.month - 1)]); break;
      case Tok::MonthAbbr: out.append(kMonthNames[static_cast<std::size_t>(p.month - 1)], 3); break;
      case Tok::Month2:
      case Tok::Month1: {
        // "m"/"mm" means minutes right after an hour or right before seconds (literals
        // between do not count).
        const bool minutes = isHour(previous) || secondsFollow(pattern, i + t.length);
        appendField(out, minutes ? p.minute : p.month, t.kind == Tok::Month2 ? 2 : 1);
        break;
      }
      case Tok::WeekdayName:
      case Tok::WeekdayAbbr: {
        const char* name = kWeekdayNames[weekday{sys_days{ymd}}.c_encoding()];
        if (t.kind == Tok::WeekdayName) out.append(name);
        else out.append(name, 3);
        break;
      }
      case Tok::Day2: appendField(out, p.day, 2); break;
      case Tok::Day1: appendField(out, p.day, 1); break;
      case Tok::Hour2: appendField(out, hour, 2); break;
      case Tok::Hour1: appendField(out, hour, 1); break;
      case Tok::Minute2: appendField(out, p.minute, 2); break;
      case Tok::Minute1: appendField(out, p.minute, 1); break;
      case Tok::Second2: appendField(out, p.second, 2); break;
      case Tok::Second1: appendField(out, p.second, 1); break;
      case Tok::AmPmUpper: out.append(p.hour < 12 ? "AM" : "PM"); break;
      case Tok::AmPmLower: out.append(p.hour < 12 ? "am" : "pm"); break;
    }
    if (t.kind != Tok::Literal) previous = t.kind;
    i += t.length;
  }
  return out;
}

}  // namespace detail

}  // namespace kestrinx::values
