// The keystroke filter, typed into the boxes of every host: which characters a numeric box takes, the
// length limit of a grouped number, and the key events the application sees and may change.
#include <cstdint>
#include <string>
#include <vector>

#include "control/key_filter.h"
#include "host/headless/headless.h"
#include "support/host_under_test.h"

namespace kestrinx::testing {
namespace {

using Log = std::vector<std::string>;

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first);
}

class KeyFilterTest : public HostTest {
 protected:
  void SetUp() override { placeNew(); }

  void boxOfType(std::int32_t type, values::Boolean separators = values::True) {
    k.put_NumSeparatorUse(separators);
    k.put_KestrinType(type);
    k.put_Text("");
    focusBox();
    clearRecords();
  }
};

// ---- accepted and refused characters --------------------------------------------------------

TEST_P(KeyFilterTest, NumericBoxTakesOnlyNumberCharactersAndRaisesNothingForTheRest) {
  boxOfType(NUMERIC_TYPE, values::False);
  for (int c = 32; c < 127; ++c) {
    const bool numberChar = c >= 44 && c <= 57;  // , - . / 0-9
    k.put_Text("");
    events.log.clear();
    type(std::string(1, static_cast<char>(c)));
    SCOPED_TRACE(std::string("character '") + static_cast<char>(c) + "'");
    EXPECT_EQ(events.only("KeyPress").size(), numberChar ? 1u : 0u);
    EXPECT_EQ(trimmed(active().text()), numberChar ? std::string(1, static_cast<char>(c)) : "");
    // KeyDown and KeyUp reach the application for every key, refused ones included.
    EXPECT_EQ(events.only("KeyDown").size(), 1u);
    EXPECT_EQ(events.only("KeyUp").size(), 1u);
  }
}

TEST_P(KeyFilterTest, NumericBoxRefusesControlCodesButBackspaceAndEnter) {
  boxOfType(NUMERIC_TYPE);
  for (int code = -1; code < 32; ++code) {
    std::int16_t ascii = static_cast<std::int16_t>(code);
    k.txtKestrin_KeyPress(static_cast<std::int16_t>(k.boxIndex()), ascii);
    const bool accepted = code == 8 || code == 13;
    EXPECT_EQ(ascii, accepted ? code : 0) << "code " << code;
  }
  for (int code : {58, 127, 128, 200, 255, 300}) {
    std::int16_t ascii = static_cast<std::int16_t>(code);
    k.txtKestrin_KeyPress(static_cast<std::int16_t>(k.boxIndex()), ascii);
    EXPECT_EQ(ascii, 0) << "code " << code;
  }
  EXPECT_EQ(events.only("KeyPress"), (Log{"KeyPress:8", "KeyPress:13"}));
}

TEST_P(KeyFilterTest, PointsAndMinusSignsAreTakenAnywhereAndAnyNumberOfTimes) {
  boxOfType(NUMERIC_TYPE);
  type("1.2.3--");
  EXPECT_EQ(trimmed(active().text()), "1.2.3--");
}

TEST_P(KeyFilterTest, OtherTypesPassEveryKeyUnchanged) {
  for (std::int32_t kind : {std::int32_t{NORMAL_TYPE}, std::int32_t{DATE_TYPE}, std::int32_t{TIME_TYPE}, 7}) {
    boxOfType(kind);
    type("a +z");
    EXPECT_EQ(active().text(), "a +z") << "type " << kind;
    EXPECT_EQ(events.only("KeyPress"), (Log{"KeyPress:97", "KeyPress:32", "KeyPress:43", "KeyPress:122"}));
  }
}

// ---- length limit with grouping ------------------------------------------------------------

TEST_P(KeyFilterTest, GroupedNumberStopsAtFifteenDigits) {
  boxOfType(NUMERIC_TYPE);
  type(std::string(20, '9'));
  EXPECT_EQ(trimmed(active().text()), "999,999,999,999,999");
  EXPECT_EQ(events.only("KeyPress").size(), 15u);
  EXPECT_EQ(events.changes, 15);

  events.log.clear();
  type(",./0");
  EXPECT_EQ(trimmed(active().text()), "999,999,999,999,999");
  EXPECT_TRUE(events.only("KeyPress").empty());

  press(headless::Key::Backspace);
  EXPECT_EQ(trimmed(active().text()), "99,999,999,999,999");
  type("1");
  EXPECT_EQ(trimmed(active().text()), "999,999,999,999,991");
}

TEST_P(KeyFilterTest, GroupedNegativeNumberStopsAtFourteenDigits) {
  boxOfType(NUMERIC_TYPE);
  type("-" + std::string(20, '9'));
  EXPECT_EQ(trimmed(active().text()), "-99,999,999,999,999");
}

TEST_P(KeyFilterTest, LimitIsDecidedByThePartBeforeThePoint) {
  boxOfType(NUMERIC_TYPE);
  k.put_Text("999,999,999,999,999.5");
  type("9");
  EXPECT_EQ(trimmed(active().text()), "999,999,999,999,999.5");
  k.put_Text("1.99999999999999999999");
  type("9");
  EXPECT_EQ(trimmed(active().text()), "1.999999999999999999999");
}

TEST_P(KeyFilterTest, WithoutGroupingThereIsNoLimit) {
  boxOfType(NUMERIC_TYPE, values::False);
  type(std::string(25, '9'));
  EXPECT_EQ(trimmed(active().text()), std::string(25, '9'));
}

TEST(CountIntegerChars, CountsDigitsSeparatorsAndMinusBeforeThePoint) {
  using keyfilter::CountIntegerChars;
  EXPECT_EQ(CountIntegerChars(""), 0);
  EXPECT_EQ(CountIntegerChars("   999,999,999,999,999"), 19);
  EXPECT_EQ(CountIntegerChars("-1,234.567"), 6);
  EXPECT_EQ(CountIntegerChars(".999"), 0);
  EXPECT_EQ(CountIntegerChars("12/3ab 4"), 4);
  EXPECT_EQ(CountIntegerChars(std::string(40000, '9')), 32767);
}

// A strict paste is taken when the keys would have typed it: number characters only (spaces
// around it put aside) and, with grouping, no more digits than typing reaches.
TEST(PasteAccepted, TakesWhatTheKeysWouldType) {
  const std::string fifteen(15, '9');
  const struct {
    std::string pasted, result;
    bool limited, accepted;
  } cases[] = {
      {" 1,234,567 ", "1,234,567", true, true},
      {"-42", "-42", true, true},
      {"1.5", "1.5", true, true},
      {"12a", "12a", true, false},
      {"1 234", "1 234", true, false},  // a space inside is no number character
      {"+5", "+5", true, false},
      {fifteen, fifteen, true, true},
      {fifteen, "1" + fifteen, true, false},  // pasted beside a digit already there
      {fifteen, "-" + fifteen, true, false},
      {fifteen, fifteen + ".123", true, true},  // the fraction does not count
      {fifteen, "1" + fifteen, false, true},  // without grouping there is no limit
      {"", "", true, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(keyfilter::PasteAccepted(c.pasted, c.result, c.limited), c.accepted) << '"' << c.pasted << "\" -> \"" << c.result << '"';
}

// ---- events to the application ------------------------------------------------------------

TEST_P(KeyFilterTest, KeyEventsComeInOrderAroundTheEdit) {
  boxOfType(NUMERIC_TYPE);
  type("5");
  EXPECT_EQ(events.log, (Log{"KeyDown:53", "KeyPress:53", "Change", "KeyUp:53"}));
}

TEST_P(KeyFilterTest, ApplicationDiscardsAKeyInEveryType) {
  events.onKeyPress = [](std::int16_t& ascii) { ascii = 0; };
  for (std::int32_t kind : {NORMAL_TYPE, NUMERIC_TYPE, DATE_TYPE, TIME_TYPE}) {
    boxOfType(kind);
    const std::string before = active().text();
    type("1a");
    EXPECT_EQ(active().text(), before) << "type " << kind;
    EXPECT_EQ(events.changes, 0) << "type " << kind;
  }
}

TEST_P(KeyFilterTest, ChangedKeyReachesTheBoxUnfiltered) {
  boxOfType(NUMERIC_TYPE);
  events.onKeyPress = [](std::int16_t& ascii) {
    if (ascii == '5') ascii = 'A';
  };
  type("15");
  EXPECT_EQ(trimmed(active().text()), "1A");
}

TEST_P(KeyFilterTest, ChangedKeyCodeInKeyDownReachesTheBox) {
  k.put_NumAlignment(LEFT_ALIGN);
  boxOfType(NUMERIC_TYPE);
  type("12");
  events.onKeyDown = [](std::int16_t& code, std::int16_t&) {
    if (code == static_cast<std::int16_t>(headless::Key::Delete)) code = 0;
  };
  press(headless::Key::Home);
  press(headless::Key::Delete);
  EXPECT_EQ(active().text(), "12");
  EXPECT_EQ(events.only("KeyDown").size(), 4u);
  EXPECT_EQ(events.only("KeyUp").size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, KeyFilterTest, ::testing::ValuesIn(hostsUnderTest()), HostName());

}  // namespace
}  // namespace kestrinx::testing
