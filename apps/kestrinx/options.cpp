#include "options.h"

#include <cctype>
#include <optional>

#include "control/member_text.h"
#include "control/members.h"
#include "values/automation.h"
#include "values/error.h"

namespace kestrinx::cli {

namespace {

bool allDigits(const std::string& s) {
  if (s.empty()) return false;
  for (unsigned char c : s)
    if (!std::isdigit(c)) return false;
  return true;
}

int toInt(const std::string& digits) {
  int v = 0;
  for (char c : digits) v = v * 10 + (c - '0');
  return v;
}

bool leapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && leapYear(y) ? 29 : days[m - 1];
}


std::int32_t parseType(const std::string& v) {
  if (v == "numeric") return NUMERIC_TYPE;
  if (v == "date") return DATE_TYPE;
  if (v == "time") return TIME_TYPE;
  if (v == "text") return NORMAL_TYPE;
  throw UsageError("bad --type " + shown(v) + " (expected numeric, date, time or text)");
}

std::int32_t parseDateFormat(const std::string& v) {
  if (v == "yyyymmdd") return YYMMDD;
  if (v == "mmddyyyy") return MMDDYY;
  if (v == "none") return NONE;
  throw UsageError("bad --date-format " + shown(v) + " (expected yyyymmdd, mmddyyyy or none)");
}

std::int32_t parseTimeFormat(const std::string& v) {
  if (v == "hm") return HM;
  if (v == "hms") return HMS;
  if (v == "any") return ANY_TYPE;
  throw UsageError("bad --time-format " + shown(v) + " (expected hm, hms or any)");
}

// "Property=value" for --set: a published property with a put, and a value that converts to its
// type. Whether the control takes the value is known only when the put runs.
std::pair<std::string, std::string> parseSet(const std::string& text) {
  std::string name, v;
  if (!members::splitAssignment(text, name, v))
    throw UsageError("bad --set " + shown(text) + " (expected Property=value)");
  const members::Member* m = members::find(name);
  if (m == nullptr) throw UsageError("--set: no property " + shown(name) + " (see 'kestrinx members')");
  if (!m->has(members::Put) && !m->has(members::PutRef))
    throw UsageError("--set: " + std::string(m->name) + " is read-only");
  try {
    (void)values::coerce(members::valueFromText(*m, v), m->type);
  } catch (const values::AutomationError& e) {
    std::string expected(m->enumeration ? m->enumeration->name : values::autoTypeName(m->type));
    if (m->enumeration != nullptr) {
      expected += ":";
      for (const values::EnumMember& c : m->enumeration->members) expected += " " + std::string(c.name);
      expected += " or a number";
    }
    throw UsageError("--set " + std::string(m->name) + "=" + shown(v) + ": " + e.what() + " (" + expected +
                     " expected)");
  }
  return {std::string(m->name), v};
}

// The first year of the two-digit-year window: a plain year the window fits the date range from.
int parseCenturyWindow(const std::string& v) {
  if (!v.empty() && v.size() <= 4 && allDigits(v)) {
    const int year = toInt(v);
    if (year >= values::kFirstCenturyStart && year <= values::kLastCenturyStart) return year;
  }
  throw UsageError("bad --century-window " + shown(v) + " (expected a year from " +
                   std::to_string(values::kFirstCenturyStart) + " to " + std::to_string(values::kLastCenturyStart) +
                   ")");
}

// Reads the options of `kestrinx try`.
Options parseTry(const std::vector<std::string>& args, std::size_t i, const ClockReading& startClock) {
  Options o;
  o.command = Command::Try;
  std::optional<std::int32_t> type;
  std::optional<std::string> today, now;
  ClockReading clock = startClock;

  for (; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (arg.rfind("--", 0) == 0) {
      const std::size_t eq = arg.find('=');
      if (eq != std::string::npos) {
        name = arg.substr(0, eq);
        inlineValue = arg.substr(eq + 1);
      }
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
      return args[++i];
    };
    auto flag = [&]() {
      if (inlineValue) throw UsageError("option " + name + " takes no value");
    };

    if (name == "-h" || name == "--help") {
      flag();
      o.command = Command::TryHelp;
      return o;
    }
    if (name == "--type") {
      type = parseType(value());
    } else if (name == "--date-format") {
      o.session.formatDate = parseDateFormat(value());
    } else if (name == "--time-format") {
      o.session.formatTime = parseTimeFormat(value());
    } else if (name == "--today") {
      today = value();
    } else if (name == "--now") {
      now = value();
    } else if (name == "--caption") {
      o.session.caption = value();
    } else if (name == "--set") {
      o.session.sets.push_back(parseSet(value()));
    } else if (name == "--left") {
      flag();
      o.session.leftAlign = true;
    } else if (name == "--no-separators") {
      flag();
      o.session.separators = false;
    } else if (name == "--beep") {
      flag();
      o.session.invalidBeep = true;
    } else if (name == "--no-beep") {
      flag();
      o.session.invalidBeep = false;
    } else if (name == "--json") {
      flag();
      o.json = true;
    } else if (name == "--batch") {
      flag();
      o.batch = true;
    } else if (name == "--strict") {
      flag();
      o.strict = true;
    } else if (name == "--century-window") {
      o.session.dateReading.centuryStart = parseCenturyWindow(value());
    } else if (name == "--strict-dates") {
      flag();
      o.session.dateReading.strictOrder = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw UsageError("unknown option " + shown(name) + " (see 'kestrinx try --help')");
    } else {
      throw UsageError("unexpected argument " + shown(arg));
    }
  }

  if (!type) throw UsageError("try needs --type numeric|date|time|text");
  o.session.kestrinType = *type;
  if (today && !parseDateOption(*today, clock))
    throw UsageError("bad --today " + shown(*today) + " (expected a calendar date YYYY-MM-DD)");
  if (now && !parseTimeOption(*now, clock))
    throw UsageError("bad --now " + shown(*now) + " (expected HH:MM:SS, hours 0-23, minutes and seconds 0-59)");
  o.session.clock = clock;
  return o;
}

}  // namespace

std::string shown(const std::string& arg) {
  std::string out = "'";
  for (unsigned char c : arg) {
    if (out.size() > 60) {
      out += "...";
      break;
    }
    out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
  }
  return out + "'";
}

bool parseDateOption(const std::string& text, ClockReading& clock) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
  const std::string y = text.substr(0, 4), m = text.substr(5, 2), d = text.substr(8, 2);
  if (!allDigits(y) || !allDigits(m) || !allDigits(d)) return false;
  const int year = toInt(y), month = toInt(m), day = toInt(d);
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return false;
  clock.year = year;
  clock.month = month;
  clock.day = day;
  return true;
}

bool parseTimeOption(const std::string& text, ClockReading& clock) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ':')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  if (fields.size() < 2 || fields.size() > 3) return false;
  if (fields[0].size() > 2 || !allDigits(fields[0])) return false;
  for (std::size_t i = 1; i < fields.size(); ++i)
    if (fields[i].size() != 2 || !allDigits(fields[i])) return false;
  const int hour = toInt(fields[0]), minute = toInt(fields[1]);
  const int second = fields.size() == 3 ? toInt(fields[2]) : 0;
  if (hour > 23 || minute > 59 || second > 59) return false;
  clock.hour = hour;
  clock.minute = minute;
  clock.second = second;
  return true;
}

Options parseOptions(const std::vector<std::string>& args, const ClockReading& startClock) {
  if (args.empty()) throw UsageError("missing command (see 'kestrinx --help')");
  const std::string& first = args[0];
  if (first == "-h" || first == "--help" || first == "help") {
    if (args.size() > 1) throw UsageError("unexpected argument " + shown(args[1]));
    return Options{};
  }
  if (first == "try") return parseTry(args, 1, startClock);
  if (first == "members") {
    Options o;
    o.command = Command::Members;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--json")
        o.json = true;
      else
        throw UsageError("members: unexpected argument " + shown(args[i]) + " (only --json)");
    }
    return o;
  }
  if (first == "form") {
    Options o;
    o.command = Command::Form;
    o.formArgs.assign(args.begin() + 1, args.end());
    o.session.clock = startClock;
    return o;
  }
  if (first == "typelib") {
    if (args.size() < 2 || args[1] != "dump")
      throw UsageError("typelib: expected 'typelib dump [FILE]'");
    if (args.size() > 3) throw UsageError("typelib dump: unexpected argument " + shown(args[3]));
    Options o;
    o.command = Command::TypelibDump;
    if (args.size() == 3) {
      if (args[2].empty() || args[2][0] == '-')
        throw UsageError("typelib dump: unknown option " + shown(args[2]));
      o.typelibFile = args[2];
    }
    return o;
  }
  if (!first.empty() && first[0] == '-')
    throw UsageError("unknown option " + shown(first) + " (see 'kestrinx --help')");
  throw UsageError("unknown command " + shown(first) + " (see 'kestrinx --help')");
}

std::string mainHelp() {
  return "kestrinx - try the Kestrin entry box from a terminal, or check and normalise entries the\n"
         "way the box does.\n"
         "\n"
         "Commands:\n"
         "  try ...            type into a Kestrin box (below)\n"
         "  members [--json]   the control's published members, events and enumerations\n"
         "  typelib dump [FILE]  the type library as a listing: FILE, or without FILE the library\n"
         "                     this build writes\n"
         "  form new|show|set|try ...  form files: place controls on a new form, list a form,\n"
         "                     set properties, try a control (see 'kestrinx form --help')\n"
         "  registry register|unregister|list [--registry FILE] [--library FILE]\n"
         "                     register libKestrinX.so, remove its registration, list the registry\n"
         "  invoke FORM CONTROL MEMBER [VALUE]\n"
         "                     read, set or call a member by name or identifier ('-' FORM: a new control)\n"
         "\n" +
         tryHelp();
}

std::string tryHelp() {
  return R"(Usage: kestrinx try --type numeric|date|time|text [options]

Puts one Kestrin box on a form, set up as a newly placed control (three-dimensional box with its
caption, thousands separators, numbers right-aligned, red invalid colour), with two additions: the
box turns yellow while it is being edited, and an invalid entry sounds two beeps (counted and
reported). Every key goes through the box's own key handling; leaving the box runs its check.

Options:
  --type TYPE          numeric, date, time or text (required)
  --date-format FMT    how a date box rewrites a valid date: yyyymmdd (2026-12-09, the default),
                       mmddyyyy (12-09-2026) or none (checked as typed, never rewritten)
  --time-format FMT    how a time box rewrites a valid time: hm (09:30, the default),
                       hms (09:30:15, seconds required) or any (checked as typed, never rewritten)
  --left               numbers left-aligned (default: right-aligned by leading spaces)
  --no-separators      numbers without thousands separators
  --beep               two beeps on an invalid entry (the default); in the interactive box each
                       beep rings the terminal bell
  --no-beep            no beeps (beeps=0 always)
  --today YYYY-MM-DD   the form's date (default: the local date when the tool starts)
  --now HH:MM[:SS]     the form's time of day (default: the local time when the tool starts)
  --caption TEXT       the caption beside the box (default: Kestrin1, the instance name)
  --set Property=VALUE set any published property through the control's own put before typing,
                       by name in any case (repeatable; 'kestrinx members' lists them). Values
                       convert as an automation client's would: Alignment=4, BackColor=255,
                       NumSeparatorUse=False, Font=Arial,12,bold
  --json               one JSON object per entry; always line by line
  --batch              line by line even when standard input is a terminal
  --strict             exit with status 1 when any entry is invalid
  --century-window YEAR  a one- or two-digit year is the year from YEAR to YEAR+99 that ends in
                       those digits (default 1930: 00-29 are 2000-2029, 30-99 are 1930-1999)
  --strict-dates       a date whose day and month could be read either way ("04/12/26": April 12
                       or December 4) is invalid instead of read month-first
  -h, --help           this help

Interactive box (standard input and output are a terminal, and neither --json nor --batch):
  What you type goes into the box. Backspace, Delete, Left, Right, Home and End edit as usual.
  Tab or Enter leaves the box and shows the outcome; typing again goes back into the box.
  Esc, Ctrl-C or Ctrl-D quits. The box shows its background colour: white for the normal and
  valid colours, yellow while editing, red when invalid; the caret is the terminal's cursor.
  After the box: the outcome, ValidState, the beeps of the last check and its last message box.

Line by line (standard input is not a terminal, or --json, or --batch):
  Each input line (a trailing CR is dropped) is typed key by key into a fresh box, the box is
  left, and one result line is printed:
    valid   "1,234,567"  pad=22 colour=valid beeps=0
    invalid "12:60"  colour=invalid beeps=2
    invalid "Today"  colour=invalid beeps=2 message="Unexpected Error Occured in FormatDate!"
  status    valid or invalid: the box's ValidState after the check
  "text"    the box's text after the check, as a JSON string literal. The spaces a numeric box
            puts in front of a number to right-align it are left out and counted by pad=N.
  colour=   normal, edit, valid or invalid: the role of the box's background (its OLE colour in
            hexadecimal when it is none of these)
  beeps=    beeps sounded by the check
  message=  the text of each message box the check showed
  truncated=TYPED/READ  the line was longer than 4096 bytes: only its first 4096 bytes were typed
  error=    a run-time error stopped the check
  With --json each line is one object:
    {"input":"1234567","text":"1,234,567","boxText":"    1,234,567","pad":4,"valid":true,
     "colour":"valid","backColor":"0x80000005","beeps":0,"messages":[],"truncated":false}
  ("inputBytes" and "error" are added when they apply.) Every string is valid UTF-8: control
  characters, and bytes that do not form UTF-8, are written as \u00XX with the byte's value.

Keys a box refuses are not typed: a numeric box takes only digits and , - . / so "T+1" typed
into it becomes "1". Text, date and time boxes take every printable key.

Date shortcuts (date box with a date format):
  T          today
  T+n, T-n   n days after, before today (T+1 is tomorrow)
  Tn         n days ahead (T10 is ten days from today)
Time shortcut (time box with hm or hms):
  N          the time now
Reading a date: fields separated by - / . or space. When the first field has four digits or is
greater than 31 the date is read year-month-day, otherwise month-day-year (12-25-98). Two-digit
years 00-29 are 2000-2029, 30-99 are 1930-1999.
Reading a time: hours, minutes and (for hms) seconds separated by : or . (9.30 is 09:30); hours
0-23, minutes and seconds 0-59; a time without a separator (1230) is invalid. A date or time the
box cannot rewrite shows a message box (reported as message=) and stays as typed, invalid.

Exit status: 0 when every line was checked (invalid entries included); 1 with --strict when an
entry was invalid, or when a check failed with an error; 2 for a bad option or argument.
)";
}

}  // namespace kestrinx::cli
