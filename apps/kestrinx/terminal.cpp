#include "terminal.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <exception>
#include <vector>

#include "output.h"
#include "values/error.h"

namespace kestrinx::cli {

namespace {

constexpr int EscapeWaitMs = 50;  // a lone Esc is one not followed by more bytes within this time
constexpr std::size_t MinBoxColumns = 24;

// ---- drawing ---------------------------------------------------------------------------------

// One shown character: its bytes and the offset of its first byte in the text.
struct Cell {
  std::string shown;
  std::size_t offset;
};

std::vector<Cell> cellsOf(std::string_view s) {
  std::vector<Cell> cells;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const std::size_t n = utf8SequenceLength(s, i);
      if (n > 0) {
        cells.push_back({std::string(s.substr(i, n)), i});
        i += n;
        continue;
      }
    }
    const bool printable = c >= 0x20 && c < 0x7f;
    cells.push_back({printable ? std::string(1, static_cast<char>(c)) : std::string("?"), i});
    ++i;
  }
  return cells;
}

std::string joinCells(const std::vector<Cell>& cells, std::size_t from, std::size_t count) {
  std::string out;
  for (std::size_t i = from; i < cells.size() && i < from + count; ++i) out += cells[i].shown;
  return out;
}

// ---- raw mode and signals --------------------------------------------------------------------

termios savedTermios;
volatile std::sig_atomic_t rawActive = 0;

void writeAll(const std::string& s) {
  std::size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

// Async-signal-safe: only tcsetattr and write.
void restoreTerminal() {
  if (!rawActive) return;
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTermios);
  rawActive = 0;
  static const char reset[] = "\033[0m";
  [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, reset, sizeof reset - 1);
}

extern "C" void onTerminatingSignal(int sig) {
  const bool wasRaw = rawActive != 0;
  restoreTerminal();
  if (wasRaw) {
    static const char below[] = "\r\n\n";  // past the box's two lines
    [[maybe_unused]] const ssize_t n = ::write(STDOUT_FILENO, below, sizeof below - 1);
  }
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

extern "C" void onResize(int) {}  // only to interrupt the read, so the line is redrawn

// Puts the terminal in raw mode for its lifetime and restores it on every way out.
class RawMode {
 public:
  RawMode() {
    if (::tcgetattr(STDIN_FILENO, &savedTermios) != 0) return;
    termios raw = savedTermios;
    raw.c_iflag &= ~static_cast<tcflag_t>(BRKINT | ICRNL | INPCK | ISTRIP | IXON);
    raw.c_lflag &= ~static_cast<tcflag_t>(ECHO | ICANON | IEXTEN | ISIG);
    raw.c_cflag |= CS8;
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;

    struct sigaction sa {};
    sa.sa_handler = onTerminatingSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) ::sigaction(sig, &sa, nullptr);
    struct sigaction winch {};
    winch.sa_handler = onResize;  // no SA_RESTART: a resize interrupts the read and redraws
    sigemptyset(&winch.sa_mask);
    ::sigaction(SIGWINCH, &winch, nullptr);

    if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0) rawActive = 1;
  }
  ~RawMode() { restoreTerminal(); }
  RawMode(const RawMode&) = delete;
  RawMode& operator=(const RawMode&) = delete;
  bool active() const { return rawActive != 0; }
};

// ---- reading keys ----------------------------------------------------------------------------

bool readableWithin(int ms) {
  pollfd p{STDIN_FILENO, POLLIN, 0};
  for (;;) {
    const int r = ::poll(&p, 1, ms);
    if (r < 0 && errno == EINTR) continue;
    return r > 0;
  }
}

enum class ReadResult : std::uint8_t { Byte, End, Interrupted };

ReadResult readByte(unsigned char& c) {
  const ssize_t n = ::read(STDIN_FILENO, &c, 1);
  if (n == 1) return ReadResult::Byte;
  if (n < 0 && errno == EINTR) return ReadResult::Interrupted;
  return ReadResult::End;
}

// Reads one key; a lone Esc and the end of input quit. Ignore after a resize (to redraw).
TermKey readKey() {
  unsigned char c = 0;
  switch (readByte(c)) {
    case ReadResult::End: return {TermAction::Quit, 0};
    case ReadResult::Interrupted: return {TermAction::Ignore, 0};
    case ReadResult::Byte: break;
  }
  if (c != 0x1b) return byteKey(c);
  if (!readableWithin(EscapeWaitMs)) return {TermAction::Quit, 0};
  std::string seq;
  unsigned char b = 0;
  if (readByte(b) != ReadResult::Byte) return {TermAction::Quit, 0};
  seq += static_cast<char>(b);
  if (b != '[' && b != 'O') return {TermAction::Ignore, 0};  // Alt+key and the like
  // Collect up to the final byte of the sequence (0x40..0x7E); SS3 has exactly one more byte.
  while (seq.size() < 16 && readableWithin(EscapeWaitMs) && readByte(b) == ReadResult::Byte) {
    seq += static_cast<char>(b);
    if (seq[0] == 'O' || (b >= 0x40 && b <= 0x7e)) break;
  }
  return {escapeSequenceAction(seq), 0};
}

std::size_t terminalColumns() {
  winsize ws{};
  if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return 80;
}

const char* typeName(std::int32_t type) {
  switch (type) {
    case NUMERIC_TYPE: return "numeric";
    case DATE_TYPE: return "date";
    case TIME_TYPE: return "time";
    default: return "text";
  }
}

headless::Key namedKey(TermAction a) {
  switch (a) {
    case TermAction::Backspace: return headless::Key::Backspace;
    case TermAction::Delete: return headless::Key::Delete;
    case TermAction::Left: return headless::Key::Left;
    case TermAction::Right: return headless::Key::Right;
    case TermAction::Home: return headless::Key::Home;
    case TermAction::End: return headless::Key::End;
    case TermAction::Tab: return headless::Key::Tab;
    default: return headless::Key::Enter;
  }
}

// The interactive box: the session plus what the status shows.
class InteractiveBox {
 public:
  explicit InteractiveBox(Session& session) : session_(session) {}

  void start() { reenter(); }

  // Handles one key; returns false to quit.
  bool handle(const TermKey& key) {
    const int beepsBefore = session_.beeps();
    try {
      switch (key.action) {
        case TermAction::Quit: return false;
        case TermAction::Ignore: return true;
        case TermAction::Type:
          if (!session_.editing()) reenter();
          session_.type(std::string_view(&key.byte, 1));
          break;
        case TermAction::Tab:
        case TermAction::Enter:
          if (!session_.editing()) break;
          session_.press(namedKey(key.action));  // the box sees the key, then the user leaves
          session_.leave();
          checked_ = true;
          break;
        default:
          if (!session_.editing()) reenter();
          session_.press(namedKey(key.action));
          break;
      }
      error_.clear();
    } catch (const values::AutomationError& e) {
      error_ = "run-time error " + std::to_string(e.number()) + ": " + e.what();
    }
    const int rang = session_.beeps() - beepsBefore;
    for (int i = 0; i < rang; ++i) writeAll("\a");
    return true;
  }

  BoxView view() {
    BoxView v;
    v.caption = session_.control().get_Caption();
    v.text = session_.boxText();
    const std::int32_t caret = session_.caret();
    v.caret = caret < 0 ? 0 : static_cast<std::size_t>(caret);
    v.backColor = session_.backColor();
    v.status = status();
    v.note = note();
    return v;
  }

 private:
  // Back into the box: the last check's beeps and messages are forgotten.
  void reenter() {
    session_.enter();
    session_.clearRecords();
    checked_ = false;
  }

  std::string status() {
    const bool valid = session_.control().get_ValidState() != values::False;
    std::string s;
    if (session_.editing())
      s = "editing";
    else
      s = valid ? "valid" : "invalid";
    s += std::string("  ValidState=") + (valid ? "True" : "False");
    if (checked_) s += "  beeps=" + std::to_string(session_.beeps());
    return s;
  }

  // The line under the box: the last message box of the check, or an error.
  std::string note() {
    if (!error_.empty()) return error_;
    const std::vector<std::string> messages = session_.messages();
    return messages.empty() ? std::string() : "message box: " + messages.back();
  }

  Session& session_;
  bool checked_ = false;
  std::string error_;
};

// Draws the box line and the note line under it, and leaves the cursor at the caret.
void draw(InteractiveBox& box) {
  const std::size_t columns = terminalColumns();
  const BoxView view = box.view();
  const DrawnLine line = drawBoxLine(view, columns);
  std::string out = "\r" + line.bytes + "\033[K\n\r" + drawNoteLine(view, columns) + "\033[K\033[A\r";
  if (line.caretColumn > 0) out += "\033[" + std::to_string(line.caretColumn) + "C";
  writeAll(out);
}

}  // namespace

TermAction escapeSequenceAction(std::string_view seq) {
  if (seq.size() < 2 || (seq[0] != '[' && seq[0] != 'O')) return TermAction::Ignore;
  const char final = seq.back();
  switch (final) {
    case 'C': return TermAction::Right;
    case 'D': return TermAction::Left;
    case 'H': return TermAction::Home;
    case 'F': return TermAction::End;
    case '~': {
      // "[3~", "[1;5~": the first parameter names the key.
      int code = 0;
      for (std::size_t i = 1; i < seq.size() && seq[i] >= '0' && seq[i] <= '9' && code < 1000; ++i)
        code = code * 10 + (seq[i] - '0');
      switch (code) {
        case 1:
        case 7: return TermAction::Home;
        case 4:
        case 8: return TermAction::End;
        case 3: return TermAction::Delete;
        default: return TermAction::Ignore;
      }
    }
    default: return TermAction::Ignore;
  }
}

TermKey byteKey(unsigned char c) {
  switch (c) {
    case 0x03:  // Ctrl-C
    case 0x04:  // Ctrl-D
      return {TermAction::Quit, 0};
    case 0x08:
    case 0x7f: return {TermAction::Backspace, 0};
    case '\t': return {TermAction::Tab, 0};
    case '\r':
    case '\n': return {TermAction::Enter, 0};
    default:
      if (c < 0x20 || c == 0x1b) return {TermAction::Ignore, 0};
      return {TermAction::Type, static_cast<char>(c)};
  }
}

std::string ansiColours(values::OleColor colour) {
  // System colours have no RGB here; the window background (and any other) shows as white.
  if (colour & 0x80000000u) return "30;47";
  const int r = static_cast<int>(colour & 0xFF), g = static_cast<int>((colour >> 8) & 0xFF),
            b = static_cast<int>((colour >> 16) & 0xFF);
  // The eight basic colours, in SGR order: black red green yellow blue magenta cyan white.
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < 8; ++i) {
    const int cr = (i & 1) ? 255 : 0, cg = (i & 2) ? 255 : 0, cb = (i & 4) ? 255 : 0;
    const long d = long(r - cr) * (r - cr) + long(g - cg) * (g - cg) + long(b - cb) * (b - cb);
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  const bool dark = best == 0 || best == 1 || best == 4 || best == 5;
  return std::string(dark ? "97;" : "30;") + std::to_string(40 + best);
}

DrawnLine drawBoxLine(const BoxView& view, std::size_t columns) {
  if (columns < 20) columns = 20;
  const std::size_t budget = columns - 1;  // never write into the last column (no wrap)

  const std::vector<Cell> caption = cellsOf(view.caption);
  const std::size_t captionCols = std::min(caption.size(), budget / 3);

  const std::vector<Cell> text = cellsOf(view.text);
  std::size_t caretCell = 0;
  while (caretCell < text.size() && text[caretCell].offset < view.caret) ++caretCell;

  // The box grows with its text up to two thirds of the room; the status gets the rest.
  const std::size_t room = budget - captionCols - 1;
  const std::size_t maxBox = std::min(room, std::max(MinBoxColumns, room * 2 / 3));
  const std::size_t boxCols = std::min(maxBox, std::max(MinBoxColumns, text.size() + 1));
  const std::size_t first = caretCell < boxCols ? 0 : caretCell - boxCols + 1;
  const std::size_t shownCells = std::min(boxCols, text.size() - std::min(first, text.size()));

  DrawnLine line;
  line.bytes = joinCells(caption, 0, captionCols) + " ";
  line.bytes += "\033[" + ansiColours(view.backColor) + "m";
  line.bytes += joinCells(text, first, shownCells);
  line.bytes += std::string(boxCols - shownCells, ' ');
  line.bytes += "\033[0m";
  line.caretColumn = captionCols + 1 + (caretCell - first);

  const std::size_t used = captionCols + 1 + boxCols;
  if (used + 1 < budget) {
    const std::vector<Cell> status = cellsOf(view.status);
    line.bytes += " " + joinCells(status, 0, budget - used - 1);
  }
  return line;
}

std::string drawNoteLine(const BoxView& view, std::size_t columns) {
  const std::vector<Cell> note = cellsOf(view.note);
  return joinCells(note, 0, std::max<std::size_t>(columns, 20) - 1);
}

int runInteractive(const SessionConfig& config) {
  Session session(config);
  return runInteractive(session);
}

int runInteractive(Session& session) {
  InteractiveBox box(session);
  box.start();
  RawMode raw;
  if (!raw.active()) {
    std::fputs("kestrinx: cannot put the terminal into raw mode\n", stderr);
    return 1;
  }
  writeAll(std::string("kestrinx: a ") + typeName(session.control().get_KestrinType()) +
           " box. Tab or Enter leaves the box, Esc or Ctrl-C quits.\r\n");
  for (;;) {
    draw(box);
    if (!box.handle(readKey())) break;
  }
  draw(box);
  writeAll("\r\n\n");  // past the box's two lines
  return 0;
}

}  // namespace kestrinx::cli
