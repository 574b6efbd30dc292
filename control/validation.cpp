// Validation and formatting: focus entry, text change, the numeric rewrite (grouping and
// alignment while the user types) and the exit check (type check, date and time rewrite,
// valid/invalid colour, beep, ValidState).
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "control/date_time_entry.h"
#include "control/flag_scope.h"
#include "control/kestrin.h"
#include "control/members.h"
#include "values/error.h"
#include "values/functions.h"
#include "values/variant.h"

namespace kestrinx {

namespace {

constexpr std::string_view kNumberPattern = "###,##0";
constexpr std::int32_t kHmPrefix = 5;   // "hh:mm"
constexpr std::int32_t kHmsPrefix = 8;  // "hh:mm:ss"

// "-", "-0", "-00", ...: a minus sign the user is typing ahead of a value that is still zero.
bool isSignedZero(std::string_view s) {
  return !s.empty() && s.front() == '-' && s.find_first_not_of("0,", 1) == std::string_view::npos;
}

// Characters that carry a number's value: everything but alignment spaces and group separators.
bool isSignificant(char c) { return c != ' ' && c != ','; }

std::int32_t significantBefore(const std::string& text, std::int32_t caret) {
  const auto end = static_cast<std::size_t>(std::clamp<std::int32_t>(caret, 0, static_cast<std::int32_t>(text.size())));
  std::int32_t count = 0;
  for (std::size_t i = 0; i < end; ++i) count += isSignificant(text[i]) ? 1 : 0;
  return count;
}

// The caret position just after the count-th significant character of `text`; with a count
// of 0, just before the first one; the end when the text has fewer.
std::int32_t afterSignificant(const std::string& text, std::int32_t count) {
  std::int32_t seen = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!isSignificant(text[i])) continue;
    if (count == 0) return static_cast<std::int32_t>(i);
    if (++seen == count) return static_cast<std::int32_t>(i + 1);
  }
  return static_cast<std::int32_t>(text.size());
}

// How many spaces fit in front of a text of width t in a box of width `boxWidth`, in steps of
// one space width w; nullopt when that is no 16-bit count (w of 0, say).
std::optional<std::int16_t> paddingCount(double boxWidth, std::int32_t t, std::int32_t w) {
  if (w == 0) return std::nullopt;
  const double n = std::trunc((boxWidth - t) / w);
  if (!std::isfinite(n) || n < std::numeric_limits<std::int16_t>::min() || n > std::numeric_limits<std::int16_t>::max())
    return std::nullopt;
  return static_cast<std::int16_t>(n);
}

// Gives the surface's font the name, bold flag and size of `from`, so that the surface
// measures text as the box shows it. The surface gets a font object of its own, never a
// shared one changed in place.
void measureInFontOf(const values::FontRef& from, host::Surface& surface) {
  if (!from) return;
  const values::FontRef current = surface.font();
  if (current && current->name == from->name && current->bold == from->bold && current->size == from->size) return;
  auto f = current ? std::make_shared<values::Font>(*current) : std::make_shared<values::Font>();
  f->name = from->name;
  f->bold = from->bold;
  f->weight = from->bold ? 700 : 400;
  f->size = from->size;
  surface.setFont(std::move(f));
}

// Exit check of a date box with a date format: accepts and rewrites the entry. A rewrite that
// fails has already told the user; the entry is then left as typed and counts as invalid.
bool dateEntryAccepted(host::TextBox& element, host::Services& services, const std::string& pattern) {
  const values::DateReading reading = services.dateReading();
  if (!entry::IsDateEntry(element.text(), reading)) return false;
  const std::optional<std::string> rewritten = entry::FormatDateEntry(services, element.text(), pattern, reading);
  if (!rewritten) return false;
  element.setText(*rewritten);
  return true;
}

// Exit check of a time box with a time format; only the first 5 ("hh:mm") or 8 ("hh:mm:ss")
// characters go to the rewrite.
bool timeEntryAccepted(host::TextBox& element, host::Services& services, std::int32_t formatTime,
                       const std::string& pattern) {
  if (!entry::IsTimeEntry(element.text(), formatTime)) return false;
  const std::int32_t prefix = formatTime == HM ? kHmPrefix : kHmsPrefix;
  std::string cut = values::left(element.text(), prefix);
  // With a one-digit hour the cut can end on a separator ("9:30:15" gives "9:30:"); the
  // separator carries nothing, and left in place it would make an accepted time unreadable.
  if (std::any_of(cut.begin(), cut.end(), entry::isNumericChar)) {
    while (!entry::isNumericChar(cut.back())) cut.pop_back();
  }
  const std::optional<std::string> rewritten = entry::FormatTimeEntry(services, cut, pattern);
  if (!rewritten) return false;
  element.setText(*rewritten);
  return true;
}

}  // namespace

void Kestrin::recolour(std::int16_t index, OleColor colour) { box(index).setBackColor(colour); }

void Kestrin::txtKestrin_GotFocus(std::int16_t /*Index*/) {
  if (m_KestrinType == NUMERIC_TYPE) FormatNumericBox(CaretPlacement::AtEnd);
}

void Kestrin::txtKestrin_Change(std::int16_t Index, host::ChangeSource source) {
  if (m_Formatting != values::False) return;  // the numeric rewrite's own change
  if (m_ColorEditUse != values::False) values::skipOnError([&] { recolour(Index, m_ColorEdit); });
  if (m_KestrinType == NUMERIC_TYPE) {
    const CaretPlacement caret =
        source == host::ChangeSource::UserEdit ? CaretPlacement::AfterSameDigits : CaretPlacement::AtEnd;
    values::skipOnError([&] { FormatNumericBox(caret); });
  }
  values::skipOnError([&] { raise<&KestrinEvents::Change>(); });
}

void Kestrin::FormatNumericBox(CaretPlacement caret) {
  host::TextBox& element = activeBox();
  values::skipOnError([&] { measureInFontOf(element.font(), surface()); });

  // Cleared however the rewrite ends, so later changes are handled again.
  const FlagScope formatting(m_Formatting);

  std::optional<std::string> typed;
  std::int32_t caretBefore = 0;
  values::skipOnError([&] { typed = element.text(); });
  if (caret == CaretPlacement::AfterSameDigits) {
    if (!values::skipOnError([&] { caretBefore = element.selStart(); })) caret = CaretPlacement::AtEnd;
  }
  // A text that cannot be read is not written back: rewriting it would lose it.
  if (!typed) return;

  std::string s = values::trim(*typed);
  // A decimal number, or a minus sign alone, is never grouped; nor is a minus sign followed by
  // zeros only, which grouping would turn into "0" while the user is still typing "-0.5".
  if (m_NumSeparatorUse != values::False && !isSignedZero(s) && s.find('.') == std::string::npos) {
    values::skipOnError([&] { s = values::format(s, kNumberPattern); });
  }

  std::string shown = s;
  if (m_NumAlignment != LEFT_ALIGN) {
    // Right alignment: as many leading spaces as fit in the box beside the text.
    std::int32_t w = 0, t = 0;
    std::int16_t n = 0;
    values::skipOnError([&] {
      w = values::roundToLong(static_cast<double>(surface().textWidth("  ")) - surface().textWidth(" "));
    });
    values::skipOnError([&] { t = values::roundToLong(surface().textWidth(s)); });
    values::skipOnError([&] {
      if (const auto fit = paddingCount(element.width(), t, w)) n = *fit;
    });
    // Never more spaces than the box's MaxLength leaves room for beside the text (counted in
    // bytes, which is never fewer than a host counts characters): a host that holds at most
    // MaxLength characters would otherwise cut the number's end off.
    values::skipOnError([&] {
      const std::int32_t limit = element.maxLength();
      const auto room = static_cast<std::int64_t>(limit) - static_cast<std::int64_t>(s.size());
      if (limit > 0 && n > room) n = static_cast<std::int16_t>(std::max<std::int64_t>(room, 0));
    });
    if (n >= 0) shown = values::spaces(n) + s;
  }
  values::skipOnError([&] { element.setText(shown); });

  values::skipOnError([&] {
    const std::string now = element.text();
    const std::int32_t at = caret == CaretPlacement::AtEnd
                                ? static_cast<std::int32_t>(now.size())
                                : afterSignificant(now, significantBefore(*typed, caretBefore));
    element.setSelStart(at);
  });
}

void Kestrin::txtKestrin_LostFocus(std::int16_t Index) {
  m_ValidState = values::False;
  if (m_ColorEditUse != values::False) recolour(Index, m_BackColor);

  host::TextBox& element = box(Index);
  host::Services& services = site_.services();
  bool valid = false;
  switch (m_KestrinType) {
    case NORMAL_TYPE:
      // Plain text is always valid and takes no colour.
      m_ValidState = values::True;
      return;
    case NUMERIC_TYPE:
      // Alignment spaces and group separators are part of a valid number.
      valid = values::isNumeric(element.text());
      break;
    case DATE_TYPE:
      valid = m_FormatDate == NONE ? values::isDate(element.text(), services.dateReading())
                                   : dateEntryAccepted(element, services, m_DateFormatText);
      break;
    case TIME_TYPE:
      valid = m_FormatTime == ANY_TYPE ? entry::IsTimeOfDay(element.text(), m_FormatTime)
                                       : timeEntryAccepted(element, services, m_FormatTime, m_TimeFormatText);
      break;
    default:
      // A type the control does not know is never valid and takes no colour.
      break;
  }
  const bool knownType = m_KestrinType == NUMERIC_TYPE || m_KestrinType == DATE_TYPE || m_KestrinType == TIME_TYPE;
  if (valid) {
    // The rewrite above was an ordinary text change (edit colour, Change); the valid colour follows it.
    if (m_ColorValidUse != values::False) recolour(Index, m_ColorValid);
    m_ValidState = values::True;
  } else if (knownType && m_ColorInValidUse != values::False) {
    recolour(Index, m_ColorInValid);
  }

  // Only the exact True value asks for the beep.
  if (m_ValidState == values::False && m_InvalidBeep == values::True) {
    services.beep();
    services.beep();
  }
}

}  // namespace kestrinx
