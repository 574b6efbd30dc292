// Dates and times: the text conversion behind isDate, date patterns, serials and day arithmetic.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>

#include "support/test_helpers.h"
#include "values/error.h"
#include "values/functions.h"

namespace kestrinx::values {
namespace {

using kestrinx::testing::errorOf;

// "yyyy-mm-dd hh:nn:ss" of a parsed text, or "not a date".
std::string parsed(const char* text) {
  const std::optional<Date> d = parseDate(text);
  if (!d) return "not a date";
  return format(Variant::date(*d), "yyyy-mm-dd hh:nn:ss");
}

struct DateRow {
  const char* name;
  const char* text;
  const char* expected;  // yyyy-mm-dd hh:nn:ss, or "not a date"
};

const DateRow kDates[] = {
    {"dots", "98.12.25", "1998-12-25 00:00:00"},
    {"slashes", "98/12/25", "1998-12-25 00:00:00"},
    {"spaces", "98 12 25", "1998-12-25 00:00:00"},
    {"dashes", "98-12-25", "1998-12-25 00:00:00"},
    {"mixed separators", "98-12/25", "1998-12-25 00:00:00"},
    {"runs of spaces count once", "98   12  25", "1998-12-25 00:00:00"},
    {"surrounding spaces", "  1998-12-25 ", "1998-12-25 00:00:00"},
    {"month first when first field is small", "12-25-98", "1998-12-25 00:00:00"},
    {"four-digit year first", "2024-02-29", "2024-02-29 00:00:00"},
    {"four-digit year last", "2-29-2024", "2024-02-29 00:00:00"},
    {"not a leap century", "2100-02-29", "not a date"},
    {"leap century", "2000-02-29", "2000-02-29 00:00:00"},
    {"non-leap year", "2023-02-29", "not a date"},
    {"first field 29 is a month", "29-12-25", "not a date"},
    {"first field 32 is a windowed year", "32-12-25", "1932-12-25 00:00:00"},
    {"window top", "1-1-29", "2029-01-01 00:00:00"},
    {"window bottom", "1-1-30", "1930-01-01 00:00:00"},
    {"one-digit year", "1-1-5", "2005-01-01 00:00:00"},
    {"three-digit year literal", "100-1-1", "0100-01-01 00:00:00"},
    {"last date", "9999-12-31", "9999-12-31 00:00:00"},
    {"four-digit year below 100", "0099-12-31", "not a date"},
    {"five-digit year", "10000-1-1", "not a date"},
    {"three-digit month", "2000-001-01", "not a date"},
    {"month 13", "2000-13-01", "not a date"},
    {"day 31 in a 30-day month", "4-31-2000", "not a date"},
    {"day zero", "2000-01-00", "not a date"},
    {"two fields", "12-25", "not a date"},
    {"four fields", "1-2-3-4", "not a date"},
    {"trailing separator", "98-12-25-", "not a date"},
    {"date and time", "1998-12-25 9:30", "1998-12-25 09:30:00"},
    {"date and time with dots", "12/25/98 23.59.58", "1998-12-25 23:59:58"},
    {"date and afternoon time", "12 25 98 9:30 PM", "1998-12-25 21:30:00"},
    {"date with bad time", "1998-12-25 25:00", "not a date"},
    {"time", "9:30", "1899-12-30 09:30:00"},
    {"time with seconds", "23:59:59", "1899-12-30 23:59:59"},
    {"time with dot seconds", "9:30.15", "1899-12-30 09:30:15"},
    {"PM", "9:30 PM", "1899-12-30 21:30:00"},
    {"pm without space", "9:30pm", "1899-12-30 21:30:00"},
    {"12 AM is midnight", "12:00 AM", "1899-12-30 00:00:00"},
    {"12 PM is noon", "12:15 pm", "1899-12-30 12:15:00"},
    {"dotted time with PM", "9.30 PM", "1899-12-30 21:30:00"},
    {"hour 24", "24:00", "not a date"},
    {"minute 60", "12:60", "not a date"},
    {"second 60", "12:30:60", "not a date"},
    {"hour 13 with PM", "13:00 PM", "not a date"},
    {"hour 0 with AM", "0:30 AM", "not a date"},
    {"dotted pair is a number", "9.30", "not a date"},
    {"dotted triple that is no date", "23.59.59", "not a date"},
    {"dotted triple that is a date", "12.30.15", "2015-12-30 00:00:00"},
    {"hours alone", "9", "not a date"},
    {"three-digit hour", "009:30", "not a date"},
    {"empty", "", "not a date"},
    {"spaces", "   ", "not a date"},
    {"letter", "T", "not a date"},
    {"word after a date", "1998-12-25 x", "not a date"},
};

TEST(ParseDateTest, AcceptRejectTable) {
  for (const DateRow& row : kDates) {
    EXPECT_EQ(parsed(row.text), row.expected) << row.name << ": '" << row.text << "'";
    EXPECT_EQ(isDate(row.text), std::string(row.expected) != "not a date") << row.name;
  }
}

TEST(ParseDateTest, VariantKinds) {
  EXPECT_TRUE(isDate(Variant::date(Date{1.0})));
  EXPECT_TRUE(isDate(Variant::string("12-25-98")));
  EXPECT_FALSE(isDate(Variant::longValue(36154)));
  EXPECT_FALSE(isDate(Variant()));
}

// Every day of the range, through the parts conversion and through text.
TEST(DateRoundTripTest, EveryDayFromYear100To9999) {
  using namespace std::chrono;
  const sys_days first = sys_days{year{100} / January / 1};
  const sys_days last = sys_days{year{9999} / December / 31};
  const double firstSerial = dateFromParts({100, 1, 1}).serial;
  std::string text;
  int failures = 0;
  for (sys_days day = first; day <= last && failures < 5; day += days{1}) {
    const year_month_day ymd{day};
    const DateTimeParts p{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                          static_cast<int>(static_cast<unsigned>(ymd.day()))};
    const Date d = dateFromParts(p);
    const DateTimeParts back = partsFromDate(d);
    text = format(Variant::date(d), "yyyy-mm-dd");
    const std::optional<Date> reparsed = parseDate(text);
    if (d.serial != firstSerial + (day - first).count() || back.year != p.year || back.month != p.month ||
        back.day != p.day || !reparsed || *reparsed != d) {
      ADD_FAILURE() << "round trip fails for " << text;
      ++failures;
    }
  }
}

TEST(DateSerialTest, KnownSerialsAndNegativeConvention) {
  EXPECT_EQ(dateFromParts({1899, 12, 30}).serial, 0.0);
  EXPECT_EQ(dateFromParts({1900, 1, 1}).serial, 2.0);
  EXPECT_EQ(dateFromParts({1998, 12, 25, 18, 0, 0}).serial, 36154.75);
  // Before day 0 the fraction still counts forward from the start of the day.
  EXPECT_EQ(dateFromParts({1899, 12, 29, 6, 0, 0}).serial, -1.25);
  const DateTimeParts p = partsFromDate(Date{-1.25});
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  EXPECT_EQ(dateFromParts({100, 1, 1}).serial, -657434.0);
  EXPECT_EQ(dateFromParts({9999, 12, 31}).serial, 2958465.0);
}

TEST(DateSerialTest, InvalidPartsAndSerials) {
  EXPECT_EQ(errorOf([] { dateFromParts({99, 12, 31}); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { dateFromParts({10000, 1, 1}); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { dateFromParts({2023, 2, 29}); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { dateFromParts({2023, 1, 1, 24, 0, 0}); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { partsFromDate(Date{std::nan("")}); }), err::Overflow);
  EXPECT_EQ(errorOf([] { partsFromDate(Date{3e6}); }), err::Overflow);
}

TEST(DateSerialTest, TimeRoundsToTheSecondAndCarriesIntoTheNextDay) {
  const DateTimeParts late = partsFromDate(Date{36154.0 + 86399.6 / 86400.0});
  EXPECT_EQ(late.day, 26);
  EXPECT_EQ(late.hour, 0);
  const DateTimeParts last = partsFromDate(Date{2958465.99999999});
  EXPECT_EQ(last.year, 9999);
  EXPECT_EQ(last.second, 59);
}

struct RewriteRow {
  const char* name;
  const char* text;
  const char* pattern;
  const char* expected;
};

TEST(FormatDateTest, RewritePatterns) {
  const RewriteRow rows[] = {
      {"year first", "12-25-98", "yyyy-mm-dd", "1998-12-25"},
      {"month first", "12-25-98", "mm-dd-yyyy", "12-25-1998"},
      {"time hours and minutes", "9:30", "hh:mm", "09:30"},
      {"time with dot seconds", "9:30.15", "hh:mm:ss", "09:30:15"},
      {"seconds default to zero", "23:59", "hh:mm:ss", "23:59:00"},
      {"afternoon time on a 24-hour clock", "9:30 PM", "hh:mm", "21:30"},
      {"time of a date and time", "98.12.25 7:05", "hh:mm", "07:05"},
  };
  for (const RewriteRow& row : rows) {
    EXPECT_EQ(format(row.text, row.pattern), row.expected) << row.name;
  }
}

struct PatternRow {
  const char* name;
  const char* pattern;
  const char* expected;
};

TEST(FormatDateTest, PatternTokens) {
  const Date d = dateFromParts({2024, 3, 5, 14, 7, 9});
  const PatternRow rows[] = {
      {"m after hour is minutes", "m/d/yyyy h:m", "3/5/2024 14:7"},
      {"mm before seconds is minutes", "mm:ss", "07:09"},
      {"mm alone is the month", "mm", "03"},
      {"n is always minutes", "d.m.yy n", "5.3.24 7"},
      {"upper-case letters", "YYYY-MM-DD HH:NN:SS", "2024-03-05 14:07:09"},
      {"twelve-hour clock", "h:nn AM/PM", "2:07 PM"},
      {"lower-case am/pm", "hh:nn am/pm", "02:07 pm"},
      {"month and weekday names", "dddd, mmmm d; ddd mmm", "Tuesday, March 5; Tue Mar"},
      {"day of year", "y", "65"},
      {"other characters copied", "[yyyy]", "[2024]"},
  };
  for (const PatternRow& row : rows) {
    EXPECT_EQ(format(Variant::date(d), row.pattern), row.expected) << row.name;
  }
  EXPECT_EQ(format("12:30 AM", "h:nn AM/PM"), "12:30 AM");
}

TEST(FormatDateTest, NonDatesComeBackUnchanged) {
  EXPECT_EQ(format("Today", "yyyy-mm-dd"), "Today");
  EXPECT_EQ(format("2100-02-29", "yyyy-mm-dd"), "2100-02-29");
  EXPECT_EQ(format("", "hh:mm"), "");
  EXPECT_EQ(format("24:00", "hh:mm"), "24:00");
}

TEST(DefaultDateTextTest, Forms) {
  EXPECT_EQ(defaultDateText(dateFromParts({2024, 3, 5})), "3/5/2024");
  EXPECT_EQ(defaultDateText(dateFromParts({2024, 3, 5, 0, 0, 1})), "3/5/2024 12:00:01 AM");
  EXPECT_EQ(defaultDateText(dateFromParts({2024, 3, 5, 13, 5, 0})), "3/5/2024 1:05:00 PM");
  EXPECT_EQ(defaultDateText(Date{0.5}), "12:00:00 PM");
  EXPECT_EQ(defaultDateText(Date{0.0}), "12:00:00 AM");
  EXPECT_EQ(defaultDateText(dateFromParts({100, 1, 1})), "1/1/0100");
  // The default form reads back as the same date.
  for (double serial : {-657434.0, 36154.75, 0.25, 2958465.5}) {
    EXPECT_EQ(parseDate(defaultDateText(Date{serial})), Date{serial}) << serial;
  }
}

struct AddDaysRow {
  const char* name;
  DateTimeParts from;
  std::int32_t n;
  const char* expected;
};

TEST(AddDaysTest, Table) {
  const AddDaysRow rows[] = {
      {"into a leap day", {2024, 2, 28}, 1, "2024-02-29"},
      {"over a leap day", {2024, 2, 28}, 2, "2024-03-01"},
      {"non-leap February", {2023, 2, 28}, 1, "2023-03-01"},
      {"over a century non-leap", {2100, 2, 28}, 1, "2100-03-01"},
      {"year end", {1999, 12, 31}, 1, "2000-01-01"},
      {"backwards over month end", {2000, 3, 1}, -1, "2000-02-29"},
      {"backwards across day 0", {1899, 12, 31}, -3, "1899-12-28"},
      {"whole range", {100, 1, 1}, 2958465 + 657434, "9999-12-31"},
      {"time kept", {2024, 2, 28, 18, 30, 0}, 1, "2024-02-29 18:30"},
      {"time kept before day 0", {1899, 12, 30, 6, 0, 0}, -2, "1899-12-28 06:00"},
  };
  for (const AddDaysRow& row : rows) {
    const Date d = addDays(row.n, dateFromParts(row.from));
    const char* pattern = row.from.hour != 0 ? "yyyy-mm-dd hh:nn" : "yyyy-mm-dd";
    EXPECT_EQ(format(Variant::date(d), pattern), row.expected) << row.name;
  }
  EXPECT_EQ(errorOf([] { addDays(1, dateFromParts({9999, 12, 31})); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { addDays(-1, dateFromParts({100, 1, 1})); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { addDays(2147483647, dateFromParts({2000, 1, 1})); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { addDays(-2147483647 - 1, dateFromParts({2000, 1, 1})); }), err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([] { addDays(0, Date{std::nan("")}); }), err::InvalidProcedureCall);
}

}  // namespace
}  // namespace kestrinx::values
