// The headless page site: creating the page's widgets from designs, finding them again, and
// what a user does on the page.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "headless_recorder.h"
#include "host/headless/headless.h"
#include "support/test_helpers.h"

namespace kestrinx::headless {
namespace {

using kestrinx::testing::errorOf;

struct PageEvents : host::ListEvents {
  std::vector<std::string> log;
  void onChange(std::int16_t i) override { log.push_back("Change#" + std::to_string(i)); }
  void onClick(std::int16_t i) override { log.push_back("Click#" + std::to_string(i)); }
};

host::WidgetDesign design(std::string_view name, std::int16_t index, std::string_view caption, std::int16_t tab = 0,
                          host::Frame* frame = nullptr) {
  return host::WidgetDesign{name, index, tab, frame, caption, 100, 200, 1200, 288, 7};
}

constexpr std::string_view kTabs[] = {"One", "Two"};
constexpr std::string_view kItems[] = {"Normal", "Numeric"};

class PageSiteTest : public ::testing::Test {
 protected:
  PageSiteTest() {
    site.setPageArea("General", 6228, 3324);
    site.createTabControl(design("ppBox", -1, ""), kTabs);
    frame = &site.createFrame(design("Frame1", -1, "Box", 1));
  }
  PageSite site;
  host::Frame* frame = nullptr;
  PageEvents events;
  testing::Recorder typing;
};

TEST_F(PageSiteTest, WidgetsStartWithTheirDesignAndRaiseNothingForIt) {
  site.createTextBox(design("txtGeneral", 1, "txtBoxWidth", 1, frame), &typing);
  site.createComboBox(design("cmbGeneral", 0, ""), kItems, &events);
  site.createCheckBox(design("chkGeneral", 2, "ColorEditUse"), &events);
  site.createLabel(design("lblGeneral", 4, "a caption far longer than the designed width"));

  EXPECT_TRUE(typing.log.empty());
  EXPECT_TRUE(events.log.empty());
  EXPECT_EQ(site.pageCaption(), "General");
  EXPECT_FLOAT_EQ(site.pageWidth(), 6228.0f);
  TabControl& tabs = site.tabControl();
  EXPECT_EQ(tabs.tabs(), 2);
  EXPECT_EQ(tabs.tabCaption(1), "Two");
  EXPECT_EQ(tabs.tab(), 0);
  EXPECT_EQ(site.frame("frame1").caption(), "Box");  // names in any case

  TextBox& box = site.textBox("txtGeneral", 1);
  EXPECT_EQ(box.text(), "txtBoxWidth");
  EXPECT_EQ(box.index(), 1);
  EXPECT_EQ(site.placement("txtGeneral", 1).frame, "Frame1");
  EXPECT_EQ(site.placement("txtGeneral", 1).tab, 1);
  EXPECT_EQ(site.placement("txtGeneral", 1).tabIndex, 7);
  ComboBox& list = site.comboBox("cmbGeneral", 0);
  EXPECT_EQ(list.listCount(), 2);
  EXPECT_EQ(list.listIndex(), -1);
  EXPECT_EQ(site.checkBox("chkGeneral", 2).caption(), "ColorEditUse");
  EXPECT_EQ(site.checkBox("chkGeneral", 2).value(), 0);
  const Label& label = site.label("lblGeneral", 4);
  for (const host::Positioned* w : {static_cast<const host::Positioned*>(&box), static_cast<const host::Positioned*>(&label)}) {
    EXPECT_FLOAT_EQ(w->left(), 100.0f);
    EXPECT_FLOAT_EQ(w->top(), 200.0f);
    EXPECT_FLOAT_EQ(w->width(), 1200.0f);  // the label keeps the design's size, not its caption's
    EXPECT_FLOAT_EQ(w->height(), 288.0f);
  }
  EXPECT_EQ(site.placed().size(), 6u);
}

TEST_F(PageSiteTest, LookupsAndPlacementsRefuseWhatIsNotThere) {
  site.createTextBox(design("txtGeneral", 0, ""), &typing);
  EXPECT_EQ(errorOf([&] { site.textBox("txtGeneral", 1); }), values::err::NoSuchControlArrayElement);
  EXPECT_EQ(errorOf([&] { site.checkBox("txtGeneral", 0); }), values::err::NoSuchControlArrayElement);  // another kind
  EXPECT_EQ(errorOf([&] { site.frame("Frame2"); }), values::err::NoSuchControlArrayElement);

  PageSite other;
  host::Frame& foreign = other.createFrame(design("Frame1", -1, "Box"));
  EXPECT_EQ(errorOf([&] { site.createLabel(design("lblGeneral", 0, "x", 0, &foreign)); }),
            values::err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([&] { site.createLabel(design("lblGeneral", 0, "x", 0, frame)); }),  // Frame1 is on tab 1
            values::err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([&] { site.createTabControl(design("ppBox", -1, ""), {}); }), values::err::InvalidPropertyValue);
}

TEST_F(PageSiteTest, UserTypesClicksAndPicksThroughTheWidgetsEvents) {
  site.createTextBox(design("txtGeneral", 2, ""), &typing);
  site.createComboBox(design("cmbGeneral", 1, ""), kItems, &events);
  site.createCheckBox(design("chkGeneral", 5, "InvalidBeep"), &events);

  site.type("txtGeneral", 2, "12");
  site.press(Key::Home);
  site.form().type("-");
  EXPECT_EQ(site.textBox("txtGeneral", 2).text(), "-12");
  EXPECT_EQ(typing.count("Change:user#2"), 3);
  EXPECT_EQ(site.form().focused(), &site.textBox("txtGeneral", 2));

  site.choose("cmbGeneral", 1, 1);
  site.click("chkGeneral", 5);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change#1", "Click#1", "Click#5"}));
  EXPECT_EQ(site.checkBox("chkGeneral", 5).value(), 1);
  EXPECT_EQ(errorOf([&] { site.choose("cmbGeneral", 1, 2); }), values::err::InvalidPropertyValue);
}

}  // namespace
}  // namespace kestrinx::headless
