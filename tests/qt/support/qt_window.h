// A shown, active top-level window for Qt tests, so keyboard focus and focus events work as for
// a user (also on the offscreen platform).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

namespace kestrinx::testing {

class QtWindowTest : public ::testing::Test {
 protected:
  QtWindowTest() : layout(new QVBoxLayout(&window)) {}

  // Adds `w` to the window's layout, and a plain line edit after it to move focus to.
  void place(QWidget* w) {
    layout->addWidget(w);
    elsewhere = new QLineEdit(&window);
    layout->addWidget(elsewhere);
  }
  // Shows and activates the window.
  void showWindow() {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  // Moves keyboard focus as Tab does.
  static void focus(QWidget& w) { w.setFocus(Qt::TabFocusReason); }
  void leave() { focus(*elsewhere); }

  QWidget window;
  QVBoxLayout* layout;
  QLineEdit* elsewhere = nullptr;
};

}  // namespace kestrinx::testing
