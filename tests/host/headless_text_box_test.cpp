// The headless text box: program sets and their Change events, re-entry, selection, and
// typing as a user does it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

#include "headless_recorder.h"
#include "host/headless/headless.h"
#include "support/test_helpers.h"

namespace kestrinx::headless {
namespace {

using kestrinx::testing::errorOf;
using testing::Recorder;

class TextBoxTest : public ::testing::Test {
 protected:
  TextBoxTest() { box.setEventSink(&events, 3); }

  // Puts text and selection in place without recording them.
  void prepare(const std::string& text, std::int32_t start, std::int32_t length) {
    box.setText(text);
    box.setSelStart(start);
    box.setSelLength(length);
    events.log.clear();
  }

  Form form;
  TextBox box{form};
  Recorder events;
};

// ---- program sets --------------------------------------------------------------------------

TEST_F(TextBoxTest, SetTextRaisesOneChangePerRealChangeAndNoneForAnEqualText) {
  box.setText("abc");
  box.setText("abc");
  box.setText("abd");
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change:program#3", "Change:program#3"}));
}

TEST_F(TextBoxTest, ChangeIsRaisedBeforeSetTextReturnsWithTheNewText) {
  std::string seen;
  events.change = [&](std::int16_t, host::ChangeSource) { seen = box.text(); };
  box.setText("new");
  EXPECT_EQ(seen, "new");
}

TEST_F(TextBoxTest, ProgramSetPutsTheCaretAtTheStart) {
  prepare("abcdef", 2, 3);
  box.setText("xyz");
  EXPECT_EQ(box.selStart(), 0);
  EXPECT_EQ(box.selLength(), 0);
}

TEST_F(TextBoxTest, ChangeHandlerMaySetTheTextAgainUntilAFixedPoint) {
  // The handler pads the text to five characters one "!" at a time.
  events.change = [&](std::int16_t, host::ChangeSource) {
    if (box.text().size() < 5) box.setText(box.text() + "!");
  };
  box.setText("ab");
  EXPECT_EQ(box.text(), "ab!!!");
  EXPECT_EQ(events.count("Change"), 4);  // "ab", "ab!", "ab!!", "ab!!!"
}

TEST_F(TextBoxTest, ChangeHandlerMaySetAnotherBox) {
  TextBox other(form);
  Recorder otherEvents;
  other.setEventSink(&otherEvents, 1);
  events.change = [&](std::int16_t, host::ChangeSource) { other.setText(box.text()); };
  box.setText("copy");
  EXPECT_EQ(other.text(), "copy");
  EXPECT_EQ(otherEvents.log, (std::vector<std::string>{"Change:program#1"}));
}

TEST_F(TextBoxTest, RunawayChangeRecursionFailsWithOutOfStackSpaceAndTheBoxRecovers) {
  events.change = [&](std::int16_t, host::ChangeSource) { box.setText(box.text() + "x"); };
  EXPECT_EQ(errorOf([&] { box.setText("a"); }), 28);
  events.change = nullptr;
  events.log.clear();
  box.setText("fine");
  EXPECT_EQ(box.text(), "fine");
  EXPECT_EQ(events.log.size(), 1u);
}

TEST_F(TextBoxTest, RunawayChainEndsWhenHandlersSkipTheFailureAndChangeTwoBoxes) {
  // Each handler sets two texts and ignores their failures, as a control writing both of its
  // boxes does. Every event after the limit fails at once, so the chain ends after about one
  // descent instead of retrying the limit from every level.
  TextBox other(form);
  other.setEventSink(&events, 4);
  events.change = [&](std::int16_t, host::ChangeSource) {
    const std::string next = box.text() + "x";
    values::skipOnError([&] { other.setText(next); });
    values::skipOnError([&] { box.setText(next); });
  };
  box.setText("a");
  EXPECT_LT(events.count("Change"), 1000);

  events.change = nullptr;
  events.log.clear();
  box.setText("fine");  // the next chain starts afresh
  EXPECT_EQ(box.text(), "fine");
  EXPECT_EQ(events.log.size(), 1u);
}

// ---- selection -----------------------------------------------------------------------------

TEST_F(TextBoxTest, SelectionIsClampedToTheText) {
  prepare("abcdef", 0, 0);
  box.setSelStart(99);
  EXPECT_EQ(box.selStart(), 6);
  box.setSelStart(2);
  box.setSelLength(99);
  EXPECT_EQ(box.selLength(), 4);
  EXPECT_EQ(box.selText(), "cdef");
  box.setSelStart(1);  // moving the caret drops the selection
  EXPECT_EQ(box.selLength(), 0);

  EXPECT_EQ(errorOf([&] { box.setSelStart(-1); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(errorOf([&] { box.setSelLength(-1); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(box.selStart(), 1);
}

TEST_F(TextBoxTest, SetSelTextReplacesTheSelectionAsAProgramChange) {
  prepare("abcdef", 1, 3);
  box.setSelText("XY");
  EXPECT_EQ(box.text(), "aXYef");
  EXPECT_EQ(box.selStart(), 3);
  EXPECT_EQ(box.selLength(), 0);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change:program#3"}));

  box.setSelStart(1);
  box.setSelLength(1);
  box.setSelText("X");  // same text: the caret moves, nothing changes
  EXPECT_EQ(box.selStart(), 2);
  EXPECT_EQ(events.count("Change"), 1);
}

TEST_F(TextBoxTest, ProgramEditsIgnoreMaxLengthAndLocked) {
  box.setMaxLength(2);
  box.setLocked(values::True);
  box.setText("abcdef");
  box.setSelStart(6);
  box.setSelText("gh");
  EXPECT_EQ(box.text(), "abcdefgh");
}

struct RangeRow {
  const char* name;
  std::function<void(TextBox&)> set;
  std::optional<std::int32_t> error;  // nullopt: the value is taken
};

TEST_F(TextBoxTest, RefusedValuesRaiseTheirErrors) {
  const RangeRow rows[] = {
      {"negative MaxLength", [](TextBox& b) { b.setMaxLength(-1); }, 380},
      {"MousePointer 16", [](TextBox& b) { b.setMousePointer(16); }, 380},
      {"MousePointer 99 is custom", [](TextBox& b) { b.setMousePointer(99); }, std::nullopt},
      {"LinkMode 4", [](TextBox& b) { b.setLinkMode(4); }, 380},
      {"OLEDragMode 2", [](TextBox& b) { b.setOleDragMode(2); }, 380},
      {"OLEDropMode 2 is automatic", [](TextBox& b) { b.setOleDropMode(2); }, std::nullopt},
      {"OLEDropMode 3", [](TextBox& b) { b.setOleDropMode(3); }, 380},
      {"no font", [](TextBox& b) { b.setFont(nullptr); }, 424},
      {"negative width", [](TextBox& b) { b.setWidth(-1); }, 380},
      {"width not a number", [](TextBox& b) { b.setWidth(std::numeric_limits<float>::quiet_NaN()); }, 380},
      {"infinite height", [](TextBox& b) { b.setHeight(std::numeric_limits<float>::infinity()); }, 380},
      {"move to a width not a number", [](TextBox& b) { b.move(0, 0, std::numeric_limits<float>::quiet_NaN()); }, 380},
  };
  for (const auto& row : rows) EXPECT_EQ(errorOf([&] { row.set(box); }), row.error) << row.name;
  EXPECT_FLOAT_EQ(box.fontSize(), 8.25f);
  EXPECT_TRUE(std::isfinite(box.width()) && std::isfinite(box.height()));
}

// ---- typing --------------------------------------------------------------------------------

struct EditRow {
  const char* name;
  std::string text;
  std::int32_t start, length, maxLength;
  bool locked;
  std::function<void(TextBox&)> act;
  std::string expect;
  std::int32_t caret;
  int changes;
};

void type(TextBox& b, const std::string& s) {
  for (char c : s) b.typeChar(c);
}

TEST_F(TextBoxTest, EditsByTheUser) {
  const auto keys = [](Key k) { return [k](TextBox& b) { b.pressKey(k); }; };
  const auto typing = [](std::string s) { return [s](TextBox& b) { type(b, s); }; };
  const auto pasting = [](std::string s) { return [s](TextBox& b) { b.paste(s); }; };
  const EditRow rows[] = {
      {"typing inserts at the caret", "ac", 1, 0, 0, false, typing("b"), "abc", 2, 1},
      {"typing replaces the selection", "abcd", 1, 2, 0, false, typing("x"), "axd", 2, 1},
      {"same character over its selection changes nothing", "abc", 1, 1, 0, false, typing("b"), "abc", 2, 0},
      {"backspace deletes the character before the caret", "abc", 2, 0, 0, false, keys(Key::Backspace), "ac", 1, 1},
      {"backspace deletes only the selection", "abcd", 1, 2, 0, false, keys(Key::Backspace), "ad", 1, 1},
      {"backspace at position 0 does nothing", "abc", 0, 0, 0, false, keys(Key::Backspace), "abc", 0, 0},
      {"typed backspace character deletes too", "abc", 3, 0, 0, false, typing("\b"), "ab", 2, 1},
      {"delete removes the character after the caret", "abc", 1, 0, 0, false, keys(Key::Delete), "ac", 1, 1},
      {"delete at the end does nothing", "abc", 3, 0, 0, false, keys(Key::Delete), "abc", 3, 0},
      {"enter types nothing", "abc", 1, 0, 0, false, keys(Key::Enter), "abc", 1, 0},
      {"control characters type nothing", "abc", 1, 0, 0, false, typing("\x01\r\t"), "abc", 1, 0},
      {"MaxLength stops typing at the limit", "ab", 2, 0, 3, false, typing("cde"), "abc", 3, 1},
      {"MaxLength counts the selection as free room", "abcd", 1, 2, 4, false, typing("xyz"), "axyd", 3, 2},
      {"full box: key dropped, selection kept", "abcd", 4, 0, 4, false, typing("e"), "abcd", 4, 0},
      {"MaxLength truncates a paste", "ab", 2, 0, 4, false, pasting("cdef"), "abcd", 4, 1},
      {"paste is one change", "", 0, 0, 0, false, pasting("hello"), "hello", 5, 1},
      {"paste stops at a line break", "", 0, 0, 0, false, pasting("ab\r\ncd"), "ab", 2, 1},
      {"locked box refuses typing", "abc", 1, 0, 0, true, typing("x\b"), "abc", 1, 0},
      {"locked box refuses delete and paste", "abc", 1, 0, 0, true,
       [](TextBox& b) { b.pressKey(Key::Delete); b.paste("x"); }, "abc", 1, 0},
      {"locked box still moves the caret", "abc", 1, 0, 0, true, keys(Key::End), "abc", 3, 0},
      {"left collapses a selection to its start", "abcd", 1, 2, 0, false, keys(Key::Left), "abcd", 1, 0},
      {"right collapses a selection to its end", "abcd", 1, 2, 0, false, keys(Key::Right), "abcd", 3, 0},
      {"left stops at the start", "ab", 0, 0, 0, false, keys(Key::Left), "ab", 0, 0},
      {"right stops at the end", "ab", 2, 0, 0, false, keys(Key::Right), "ab", 2, 0},
      {"home", "abcd", 2, 1, 0, false, keys(Key::Home), "abcd", 0, 0},
  };
  for (const auto& row : rows) {
    box.setLocked(values::False);
    box.setMaxLength(row.maxLength);
    prepare(row.text, row.start, row.length);
    box.setLocked(row.locked ? values::True : values::False);
    row.act(box);
    EXPECT_EQ(box.text(), row.expect) << row.name;
    EXPECT_EQ(box.selStart(), row.caret) << row.name;
    EXPECT_EQ(box.selLength(), 0) << row.name;
    EXPECT_EQ(events.count("Change:user"), row.changes) << row.name;
    EXPECT_EQ(events.count("Change:program"), 0) << row.name;
  }
}

TEST_F(TextBoxTest, TypedCharacterRaisesKeyDownKeyPressChangeKeyUp) {
  type(box, "aA.");
  EXPECT_EQ(events.log, (std::vector<std::string>{
                            "KeyDown 65/0", "KeyPress 97", "Change:user#3", "KeyUp 65/0",   //
                            "KeyDown 65/1", "KeyPress 65", "Change:user#3", "KeyUp 65/1",   //
                            "KeyDown 190/0", "KeyPress 46", "Change:user#3", "KeyUp 190/0",  //
                        }));
}

TEST_F(TextBoxTest, ByteAboveAsciiIsTypedWithItsByteValue) {
  type(box, "\xE9");
  EXPECT_EQ(box.text(), "\xE9");
  EXPECT_EQ(events.count("KeyPress 233"), 1);
}

TEST_F(TextBoxTest, NamedKeysGoThroughKeyPressOnlyForBackspaceAndEnter) {
  prepare("ab", 1, 0);
  box.pressKey(Key::Delete, ShiftMask);
  box.pressKey(Key::Enter);
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown 46/1", "Change:user#3", "KeyUp 46/1",  //
                                                  "KeyDown 13/0", "KeyPress 13", "KeyUp 13/0"}));
}

TEST_F(TextBoxTest, KeyPressSetToZeroDiscardsTheKeyButKeyUpFollows) {
  prepare("ab", 2, 0);
  events.keyPress = [](std::int16_t& ascii) { ascii = 0; };
  type(box, "c");
  box.pressKey(Key::Backspace);
  EXPECT_EQ(box.text(), "ab");
  EXPECT_EQ(events.count("Change"), 0);
  EXPECT_EQ(events.count("KeyUp"), 2);
}

TEST_F(TextBoxTest, KeyPressMayReplaceTheKey) {
  events.keyPress = [](std::int16_t& ascii) {
    if (ascii == 'a') ascii = 'b';
  };
  type(box, "aa");
  EXPECT_EQ(box.text(), "bb");
}

TEST_F(TextBoxTest, KeyPressMayTurnAKeyIntoBackspace) {
  prepare("abc", 3, 0);
  events.keyPress = [](std::int16_t& ascii) { ascii = 8; };
  type(box, "x");
  EXPECT_EQ(box.text(), "ab");
}

TEST_F(TextBoxTest, KeyDownSetToZeroCancelsANamedKey) {
  prepare("abc", 0, 0);
  events.keyDown = [](std::int16_t& code, std::int16_t&) { code = 0; };
  box.pressKey(Key::Delete);
  box.pressKey(Key::End);
  EXPECT_EQ(box.text(), "abc");
  EXPECT_EQ(box.selStart(), 0);
}

TEST_F(TextBoxTest, DisabledBoxIgnoresTheUserEntirely) {
  prepare("abc", 1, 0);
  box.setEnabled(values::False);
  type(box, "x");
  box.pressKey(Key::Backspace);
  box.pressKey(Key::Delete);
  box.paste("y");
  box.click();
  EXPECT_EQ(box.text(), "abc");
  EXPECT_TRUE(events.log.empty());
}

TEST_F(TextBoxTest, TypingWorksWithoutAnEventSink) {
  box.setEventSink(nullptr, 0);
  type(box, "ab");
  box.pressKey(Key::Backspace);
  EXPECT_EQ(box.text(), "a");
}

// ---- handlers that change the box in the middle of a keystroke ------------------------------

TEST_F(TextBoxTest, KeyPressHandlerThatShortensTheTextLeavesTheCaretInside) {
  prepare("abcdef", 6, 0);
  events.keyPress = [&](std::int16_t&) { box.setText("q"); };  // caret back to 0
  type(box, "x");
  EXPECT_EQ(box.text(), "xq");
  EXPECT_EQ(box.selStart(), 1);
  EXPECT_EQ(events.count("Change:program"), 1);
  EXPECT_EQ(events.count("Change:user"), 1);
}

TEST_F(TextBoxTest, SelectionMadeInKeyDownIsWhatBackspaceDeletes) {
  prepare("abc", 3, 0);
  events.keyDown = [&](std::int16_t&, std::int16_t&) {
    box.setSelStart(1);
    box.setSelLength(50);
  };
  box.pressKey(Key::Backspace);
  EXPECT_EQ(box.text(), "a");
  EXPECT_EQ(box.selStart(), 1);
}

TEST_F(TextBoxTest, ChangeHandlerRewritingEachUserEditKeepsItsCaret) {
  // Like a rewrite on every keystroke: upper-case the text and put the caret at the end.
  events.change = [&](std::int16_t, host::ChangeSource source) {
    if (source != host::ChangeSource::UserEdit) return;
    std::string upper = box.text();
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    box.setText(upper);
    box.setSelStart(static_cast<std::int32_t>(upper.size()));
  };
  type(box, "ab");
  box.pressKey(Key::Home);
  type(box, "c");
  EXPECT_EQ(box.text(), "CAB");
  EXPECT_EQ(box.selStart(), 3);
  EXPECT_EQ(events.count("Change:user"), 3);
  EXPECT_EQ(events.count("Change:program"), 3);
}

// ---- failure injection ----------------------------------------------------------------------

TEST_F(TextBoxTest, InjectedFailureStopsTheMemberUntilCleared) {
  prepare("abc", 0, 0);
  box.setFailure("setText", 7);
  box.setFailure("move");
  EXPECT_EQ(errorOf([&] { box.setText("x"); }), 7);
  EXPECT_EQ(errorOf([&] { box.move(1, 2); }), values::err::InvalidPropertyValue);
  EXPECT_EQ(box.text(), "abc");
  EXPECT_FLOAT_EQ(box.left(), 0.0f);
  EXPECT_EQ(errorOf([&] { box.setSelStart(1); }), std::nullopt);  // other members go on working
  type(box, "z");                                        // and so does the user
  EXPECT_EQ(box.text(), "azbc");

  box.clearFailures();
  box.setText("x");
  EXPECT_EQ(box.text(), "x");
}

}  // namespace
}  // namespace kestrinx::headless
