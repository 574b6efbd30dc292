// Variant coercions: every conversion a property put or the property page may ask for.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include "support/test_helpers.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx::values {
namespace {

using kestrinx::testing::errorOf;

enum class To { Integer, Long, Single, Double, Boolean, Date, String };

struct CoercionRow {
  const char* name;
  Variant value;
  To target;
  std::string expected;  // the result as text, or "err N"
};

std::string convert(const Variant& v, To target) {
  switch (target) {
    case To::Integer: return std::to_string(v.toInteger());
    case To::Long: return std::to_string(v.toLong());
    case To::Single: return Variant::single(v.toSingle()).toString();
    case To::Double: return Variant::doubleValue(v.toDouble()).toString();
    case To::Boolean: return std::to_string(v.toBoolean());
    case To::Date: return Variant::doubleValue(v.toDate().serial).toString();
    case To::String: return v.toString();
  }
  return {};
}

std::string outcome(const Variant& v, To target) {
  try {
    return convert(v, target);
  } catch (const AutomationError& e) {
    return "err " + std::to_string(e.number());
  }
}

const CoercionRow kCoercions[] = {
    {"empty is zero", Variant(), To::Integer, "0"},
    {"empty is empty text", Variant(), To::String, ""},
    {"empty is False", Variant(), To::Boolean, "0"},
    {"half rounds down to even", Variant::doubleValue(2.5), To::Integer, "2"},
    {"half rounds up to even", Variant::doubleValue(3.5), To::Integer, "4"},
    {"negative half to even", Variant::doubleValue(-2.5), To::Integer, "-2"},
    {"negative one and a half to even", Variant::doubleValue(-1.5), To::Long, "-2"},
    {"just over half rounds up", Variant::doubleValue(2.5000001), To::Integer, "3"},
    {"integer top edge", Variant::doubleValue(32767.4), To::Integer, "32767"},
    {"half above integer range overflows", Variant::doubleValue(32767.5), To::Integer, "err 6"},
    {"half below integer range rounds to even inside", Variant::doubleValue(-32768.5), To::Integer, "-32768"},
    {"long too big for integer", Variant::longValue(40000), To::Integer, "err 6"},
    {"long top edge", Variant::doubleValue(2147483647.0), To::Long, "2147483647"},
    {"beyond long range", Variant::doubleValue(2147483647.5), To::Long, "err 6"},
    {"NaN overflows", Variant::doubleValue(std::nan("")), To::Integer, "err 6"},
    {"infinity overflows", Variant::doubleValue(HUGE_VAL), To::Long, "err 6"},
    {"single rounds half to even", Variant::single(0.5f), To::Long, "0"},
    {"double too big for single", Variant::doubleValue(1e300), To::Single, "err 6"},
    {"numeric text", Variant::string("42"), To::Integer, "42"},
    {"grouped text", Variant::string("1,234"), To::Long, "1234"},
    {"text with spaces and sign", Variant::string(" -7.5 "), To::Integer, "-8"},
    {"text rounds half to even", Variant::string("2.5"), To::Integer, "2"},
    {"text out of integer range", Variant::string("99999"), To::Integer, "err 6"},
    {"word is a type mismatch", Variant::string("abc"), To::Integer, "err 13"},
    {"empty text is a type mismatch", Variant::string(""), To::Double, "err 13"},
    {"exponent text is a type mismatch", Variant::string("1e5"), To::Double, "err 13"},
    {"huge text overflows double", Variant::string(std::string(400, '9')), To::Double, "err 6"},
    {"date text is no number", Variant::string("1998-12-25"), To::Double, "err 13"},
    {"non-zero number is True", Variant::integer(5), To::Boolean, "-1"},
    {"negative real is True", Variant::doubleValue(-0.25), To::Boolean, "-1"},
    {"zero is False", Variant::doubleValue(0.0), To::Boolean, "0"},
    {"True text any case", Variant::string("tRUE"), To::Boolean, "-1"},
    {"False text", Variant::string(" False "), To::Boolean, "0"},
    {"numeric text to Boolean", Variant::string("2"), To::Boolean, "-1"},
    {"word to Boolean is a type mismatch", Variant::string("yes"), To::Boolean, "err 13"},
    {"Boolean keeps its stored value", Variant::boolean(5), To::Boolean, "5"},
    {"Boolean True as integer", Variant::boolean(True), To::Integer, "-1"},
    {"Boolean text", Variant::boolean(True), To::String, "True"},
    {"Boolean False text", Variant::boolean(False), To::String, "False"},
    {"integer text", Variant::integer(-32768), To::String, "-32768"},
    {"real shortest text", Variant::doubleValue(0.1), To::String, "0.1"},
    {"single shortest text", Variant::single(0.1f), To::String, "0.1"},
    {"whole real has no point", Variant::doubleValue(3.0), To::String, "3"},
    {"large real in scientific form", Variant::doubleValue(1e20), To::String, "1E+20"},
    {"small real in scientific form", Variant::doubleValue(1.5e-7), To::String, "1.5E-07"},
    {"negative zero text", Variant::doubleValue(-0.0), To::String, "0"},
    {"date in default form", Variant::date(Date{36154.0}), To::String, "12/25/1998"},
    {"date with time", Variant::date(Date{36154.5}), To::String, "12/25/1998 12:00:00 PM"},
    {"time alone", Variant::date(Date{0.75}), To::String, "6:00:00 PM"},
    {"number to date is a serial", Variant::longValue(36154), To::Date, "36154"},
    {"serial before year 100 overflows", Variant::doubleValue(-657435.0), To::Date, "err 6"},
    {"serial after 9999 overflows", Variant::doubleValue(2958466.0), To::Date, "err 6"},
    {"date text converts", Variant::string("12-25-98"), To::Date, "36154"},
    {"non-date text to date", Variant::string("abc"), To::Date, "err 13"},
    {"date to number is its serial", Variant::date(Date{36154.25}), To::Double, "36154.25"},
};

TEST(VariantTest, CoercionTable) {
  for (const CoercionRow& row : kCoercions) {
    EXPECT_EQ(outcome(row.value, row.target), row.expected) << row.name;
  }
}

TEST(VariantTest, ObjectsAreNoNumbersOrTexts) {
  const Variant font = Variant::font(makeFont("Arial", 10));
  for (To t : {To::Integer, To::Long, To::Single, To::Double, To::Boolean, To::Date, To::String}) {
    EXPECT_EQ(outcome(font, t), "err 13");
  }
  EXPECT_EQ(errorOf([&] { (void)font.toPicture(); }), err::TypeMismatch);
  EXPECT_EQ(errorOf([&] { (void)Variant::integer(1).toFont(); }), err::TypeMismatch);
  EXPECT_EQ(Variant().toFont(), nullptr);
  EXPECT_EQ(font.toFont(), font.toFont());  // the same object, not a copy
}

TEST(VariantTest, RoundingHelpers) {
  EXPECT_EQ(roundToInteger(0.5), 0);
  EXPECT_EQ(roundToInteger(1.5), 2);
  EXPECT_EQ(roundToInteger(-0.5), 0);
  EXPECT_EQ(roundToLong(-2147483648.4), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(errorOf([] { roundToLong(-2147483649.0); }), err::Overflow);
  EXPECT_EQ(errorOf([] { roundToInteger(std::numeric_limits<double>::infinity()); }), err::Overflow);
}

TEST(VariantTest, ShortestTextRoundTrips) {
  for (double v : {0.1, 1.0 / 3.0, -123456.789, 1e-5, 99999999999999.9, 123456789012345.6}) {
    EXPECT_EQ(Variant::string(Variant::doubleValue(v).toString()).toDouble(), v) << v;
  }
}

TEST(ErrorTest, StandardTexts) {
  EXPECT_EQ(standardErrorText(6), "Overflow");
  EXPECT_EQ(standardErrorText(13), "Type mismatch");
  EXPECT_EQ(standardErrorText(382), "Property is read-only at design time");
  EXPECT_EQ(standardErrorText(393), "Property is read-only at run time");
  EXPECT_EQ(standardErrorText(err::SubscriptOutOfRange), "Subscript out of range");
  EXPECT_EQ(standardErrorText(err::OutOfStackSpace), "Out of stack space");
  EXPECT_EQ(standardErrorText(err::NoSuchControlArrayElement), "Control array element doesn't exist");
  EXPECT_EQ(standardErrorText(31999), "Application-defined or object-defined error");
  for (std::int32_t n : {5, 7, 9, 28, 91, 340, 380, 381, 424, 438}) {
    EXPECT_NE(standardErrorText(n), standardErrorText(31999)) << n;
  }
  try {
    raiseError(err::ReadOnlyAtRunTime);
    FAIL() << "raiseError returned";
  } catch (const AutomationError& e) {
    EXPECT_EQ(e.number(), 393);
    EXPECT_STREQ(e.what(), "Property is read-only at run time");
  }
  EXPECT_STREQ(AutomationError(380, "Bad colour").what(), "Bad colour");
}

}  // namespace
}  // namespace kestrinx::values
