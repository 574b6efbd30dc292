// The Qt page site's own rules: check boxes and lists raise their events with their index as the
// headless ones do (for code and for the user), a widget needs its tab control and a frame of its
// own tab, Changed reaches its hook, and a handler's failure during a user's action goes to the
// error hook instead of through Qt.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "host/qt/page_site.h"
#include "values/error.h"

namespace kestrinx::testing {
namespace {

// Records the events of the page's check boxes and lists as "Click 3", "Change 1".
struct Recorder final : host::ListEvents {
  void onClick(std::int16_t index) override {
    events.push_back("Click " + std::to_string(index));
    if (failClick) values::raiseError(values::err::InvalidPropertyValue);
  }
  void onChange(std::int16_t index) override { events.push_back("Change " + std::to_string(index)); }
  std::vector<std::string> events;
  bool failClick = false;
};

class QtPageSiteTest : public ::testing::Test {
 protected:
  QtPageSiteTest() {
    site.setErrorHook([this](const values::AutomationError& e) { errors.push_back(e.number()); });
    site.setChangedHook([this](bool changed) { changes.push_back(changed); });
    site.createTabControl({"ppBox", -1, 0, nullptr, "", 120, 0, 6012, 3252, 0}, tabs);
    page.show();
  }
  host::WidgetDesign design(std::string_view name, std::int16_t index, std::int16_t tab = 0) const {
    return {name, index, tab, nullptr, "caption", 240, 720, 1692, 288, 1};
  }

  const std::array<std::string_view, 2> tabs{"One", "Two"};
  const std::array<std::string_view, 3> items{"NONE", "HH:MM", "HH:MM:SS"};
  QWidget page;
  qthost::PageSite site{page};
  Recorder recorder;
  std::vector<std::int32_t> errors;
  std::vector<bool> changes;
};

TEST_F(QtPageSiteTest, ACheckBoxRaisesClickWithItsIndexForCodeAndForTheUser) {
  host::CheckBox& box = site.createCheckBox(design("chkGeneral", 4), &recorder);
  auto& q = *page.findChild<QCheckBox*>("chkGeneral(4)");
  const struct {
    bool user;
    std::int16_t set;  // by code; ignored for a user's click
    std::int16_t value;
    Qt::CheckState shown;
    bool clicked;
  } steps[] = {
      {false, 1, 1, Qt::Checked, true},          {false, 1, 1, Qt::Checked, false},  // no change, no Click
      {true, 0, 0, Qt::Unchecked, true},         {false, 2, 2, Qt::PartiallyChecked, true},
      {true, 0, 1, Qt::Checked, true},  // a grayed box clicked becomes checked
  };
  for (const auto& s : steps) {
    recorder.events.clear();
    if (s.user)
      QTest::mouseClick(&q, Qt::LeftButton);
    else
      box.setValue(s.set);
    EXPECT_EQ(box.value(), s.value);
    EXPECT_EQ(q.checkState(), s.shown);
    EXPECT_EQ(recorder.events, s.clicked ? std::vector<std::string>{"Click 4"} : std::vector<std::string>{});
  }
  try {
    box.setValue(3);
    ADD_FAILURE() << "Value 3 accepted";
  } catch (const values::AutomationError& e) {
    EXPECT_EQ(e.number(), values::err::InvalidPropertyValue);
  }
}

TEST_F(QtPageSiteTest, AListRaisesChangeThenClickWheneverListIndexChanges) {
  host::ComboBox& list = site.createComboBox(design("cmbGeneral", 2), items, &recorder);
  auto& q = *page.findChild<QComboBox*>("cmbGeneral(2)");
  EXPECT_EQ(list.listIndex(), -1);  // adding items chooses none
  EXPECT_EQ(q.currentIndex(), -1);
  list.setListIndex(2);
  list.setListIndex(2);
  q.setCurrentIndex(1);  // the user's pick
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"Change 2", "Click 2", "Change 2", "Click 2"}));
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_EQ(list.text(), "HH:MM");
  for (const auto& bad : {std::pair<std::int32_t, std::int32_t>{3, values::err::InvalidPropertyValue},
                          std::pair<std::int32_t, std::int32_t>{-2, values::err::InvalidPropertyValue}}) {
    try {
      list.setListIndex(bad.first);
      ADD_FAILURE() << "ListIndex " << bad.first << " accepted";
    } catch (const values::AutomationError& e) {
      EXPECT_EQ(e.number(), bad.second);
    }
  }
  recorder.events.clear();
  list.clear();
  EXPECT_TRUE(recorder.events.empty());
  EXPECT_EQ(list.listCount(), 0);
}

TEST_F(QtPageSiteTest, WidgetsNeedTheirTabControlAndAFrameOfTheirOwnTab) {
  QWidget otherPage;
  qthost::PageSite bare(otherPage);
  EXPECT_THROW(bare.createLabel(design("lblGeneral", 0)), values::AutomationError);
  host::Frame& frame = site.createFrame(design("Frame1", -1, 1));
  host::WidgetDesign inFrame = design("lblGeneral", 1, 0);
  inFrame.frame = &frame;
  EXPECT_THROW(site.createLabel(inFrame), values::AutomationError);  // the frame stands on tab 1
  inFrame.tab = 1;
  host::Label& label = site.createLabel(inFrame);
  EXPECT_EQ(label.width(), 1692);  // at the design's size, as set
  EXPECT_EQ(site.find("lblGeneral", 1)->parentWidget(), site.find("Frame1"));
  EXPECT_EQ(site.find("lblGeneral", 7), nullptr);
}

TEST_F(QtPageSiteTest, ChangedReachesItsHookAndAUsersFailingEventReachesTheErrorHook) {
  site.setChanged(values::True);
  site.setChanged(-2);  // still changed: no news
  site.setChanged(values::False);
  EXPECT_EQ(changes, (std::vector<bool>{true, false}));

  site.createCheckBox(design("chkGeneral", 0), &recorder);
  recorder.failClick = true;
  QTest::mouseClick(page.findChild<QCheckBox*>("chkGeneral(0)"), Qt::LeftButton);
  EXPECT_EQ(errors, std::vector<std::int32_t>{values::err::InvalidPropertyValue});
  EXPECT_EQ(recorder.events, std::vector<std::string>{"Click 0"});
}

}  // namespace
}  // namespace kestrinx::testing
