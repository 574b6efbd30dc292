// The interactive box: one Kestrin drawn on one terminal line, keys read in raw mode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "session.h"
#include "values/types.h"

namespace kestrinx::cli {

// What a key or escape sequence read from the terminal means to the box.
enum class TermAction : std::uint8_t {
  Type,       // a byte to type (`byte`)
  Backspace,
  Delete,
  Left,
  Right,
  Home,
  End,
  Tab,        // leave the box
  Enter,      // leave the box
  Quit,       // Esc, Ctrl-C, Ctrl-D, end of input
  Ignore,     // an escape sequence or control key the box has no use for
};

struct TermKey {
  TermAction action = TermAction::Ignore;
  char byte = 0;
};

// Maps the bytes after ESC of a complete CSI ("[...") or SS3 ("O.") sequence to a key.
TermAction escapeSequenceAction(std::string_view afterEsc);
// Maps one byte that is not ESC.
TermKey byteKey(unsigned char c);

// The ANSI SGR codes ("30;47") that show an OLE colour as a box background with readable text:
// the window background as white, 0x0000FFFF yellow, 0x000000FF red, other colours the nearest
// of the eight basic colours.
std::string ansiColours(values::OleColor colour);

// What the box line shows.
struct BoxView {
  std::string caption;
  std::string text;
  std::size_t caret = 0;  // byte offset in text
  values::OleColor backColor = values::SystemWindowBackground;
  std::string status;  // after the box
  std::string note;    // the line under the box (the last message box)
};

// The drawn line (without the leading carriage return) and the caret's column in it. The box
// scrolls so the caret stays visible within `columns`; control characters and bytes that are
// not UTF-8 are shown as '?'.
struct DrawnLine {
  std::string bytes;
  std::size_t caretColumn = 0;
};
DrawnLine drawBoxLine(const BoxView& view, std::size_t columns);
// The note line, cut to `columns`, with unprintable bytes shown as '?'.
std::string drawNoteLine(const BoxView& view, std::size_t columns);

// Runs the interactive box on standard input and output, which must be terminals, over a control
// of its own set up as `config` says, or over `session`'s control. Returns the exit status.
int runInteractive(const SessionConfig& config);
int runInteractive(Session& session);

}  // namespace kestrinx::cli
