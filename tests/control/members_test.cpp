// The member table: get, put and call of every member by name and by identifier, the coercions
// of a put by name, the read-only members, the names reported to the host, and events heard by
// identifier with their arguments by reference.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "control/members.h"
#include "forms/form_file.h"
#include "support/kestrin_fixture.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using values::Variant;
using members::Member;

// Every readable member as text, so two controls can be compared member by member: fonts by
// their attributes, pictures by whether they are there. The window handle differs from control
// to control and is left out.
std::map<std::string, std::string> snapshot(const Kestrin& k) {
  std::map<std::string, std::string> out;
  for (const Member& m : members::kMembers) {
    if (!m.has(members::Get) || m.name == "hWnd") continue;
    const Variant v = members::get(k, m);
    std::string text;
    if (v.type() == values::VarType::Font) {
      const values::FontRef f = v.toFont();
      text = f ? f->name + " " + std::to_string(f->size) + (f->bold ? " bold" : "") : "none";
    } else if (v.type() == values::VarType::Picture) {
      text = v.toPicture() ? "picture" : "none";
    } else {
      text = v.toString();
    }
    out[std::string(m.name)] = text;
  }
  return out;
}

// A value of the member's type that differs from a new control's.
Variant sampleFor(const Member& m) {
  static const values::FontRef font = values::makeFont("Arial", 12, true);
  static const values::PictureRef picture = std::make_shared<values::Picture>();
  switch (m.type) {
    case values::AutoType::Boolean: return Variant::boolean(m.name == "Enabled" ? values::False : values::True);
    case values::AutoType::Integer: return Variant::integer(m.name == "LinkMode" ? 0 : 1);
    case values::AutoType::Long: return Variant::longValue(120);
    case values::AutoType::Enum: return Variant::longValue(m.name == "Appearance" ? Flat : 1);
    case values::AutoType::Color: return values::colorVariant(0x00123456u);
    case values::AutoType::String: return Variant::string("abc");
    case values::AutoType::Font: return Variant::font(font);
    case values::AutoType::Picture: return Variant::picture(picture);
    default: return Variant();
  }
}

// Two newly placed controls on one form, to compare one way of reaching a member with another.
struct TwoControls {
  headless::Form form;
  headless::ControlSite siteA{form, "Kestrin1"}, siteB{form, "Kestrin1"};
  Kestrin a{siteA}, b{siteB};
  TwoControls() {
    for (Kestrin* k : {&a, &b}) {
      k->Initialize();
      k->InitProperties();
    }
  }
};

TEST(MemberTable, PutByNameByIdentifierAndDirectlyReachTheSameBehaviour) {
  for (const Member& m : members::kMembers) {
    if (!m.has(members::Put) && !m.has(members::PutRef)) continue;
    SCOPED_TRACE(std::string(m.name));
    TwoControls c;
    std::string lower(m.name);
    for (char& ch : lower) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    const auto byName = errorOf([&] { members::put(c.a, lower, sampleFor(m)); });
    const auto byId = errorOf([&] { members::put(c.b, *members::find(m.id), sampleFor(m)); });
    EXPECT_EQ(byName, byId);
    EXPECT_EQ(snapshot(c.a), snapshot(c.b));
    EXPECT_EQ(c.siteA.headlessSurface().changedProperties(), c.siteB.headlessSurface().changedProperties());
  }
}

TEST(MemberTable, AlignmentByIdentifierIsTheDirectPut) {
  TwoControls c;
  c.siteA.headlessSurface().resize(4000, 600);
  c.siteB.headlessSurface().resize(4000, 600);
  c.a.put_Alignment(CenterMiddle);
  members::put(c.b, *members::find(0x6803001F), Variant::string("4"));
  EXPECT_EQ(c.b.get_Alignment(), CenterMiddle);
  EXPECT_EQ(c.siteB.label().left(), c.siteA.label().left());
  EXPECT_EQ(c.siteB.label().top(), c.siteA.label().top());
  EXPECT_EQ(c.siteB.box(0).left(), c.siteA.box(0).left());
  EXPECT_EQ(snapshot(c.a), snapshot(c.b));
}

TEST(MemberTable, EveryPutReportsItsOwnNameAndOnlyIt) {
  for (const Member& m : members::kMembers) {
    if (!m.has(members::Put) && !m.has(members::PutRef)) continue;
    SCOPED_TRACE(std::string(m.name));
    TwoControls c;
    c.siteA.headlessSurface().clearChangedProperties();
    (void)errorOf([&] { members::put(c.a, m, sampleFor(m)); });
    const std::vector<std::string>& names = c.siteA.headlessSurface().changedProperties();
    // A plain box ignores the format choices; ValidState is read-only.
    if (m.name == "FormatDate" || m.name == "FormatTime" || m.name == "ValidState") {
      EXPECT_TRUE(names.empty());
    } else {
      EXPECT_EQ(names, std::vector<std::string>{std::string(m.name)});
    }
  }
}

struct CoercionRow {
  const char* name;
  const char* member;
  Variant value;
  std::optional<std::int32_t> error;
  std::string expected;  // the get afterwards, as text
};

TEST(MemberTable, PutByNameCoercesAsAnAutomationClientDoes) {
  const CoercionRow rows[] = {
      {"numeric string", "Interval", Variant::string("5"), std::nullopt, "5"},
      {"half rounds down to even", "Interval", Variant::doubleValue(2.5), std::nullopt, "2"},
      {"half rounds up to even", "Interval", Variant::doubleValue(3.5), std::nullopt, "4"},
      {"text is a type mismatch", "Interval", Variant::string("abc"), values::err::TypeMismatch, "80"},
      {"16-bit overflow", "MousePointer", Variant::longValue(40000), values::err::Overflow, "0"},
      {"Boolean from text", "NumSeparatorUse", Variant::string("False"), std::nullopt, "False"},
      {"colour given as unsigned", "BackColor", Variant::doubleValue(2147483653.0), std::nullopt, "-2147483643"},
      {"colour beyond 32 bits", "BackColor", Variant::doubleValue(4294967296.0), values::err::Overflow, "-2147483643"},
      {"font from text", "Font", Variant::string("Arial"), values::err::TypeMismatch, ""},
      {"enumeration from a real", "Alignment", Variant::single(6.5f), std::nullopt, "6"},
  };
  for (const CoercionRow& row : rows) {
    SCOPED_TRACE(row.name);
    TwoControls c;
    const auto before = snapshot(c.a);
    EXPECT_EQ(errorOf([&] { members::put(c.a, row.member, row.value); }), row.error);
    if (row.error) {
      EXPECT_EQ(snapshot(c.a), before);  // a refused value changes nothing
    } else {
      EXPECT_EQ(members::get(c.a, row.member).toString(), row.expected);
    }
  }
}

TEST(MemberTable, ReadOnlyMembersAndMethodsRefuseAPutAndChangeNothing) {
  for (const char* name : {"hWnd", "ScrollBars", "LinkSend"}) {
    SCOPED_TRACE(name);
    TwoControls c;
    c.siteA.headlessSurface().clearChangedProperties();
    const auto before = snapshot(c.a);
    const std::int32_t expected =
        members::find(name)->has(members::Method) ? values::err::MemberNotSupported : values::err::ReadOnlyProperty;
    EXPECT_EQ(errorOf([&] { members::put(c.a, name, Variant::longValue(1)); }), expected);
    EXPECT_EQ(snapshot(c.a), before);
    EXPECT_TRUE(c.siteA.headlessSurface().changedProperties().empty());
  }
}

// changed() gives a value only when a get would read something not the same (values::sameValue)
// as the value given: nothing for the value just read or an equal copy of it (a font by
// content), the value a get reads after a put that changed it.
TEST(MemberTable, ChangedGivesWhatAGetReadsOnlyWhenItIsNotTheSame) {
  for (const Member& m : members::kMembers) {
    if (!m.has(members::Get)) continue;
    SCOPED_TRACE(std::string(m.name));
    TwoControls c;
    const Variant before = members::get(c.a, m);
    EXPECT_FALSE(members::changed(c.a, m, before));
    if (const values::FontRef f = before.type() == values::VarType::Font ? before.toFont() : nullptr) {
      EXPECT_FALSE(members::changed(c.a, m, Variant::font(std::make_shared<values::Font>(*f))));
    }
    if (!m.has(members::Put) && !m.has(members::PutRef)) continue;
    (void)errorOf([&] { members::put(c.a, m, sampleFor(m)); });
    const Variant after = members::get(c.a, m);
    const std::optional<Variant> now = members::changed(c.a, m, before);
    EXPECT_EQ(now.has_value(), !values::sameValue(before, after));
    if (now) {
      EXPECT_TRUE(values::sameValue(*now, after));
    }
  }
  TwoControls c;
  EXPECT_EQ(errorOf([&] { (void)members::changed(c.a, *members::find("LinkSend"), Variant()); }),
            values::err::MemberNotSupported);
}

TEST(MemberTable, UnknownNamesAndWrongKindsAreErrors) {
  TwoControls c;
  EXPECT_EQ(members::find("nosuch"), nullptr);
  EXPECT_EQ(members::find(0x68030012), nullptr);  // one of the unpublished identifiers
  EXPECT_EQ(errorOf([&] { members::get(c.a, "nosuch"); }), values::err::MemberNotSupported);
  EXPECT_EQ(errorOf([&] { members::get(c.a, "LinkSend"); }), values::err::MemberNotSupported);
  EXPECT_EQ(errorOf([&] { members::call(c.a, *members::find("Text")); }), values::err::MemberNotSupported);
  members::call(c.a, *members::find("linksend"));
  EXPECT_EQ(c.siteA.box(0).linkSends(), 1);
}

TEST(MemberTable, EveryNameAndIdentifierIsUniqueAndSavedKeysAreTheNames) {
  std::map<std::string, int> names;
  std::map<std::int32_t, int> ids;
  int saved = 0;
  for (const Member& m : members::kMembers) {
    std::string upper = values::upperCase(m.name);
    EXPECT_EQ(++names[upper], 1) << m.name;
    EXPECT_EQ(++ids[m.id], 1) << m.name;
    EXPECT_EQ(members::find(m.name), &m);
    EXPECT_EQ(members::find(m.id), &m);
    saved += m.saved ? 1 : 0;
    if (m.enumeration != nullptr) {
      EXPECT_EQ(m.type, values::AutoType::Enum) << m.name;
    }
  }
  // Every member but the two get-only ones and the three methods is saved with the form.
  EXPECT_EQ(saved, 43);
}

// ---- events heard by identifier ------------------------------------------------------------------

// A sink that knows no event by name: it records identifiers and rewrites arguments generically.
struct GenericSink : values::EventSink {
  std::vector<std::int32_t> ids;
  std::function<void(values::EventArgs&)> act;
  void onEvent(const values::EventInfo& e, values::EventArgs& args) override {
    ids.push_back(e.id);
    if (act) act(args);
  }
};

class MemberEventsTest : public KestrinTest {};

TEST_F(MemberEventsTest, AKeystrokeReachesAGenericSinkAsIdentifiersWithWritableArguments) {
  k.InitProperties();
  GenericSink sink;
  RecordingEvents later;
  k.connect(&sink);
  k.connect(&later);
  sink.act = [](values::EventArgs& args) {
    if (args.info().name == "KeyPress") args.setValue(0, Variant::string("120"));  // 'x'
  };
  focusBox(0);
  k.put_Text("");
  sink.ids.clear();
  form.type("a");
  EXPECT_EQ(box(0).text(), "x");
  EXPECT_EQ(sink.ids, (std::vector<std::int32_t>{7, 8, 1, 9}));  // KeyDown, KeyPress, Change, KeyUp
  // Sinks hear the key in connection order, each after the changes of the ones before it.
  EXPECT_EQ(events.only("KeyPress"), std::vector<std::string>{"KeyPress:97"});
  EXPECT_EQ(later.only("KeyPress"), std::vector<std::string>{"KeyPress:120"});
}

TEST_F(MemberEventsTest, GenericArgumentsKeepTheirTypes) {
  GenericSink sink;
  k.connect(&sink);
  std::vector<std::string> seen;
  sink.act = [&](values::EventArgs& args) {
    for (std::size_t i = 0; i < args.size(); ++i)
      seen.push_back(std::string(values::varTypeName(args.value(i).type())));
    EXPECT_EQ(errorOf([&] { args.setValue(1, Variant::string("no")); }), values::err::TypeMismatch);
    EXPECT_EQ(errorOf([&] { args.value(args.size()); }), values::err::SubscriptOutOfRange);
  };
  box(0).mouseDown(1, 2, 3.5f, 4.5f);
  EXPECT_EQ(seen, (std::vector<std::string>{"Integer", "Integer", "Single", "Single"}));
}

}  // namespace
}  // namespace kestrinx::testing
