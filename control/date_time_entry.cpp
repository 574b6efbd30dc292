// Date and time entry rules: the checks a date or time box applies when the user leaves it
// and the rewrites of accepted entries into the box's pattern.
#include "control/date_time_entry.h"

#include <algorithm>
#include <array>

#include "control/kestrin.h"
#include "values/error.h"
#include "values/functions.h"
#include "values/variant.h"

namespace kestrinx::entry {

namespace {

constexpr std::string_view kTodayLetter = "T";
constexpr std::string_view kNowEntry = "N";
constexpr char kDateCheckSeparator = '-';
constexpr char kTimeSeparator = ':';
constexpr std::int16_t kMaxHour = 23, kMaxMinute = 59, kMaxSecond = 59;

bool startsWithToday(const std::string& s) { return values::upperCase(values::left(s, 1)) == kTodayLetter; }

// The day offset written after "T". An entry of at most two characters means today unless its
// second character is a digit ("T5" is five days ahead); so do "+" or "-" alone after the "T".
// Otherwise the rest is converted to a 16-bit integer (error 13 when it is no number, 6 when it
// does not fit).
std::int16_t todayOffset(const std::string& s) {
  if (s.size() <= 2 && !(s.size() == 2 && isNumericChar(s[1]))) return 0;
  const std::string rest = values::trim(std::string_view(s).substr(1));
  if (rest.empty() || rest == "+" || rest == "-") return 0;
  return values::Variant::string(rest).toInteger();
}

// True when `field` is a number that, as a 16-bit integer, lies in 0..highest. A field too
// large for a 16-bit integer is no time field.
bool fieldInRange(const std::string& field, std::int16_t highest) {
  if (!values::isNumeric(field)) return false;
  const std::int16_t v = values::Variant::string(field).toInteger();
  return v >= 0 && v <= highest;
}

}  // namespace

bool isNumericChar(char c) {
  // The host's answer for every single byte, asked once: the filter asks on every keystroke.
  static const std::array<bool, 256> numeric = [] {
    std::array<bool, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
      const char ch = static_cast<char>(static_cast<unsigned char>(i));
      table[i] = values::isNumeric(std::string_view(&ch, 1));
    }
    return table;
  }();
  return numeric[static_cast<unsigned char>(c)];
}

bool IsDateEntry(std::string_view text, const values::DateReading& reading) {
  std::string s = values::ltrim(text);
  if (startsWithToday(s)) return true;
  std::replace_if(s.begin(), s.end(), [](char c) { return !isNumericChar(c); }, kDateCheckSeparator);
  return values::isDate(s, reading);
}

std::string DateFromToday(const host::Services& services, std::int16_t n) {
  return values::defaultDateText(values::addDays(n, services.today()));
}

std::optional<std::string> FormatDateEntry(host::Services& services, std::string_view text, std::string_view pattern,
                                           const values::DateReading& reading) {
  try {
    const std::string s = values::ltrim(text);
    if (startsWithToday(s)) return values::format(DateFromToday(services, todayOffset(s)), pattern);
    // The pattern is applied to the entry as typed; one the host cannot read as a date would
    // come back unchanged, so it counts as a failed rewrite.
    if (values::isDate(s, reading)) return values::format(s, pattern, reading);
  } catch (const values::AutomationError&) {
    // reported below
  }
  services.msgBox(kDateErrorText, host::MsgBoxButtons::OkOnly, kMessageTitle);
  return std::nullopt;
}

bool IsTimeEntry(std::string_view text, std::int32_t formatTime) {
  return values::upperCase(text) == kNowEntry || IsTimeOfDay(text, formatTime);
}

std::optional<std::string> FormatTimeEntry(host::Services& services, std::string_view text, std::string_view pattern) {
  try {
    if (values::upperCase(text) == kNowEntry)
      return values::format(values::Variant::date(services.timeOfDay()), pattern);
    std::string t(text);
    const auto sep = std::find_if(t.begin(), t.end(), [](char c) { return !isNumericChar(c); });
    if (sep != t.end()) *sep = kTimeSeparator;
    if (values::isDate(t)) return values::format(t, pattern);
  } catch (const values::AutomationError&) {
    // reported below
  }
  services.msgBox(kTimeErrorText, host::MsgBoxButtons::OkOnly, kMessageTitle);
  return std::nullopt;
}

bool IsTimeOfDay(std::string_view text, std::int32_t formatTime) {
  try {
    const auto first = std::find_if(text.begin(), text.end(), [](char c) { return !isNumericChar(c); });
    const std::string sep = first == text.end() ? std::string() : std::string(1, *first);
    const std::string h = GetField(text, sep, 1);
    const std::string m = GetField(text, sep, 2);
    if (!fieldInRange(h, kMaxHour) || !fieldInRange(m, kMaxMinute)) return false;
    if (formatTime == HMS) return fieldInRange(GetField(text, sep, 3), kMaxSecond);
    return true;
  } catch (const values::AutomationError&) {
    return false;
  }
}

std::string GetField(std::string_view text, std::string_view sep, std::int16_t n) {
  // 1-based positions into text + sep, so the last field ends at a separator too.
  const auto length = static_cast<std::int64_t>(text.size());
  std::string work(text);
  work += sep;
  std::int64_t start = 0, pos = 0;
  for (std::int16_t i = 0; i < n; ++i) {
    start = pos + 1;
    const auto found = work.find(sep, static_cast<std::size_t>(start - 1));
    if (found == std::string::npos) return {};  // fewer fields than n
    pos = static_cast<std::int64_t>(found) + 1;
  }
  const std::int64_t len = pos - start;
  if (length >= start && len > 0) return work.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len));
  return {};
}

}  // namespace kestrinx::entry
