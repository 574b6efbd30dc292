// Validation and formatting, typed into the boxes of every host: grouping and right alignment
// while the user types, the caret after a rewrite, focus entry, the exit check for every type and
// format, the colours, the double beep and ValidState. Padding in unusual fonts and widths, and
// steps the host refuses, on the headless host's metrics and failure points.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/headless/headless.h"
#include "support/host_under_test.h"

namespace kestrinx::testing {
namespace {

constexpr OleColor kEdit = 0x0000FFFFu;
constexpr OleColor kValid = 0x0000FF00u;
constexpr OleColor kInvalid = 0x000000FFu;
constexpr OleColor kNormal = 0x00FFFFFFu;

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::size_t leadingSpaces(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? s.size() : first;
}

class ValidationTest : public HostTest {
 protected:
  void SetUp() override {
    placeNew();
    k.put_BackColor(kNormal);
    k.put_ColorValid(kValid);
    k.put_ColorInValid(kInvalid);
    k.put_ColorEdit(kEdit);
  }

  // A numeric box with the given alignment and grouping, focused and emptied.
  void numericBox(std::int32_t alignment = RIGHT_ALIGN, values::Boolean separators = values::True) {
    k.put_NumAlignment(alignment);
    k.put_NumSeparatorUse(separators);
    k.put_KestrinType(NUMERIC_TYPE);
    focusBox();
    clearRecords();
  }

  // The box shows `shown` with as many leading spaces as fit: n spaces of width w beside the
  // text's width t, n*w <= Width - t < (n+1)*w, widths in whole twips (halves to even).
  void expectRightAligned(const std::string& shown) {
    const std::string text = active().text();
    EXPECT_EQ(trimmed(text), shown);
    const values::Font& font = *active().font();
    const double w = std::nearbyint(host().textWidth(font, "  ") - host().textWidth(font, " "));
    const double t = std::nearbyint(host().textWidth(font, shown));
    const double n = static_cast<double>(leadingSpaces(text));
    const double room = active().width() - t;
    EXPECT_GT(n, 0) << "no padding in \"" << text << '"';
    EXPECT_LE(n * w, room) << '"' << text << '"';
    EXPECT_GT((n + 1) * w, room) << '"' << text << '"';
  }

  void expectCaretAtEnd() { EXPECT_EQ(active().selStart(), static_cast<std::int32_t>(active().text().size())); }

  // The caret stands right after the first occurrence of `before` in the box text.
  void expectCaretAfter(const std::string& before) {
    const auto at = active().text().find(before);
    ASSERT_NE(at, std::string::npos) << active().text();
    EXPECT_EQ(active().selStart(), static_cast<std::int32_t>(at + before.size())) << '"' << active().text() << '"';
  }
};

// ---- numeric rewrite while typing ----------------------------------------------------------

TEST_P(ValidationTest, TypingGroupsAndAlignsAfterEveryKeystrokeWithOneChangeEach) {
  numericBox();
  const std::vector<std::string> shown = {"1", "12", "123", "1,234", "12,345", "123,456", "1,234,567"};
  const std::string digits = "1234567";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    type(digits.substr(i, 1));
    SCOPED_TRACE(shown[i]);
    expectRightAligned(shown[i]);
    expectCaretAtEnd();
    EXPECT_EQ(events.changes, static_cast<int>(i + 1));  // none for the rewrite itself
  }
  EXPECT_EQ(k.formatting(), values::False);
}

TEST_P(ValidationTest, MinusAloneAndDecimalsAreAlignedButNotGrouped) {
  numericBox();
  type("-");
  expectRightAligned("-");
  type("1234");
  expectRightAligned("-1,234");
  type(".5");
  expectRightAligned("-1,234.5");
  k.put_Text("1234.5");
  expectRightAligned("1234.5");
}

TEST_P(ValidationTest, MinusKeptWhileTypingANegativeFraction) {
  numericBox();
  type("-0");
  expectRightAligned("-0");
  type(".5");
  expectRightAligned("-0.5");
  leave();
  EXPECT_EQ(k.get_ValidState(), values::True);
}

TEST_P(ValidationTest, LeftAlignmentAddsNoSpaces) {
  numericBox(LEFT_ALIGN);
  type("1234567");
  EXPECT_EQ(active().text(), "1,234,567");
  expectCaretAtEnd();
}

TEST_P(ValidationTest, WithoutSeparatorsTheTextIsOnlyTrimmedAndAligned) {
  numericBox(RIGHT_ALIGN, values::False);
  type("1234567");
  expectRightAligned("1234567");
  numericBox(LEFT_ALIGN, values::False);
  k.put_Text("  98765  ");
  EXPECT_EQ(active().text(), "98765");
}

// The alignment spaces stop where MaxLength would be passed, so a host that keeps at most
// MaxLength characters does not cut the number (the Qt host cut "1,234,567" to its spaces).
TEST_P(ValidationTest, AlignmentSpacesLeaveTheNumberWithinMaxLength) {
  numericBox();
  k.put_MaxLength(12);
  k.put_Text("1234567");
  EXPECT_EQ(active().text(), "   1,234,567");
  k.put_MaxLength(9);
  k.put_Text("7654321");
  EXPECT_EQ(active().text(), "7,654,321");
  k.put_MaxLength(0);
  k.put_Text("1234567");
  expectRightAligned("1,234,567");
}

TEST_P(ValidationTest, AnyAlignmentOtherThanLeftAlignsRight) {
  numericBox(7);
  type("1234");
  expectRightAligned("1,234");
}

TEST_P(ValidationTest, FocusEntryRewritesWithoutChange) {
  numericBox(LEFT_ALIGN, values::False);
  k.put_Text("1234");
  leave();
  k.put_NumAlignment(RIGHT_ALIGN);
  k.put_NumSeparatorUse(values::True);
  clearRecords();
  const values::Boolean validBefore = k.get_ValidState();

  focusBox();
  expectRightAligned("1,234");
  expectCaretAtEnd();
  EXPECT_EQ(events.changes, 0);
  EXPECT_EQ(k.get_ValidState(), validBefore);
  EXPECT_EQ(active().backColor(), kValid);  // no colour change on entry (the last exit's colour stays)
}

TEST_P(ValidationTest, ProgramSettingTextPutsTheCaretAtTheEnd) {
  numericBox();
  type("12");
  clearRecords();
  k.put_Text("98765");
  expectRightAligned("98,765");
  expectCaretAtEnd();
}

// ---- caret after an edit in the middle -----------------------------------------------------

TEST_P(ValidationTest, TypingInsideANumberKeepsTheCaretAfterTheSameDigits) {
  numericBox();
  type("1234");
  press(headless::Key::Left);
  press(headless::Key::Left);  // 1,2|34
  type("5");
  expectRightAligned("12,534");
  expectCaretAfter("12,5");
  type("6");
  expectRightAligned("125,634");
  expectCaretAfter("125,6");
}

TEST_P(ValidationTest, BackspaceInsideANumberKeepsTheCaretAfterTheSameDigits) {
  numericBox();
  type("1234567");
  for (int i = 0; i < 5; ++i) press(headless::Key::Left);  // 1,23|4,567
  press(headless::Key::Backspace);
  expectRightAligned("124,567");
  expectCaretAfter("12");
}

TEST_P(ValidationTest, EditBeforeEveryDigitPutsTheCaretBeforeTheFirstDigit) {
  numericBox();
  type("1234");
  press(headless::Key::Home);
  press(headless::Key::Delete);  // takes one alignment space away
  expectRightAligned("1,234");
  EXPECT_EQ(active().selStart(), static_cast<std::int32_t>(leadingSpaces(active().text())));
}

// ---- exit check table ----------------------------------------------------------------------

struct ExitRow {
  const char* name;
  std::int32_t type;
  std::int32_t setting;  // FormatDate for date boxes, FormatTime for time boxes
  const char* typed;
  bool valid;
  const char* result;  // the box text after the exit, trimmed
  int messages = 0;
};

const ExitRow kExitRows[] = {
    // clang-format off
    {"NormalEmptyIsValid", NORMAL_TYPE, 0, "", true, ""},
    {"NormalAnyTextIsValid", NORMAL_TYPE, 0, "x y", true, "x y"},
    {"NumericGroupedIsValid", NUMERIC_TYPE, 0, "1234567", true, "1,234,567"},
    {"NumericNegativeDecimalIsValid", NUMERIC_TYPE, 0, "-12.5", true, "-12.5"},
    {"NumericEmptyIsInvalid", NUMERIC_TYPE, 0, "", false, ""},
    {"NumericMinusAloneIsInvalid", NUMERIC_TYPE, 0, "-", false, "-"},
    {"NumericTwoPointsIsInvalid", NUMERIC_TYPE, 0, "1.2.3", false, "1.2.3"},
    {"NumericInnerMinusIsInvalid", NUMERIC_TYPE, 0, "12-3", false, "12-3"},
    {"NumericSlashIsInvalid", NUMERIC_TYPE, 0, "1/2", false, "1/2"},
    {"DateNoneAcceptsADateAsTyped", DATE_TYPE, NONE, "2024-2-3", true, "2024-2-3"},
    {"DateNoneRefusesTheTodayLetter", DATE_TYPE, NONE, "T", false, "T"},
    {"DateNoneRefusesLetterSeparators", DATE_TYPE, NONE, "12x25x98", false, "12x25x98"},
    {"DateNoneEmptyIsInvalid", DATE_TYPE, NONE, "", false, ""},
    {"DateTodayLetter", DATE_TYPE, YYMMDD, "t", true, "2024-02-28"},
    {"DateTomorrow", DATE_TYPE, YYMMDD, "T+1", true, "2024-02-29"},
    {"DateYesterday", DATE_TYPE, YYMMDD, "T-1", true, "2024-02-27"},
    {"DateFiveDaysAhead", DATE_TYPE, YYMMDD, "T5", true, "2024-03-04"},
    {"DateTenDaysAhead", DATE_TYPE, YYMMDD, "T10", true, "2024-03-09"},
    {"DateDotsRewritten", DATE_TYPE, YYMMDD, "98.12.25", true, "1998-12-25"},
    {"DateMonthFirstRewritten", DATE_TYPE, MMDDYY, "2024/2/3", true, "02-03-2024"},
    {"DateMonthFirstTomorrow", DATE_TYPE, MMDDYY, "T+1", true, "02-29-2024"},
    {"DateHugeOffsetFailsAndKeepsTheEntry", DATE_TYPE, YYMMDD, "T99999", false, "T99999", 1},
    {"DateWordFailsAndKeepsTheEntry", DATE_TYPE, YYMMDD, "Today", false, "Today", 1},
    {"DateLettersAfterTFailAndKeepTheEntry", DATE_TYPE, YYMMDD, "Txyz", false, "Txyz", 1},
    {"DateUnreadableSeparatorsFail", DATE_TYPE, YYMMDD, "12x25x98", false, "12x25x98", 1},
    {"DateNoSuchDayIsInvalid", DATE_TYPE, YYMMDD, "2024-02-30", false, "2024-02-30"},
    {"DateEmptyIsInvalid", DATE_TYPE, YYMMDD, "", false, ""},
    {"DateOutOfRangeFormatStillRewrites", DATE_TYPE, 7, "T", true, "2024-02-28"},
    {"TimeAnyAcceptsAsTyped", TIME_TYPE, ANY_TYPE, "7:05", true, "7:05"},
    {"TimeAnyRefusesNow", TIME_TYPE, ANY_TYPE, "N", false, "N"},
    {"TimeAnyRefusesNoSeparator", TIME_TYPE, ANY_TYPE, "1230", false, "1230"},
    {"TimeAnyEmptyIsInvalid", TIME_TYPE, ANY_TYPE, "", false, ""},
    {"TimeNow", TIME_TYPE, HM, "n", true, "14:05"},
    {"TimeDotSeparator", TIME_TYPE, HM, "9.30", true, "09:30"},
    {"TimeHourTwentyFourIsInvalid", TIME_TYPE, HM, "24:00", false, "24:00"},
    {"TimeMinuteSixtyIsInvalid", TIME_TYPE, HM, "12:60", false, "12:60"},
    {"TimeThirdFieldIgnoredAndCut", TIME_TYPE, HM, "12:30:99", true, "12:30"},
    {"TimeOneDigitHourCutBeforeItsSeconds", TIME_TYPE, HM, "9:30:15", true, "09:30"},
    {"TimeOneDigitHourWithSecondsAndDots", TIME_TYPE, HMS, "9.30.15", true, "09:30:15"},
    {"TimeNoSeparatorIsInvalid", TIME_TYPE, HM, "1230", false, "1230"},
    {"TimeSecondsRequired", TIME_TYPE, HMS, "12:30", false, "12:30"},
    {"TimeWithSeconds", TIME_TYPE, HMS, "12:30:59", true, "12:30:59"},
    {"TimeNowWithSeconds", TIME_TYPE, HMS, "N", true, "14:05:09"},
    {"TimeSecondSixtyIsInvalid", TIME_TYPE, HMS, "12:30:60", false, "12:30:60"},
    {"TimeOnlyEightCharactersRewritten", TIME_TYPE, HMS, "01:02:03.5", true, "01:02:03"},
    {"UnknownTypeIsNeverValid", 7, 0, "123", false, "123"},
    {"NegativeTypeIsNeverValid", -1, 0, "", false, ""},
    // clang-format on
};

TEST_P(ValidationTest, ExitCheckDecidesAndRewrites) {
  host().setNow(2024, 2, 28, 14, 5, 9);
  for (const ExitRow& r : kExitRows) {
    SCOPED_TRACE(r.name);
    k.put_KestrinType(r.type);
    if (r.type == DATE_TYPE) k.put_FormatDate(r.setting);
    if (r.type == TIME_TYPE) k.put_FormatTime(r.setting);
    k.put_Text("");
    clearRecords();

    enterAndLeave(r.typed);
    EXPECT_EQ(k.get_ValidState(), r.valid ? values::True : values::False);
    EXPECT_EQ(trimmed(active().text()), r.result);
    EXPECT_EQ(static_cast<int>(host().messages().size()), r.messages);
  }
}

TEST_P(ValidationTest, FailedRewriteShowsTheMessageAndCountsInvalid) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_InvalidBeep(values::True);
  clearRecords();
  enterAndLeave("Today");
  ASSERT_EQ(host().messages().size(), 1u);
  EXPECT_EQ(host().messages()[0].text, "Unexpected Error Occured in FormatDate!");
  EXPECT_EQ(host().messages()[0].title, "Kestrin-Ver(1.0)");
  EXPECT_EQ(host().messages()[0].buttons, host::MsgBoxButtons::OkOnly);
  EXPECT_EQ(active().text(), "Today");
  EXPECT_EQ(active().backColor(), kInvalid);
  EXPECT_EQ(host().beeps(), 2);

  k.put_KestrinType(TIME_TYPE);
  k.put_FormatTime(HMS);
  clearRecords();
  enterAndLeave("1a2a3");  // fields 1, 2 and 3 pass the check; "1:2a3" is no time for the rewrite
  ASSERT_EQ(host().messages().size(), 1u);
  EXPECT_EQ(host().messages()[0].text, "Unexpected Error Occured in FormatTime!");
  EXPECT_EQ(k.get_ValidState(), values::False);
}

// ---- colours -------------------------------------------------------------------------------

TEST_P(ValidationTest, DateRewriteTakesTheEditColourThenTheValidColour) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_ColorEditUse(values::True);
  focusBox();
  type("t");
  EXPECT_EQ(active().backColor(), kEdit);
  clearRecords();
  std::vector<OleColor> atChange;
  events.onChange = [&] { atChange.push_back(active().backColor()); };

  leave();
  EXPECT_EQ(atChange, std::vector<OleColor>{kEdit});  // the rewrite is a change like any other
  EXPECT_EQ(active().backColor(), kValid);
  EXPECT_EQ(k.get_ValidState(), values::True);
}

TEST_P(ValidationTest, DateRewriteWithoutValidColourEndsInTheEditColour) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_ColorEditUse(values::True);
  k.put_ColorValidUse(values::False);
  focusBox();
  type("T+1");
  clearRecords();
  leave();
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(active().backColor(), kEdit);
  EXPECT_EQ(k.get_ValidState(), values::True);
}

TEST_P(ValidationTest, ExitRestoresTheNormalColourBeforeDeciding) {
  k.put_KestrinType(NUMERIC_TYPE);
  k.put_ColorEditUse(values::True);
  k.put_ColorValidUse(values::False);
  k.put_ColorInValidUse(values::False);
  enterAndLeave("12");
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), values::True);
}

TEST_P(ValidationTest, NormalBoxNeverTakesTheValidColour) {
  k.put_ColorEditUse(values::True);
  focusBox();
  type("abc");
  EXPECT_EQ(active().backColor(), kEdit);
  leave();
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), values::True);
}

TEST_P(ValidationTest, InvalidColourOnlyWhenSwitchedOn) {
  k.put_KestrinType(NUMERIC_TYPE);
  enterAndLeave("1.2.3");
  EXPECT_EQ(active().backColor(), kInvalid);
  k.put_ColorInValidUse(values::False);
  k.put_Text("");
  enterAndLeave("4");  // valid: the valid colour replaces the invalid one
  EXPECT_EQ(active().backColor(), kValid);
  k.put_Text("");
  enterAndLeave("-");
  EXPECT_EQ(active().backColor(), kValid);  // invalid, but nothing resets the colour
  EXPECT_EQ(k.get_ValidState(), values::False);
}

TEST_P(ValidationTest, UnknownTypeTakesNoColourButBeeps) {
  k.put_KestrinType(7);
  k.put_InvalidBeep(values::True);
  active().setBackColor(kNormal);
  enterAndLeave("anything");
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), values::False);
  EXPECT_EQ(host().beeps(), 2);
}

// ---- beep and ValidState -------------------------------------------------------------------

struct BeepRow {
  const char* name;
  values::Boolean invalidBeep;
  const char* typed;
  int beeps;
};

TEST_P(ValidationTest, BeepsTwiceOnlyForAnInvalidExitWithTrueExactly) {
  const BeepRow rows[] = {{"InvalidWithTrue", values::True, "-", 2},
                          {"ValidWithTrue", values::True, "5", 0},
                          {"InvalidWithOne", 1, "-", 0},
                          {"InvalidWithFalse", values::False, "-", 0}};
  k.put_KestrinType(NUMERIC_TYPE);
  for (const BeepRow& row : rows) {
    SCOPED_TRACE(row.name);
    k.put_InvalidBeep(row.invalidBeep);
    k.put_Text("");
    clearRecords();
    enterAndLeave(row.typed);
    EXPECT_EQ(host().beeps(), row.beeps);
  }
}

TEST_P(ValidationTest, ValidStateChangesOnlyOnExit) {
  k.put_KestrinType(NUMERIC_TYPE);
  enterAndLeave("5");
  EXPECT_EQ(k.get_ValidState(), values::True);
  k.put_Text("x");  // a program change does not re-check
  EXPECT_EQ(k.get_ValidState(), values::True);
  focusBox();
  type("-");
  EXPECT_EQ(k.get_ValidState(), values::True);
  leave();
  EXPECT_EQ(k.get_ValidState(), values::False);
}

INSTANTIATE_TEST_SUITE_P(Hosts, ValidationTest, ::testing::ValuesIn(hostsUnderTest()), HostName());

// ---- measuring and failing steps, on the headless host's metrics and failure points ---------

class HeadlessValidationTest : public ValidationTest {
 protected:
  headless::TextBox& headlessActive() { return dynamic_cast<headless::TextBox&>(active()); }
  headless::Surface& headlessSurface() { return dynamic_cast<headless::Surface&>(host().surface()); }
};


TEST_P(HeadlessValidationTest, PaddingIsMeasuredInTheBoxsFont) {
  numericBox();
  headlessActive().setFont(values::makeFont("Courier New", 12.0f, true));
  type("1234");
  expectRightAligned("1,234");
  EXPECT_EQ(headlessSurface().font()->name, "Courier New");
  EXPECT_TRUE(headlessSurface().font()->bold);
  EXPECT_FLOAT_EQ(headlessSurface().font()->size, 12.0f);
}

TEST_P(HeadlessValidationTest, SpaceWidthOfZeroLeavesTheTextUnpadded) {
  numericBox();
  headlessActive().setFont(values::makeFont("MS Sans Serif", 0.0f));
  type("1234");
  EXPECT_EQ(active().text(), "1,234");
  EXPECT_EQ(events.changes, 4);
}

TEST_P(HeadlessValidationTest, PaddingBeyondSixteenBitsLeavesTheTextUnpadded) {
  numericBox();
  headlessActive().setWidth(41.0f * 40000.0f);
  type("1234");
  EXPECT_EQ(active().text(), "1,234");
}

TEST_P(HeadlessValidationTest, FailingEditColourIsSkippedAndTheChangeStillReachesTheApplication) {
  numericBox();
  k.put_ColorEditUse(values::True);
  headlessActive().setFailure("setBackColor");
  type("1234");
  expectRightAligned("1,234");
  EXPECT_EQ(events.changes, 4);
  headlessActive().clearFailures();  // the exit check does not skip failures
}

TEST_P(HeadlessValidationTest, FailingRewriteKeepsTheTypedTextAndLaterChangesAreHandled) {
  numericBox();
  headlessActive().setFailure("setText");
  type("1234");
  EXPECT_EQ(trimmed(active().text()), "1234");
  EXPECT_EQ(events.changes, 4);
  EXPECT_EQ(k.formatting(), values::False);
  headlessActive().clearFailures();
  type("5");
  expectRightAligned("12,345");
}

TEST_P(HeadlessValidationTest, FailingSurfaceFontStillRewrites) {
  numericBox();
  headlessSurface().setFailure("setFont");
  headlessActive().setFont(values::makeFont("Courier New", 10.0f));
  type("1234");
  EXPECT_EQ(trimmed(active().text()), "1,234");
  EXPECT_GT(leadingSpaces(active().text()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Headless, HeadlessValidationTest, ::testing::Values(HostKind{"Headless", makeHeadlessHost}),
                         HostName());

}  // namespace
}  // namespace kestrinx::testing
