// The General page on the headless page site, over real controls through the member table.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "control/enumerations.h"
#include "control/kestrin_component.h"
#include "host/headless/headless.h"
#include "propertypage/general.h"
#include "support/test_helpers.h"

namespace kestrinx::propertypage {
namespace {

using values::Variant;
using kestrinx::testing::errorOf;

// A control placed on a form as a designer places it.
struct PlacedControl {
  PlacedControl(headless::Form& form, const std::string& name) : site(form, name), component(site) {
    component.Initialize();
    component.InitProperties();
  }
  Variant get(const std::string& name) { return component.dispatch().getProperty(name); }
  void set(const std::string& name, const Variant& v) { component.dispatch().setProperty(name, v); }
  headless::ControlSite site;
  KestrinComponent component;
};

// A control seen by name that logs each read and set ("get Kestrin1.Caption") before passing it on.
struct RecordingDispatch final : values::Dispatch {
  RecordingDispatch(values::Dispatch& inner, std::string tag, std::vector<std::string>& log)
      : inner_(inner), tag_(std::move(tag)), log_(log) {}
  Variant getProperty(const std::string& name) override {
    log_.push_back("get " + tag_ + "." + name);
    return inner_.getProperty(name);
  }
  void setProperty(const std::string& name, const Variant& value) override {
    log_.push_back("set " + tag_ + "." + name);
    inner_.setProperty(name, value);
  }

 private:
  values::Dispatch& inner_;
  std::string tag_;
  std::vector<std::string>& log_;
};

class GeneralTest : public ::testing::Test {
 protected:
  // Shows the page for `controls` as the host does: Initialize, the first load, Changed cleared.
  void open(std::vector<values::Dispatch*> controls) {
    site.select(std::move(controls));
    page.PropertyPage_Initialize();
    page.PropertyPage_SelectionChanged();
    site.setChanged(values::False);
  }
  void openBoth() { open({&first.component.dispatch(), &second.component.dispatch()}); }
  // What a text box, list or check box shows: its text, chosen item or Value.
  std::string shown(std::string_view name, std::int16_t index) {
    const host::Positioned* w = site.placement(name, index).widget.get();
    if (const auto* box = dynamic_cast<const headless::TextBox*>(w)) return box->text();
    if (const auto* list = dynamic_cast<const headless::ComboBox*>(w)) return list->text();
    return std::to_string(dynamic_cast<const headless::CheckBox&>(*w).value());
  }

  template <typename W>
  int countOf() const {
    int n = 0;
    for (const auto& p : site.placed()) n += dynamic_cast<const W*>(p.widget.get()) != nullptr ? 1 : 0;
    return n;
  }

  headless::Form form;
  PlacedControl first{form, "Kestrin1"}, second{form, "Kestrin2"};
  headless::PageSite site;
  General page{site};
};

const std::vector<std::string> kApplyOrder = {
    "KestrinType", "CaptionView",   "Caption",     "BoxWidthLock", "BoxWidth",   "Interval",        "ToolTipText",
    "ColorEditUse", "ColorInValidUse", "InvalidBeep", "ColorValidUse", "FormatDate", "FormatTime", "NumSeparatorUse",
    "NumAlignment"};

// ---- the design -----------------------------------------------------------------------------

TEST_F(GeneralTest, DesignTableYieldsExactlyThePagesWidgets) {
  std::set<int> tabIndexes;
  for (const auto& p : site.placed()) tabIndexes.insert(p.tabIndex);
  EXPECT_EQ(countOf<headless::TextBox>(), 4);
  EXPECT_EQ(countOf<headless::ComboBox>(), 4);
  EXPECT_EQ(countOf<headless::CheckBox>(), 7);
  EXPECT_EQ(countOf<headless::Label>(), 11);
  EXPECT_EQ(countOf<headless::Frame>(), 3);
  EXPECT_EQ(countOf<headless::TabControl>(), 1);
  EXPECT_EQ(tabIndexes.size(), 30u);  // 0 (the tab control) to 29, each once
  EXPECT_EQ(*tabIndexes.rbegin(), 29);

  EXPECT_EQ(site.pageCaption(), "General");
  EXPECT_FLOAT_EQ(site.pageWidth(), 6228.0f);
  EXPECT_FLOAT_EQ(site.pageHeight(), 3324.0f);
  headless::TabControl& tabs = site.tabControl();
  EXPECT_EQ(tabs.tabs(), 3);
  EXPECT_EQ(tabs.tab(), 0);
  EXPECT_EQ(tabs.tabCaption(0) + "|" + tabs.tabCaption(1) + "|" + tabs.tabCaption(2), "General|ColorUse/Beep|Format");

  struct Row {
    std::string_view name;
    std::int16_t index;
    std::int16_t tab;
    std::string_view frame, caption;
    float left, top, width, height;
    std::int16_t tabIndex;
  };
  const Row rows[] = {
      {"ppBox", -1, 0, "", "", 120, 0, 6012, 3252, 0},
      {"lblGeneral", 0, 0, "", "KestrinType", 360, 480, 960, 192, 1},
      {"txtGeneral", 0, 0, "Frame1", "txtCaption", 1680, 480, 3252, 288, 4},
      {"txtGeneral", 2, 0, "Frame2", "txtInterval", 3480, 480, 972, 288, 7},
      {"chkGeneral", 3, 1, "", "ColorInvalidUse", 840, 1200, 1452, 192, 13},
      {"chkGeneral", 5, 1, "", "InvalidBeep", 2520, 1200, 1452, 192, 25},
      {"Frame3", -1, 2, "", "Format Numeric", 240, 1320, 5412, 1212, 26},
      {"cmbGeneral", 3, 2, "Frame3", "", 360, 600, 1692, 288, 28},
      {"lblGeneral", 8, 2, "", "KestrinX 1.0", 3960, 2880, 1872, 192, 23},
  };
  for (const Row& r : rows) {
    const auto& p = site.placement(r.name, r.index);
    SCOPED_TRACE(std::string(r.name) + "(" + std::to_string(r.index) + ")");
    EXPECT_EQ(p.tab, r.tab);
    EXPECT_EQ(p.frame, r.frame);
    EXPECT_EQ(p.tabIndex, r.tabIndex);
    EXPECT_FLOAT_EQ(p.widget->left(), r.left);
    EXPECT_FLOAT_EQ(p.widget->top(), r.top);
    EXPECT_FLOAT_EQ(p.widget->width(), r.width);
    EXPECT_FLOAT_EQ(p.widget->height(), r.height);
    const host::Positioned* w = p.widget.get();
    std::string caption;
    if (const auto* l = dynamic_cast<const headless::Label*>(w)) caption = l->caption();
    if (const auto* c = dynamic_cast<const headless::CheckBox*>(w)) caption = c->caption();
    if (const auto* f = dynamic_cast<const headless::Frame*>(w)) caption = f->caption();
    if (const auto* t = dynamic_cast<const headless::TextBox*>(w)) caption = t->text();
    EXPECT_EQ(caption, r.caption);
  }
  EXPECT_EQ(site.label("lblGeneral", 8).foreColor(), 0x8000000Du);  // author lines in the highlight colour
  EXPECT_EQ(site.label("lblGeneral", 0).foreColor(), values::SystemButtonText);
  const headless::ComboBox& time = site.comboBox("cmbGeneral", 2);
  ASSERT_EQ(time.listCount(), 3);
  EXPECT_EQ(time.list(0) + "|" + time.list(1) + "|" + time.list(2), "NONE|HH:MM|HH:MM:SS");
  EXPECT_EQ(site.comboBox("cmbGeneral", 0).list(3), "Time");
  EXPECT_EQ(site.comboBox("cmbGeneral", 3).list(1), "LEFT_ALIGN");
  EXPECT_EQ(site.changed(), values::False);  // the design's texts raise no handler
}

// ---- loading --------------------------------------------------------------------------------

TEST_F(GeneralTest, InitializeChecksNumSeparatorUseUntilTheFirstLoadShowsTheControls) {
  first.set("NumSeparatorUse", Variant::boolean(values::False));
  EXPECT_EQ(shown("chkGeneral", 6), "0");
  page.PropertyPage_Initialize();
  EXPECT_EQ(shown("chkGeneral", 6), "1");
  page.PropertyPage_SelectionChanged();  // nothing selected: nothing to show
  EXPECT_EQ(shown("chkGeneral", 6), "1");
  site.select({&first.component.dispatch()});
  page.PropertyPage_SelectionChanged();
  EXPECT_EQ(shown("chkGeneral", 6), "0");
}

TEST_F(GeneralTest, LoadShowsEachPropertyOfTheFirstSelectedControl) {
  struct Row {
    std::string_view property;
    Variant value;
    std::string_view widget;
    std::int16_t index;
    std::string shown;
  };
  const Row rows[] = {
      {"KestrinType", Variant::longValue(DATE_TYPE), "cmbGeneral", 0, "Date"},
      {"FormatDate", Variant::longValue(NONE), "cmbGeneral", 1, "NONE"},
      {"FormatTime", Variant::longValue(ANY_TYPE), "cmbGeneral", 2, "NONE"},
      {"NumAlignment", Variant::longValue(LEFT_ALIGN), "cmbGeneral", 3, "LEFT_ALIGN"},
      {"BoxWidthLock", Variant::boolean(1), "chkGeneral", 1, "1"},  // any non-zero value is True
      {"BoxWidth", Variant::longValue(2400), "txtGeneral", 1, "2400"},  // locked, so it stays
      {"Interval", Variant::longValue(120), "txtGeneral", 2, "120"},
      {"ToolTipText", Variant::string("Amount due"), "txtGeneral", 3, "Amount due"},
      {"ColorInValidUse", Variant::boolean(values::False), "chkGeneral", 3, "0"},
      {"InvalidBeep", Variant::boolean(values::True), "chkGeneral", 5, "1"},
  };
  for (const Row& r : rows) second.set(std::string(r.property), r.value);
  open({&second.component.dispatch(), &first.component.dispatch()});
  for (const Row& r : rows) EXPECT_EQ(shown(r.widget, r.index), r.shown) << r.property;
}

TEST_F(GeneralTest, CaptionViewLoadEmptiesTheCaptionBoxBeforeTheCaptionIsLoaded) {
  first.set("Caption", Variant::string("Amount"));
  second.set("CaptionView", Variant::boolean(values::False));  // which empties the control's caption
  second.set("Caption", Variant::string("Total"));
  open({&first.component.dispatch()});  // CaptionView goes from unchecked to checked: Click
  EXPECT_EQ(shown("chkGeneral", 0), "1");
  EXPECT_EQ(shown("txtGeneral", 0), "Amount");
  site.select({&second.component.dispatch()});
  page.PropertyPage_SelectionChanged();  // and back
  EXPECT_EQ(shown("chkGeneral", 0), "0");
  EXPECT_EQ(shown("txtGeneral", 0), "Total");
  EXPECT_EQ(site.changed(), values::True);  // this host raises the widgets' events for code's changes too
}

// ---- editing --------------------------------------------------------------------------------

TEST_F(GeneralTest, NumberBoxesHoldOnlyNumbersAndEmptyingLeavesChangedAlone) {
  struct Row {
    const char* name;
    values::Boolean changedBefore;
    std::string typed, typedInFront;
    std::string text;
    values::Boolean changedAfter;
  };
  const Row rows[] = {
      {"letter", values::False, "a", "", "", values::False},
      {"letterWhileChanged", values::True, "x", "", "", values::True},
      {"loneMinus", values::False, "-", "", "", values::False},
      {"lonePoint", values::False, ".", "", "", values::False},
      {"digits", values::False, "12", "", "12", values::True},
      {"minusInFront", values::False, "12", "-", "-12", values::True},
      {"letterAfterDigitsEmptiesTheBox", values::False, "12a", "", "", values::True},
  };
  open({&first.component.dispatch()});
  for (std::int16_t box : {1, 2}) {
    for (const Row& r : rows) {
      SCOPED_TRACE(std::string(r.name) + " in box " + std::to_string(box));
      site.textBox("txtGeneral", box).setText("");
      site.setChanged(r.changedBefore);
      site.type("txtGeneral", box, r.typed);
      if (!r.typedInFront.empty()) {
        site.press(headless::Key::Home);
        site.form().type(r.typedInFront);
      }
      EXPECT_EQ(shown("txtGeneral", box), r.text);
      EXPECT_EQ(site.changed(), r.changedAfter);
    }
  }
}

TEST_F(GeneralTest, ListsAndCheckBoxesMarkThePageChanged) {
  open({&first.component.dispatch()});
  site.choose("cmbGeneral", 2, 2);
  EXPECT_EQ(site.changed(), values::True);
  site.setChanged(values::False);
  site.click("chkGeneral", 4);
  EXPECT_EQ(site.changed(), values::True);
  EXPECT_EQ(shown("txtGeneral", 0), "Kestrin1");  // only CaptionView touches the caption box
}

// ---- applying -------------------------------------------------------------------------------

TEST_F(GeneralTest, CaptionViewClickEmptiesTheCaptionOfEverySelectedControlOnApply) {
  openBoth();
  site.click("chkGeneral", 0);  // checked -> unchecked
  EXPECT_EQ(shown("txtGeneral", 0), "");
  site.type("txtGeneral", 0, "Sum");
  site.click("chkGeneral", 0);  // unchecked -> checked empties it just the same
  EXPECT_EQ(shown("txtGeneral", 0), "");
  EXPECT_EQ(site.changed(), values::True);
  page.PropertyPage_ApplyChanges();
  EXPECT_EQ(first.get("Caption"), Variant::string(""));
  EXPECT_EQ(second.get("Caption"), Variant::string(""));
}

TEST_F(GeneralTest, ApplyGivesEverySelectedControlAllFifteenValuesShown) {
  first.set("BoxWidthLock", Variant::boolean(values::True));
  first.set("BoxWidth", Variant::longValue(2000));
  first.set("FormatDate", Variant::longValue(MMDDYY));
  first.set("ToolTipText", Variant::string("first"));
  second.set("Interval", Variant::longValue(10));
  second.set("ColorEditUse", Variant::boolean(values::True));
  second.set("NumAlignment", Variant::longValue(LEFT_ALIGN));
  openBoth();
  EXPECT_EQ(shown("txtGeneral", 1), "2000");  // the first control's values
  EXPECT_EQ(shown("cmbGeneral", 3), "RIGHT_ALIGN");

  site.choose("cmbGeneral", 0, TIME_TYPE);
  const std::vector<TabState> shownBefore = page.describeTabs();
  page.PropertyPage_ApplyChanges();
  EXPECT_EQ(second.get("BoxWidth"), Variant::longValue(2000));
  EXPECT_EQ(second.get("ToolTipText"), Variant::string("first"));
  EXPECT_EQ(second.get("Interval"), first.get("Interval"));
  for (PlacedControl* c : {&first, &second}) {
    EXPECT_EQ(c->get("KestrinType"), Variant::longValue(TIME_TYPE));
    site.select({&c->component.dispatch()});
    page.PropertyPage_SelectionChanged();
    EXPECT_EQ(page.describeTabs(), shownBefore);  // each control now holds what the page showed
  }
}

// A value a list has no item for loads as no item chosen, and the rows after it load; an apply
// leaves that property of every selected control alone until the user picks an item.
TEST_F(GeneralTest, AValueNoListHoldsLoadsAsNoItemAndIsAppliedOnlyOncePicked) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, Variant>> sets;  // on the first control
    std::string property;
    std::int16_t list;
    std::int32_t pick;
  };
  const Row rows[] = {
      {"UnknownType", {{"KestrinType", Variant::longValue(7)}}, "KestrinType", 0, NUMERIC_TYPE},
      {"DateFormatBeyondTheList",
       {{"KestrinType", Variant::longValue(DATE_TYPE)}, {"FormatDate", Variant::longValue(5)}},
       "FormatDate",
       1,
       MMDDYY},
      {"TimeFormatBeyondSixteenBits",
       {{"KestrinType", Variant::longValue(TIME_TYPE)}, {"FormatTime", Variant::longValue(70000)}},
       "FormatTime",
       2,
       HMS},
      {"NegativeAlignment", {{"NumAlignment", Variant::longValue(-1)}}, "NumAlignment", 3, LEFT_ALIGN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    headless::Form rowForm;
    PlacedControl a{rowForm, "Kestrin1"}, b{rowForm, "Kestrin2"};
    for (const auto& [name, value] : row.sets) {
      a.set(name, value);
      b.set(name, name == row.property ? Variant::longValue(1) : value);  // b holds an item of the list
    }
    const bool alignmentRow = row.property == "NumAlignment";
    if (!alignmentRow) a.set("NumAlignment", Variant::longValue(LEFT_ALIGN));
    a.set("Caption", Variant::string("Due"));
    const Variant ownValue = a.get(row.property);

    headless::PageSite rowSite;
    General rowPage(rowSite);
    rowSite.select({&a.component.dispatch(), &b.component.dispatch()});
    rowPage.PropertyPage_Initialize();
    rowPage.PropertyPage_SelectionChanged();
    EXPECT_EQ(rowSite.comboBox("cmbGeneral", row.list).listIndex(), -1);
    EXPECT_EQ(rowSite.textBox("txtGeneral", 0).text(), "Due");  // the rows after it loaded too
    if (!alignmentRow) {
      EXPECT_EQ(rowSite.comboBox("cmbGeneral", 3).listIndex(), LEFT_ALIGN);  // the last row too
    }

    rowSite.type("txtGeneral", 3, "tip");
    rowPage.PropertyPage_ApplyChanges();
    EXPECT_EQ(a.get(row.property), ownValue);
    EXPECT_EQ(b.get(row.property), Variant::longValue(1));
    EXPECT_EQ(b.get("ToolTipText"), Variant::string("tip"));

    rowSite.choose("cmbGeneral", row.list, row.pick);
    rowPage.PropertyPage_ApplyChanges();
    EXPECT_EQ(a.get(row.property), Variant::longValue(row.pick));
    EXPECT_EQ(b.get(row.property), Variant::longValue(row.pick));
  }
}

TEST_F(GeneralTest, OnlyACheckedBoxAppliesTrue) {
  open({&first.component.dispatch()});
  for (std::int16_t value : {0, 1, 2}) {
    site.checkBox("chkGeneral", 2).setValue(value);
    page.PropertyPage_ApplyChanges();
    EXPECT_EQ(first.get("ColorEditUse"), Variant::boolean(value == 1 ? values::True : values::False)) << value;
  }
}

TEST_F(GeneralTest, ApplySetsFifteenPropertiesInOrderOnEachControlInTurn) {
  std::vector<std::string> log;
  RecordingDispatch a(first.component.dispatch(), "A", log), b(second.component.dispatch(), "B", log);
  open({&a, &b});
  std::vector<std::string> expected;
  for (const auto& name : kApplyOrder) expected.push_back("get A." + name);  // loads read the first only
  EXPECT_EQ(log, expected);

  log.clear();
  expected.clear();
  for (const char* tag : {"A", "B"})
    for (const auto& name : kApplyOrder) expected.push_back(std::string("set ") + tag + "." + name);
  page.PropertyPage_ApplyChanges();
  EXPECT_EQ(log, expected);
}

TEST_F(GeneralTest, ANumberBoxThatCannotConvertStopsTheApplyBeforeAnyControlChanges) {
  struct Row {
    const char* name;
    std::int16_t box;
    std::string text;
    std::string message;
  };
  const Row rows[] = {
      {"emptyBoxWidth", 1, "", "BoxWidth is empty: enter a whole number"},
      {"emptyInterval", 2, "", "Interval is empty: enter a whole number"},
      {"tooLarge", 2, "99999999999",
       "Interval: '99999999999' is outside the range of a 32-bit whole number (-2147483648 to 2147483647)"},
      {"boxThatCouldNotBeEmptied", 1, "12a", "BoxWidth: '12a' is not a number"},
  };
  std::vector<std::string> log;
  RecordingDispatch a(first.component.dispatch(), "A", log), b(second.component.dispatch(), "B", log);
  open({&a, &b});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    headless::TextBox& box = site.textBox("txtGeneral", r.box);
    box.setText("");
    if (!values::isNumeric(r.text)) box.setFailure("setText");  // the handler cannot empty it
    errorOf([&] { site.type("txtGeneral", r.box, r.text); });
    box.clearFailures();
    ASSERT_EQ(box.text(), r.text);
    site.click("chkGeneral", 0);  // an edit that would be applied
    log.clear();
    try {
      page.PropertyPage_ApplyChanges();
      ADD_FAILURE() << "applied";
    } catch (const values::AutomationError& e) {
      EXPECT_EQ(e.number(), values::err::InvalidPropertyValue);
      EXPECT_STREQ(e.what(), r.message.c_str());
    }
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(first.get("Caption"), Variant::string("Kestrin1"));
    box.setText("80");
  }
}

// ---- by name, for tools ---------------------------------------------------------------------

TEST_F(GeneralTest, DescribeTabsListsEachTabsWidgetsInKeyboardOrderWithTheirValues) {
  first.set("BoxWidth", Variant::longValue(1500));
  open({&first.component.dispatch()});
  const std::vector<TabState> tabs = page.describeTabs();
  ASSERT_EQ(tabs.size(), 3u);
  std::vector<std::string> names;
  for (const WidgetState& w : tabs[0].widgets) names.push_back(w.name);
  EXPECT_EQ(names, (std::vector<std::string>{"lblGeneral(0)", "Frame1", "chkGeneral(0)", "txtGeneral(0)",
                                             "lblGeneral(1)", "Frame2", "txtGeneral(2)", "chkGeneral(1)",
                                             "txtGeneral(1)", "lblGeneral(3)", "lblGeneral(2)", "lblGeneral(4)",
                                             "txtGeneral(3)", "cmbGeneral(0)", "lblGeneral(9)"}));
  EXPECT_EQ(tabs[0].widgets[8], (WidgetState{"txtGeneral(1)", WidgetKind::TextBox, "Frame2", 9, "", "BoxWidth", "1500"}));
  EXPECT_EQ(tabs[1].caption, "ColorUse/Beep");
  EXPECT_EQ(tabs[1].widgets[1], (WidgetState{"chkGeneral(3)", WidgetKind::CheckBox, "", 13, "ColorInvalidUse",
                                             "ColorInValidUse", "1"}));
  EXPECT_EQ(tabs[2].widgets.back().name, "lblGeneral(10)");
  EXPECT_EQ(tabs[2].widgets[1], (WidgetState{"cmbGeneral(2)", WidgetKind::List, "", 19, "", "FormatTime", "NONE"}));
}

TEST_F(GeneralTest, SetWidgetByNameActsAsCodeOrSaysWhatIsWrong) {
  open({&first.component.dispatch()});
  page.setWidget("cmbGeneral(0)=date");
  page.setWidget("CMBGENERAL(1)=2");
  page.setWidget("txtGeneral(1)=1200");
  page.setWidget("chkGeneral(0)=0");  // its handler runs: the caption box is emptied
  EXPECT_EQ(shown("cmbGeneral", 0), "Date");
  EXPECT_EQ(shown("cmbGeneral", 1), "MM-DD-YYYY");
  EXPECT_EQ(shown("txtGeneral", 1), "1200");
  EXPECT_EQ(shown("txtGeneral", 0), "");
  EXPECT_EQ(site.changed(), values::True);

  struct Row {
    std::string assignment;
    std::int32_t number;
    std::string message;
  };
  const Row rows[] = {
      {"txtGeneral(9)=1", 340,
       "no widget 'txtGeneral(9)' on the page; values go to txtGeneral(0-3), cmbGeneral(0-3), chkGeneral(0-6)"},
      {"Caption=x", 340,
       "no widget 'Caption' on the page; values go to txtGeneral(0-3), cmbGeneral(0-3), chkGeneral(0-6)"},
      {"txtGeneral(1)=12a", 380, "txtGeneral(1) (BoxWidth) takes a number, not '12a'"},
      {"chkGeneral(5)=3", 380, "chkGeneral(5) (InvalidBeep) takes 0 (unchecked), 1 (checked) or 2 (grayed), not '3'"},
      {"cmbGeneral(2)=HH", 380,
       "cmbGeneral(2) (FormatTime) takes one of NONE, HH:MM, HH:MM:SS or its index 0 to 2, not 'HH'"},
      {"lblGeneral(0)=x", 380,
       "lblGeneral(0) shows a caption and takes no value; values go to txtGeneral(0-3), cmbGeneral(0-3), "
       "chkGeneral(0-6)"},
      {"txtGeneral(1)", 5, "'txtGeneral(1)' is not of the form name(index)=value, as in txtGeneral(1)=1200"},
  };
  for (const Row& r : rows) {
    try {
      page.setWidget(r.assignment);
      ADD_FAILURE() << r.assignment << " was taken";
    } catch (const values::AutomationError& e) {
      EXPECT_EQ(e.number(), r.number) << r.assignment;
      EXPECT_EQ(e.what(), r.message);
    }
  }
  EXPECT_EQ(shown("txtGeneral", 1), "1200");  // refused values change nothing
}

}  // namespace
}  // namespace kestrinx::propertypage
