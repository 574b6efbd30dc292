// The date and time entry rules on their own: the today and now shortcuts on a fixed clock,
// the separator handling, the bounds of a time of day, field splitting and the message box
// of a failed rewrite, and dates read under the host's two-digit-year window and strictness.
#include <cstdint>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "control/date_time_entry.h"
#include "control/kestrin.h"
#include "host/headless/headless.h"

namespace kestrinx::entry {
namespace {

class EntryRules : public ::testing::Test {
 protected:
  // Wednesday 2024-02-28 14:05:09, the day before a leap day.
  void SetUp() override { services.setNow(2024, 2, 28, 14, 5, 9); }

  void expectOneMessage(const char* text) {
    ASSERT_EQ(services.messages().size(), 1u);
    EXPECT_EQ(services.messages()[0].text, text);
    EXPECT_EQ(services.messages()[0].title, "Kestrin-Ver(1.0)");
    EXPECT_EQ(services.messages()[0].buttons, host::MsgBoxButtons::OkOnly);
  }

  headless::Services services;
};

// ---- date check --------------------------------------------------------------------------

struct DateCheckRow {
  const char* name;
  const char* text;
  bool accepted;
};

class DateCheck : public ::testing::TestWithParam<DateCheckRow> {};

TEST_P(DateCheck, AcceptsTodayEntriesAndDatesWithAnySeparator) {
  EXPECT_EQ(IsDateEntry(GetParam().text), GetParam().accepted) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    EntryRules, DateCheck,
    ::testing::Values(DateCheckRow{"TodayLetter", "T", true}, DateCheckRow{"LowerCaseTodayAfterBlanks", "   t+1", true},
                      DateCheckRow{"AnythingAfterTheTodayLetter", "Today", true},
                      DateCheckRow{"DotsAsSeparators", "98.12.25", true},
                      DateCheckRow{"SlashesAsSeparators", "98/12/25", true},
                      DateCheckRow{"SpacesAsSeparators", "98 12 25", true},
                      DateCheckRow{"LettersAsSeparators", "12x25x98", true},
                      DateCheckRow{"NoSuchDay", "2024-02-30", false}, DateCheckRow{"NotALeapYear", "2023-02-29", false},
                      DateCheckRow{"Empty", "", false}, DateCheckRow{"Word", "abc", false},
                      DateCheckRow{"TwoFieldsOnly", "12-25", false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- date rewrite ------------------------------------------------------------------------

struct TodayRow {
  const char* name;
  const char* text;
  const char* expected;
};

class TodayShortcuts : public EntryRules, public ::testing::WithParamInterface<TodayRow> {};

TEST_P(TodayShortcuts, CountDaysFromTheHostsToday) {
  EXPECT_EQ(FormatDateEntry(services, GetParam().text), std::optional<std::string>(GetParam().expected));
  EXPECT_TRUE(services.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(EntryRules, TodayShortcuts,
                         ::testing::Values(TodayRow{"TAloneIsToday", "T", "2024-02-28"},
                                           TodayRow{"LowerCaseAfterBlanks", "  t", "2024-02-28"},
                                           TodayRow{"MinusOneIsYesterday", "t-1", "2024-02-27"},
                                           TodayRow{"PlusWithoutDigitsIsToday", "T+", "2024-02-28"},
                                           TodayRow{"MinusWithoutDigitsIsToday", "T-", "2024-02-28"},
                                           TodayRow{"TwoCharactersWithALetterAreToday", "To", "2024-02-28"},
                                           TodayRow{"TwoCharactersWithAPointAreToday", "T.", "2024-02-28"},
                                           TodayRow{"DigitAfterTheLetterCountsDays", "T5", "2024-03-04"},
                                           TodayRow{"AYearBackCrossesTheLeapDay", "T-366", "2023-02-27"},
                                           TodayRow{"LargestOffset", "T32767", "2113-11-15"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryRules, DateRewriteUsesTheGivenPattern) {
  EXPECT_EQ(FormatDateEntry(services, "T+1", "mm-dd-yyyy"), "02-29-2024");
  EXPECT_EQ(FormatDateEntry(services, "98.12.25"), "1998-12-25");
  EXPECT_EQ(FormatDateEntry(services, " 12/25/98", "mm-dd-yyyy"), "12-25-1998");
  EXPECT_TRUE(services.messages().empty());
}

TEST_F(EntryRules, TodayIsTheHostsDefaultDateForm) {
  EXPECT_EQ(DateFromToday(services), "2/28/2024");
  EXPECT_EQ(DateFromToday(services, -28), "1/31/2024");
}

struct FailedRow {
  const char* name;
  const char* text;
};

class FailedDateRewrite : public EntryRules, public ::testing::WithParamInterface<FailedRow> {};

TEST_P(FailedDateRewrite, ShowsTheDateMessageAndGivesNothing) {
  EXPECT_EQ(FormatDateEntry(services, GetParam().text), std::nullopt);
  expectOneMessage("Unexpected Error Occured in FormatDate!");
}

INSTANTIATE_TEST_SUITE_P(EntryRules, FailedDateRewrite,
                         ::testing::Values(FailedRow{"OffsetBeyondSixteenBits", "T99999"},
                                           FailedRow{"LettersAfterTheTodayLetter", "Txyz"},
                                           FailedRow{"SignWithSpaceBeforeDigits", "T+ 5"},
                                           FailedRow{"NoDateAtAll", "abc"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryRules, DateBeyondTheHostsRangeIsAFailedRewrite) {
  services.setNow(9999, 12, 31);
  EXPECT_EQ(FormatDateEntry(services, "T"), "9999-12-31");
  EXPECT_EQ(FormatDateEntry(services, "T+1"), std::nullopt);
  expectOneMessage("Unexpected Error Occured in FormatDate!");
}

// ---- how the host reads dates ------------------------------------------------------------

struct ReadingRow {
  const char* name;
  const char* text;
  values::DateReading reading;
  std::optional<std::string> rewritten;  // nullopt: refused by the check
};

class DateReadingRules : public EntryRules, public ::testing::WithParamInterface<ReadingRow> {};

// The check and the rewrite read an entry the same way: what the check accepts is rewritten
// without a message, what it refuses never reaches the rewrite.
TEST_P(DateReadingRules, CheckAndRewriteFollowTheHostsReading) {
  const ReadingRow& row = GetParam();
  EXPECT_EQ(IsDateEntry(row.text, row.reading), row.rewritten.has_value());
  if (row.rewritten) {
    EXPECT_EQ(FormatDateEntry(services, row.text, kDefaultDatePattern, row.reading), row.rewritten);
    EXPECT_TRUE(services.messages().empty());
  }
}

constexpr values::DateReading kDefaultReading{};
constexpr values::DateReading kWindow1950{1950, false};
constexpr values::DateReading kWindow2000{2000, false};
constexpr values::DateReading kStrict{1930, true};

INSTANTIATE_TEST_SUITE_P(
    EntryRules, DateReadingRules,
    ::testing::Values(
        // The default window: 00-29 in this century, 30-99 in the last.
        ReadingRow{"DefaultWindowLastYearOfThisCentury", "12/25/29", kDefaultReading, "2029-12-25"},
        ReadingRow{"DefaultWindowFirstYearOfTheLast", "12/25/30", kDefaultReading, "1930-12-25"},
        ReadingRow{"DefaultGuessesMonthFirst", "04/12/26", kDefaultReading, "2026-04-12"},
        // A moved window.
        ReadingRow{"Window1950Below", "12/25/49", kWindow1950, "2049-12-25"},
        ReadingRow{"Window1950From", "12/25/50", kWindow1950, "1950-12-25"},
        ReadingRow{"Window2000AllInThisCentury", "12/25/99", kWindow2000, "2099-12-25"},
        ReadingRow{"WindowLeavesFourDigitYears", "12/25/1949", kWindow1950, "1949-12-25"},
        ReadingRow{"WindowYearFirst", "98.12.25", kWindow2000, "2098-12-25"},
        // Strict: a date whose day and month could swap is no date.
        ReadingRow{"StrictRefusesAmbiguous", "04/12/26", kStrict, std::nullopt},
        ReadingRow{"StrictRefusesAmbiguousFourDigitYear", "4-12-2026", kStrict, std::nullopt},
        ReadingRow{"StrictTakesSameDayAndMonth", "04/04/26", kStrict, "2026-04-04"},
        ReadingRow{"StrictTakesDayAbove12", "04/13/26", kStrict, "2026-04-13"},
        ReadingRow{"StrictTakesYearFirst", "2026-04-12", kStrict, "2026-04-12"},
        ReadingRow{"StrictStillRefusesDayFirstOnly", "13/04/26", kStrict, std::nullopt},
        ReadingRow{"StrictLeavesTodayEntries", "T+3", kStrict, "2024-03-02"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- time check --------------------------------------------------------------------------

struct TimeRow {
  const char* name;
  const char* text;
  std::int32_t formatTime;
  bool accepted;
};

class TimeOfDay : public ::testing::TestWithParam<TimeRow> {};

TEST_P(TimeOfDay, ChecksHoursMinutesAndSecondsWhenRequired) {
  EXPECT_EQ(IsTimeOfDay(GetParam().text, GetParam().formatTime), GetParam().accepted) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    EntryRules, TimeOfDay,
    ::testing::Values(TimeRow{"AnyCharacterSeparates", "12-30", HM, true},
                      TimeRow{"LastMinuteOfTheDay", "23:59", HM, true},
                      TimeRow{"ThirdFieldCheckedWithSeconds", "12:30:99", HMS, false},
                      TimeRow{"LastSecond", "12:30:59", HMS, true},
                      TimeRow{"Empty", "", HM, false},
                      TimeRow{"LeadingMinus", "-1:30", HM, false},
                      TimeRow{"MissingMinutes", "12:", HM, false},
                      TimeRow{"HourBeyondSixteenBits", "99999:00", HM, false},
                      TimeRow{"SecondBeyondSixteenBits", "1:00:99999", HMS, false},
                      TimeRow{"LetterInMinutes", "12:3a", HM, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EntryRulesTimeEntry, NowLetterCountsOnlyExactly) {
  EXPECT_TRUE(IsTimeEntry("N", HM));
  EXPECT_TRUE(IsTimeEntry("n", HMS));
  EXPECT_FALSE(IsTimeEntry(" N", HM));
  EXPECT_FALSE(IsTimeEntry("Now", HM));
  EXPECT_TRUE(IsTimeEntry("9.30", HM));
  EXPECT_FALSE(IsTimeEntry("12:30", HMS));
}

// ---- time rewrite ------------------------------------------------------------------------

TEST_F(EntryRules, NowIsTheHostsCurrentTimeInThePattern) {
  EXPECT_EQ(FormatTimeEntry(services, "n"), "14:05");
  EXPECT_EQ(FormatTimeEntry(services, "N", "hh:mm:ss"), "14:05:09");
  EXPECT_TRUE(services.messages().empty());
}

TEST_F(EntryRules, TimeRewriteTurnsOnlyTheFirstSeparatorIntoAColon) {
  EXPECT_EQ(FormatTimeEntry(services, "9.30"), "09:30");
  EXPECT_EQ(FormatTimeEntry(services, "7-5"), "07:05");
  EXPECT_EQ(FormatTimeEntry(services, "9.30.15", "hh:mm:ss"), "09:30:15");
  EXPECT_TRUE(services.messages().empty());
}

TEST_F(EntryRules, TimeTheHostCannotReadShowsTheTimeMessage) {
  EXPECT_EQ(FormatTimeEntry(services, "ab"), std::nullopt);
  expectOneMessage("Unexpected Error Occured in FormatTime!");
}

// ---- field split -------------------------------------------------------------------------

struct FieldRow {
  const char* name;
  const char* text;
  const char* sep;
  std::int16_t n;
  const char* expected;
};

class Fields : public ::testing::TestWithParam<FieldRow> {};

TEST_P(Fields, SplitAtTheSeparator) {
  const FieldRow& r = GetParam();
  EXPECT_EQ(GetField(r.text, r.sep, r.n), r.expected);
}

INSTANTIATE_TEST_SUITE_P(EntryRules, Fields,
                         ::testing::Values(FieldRow{"First", "12:30:45", ":", 1, "12"},
                                           FieldRow{"Middle", "12:30:45", ":", 2, "30"},
                                           FieldRow{"Last", "12:30:45", ":", 3, "45"},
                                           FieldRow{"PastTheLast", "12:30:45", ":", 4, ""},
                                           FieldRow{"EmptyBetweenSeparators", "12::45", ":", 2, ""},
                                           FieldRow{"EmptySeparatorGivesNothing", "1230", "", 1, ""},
                                           FieldRow{"NoWrapAroundAfterTheEnd", "12:30", ":", 5, ""},
                                           FieldRow{"FieldZero", "12:30", ":", 0, ""},
                                           FieldRow{"CaseSensitiveSeparator", "1x2X3", "X", 2, "3"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kestrinx::entry
