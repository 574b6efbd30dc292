#include "support/generated_forms.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string_view>
#include <utility>

#include "control/members.h"
#include "values/objects.h"

namespace kestrinx::testing {

namespace {

using values::Variant;
using Random = std::mt19937_64;

// Drawn with the generator's own arithmetic (the standard distributions and shuffle differ
// between standard libraries), so a seed makes the same form with any of them.
std::int32_t between(Random& r, std::int32_t low, std::int32_t high) {
  const auto span = static_cast<std::uint64_t>(static_cast<std::int64_t>(high) - low) + 1;
  return static_cast<std::int32_t>(low + static_cast<std::int64_t>(r() % span));
}
bool oneIn(Random& r, int n) { return between(r, 1, n) == 1; }
template <typename T, std::size_t N>
const T& pick(Random& r, const std::array<T, N>& from) {
  return from[static_cast<std::size_t>(between(r, 0, static_cast<std::int32_t>(N) - 1))];
}

// A length mostly in the range a designer uses, now and then far beyond it: up to the lengths
// a single-precision coordinate still holds to a quarter twip (beyond them a position cannot
// be placed exactly, so a locked box's gap worked out from it carries the rounding).
std::int32_t length(Random& r, std::int32_t low, std::int32_t high) {
  constexpr std::int32_t far = 1 << 22;
  if (oneIn(r, 25)) return between(r, -far, far);
  if (oneIn(r, 10)) return between(r, -500, -1);
  return between(r, low, high);
}

// An enumeration's members, and now and then a value that is none of them.
Variant enumValue(Random& r, std::int32_t members) {
  if (oneIn(r, 12)) return Variant::longValue(pick(r, std::array<std::int32_t, 4>{-1, members, 9, 70000}));
  return Variant::longValue(between(r, 0, members - 1));
}

Variant boolean(Random& r) {
  if (oneIn(r, 12)) return Variant::boolean(static_cast<values::Boolean>(between(r, -3, 5)));  // stored as given
  return Variant::boolean(oneIn(r, 2) ? values::True : values::False);
}

Variant colour(Random& r) {
  switch (between(r, 0, 3)) {
    case 0: {
      const std::uint32_t system = 0x80000000u | static_cast<std::uint32_t>(between(r, 0, 24));
      return Variant::longValue(static_cast<std::int32_t>(system));
    }
    case 1: return Variant::longValue(between(r, 0, 0x00FFFFFF));
    case 2: return Variant::longValue(pick(r, std::array<std::int32_t, 4>{0, 255, 65535, 0x00FFFFFF}));
    default: return Variant::longValue(between(r, INT32_MIN, INT32_MAX));
  }
}

std::string text(Random& r) {
  static const std::array<std::string, 12> texts = {
      "", "Name", "Due date", "Amount (EUR)", "Gr\xc3\xb6\xc3\x9f" "e \xe2\x80\x94 t\xc3\xa4glich", "\xff not UTF-8",
      "1,234,567", "2026-12-09", "T+1", "12:30", "a caption that is rather longer than the box is wide", "  spaced  "};
  return pick(r, texts);
}

values::FontRef font(Random& r) {
  static const std::array<std::string_view, 5> names = {"MS Sans Serif", "Arial", "Courier New", "Times New Roman",
                                                         "DejaVu Sans"};
  static const std::array<float, 8> sizes = {6.0f, 8.25f, 9.0f, 10.0f, 12.0f, 14.25f, 18.0f, 36.0f};
  values::FontRef f = values::makeFont(std::string(pick(r, names)), pick(r, sizes), oneIn(r, 3));
  f->italic = oneIn(r, 4);
  f->underline = oneIn(r, 8);
  return f;
}

// A value for the member, from its whole range.
Variant valueFor(Random& r, const members::Member& m) {
  const std::string_view n = m.name;
  if (n == "KestrinType") return enumValue(r, 4);
  if (n == "Appearance") return oneIn(r, 10) ? Variant::longValue(5) : Variant::longValue(between(r, 0, 1));
  if (n == "NumAlignment" || n == "FormatDate" || n == "FormatTime") return enumValue(r, n == "NumAlignment" ? 2 : 3);
  if (n == "Alignment") return enumValue(r, 9);
  if (n == "Interval") return Variant::longValue(length(r, 0, 2000));
  if (n == "BoxWidth") return Variant::longValue(length(r, 0, 8000));
  if (n == "MaxLength") return Variant::longValue(oneIn(r, 3) ? 0 : length(r, 1, 60));
  if (n == "SelStart" || n == "SelLength") return Variant::longValue(between(r, 0, 20));
  if (n == "MousePointer") return Variant::integer(static_cast<std::int16_t>(oneIn(r, 8) ? 99 : between(r, 0, 15)));
  if (n == "LinkMode") return Variant::integer(static_cast<std::int16_t>(between(r, 0, 2)));
  if (n == "LinkTimeout") return Variant::integer(static_cast<std::int16_t>(between(r, -1, 32767)));
  if (n == "OLEDragMode") return Variant::integer(static_cast<std::int16_t>(between(r, 0, 1)));
  if (n == "OLEDropMode") return Variant::integer(static_cast<std::int16_t>(between(r, 0, 2)));
  switch (m.type) {
    case values::AutoType::Boolean: return boolean(r);
    case values::AutoType::Color: return colour(r);
    case values::AutoType::String: return Variant::string(text(r));
    case values::AutoType::Font: return Variant::font(font(r));
    case values::AutoType::Picture: return Variant::picture(oneIn(r, 2) ? sampleIcon() : nullptr);
    default: return Variant::longValue(length(r, 0, 100));
  }
}

forms::Placement placement(Random& r) {
  // Quarter twips, as a size worked out from a caption's width can be.
  const auto quarter = [&](std::int32_t low, std::int32_t high) {
    return static_cast<float>(between(r, low * 4, high * 4)) / 4;
  };
  return {quarter(0, 6000), quarter(0, 6000), quarter(300, 9000), quarter(200, 1500)};
}

// Every saved member a designer can set (ValidState refuses puts at design time).
std::vector<const members::Member*> settable() {
  std::vector<const members::Member*> out;
  for (const members::Member& m : members::kMembers)
    if (m.saved && m.put != nullptr && m.name != "ValidState") out.push_back(&m);
  return out;
}

}  // namespace

values::PictureRef sampleIcon() {
  auto p = std::make_shared<values::Picture>();
  p->type = 3;
  p->width = 423;
  p->height = 423;
  p->bytes = std::string("\0\0\1\0\1\0 \x20\x10\0\xff\xfe", 13);
  return p;
}

GeneratedForm generateForm(std::uint64_t seed) {
  static const std::vector<const members::Member*> members = settable();
  Random r(seed);
  GeneratedForm form;
  form.seed = seed;
  const std::int32_t count = between(r, 1, 3);
  for (std::int32_t i = 0; i < count; ++i) {
    GeneratedControl c;
    c.name = "ctl" + std::to_string(i + 1);
    c.placement = placement(r);
    c.moved = placement(r);
    // A random share of the members, each set once or (now and then) twice, in a random order.
    for (const members::Member* m : members) {
      if (!oneIn(r, 3)) continue;
      c.steps.emplace_back(std::string(m->name), valueFor(r, *m));
      if (oneIn(r, 6)) c.steps.emplace_back(std::string(m->name), valueFor(r, *m));
    }
    if (oneIn(r, 2)) c.steps.emplace_back("", Variant());  // the resize
    for (std::size_t n = c.steps.size(); n > 1; --n)
      std::swap(c.steps[n - 1], c.steps[static_cast<std::size_t>(between(r, 0, static_cast<std::int32_t>(n) - 1))]);
    form.controls.push_back(std::move(c));
  }
  return form;
}

std::string describe(const GeneratedForm& form) {
  std::ostringstream s;
  s << "seed " << form.seed << "\n";
  for (const GeneratedControl& c : form.controls) {
    const forms::Placement& p = c.placement;
    s << c.name << " placed at " << p.left << "," << p.top << " " << p.width << "x" << p.height << ":";
    for (const auto& [name, value] : c.steps) {
      if (name.empty()) {
        const forms::Placement& m = c.moved;
        s << " [moved to " << m.left << "," << m.top << " " << m.width << "x" << m.height << "]";
        continue;
      }
      s << " " << name << "=";
      switch (value.type()) {
        case values::VarType::Font: {
          const values::FontRef f = value.toFont();
          s << f->name << "," << f->size << (f->bold ? ",bold" : "") << (f->italic ? ",italic" : "");
          break;
        }
        case values::VarType::Picture: s << (value.toPicture() ? "(icon)" : "(none)"); break;
        default: s << value.toString();
      }
    }
    s << "\n";
  }
  return s.str();
}

std::string firstDifference(const std::string& a, const std::string& b) {
  std::istringstream sa(a), sb(b);
  std::string la, lb;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(sa, la)), moreB = static_cast<bool>(std::getline(sb, lb));
    if (!moreA && !moreB) return "no difference";
    if (moreA != moreB || la != lb)
      return "line " + std::to_string(line) + ":\n  - " + (moreA ? la : "(end)") + "\n  + " + (moreB ? lb : "(end)");
  }
}

void expectSavedAgainUnchanged(const FormHost& host, std::uint64_t firstSeed, int count) {
  if (const char* seed = std::getenv("KESTRINX_FORM_SEED")) firstSeed = std::strtoull(seed, nullptr, 10);
  if (const char* forms = std::getenv("KESTRINX_FORM_COUNT")) count = std::atoi(forms);
  int failures = 0;
  for (int i = 0; i < count && failures < 3; ++i) {
    const GeneratedForm form = generateForm(firstSeed + static_cast<std::uint64_t>(i));
    std::string made, first, second;
    try {
      made = host.makeAndSave(form);
      first = host.openAndSave(made);
      second = host.openAndSave(first);
    } catch (const forms::FormFileError&) {
      // A control that a file cannot hold (wider than the format allows, as a huge Interval
      // makes an AutoSize control once it fits itself) is refused, and the file kept as it was.
      continue;
    } catch (const std::exception& e) {
      ++failures;
      ADD_FAILURE() << "a saved form could not be opened and saved again (make it again with seed " << form.seed
                    << "): " << e.what() << "\n" << describe(form) << "the form as made:\n" << made;
      continue;
    }
    if (second == first) continue;
    ++failures;
    ADD_FAILURE() << "a form opened and saved again changed (make it again with seed " << form.seed << ")\n"
                  << describe(form) << "first save against second, " << firstDifference(first, second)
                  << "\nthe first save:\n" << first;
  }
}

}  // namespace kestrinx::testing
