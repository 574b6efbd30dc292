// Date and time entry rules of the Kestrin control: which typed texts a date or time box
// accepts when the user leaves it, and how an accepted entry is rewritten into the box's
// pattern ("T", "T+n", "T-n" for dates around today, "N" for the current time).
//
// Internal to the control. The routines work on text alone and take what they need from the
// host (its clock and message box through host::Services, the time format as a parameter),
// so they can be exercised without a control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/services.h"

namespace kestrinx::entry {

inline constexpr std::string_view kDefaultDatePattern = "yyyy-mm-dd";
inline constexpr std::string_view kDefaultTimePattern = "hh:mm";
inline constexpr const char* kMessageTitle = "Kestrin-Ver(1.0)";
inline constexpr const char* kDateErrorText = "Unexpected Error Occured in FormatDate!";
inline constexpr const char* kTimeErrorText = "Unexpected Error Occured in FormatTime!";

// True when the host's is-numeric test accepts the single character c (a digit).
bool isNumericChar(char c);

// Date check: an entry whose first non-blank character is "T" (either case) is accepted as it
// stands; any other entry is accepted when it reads as a date once every non-digit has been
// replaced by "-" ("98.12.25", "98/12/25" and "98 12 25" are all read as "98-12-25").
// `reading` (the host's) places two-digit years and may refuse dates whose day and month swap.
bool IsDateEntry(std::string_view text, const values::DateReading& reading = {});

// Date rewrite: the left-trimmed entry in `pattern`. "T" alone, "T+" and "T-" mean today;
// "T" followed by a number n (any sign, any number of digits) means n days from today.
// When the entry cannot be rewritten (no 16-bit number after "T", a date outside the host's
// range, a text the host cannot read as a date) it shows the date error message box and
// returns nullopt. The entry is read under `reading`, as IsDateEntry reads it.
std::optional<std::string> FormatDateEntry(host::Services& services, std::string_view text,
                                           std::string_view pattern = kDefaultDatePattern,
                                           const values::DateReading& reading = {});

// Today plus n days, in the host's default date form. Throws values::AutomationError when the
// date leaves the host's date range.
std::string DateFromToday(const host::Services& services, std::int16_t n = 0);

// Time check: "N" (either case, exactly) is the current time; anything else must pass
// IsTimeOfDay under `formatTime` (a DEF_TIME_FORMAT value).
bool IsTimeEntry(std::string_view text, std::int32_t formatTime);

// Time rewrite: "N" is the current time in `pattern`; any other entry has its first non-digit
// replaced by ":" and is rendered in `pattern`. When the entry cannot be rewritten (the host
// cannot read it as a time) it shows the time error message box and returns nullopt.
std::optional<std::string> FormatTimeEntry(host::Services& services, std::string_view text,
                                           std::string_view pattern = kDefaultTimePattern);

// Time-of-day check: hours 0-23 and minutes 0-59, plus seconds 0-59 when `formatTime` is HMS,
// separated by the first non-digit of the text (every separator is taken to be that one).
// A text without any separator, a field that is not a number or does not fit a 16-bit
// integer gives false.
bool IsTimeOfDay(std::string_view text, std::int32_t formatTime);

// Field n (1-based) of `text` split at `sep`; empty when the field is missing or empty, and
// every field is empty when `sep` is empty.
std::string GetField(std::string_view text, std::string_view sep, std::int16_t n);

}  // namespace kestrinx::entry
