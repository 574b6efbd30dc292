// Fuzzes the date and time entry rules of the control (IsDateEntry, FormatDateEntry,
// DateFromToday, IsTimeEntry, FormatTimeEntry, IsTimeOfDay, GetField) on a clock set from
// the input.
// Input: byte 0 picks how the clock is set (calendar parts, a serial inside the date range,
// or any double at all) from bytes 1..8; the rest is the entry. Where the entry holds a
// newline, the part before it is also tried as a date pattern and the part after it as the
// entry.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "control/date_time_entry.h"
#include "control/kestrin.h"
#include "host/headless/headless.h"
#include "values/error.h"
#include "values/functions.h"
#include "values/variant.h"

using namespace kestrinx;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Sets the clock from 9 bytes (missing bytes read as 0).
void setClock(headless::Services& services, const std::uint8_t* data, std::size_t size) {
  std::uint8_t b[9] = {};
  std::memcpy(b, data, size < sizeof b ? size : sizeof b);
  switch (b[0] % 3) {
    case 0: {  // calendar parts, each in its range; an impossible day falls back to the 28th
      const int year = 100 + (b[1] | (b[2] << 8)) % 9900;
      const int month = 1 + b[3] % 12, day = 1 + b[4] % 31;
      const int hour = b[5] % 24, minute = b[6] % 60, second = b[7] % 60;
      try {
        services.setNow(year, month, day, hour, minute, second);
      } catch (const values::AutomationError&) {
        services.setNow(year, month, 28, hour, minute, second);
      }
      break;
    }
    case 1: {  // a whole day in the host's range plus a fraction of a day
      std::int32_t day;
      std::memcpy(&day, b + 1, sizeof day);
      const std::int64_t first = -657434, last = 2958465;
      const std::int64_t serialDay = first + (static_cast<std::int64_t>(day) & 0x7fffffff) % (last - first + 1);
      const double fraction = (b[5] | (b[6] << 8)) / 65536.0;
      services.setNow(values::Date{serialDay >= 0 ? serialDay + fraction : serialDay - fraction});
      break;
    }
    default: {  // any value at all: a clock out of range must be reported, not crash
      double serial;
      std::memcpy(&serial, b + 1, sizeof serial);
      services.setNow(values::Date{serial});
      break;
    }
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "hh:mm" or "hh:mm:ss" with hours 00-23 and minutes and seconds 00-59.
bool isClockText(const std::string& s, bool seconds) {
  if (s.size() != (seconds ? 8u : 5u)) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (i % 3 == 2 ? s[i] != ':' : !isDigit(s[i])) return false;
  }
  const auto field = [&](std::size_t at) { return (s[at] - '0') * 10 + (s[at + 1] - '0'); };
  return field(0) <= 23 && field(3) <= 59 && (!seconds || field(6) <= 59);
}

// A four-digit year, month and day joined by "-" in the given order.
bool isDateText(const std::string& s, bool yearFirst) {
  if (s.size() != 10) return false;
  const std::string layout = yearFirst ? "dddd-dd-dd" : "dd-dd-dddd";
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (layout[i] == '-' ? s[i] != '-' : !isDigit(s[i])) return false;
  }
  return values::isDate(s);
}

// The day offset an entry starting with "T" asks for, when it is written plainly ("T", "T+",
// "T-", "T12", "T -3"); nullopt for any other entry.
std::optional<std::int32_t> plainTodayOffset(std::string_view entry) {
  const std::string s = values::ltrim(entry);
  if (s.empty() || (s[0] != 'T' && s[0] != 't')) return std::nullopt;
  const std::string rest = values::trim(std::string_view(s).substr(1));
  if (rest.empty() || rest == "+" || rest == "-") return 0;
  std::size_t i = (rest[0] == '+' || rest[0] == '-') ? 1 : 0;
  if (i == rest.size() || rest.size() - i > 5) return std::nullopt;
  std::int32_t n = 0;
  for (; i < rest.size(); ++i) {
    if (!isDigit(rest[i])) return std::nullopt;
    n = n * 10 + (rest[i] - '0');
  }
  return rest[0] == '-' ? -n : n;
}

// Runs a rewrite and checks that it reports exactly one message when, and only when, it fails.
template <typename Rewrite>
std::optional<std::string> rewrite(headless::Services& services, const char* message, Rewrite&& call) {
  const std::size_t before = services.messages().size();
  std::optional<std::string> out;
  try {
    out = call();
  } catch (...) {
    std::abort();  // a rewrite reports its failures itself
  }
  const std::size_t after = services.messages().size();
  if (out) {
    check(after == before);
  } else {
    check(after == before + 1 && services.messages().back().text == message);
  }
  return out;
}

void fuzzDate(headless::Services& services, std::string_view entry) {
  bool accepted = false;
  try {
    accepted = entry::IsDateEntry(entry);
  } catch (...) {
    std::abort();  // a check answers yes or no
  }
  const std::string s = values::ltrim(entry);
  if (!s.empty() && (s[0] == 'T' || s[0] == 't')) check(accepted);

  std::optional<values::Date> today;
  try {
    today = services.today();
  } catch (const values::AutomationError&) {
  }

  const auto ymd = rewrite(services, entry::kDateErrorText,
                           [&] { return entry::FormatDateEntry(services, entry, "yyyy-mm-dd"); });
  if (ymd) check(isDateText(*ymd, true));
  const auto mdy = rewrite(services, entry::kDateErrorText,
                           [&] { return entry::FormatDateEntry(services, entry, "mm-dd-yyyy"); });
  if (mdy) check(isDateText(*mdy, false));
  // The pattern only shapes the text: both succeed or fail together, on the same date.
  check(ymd.has_value() == mdy.has_value());
  if (ymd) check(values::parseDate(*ymd) == values::parseDate(*mdy));
  const auto byDefault =
      rewrite(services, entry::kDateErrorText, [&] { return entry::FormatDateEntry(services, entry); });
  check(byDefault == ymd);

  if (const auto offset = plainTodayOffset(entry)) {
    // A plain "T" entry is today plus its offset, or the error message when that date does not exist.
    // An offset that is no 16-bit number fails like a date out of range.
    std::optional<values::Date> target;
    if (today && *offset >= -32768 && *offset <= 32767) {
      try {
        target = values::addDays(*offset, *today);
      } catch (const values::AutomationError&) {
      }
    }
    check(ymd.has_value() == target.has_value());
    if (ymd) check(values::parseDate(*ymd) == values::Date{std::trunc(target->serial)});
  } else if (s.empty() || (s[0] != 'T' && s[0] != 't')) {
    // Any other entry is rewritten exactly when it reads as a date, keeping its day.
    const std::optional<values::Date> typed = values::parseDate(s);
    check(ymd.has_value() == typed.has_value());
    if (ymd) check(values::parseDate(*ymd) == values::Date{std::trunc(typed->serial)});
  }

  for (const std::int16_t n : {std::int16_t{0}, std::int16_t{1}, std::int16_t{-1}, std::int16_t{32767},
                               std::int16_t{-32768}}) {
    try {
      const std::string text = entry::DateFromToday(services, n);
      check(values::isDate(text));
    } catch (const values::AutomationError&) {
    }
  }
}

void fuzzTime(headless::Services& services, std::string_view entry) {
  for (std::int32_t formatTime = 0; formatTime <= 3; ++formatTime) {
    bool ofDay = false, timeEntry = false;
    try {
      ofDay = entry::IsTimeOfDay(entry, formatTime);
      timeEntry = entry::IsTimeEntry(entry, formatTime);
    } catch (...) {
      std::abort();  // the time checks turn every failure into False
    }
    check(timeEntry == (values::upperCase(entry) == "N" || ofDay));
    // Seconds are required only by HMS, so an HMS time is also a time under the other formats.
    if (formatTime == HMS && ofDay) check(entry::IsTimeOfDay(entry, ANY_TYPE));
  }

  // The rewrites as the exit check calls them (the first 5 or 8 characters), and on the whole entry.
  const std::string hm = values::left(entry, 5), hms = values::left(entry, 8);
  const auto shortTime =
      rewrite(services, entry::kTimeErrorText, [&] { return entry::FormatTimeEntry(services, hm, "hh:mm"); });
  if (shortTime) check(isClockText(*shortTime, false));
  const auto longTime =
      rewrite(services, entry::kTimeErrorText, [&] { return entry::FormatTimeEntry(services, hms, "hh:mm:ss"); });
  if (longTime) check(isClockText(*longTime, true));
  const auto byDefault =
      rewrite(services, entry::kTimeErrorText, [&] { return entry::FormatTimeEntry(services, entry); });
  if (byDefault) check(isClockText(*byDefault, false));

  if (values::upperCase(entry) == "N") {
    // "N" is the clock's time of day, or the error message when the clock is out of range.
    std::optional<std::string> now;
    try {
      now = values::format(values::Variant::date(services.timeOfDay()), "hh:mm");
    } catch (const values::AutomationError&) {
    }
    check(byDefault == now);
  }
}

void fuzzFields(std::string_view text) {
  // Reference split at each character of a few separators; field n is the n-th piece.
  for (const char sep : {':', '.', ' ', '-', text.empty() ? 'x' : text[0]}) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
      if (c == sep) {
        pieces.emplace_back();
      } else {
        pieces.back().push_back(c);
      }
    }
    const std::string sepText(1, sep);
    for (std::int16_t n = -1; n <= static_cast<std::int16_t>(pieces.size()) + 1; ++n) {
      const std::string field = entry::GetField(text, sepText, n);
      const std::string expected = n >= 1 && n <= static_cast<std::int16_t>(pieces.size()) ? pieces[n - 1] : "";
      check(field == expected);
    }
    check(entry::GetField(text, sepText, 32767).size() <= text.size());
  }
  check(entry::GetField(text, "", 1).empty());
  // Longer separators only must not misbehave.
  (void)entry::GetField(text, "::", 2);
  (void)entry::GetField(text, text, 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  headless::Services services;
  setClock(services, data, size);
  const std::size_t skip = size < 9 ? size : 9;
  const std::string_view entry(reinterpret_cast<const char*>(data) + skip, size - skip);

  fuzzDate(services, entry);
  fuzzTime(services, entry);
  if (entry.size() <= 256) fuzzFields(entry);

  const std::size_t newline = entry.find('\n');
  if (newline != std::string_view::npos) {
    const std::string_view pattern = entry.substr(0, newline), rest = entry.substr(newline + 1);
    rewrite(services, entry::kDateErrorText, [&] { return entry::FormatDateEntry(services, rest, pattern); });
    rewrite(services, entry::kTimeErrorText, [&] { return entry::FormatTimeEntry(services, rest, pattern); });
  }
  return 0;
}
