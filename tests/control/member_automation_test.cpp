// Invocation by identifier over the member table (values::Automation's rules, members::Automation):
// every kind a client may ask of every member, argument counts, and kinds offered together.
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "control/members.h"
#include "support/kestrin_fixture.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using values::InvokeKind;
using values::MemberInfo;
using values::Variant;

// A value of the member's type for a put.
Variant sampleFor(const MemberInfo& m) {
  switch (m.type) {
    case values::AutoType::Boolean: return Variant::boolean(values::True);
    case values::AutoType::Integer: return Variant::integer(1);
    case values::AutoType::Long: return Variant::longValue(120);
    case values::AutoType::Enum: return Variant::longValue(1);
    case values::AutoType::Color: return values::colorVariant(0x00123456u);
    case values::AutoType::String: return Variant::string("abc");
    case values::AutoType::Font: return Variant::font(values::makeFont("Arial", 12, true));
    case values::AutoType::Picture: return Variant::picture(std::make_shared<values::Picture>());
    default: return {};
  }
}

// A value as text: objects by what they are.
std::string textOf(const Variant& v) {
  if (v.type() == values::VarType::Font)
    return v.toFont() ? v.toFont()->name + " " + std::to_string(v.toFont()->size) : "none";
  if (v.type() == values::VarType::Picture) return v.toPicture() ? "picture" : "none";
  return v.toString();
}

// Two newly placed controls, one reached through the automation interface, the other directly
// through the member table's adaptors.
struct Twins {
  headless::Form form;
  headless::ControlSite siteA{form, "Kestrin1"}, siteB{form, "Kestrin1"};
  Kestrin a{siteA}, b{siteB};
  members::Automation automation{a};
  Twins() {
    for (Kestrin* k : {&a, &b}) {
      k->Initialize();
      k->InitProperties();
    }
    siteA.headlessSurface().clearChangedProperties();
  }
  // Every readable member but the window handle, as text.
  std::map<std::string, std::string> state(const Kestrin& k) const {
    std::map<std::string, std::string> out;
    for (const members::Member& m : members::kMembers) {
      if (!m.has(members::Get) || m.name == "hWnd") continue;
      out[std::string(m.name)] = textOf(members::get(k, m));
    }
    return out;
  }
};

constexpr std::array<InvokeKind, 4> kKinds = {values::InvokeMethod, values::InvokeGet, values::InvokePut,
                                              values::InvokePutRef};

TEST(Automation, EveryKindOfEveryMemberReachesItsEntryOrFailsChangingNothing) {
  for (const MemberInfo& m : members::kMemberInfo) {
    const members::Member& row = *members::find(m.id);
    for (const InvokeKind kind : kKinds) {
      SCOPED_TRACE(std::string(m.name) + " kind " + std::to_string(kind));
      Twins t;
      const bool put = kind == values::InvokePut || kind == values::InvokePutRef;
      const std::vector<Variant> args = put ? std::vector<Variant>{sampleFor(m)} : std::vector<Variant>{};
      const auto before = t.state(t.a);
      Variant got;
      const auto error = errorOf([&] { got = t.automation.invoke(m.id, kind, args); });
      if (m.has(kind)) {
        // The entry the member has: the same as the table's adaptor on the twin.
        Variant direct;
        const auto directError = errorOf([&] {
          if (kind == values::InvokeGet) direct = members::get(t.b, row);
          if (kind == values::InvokeMethod) members::call(t.b, row);
          if (put) members::put(t.b, row, args[0]);
        });
        EXPECT_EQ(error, directError);
        if (kind == values::InvokeGet && m.name != "hWnd") {
          EXPECT_EQ(textOf(got), textOf(direct));
        }
        EXPECT_EQ(t.state(t.a), t.state(t.b));
      } else {
        const bool readOnly = m.has(values::InvokeGet) && !m.has(values::InvokePut) && !m.has(values::InvokePutRef);
        EXPECT_EQ(error, put && readOnly ? values::err::ReadOnlyProperty : values::err::MemberNotSupported);
        EXPECT_EQ(t.state(t.a), before);
        EXPECT_TRUE(t.siteA.headlessSurface().changedProperties().empty());
        EXPECT_EQ(t.siteA.box(0).linkSends() + t.siteA.box(0).linkRequests() + t.siteA.box(0).oleDrags(), 0);
      }
    }
  }
}

TEST(Automation, ArgumentCountsAndUnknownIdentifiers) {
  struct Row {
    const char* name;
    std::int32_t id;
    std::uint16_t kinds;
    std::size_t args;
    std::int32_t error;
  };
  const Row rows[] = {
      {"get with an argument", 0x6803000B, values::InvokeGet, 1, values::err::WrongNumberOfArguments},
      {"call with an argument", 0x60030042, values::InvokeMethod, 1, values::err::WrongNumberOfArguments},
      {"put without its value", 0x6803000B, values::InvokePut, 0, values::err::ArgumentNotOptional},
      {"put with two values", 0x6803000B, values::InvokePut, 2, values::err::WrongNumberOfArguments},
      {"unpublished identifier", 0x68030012, values::InvokeGet, 0, values::err::MemberNotSupported},
      {"event identifier", 1, values::InvokeMethod, 0, values::err::MemberNotSupported},
      {"no kind at all", 0x6803000B, 0, 0, values::err::MemberNotSupported},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    Twins t;
    const std::vector<Variant> args(r.args, Variant::string("x"));
    EXPECT_EQ(errorOf([&] { t.automation.invoke(r.id, r.kinds, args); }), r.error);
    EXPECT_EQ(t.a.get_Text(), "Kestrin1");
  }
}

TEST(Automation, KindsOfferedTogetherPickTheOneTheMemberHas) {
  Twins t;
  const std::uint16_t getOrCall = values::InvokeGet | values::InvokeMethod;
  const std::uint16_t anyPut = values::InvokePut | values::InvokePutRef;
  EXPECT_EQ(t.automation.invoke(0x6803000B, getOrCall, {}).toString(), "Kestrin1");  // Text: read
  EXPECT_TRUE(t.automation.invoke(0x60030042, getOrCall, {}).isEmpty());             // LinkSend: called
  EXPECT_EQ(t.siteA.box(0).linkSends(), 1);
  const values::FontRef font = values::makeFont("Arial", 14, false);
  const Variant fontValue = Variant::font(font);
  t.automation.invoke(0x68030008, anyPut, std::span<const Variant>(&fontValue, 1));  // Font: by reference
  EXPECT_EQ(t.a.get_Font(), font);
  const Variant caption = Variant::string("Age");
  t.automation.invoke(0x6803002D, anyPut, std::span<const Variant>(&caption, 1));  // Caption: by value
  EXPECT_EQ(t.a.get_Caption(), "Age");
}

TEST(Automation, NamesFindIdentifiersInAnyCase) {
  Twins t;
  for (const char* name : {"Alignment", "alignment", "ALIGNMENT"}) {
    EXPECT_EQ(t.automation.find(name)->id, 0x6803001F);
  }
  EXPECT_EQ(t.automation.find("Alignmen"), nullptr);
  EXPECT_EQ(t.automation.find("Change"), nullptr);  // events are not members
}

}  // namespace
}  // namespace kestrinx::testing
