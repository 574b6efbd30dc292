// Validation and formatting, typed into headless boxes: grouping and right alignment while the
// user types, the caret after a rewrite, focus entry, the exit check for every type and format,
// the colours, the double beep and ValidState.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "host/headless/headless.h"
#include "support/kestrin_fixture.h"

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

class ValidationTest : public KestrinTest {
 protected:
  void SetUp() override {
    placeNew();
    k.put_BackColor(kNormal);
    k.put_ColorValid(kValid);
    k.put_ColorInValid(kInvalid);
    k.put_ColorEdit(kEdit);
  }

  // A numeric box with the given alignment and grouping, focused and emptied.
  void numericBox(std::int32_t alignment = RIGHT_ALIGN, host::Boolean separators = host::True) {
    k.put_NumAlignment(alignment);
    k.put_NumSeparatorUse(separators);
    k.put_KestrinType(NUMERIC_TYPE);
    focusBox(k.boxIndex());
    clearRecords();
  }

  void clearRecords() {
    events.log.clear();
    events.changes = 0;
    services().clearRecords();
  }

  // The box shows `shown` with as many leading spaces as fit: n spaces of width w beside the
  // text's width t, n*w <= Width - t < (n+1)*w, widths in whole twips (halves to even).
  void expectRightAligned(const std::string& shown) {
    const std::string text = active().text();
    EXPECT_EQ(trimmed(text), shown);
    const host::Font& font = *active().font();
    const double w = std::nearbyint(headless::textWidth(font, "  ") - headless::textWidth(font, " "));
    const double t = std::nearbyint(headless::textWidth(font, shown));
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

TEST_F(ValidationTest, TypingGroupsAndAlignsAfterEveryKeystrokeWithOneChangeEach) {
  numericBox();
  const std::vector<std::string> shown = {"1", "12", "123", "1,234", "12,345", "123,456", "1,234,567"};
  const std::string digits = "1234567";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    form.type(digits.substr(i, 1));
    SCOPED_TRACE(shown[i]);
    expectRightAligned(shown[i]);
    expectCaretAtEnd();
    EXPECT_EQ(events.changes, static_cast<int>(i + 1));  // none for the rewrite itself
  }
  EXPECT_EQ(k.formatting(), host::False);
}

TEST_F(ValidationTest, MinusAloneAndDecimalsAreAlignedButNotGrouped) {
  numericBox();
  form.type("-");
  expectRightAligned("-");
  form.type("1234");
  expectRightAligned("-1,234");
  form.type(".5");
  expectRightAligned("-1,234.5");
  k.put_Text("1234.5");
  expectRightAligned("1234.5");
}

TEST_F(ValidationTest, MinusKeptWhileTypingANegativeFraction) {
  numericBox();
  form.type("-0");
  expectRightAligned("-0");
  form.type(".5");
  expectRightAligned("-0.5");
  leave();
  EXPECT_EQ(k.get_ValidState(), host::True);
}

TEST_F(ValidationTest, LeftAlignmentAddsNoSpaces) {
  numericBox(LEFT_ALIGN);
  form.type("1234567");
  EXPECT_EQ(active().text(), "1,234,567");
  expectCaretAtEnd();
}

TEST_F(ValidationTest, WithoutSeparatorsTheTextIsOnlyTrimmedAndAligned) {
  numericBox(RIGHT_ALIGN, host::False);
  form.type("1234567");
  expectRightAligned("1234567");
  numericBox(LEFT_ALIGN, host::False);
  k.put_Text("  98765  ");
  EXPECT_EQ(active().text(), "98765");
}

TEST_F(ValidationTest, AnyAlignmentOtherThanLeftAlignsRight) {
  numericBox(7);
  form.type("1234");
  expectRightAligned("1,234");
}

TEST_F(ValidationTest, FocusEntryRewritesWithoutChange) {
  numericBox(LEFT_ALIGN, host::False);
  k.put_Text("1234");
  leave();
  k.put_NumAlignment(RIGHT_ALIGN);
  k.put_NumSeparatorUse(host::True);
  clearRecords();
  const host::Boolean validBefore = k.get_ValidState();

  focusBox(k.boxIndex());
  expectRightAligned("1,234");
  expectCaretAtEnd();
  EXPECT_EQ(events.changes, 0);
  EXPECT_EQ(k.get_ValidState(), validBefore);
  EXPECT_EQ(active().backColor(), kValid);  // no colour change on entry (the last exit's colour stays)
}

TEST_F(ValidationTest, ProgramSettingTextPutsTheCaretAtTheEnd) {
  numericBox();
  form.type("12");
  clearRecords();
  k.put_Text("98765");
  expectRightAligned("98,765");
  expectCaretAtEnd();
}

// ---- caret after an edit in the middle -----------------------------------------------------

TEST_F(ValidationTest, TypingInsideANumberKeepsTheCaretAfterTheSameDigits) {
  numericBox();
  form.type("1234");
  form.press(headless::Key::Left);
  form.press(headless::Key::Left);  // 1,2|34
  form.type("5");
  expectRightAligned("12,534");
  expectCaretAfter("12,5");
  form.type("6");
  expectRightAligned("125,634");
  expectCaretAfter("125,6");
}

TEST_F(ValidationTest, BackspaceInsideANumberKeepsTheCaretAfterTheSameDigits) {
  numericBox();
  form.type("1234567");
  for (int i = 0; i < 5; ++i) form.press(headless::Key::Left);  // 1,23|4,567
  form.press(headless::Key::Backspace);
  expectRightAligned("124,567");
  expectCaretAfter("12");
}

TEST_F(ValidationTest, EditBeforeEveryDigitPutsTheCaretBeforeTheFirstDigit) {
  numericBox();
  form.type("1234");
  form.press(headless::Key::Home);
  form.press(headless::Key::Delete);  // takes one alignment space away
  expectRightAligned("1,234");
  EXPECT_EQ(active().selStart(), static_cast<std::int32_t>(leadingSpaces(active().text())));
}

// ---- measuring -----------------------------------------------------------------------------

TEST_F(ValidationTest, PaddingIsMeasuredInTheBoxsFont) {
  numericBox();
  active().setFont(host::makeFont("Courier New", 12.0f, true));
  form.type("1234");
  expectRightAligned("1,234");
  EXPECT_EQ(surface().font()->name, "Courier New");
  EXPECT_TRUE(surface().font()->bold);
  EXPECT_FLOAT_EQ(surface().font()->size, 12.0f);
}

TEST_F(ValidationTest, SpaceWidthOfZeroLeavesTheTextUnpadded) {
  numericBox();
  active().setFont(host::makeFont("MS Sans Serif", 0.0f));
  form.type("1234");
  EXPECT_EQ(active().text(), "1,234");
  EXPECT_EQ(events.changes, 4);
}

TEST_F(ValidationTest, PaddingBeyondSixteenBitsLeavesTheTextUnpadded) {
  numericBox();
  active().setWidth(41.0f * 40000.0f);
  form.type("1234");
  EXPECT_EQ(active().text(), "1,234");
}

// ---- failing steps -------------------------------------------------------------------------

TEST_F(ValidationTest, FailingEditColourIsSkippedAndTheChangeStillReachesTheApplication) {
  numericBox();
  k.put_ColorEditUse(host::True);
  active().setFailure("setBackColor");
  form.type("1234");
  expectRightAligned("1,234");
  EXPECT_EQ(events.changes, 4);
  active().clearFailures();  // the exit check does not skip failures
}

TEST_F(ValidationTest, FailingRewriteKeepsTheTypedTextAndLaterChangesAreHandled) {
  numericBox();
  active().setFailure("setText");
  form.type("1234");
  EXPECT_EQ(trimmed(active().text()), "1234");
  EXPECT_EQ(events.changes, 4);
  EXPECT_EQ(k.formatting(), host::False);
  active().clearFailures();
  form.type("5");
  expectRightAligned("12,345");
}

TEST_F(ValidationTest, FailingSurfaceFontStillRewrites) {
  numericBox();
  surface().setFailure("setFont");
  active().setFont(host::makeFont("Courier New", 10.0f));
  form.type("1234");
  EXPECT_EQ(trimmed(active().text()), "1,234");
  EXPECT_GT(leadingSpaces(active().text()), 0u);
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

class ExitCheck : public ValidationTest, public ::testing::WithParamInterface<ExitRow> {};

TEST_P(ExitCheck, DecidesAndRewrites) {
  const ExitRow& r = GetParam();
  services().setNow(2024, 2, 28, 14, 5, 9);
  k.put_KestrinType(r.type);
  if (r.type == DATE_TYPE) k.put_FormatDate(r.setting);
  if (r.type == TIME_TYPE) k.put_FormatTime(r.setting);
  k.put_Text("");
  clearRecords();

  enterAndLeave(r.typed);
  EXPECT_EQ(k.get_ValidState(), r.valid ? host::True : host::False);
  EXPECT_EQ(trimmed(active().text()), r.result);
  EXPECT_EQ(static_cast<int>(services().messages().size()), r.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Validation, ExitCheck,
    ::testing::Values(
        ExitRow{"NormalEmptyIsValid", NORMAL_TYPE, 0, "", true, ""},
        ExitRow{"NormalAnyTextIsValid", NORMAL_TYPE, 0, "x y", true, "x y"},
        ExitRow{"NumericGroupedIsValid", NUMERIC_TYPE, 0, "1234567", true, "1,234,567"},
        ExitRow{"NumericNegativeDecimalIsValid", NUMERIC_TYPE, 0, "-12.5", true, "-12.5"},
        ExitRow{"NumericEmptyIsInvalid", NUMERIC_TYPE, 0, "", false, ""},
        ExitRow{"NumericMinusAloneIsInvalid", NUMERIC_TYPE, 0, "-", false, "-"},
        ExitRow{"NumericTwoPointsIsInvalid", NUMERIC_TYPE, 0, "1.2.3", false, "1.2.3"},
        ExitRow{"NumericInnerMinusIsInvalid", NUMERIC_TYPE, 0, "12-3", false, "12-3"},
        ExitRow{"NumericSlashIsInvalid", NUMERIC_TYPE, 0, "1/2", false, "1/2"},
        ExitRow{"DateNoneAcceptsADateAsTyped", DATE_TYPE, NONE, "2024-2-3", true, "2024-2-3"},
        ExitRow{"DateNoneRefusesTheTodayLetter", DATE_TYPE, NONE, "T", false, "T"},
        ExitRow{"DateNoneRefusesLetterSeparators", DATE_TYPE, NONE, "12x25x98", false, "12x25x98"},
        ExitRow{"DateNoneEmptyIsInvalid", DATE_TYPE, NONE, "", false, ""},
        ExitRow{"DateTodayLetter", DATE_TYPE, YYMMDD, "t", true, "2024-02-28"},
        ExitRow{"DateTomorrow", DATE_TYPE, YYMMDD, "T+1", true, "2024-02-29"},
        ExitRow{"DateYesterday", DATE_TYPE, YYMMDD, "T-1", true, "2024-02-27"},
        ExitRow{"DateFiveDaysAhead", DATE_TYPE, YYMMDD, "T5", true, "2024-03-04"},
        ExitRow{"DateTenDaysAhead", DATE_TYPE, YYMMDD, "T10", true, "2024-03-09"},
        ExitRow{"DateDotsRewritten", DATE_TYPE, YYMMDD, "98.12.25", true, "1998-12-25"},
        ExitRow{"DateMonthFirstRewritten", DATE_TYPE, MMDDYY, "2024/2/3", true, "02-03-2024"},
        ExitRow{"DateMonthFirstTomorrow", DATE_TYPE, MMDDYY, "T+1", true, "02-29-2024"},
        ExitRow{"DateHugeOffsetFailsAndKeepsTheEntry", DATE_TYPE, YYMMDD, "T99999", false, "T99999", 1},
        ExitRow{"DateWordFailsAndKeepsTheEntry", DATE_TYPE, YYMMDD, "Today", false, "Today", 1},
        ExitRow{"DateLettersAfterTFailAndKeepTheEntry", DATE_TYPE, YYMMDD, "Txyz", false, "Txyz", 1},
        ExitRow{"DateUnreadableSeparatorsFail", DATE_TYPE, YYMMDD, "12x25x98", false, "12x25x98", 1},
        ExitRow{"DateNoSuchDayIsInvalid", DATE_TYPE, YYMMDD, "2024-02-30", false, "2024-02-30"},
        ExitRow{"DateEmptyIsInvalid", DATE_TYPE, YYMMDD, "", false, ""},
        ExitRow{"DateOutOfRangeFormatStillRewrites", DATE_TYPE, 7, "T", true, "2024-02-28"},
        ExitRow{"TimeAnyAcceptsAsTyped", TIME_TYPE, ANY_TYPE, "7:05", true, "7:05"},
        ExitRow{"TimeAnyRefusesNow", TIME_TYPE, ANY_TYPE, "N", false, "N"},
        ExitRow{"TimeAnyRefusesNoSeparator", TIME_TYPE, ANY_TYPE, "1230", false, "1230"},
        ExitRow{"TimeAnyEmptyIsInvalid", TIME_TYPE, ANY_TYPE, "", false, ""},
        ExitRow{"TimeNow", TIME_TYPE, HM, "n", true, "14:05"},
        ExitRow{"TimeDotSeparator", TIME_TYPE, HM, "9.30", true, "09:30"},
        ExitRow{"TimeHourTwentyFourIsInvalid", TIME_TYPE, HM, "24:00", false, "24:00"},
        ExitRow{"TimeMinuteSixtyIsInvalid", TIME_TYPE, HM, "12:60", false, "12:60"},
        ExitRow{"TimeThirdFieldIgnoredAndCut", TIME_TYPE, HM, "12:30:99", true, "12:30"},
        ExitRow{"TimeOneDigitHourCutBeforeItsSeconds", TIME_TYPE, HM, "9:30:15", true, "09:30"},
        ExitRow{"TimeOneDigitHourWithSecondsAndDots", TIME_TYPE, HMS, "9.30.15", true, "09:30:15"},
        ExitRow{"TimeNoSeparatorIsInvalid", TIME_TYPE, HM, "1230", false, "1230"},
        ExitRow{"TimeSecondsRequired", TIME_TYPE, HMS, "12:30", false, "12:30"},
        ExitRow{"TimeWithSeconds", TIME_TYPE, HMS, "12:30:59", true, "12:30:59"},
        ExitRow{"TimeNowWithSeconds", TIME_TYPE, HMS, "N", true, "14:05:09"},
        ExitRow{"TimeSecondSixtyIsInvalid", TIME_TYPE, HMS, "12:30:60", false, "12:30:60"},
        ExitRow{"TimeOnlyEightCharactersRewritten", TIME_TYPE, HMS, "01:02:03.5", true, "01:02:03"},
        ExitRow{"UnknownTypeIsNeverValid", 7, 0, "123", false, "123"},
        ExitRow{"NegativeTypeIsNeverValid", -1, 0, "", false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ValidationTest, FailedRewriteShowsTheMessageAndCountsInvalid) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_InvalidBeep(host::True);
  clearRecords();
  enterAndLeave("Today");
  ASSERT_EQ(services().messages().size(), 1u);
  EXPECT_EQ(services().messages()[0].text, "Unexpected Error Occured in FormatDate!");
  EXPECT_EQ(services().messages()[0].title, "Kestrin-Ver(1.0)");
  EXPECT_EQ(services().messages()[0].buttons, host::MsgBoxButtons::OkOnly);
  EXPECT_EQ(active().text(), "Today");
  EXPECT_EQ(active().backColor(), kInvalid);
  EXPECT_EQ(services().beeps(), 2);

  k.put_KestrinType(TIME_TYPE);
  k.put_FormatTime(HMS);
  clearRecords();
  enterAndLeave("1a2a3");  // fields 1, 2 and 3 pass the check; "1:2a3" is no time for the rewrite
  ASSERT_EQ(services().messages().size(), 1u);
  EXPECT_EQ(services().messages()[0].text, "Unexpected Error Occured in FormatTime!");
  EXPECT_EQ(k.get_ValidState(), host::False);
}

// ---- colours -------------------------------------------------------------------------------

TEST_F(ValidationTest, DateRewriteTakesTheEditColourThenTheValidColour) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_ColorEditUse(host::True);
  focusBox(k.boxIndex());
  form.type("t");
  EXPECT_EQ(active().backColor(), kEdit);
  clearRecords();
  std::vector<OleColor> atChange;
  events.onChange = [&] { atChange.push_back(active().backColor()); };

  leave();
  EXPECT_EQ(atChange, std::vector<OleColor>{kEdit});  // the rewrite is a change like any other
  EXPECT_EQ(active().backColor(), kValid);
  EXPECT_EQ(k.get_ValidState(), host::True);
}

TEST_F(ValidationTest, DateRewriteWithoutValidColourEndsInTheEditColour) {
  k.put_KestrinType(DATE_TYPE);
  k.put_FormatDate(YYMMDD);
  k.put_ColorEditUse(host::True);
  k.put_ColorValidUse(host::False);
  focusBox(k.boxIndex());
  form.type("T+1");
  clearRecords();
  leave();
  EXPECT_EQ(events.changes, 1);
  EXPECT_EQ(active().backColor(), kEdit);
  EXPECT_EQ(k.get_ValidState(), host::True);
}

TEST_F(ValidationTest, ExitRestoresTheNormalColourBeforeDeciding) {
  k.put_KestrinType(NUMERIC_TYPE);
  k.put_ColorEditUse(host::True);
  k.put_ColorValidUse(host::False);
  k.put_ColorInValidUse(host::False);
  enterAndLeave("12");
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), host::True);
}

TEST_F(ValidationTest, NormalBoxNeverTakesTheValidColour) {
  k.put_ColorEditUse(host::True);
  focusBox(k.boxIndex());
  form.type("abc");
  EXPECT_EQ(active().backColor(), kEdit);
  leave();
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), host::True);
}

TEST_F(ValidationTest, InvalidColourOnlyWhenSwitchedOn) {
  k.put_KestrinType(NUMERIC_TYPE);
  enterAndLeave("1.2.3");
  EXPECT_EQ(active().backColor(), kInvalid);
  k.put_ColorInValidUse(host::False);
  k.put_Text("");
  enterAndLeave("4");  // valid: the valid colour replaces the invalid one
  EXPECT_EQ(active().backColor(), kValid);
  k.put_Text("");
  enterAndLeave("-");
  EXPECT_EQ(active().backColor(), kValid);  // invalid, but nothing resets the colour
  EXPECT_EQ(k.get_ValidState(), host::False);
}

TEST_F(ValidationTest, UnknownTypeTakesNoColourButBeeps) {
  k.put_KestrinType(7);
  k.put_InvalidBeep(host::True);
  active().setBackColor(kNormal);
  enterAndLeave("anything");
  EXPECT_EQ(active().backColor(), kNormal);
  EXPECT_EQ(k.get_ValidState(), host::False);
  EXPECT_EQ(services().beeps(), 2);
}

// ---- beep and ValidState -------------------------------------------------------------------

struct BeepRow {
  const char* name;
  host::Boolean invalidBeep;
  const char* typed;
  int beeps;
};

class Beep : public ValidationTest, public ::testing::WithParamInterface<BeepRow> {};

TEST_P(Beep, TwiceOnlyForAnInvalidExitWithTrueExactly) {
  k.put_KestrinType(NUMERIC_TYPE);
  k.put_InvalidBeep(GetParam().invalidBeep);
  clearRecords();
  enterAndLeave(GetParam().typed);
  EXPECT_EQ(services().beeps(), GetParam().beeps);
}

INSTANTIATE_TEST_SUITE_P(Validation, Beep,
                         ::testing::Values(BeepRow{"InvalidWithTrue", host::True, "-", 2},
                                           BeepRow{"ValidWithTrue", host::True, "5", 0},
                                           BeepRow{"InvalidWithOne", 1, "-", 0},
                                           BeepRow{"InvalidWithFalse", host::False, "-", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ValidationTest, ValidStateChangesOnlyOnExit) {
  k.put_KestrinType(NUMERIC_TYPE);
  enterAndLeave("5");
  EXPECT_EQ(k.get_ValidState(), host::True);
  k.put_Text("x");  // a program change does not re-check
  EXPECT_EQ(k.get_ValidState(), host::True);
  focusBox(k.boxIndex());
  form.type("-");
  EXPECT_EQ(k.get_ValidState(), host::True);
  leave();
  EXPECT_EQ(k.get_ValidState(), host::False);
}

}  // namespace
}  // namespace kestrinx::testing
