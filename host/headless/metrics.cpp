// Text metrics of the headless host (the rule is in metrics.h).
#include "host/headless/metrics.h"

#include <string>

#include "values/text.h"

namespace kestrinx::headless {

namespace {

bool isFixedPitch(const std::string& name) {
  std::string lower(name);
  for (char& c : lower) c = values::toLowerAscii(c);
  return lower.find("courier") != std::string::npos || lower.find("mono") != std::string::npos ||
         lower.find("fixed") != std::string::npos;
}

// Advance of one character in sixteenths of an em, before bold.
int advance(char c) {
  switch (c) {
    case ' ': case '!': case '\'': case ',': case '.': case ':': case ';': case '|':
    case 'i': case 'j': case 'l': case 'I':
      return 4;
    case 'm': case 'w': case 'M': case 'W': case '@': case '%':
      return 12;
    default:
      return 8;
  }
}

}  // namespace

Twips textWidth(const values::Font& font, const std::string& s) {
  const bool fixed = isFixedPitch(font.name);
  const long long extra = font.bold ? 1 : 0;
  long long sixteenths = 0;
  for (char c : s) sixteenths += (fixed ? 10 : advance(c)) + extra;
  // Whole sixteenths are summed exactly; the one division happens last.
  const double em = static_cast<double>(font.size) * 20.0;
  return static_cast<Twips>(em * static_cast<double>(sixteenths) / 16.0);
}

Twips lineHeight(const values::Font& font) { return static_cast<Twips>(static_cast<double>(font.size) * 24.0); }

}  // namespace kestrinx::headless
