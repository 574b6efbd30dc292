// Text metrics of the headless host: how wide a text is and how tall a line is in a font.
//
// A documented rule, so widths are exact and repeatable:
//   one em = font size in points * 20 twips.
//   A character's advance is a number of sixteenths of an em:
//     fixed-pitch fonts (name contains "Courier", "Mono" or "Fixed", any case): 10 for every character;
//     otherwise  4 for narrow characters  space ! ' , . : ; | i j l I
//               12 for wide characters    m w M W @ %
//                8 for every other character (digits included);
//     bold adds 1 to every character.
//   textWidth(s) is the sum of the advances (single precision, not rounded).
//   The line height is size * 24 twips (1.2 em).
#pragma once

#include <string>

#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::Twips;

Twips textWidth(const values::Font& font, const std::string& s);
Twips lineHeight(const values::Font& font);

}  // namespace kestrinx::headless
