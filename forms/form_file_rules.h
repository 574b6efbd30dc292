// What a form file may hold, checked alike by the reader and the writer, so that every form the
// writer accepts reads back and every form the reader accepts writes out. (Used by
// form_file.cpp and form_file_reader.cpp only.)
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/form_file.h"
#include "values/text.h"

namespace kestrinx::forms::rules {

// The value types a file can keep, by the name a file gives them; nullopt for any other name.
std::optional<values::VarType> typeNamed(std::string_view name);
std::string_view nameOf(values::VarType type);  // for the types typeNamed knows

// Each gives the reason a value is refused, or nullopt when it is fine.
std::optional<std::string> badClassName(std::string_view progId);
std::optional<std::string> badKey(std::string_view key);
std::optional<std::string> badCoordinate(std::string_view member, float value, bool isSize);
std::optional<std::string> badFont(const values::Font& font);

inline constexpr float MaxFontSize = 10000.0f;

// A key that appears more than once among a control's saved properties (keys are unique within
// a control), or nullopt; of several, the shortest (then the first in byte order). Compares
// hashes of the keys first, which settles the usual case (no key twice) without comparing keys,
// and sorts views of the keys otherwise, so a control's hundreds of keys cost no more than a sort.
std::optional<std::string_view> duplicateKey(const std::vector<FormEntry>& properties);

// A control name as names compare (ASCII letters in lower case): two controls of a form may not
// have the same.
inline std::string foldedName(std::string_view name) {
  std::string out(name);
  for (char& c : out) c = values::toLowerAscii(c);
  return out;
}

// A text as an error message shows it: at most `maxChars` characters ("..." after them), bytes
// that are not printable UTF-8 as '?'. shown() quotes a name, key or value, at most 60 of them.
std::string printable(std::string_view text, std::size_t maxChars);
std::string shown(std::string_view text);

}  // namespace kestrinx::forms::rules
