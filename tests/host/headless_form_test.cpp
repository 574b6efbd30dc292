// The headless form: focus events, Tab order and routing of typing to the focused box.
#include <gtest/gtest.h>

#include <memory>

#include "headless_recorder.h"
#include "host/headless/headless.h"
#include "support/test_helpers.h"

namespace kestrinx::headless {
namespace {

using kestrinx::testing::errorOf;
using testing::Recorder;

class FormTest : public ::testing::Test {
 protected:
  FormTest() {
    for (std::int16_t i = 0; i < 4; ++i) boxes[i]->setEventSink(&events, i);
  }

  Form form;
  TextBox a{form}, b{form}, c{form}, d{form};
  TextBox* boxes[4] = {&a, &b, &c, &d};
  Recorder events;  // shared, so the log shows the order across boxes
};

TEST_F(FormTest, FocusRaisesLostFocusOnTheOldBoxThenGotFocusOnTheNew) {
  form.focus(&a);
  form.focus(&b);
  form.focus(&b);  // already there: nothing
  form.focus(nullptr);
  EXPECT_EQ(events.log, (std::vector<std::string>{"GotFocus#0", "LostFocus#0", "GotFocus#1", "LostFocus#1"}));
  EXPECT_EQ(form.focused(), nullptr);
}

TEST_F(FormTest, BoxThatCannotTakeFocusRaisesErrorFiveAndNothingMoves) {
  Form other;
  TextBox stranger(other);
  form.focus(&a);
  events.log.clear();
  b.setEnabled(values::False);
  EXPECT_EQ(errorOf([&] { form.focus(&b); }), values::err::InvalidProcedureCall);
  EXPECT_EQ(errorOf([&] { form.focus(&stranger); }), values::err::InvalidProcedureCall);
  EXPECT_EQ(form.focused(), &a);
  EXPECT_TRUE(events.log.empty());
}

TEST_F(FormTest, GotFocusHandlerMayMoveFocusOn) {
  events.gotFocus = [&](std::int16_t i) {
    if (i == 0) form.focus(&b);
  };
  form.focus(&a);
  EXPECT_EQ(events.log, (std::vector<std::string>{"GotFocus#0", "LostFocus#0", "GotFocus#1"}));
  EXPECT_EQ(form.focused(), &b);
}

TEST_F(FormTest, LostFocusHandlerThatKeepsFocusWins) {
  form.focus(&a);
  events.log.clear();
  events.lostFocus = [&](std::int16_t i) {
    EXPECT_EQ(form.focused(), nullptr);  // no box has focus while LostFocus runs
    if (i == 0) form.focus(&a);
  };
  form.focus(&b);
  EXPECT_EQ(events.log, (std::vector<std::string>{"LostFocus#0", "GotFocus#0"}));
  EXPECT_EQ(form.focused(), &a);
}

TEST_F(FormTest, FocusPingPongFailsWithOutOfStackSpace) {
  events.gotFocus = [&](std::int16_t i) { form.focus(i == 0 ? &b : &a); };
  EXPECT_EQ(errorOf([&] { form.focus(&a); }), 28);
  events.gotFocus = nullptr;
  form.focus(&c);  // the form still works afterwards
  EXPECT_EQ(form.focused(), &c);
}

TEST_F(FormTest, TabVisitsEnabledVisibleBoxesInCreationOrderThenLeaves) {
  b.setEnabled(values::False);
  c.setVisible(false);
  std::vector<TextBox*> visited;
  for (int i = 0; i < 4; ++i) {
    form.press(Key::Tab);
    visited.push_back(form.focused());
  }
  EXPECT_EQ(visited, (std::vector<TextBox*>{&a, &d, nullptr, &a}));
  EXPECT_EQ(events.count("KeyDown"), 0);  // Tab moves focus; the box never sees the key

  form.press(Key::Tab, ShiftMask);  // backwards from a: nothing before it
  EXPECT_EQ(form.focused(), nullptr);
  form.press(Key::Tab, ShiftMask);
  EXPECT_EQ(form.focused(), &d);
}

TEST_F(FormTest, TypingGoesToTheFocusedBoxOnly) {
  form.type("lost");  // no box has focus
  form.focus(&b);
  form.type("hi");
  form.press(Key::Backspace);
  EXPECT_EQ(a.text(), "");
  EXPECT_EQ(b.text(), "h");
}

TEST_F(FormTest, KeystrokeFinishesInTheBoxWhereItStartedWhenAHandlerMovesFocus) {
  events.keyDown = [&](std::int16_t&, std::int16_t&) {
    if (form.focused() == &a) form.focus(&b);
  };
  form.focus(&a);
  form.type("xy");
  EXPECT_EQ(a.text(), "x");
  EXPECT_EQ(b.text(), "y");
}

TEST_F(FormTest, DestroyedBoxGivesUpFocusSilently) {
  auto extra = std::make_unique<TextBox>(form);
  extra->setEventSink(&events, 9);
  form.focus(extra.get());
  events.log.clear();
  extra.reset();
  EXPECT_EQ(form.focused(), nullptr);
  EXPECT_TRUE(events.log.empty());
  form.press(Key::Tab);
  EXPECT_EQ(form.focused(), &a);
}

}  // namespace
}  // namespace kestrinx::headless
