// The control model: creation and Initialize, KestrinType, the format choices, ToolTipText,
// the read-only ValidState, the stores-only properties and the rule that a failing step stops a
// put without reporting the property as changed.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/kestrin_fixture.h"

namespace kestrinx::testing {
namespace {

using Names = std::vector<std::string>;
using Types = std::initializer_list<std::int32_t>;

class ModelTest : public KestrinTest {
 protected:
  const Names& changed() { return surface().changedProperties(); }
  // Both elements hold `s` and the records are clean.
  void bothHold(const std::string& s) {
    k.put_Text(s);
    surface().clearChangedProperties();
    events.log.clear();
    events.changes = 0;
  }
};

// ---- event connections -----------------------------------------------------------------------

TEST_F(ModelTest, ASinkThatDisconnectsInItsHandlerDoesNotRobTheNextOfTheEvent) {
  RecordingEvents second;
  k.connect(&second);
  events.onChange = [&] { k.disconnect(&events); };
  k.put_Text("a");  // element 1, then element 0: two Changes
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(second.changes, 2);
  k.put_Text("b");
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(second.changes, 4);
}

// ---- creation and Initialize -----------------------------------------------------------------

TEST(ModelCreation, EveryFieldStartsZeroAndInitializeSetsOnlyTheFormatTexts) {
  headless::Form form;
  headless::ControlSite site{form, "Kestrin7"};
  Kestrin k{site};
  RecordingEvents events;
  k.connect(&events);

  auto expectAllZero = [&] {
    EXPECT_EQ(k.get_KestrinType(), 0);
    EXPECT_EQ(k.get_NumAlignment(), 0);
    EXPECT_EQ(k.get_NumSeparatorUse(), 0);
    EXPECT_EQ(k.get_CaptionView(), 0);
    EXPECT_EQ(k.get_Appearance(), 0);
    EXPECT_EQ(k.get_InvalidBeep(), 0);
    EXPECT_EQ(k.get_FormatDate(), NONE);
    EXPECT_EQ(k.get_FormatTime(), ANY_TYPE);
    EXPECT_EQ(k.get_BackColor(), 0u);
    EXPECT_EQ(k.get_ColorValid(), 0u);
    EXPECT_EQ(k.get_ColorValidUse(), 0);
    EXPECT_EQ(k.get_ColorInValid(), 0u);
    EXPECT_EQ(k.get_ColorInValidUse(), 0);
    EXPECT_EQ(k.get_ColorEdit(), 0u);
    EXPECT_EQ(k.get_ColorEditUse(), 0);
    EXPECT_EQ(k.get_Interval(), 0);
    EXPECT_EQ(k.get_Alignment(), 0);
    EXPECT_EQ(k.get_BoxWidthLock(), 0);
    EXPECT_EQ(k.get_AutoSize(), 0);
    EXPECT_EQ(k.get_ValidState(), 0);
    EXPECT_EQ(k.boxIndex(), 0);
    EXPECT_EQ(k.sizeFlag(), 0);
    EXPECT_EQ(k.captionChanged(), 0);
    EXPECT_EQ(k.inLayout(), 0);
    EXPECT_EQ(k.formatting(), 0);
  };

  expectAllZero();
  EXPECT_EQ(k.dateFormatText(), "");
  EXPECT_EQ(k.timeFormatText(), "");

  k.Initialize();
  expectAllZero();
  EXPECT_EQ(k.dateFormatText(), "yyyy-mm-dd");
  EXPECT_EQ(k.timeFormatText(), "hh:mm");
  // Initialize touches neither the widgets nor the host.
  EXPECT_EQ(site.box(0).text(), "Kestrin7");
  EXPECT_EQ(site.box(1).text(), "Kestrin7");
  EXPECT_TRUE(site.headlessSurface().changedProperties().empty());
  EXPECT_TRUE(events.log.empty());
}

TEST_F(ModelTest, DateTypeAloneChoosesNoFormatButTheDefaultTextIsReady) {
  placeNew();
  k.put_KestrinType(DATE_TYPE);
  EXPECT_EQ(k.get_FormatDate(), NONE);
  EXPECT_EQ(k.dateFormatText(), "yyyy-mm-dd");
  k.put_KestrinType(TIME_TYPE);
  EXPECT_EQ(k.get_FormatTime(), ANY_TYPE);
  EXPECT_EQ(k.timeFormatText(), "hh:mm");
}

// ---- KestrinType -----------------------------------------------------------------------------

TEST_F(ModelTest, TypesWithoutAValueKindKeepTheText) {
  placeNew();
  for (std::int32_t type : Types{NORMAL_TYPE, 7, -1}) {
    SCOPED_TRACE(type);
    bothHold("abc");
    k.put_KestrinType(type);
    EXPECT_EQ(k.get_KestrinType(), type);  // out-of-list values are stored as given
    EXPECT_EQ(box(0).text(), "abc");
    EXPECT_EQ(box(1).text(), "abc");
    EXPECT_EQ(events.changes, 0);
    EXPECT_EQ(changed(), Names{"KestrinType"});
  }
}

TEST_F(ModelTest, ValueTypesEmptyBothBoxesEvenWhenTheTypeIsUnchanged) {
  placeNew();
  k.put_NumAlignment(LEFT_ALIGN);  // no alignment padding, so an empty numeric box stays ""
  for (std::int32_t type : Types{NUMERIC_TYPE, DATE_TYPE, TIME_TYPE}) {
    SCOPED_TRACE(type);
    for (int round = 0; round < 2; ++round) {  // the second put repeats the current type
      bothHold("12");
      // The notification is the last step: nothing is reported while the boxes empty.
      std::vector<std::size_t> reportedAtChange;
      events.onChange = [&] { reportedAtChange.push_back(changed().size()); };
      k.put_KestrinType(type);
      events.onChange = nullptr;
      EXPECT_EQ(box(1).text(), "");
      EXPECT_EQ(box(0).text(), "");
      EXPECT_EQ(events.changes, 2) << "one Change per element whose text changed";
      EXPECT_EQ(reportedAtChange, (std::vector<std::size_t>{0, 0}));
      EXPECT_EQ(changed(), Names{"KestrinType"});
    }
  }
}

TEST_F(ModelTest, TypeChangeLeavesFormatsLimitsColoursAndValidStateAlone) {
  placeNew();
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(MMDDYY);
  k.put_KestrinType(TIME_TYPE);
  k.put_FormatTime(HMS);
  k.put_KestrinType(NORMAL_TYPE);
  k.put_MaxLength(9);
  const auto validState = k.get_ValidState();
  const auto back0 = box(0).backColor(), back1 = box(1).backColor();

  k.put_KestrinType(NUMERIC_TYPE);
  k.put_KestrinType(DATE_TYPE);
  EXPECT_EQ(k.get_FormatDate(), MMDDYY);
  EXPECT_EQ(k.dateFormatText(), "mm-dd-yyyy");
  EXPECT_EQ(k.timeFormatText(), "hh:mm:ss");
  EXPECT_EQ(k.get_MaxLength(), 9);
  EXPECT_EQ(box(1).maxLength(), 9);
  EXPECT_EQ(k.get_ColorInValid(), 0x000000FFu);
  EXPECT_EQ(box(0).backColor(), back0);
  EXPECT_EQ(box(1).backColor(), back1);
  EXPECT_EQ(k.get_ValidState(), validState);
  k.put_KestrinType(TIME_TYPE);
  EXPECT_EQ(k.get_FormatTime(), HMS);
}

// ---- FormatDate and FormatTime ---------------------------------------------------------------

// One of the two format choices, so the date and time rules run from one table.
struct FormatKind {
  const char* name;
  std::int32_t type;
  std::int32_t otherType;
  void (Kestrin::*put)(std::int32_t);
  std::int32_t (Kestrin::*get)() const;
  const std::string& (Kestrin::*text)() const;
  std::int32_t earlier;            // a choice made before each row
  std::string earlierText;         // its text
  std::vector<std::string> texts;  // text for choices 0, 1, 2
};

const FormatKind kDate{"FormatDate", DATE_TYPE, TIME_TYPE, &Kestrin::put_FormatDate, &Kestrin::get_FormatDate,
                       &Kestrin::dateFormatText, MMDDYY, "mm-dd-yyyy", {"", "yyyy-mm-dd", "mm-dd-yyyy"}};
const FormatKind kTime{"FormatTime", TIME_TYPE, DATE_TYPE, &Kestrin::put_FormatTime, &Kestrin::get_FormatTime,
                       &Kestrin::timeFormatText, HMS, "hh:mm:ss", {"", "hh:mm", "hh:mm:ss"}};

class FormatChoiceTest : public ModelTest, public ::testing::WithParamInterface<FormatKind> {};

TEST_P(FormatChoiceTest, EachChoiceSetsItsTextAndOthersKeepThePreviousText) {
  const FormatKind& f = GetParam();
  placeNew();
  k.put_KestrinType(f.type);
  struct Row {
    const char* behaviour;
    std::int32_t value;
    std::string text;
  };
  const Row rows[] = {
      {"none empties the text", 0, f.texts[0]},
      {"first pattern", 1, f.texts[1]},
      {"second pattern", 2, f.texts[2]},
      {"out-of-list value is stored, text kept", 5, f.earlierText},
      {"negative value is stored, text kept", -1, f.earlierText},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.behaviour);
    (k.*f.put)(f.earlier);
    surface().clearChangedProperties();
    (k.*f.put)(row.value);
    EXPECT_EQ((k.*f.get)(), row.value);
    EXPECT_EQ((k.*f.text)(), row.text);
    EXPECT_EQ(changed(), Names{f.name});
  }
}

TEST_P(FormatChoiceTest, GetFollowsTheTypeAndTheChoiceSurvivesATripAway) {
  const FormatKind& f = GetParam();
  placeNew();
  k.put_KestrinType(f.type);
  (k.*f.put)(f.earlier);
  for (std::int32_t away : Types{NORMAL_TYPE, NUMERIC_TYPE, f.otherType, 7}) {
    SCOPED_TRACE(away);
    k.put_KestrinType(away);
    EXPECT_EQ((k.*f.get)(), 0);
    EXPECT_EQ((k.*f.text)(), f.earlierText);
    k.put_KestrinType(f.type);
    EXPECT_EQ((k.*f.get)(), f.earlier);
  }
}

TEST_P(FormatChoiceTest, PutUnderAnotherTypeChangesNothingAndReportsNothing) {
  const FormatKind& f = GetParam();
  placeNew();
  const std::string textBefore = (k.*f.text)();
  for (std::int32_t other : Types{f.otherType, NORMAL_TYPE, NUMERIC_TYPE, 7}) {
    SCOPED_TRACE(other);
    k.put_KestrinType(other);
    surface().clearChangedProperties();
    EXPECT_NO_THROW((k.*f.put)(2));
    EXPECT_TRUE(changed().empty());
    EXPECT_EQ((k.*f.text)(), textBefore);
  }
  k.put_KestrinType(f.type);
  EXPECT_EQ((k.*f.get)(), 0) << "the ignored put must not have stored its value";
}

INSTANTIATE_TEST_SUITE_P(DateAndTime, FormatChoiceTest, ::testing::Values(kDate, kTime),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- ToolTipText -----------------------------------------------------------------------------

TEST_F(ModelTest, ToolTipGoesToBothBoxesAndIsReadFromTheActiveOne) {
  placeNew();
  k.put_Appearance(Flat);
  surface().clearChangedProperties();
  k.put_ToolTipText("x");
  EXPECT_EQ(box(0).toolTipText(), "x");
  EXPECT_EQ(box(1).toolTipText(), "x");
  EXPECT_EQ(changed(), Names{"ToolTipText"});

  box(0).setToolTipText("three-d");
  box(1).setToolTipText("flat");
  EXPECT_EQ(k.get_ToolTipText(), "flat");
  k.put_Appearance(ThreeD);
  EXPECT_EQ(k.get_ToolTipText(), "three-d");
}

// ---- ValidState ------------------------------------------------------------------------------

TEST_F(ModelTest, ValidStateIsReadOnlyWithTheErrorOfTheHostMode) {
  placeNew();
  struct Row {
    const char* behaviour;
    Boolean userMode;
    std::int32_t error;
  };
  const Row rows[] = {
      {"design time", values::False, 382},
      {"run time", values::True, 393},
      {"any non-zero UserMode is run time", 1, 393},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.behaviour);
    surface().setUserMode(row.userMode);
    for (Boolean attempt : {values::True, values::False, Boolean{1}}) {
      const Boolean before = k.get_ValidState();
      try {
        k.put_ValidState(attempt);
        ADD_FAILURE() << "ValidState put succeeded";
      } catch (const values::AutomationError& e) {
        EXPECT_EQ(e.number(), row.error);
        EXPECT_EQ(std::string(e.what()), values::standardErrorText(row.error));
      }
      EXPECT_EQ(k.get_ValidState(), before);
    }
    EXPECT_TRUE(changed().empty());
  }
}

// ---- stores-only properties ------------------------------------------------------------------

// A property whose put only stores the value and reports its name.
struct StoresOnly {
  const char* name;
  std::function<void(Kestrin&, std::int64_t)> put;
  std::function<std::int64_t(const Kestrin&)> get;
  std::int64_t value;  // unusual on purpose: non-normalised Booleans, out-of-list enumerations
};

#define KX_BOOL_ROW(P) \
  StoresOnly { #P, [](Kestrin& c, std::int64_t v) { c.put_##P(static_cast<Boolean>(v)); }, \
               [](const Kestrin& c) -> std::int64_t { return c.get_##P(); }, 1 }
#define KX_COLOUR_ROW(P, V) \
  StoresOnly { #P, [](Kestrin& c, std::int64_t v) { c.put_##P(static_cast<OleColor>(v)); }, \
               [](const Kestrin& c) -> std::int64_t { return c.get_##P(); }, V }

const std::vector<StoresOnly>& storesOnlyRows() {
  static const std::vector<StoresOnly> rows = {
      {"NumAlignment", [](Kestrin& c, std::int64_t v) { c.put_NumAlignment(static_cast<std::int32_t>(v)); },
       [](const Kestrin& c) -> std::int64_t { return c.get_NumAlignment(); }, 5},
      KX_BOOL_ROW(NumSeparatorUse),
      KX_BOOL_ROW(InvalidBeep),
      KX_COLOUR_ROW(ColorValid, 0x00123456),
      KX_BOOL_ROW(ColorValidUse),
      KX_COLOUR_ROW(ColorInValid, 0x80000012),
      KX_BOOL_ROW(ColorInValidUse),
      KX_COLOUR_ROW(ColorEdit, 0x00ABCDEF),
      KX_BOOL_ROW(ColorEditUse),
      KX_BOOL_ROW(BoxWidthLock),
  };
  return rows;
}

#undef KX_BOOL_ROW
#undef KX_COLOUR_ROW

TEST_F(ModelTest, StoresOnlyPutsKeepTheValueAsGivenAndTouchNothingElse) {
  placeNew();
  k.put_Text("1234");
  for (const StoresOnly& row : storesOnlyRows()) {
    SCOPED_TRACE(row.name);
    const auto back0 = box(0).backColor(), back1 = box(1).backColor();
    surface().clearChangedProperties();
    events.log.clear();
    row.put(k, row.value);
    EXPECT_EQ(row.get(k), row.value);
    EXPECT_EQ(changed(), Names{row.name});
    EXPECT_TRUE(events.log.empty());
    // Nothing is redrawn until the behaviour that reads the value runs.
    EXPECT_EQ(box(0).backColor(), back0);
    EXPECT_EQ(box(1).backColor(), back1);
    EXPECT_EQ(box(0).text(), "1234");
  }
}

TEST_F(ModelTest, EverySuccessfulPutReportsItsOwnNameOnceInOrder) {
  placeNew();
  Names expected;
  for (const StoresOnly& row : storesOnlyRows()) {
    row.put(k, 0);
    expected.push_back(row.name);
  }
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_KestrinType(TIME_TYPE);
  k.put_FormatTime(HM);
  k.put_ToolTipText("tip");
  expected.insert(expected.end(), {"KestrinType", "FormatDate", "KestrinType", "FormatTime", "ToolTipText"});
  EXPECT_EQ(changed(), expected);
}

// ---- a failing step stops the put ------------------------------------------------------------

TEST_F(ModelTest, FailingElementZeroStopsTheTypePutAfterElementOne) {
  placeNew();
  for (std::int32_t type : Types{NUMERIC_TYPE, DATE_TYPE, TIME_TYPE}) {
    SCOPED_TRACE(type);
    k.put_KestrinType(NORMAL_TYPE);
    bothHold("abc");
    box(0).setFailure("setText", values::err::InvalidPropertyValue);
    try {
      k.put_KestrinType(type);
      ADD_FAILURE() << "the failure did not reach the caller";
    } catch (const values::AutomationError& e) {
      EXPECT_EQ(e.number(), values::err::InvalidPropertyValue);
    }
    box(0).clearFailures();
    EXPECT_EQ(k.get_KestrinType(), type) << "the field is stored before the boxes are emptied";
    EXPECT_EQ(box(1).text(), "") << "element 1 is emptied first";
    EXPECT_EQ(box(0).text(), "abc");
    EXPECT_TRUE(changed().empty());
  }
}

TEST_F(ModelTest, FailingElementOneLeavesElementZeroAndReportsNothing) {
  placeNew();
  bothHold("abc");
  box(1).setFailure("setText", values::err::TypeMismatch);
  try {
    k.put_KestrinType(DATE_TYPE);
    ADD_FAILURE() << "the failure did not reach the caller";
  } catch (const values::AutomationError& e) {
    EXPECT_EQ(e.number(), values::err::TypeMismatch);
  }
  EXPECT_EQ(k.get_KestrinType(), DATE_TYPE);
  EXPECT_EQ(box(1).text(), "abc");
  EXPECT_EQ(box(0).text(), "abc");
  EXPECT_TRUE(changed().empty());
  EXPECT_EQ(events.changes, 0);
}

TEST_F(ModelTest, FailingToolTipWriteStopsBeforeElementZero) {
  placeNew();
  k.put_ToolTipText("old");
  surface().clearChangedProperties();
  box(1).setFailure("setToolTipText");
  EXPECT_THROW(k.put_ToolTipText("new"), values::AutomationError);
  EXPECT_EQ(box(0).toolTipText(), "old");
  EXPECT_TRUE(changed().empty());

  box(1).clearFailures();
  box(0).setFailure("setToolTipText");
  EXPECT_THROW(k.put_ToolTipText("new"), values::AutomationError);
  EXPECT_EQ(box(1).toolTipText(), "new") << "element 1 keeps the write that succeeded";
  EXPECT_EQ(box(0).toolTipText(), "old");
  EXPECT_TRUE(changed().empty());
}

}  // namespace
}  // namespace kestrinx::testing
