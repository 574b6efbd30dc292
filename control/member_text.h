// Member values as text: how a tool or a designer turns "Alignment=4" or "Font=Arial,12,bold"
// into a value for the control's own put, and a value back into the text it shows.
#pragma once

#include <string>

#include "control/members.h"
#include "values/automation.h"
#include "values/variant.h"

namespace kestrinx::members {

// The value a text gives for `member`. Fonts are written "Name[,size][,bold][,italic]"
// (size in points); enumerations take a member's name in any case ("LeftMiddle") or a number;
// every other type is handed over as a string, which the member's put converts by the host's
// automation rules. Throws values::AutomationError 13 for a font text
// without a name and for a picture (pictures have no text form).
values::Variant valueFromText(values::AutoType type, const values::EnumInfo* enumeration, const std::string& text);
inline values::Variant valueFromText(const Member& member, const std::string& text) {
  return valueFromText(member.type, member.enumeration, text);
}

// A value as the tool shows it: numbers and strings plainly, Booleans True/False, colours
// in hexadecimal, enumeration values with their member name ("4 CenterMiddle"), fonts as
// "Name,size[,bold][,italic]" and pictures as "(picture)" or "(none)".
std::string textFromValue(values::AutoType type, const values::EnumInfo* enumeration, const values::Variant& value);
inline std::string textFromValue(const Member& member, const values::Variant& value) {
  return textFromValue(member.type, member.enumeration, value);
}

// A font as the tool shows it: "Name,size[,bold][,italic]", or "(none)".
std::string fontText(const values::FontRef& font);

// Parses "Name=value" into its two halves; false when there is no "=" or no name.
bool splitAssignment(const std::string& text, std::string& name, std::string& value);

}  // namespace kestrinx::members
