// KestrinWidget as an application uses it: typed into with real key events, focus moved, its
// Qt properties and signals generated from the member table.
#include <QAccessible>
#include <QClipboard>
#include <QDateTime>
#include <QInputMethodEvent>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "control/kestrin_component.h"
#include "control/members.h"
#include "host/qt/units.h"
#include "qt/form_widgets.h"
#include "qt/kestrin_widget.h"
#include "support/qt_window.h"

namespace kestrinx::testing {
namespace {

using qt::KestrinWidget;

class KestrinWidgetTest : public QtWindowTest {
 protected:
  KestrinWidgetTest() {
    place(w);
    w->services().setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
    w->services().setMessageHook([this](const qthost::Message& m) {
      messages.push_back(m.text);
      return host::MsgBoxResult::Ok;
    });
  }
  // Focuses the active box, types `s` with real key events, leaves the box.
  void enterAndLeave(const QString& s) {
    focus(w->activeBox());
    QTest::keyClicks(&w->activeBox(), s);
    leave();
  }
  QString text() const { return w->property("Text").toString().trimmed(); }

  KestrinWidget* w = new KestrinWidget;
  std::vector<std::string> messages;
};

TEST_F(KestrinWidgetTest, ANewWidgetIsPlacedAsADesignerPlacesAControl) {
  EXPECT_EQ(w->property("Caption").toString(), "Kestrin1");
  EXPECT_EQ(w->property("KestrinType").toInt(), KestrinWidget::NORMAL_TYPE);
  EXPECT_EQ(w->property("BackColor").toUInt(), values::SystemWindowBackground);
  // Its size hint is the control's size: caption, gap and box side by side.
  EXPECT_NEAR(w->sizeHint().width(), w->captionRect().width() + qthost::toPixelsX(*w, 80) + w->activeBox().width(), 2);
  EXPECT_GE(w->sizeHint().height(), w->activeBox().geometry().bottom() + 1);  // nothing cut off
}

TEST_F(KestrinWidgetTest, ANumericBoxGroupsRefusesLettersAndStopsAt15Digits) {
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  showWindow();
  const struct {
    QString typed;
    QString shown;
  } cases[] = {
      {"1234567", "1,234,567"},
      {"12a3 b+4", "1,234"},
      {QString(20, '9'), "999,999,999,999,999"},
      {"-" + QString(20, '9'), "-99,999,999,999,999"},
  };
  for (const auto& c : cases) {
    w->setProperty("Text", "");
    enterAndLeave(c.typed);
    EXPECT_EQ(text(), c.shown) << c.typed.toStdString();
    EXPECT_TRUE(w->property("ValidState").toBool());
  }
}

TEST_F(KestrinWidgetTest, ADateIsRewrittenWhenTheUserLeavesTheBox) {
  w->setProperty("KestrinType", KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  showWindow();
  QSignalSpy valid(w, &KestrinWidget::validStateChanged);
  enterAndLeave("T+1");
  EXPECT_EQ(text(), "2026-12-10");
  EXPECT_TRUE(w->property("ValidState").toBool());
  // Not a date: left as typed, the invalid colour, ValidState False.
  w->setProperty("Text", "");
  enterAndLeave("13-45-2026x");
  EXPECT_EQ(text(), "13-45-2026x");
  EXPECT_FALSE(w->property("ValidState").toBool());
  EXPECT_EQ(w->activeBox().palette().color(QPalette::Base), QColor(255, 0, 0));
  ASSERT_EQ(valid.count(), 2);
  EXPECT_TRUE(valid[0][0].toBool());
  EXPECT_FALSE(valid[1][0].toBool());
  EXPECT_TRUE(messages.empty());
}

// A check that rewrites a valid entry sets ValidState False, raises Change, and sets it True
// again: whoever hears Change reads False, and then hears of True. An entry already as the
// pattern has it is checked without a Change: nothing to hear.
TEST_F(KestrinWidgetTest, ACheckThatSetsValidStateBackToTrueIsAnnounced) {
  w->setProperty("KestrinType", KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  showWindow();
  enterAndLeave("T+1");
  ASSERT_TRUE(w->property("ValidState").toBool());
  QStringList heard;
  QObject::connect(w, &KestrinWidget::validStateChanged, w,
                   [&](bool valid) { heard << (valid ? "validStateChanged true" : "validStateChanged false"); });
  QObject::connect(w, &KestrinWidget::ValidStateChanged, w, [&] { heard << "ValidStateChanged"; });
  QObject::connect(w, &KestrinWidget::Change, w, [&] {
    heard << (w->property("ValidState").toBool() ? "Change, valid" : "Change, invalid");
  });
  w->setProperty("Text", "");
  heard.clear();
  enterAndLeave("T+2");
  EXPECT_EQ(heard, (QStringList{"Change, valid", "Change, valid", "Change, valid",   // typing
                                "ValidStateChanged", "validStateChanged false", "Change, invalid",  // the rewrite
                                "ValidStateChanged", "validStateChanged true"}));
  heard.clear();
  focus(w->activeBox());
  leave();  // "2026-12-11" is as the pattern has it
  EXPECT_TRUE(heard.isEmpty());
}

TEST_F(KestrinWidgetTest, AFailedRewriteShowsItsMessageThroughTheServices) {
  w->setProperty("KestrinType", KestrinWidget::DATE_TYPE);
  w->setProperty("FormatDate", KestrinWidget::YYMMDD);
  showWindow();
  enterAndLeave("Today");  // taken as a shortcut, but not one the rewrite can read
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(text(), "Today");  // left as typed, and invalid
  EXPECT_FALSE(w->property("ValidState").toBool());
}

TEST_F(KestrinWidgetTest, ARunawayChangeHandlerFailsInsteadOfCrashing) {
  int n = 0;
  QObject::connect(w, &KestrinWidget::Change, w, [&] { w->setProperty("Text", QString::number(++n)); });
  w->setProperty("Text", "start");
  EXPECT_EQ(w->lastError(), 28);  // out of stack space: the chain was stopped
  EXPECT_LT(n, 1000);
}

TEST_F(KestrinWidgetTest, WithAutoSizeTheControlTakesTheHeightTheBoxsFontNeeds) {
  showWindow();
  w->setProperty("AutoSize", true);
  w->setProperty("Font", QFont(QString::fromUtf8(values::DefaultFontName.data(), values::DefaultFontName.size()), 20));
  // The control asks for a height of 20 twips; the box keeps what a 20-point font needs.
  EXPECT_EQ(w->activeBox().height(), w->activeBox().minimumSizeHint().height());
  EXPECT_EQ(w->sizeHint().height(), w->activeBox().height());
}

TEST_F(KestrinWidgetTest, AKeyPressSlotDiscardsOrReplacesTheKey) {
  QObject::connect(w, &KestrinWidget::KeyPress, w, [](qint16* keyAscii) {
    if (*keyAscii == 'x') *keyAscii = 0;
    if (*keyAscii == 'a') *keyAscii = 'A';
  });
  w->setProperty("Text", "");
  QTest::keyClicks(&w->activeBox(), "axbx");
  EXPECT_EQ(text(), "Ab");
}

// Every character that reaches a box goes through KeyPress first, with its code (host/qt/keys.h),
// and the box's key filter decides: a numeric box refuses full-width digits, Hangul and emoji
// as it refuses letters, whether a key, a key typing several characters or an input method
// brings them; the other boxes take them, and the application hears each one's KeyPress.
TEST_F(KestrinWidgetTest, EveryTypedCharacterGoesThroughKeyPressAndTheKeyFilter) {
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // U+1F600, beyond the basic plane
  enum class Way { KeyEach, OneKeyEvent, InputMethod };
  const struct {
    const char* name;
    int type;
    Way way;
    QString typed, text;
    std::vector<qint16> heard;  // the KeyPress codes the application hears
  } cases[] = {
      {"numeric refuses a full-width digit", KestrinWidget::NUMERIC_TYPE, Way::KeyEach, "\uFF11", "", {}},
      {"numeric refuses Hangul", KestrinWidget::NUMERIC_TYPE, Way::KeyEach, "\uAC00", "", {}},
      {"numeric refuses an emoji", KestrinWidget::NUMERIC_TYPE, Way::KeyEach, emoji, "", {}},
      {"numeric takes the digits of a key typing several", KestrinWidget::NUMERIC_TYPE, Way::OneKeyEvent, "1a2", "12",
       {49, 50}},
      {"numeric refuses a committed full-width number", KestrinWidget::NUMERIC_TYPE, Way::InputMethod,
       "\uFF11\uFF12", "", {}},
      {"numeric takes committed digits, grouped", KestrinWidget::NUMERIC_TYPE, Way::InputMethod, "1234", "1,234",
       {49, 50, 51, 52}},
      {"date takes a full-width digit", KestrinWidget::DATE_TYPE, Way::KeyEach, "\uFF11", "\uFF11", {-239}},
      {"time takes committed Hangul", KestrinWidget::TIME_TYPE, Way::InputMethod, "\uAC00\uB098", "\uAC00\uB098",
       {-21504, -20328}},
      {"text takes an emoji whole", KestrinWidget::NORMAL_TYPE, Way::KeyEach, emoji, emoji, {-3}},
      {"text takes a key typing several", KestrinWidget::NORMAL_TYPE, Way::OneKeyEvent, "ab" + emoji, "ab" + emoji,
       {97, 98, -3}},
  };
  std::vector<qint16> heard;
  QObject::connect(w, &KestrinWidget::KeyPress, w, [&](qint16* keyAscii) { heard.push_back(*keyAscii); });
  showWindow();
  for (const auto& c : cases) {
    w->setProperty("KestrinType", c.type);
    w->setProperty("Text", "");
    QLineEdit& box = w->activeBox();
    focus(box);
    heard.clear();
    switch (c.way) {
      case Way::KeyEach:
        for (qsizetype i = 0; i < c.typed.size();) {
          const qsizetype n = c.typed.at(i).isHighSurrogate() ? 2 : 1;
          QTest::sendKeyEvent(QTest::Press, &box, Qt::Key_unknown, c.typed.mid(i, n), Qt::NoModifier);
          i += n;
        }
        break;
      case Way::OneKeyEvent:
        QTest::sendKeyEvent(QTest::Press, &box, Qt::Key_unknown, c.typed, Qt::NoModifier);
        break;
      case Way::InputMethod: {
        QInputMethodEvent composing(c.typed, {});  // shown while composed, no part of the text
        QApplication::sendEvent(&box, &composing);
        EXPECT_EQ(text(), "") << c.name;
        QInputMethodEvent committed;
        committed.setCommitString(c.typed);
        QApplication::sendEvent(&box, &committed);
        break;
      }
    }
    EXPECT_EQ(text(), c.text) << c.name;
    EXPECT_EQ(heard, c.heard) << c.name;
  }
}

TEST_F(KestrinWidgetTest, AChangeSlotSeesTheBoxAsTheControlLeftIt) {
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  QLineEdit* const box = &w->activeBox();
  QStringList seen;
  QObject::connect(w, &KestrinWidget::Change, w, [&] { seen << box->text().trimmed(); });
  QTest::keyClicks(box, "1234");
  EXPECT_EQ(seen, (QStringList{"1", "12", "123", "1,234"}));
}

TEST_F(KestrinWidgetTest, APasteIntoANumericBoxIsRewrittenAsTyping) {
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  QSignalSpy changes(w, &KestrinWidget::Change);
  QGuiApplication::clipboard()->setText("1234567");
  w->activeBox().paste();
  EXPECT_EQ(text(), "1,234,567");
  EXPECT_EQ(changes.count(), 1);
}

TEST_F(KestrinWidgetTest, FocusEntryAndExitReachTheControl) {
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  w->setProperty("Text", "1234");  // as put: grouped only when the box has been entered
  showWindow();
  QSignalSpy changes(w, &KestrinWidget::Change);
  focus(w->activeBox());
  EXPECT_EQ(text(), "1,234");  // the rewrite on entry raises no Change
  leave();
  EXPECT_TRUE(w->property("ValidState").toBool());
  EXPECT_EQ(changes.count(), 0);
}

TEST_F(KestrinWidgetTest, TheFlatAppearanceShowsElementOne) {
  showWindow();
  w->setProperty("Appearance", KestrinWidget::Flat);
  EXPECT_EQ(&w->activeBox(), &w->box(1));
  EXPECT_TRUE(w->box(1).isVisible());
  EXPECT_FALSE(w->box(0).isVisible());
  EXPECT_FALSE(w->box(1).hasFrame());
  EXPECT_TRUE(w->box(0).hasFrame());
  w->setProperty("Text", "");
  QTest::keyClicks(&w->box(1), "flat");
  EXPECT_EQ(text(), "flat");
}

// The boxes are made as the widget first shows, and the one Appearance shows shows with it: the
// framed box alone, or both for the flat one (element 0 is made first, and stays hidden). A
// widget shown in a hidden parent makes none until the parent shows.
TEST(KestrinWidgetShowing, TheActiveBoxIsMadeAsTheWidgetShowsAndShowsWithIt) {
  const struct {
    int appearance;
    bool shownFirst;  // shown while its parent is still hidden
    qsizetype made;
  } cases[] = {{KestrinWidget::ThreeD, false, 1}, {KestrinWidget::Flat, false, 2}, {KestrinWidget::ThreeD, true, 1}};
  for (const auto& c : cases) {
    QWidget parent;
    auto* w = new KestrinWidget(&parent);
    w->setProperty("Appearance", c.appearance);
    if (c.shownFirst) w->show();
    EXPECT_TRUE(w->findChildren<QLineEdit*>().isEmpty()) << c.appearance;
    parent.show();
    const QList<QLineEdit*> made = w->findChildren<QLineEdit*>();
    EXPECT_EQ(made.size(), c.made) << c.appearance;
    for (QLineEdit* e : made) EXPECT_EQ(e->isVisible(), e == &w->activeBox()) << c.appearance;
  }
}

// The layout each paint runs places the caption where it stands: that asks for no other paint,
// so a shown control is painted again only when something on it changes.
TEST_F(KestrinWidgetTest, AShownControlPaintsAgainOnlyWhenItChanges) {
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject* /*watched*/, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  showWindow();
  leave();  // no blinking cursor over the control
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  w->installEventFilter(&counter);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_EQ(counter.paints, 0);
  w->setProperty("Caption", "Kestrin2");  // the same size: the caption's place is kept
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  EXPECT_GT(counter.paints, 0);
}

TEST_F(KestrinWidgetTest, EveryPublishedMemberIsAQtPropertyOrMethodAndEveryEventASignal) {
  const QMetaObject* meta = w->metaObject();
  for (const members::Member& m : members::kMembers) {
    const std::string name(m.name);
    if (m.has(members::Method)) {
      EXPECT_GE(meta->indexOfMethod((name + "()").c_str()), 0) << name;
      continue;
    }
    const int index = meta->indexOfProperty(name.c_str());
    ASSERT_GE(index, 0) << name;
    const QMetaProperty p = meta->property(index);
    EXPECT_TRUE(p.isReadable()) << name;
    EXPECT_EQ(p.isWritable(), m.has(members::Put) || m.has(members::PutRef)) << name;
    EXPECT_EQ(p.notifySignal().name().toStdString(), name + "Changed");
    EXPECT_TRUE(w->property(name.c_str()).isValid()) << name;
  }
  for (const members::Event& e : members::kEvents) {
    const std::string name(e.info.name);
    QMetaMethod signal;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
      if (meta->method(i).methodType() == QMetaMethod::Signal && meta->method(i).name() == name.c_str())
        signal = meta->method(i);
    ASSERT_TRUE(signal.isValid()) << name;
    ASSERT_EQ(static_cast<std::size_t>(signal.parameterCount()), e.info.params.size()) << name;
    for (std::size_t i = 0; i < e.info.params.size(); ++i)
      EXPECT_EQ(signal.parameterNames()[static_cast<int>(i)].toStdString(), e.info.params[i].name);
  }
}

// Designers list a class's properties in declaration order and write a form's properties in
// that order: the saved ones come first, in the order a loaded control reads them.
TEST_F(KestrinWidgetTest, PropertiesAreDeclaredInReadingOrderWithEnumerationsByName) {
  const QMetaObject* meta = w->metaObject();
  std::vector<std::string> declared;
  for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) declared.emplace_back(meta->property(i).name());
  const std::vector<std::string> reading(members::readOrder().begin(), members::readOrder().end());
  ASSERT_GE(declared.size(), reading.size());
  EXPECT_EQ(std::vector<std::string>(declared.begin(), declared.begin() + static_cast<long>(reading.size())), reading);

  for (const members::Member& m : members::kMembers) {
    if (m.type != values::AutoType::Enum) continue;
    const QMetaProperty p = meta->property(meta->indexOfProperty(std::string(m.name).c_str()));
    ASSERT_TRUE(p.isEnumType()) << m.name;
    const QMetaEnum e = p.enumerator();
    EXPECT_EQ(std::string(e.name()), m.enumeration->name);
    ASSERT_EQ(static_cast<std::size_t>(e.keyCount()), m.enumeration->members.size()) << m.name;
    for (int i = 0; i < e.keyCount(); ++i) {
      EXPECT_EQ(std::string(e.key(i)), m.enumeration->members[static_cast<std::size_t>(i)].name);
      EXPECT_EQ(e.value(i), m.enumeration->members[static_cast<std::size_t>(i)].value);
    }
  }
  // A member name is a value, as a form gives it; so is a number.
  EXPECT_TRUE(w->setProperty("KestrinType", "DATE_TYPE"));
  EXPECT_EQ(w->property("KestrinType").toInt(), KestrinWidget::DATE_TYPE);
  EXPECT_TRUE(w->setProperty("Alignment", 7));
  EXPECT_EQ(w->property("Alignment").toInt(), 7);
}

TEST_F(KestrinWidgetTest, WhatANotifySlotChangesIsAnnouncedInTheSameEvent) {
  QSignalSpy interval(w, &KestrinWidget::IntervalChanged);
  QObject::connect(w, &KestrinWidget::TextChanged, w, [this] { w->setProperty("Interval", 250); });
  w->setProperty("Text", "abc");
  EXPECT_EQ(interval.count(), 1);
}

// A text is announced when its Qt string changes, whether the two are told apart as UTF-8
// bytes alone (ASCII) or as Qt strings.
TEST_F(KestrinWidgetTest, TextChangesAreAnnouncedOnceEach) {
  QSignalSpy text(w, &KestrinWidget::TextChanged);
  const std::vector<QString> texts = {QStringLiteral("abc"), QStringLiteral("abd"), QStringLiteral("ab\u00e9"),
                                      QStringLiteral("ab\u00e8"), QStringLiteral("abd"), QStringLiteral("abd")};
  for (const QString& t : texts) w->setProperty("Text", t);
  EXPECT_EQ(text.count(), 5);
  EXPECT_EQ(w->property("Text").toString(), QStringLiteral("abd"));
}

// A receiver hears of changes from the value when it connected: not of one made before, nor of
// one made while it was disconnected.
TEST_F(KestrinWidgetTest, AReceiverHearsOfChangesFromWhenItConnected) {
  w->setProperty("Interval", 120);  // nobody listens yet
  auto interval = std::make_unique<QSignalSpy>(w, &KestrinWidget::IntervalChanged);
  w->setProperty("Interval", 120);
  EXPECT_EQ(interval->count(), 0);
  w->setProperty("Interval", 130);
  EXPECT_EQ(interval->count(), 1);
  interval.reset();  // disconnected
  w->setProperty("Interval", 140);
  interval = std::make_unique<QSignalSpy>(w, &KestrinWidget::IntervalChanged);
  w->setProperty("Interval", 140);
  EXPECT_EQ(interval->count(), 0);
  w->setProperty("Interval", 130);
  EXPECT_EQ(interval->count(), 1);
  // A receiver connected from another thread hears of what the next event changes.
  interval.reset();
  w->setProperty("Interval", 140);
  std::atomic<int> heard{0};
  std::thread([&] {
    QObject::connect(w, &KestrinWidget::IntervalChanged, w, [&] { ++heard; }, Qt::DirectConnection);
  }).join();
  w->setProperty("Interval", 150);
  EXPECT_EQ(heard, 1);
  // A typed key is heard of by a receiver connected after the widget was made and shown.
  showWindow();
  QSignalSpy text(w, &KestrinWidget::TextChanged);
  w->activeBox().setFocus();
  QTest::keyClicks(&w->activeBox(), QStringLiteral("x"));
  EXPECT_EQ(text.count(), 1);
}

TEST_F(KestrinWidgetTest, WritesAreCoercedAndFailuresReported) {
  QSignalSpy interval(w, &KestrinWidget::IntervalChanged);
  EXPECT_TRUE(w->setProperty("Interval", "120"));  // a numeric string, as an automation client may give
  EXPECT_EQ(w->property("Interval").toInt(), 120);
  EXPECT_EQ(interval.count(), 1);
  // Announced when the Qt value changes: True as -1 after 1 is still true.
  QSignalSpy beep(w, &KestrinWidget::InvalidBeepChanged);
  w->setProperty("InvalidBeep", 1);
  w->setProperty("InvalidBeep", -1);
  w->setProperty("InvalidBeep", 0);
  EXPECT_EQ(beep.count(), 2);
  QSignalSpy errors(w, &KestrinWidget::automationError);
  w->setProperty("ValidState", true);  // read-only for every client: error 393 at run time
  EXPECT_EQ(w->lastError(), 393);
  EXPECT_EQ(errors.count(), 1);
  w->setProperty("MousePointer", 70000);  // no 16-bit number: overflow
  EXPECT_EQ(w->lastError(), 6);
}

// How many pixels of the widget's caption, as it paints, are `colour` (or nearly: the text's
// edges are blended with the background).
int captionPixels(KestrinWidget& w, const QColor& colour) {
  const QImage shown = w.grab().toImage();
  const QRect r = w.captionRect();
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) {
      const QColor c = shown.pixelColor(x, y);
      n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                       std::abs(c.blue() - colour.blue()) < 60
               ? 1
               : 0;
    }
  }
  return n;
}

// Style sheets set properties, select on them, and their colour reaches the painted caption.
TEST_F(KestrinWidgetTest, StyleSheetsSetPropertiesAndSelectOnThem) {
  w->setStyleSheet(
      "kestrinx--qt--KestrinWidget { qproperty-Interval: 200; }"
      "kestrinx--qt--KestrinWidget[ValidState=\"true\"] { color: rgb(0, 128, 0); }");
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  showWindow();
  EXPECT_EQ(w->property("Interval").toInt(), 200);
  const QColor valid(0, 128, 0);
  EXPECT_EQ(captionPixels(*w, valid), 0);
  enterAndLeave("12");  // valid: the style sheet's rule now applies
  EXPECT_GT(captionPixels(*w, valid), 4);
  // A colour of the program's own stands; a palette set on the widget reaches a system colour.
  w->setProperty("LabelForeColor", 0x000000FFu);
  EXPECT_EQ(captionPixels(*w, valid), 0);
  EXPECT_GT(captionPixels(*w, QColor(255, 0, 0)), 4);
  w->setStyleSheet({});
  w->setProperty("LabelForeColor", values::SystemButtonText);
  QPalette blue = w->palette();
  blue.setColor(QPalette::ButtonText, QColor(0, 0, 255));
  w->setPalette(blue);
  EXPECT_GT(captionPixels(*w, QColor(0, 0, 255)), 4);
  // Hidden, the caption paints nothing and has no place.
  w->setProperty("CaptionView", false);
  EXPECT_TRUE(w->captionRect().isEmpty());
}

// What a screen reader reads of a box: named by the caption, its text the entry without the
// spaces that right-align a number, the caret counted after them.
TEST_F(KestrinWidgetTest, TheBoxIsNamedByTheCaptionAndReadsWithoutPadding) {
  w->setProperty("Caption", "Amount");
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  showWindow();
  focus(w->activeBox());
  QTest::keyClicks(&w->activeBox(), "1234");
  ASSERT_TRUE(w->activeBox().text().startsWith("  "));  // padded to the right
  QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&w->activeBox());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->role(), QAccessible::EditableText);
  EXPECT_EQ(box->text(QAccessible::Name), "Amount");
  EXPECT_EQ(box->text(QAccessible::Value), "1,234");
  QAccessibleTextInterface* text = box->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->characterCount(), 5);
  EXPECT_EQ(text->text(0, 5), "1,234");
  EXPECT_EQ(text->cursorPosition(), 5);
  text->setCursorPosition(1);
  EXPECT_EQ(w->activeBox().text().mid(w->activeBox().cursorPosition()), ",234");
  // A new caption names the box again; a text box keeps its leading spaces.
  w->setProperty("Caption", "Total");
  EXPECT_EQ(box->text(QAccessible::Name), "Total");
  w->setProperty("KestrinType", KestrinWidget::NORMAL_TYPE);
  w->setProperty("Text", "  two");
  EXPECT_EQ(box->text(QAccessible::Value), "  two");
}

TEST_F(KestrinWidgetTest, SavedPropertiesCreateTheControlAgain) {
  w->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
  w->setProperty("Caption", "Amount");
  w->setProperty("ColorInValid", 0x00FF00u);
  KestrinWidget again(w->savedProperties(), "Kestrin2");
  for (const char* name : {"KestrinType", "Caption", "ColorInValid", "Font"})
    EXPECT_EQ(again.property(name), w->property(name)) << name;
}

// A form file's Kestrin controls open at their places with their saved properties; a control
// that stops reading stands as far as it got, and other classes are passed over.
TEST(KestrinWidgetForm, AFormFilesControlsOpenWhereTheyWereSaved) {
  using values::Variant;
  forms::FormFile file;
  file.controls.push_back({"txtAge", KestrinProgId, {1440, 720, 2880, 360},
                           {{"Caption", Variant::string("Age")},
                            {"Interval", Variant::string("abc")},
                            {"BackColor", Variant::longValue(0x00112233)}}});
  file.controls.push_back({"cmdOk", "Other.Button", {0, 0, 900, 360}, {}});
  file.controls.push_back({"txtSum", KestrinProgId, {0, 1440, 2880, 360},
                           {{"KestrinType", Variant::longValue(NUMERIC_TYPE)}, {"Text", Variant::string("1234")}}});
  QWidget form;
  const std::vector<KestrinWidget*> opened = qt::openFormControls(file, form);
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0]->objectName(), "txtAge");
  EXPECT_EQ(opened[0]->parentWidget(), &form);
  EXPECT_EQ(opened[0]->geometry(), QRect(qthost::toPixelsX(form, 1440), qthost::toPixelsY(form, 720),
                                         qthost::toPixelsX(form, 2880), qthost::toPixelsY(form, 360)));
  EXPECT_EQ(opened[0]->property("Caption").toString(), "Age");
  EXPECT_EQ(opened[0]->lastError(), 13);  // stopped at Interval: BackColor was never read
  EXPECT_NE(opened[0]->property("BackColor").toUInt(), 0x00112233u);
  EXPECT_EQ(opened[1]->lastError(), 0);
  EXPECT_EQ(opened[1]->property("KestrinType").toInt(), KestrinWidget::NUMERIC_TYPE);
  EXPECT_EQ(opened[1]->property("Text").toString().trimmed(), "1,234");  // read through the put: grouped
}

}  // namespace
}  // namespace kestrinx::testing
