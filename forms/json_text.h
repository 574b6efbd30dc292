// Text for JSON: checking UTF-8 and writing JSON string literals, shared by the form files and
// the command-line tool's machine-readable output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrinx::forms {

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when none starts there (a
// stray continuation byte, a cut-off sequence, an overlong form, a surrogate, past U+10FFFF).
std::size_t utf8SequenceLength(std::string_view s, std::size_t i);

// True when every byte of `s` belongs to a well-formed UTF-8 sequence (ASCII included).
bool isUtf8(std::string_view s);

// `bytes` as a quoted JSON string. The result is always valid UTF-8: well-formed UTF-8 sequences
// pass through; control characters, DEL and every byte that is not part of a well-formed
// sequence are written as \u00XX with the byte's value; " and \ are escaped. For a valid UTF-8
// `bytes` a JSON reader gives `bytes` back exactly.
std::string jsonString(std::string_view bytes);
void appendJsonString(std::string& out, std::string_view bytes);

}  // namespace kestrinx::forms
