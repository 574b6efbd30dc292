// kestrinx: try the Kestrin entry box from a terminal, or check and normalise entries with it.
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <exception>
#include <string>
#include <vector>

#include "batch.h"
#include "form_cmd.h"
#include "invoke_cmd.h"
#include "members_cmd.h"
#include "options.h"
#include "registry_cmd.h"
#include "terminal.h"
#include "typelib_cmd.h"
#include "values/error.h"

namespace {

using namespace kestrinx::cli;

// The local date and time, read once when the tool starts.
ClockReading localClock() {
  ClockReading c;
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  if (t == static_cast<std::time_t>(-1) || localtime_r(&t, &tm) == nullptr) return c;
  c.year = tm.tm_year + 1900;
  c.month = tm.tm_mon + 1;
  c.day = tm.tm_mday;
  c.hour = tm.tm_hour;
  c.minute = tm.tm_min;
  c.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second reads as :59
  return c;
}

int run(const Options& options) {
  switch (options.command) {
    case Command::Help: std::fputs(mainHelp().c_str(), stdout); return 0;
    case Command::TryHelp: std::fputs(tryHelp().c_str(), stdout); return 0;
    case Command::Members:
      writeMembers(stdout, options.json ? ListingFormat::Json : ListingFormat::Table);
      return 0;
    case Command::TypelibDump: return runTypelibDump(options.typelibFile, stdout, stderr);
    case Command::Form: return runForm(options.formArgs, options.session.clock, stdout, stderr);
    case Command::Try: break;
  }
  // The properties given with --set go through the control's own puts; one the control refuses
  // is a bad argument, reported before anything is typed.
  if (!options.session.sets.empty()) {
    try {
      Session probe(options.session);
    } catch (const kestrinx::values::AutomationError& e) {
      std::fprintf(stderr, "kestrinx: --set %s (error %d)\n", e.what(), static_cast<int>(e.number()));
      return 2;
    }
  }
  const bool interactive = !options.json && !options.batch && ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
  if (interactive) return runInteractive(options.session);

  const BatchSummary summary =
      runBatch(stdin, stdout, options.session, options.json ? OutputFormat::Json : OutputFormat::Human);
  if (std::ferror(stdin)) {
    std::fputs("kestrinx: error reading standard input\n", stderr);
    return 1;
  }
  if (summary.errors > 0) return 1;
  if (options.strict && summary.invalid > 0) return 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  // Commands that read their own arguments.
  if (!args.empty() && (args[0] == "registry" || args[0] == "invoke")) {
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
      return args[0] == "registry" ? registryCommand(rest, stdout, stderr) : invokeCommand(rest, stdout, stderr);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "kestrinx: %s\n", e.what());
      return 1;
    }
  }
  Options options;
  try {
    options = parseOptions(args, localClock());
  } catch (const UsageError& e) {
    std::fprintf(stderr, "kestrinx: %s\n", e.what());
    return 2;
  }
  try {
    return run(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kestrinx: %s\n", e.what());
    return 1;
  }
}
