// The headless control site, services, property bag, page site and page widgets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless_recorder.h"
#include "host/headless/headless.h"
#include "support/test_helpers.h"

namespace kestrinx::headless {
namespace {

using kestrinx::testing::errorOf;

// ---- control site ----------------------------------------------------------------------------

TEST(ControlSite, StartsWithTheDesignsGeometryAndTexts) {
  Form form;
  ControlSite site(form, "Amount");
  const Label& label = site.label();
  EXPECT_EQ(label.caption(), "Amount");
  EXPECT_FLOAT_EQ(label.left(), 0.0f);
  EXPECT_FLOAT_EQ(label.width(), 828.0f);
  EXPECT_FLOAT_EQ(label.height(), 240.0f);
  for (int i = 0; i < 2; ++i) {
    const TextBox& box = site.box(i);
    EXPECT_EQ(box.text(), "Amount") << i;
    EXPECT_FLOAT_EQ(box.left(), 960.0f) << i;
    EXPECT_FLOAT_EQ(box.top(), 0.0f) << i;
    EXPECT_FLOAT_EQ(box.width(), 1600.0f) << i;
    EXPECT_FLOAT_EQ(box.height(), 360.0f) << i;
    EXPECT_TRUE(box.visible()) << i;
    EXPECT_EQ(box.font()->name, "MS Sans Serif") << i;
  }
  EXPECT_EQ(site.surface().extenderName(), "Amount");
  EXPECT_FLOAT_EQ(site.surface().width(), 2560.0f);
  EXPECT_EQ(&site.txtKestrin(1), &site.box(1));
  EXPECT_EQ(&site.services(), &form.services());
  EXPECT_EQ(errorOf([&] { site.box(2); }), values::err::NoSuchControlArrayElement);

  // The label sizes itself from the next caption on.
  site.label().setCaption("Kestrin1");
  EXPECT_FLOAT_EQ(site.label().width(), 618.75f);
}

TEST(ControlSite, ElementsJoinTheFormInIndexOrder) {
  Form form;
  ControlSite site(form);
  form.press(Key::Tab);
  EXPECT_EQ(form.focused(), &site.box(0));
  form.press(Key::Tab);
  EXPECT_EQ(form.focused(), &site.box(1));
}

// ---- services --------------------------------------------------------------------------------

TEST(Services, ClockStartsAtTheMillenniumAndIsSetByParts) {
  Services services;
  EXPECT_DOUBLE_EQ(services.now().serial, 36526.0);  // 2000-01-01 00:00:00
  services.setNow(2024, 2, 29, 13, 45, 30);
  EXPECT_NEAR(services.now().serial, 45351.0 + (13 * 3600 + 45 * 60 + 30) / 86400.0, 1e-9);
}

class FixedClock : public host::Services {
 public:
  explicit FixedClock(values::Date now) : now_(now) {}
  values::Date now() const override { return now_; }
  void beep() override {}
  host::MsgBoxResult msgBox(const std::string&, host::MsgBoxButtons, const std::string&) override {
    return host::MsgBoxResult::Ok;
  }
  values::DateReading dateReading() const override { return {}; }

 private:
  values::Date now_;
};

// The clock helpers every host shares: today and the time of day come from now().
TEST(Services, TodayAndTimeOfDayComeFromNow) {
  const FixedClock clock(values::dateFromParts({2024, 3, 5, 14, 7, 9}));
  EXPECT_EQ(clock.today(), values::dateFromParts({2024, 3, 5}));
  EXPECT_EQ(clock.timeOfDay(), values::dateFromParts({1899, 12, 30, 14, 7, 9}));
  // Before day 0 the time is cut off the same calendar day.
  const FixedClock old(values::dateFromParts({1800, 1, 1, 12, 0, 0}));
  EXPECT_EQ(old.today(), values::dateFromParts({1800, 1, 1}));
  EXPECT_EQ(old.timeOfDay(), values::Date{0.5});
}

TEST(Services, MessagesAndBeepsAreRecorded) {
  Services services;
  services.setMsgBoxAnswer(host::MsgBoxResult::No);
  EXPECT_EQ(services.msgBox("Not a date", host::MsgBoxButtons::YesNo, "Check"), host::MsgBoxResult::No);
  services.beep();
  services.beep();
  ASSERT_EQ(services.messages().size(), 1u);
  EXPECT_EQ(services.messages()[0].text, "Not a date");
  EXPECT_EQ(services.messages()[0].buttons, host::MsgBoxButtons::YesNo);
  EXPECT_EQ(services.messages()[0].title, "Check");
  EXPECT_EQ(services.beeps(), 2);
  services.clearRecords();
  EXPECT_EQ(services.beeps(), 0);
  EXPECT_TRUE(services.messages().empty());
}

// ---- property bag and page site --------------------------------------------------------------

TEST(PropertyBag, GivesTheDefaultUntilWrittenAndKeepsTheLaterWrite) {
  PropertyBag bag;
  const auto fallback = values::Variant::longValue(80);
  EXPECT_EQ(bag.readProperty("Interval", fallback), fallback);
  bag.writeProperty("Interval", values::Variant::longValue(120), fallback);
  bag.writeProperty("Caption", values::Variant::string("Amount"), values::Variant::string(""));
  bag.writeProperty("Interval", values::Variant::integer(40), fallback);
  EXPECT_EQ(bag.readProperty("Interval", fallback), values::Variant::integer(40));
  EXPECT_EQ(bag.writeOrder(), (std::vector<std::string>{"Interval", "Caption", "Interval"}));
  EXPECT_EQ(bag.readOrder(), (std::vector<std::string>{"Interval", "Interval"}));
}

struct NullDispatch : values::Dispatch {
  values::Variant getProperty(const std::string&) override { return {}; }
  void setProperty(const std::string&, const values::Variant&) override {}
};

TEST(PropertyPageSite, SelectedControlOutsideTheSelectionIsErrorNine) {
  PropertyPageSite site;
  NullDispatch control;
  site.select({&control});
  EXPECT_EQ(&site.selectedControl(0), &control);
  EXPECT_EQ(errorOf([&] { site.selectedControl(1); }), 9);
  site.setChanged(values::True);
  EXPECT_EQ(site.changed(), values::True);
}

// ---- page widgets ----------------------------------------------------------------------------

struct ClickCounter : host::ClickEvents {
  int clicks = 0;
  void onClick(std::int16_t) override { ++clicks; }
};

TEST(PageWidgets, CheckBoxClicksWhenItsValueChanges) {
  CheckBox box;
  ClickCounter events;
  box.setEventSink(&events, 0);
  box.setValue(1);
  box.setValue(1);
  box.setValue(2);
  EXPECT_EQ(events.clicks, 2);
  EXPECT_EQ(errorOf([&] { box.setValue(3); }), values::err::InvalidPropertyValue);
  box.click();  // grayed becomes checked
  EXPECT_EQ(box.value(), 1);
  box.click();
  EXPECT_EQ(box.value(), 0);
  EXPECT_EQ(events.clicks, 4);
}

struct ListRecorder : host::ListEvents {
  std::vector<std::string> log;
  void onChange(std::int16_t i) override { log.push_back("Change#" + std::to_string(i)); }
  void onClick(std::int16_t i) override { log.push_back("Click#" + std::to_string(i)); }
};

TEST(PageWidgets, ComboBoxRaisesChangeThenClickWhenTheChoiceChanges) {
  ComboBox list;
  ListRecorder events;
  list.setEventSink(&events, 3);
  list.addItem("NORMAL");
  list.addItem("NUMERIC");
  list.setListIndex(1);
  list.setListIndex(1);
  list.choose(0);  // the user's pick
  list.choose(0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change#3", "Click#3", "Change#3", "Click#3"}));
  EXPECT_EQ(list.text(), "NORMAL");
  EXPECT_EQ(errorOf([&] { list.setListIndex(2); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(errorOf([&] { list.choose(-1); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(errorOf([&] { list.list(2); }), 381);
  list.setFailure("setListIndex");  // only the program's sets fail
  EXPECT_EQ(errorOf([&] { list.setListIndex(1); }), values::err::InvalidPropertyValue);
  list.choose(1);
  EXPECT_EQ(list.listIndex(), 1);
  list.clear();
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(list.text(), "");
  EXPECT_EQ(events.log.size(), 6u);  // emptying the list raises nothing
}

TEST(PageWidgets, TabControlKeepsItsCurrentTabInsideTheTabs) {
  TabControl tabs;
  tabs.setTab(2);
  tabs.setTabCaption(2, "Colours");
  tabs.setTabs(2);
  EXPECT_EQ(tabs.tab(), 1);
  EXPECT_EQ(errorOf([&] { tabs.tabCaption(2); }), 381);
  EXPECT_EQ(errorOf([&] { tabs.setTabs(0); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(errorOf([&] { tabs.setTab(2); }), values::err::InvalidPropertyValue);
}

}  // namespace
}  // namespace kestrinx::headless
