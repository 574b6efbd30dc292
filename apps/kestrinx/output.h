// Result lines of the line-by-line mode: a human-readable line and a JSON object per entry.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/types.h"
#include "session.h"

namespace kestrinx::cli {

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when none starts there (a
// stray continuation byte, a cut-off sequence, an overlong form, a surrogate, past U+10FFFF).
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// `bytes` as a quoted JSON string. The result is always valid UTF-8: well-formed UTF-8 sequences
// pass through; control characters, DEL and every byte that is not part of a well-formed
// sequence are written as \u00XX with the byte's value; " and \ are escaped.
std::string jsonString(std::string_view bytes);

// "0x80000005": an OLE colour as eight hexadecimal digits.
std::string colourHex(host::OleColor colour);

// One line (without the newline), e.g.  valid   "1,234,567"  pad=22 colour=valid beeps=0
std::string humanLine(const Outcome& outcome);
// One JSON object (without the newline).
std::string jsonLine(const Outcome& outcome);

}  // namespace kestrinx::cli
