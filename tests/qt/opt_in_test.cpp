// KestrinWidget's opt-ins, driven by real key events on the offscreen platform: undo and redo,
// Escape, pastes into a numeric box, what assistive technology is told after the exit check,
// and how dates are read. Each starts off, and the box then behaves as without it.
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <string>
#include <vector>

#include "qt/box_accessible.h"
#include "qt/kestrin_widget.h"
#include "support/qt_window.h"

namespace kestrinx::testing {
namespace {

using qt::KestrinWidget;

class OptInTest : public QtWindowTest {
 protected:
  OptInTest() {
    place(w);
    w->services().setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
    w->services().setMessageHook([this](const qthost::Message& m) {
      messages.push_back(m.text);
      return host::MsgBoxResult::Ok;
    });
  }
  void makeType(int type) {
    w->setProperty("KestrinType", type);
    w->setProperty("Text", "");
    showWindow();
  }
  QLineEdit& box() const { return w->activeBox(); }
  QString text() const { return box().text().trimmed(); }
  // The caret as a count of characters after the alignment spaces.
  int caret() const { return box().cursorPosition() - static_cast<int>(box().text().size() - text().size()); }
  void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(&box(), k, m); }

  KestrinWidget* w = new KestrinWidget;
  std::vector<std::string> messages;
};

TEST_F(OptInTest, EveryOptInIsAPropertyThatStartsOff) {
  for (const QString& name : KestrinWidget::optIns()) {
    const QVariant v = w->property(name.toUtf8().constData());
    ASSERT_TRUE(v.isValid()) << name.toStdString();
    if (name == "centuryWindow") {
      EXPECT_EQ(v.toInt(), 1930);
    } else {
      EXPECT_FALSE(v.toBool()) << name.toStdString();
    }
  }
}

// ---- undo ---------------------------------------------------------------------------------

TEST_F(OptInTest, UndoStepsBackOverKeystrokesWithTheirRegroupAndRedoReturns) {
  w->setProperty("undoEnabled", true);
  makeType(KestrinWidget::NUMERIC_TYPE);
  leave();
  w->setProperty("Text", "1234");
  focus(box());  // regrouped on entry: no step of its own
  QTest::keyClicks(&box(), "56");
  ASSERT_EQ(text(), "123,456");
  QSignalSpy changes(w, &KestrinWidget::Change);
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    QString shown;
    int caret;
  } steps[] = {
      {Qt::Key_Z, Qt::ControlModifier, "12,345", 6},
      {Qt::Key_Z, Qt::ControlModifier, "1,234", 5},
      {Qt::Key_Z, Qt::ControlModifier, "1,234", 5},  // nothing left to undo
      {Qt::Key_Y, Qt::ControlModifier, "12,345", 6},
      {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "123,456", 7},
      {Qt::Key_Y, Qt::ControlModifier, "123,456", 7},  // nothing left to redo
  };
  for (const auto& s : steps) {
    key(s.key, s.mods);
    EXPECT_EQ(text(), s.shown);
    EXPECT_EQ(caret(), s.caret) << s.shown.toStdString();
  }
  EXPECT_EQ(changes.count(), 4);  // one user edit per undo and redo that changed the text
  // A keystroke after an undo drops what could be redone.
  key(Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClicks(&box(), "9");
  key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(text(), "123,459");
}

TEST_F(OptInTest, UndoTakesBackTheExitRewriteAndAPaste) {
  w->setProperty("undoEnabled", true);
  makeType(KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  focus(box());
  QTest::keyClicks(&box(), "T+3");
  leave();
  ASSERT_EQ(text(), "2026-12-12");
  focus(box());
  key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), "T+3");
  EXPECT_EQ(caret(), 3);
  QGuiApplication::clipboard()->setText("12/25/98");
  box().selectAll();
  key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(text(), "12/25/98");
  key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), "T+3");
  // The program's own text starts a new history.
  w->setProperty("Text", "1/2/2026");
  key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(text(), "1/2/2026");
}

// The context menu's Undo and Paste are the box's own once the opt-ins are on.
TEST_F(OptInTest, TheContextMenuUndoesAndPastesAsTheKeysDo) {
  w->setProperty("undoEnabled", true);
  w->setProperty("strictPaste", true);
  makeType(KestrinWidget::NUMERIC_TYPE);
  focus(box());
  QTest::keyClicks(&box(), "12");
  // Opens the box's context menu and picks the action whose text starts `name`.
  const auto pick = [&](const char* name) {
    QTimer::singleShot(0, [name] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      for (QAction* a : menu->actions())
        if (!a->text().isEmpty() && a->text().startsWith(QLineEdit::tr(name)) && a->isEnabled()) a->trigger();
      menu->close();
    });
    QContextMenuEvent open(QContextMenuEvent::Keyboard, QPoint(1, 1), box().mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(&box(), &open);
  };
  pick("&Undo");
  EXPECT_EQ(text(), "1");
  QGuiApplication::clipboard()->setText("x");
  pick("&Paste");
  EXPECT_EQ(text(), "1");  // refused whole
  EXPECT_EQ(w->services().beeps(), 1);
  QGuiApplication::clipboard()->setText("234");
  pick("&Paste");
  EXPECT_EQ(text(), "1,234");
  pick("&Undo");
  EXPECT_EQ(text(), "1");
}

// ---- Escape -------------------------------------------------------------------------------

TEST_F(OptInTest, EscapeRestoresTheTextAtFocusEntryWithoutTheExitCheck) {
  makeType(KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  w->setProperty("InvalidBeep", true);
  w->setProperty("Text", "2026-01-01");
  for (const bool restores : {false, true}) {
    w->setProperty("escapeRestores", restores);
    focus(box());
    box().end(false);
    QTest::keyClicks(&box(), "xx");
    key(Qt::Key_Escape);
    EXPECT_EQ(text(), restores ? "2026-01-01" : "2026-01-01xx");
    EXPECT_TRUE(box().hasFocus());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(w->services().beeps(), 0);
    w->setProperty("Text", "2026-01-01");
    leave();
  }
}

// ---- paste --------------------------------------------------------------------------------

TEST_F(OptInTest, APasteIntoANumericBoxIsOneEditGroupedWithTheCaretAfterIt) {
  makeType(KestrinWidget::NUMERIC_TYPE);
  focus(box());
  const struct {
    QString pasted, shown;
  } cases[] = {{"1,234,567", "1,234,567"}, {" 1234567 ", "1,234,567"}, {"-42", "-42"}};
  for (const auto& c : cases) {
    w->setProperty("Text", "");
    focus(box());
    QSignalSpy changes(w, &KestrinWidget::Change);
    QGuiApplication::clipboard()->setText(c.pasted);
    key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text(), c.shown) << c.pasted.toStdString();
    EXPECT_EQ(caret(), c.shown.size()) << c.pasted.toStdString();
    EXPECT_EQ(changes.count(), 1) << c.pasted.toStdString();
  }
}

// Which pastes are strict enough is the key filter's rule (tested there); here, that the box
// asks it and refuses whole, with one beep, or takes the paste as one edit.
TEST_F(OptInTest, StrictPasteRefusesWholeWhatTheKeysWouldRefuse) {
  makeType(KestrinWidget::NUMERIC_TYPE);
  const struct {
    QString before, pasted;
    bool strictTakes;
  } cases[] = {
      {"", "12a", false},
      {"", " 1,234 ", true},
      {"1", "999999999999999", false},  // 16 digits
  };
  for (const bool strict : {false, true}) {
    w->setProperty("strictPaste", strict);
    for (const auto& c : cases) {
      w->setProperty("Text", c.before);
      focus(box());
      box().end(false);
      const int beeps = w->services().beeps();
      QSignalSpy changes(w, &KestrinWidget::Change);
      QGuiApplication::clipboard()->setText(c.pasted);
      key(Qt::Key_V, Qt::ControlModifier);
      const bool taken = changes.count() == 1;
      EXPECT_EQ(taken, !strict || c.strictTakes) << c.pasted.toStdString() << " strict " << strict;
      EXPECT_EQ(w->services().beeps() - beeps, taken ? 0 : 1) << c.pasted.toStdString();
      if (!taken) {
        EXPECT_EQ(text(), c.before);
      }
    }
  }
}

// ---- what assistive technology is told ------------------------------------------------------

// Qt hands events to an update handler only while its platform's accessibility is active (a
// desktop with assistive technology listening; never on the offscreen platform). The outcome is checked
// as assistive technology reads it back: the box's description (one event per outcome told),
// its invalid-entry state and the marker. scripts/accessibility.sh reads the same through AT-SPI.
struct Told {
  QAccessible::Event type;
  QObject* object;
};
std::vector<Told>* g_told = nullptr;

void recordUpdate(QAccessibleEvent* e) {
  if (g_told != nullptr) g_told->push_back({e->type(), e->object()});
}

class AccessibleOutcomeTest : public OptInTest {
 protected:
  AccessibleOutcomeTest() {
    g_told = &told;
    QAccessible::installUpdateHandler(recordUpdate);
    QAccessible::setActive(true);
  }
  ~AccessibleOutcomeTest() override {
    QAccessible::installUpdateHandler(nullptr);
    g_told = nullptr;
  }
  // Enters `s`, leaves the box and checks what the box says afterwards.
  void check(const QString& s, const QString& description, bool invalid, bool marked, bool told = true) {
    this->told.clear();
    w->setProperty("Text", "");
    focus(box());
    QTest::keyClicks(&box(), s);
    leave();
    EXPECT_EQ(box().accessibleDescription(), description) << s.toStdString();
    EXPECT_EQ(box().actions().size(), marked ? 1 : 0) << s.toStdString();
    if (marked) {
      EXPECT_EQ(box().actions()[0]->toolTip(), description);
    }
    auto* iface = dynamic_cast<qt::BoxAccessible*>(QAccessible::queryAccessibleInterface(&box()));
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->invalidEntry(), invalid) << s.toStdString();
    if (!QAccessible::isActive()) return;  // no events without a platform's accessibility
    const auto described = std::count_if(this->told.begin(), this->told.end(), [&](const Told& t) {
      return t.object == &box() && t.type == QAccessible::DescriptionChanged;
    });
    EXPECT_EQ(described, told ? 1 : 0) << s.toStdString();
  }
  std::vector<Told> told;
};

TEST_F(AccessibleOutcomeTest, RewriteAndInvalidEntryAreToldAndMarked) {
  makeType(KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  check("abc", "", false, false, false);  // off: nothing is told
  w->setProperty("accessibleOutcome", true);
  w->setProperty("invalidMarker", true);
  const struct {
    QString typed, told;
    bool invalid;
  } cases[] = {
      {"T+3", QString::fromUtf8("T+3 \u2192 2026-12-12"), false},
      {"abc", "Invalid date", true},
      {"abc", "Invalid date", true},
      {"12/25/2026", QString::fromUtf8("12/25/2026 \u2192 2026-12-25"), false},
      {"2026-12-25", "", false},  // valid as typed: nothing to tell, and the last outcome cleared
  };
  for (const auto& c : cases) check(c.typed, c.told, c.invalid, c.invalid);
  w->setProperty("invalidMarker", false);
  check("abc", "Invalid date", true, false);
}

// ---- how dates are read -------------------------------------------------------------------

TEST_F(OptInTest, CenturyWindowAndStrictDatesReachTheDateCheck) {
  makeType(KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  auto enterAndLeave = [&](const QString& s) {
    w->setProperty("Text", "");
    focus(box());
    QTest::keyClicks(&box(), s);
    leave();
  };
  enterAndLeave("04/12/49");
  EXPECT_EQ(text(), "1949-04-12");
  w->setProperty("centuryWindow", 1950);
  enterAndLeave("04/12/49");
  EXPECT_EQ(text(), "2049-04-12");
  w->setProperty("strictDates", true);
  enterAndLeave("04/12/49");
  EXPECT_EQ(text(), "04/12/49");
  EXPECT_FALSE(w->property("ValidState").toBool());

  w->setProperty("centuryWindow", 99);  // no window of the date range
  EXPECT_EQ(w->lastError(), 380);
  EXPECT_EQ(w->property("centuryWindow").toInt(), 1950);
}

}  // namespace
}  // namespace kestrinx::testing
