// Keystroke filtering: a numeric box refuses keys that cannot belong to a number and stops
// taking number characters at its length limit; every key event is passed on to the
// application with its arguments by reference.
#include "control/key_filter.h"

#include <limits>

#include "control/date_time_entry.h"
#include "control/kestrin.h"
#include "control/members.h"
#include "values/text.h"

namespace kestrinx {

namespace keyfilter {

std::int16_t CountIntegerChars(std::string_view text) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int16_t>::max();
  std::int32_t count = 0;
  for (char c : text) {
    if (c == '.') break;
    if ((c == '-' || c == ',' || entry::isNumericChar(c)) && count < kMax) ++count;
  }
  return static_cast<std::int16_t>(count);
}

bool PasteAccepted(std::string_view pasted, std::string_view result, bool limited) {
  const std::string_view number = values::trimSpaces(pasted);
  for (char c : number)
    if (!isNumberChar(static_cast<unsigned char>(c))) return false;
  if (!limited) return true;
  std::int32_t digits = 0;
  for (char c : result) {
    if (c == '.') break;
    if (c == '-' || entry::isNumericChar(c)) ++digits;
  }
  return digits <= kIntegerDigitLimit;
}

}  // namespace keyfilter

void Kestrin::txtKestrin_KeyPress(std::int16_t Index, std::int16_t& KeyAscii) {
  if (m_KestrinType == NUMERIC_TYPE) {
    // A refused key is discarded silently: the application never sees it.
    if (!keyfilter::acceptedByNumericBox(KeyAscii)) {
      KeyAscii = 0;
      return;
    }
    if (m_NumSeparatorUse != values::False && keyfilter::isNumberChar(KeyAscii) &&
        keyfilter::CountIntegerChars(box(Index).text()) > keyfilter::kIntegerCharLimit) {
      KeyAscii = 0;
      return;
    }
  }
  // The application may change or discard the key; what it leaves in KeyAscii reaches the box.
  raise<&KestrinEvents::KeyPress>(KeyAscii);
}

}  // namespace kestrinx
