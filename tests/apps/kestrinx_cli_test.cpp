// The kestrinx command-line tool, run as a subprocess: line-by-line results for each box type,
// JSON output, option errors, hostile input, and the interactive box on a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
  int exitCode = -1;  // -1 when the tool did not exit normally
  int signal = 0;
  std::string out, err;
};

// Runs the tool with `args`, feeding `input` on standard input while reading both outputs.
ToolRun runTool(const std::vector<std::string>& args, const std::string& input) {
  int in[2], out[2], err[2];
  if (::pipe(in) != 0 || ::pipe(out) != 0 || ::pipe(err) != 0) ADD_FAILURE() << "pipe: " << std::strerror(errno);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
    std::vector<char*> argv{const_cast<char*>(KESTRINX_CLI_PATH)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(KESTRINX_CLI_PATH, argv.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  ::signal(SIGPIPE, SIG_IGN);
  ::fcntl(in[1], F_SETFL, O_NONBLOCK);

  ToolRun run;
  std::size_t written = 0;
  int inFd = in[1];
  if (input.empty()) {
    ::close(inFd);
    inFd = -1;
  }
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {inFd, POLLOUT, 0}};
    const nfds_t n = inFd >= 0 ? 3 : 2;
    if (::poll(fds, n, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    char buf[65536];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t r = ::read(fds[i].fd, buf, sizeof buf);
      if (r > 0) {
        (i == 0 ? run.out : run.err).append(buf, static_cast<std::size_t>(r));
      } else {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
    if (inFd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t w = ::write(inFd, input.data() + written, input.size() - written);
      if (w > 0) written += static_cast<std::size_t>(w);
      if (w < 0 && errno != EAGAIN) written = input.size();
      if (written == input.size()) {
        ::close(inFd);
        inFd = -1;
      }
    }
  }
  if (inFd >= 0) ::close(inFd);
  ::close(out[0]);
  ::close(err[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> out;
  std::istringstream in(s);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

// True when `s` is well-formed UTF-8 with no control characters other than "\n".
bool cleanUtf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if ((c < 0x20 && c != '\n') || c == 0x7f) return false;
      ++i;
      continue;
    }
    std::size_t n = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.rfind(prefix, 0) == 0; }

// ---- line-by-line results -------------------------------------------------------------------

struct EntryRow {
  const char* name;
  std::vector<std::string> args;
  const char* input;
  const char* expectedStart;  // the start of the result line
};

void PrintTo(const EntryRow& row, std::ostream* os) { *os << row.name; }

class EntryResults : public ::testing::TestWithParam<EntryRow> {};

TEST_P(EntryResults, PrintsTheBoxOutcome) {
  const EntryRow& row = GetParam();
  std::vector<std::string> args{"try"};
  args.insert(args.end(), row.args.begin(), row.args.end());
  const ToolRun run = runTool(args, std::string(row.input) + "\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const std::vector<std::string> out = lines(run.out);
  ASSERT_EQ(out.size(), 1u) << run.out;
  EXPECT_TRUE(startsWith(out[0], row.expectedStart)) << out[0];
}

const std::vector<std::string> kNumeric{"--type", "numeric"};
const std::vector<std::string> kDate{"--type", "date", "--today", "2026-12-09"};
const std::vector<std::string> kTime{"--type", "time", "--now", "13:45:10"};

INSTANTIATE_TEST_SUITE_P(
    Kestrinx, EntryResults,
    ::testing::Values(
        EntryRow{"numeric_grouped_and_padded", kNumeric, "1234567", "valid   \"1,234,567\"  pad="},
        EntryRow{"numeric_keeps_dashes_then_fails_the_check", kNumeric, "12-25-98", "invalid \"12-25-98\""},
        EntryRow{"numeric_refuses_letters_and_plus", kNumeric, "T+1", "valid   \"1\"  pad="},
        EntryRow{"numeric_point_stops_grouping", kNumeric, "1234.567", "valid   \"1,234.567\""},
        EntryRow{"numeric_left_aligned_has_no_pad", {"--type", "numeric", "--left"}, "1234", "valid   \"1,234\"  colour="},
        EntryRow{"numeric_without_separators", {"--type", "numeric", "--no-separators", "--left"}, "1234567",
                 "valid   \"1234567\"  colour=valid"},
        EntryRow{"date_month_day_year", kDate, "12-25-98", "valid   \"1998-12-25\"  colour=valid beeps=0"},
        EntryRow{"date_tomorrow", kDate, "T+1", "valid   \"2026-12-10\""},
        EntryRow{"date_plain_number_is_invalid", kDate, "1234567", "invalid \"1234567\"  colour=invalid beeps=2"},
        EntryRow{"date_month_first_pattern", {"--type", "date", "--date-format", "mmddyyyy", "--today", "2026-12-09"},
                 "T", "valid   \"12-09-2026\""},
        EntryRow{"date_century_window", {"--type", "date", "--century-window", "1950"}, "12/25/49",
                 "valid   \"2049-12-25\""},
        EntryRow{"date_strict_refuses_swappable_day_and_month", {"--type", "date", "--strict-dates"}, "04/12/26",
                 "invalid \"04/12/26\""},
        EntryRow{"date_strict_without_format", {"--type", "date", "--date-format", "none", "--strict-dates"},
                 "04/12/26", "invalid \"04/12/26\""},
        EntryRow{"date_without_format_never_rewrites", {"--type", "date", "--date-format", "none"}, "12/25/98",
                 "valid   \"12/25/98\""},
        EntryRow{"time_dot_separator", kTime, "9.30", "valid   \"09:30\""},
        EntryRow{"time_hour_24_invalid", kTime, "24:00", "invalid \"24:00\"  colour=invalid beeps=2"},
        EntryRow{"time_now", kTime, "N", "valid   \"13:45\""},
        EntryRow{"time_now_with_seconds", {"--type", "time", "--time-format", "hms", "--now", "08:07:06"}, "n",
                 "valid   \"08:07:06\""},
        EntryRow{"time_hms_needs_seconds", {"--type", "time", "--time-format", "hms"}, "12:30", "invalid \"12:30\""},
        EntryRow{"time_any_keeps_text", {"--type", "time", "--time-format", "any"}, "7:05", "valid   \"7:05\""},
        EntryRow{"no_beep_counts_no_beeps", {"--type", "time", "--no-beep"}, "24:00", "invalid \"24:00\"  colour=invalid beeps=0"},
        EntryRow{"text_takes_anything", {"--type", "text"}, "any thing", "valid   \"any thing\"  colour=normal beeps=0"},
        EntryRow{"text_quoted_as_json", {"--type", "text"}, "say \"hi\"\\", "valid   \"say \\\"hi\\\"\\\\\""}),
    [](const ::testing::TestParamInfo<EntryRow>& info) { return std::string(info.param.name); });

TEST(KestrinxBatch, OneResultPerLineInOrder) {
  const ToolRun run = runTool({"try", "--type", "numeric"}, "1234567\n12-25-98\nT+1\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  const std::vector<std::string> out = lines(run.out);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_TRUE(startsWith(out[0], "valid   \"1,234,567\""));
  EXPECT_TRUE(startsWith(out[1], "invalid \"12-25-98\""));
  EXPECT_TRUE(startsWith(out[2], "valid   \"1\""));
}

TEST(KestrinxBatch, FailedRewriteReportsItsMessageBox) {
  const ToolRun run = runTool({"try", "--type", "date"}, "Today\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.out.find("message=\"Unexpected Error Occured in FormatDate!\""), std::string::npos) << run.out;
}

TEST(KestrinxBatch, CarriageReturnAndMissingFinalNewline) {
  const ToolRun run = runTool({"try", "--type", "date", "--today", "2026-12-09"}, "T+1\r\nT-1");
  const std::vector<std::string> out = lines(run.out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(startsWith(out[0], "valid   \"2026-12-10\"")) << out[0];
  EXPECT_TRUE(startsWith(out[1], "valid   \"2026-12-08\"")) << out[1];
}

TEST(KestrinxBatch, EmptyInputPrintsNothing) {
  const ToolRun run = runTool({"try", "--type", "time"}, "");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
}

TEST(KestrinxBatch, StrictFailsOnlyWhenAnEntryIsInvalid) {
  EXPECT_EQ(runTool({"try", "--type", "time", "--strict"}, "12:30\n24:00\n").exitCode, 1);
  EXPECT_EQ(runTool({"try", "--type", "time", "--strict"}, "12:30\n9.15\n").exitCode, 0);
  EXPECT_EQ(runTool({"try", "--type", "time"}, "24:00\n").exitCode, 0);
}

// ---- JSON -----------------------------------------------------------------------------------

TEST(KestrinxJson, CarriesEveryField) {
  const ToolRun run = runTool({"try", "--type", "numeric", "--json"}, "1234567\n12-25-98\n");
  ASSERT_EQ(run.exitCode, 0);
  const std::vector<std::string> out = lines(run.out);
  ASSERT_EQ(out.size(), 2u);
  for (const char* field : {"{\"input\":\"1234567\"", "\"text\":\"1,234,567\"", "\"valid\":true", "\"colour\":\"valid\"",
                            "\"backColor\":\"0x80000005\"", "\"beeps\":0", "\"messages\":[]", "\"truncated\":false"})
    EXPECT_NE(out[0].find(field), std::string::npos) << field << " in " << out[0];
  EXPECT_NE(out[0].find("\"boxText\":\" "), std::string::npos) << "alignment spaces stay in boxText";
  for (const char* field : {"\"valid\":false", "\"colour\":\"invalid\"", "\"backColor\":\"0x000000FF\"", "\"beeps\":2"})
    EXPECT_NE(out[1].find(field), std::string::npos) << field << " in " << out[1];
  EXPECT_EQ(out[0].back(), '}');
}

TEST(KestrinxJson, MessagesAreListed) {
  const ToolRun run = runTool({"try", "--type", "date", "--json"}, "T99999\n");
  EXPECT_NE(run.out.find("\"messages\":[\"Unexpected Error Occured in FormatDate!\"]"), std::string::npos) << run.out;
}

TEST(KestrinxJson, EscapesEveryByteIntoValidUtf8) {
  // Quote, backslash, tab, a control byte, a stray 0xFF, a cut-off sequence, a real "é", an
  // overlong "/", an encoded surrogate, then a real four-byte character.
  const std::string input = std::string("a\"b\\c\t\x01\xff\xe2\x82") + "\xc3\xa9" + "\xc0\xaf" + "\xed\xa0\x80" +
                            "\xf0\x9f\x98\x80\n";
  const ToolRun run = runTool({"try", "--type", "text", "--json"}, input);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_TRUE(cleanUtf8(run.out)) << run.out;
  EXPECT_NE(run.out.find("\"input\":\"a\\\"b\\\\c\\t\\u0001\\u00FF\\u00E2\\u0082\xc3\xa9"
                         "\\u00C0\\u00AF\\u00ED\\u00A0\\u0080\xf0\x9f\x98\x80\""),
            std::string::npos)
      << run.out;
}

// ---- options ----------------------------------------------------------------------------------

struct BadArgsRow {
  const char* name;
  std::vector<std::string> args;
  const char* mentions;  // a word the one-line message must contain
};

void PrintTo(const BadArgsRow& row, std::ostream* os) { *os << row.name; }

class BadArguments : public ::testing::TestWithParam<BadArgsRow> {};

TEST_P(BadArguments, ExitTwoWithOneLine) {
  const BadArgsRow& row = GetParam();
  const ToolRun run = runTool(row.args, "1\n");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  const std::vector<std::string> err = lines(run.err);
  ASSERT_EQ(err.size(), 1u) << run.err;
  EXPECT_TRUE(startsWith(err[0], "kestrinx: ")) << err[0];
  EXPECT_NE(err[0].find(row.mentions), std::string::npos) << err[0];
}

INSTANTIATE_TEST_SUITE_P(
    Kestrinx, BadArguments,
    ::testing::Values(BadArgsRow{"no_command", {}, "command"}, BadArgsRow{"unknown_command", {"tri"}, "tri"},
                      BadArgsRow{"unknown_option", {"try", "--type", "date", "--colour"}, "--colour"},
                      BadArgsRow{"missing_type", {"try"}, "--type"},
                      BadArgsRow{"missing_value", {"try", "--type"}, "--type"},
                      BadArgsRow{"bad_type", {"try", "--type", "money"}, "money"},
                      BadArgsRow{"bad_date_format", {"try", "--type", "date", "--date-format", "ddmmyyyy"}, "ddmmyyyy"},
                      BadArgsRow{"bad_time_format", {"try", "--type", "time", "--time-format", "h"}, "--time-format"},
                      BadArgsRow{"date_not_in_calendar", {"try", "--type", "date", "--today", "2026-02-30"}, "2026-02-30"},
                      BadArgsRow{"february_29_outside_leap_year", {"try", "--type", "date", "--today", "2025-02-29"},
                                 "--today"},
                      BadArgsRow{"date_wrong_shape", {"try", "--type", "date", "--today", "12/09/2026"}, "--today"},
                      BadArgsRow{"hour_25", {"try", "--type", "time", "--now", "25:00:00"}, "25:00:00"},
                      BadArgsRow{"minute_60", {"try", "--type", "time", "--now", "12:60"}, "--now"},
                      BadArgsRow{"extra_argument", {"try", "--type", "date", "tomorrow"}, "tomorrow"},
                      BadArgsRow{"flag_with_value", {"try", "--type", "date", "--json=yes"}, "--json"},
                      BadArgsRow{"control_bytes_in_argument", {"try", "--type", "da\nte"}, "da?te"},
                      BadArgsRow{"set_unknown_property", {"try", "--type", "date", "--set", "Colour=1"}, "Colour"},
                      BadArgsRow{"set_without_value", {"try", "--type", "date", "--set", "Caption"}, "Property=value"},
                      BadArgsRow{"set_get_only_member", {"try", "--type", "date", "--set", "hWnd=1"}, "read-only"},
                      BadArgsRow{"set_value_not_converting", {"try", "--type", "date", "--set", "Interval=abc"},
                                 "Type mismatch"},
                      BadArgsRow{"set_refused_by_the_control", {"try", "--type", "date", "--set", "ValidState=1"},
                                 "393"},
                      BadArgsRow{"century_window_not_a_year", {"try", "--type", "date", "--century-window", "19x0"},
                                 "--century-window"},
                      BadArgsRow{"century_window_past_the_range", {"try", "--type", "date", "--century-window", "9901"},
                                 "9901"},
                      BadArgsRow{"century_window_missing", {"try", "--type", "date", "--century-window"},
                                 "--century-window"},
                      BadArgsRow{"strict_dates_with_value", {"try", "--type", "date", "--strict-dates=1"},
                                 "--strict-dates"},
                      BadArgsRow{"members_with_argument", {"members", "--all"}, "--all"}),
    [](const ::testing::TestParamInfo<BadArgsRow>& info) { return std::string(info.param.name); });

TEST(KestrinxMembers, SetPutsPropertiesByNameBeforeTyping) {
  const ToolRun run = runTool({"try", "--type", "numeric", "--set", "numalignment=left_align", "--set",
                               "NumSeparatorUse=False", "--set", "Caption=Amount"},
                              "1234567\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "valid   \"1234567\"  colour=valid beeps=0\n");
}

TEST(KestrinxMembers, ListsEveryMemberEventAndEnumeration) {
  const ToolRun table = runTool({"members"}, "");
  EXPECT_EQ(table.exitCode, 0);
  EXPECT_NE(table.out.find("48 members, 91 function entries"), std::string::npos);
  EXPECT_NE(table.out.find("0x6803001F  Alignment"), std::string::npos);
  const ToolRun json = runTool({"members", "--json"}, "");
  EXPECT_EQ(json.exitCode, 0);
  const auto count = [&](const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t at = json.out.find(needle); at != std::string::npos; at = json.out.find(needle, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count("\"slot\":"), 48u);
  EXPECT_EQ(count("\"raised\":"), 15u);
  EXPECT_EQ(count("\"guid\":"), 7u);
}

TEST(KestrinxOptions, LeapDayAndShortTimeAreAccepted) {
  const ToolRun run = runTool({"try", "--type", "date", "--today", "2024-02-29", "--now", "7:05"}, "T+1\n");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(startsWith(run.out, "valid   \"2024-03-01\"")) << run.out;
}

TEST(KestrinxOptions, HelpExplainsOptionsAndShortcuts) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"try", "--help"}}) {
    const ToolRun run = runTool(args, "");
    EXPECT_EQ(run.exitCode, 0);
    for (const char* word : {"--type", "--date-format", "--time-format", "--left", "--no-separators", "--today",
                             "--now", "--json", "--beep", "--caption", "--batch", "--strict", "T+n", "T-n", "Tn",
                             " N ", "four digits", "00-29", "Esc", "Tab", "beeps="})
      EXPECT_NE(run.out.find(word), std::string::npos) << word;
  }
}

// ---- hostile input ----------------------------------------------------------------------------

TEST(KestrinxHostileInput, BinaryGarbageAndHugeLinesNeverCrash) {
  std::mt19937 rng(12345);
  std::string garbage;
  for (int i = 0; i < 50000; ++i) garbage += static_cast<char>(rng() & 0xFF);
  garbage += std::string(100000, '7') + "\n" + std::string(100000, '\0') + "\n" + std::string(100000, 'T') + "\n";
  const auto expectedLines = static_cast<std::size_t>(std::count(garbage.begin(), garbage.end(), '\n'));

  for (const char* type : {"numeric", "date", "time", "text"}) {
    for (const char* format : {"--batch", "--json"}) {
      const ToolRun run = runTool({"try", "--type", type, format, "--today", "2026-12-09"}, garbage);
      EXPECT_EQ(run.signal, 0) << type << format;
      EXPECT_EQ(run.exitCode, 0) << type << format << run.err;
      EXPECT_EQ(lines(run.out).size(), expectedLines) << type << format;
      EXPECT_TRUE(cleanUtf8(run.out)) << type << format;
    }
  }
}

TEST(KestrinxHostileInput, LongLineIsCutAndReported) {
  const ToolRun run = runTool({"try", "--type", "numeric"}, std::string(100000, '1') + "\n");
  ASSERT_EQ(run.exitCode, 0);
  // The numeric box stops taking digits at fifteen; the cut is reported.
  EXPECT_TRUE(startsWith(run.out, "valid   \"111,111,111,111,111\"")) << run.out;
  EXPECT_NE(run.out.find("truncated=4096/100000"), std::string::npos) << run.out;

  const ToolRun json = runTool({"try", "--type", "text", "--json"}, std::string(5000, 'x') + "\n");
  EXPECT_NE(json.out.find("\"truncated\":true,\"inputBytes\":5000"), std::string::npos);
  EXPECT_NE(json.out.find("\"text\":\"" + std::string(4096, 'x') + "\""), std::string::npos);
}

// ---- the interactive box ----------------------------------------------------------------------

// The tool on a pseudo-terminal. Reads block until the expected text arrives; the poll timeout
// only keeps a broken tool from hanging the suite.
class Terminal {
 public:
  explicit Terminal(const std::vector<std::string>& args) {
    winsize ws{};
    ws.ws_row = 24;
    ws.ws_col = 120;
    if (::openpty(&master_, &slave_, nullptr, nullptr, &ws) != 0) {
      ADD_FAILURE() << "openpty: " << std::strerror(errno);
      return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
      ::setsid();
      ::ioctl(slave_, TIOCSCTTY, 0);
      ::dup2(slave_, 0);
      ::dup2(slave_, 1);
      ::close(master_);
      ::close(slave_);
      std::vector<char*> argv{const_cast<char*>(KESTRINX_CLI_PATH)};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(KESTRINX_CLI_PATH, argv.data());
      ::_exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }

  void send(const std::string& keys) { ASSERT_EQ(::write(master_, keys.data(), keys.size()), ssize_t(keys.size())); }

  // Reads until `text` has appeared in the output since the last call; false if it never does.
  bool waitFor(const std::string& text) {
    for (;;) {
      const std::size_t at = seen_.find(text, from_);
      if (at != std::string::npos) {
        from_ = at + text.size();
        return true;
      }
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, 10000) <= 0) return false;
      char buf[4096];
      const ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) return false;
      seen_.append(buf, static_cast<std::size_t>(n));
    }
  }

  int wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    exited_ = true;
    return status;
  }

  // The line discipline's settings after the tool is gone.
  termios settings() const {
    termios t{};
    ::tcgetattr(slave_, &t);
    return t;
  }
  pid_t pid() const { return pid_; }

 private:
  int master_ = -1, slave_ = -1;
  pid_t pid_ = -1;
  bool exited_ = false;
  std::string seen_;
  std::size_t from_ = 0;
};

TEST(KestrinxInteractive, TypesLeavesRefocusesAndQuits) {
  Terminal term({"try", "--type", "date", "--today", "2026-12-09"});
  ASSERT_TRUE(term.waitFor("editing"));
  term.send("12-25-98");
  ASSERT_TRUE(term.waitFor("12-25-98"));
  term.send("\x1b[D\x1b[D\x7f");  // two Left, Backspace: the "-" before "98" goes
  ASSERT_TRUE(term.waitFor("12-2598"));
  term.send("\x1b[H\x1b[3~");  // Home, Delete: the first "1" goes
  ASSERT_TRUE(term.waitFor("2-2598"));
  term.send("\t");
  ASSERT_TRUE(term.waitFor("\a\a"));  // the two beeps of an invalid entry ring the bell
  ASSERT_TRUE(term.waitFor("\x1b[97;41m"));  // red
  ASSERT_TRUE(term.waitFor("invalid"));
  term.send("\x1b[F\x7f\x7f\x7f\x7f\x7f\x7f\x7f" "T+1\r");  // End, clear, tomorrow, Enter
  ASSERT_TRUE(term.waitFor("2026-12-10"));
  ASSERT_TRUE(term.waitFor("valid  ValidState=True"));
  term.send("\x03");  // Ctrl-C
  const int status = term.wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(term.settings().c_lflag & ICANON) << "raw mode is undone";
  EXPECT_TRUE(term.settings().c_lflag & ECHO);
}

TEST(KestrinxInteractive, LoneEscapeQuits) {
  Terminal term({"try", "--type", "numeric"});
  ASSERT_TRUE(term.waitFor("editing"));
  term.send("1234");
  ASSERT_TRUE(term.waitFor("1,234"));
  term.send("\x1b");
  const int status = term.wait();
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(KestrinxInteractive, TerminationSignalRestoresTheTerminal) {
  Terminal term({"try", "--type", "time"});
  ASSERT_TRUE(term.waitFor("editing"));
  ASSERT_FALSE(term.settings().c_lflag & ICANON) << "raw mode while the box runs";
  ::kill(term.pid(), SIGTERM);
  const int status = term.wait();
  ASSERT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
  EXPECT_TRUE(term.settings().c_lflag & ICANON);
  EXPECT_TRUE(term.settings().c_lflag & ECHO);
}

}  // namespace
