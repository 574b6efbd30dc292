// Property persistence: InitProperties gives a newly placed control its first values;
// WriteProperties saves the control in the host's property bag and ReadProperties restores it.
//
// The orders of reading and writing are tables of their own, below. A key that names a
// published member takes its written type and its default from the member table; the five
// scale keys, written from the surface and never read, carry theirs here.
#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "control/kestrin.h"
#include "control/members.h"
#include "values/error.h"

namespace kestrinx {

namespace {

// Where a saved value comes from on writing and goes to on reading.
enum class Place : std::uint8_t {
  Property,       // the property's own get and put, with everything the put does
  Element1,       // txtKestrin element 1's member, directly
  Element0,       // txtKestrin element 0's member, directly
  ActiveElement,  // the active element's member, directly
  Caption,        // lblCaption's member, directly
  Surface,        // the control surface's member, directly
  Field,          // the control's private field, directly
};

// A text box member saved under a key, converted by the member's automation type.
struct ElementMember {
  std::string_view key;
  values::Variant (*get)(const host::TextBox&);
  void (*set)(host::TextBox&, const values::Variant&);
};

template <values::AutoType T, auto Getter, auto Setter>
constexpr ElementMember element(std::string_view key) {
  return {key, [](const host::TextBox& b) { return members::detail::Conv<T>::wrap((b.*Getter)()); },
          [](host::TextBox& b, const values::Variant& v) { (b.*Setter)(members::detail::Conv<T>::unwrap(v)); }};
}

constexpr std::array<ElementMember, 15> kElementMembers = [] {
  using T = values::AutoType;
  using B = host::TextBox;
  return std::array<ElementMember, 15>{
      element<T::Boolean, &B::enabled, &B::setEnabled>("Enabled"),
      element<T::Color, &B::foreColor, &B::setForeColor>("ForeColor"),
      element<T::Boolean, &B::locked, &B::setLocked>("Locked"),
      element<T::Long, &B::maxLength, &B::setMaxLength>("MaxLength"),
      element<T::Long, &B::selLength, &B::setSelLength>("SelLength"),
      element<T::Long, &B::selStart, &B::setSelStart>("SelStart"),
      element<T::String, &B::selText, &B::setSelText>("SelText"),
      element<T::String, &B::text, &B::setText>("Text"),
      element<T::Integer, &B::mousePointer, &B::setMousePointer>("MousePointer"),
      element<T::Integer, &B::linkMode, &B::setLinkMode>("LinkMode"),
      element<T::String, &B::linkItem, &B::setLinkItem>("LinkItem"),
      element<T::String, &B::linkTopic, &B::setLinkTopic>("LinkTopic"),
      element<T::Integer, &B::linkTimeout, &B::setLinkTimeout>("LinkTimeout"),
      element<T::Integer, &B::oleDragMode, &B::setOleDragMode>("OLEDragMode"),
      element<T::Integer, &B::oleDropMode, &B::setOleDropMode>("OLEDropMode"),
  };
}();

// The keys written from the surface and never read back.
struct ScaleKey {
  std::string_view key;
  values::VarType written;
  std::int16_t fallback;  // a 16-bit integer default
  values::Variant (*get)(const host::Surface&);
};
constexpr std::array<ScaleKey, 5> kScaleKeys = {{
    {"ScaleHeight", values::VarType::Single, 408,
     [](const host::Surface& s) { return values::Variant::single(s.scaleHeight()); }},
    {"ScaleLeft", values::VarType::Single, 0,
     [](const host::Surface& s) { return values::Variant::single(s.scaleLeft()); }},
    {"ScaleMode", values::VarType::Integer, 1,
     [](const host::Surface& s) { return values::Variant::integer(s.scaleMode()); }},
    {"ScaleTop", values::VarType::Single, 0,
     [](const host::Surface& s) { return values::Variant::single(s.scaleTop()); }},
    {"ScaleWidth", values::VarType::Single, 2688,
     [](const host::Surface& s) { return values::Variant::single(s.scaleWidth()); }},
}};

constexpr const members::Member* memberNamed(std::string_view key) {
  for (const members::Member& m : members::kMembers)
    if (m.name == key) return &m;
  return nullptr;
}
constexpr const ElementMember* elementMember(std::string_view key) {
  for (const ElementMember& e : kElementMembers)
    if (e.key == key) return &e;
  return nullptr;
}
constexpr const ScaleKey* scaleKey(std::string_view key) {
  for (const ScaleKey& s : kScaleKeys)
    if (s.key == key) return &s;
  return nullptr;
}

// One position of an order: a key and where its value goes, with the key's member row, text box
// member and scale entry found when the table is built, not on every read.
struct Step {
  constexpr Step(std::string_view k, Place p)
      : key(k), place(p), member(memberNamed(k)), element(elementMember(k)), scale(scaleKey(k)) {}
  std::string_view key;
  Place place;
  const members::Member* member;  // nullptr for a scale key
  const ElementMember* element;   // for the keys kept in a text box
  const ScaleKey* scale;          // for the keys written from the surface's scale
};

using P = Place;
// The 21 own properties saved first, in both orders, through their gets and puts.
constexpr std::array<Step, 21> kOwnProperties = {{
    {"KestrinType", P::Property},     {"Appearance", P::Property},   {"NumAlignment", P::Property},
    {"NumSeparatorUse", P::Property}, {"CaptionView", P::Property},  {"Caption", P::Property},
    {"ToolTipText", P::Property},     {"FormatDate", P::Property},   {"FormatTime", P::Property},
    {"Alignment", P::Property},       {"BoxWidth", P::Property},     {"BoxWidthLock", P::Property},
    {"Interval", P::Property},        {"BackColor", P::Property},    {"ColorValid", P::Property},
    {"ColorValidUse", P::Property},   {"ColorInValid", P::Property}, {"ColorInValidUse", P::Property},
    {"ColorEdit", P::Property},       {"ColorEditUse", P::Property}, {"InvalidBeep", P::Property},
}};

// Reading: 49 positions after the own properties' 21.
constexpr std::array<Step, 28> kReadRest = {{
    {"Enabled", P::Element1},
    {"Enabled", P::Element0},
    {"Font", P::Property},
    {"ForeColor", P::Element1},
    {"ForeColor", P::Element0},
    {"Locked", P::Element1},
    {"Locked", P::Element0},
    {"MaxLength", P::Element1},
    {"MaxLength", P::Element0},
    {"MouseIcon", P::Property},
    {"MousePointer", P::Element1},
    {"MousePointer", P::Element0},
    {"SelLength", P::ActiveElement},
    {"SelStart", P::ActiveElement},
    {"SelText", P::ActiveElement},
    {"Text", P::Element1},
    {"Text", P::Element0},
    {"LabelFont", P::Property},
    {"LabelForeColor", P::Caption},
    {"AutoRedraw", P::Surface},
    {"AutoSize", P::Field},
    {"LinkMode", P::ActiveElement},
    {"LinkItem", P::ActiveElement},
    {"LinkTopic", P::ActiveElement},
    {"LinkTimeout", P::ActiveElement},
    {"OLEDragMode", P::ActiveElement},
    {"OLEDropMode", P::ActiveElement},
    {"ValidState", P::Field},
}};

// Writing: 53 positions after the own properties' 21.
constexpr std::array<Step, 32> kWriteRest = {{
    {"Enabled", P::Element1},
    {"Enabled", P::Element0},
    {"Font", P::Property},
    {"ForeColor", P::Element1},
    {"ForeColor", P::Element0},
    {"Locked", P::Element1},
    {"Locked", P::Element0},
    {"MaxLength", P::Element1},
    {"MaxLength", P::Element0},
    {"SelLength", P::ActiveElement},
    {"SelStart", P::ActiveElement},
    {"SelText", P::ActiveElement},
    {"Text", P::Element1},
    {"Text", P::Element0},
    {"MousePointer", P::ActiveElement},
    {"MouseIcon", P::Property},
    {"LabelFont", P::Property},
    {"LabelForeColor", P::Caption},
    {"AutoRedraw", P::Surface},
    {"AutoSize", P::Field},
    {"ScaleHeight", P::Surface},
    {"ScaleLeft", P::Surface},
    {"ScaleMode", P::Surface},
    {"ScaleTop", P::Surface},
    {"ScaleWidth", P::Surface},
    {"LinkMode", P::ActiveElement},
    {"LinkItem", P::ActiveElement},
    {"LinkTopic", P::ActiveElement},
    {"LinkTimeout", P::ActiveElement},
    {"OLEDragMode", P::ActiveElement},
    {"OLEDropMode", P::ActiveElement},
    {"ValidState", P::Field},
}};

// Every step names a saved member or a scale key, and every element step a text box member.
template <std::size_t N>
constexpr bool wellFormed(const std::array<Step, N>& steps) {
  for (const Step& s : steps) {
    if (s.member == nullptr && s.scale == nullptr) return false;
    if (s.member != nullptr && !s.member->saved) return false;
    const bool onElement = s.place == P::Element1 || s.place == P::Element0 || s.place == P::ActiveElement;
    if (onElement && s.element == nullptr) return false;
  }
  return true;
}
static_assert(wellFormed(kOwnProperties) && wellFormed(kReadRest) && wellFormed(kWriteRest));
static_assert(kOwnProperties.size() + kReadRest.size() == 49);
static_assert(kOwnProperties.size() + kWriteRest.size() == 53);

// The keys in reading order, each at its first reading (Enabled, ForeColor, ... are read for
// both elements), for readOrder().
constexpr std::array<std::string_view, kOwnProperties.size() + kReadRest.size()> kReadSteps = [] {
  std::array<std::string_view, kOwnProperties.size() + kReadRest.size()> keys{};
  std::size_t n = 0;
  for (const Step& s : kOwnProperties) keys[n++] = s.key;
  for (const Step& s : kReadRest) keys[n++] = s.key;
  return keys;
}();
constexpr bool readBefore(std::size_t i) {
  for (std::size_t j = 0; j < i; ++j)
    if (kReadSteps[j] == kReadSteps[i]) return true;
  return false;
}
constexpr std::size_t kReadKeys = [] {
  std::size_t n = 0;
  for (std::size_t i = 0; i < kReadSteps.size(); ++i) n += readBefore(i) ? 0 : 1;
  return n;
}();
constexpr std::array<std::string_view, kReadKeys> kReadOrder = [] {
  std::array<std::string_view, kReadKeys> keys{};
  std::size_t n = 0;
  for (std::size_t i = 0; i < kReadSteps.size(); ++i)
    if (!readBefore(i)) keys[n++] = kReadSteps[i];
  return keys;
}();
// Every saved member is read back.
constexpr bool readsEverySavedMember() {
  std::size_t saved = 0;
  for (const members::Member& m : members::kMembers) {
    if (!m.saved) continue;
    ++saved;
    bool read = false;
    for (std::string_view key : kReadOrder) read = read || key == m.name;
    if (!read) return false;
  }
  return saved == kReadOrder.size();
}
static_assert(readsEverySavedMember());

}  // namespace

// Reaches the control's widgets and fields for the steps that bypass the puts.
struct Persistence {
  // The default passed with a key, on reading and on writing alike.
  static values::Variant fallback(const Kestrin& k, const Step& step) {
    if (step.scale != nullptr) return values::Variant::integer(step.scale->fallback);
    return members::defaultValue(step.member->fallback, k.surface());
  }

  static values::Variant valueOf(const Kestrin& k, const Step& step) {
    switch (step.place) {
      case P::Property:
        if (step.key == "BoxWidth") return values::Variant::longValue(k.savedBoxWidth());
        return members::get(k, *step.member);
      case P::Element1:
        return step.element->get(k.box(1));
      case P::Element0:
        return step.element->get(k.box(0));
      case P::ActiveElement:
        return step.element->get(k.activeBox());
      case P::Caption:
        return values::colorVariant(k.label().foreColor());
      case P::Surface:
        if (step.scale != nullptr) return step.scale->get(k.surface());
        return values::Variant::boolean(k.surface().autoRedraw());
      case P::Field:
        return values::Variant::boolean(step.key == "AutoSize" ? k.m_AutoSize : k.m_ValidState);
    }
    return {};
  }

  // Converts the bag's value to the target's type and applies it.
  static void apply(Kestrin& k, const Step& step, const values::Variant& v) {
    const members::Member& m = *step.member;
    switch (step.place) {
      case P::Property:
        members::put(k, m, v);
        return;
      case P::Element1:
        step.element->set(k.box(1), values::coerce(v, m.type));
        return;
      case P::Element0:
        step.element->set(k.box(0), values::coerce(v, m.type));
        return;
      case P::ActiveElement:
        step.element->set(k.activeBox(), values::coerce(v, m.type));
        return;
      case P::Caption:
        k.label().setForeColor(values::toColor(v));
        return;
      case P::Surface:
        k.surface().setAutoRedraw(v.toBoolean());
        return;
      case P::Field:
        (step.key == "AutoSize" ? k.m_AutoSize : k.m_ValidState) = v.toBoolean();
        return;
    }
  }

  // Reads the key and applies its value; returns the value as the bag gave it.
  static values::Variant read(Kestrin& k, values::PropertyBag& bag, const Step& step) {
    const std::string key(step.key);
    values::Variant v = bag.readProperty(key, fallback(k, step));
    apply(k, step, v);
    return v;
  }

  static void write(const Kestrin& k, values::PropertyBag& bag, const Step& step) {
    const std::string key(step.key);
    bag.writeProperty(key, valueOf(k, step), fallback(k, step));
  }
};

void Kestrin::InitProperties() {
  using values::skipOnError;
  skipOnError([&] { putDefault<&Kestrin::put_KestrinType>(); });
  skipOnError([&] { putDefault<&Kestrin::put_NumSeparatorUse>(); });
  skipOnError([&] { putDefault<&Kestrin::put_Appearance>(); });  // element 0 becomes the active box
  skipOnError([&] { putDefault<&Kestrin::put_Alignment>(); });
  skipOnError([&] { putDefault<&Kestrin::put_CaptionView>(); });
  skipOnError([&] { putDefault<&Kestrin::put_Caption>(); });
  skipOnError([&] { putDefault<&Kestrin::put_Text>(); });
  m_AutoSize = values::False;
  skipOnError([&] { putDefault<&Kestrin::put_BackColor>(); });
  skipOnError([&] { putDefault<&Kestrin::put_BoxWidthLock>(); });
  // The type is plain text here, so both format puts are ignored: a new control has no date or
  // time format until its type is chosen.
  skipOnError([&] { putDefault<&Kestrin::put_FormatDate>(); });
  skipOnError([&] { putDefault<&Kestrin::put_FormatTime>(); });
  skipOnError([&] { putDefault<&Kestrin::put_Interval>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorValidUse>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorValid>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorInValidUse>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorInValid>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorEditUse>(); });
  skipOnError([&] { putDefault<&Kestrin::put_ColorEdit>(); });
  skipOnError([&] { putDefault<&Kestrin::putref_Font>(); });
  // The fit the Font put asked for does not outlive the placing.
  m_SizeFlag = values::False;
  m_ValidState = values::False;
  m_InvalidBeep = values::False;
}

std::span<const std::string_view> members::readOrder() { return kReadOrder; }

void Kestrin::ReadProperties(values::PropertyBag& bag) {
  m_BoxWidthAsRead.reset();
  m_BoxWidthAsLaidOut.reset();
  std::optional<std::int32_t> interval;
  for (const Step& step : kOwnProperties) {
    const values::Variant v = Persistence::read(*this, bag, step);
    if (step.key == "BoxWidth") m_BoxWidthAsRead = v.toLong();  // the put has taken it as a Long
    // The put takes the gap while the caption is shown (and ignores it otherwise).
    if (step.key == "Interval" && m_CaptionView != values::False) interval = v.toLong();
  }
  // A locked box's gap is worked out by each layout from where the box stands. The layouts
  // that reading runs from "Interval" on (the Interval put's own, then those of Font and of
  // LabelFont, whose width fit widens the control) find the box where the order of reading
  // left it, not where the saved form had it, so the gap they work out is not the one saved:
  // the Interval that was read stays in effect through them, and through the first layout at
  // the size the host then gives the control.
  if (interval) m_Interval = *interval;
  const std::int32_t gap = m_Interval;
  // The selection is read before the text, whose read puts the caret at the start when it
  // changes the text, and leaves it after the SelText read's insertion when that insertion
  // made the saved text: the selection that was read is put back once the text is in.
  std::optional<std::int32_t> selStart, selLength;
  for (const Step& step : kReadRest) {
    const values::Variant v = Persistence::read(*this, bag, step);
    m_Interval = gap;
    if (step.key == "SelStart") selStart = v.toLong();
    if (step.key == "SelLength") selLength = v.toLong();
  }
  values::skipOnError([&] { activeBox().setSelStart(selStart.value_or(0)); });
  values::skipOnError([&] { activeBox().setSelLength(selLength.value_or(0)); });
  m_FirstLayoutAfterReading = values::True;
}

std::int32_t Kestrin::savedBoxWidth() const {
  const std::int32_t width = get_BoxWidth();
  return m_BoxWidthAsRead && m_BoxWidthAsLaidOut == width ? *m_BoxWidthAsRead : width;
}

void Kestrin::WriteProperties(values::PropertyBag& bag) const {
  for (const Step& step : kOwnProperties) Persistence::write(*this, bag, step);
  for (const Step& step : kWriteRest) Persistence::write(*this, bag, step);
}

}  // namespace kestrinx
