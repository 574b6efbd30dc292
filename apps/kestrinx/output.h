// Result lines of the line-by-line mode: a human-readable line and a JSON object per entry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "forms/json_text.h"
#include "session.h"
#include "values/types.h"

namespace kestrinx::cli {

// The tool's JSON strings are the host's (always valid UTF-8; see forms/json_text.h).
using forms::jsonString;
using forms::utf8SequenceLength;

// "0x80000005": an OLE colour as eight hexadecimal digits.
std::string colourHex(values::OleColor colour);

// One line (without the newline), e.g.  valid   "1,234,567"  pad=22 colour=valid beeps=0
std::string humanLine(const Outcome& outcome);
// One JSON object (without the newline).
std::string jsonLine(const Outcome& outcome);

}  // namespace kestrinx::cli
