// The is-numeric test, number patterns, format of Variants and the string helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "support/test_helpers.h"
#include "values/error.h"
#include "values/functions.h"
#include "values/text.h"

namespace kestrinx::values {
namespace {

using kestrinx::testing::errorOf;

struct NumericRow {
  const char* name;
  const char* text;
  bool numeric;
};

const NumericRow kNumeric[] = {
    {"plain digits", "12", true},
    {"surrounding spaces", " 12 ", true},
    {"plus sign", "+5", true},
    {"minus sign", "-5", true},
    {"bare fraction with sign", "-.5", true},
    {"trailing point", "5.", true},
    {"grouped with decimals", "1,234,567.89", true},
    {"separators in odd places", "12,34", true},
    {"leading zeros", "007", true},
    {"20 digits", "12345678901234567890", true},
    {"sign alone", "-", false},
    {"point alone", ".", false},
    {"empty", "", false},
    {"spaces only", "   ", false},
    {"comma alone", ",", false},
    {"sign and point", "-.", false},
    {"two points", "1.2.3", false},
    {"exponent", "1e5", false},
    {"double sign", "--1", false},
    {"space after sign", "- 1", false},
    {"space inside", "1 2", false},
    {"comma in fraction", "1.2,3", false},
    {"trailing sign", "5-", false},
    {"tab is not a space", "\t5", false},
    {"letters", "abc", false},
};

TEST(IsNumericTest, AcceptRejectTable) {
  for (const NumericRow& row : kNumeric) {
    EXPECT_EQ(isNumeric(row.text), row.numeric) << row.name << ": '" << row.text << "'";
    EXPECT_EQ(isNumeric(Variant::string(row.text)), row.numeric) << row.name;
  }
}

TEST(IsNumericTest, VariantKinds) {
  EXPECT_TRUE(isNumeric(Variant()));
  EXPECT_TRUE(isNumeric(Variant::boolean(True)));
  EXPECT_TRUE(isNumeric(Variant::doubleValue(1.5)));
  EXPECT_FALSE(isNumeric(Variant::date(Date{1.0})));
  EXPECT_FALSE(isNumeric(Variant::font(makeFont("Arial", 10))));
}

struct FormatRow {
  const char* name;
  const char* text;
  const char* pattern;
  const char* expected;
};

const FormatRow kNumberFormats[] = {
    {"groups thousands", "1234567", "###,##0", "1,234,567"},
    {"short number stays", "123", "###,##0", "123"},
    {"20 digits keep every digit", "12345678901234567890", "###,##0", "12,345,678,901,234,567,890"},
    {"negative grouped", "-1234", "###,##0", "-1,234"},
    {"zero shows one digit", "0", "###,##0", "0"},
    {"leading zeros dropped", "007", "###,##0", "7"},
    {"regrouped from odd separators", "12,34", "###,##0", "1,234"},
    {"trimmed and signed", " +1234 ", "###,##0", "1,234"},
    {"half rounds away from zero", "1234.5", "###,##0", "1,235"},
    {"below half rounds down", "1234.49", "###,##0", "1,234"},
    {"negative half rounds away from zero", "-2.5", "0", "-3"},
    {"rounding carries into a new group", "999999.5", "###,##0", "1,000,000"},
    {"negative zero has no sign", "-0.4", "###,##0", "0"},
    {"minus zero text", "-0", "0.00", "0.00"},
    {"two decimals pad", "5", "0.00", "5.00"},
    {"two decimals round", "2.675", "0.00", "2.68"},
    {"decimals without integer digits", "-.5", "0.00", "-0.50"},
    {"fraction only pattern", "12.5", ".00", "12.50"},
    {"optional decimals trimmed", "1.50", "0.0#", "1.5"},
    {"optional decimals all gone", "3", "#,##0.##", "3"},
    {"hash alone hides zero", "0", "#", ""},
    {"pads to zero placeholders", "7", "000", "007"},
    {"extra digits go left", "123456", "00", "123456"},
    {"prefix and suffix copied", "1234", "$ #,##0 kg", "$ 1,234 kg"},
    {"sign in front of prefix", "-5", "$0", "-$5"},
    {"literal between placeholders", "1234", "00-00", "12-34"},
    {"grouping of huge rounded fraction", "99999999999999999999.99", "#,##0.0", "100,000,000,000,000,000,000.0"},
    {"word unchanged", "abc", "###,##0", "abc"},
    {"empty unchanged", "", "###,##0", ""},
    {"sign alone unchanged", "-", "###,##0", "-"},
    {"two points unchanged", "1.2.3", "0.00", "1.2.3"},
    {"pattern without placeholders copied", "12", "abc", "abc"},
    {"empty pattern gives the text", " 12 ", "", " 12 "},
};

TEST(FormatNumberTest, PatternTable) {
  for (const FormatRow& row : kNumberFormats) {
    EXPECT_EQ(format(row.text, row.pattern), row.expected) << row.name;
  }
}

TEST(FormatNumberTest, GroupingKeepsEveryDigitOfLongNumbers) {
  std::string digits = "9";
  for (int n = 1; n <= 40; ++n, digits += static_cast<char>('0' + n % 10)) {
    std::string grouped = format(digits, "###,##0");
    std::erase(grouped, ',');
    EXPECT_EQ(grouped, digits);
  }
}

struct VariantFormatRow {
  const char* name;
  Variant value;
  const char* pattern;
  const char* expected;
};

TEST(FormatVariantTest, Table) {
  const VariantFormatRow rows[] = {
      {"long grouped", Variant::longValue(1234567), "###,##0", "1,234,567"},
      {"real with decimals", Variant::doubleValue(1234.5), "#,##0.00", "1,234.50"},
      {"real rounds as it reads", Variant::doubleValue(1.005), "0.00", "1.01"},
      {"large real keeps its digits", Variant::doubleValue(1e20), "###,##0", "100,000,000,000,000,000,000"},
      {"single", Variant::single(0.1f), "0.000", "0.100"},
      {"Boolean is -1", Variant::boolean(True), "0", "-1"},
      {"empty pattern gives plain text", Variant::doubleValue(0.1), "", "0.1"},
      {"Empty gives nothing", Variant(), "0.00", ""},
      {"text is formatted as text", Variant::string("1234"), "###,##0", "1,234"},
      {"date with date pattern", Variant::date(Date{36154.0}), "yyyy-mm-dd", "1998-12-25"},
      {"number as serial with date pattern", Variant::longValue(36154), "mm-dd-yyyy", "12-25-1998"},
      {"serial out of range stays plain", Variant::doubleValue(1e9), "yyyy", "1000000000"},
      {"date serial with number pattern", Variant::date(Date{36154.5}), "#,##0.0", "36,154.5"},
      {"NaN stays plain", Variant::doubleValue(std::nan("")), "0", "NaN"},
  };
  for (const VariantFormatRow& row : rows) {
    EXPECT_EQ(format(row.value, row.pattern), row.expected) << row.name;
  }
  EXPECT_EQ(errorOf([] { (void)format(Variant::font(makeFont("Arial", 10)), "0"); }), err::TypeMismatch);
}

TEST(StringHelpersTest, Trims) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(trim("    "), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim("\ta\t"), "\ta\t");  // spaces only
  EXPECT_EQ(ltrim("  a "), "a ");
  EXPECT_EQ(trimTrailingSpaces("  a "), "  a");
  EXPECT_EQ(upperCase("abz-AZ\xc3\xa9"), "ABZ-AZ\xc3\xa9");  // ASCII letters only
}

TEST(StringHelpersTest, NamesCompareWithoutRegardToAsciiCase) {
  struct Row {
    const char* a;
    const char* b;
    bool equal;
  };
  const Row rows[] = {
      {"SelStart", "selstart", true},  {"TEXT", "Text", true},   {"", "", true},
      {"Text", "Text1", false},        {"Text", "Test", false},  {"@", "`", false},  // 0x40 vs 0x60
      {"\xc3\x89", "\xc3\xa9", false},  // bytes beyond ASCII are not letters
  };
  for (const Row& r : rows) {
    EXPECT_EQ(equalsIgnoreCase(r.a, r.b), r.equal) << r.a << " / " << r.b;
    EXPECT_EQ(equalsIgnoreCase(r.b, r.a), r.equal) << r.b << " / " << r.a;
  }
}

TEST(StringHelpersTest, PartsAndErrors) {
  EXPECT_EQ(left("abc", 2), "ab");
  EXPECT_EQ(left("abc", 10), "abc");
  EXPECT_EQ(left("abc", 0), "");
  EXPECT_EQ(errorOf([] { (void)left("abc", -1); }), err::InvalidProcedureCall);

  EXPECT_EQ(spaces(3), "   ");
  EXPECT_EQ(spaces(0), "");
  EXPECT_EQ(errorOf([] { (void)spaces(-1); }), err::InvalidProcedureCall);
}

}  // namespace
}  // namespace kestrinx::values
