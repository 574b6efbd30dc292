// Command-line arguments of the kestrinx tool: what to run and how the control is set up.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "session.h"

namespace kestrinx::cli {

enum class Command : std::uint8_t { Help, TryHelp, Try, Members, TypelibDump, Form };

struct Options {
  Command command = Command::Help;
  SessionConfig session;
  bool json = false;    // one JSON object per line
  bool batch = false;   // line by line even from a terminal
  bool strict = false;  // exit 1 when any entry is invalid
  std::optional<std::string> typelibFile;  // typelib dump: the file, or the built-in library
  std::vector<std::string> formArgs;        // form: its arguments, read by the form command
};

// A bad option or argument; the message says what is wrong, in one line.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. `startClock` is the clock reading to use when
// --today or --now is not given. Throws UsageError.
Options parseOptions(const std::vector<std::string>& args, const ClockReading& startClock);

// Parses "YYYY-MM-DD" (a real calendar date, years 100 to 9999) into the date fields of `clock`.
bool parseDateOption(const std::string& text, ClockReading& clock);
// Parses "HH:MM" or "HH:MM:SS" (hours 0-23, minutes and seconds 0-59) into the time fields.
bool parseTimeOption(const std::string& text, ClockReading& clock);

// Quotes an argument for an error message, keeping the message on one line and printable.
std::string shown(const std::string& arg);

std::string mainHelp();
std::string tryHelp();

}  // namespace kestrinx::cli
