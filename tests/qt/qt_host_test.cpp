// The Qt host below the control: lengths at the screen's logical DPI, fonts, colours, and the
// order and arguments of the events a box delivers for keys, edits without keys, program
// changes and focus.
#include <QClipboard>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/qt/control_site.h"
#include "host/qt/label.h"
#include "host/qt/strings.h"
#include "host/qt/fonts.h"
#include "host/qt/keys.h"
#include "host/qt/units.h"
#include "support/qt_window.h"

namespace kestrinx::testing {
namespace {

using host::ChangeSource;

// Records what a box and the surface deliver, one line per event.
struct Recorder : host::TextBoxEvents, host::SurfaceEvents {
  std::vector<std::string> log;
  std::function<void(std::int16_t&)> onPress;
  std::function<void()> onChanged;

  void onChange(std::int16_t i, ChangeSource s) override {
    log.push_back("Change " + std::to_string(i) + (s == ChangeSource::UserEdit ? " user" : " program"));
    if (onChanged) onChanged();
  }
  void onGotFocus(std::int16_t i) override { log.push_back("GotFocus " + std::to_string(i)); }
  void onLostFocus(std::int16_t i) override { log.push_back("LostFocus " + std::to_string(i)); }
  void onKeyDown(std::int16_t, std::int16_t& code, std::int16_t& shift) override {
    log.push_back("KeyDown " + std::to_string(code) + " " + std::to_string(shift));
  }
  void onKeyPress(std::int16_t, std::int16_t& ascii) override {
    log.push_back("KeyPress " + std::to_string(ascii));
    if (onPress) onPress(ascii);
  }
  void onKeyUp(std::int16_t, std::int16_t& code, std::int16_t&) override { log.push_back("KeyUp " + std::to_string(code)); }
  void onMouseDown(std::int16_t, std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("MouseDown", b, s, x, y); }
  void onMouseUp(std::int16_t, std::int16_t& b, std::int16_t& s, float& x, float& y) override { mouse("MouseUp", b, s, x, y); }
  void onClick(std::int16_t) override { log.push_back("Click"); }
  void onDblClick(std::int16_t) override { log.push_back("DblClick"); }
  void mouse(const char* name, std::int16_t b, std::int16_t s, float x, float y) {
    log.push_back(std::string(name) + " " + std::to_string(b) + " " + std::to_string(s) + " " +
                  std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
  }
  void onResize() override { log.push_back("Resize"); }
};

class QtHostTest : public QtWindowTest {
 public:
  // The twips a pixel position in the box is (whole twips, as the recorder writes them).
  std::string twips(QPoint p) {
    return std::to_string(static_cast<int>(qthost::toTwipsX(edit(), p.x()))) + " " +
           std::to_string(static_cast<int>(qthost::toTwipsY(edit(), p.y())));
  }

 protected:
  QtHostTest() {
    place(surfaceWidget);
    site.box(0).setEventSink(&events, 0);
    site.box(1).setEventSink(&events, 1);
    site.qtSurface().setEventSink(&events);
  }
  qthost::TextBox& box() { return site.box(0); }
  QLineEdit& edit() { return site.box(0).lineEdit(); }

  QWidget* surfaceWidget = new QWidget;
  qthost::ControlSite site{*surfaceWidget};
  Recorder events;
};

TEST_F(QtHostTest, LengthsAreTwipsAtTheScreensLogicalDpi) {
  const int dpiX = surfaceWidget->logicalDpiX(), dpiY = surfaceWidget->logicalDpiY();
  EXPECT_EQ(qthost::toPixelsX(*surfaceWidget, 1440), dpiX);
  EXPECT_EQ(qthost::toPixelsY(*surfaceWidget, 720), dpiY / 2);
  EXPECT_FLOAT_EQ(qthost::toTwipsX(*surfaceWidget, dpiX), 1440.0f);

  box().move(1440, 720, 2880, 1440);
  EXPECT_EQ(edit().geometry(), QRect(dpiX, dpiY / 2, 2 * dpiX, dpiY));
  EXPECT_FLOAT_EQ(box().width(), 2880.0f);  // read back as set, not rounded to pixels

  // The surface measures text in its font at the same DPI.
  const QFontMetricsF metrics(qthost::toQFont(*site.qtSurface().font()), surfaceWidget);
  EXPECT_FLOAT_EQ(site.qtSurface().textWidth("1,234"), metrics.horizontalAdvance("1,234") * 1440 / dpiX);
  // Measured again in a changed font, also one changed in place.
  const float before = site.qtSurface().textWidth("1,234");
  site.qtSurface().font()->size *= 2;
  EXPECT_GT(site.qtSurface().textWidth("1,234"), 1.5f * before);

  // Qt resizing the shown widget resizes the surface: one Resize for each side that changed.
  showWindow();
  events.log.clear();
  surfaceWidget->resize(3 * dpiX, surfaceWidget->height());
  EXPECT_FLOAT_EQ(site.qtSurface().width(), 3 * 1440.0f);
  EXPECT_EQ(events.log, std::vector<std::string>{"Resize"});
}

TEST_F(QtHostTest, HeldPlacingKeepsTheTwipsAndPlacesTheWidgetsOnRelease) {
  box().move(0, 0, 1440, 720);
  const QRect before = edit().geometry();
  site.holdPlacing();
  box().move(1440, 720, 2880, 8);
  site.caption().setCaption("a longer caption");
  EXPECT_EQ(edit().geometry(), before);  // not placed yet
  EXPECT_FLOAT_EQ(box().left(), 1440.0f);  // read back as set
  EXPECT_FLOAT_EQ(box().height(), qthost::toTwipsY(edit(), edit().minimumSizeHint().height()));
  site.releasePlacing();
  const int dpiX = qthost::logicalDpiX(edit());
  EXPECT_EQ(edit().geometry(), QRect(dpiX, qthost::logicalDpiY(edit()) / 2, 2 * dpiX, edit().minimumSizeHint().height()));
  QLabel reference("a longer caption");
  reference.setFont(qthost::toQFont(*site.caption().font()));
  EXPECT_EQ(site.caption().pixelRect().size(), reference.sizeHint());
}

// The painted caption sizes itself as a QLabel with its text and font would, and so does the
// page's label widget, whatever its alignment (a label with a margin is asked itself).
TEST_F(QtHostTest, CaptionAndLabelTakeTheLabelsSizeHint) {
  qthost::Caption& caption = site.caption();
  qthost::Label label(*surfaceWidget);
  QLabel& q = label.qlabel();
  auto bold = std::make_shared<values::Font>();
  bold->size = 19.5f;
  bold->bold = values::True;
  const struct {
    std::string caption;
    Qt::Alignment align;
    bool boldFont;
    int margin;
  } cases[] = {
      {"", Qt::AlignLeft, false, 0},
      {"Field 0", Qt::AlignLeft | Qt::AlignVCenter, false, 0},
      {"txtField123", Qt::AlignRight, true, 0},
      {"two\nlines", Qt::AlignCenter, false, 0},
      {"a\ttab & more", Qt::AlignLeft, true, 0},
      {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", Qt::AlignLeft, false, 0},  // right to left
      {std::string(400, 'W'), Qt::AlignLeft, false, 0},                    // wider than 2,000 pixels
      {"with a margin", Qt::AlignLeft, false, 3},                          // asked of the label itself
  };
  for (const auto& c : cases) {
    const values::FontRef font = c.boldFont ? bold : std::make_shared<values::Font>();
    caption.setFont(font);
    caption.setCaption(c.caption);
    QLabel reference(qthost::toQString(c.caption), surfaceWidget);
    reference.setFont(qthost::toQFont(*font));
    const QSize shown = reference.sizeHint();
    EXPECT_FLOAT_EQ(caption.width(), qthost::toTwipsX(reference, shown.width())) << c.caption;
    EXPECT_FLOAT_EQ(caption.height(), qthost::toTwipsY(reference, shown.height())) << c.caption;

    q.setAlignment(c.align);
    q.setMargin(c.margin);
    label.setFont(font);
    label.setCaption(c.caption);
    const QSize hint = q.sizeHint();
    EXPECT_EQ(q.size(), hint) << c.caption;
    EXPECT_FLOAT_EQ(label.width(), qthost::toTwipsX(q, hint.width())) << c.caption;
    EXPECT_FLOAT_EQ(label.height(), qthost::toTwipsY(q, hint.height())) << c.caption;
  }
}

// A caption keeps its text while the font or alignment changes under it: each change is measured.
TEST_F(QtHostTest, TheSameCaptionIsMeasuredAgainInAnotherFontOrAlignment) {
  qthost::Label label(*surfaceWidget);
  QLabel& q = label.qlabel();
  auto big = std::make_shared<values::Font>();
  big->size = 24;
  auto italic = std::make_shared<values::Font>(*big);
  italic->italic = values::True;
  label.setCaption("W\tW");
  const struct {
    values::FontRef font;
    Qt::Alignment align;
  } steps[] = {
      {std::make_shared<values::Font>(), Qt::AlignLeft}, {big, Qt::AlignLeft}, {big, Qt::AlignLeft},
      {italic, Qt::AlignLeft}, {italic, Qt::AlignRight}, {std::make_shared<values::Font>(), Qt::AlignRight},
  };
  for (const auto& step : steps) {
    q.setAlignment(step.align);
    label.setFont(step.font);
    EXPECT_EQ(q.size(), q.sizeHint()) << step.font->size;
    EXPECT_FLOAT_EQ(label.width(), qthost::toTwipsX(q, q.sizeHint().width())) << step.font->size;
  }
}

TEST_F(QtHostTest, ABoxKeepsTheHeightItsFontNeeds) {
  box().setHeight(8);  // the control's request after a font change: the point size, in twips
  const int needed = edit().minimumSizeHint().height();
  EXPECT_EQ(edit().height(), needed);
  EXPECT_FLOAT_EQ(box().height(), qthost::toTwipsY(edit(), needed));
  box().setHeight(2880);  // taller than needed: as asked
  EXPECT_FLOAT_EQ(box().height(), 2880.0f);

  // A box not made yet reports the height its line edit will need, measured without making it.
  for (float points : {8.0f, 9.75f, 12.0f, 16.5f, 20.0f, 24.0f}) {
    for (const qthost::TextBox::Look look : {qthost::TextBox::Look::Framed, qthost::TextBox::Look::Flat}) {
      QWidget surface;
      qthost::Delivery delivery;
      qthost::TextBox later(surface, look, delivery, qthost::TextBox::Creation::OnDemand);
      later.setFont(values::makeFont(std::string(values::DefaultFontName), points));
      later.setHeight(8);
      const float reported = later.height();
      EXPECT_FALSE(later.lineEditMade());
      EXPECT_FLOAT_EQ(reported, qthost::toTwipsY(surface, later.lineEdit().minimumSizeHint().height())) << points;
      // A style sheet that reaches the line edit is asked of the line edit itself.
      later.lineEdit().setStyleSheet("QLineEdit { padding: 6px; }");
      EXPECT_FLOAT_EQ(later.height(), qthost::toTwipsY(surface, later.lineEdit().minimumSizeHint().height())) << points;
      EXPECT_GT(later.height(), reported);
    }
  }
}

TEST_F(QtHostTest, TheDefaultFontShowsInAnInstalledFamily) {
  // A missing font would fall back silently to whatever the font system picks; fail loudly.
  const QStringList families = QFontDatabase::families();
  ASSERT_FALSE(families.isEmpty()) << "no fonts installed";
  for (const QFont& font : {edit().font(), qthost::toQFont(*site.caption().font())}) {
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(families.contains(family)) << family.toStdString();
    EXPECT_EQ(family, qthost::defaultFontFamily());
  }
  EXPECT_EQ(box().font()->name, values::DefaultFontName);  // the name is kept, saved and read back
}

TEST_F(QtHostTest, ColoursAreRgbOrThePalettesSystemColours) {
  const QPalette system = QApplication::palette(&edit());
  const struct {
    values::OleColor ole;
    QColor shown;
  } cases[] = {
      {0x000000FF, QColor(255, 0, 0)},
      {0x00FFFF00, QColor(0, 255, 255)},
      {values::SystemWindowBackground, system.color(QPalette::Active, QPalette::Base)},
      {0x8000000D, system.color(QPalette::Active, QPalette::Highlight)},
      {0x80000012, system.color(QPalette::Active, QPalette::ButtonText)},
  };
  for (const auto& c : cases) {
    box().setBackColor(c.ole);
    EXPECT_EQ(box().backColor(), c.ole);
    EXPECT_EQ(edit().palette().color(QPalette::Active, QPalette::Base), c.shown) << std::hex << c.ole;
  }
}

// Each key's code and shift state, the characters it types and their KeyPress codes: below
// U+8000 a character's own number, up to U+FFFF its 16 bits read as a negative number, beyond
// the basic plane the stand-in -3; a key that types several characters types each.
TEST(QtKeys, KeyCodesShiftStatesAndTypedCharacters) {
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // U+1F600
  const struct {
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    std::int16_t code, shift;
    std::vector<std::int16_t> typed;  // KeyPress codes of the characters it types
  } cases[] = {
      {Qt::Key_A, Qt::NoModifier, "a", 65, 0, {97}},
      {Qt::Key_A, Qt::ShiftModifier, "A", 65, 1, {65}},
      {Qt::Key_Exclam, Qt::ShiftModifier, "!", 49, 1, {33}},
      {Qt::Key_Comma, Qt::NoModifier, ",", 188, 0, {44}},
      {Qt::Key_5, Qt::KeypadModifier, "5", 101, 0, {53}},
      {Qt::Key_Return, Qt::NoModifier, "\r", 13, 0, {13}},
      {Qt::Key_Backspace, Qt::NoModifier, "\b", 8, 0, {8}},
      {Qt::Key_V, Qt::ControlModifier, "\x16", 86, 2, {}},  // a command: pastes
      {Qt::Key_Delete, Qt::NoModifier, "", 46, 0, {}},
      {Qt::Key_F5, Qt::NoModifier, "", 116, 0, {}},
      {Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, "@", 81, 6, {64}},  // AltGr types
      {0x20AC, Qt::NoModifier, QString(QChar(0x20AC)), 0, 0, {0x20AC}},     // Qt names it by its character
      {0x7FFF, Qt::NoModifier, QString(QChar(0x7FFF)), 0, 0, {0x7FFF}},     // the last code of its own
      {0xFF11, Qt::NoModifier, QString(QChar(0xFF11)), 0, 0, {-239}},      // full-width 1
      {0xAC00, Qt::NoModifier, QString(QChar(0xAC00)), 0, 0, {-21504}},    // Hangul
      {Qt::Key_unknown, Qt::NoModifier, emoji, 0, 0, {qthost::kBeyondPlaneCode}},
      {Qt::Key_unknown, Qt::NoModifier, "12", 0, 0, {49, 50}},              // several at once
      {Qt::Key_unknown, Qt::NoModifier, "a\x01" + emoji, 0, 0, {97, -3}},   // no control code
      {Qt::Key_unknown, Qt::NoModifier, QString(QChar(0xD83D)), 0, 0, {}},  // half a pair alone
  };
  for (const auto& c : cases) {
    const QKeyEvent e(QEvent::KeyPress, c.key, c.modifiers, c.text);
    EXPECT_EQ(qthost::keyCodeOf(e), c.code) << c.key;
    EXPECT_EQ(qthost::shiftStateOf(e.modifiers()), c.shift) << c.key;
    const QString typed = qthost::typedTextOf(e);
    std::vector<std::int16_t> codes;
    for (qsizetype i = 0; i < typed.size(); i += qthost::characterLength(typed, i))
      codes.push_back(qthost::keyPressCodeAt(typed, i));
    EXPECT_EQ(codes, c.typed) << c.key << " " << c.text.toStdString();
  }
  // What a code types: its character; nothing for a control code or half a surrogate pair.
  EXPECT_EQ(qthost::characterOf(-239), QChar(0xFF11));
  EXPECT_EQ(qthost::characterOf(qthost::kBeyondPlaneCode), QChar(0xFFFD));
  EXPECT_EQ(qthost::characterOf(9), std::nullopt);
  EXPECT_EQ(qthost::characterOf(static_cast<std::int16_t>(0xD83D)), std::nullopt);
}

TEST_F(QtHostTest, KeystrokesGoKeyDownKeyPressEditChangeKeyUp) {
  box().setText("");
  events.log.clear();
  // A handler's KeyPress code is typed instead; 0 discards the key.
  events.onPress = [](std::int16_t& ascii) {
    if (ascii == 'x') ascii = 0;
    if (ascii == 'b') ascii = 'B';
  };
  QTest::keyClicks(&edit(), "axb");
  EXPECT_EQ(box().text(), "aB");
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown 65 0", "KeyPress 97", "Change 0 user", "KeyUp 65",
                                                  "KeyDown 88 0", "KeyPress 120", "KeyUp 88",
                                                  "KeyDown 66 0", "KeyPress 98", "Change 0 user", "KeyUp 66"}));
  // Keys that type nothing: their own action between KeyDown and KeyUp; Backspace types code 8.
  events.log.clear();
  QTest::keyClick(&edit(), Qt::Key_Home);
  QTest::keyClick(&edit(), Qt::Key_Delete);
  QTest::keyClick(&edit(), Qt::Key_End);
  QTest::keyClick(&edit(), Qt::Key_Backspace);
  EXPECT_EQ(box().text(), "");
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown 36 0", "KeyUp 36", "KeyDown 46 0", "Change 0 user",
                                                  "KeyUp 46", "KeyDown 35 0", "KeyUp 35", "KeyDown 8 0",
                                                  "KeyPress 8", "Change 0 user", "KeyUp 8"}));
}

// While the control handles a keystroke's Change, the box holds the edit back: the handler reads
// and sets the edit's state, and the line edit ends as the handler left it, whoever looks first.
TEST_F(QtHostTest, AKeystrokesEditReachesTheLineEditAsTheChangeHandlerLeftIt) {
  QLineEdit* const raw = &edit();  // read without asking the box
  std::string seen;
  std::vector<std::int32_t> errors;
  site.delivery().setErrorHandler([&](const values::AutomationError& e) {
    errors.push_back(e.number());
    seen = raw->text().toStdString();  // what the application sees when told of the error
  });
  const struct {
    const char* name;
    std::string before;
    std::int32_t selStart, selLength, maxLength;
    Qt::Key key;
    std::function<void()> handler;
    std::string text, read;  // the line edit's text; what the handler read (or the error handler saw)
    int cursor;
    QString selected;
  } cases[] = {
      {"over a selection at MaxLength", "abcd", 1, 2, 4, Qt::Key_X, nullptr, "axd", "", 2, ""},
      {"at MaxLength: no edit", "abcd", 4, 0, 4, Qt::Key_X, nullptr, "abcd", "", 4, ""},
      {"Backspace takes a surrogate pair whole",
       "a\xF0\x9F\x98\x80"
       "b",
       5, 0, 0, Qt::Key_Backspace, nullptr, "ab", "", 1, ""},
      {"a rewrite and its caret", "12", 2, 0, 0, Qt::Key_3,
       [&] {
         seen = box().text() + "@" + std::to_string(box().selStart());
         box().setText(" 123");
         box().setSelStart(2);
       },
       " 123", "123@3", 2, ""},
      {"a selection", "ab", 2, 0, 0, Qt::Key_C,
       [&] {
         box().setSelStart(1);
         box().setSelLength(1);
         seen = box().selText();
       },
       "abc", "b", 2, "b"},
      {"the text put back", "ab", 2, 0, 0, Qt::Key_C, [&] { box().setText("ab"); }, "ab", "", 0, ""},
      {"the line edit asked for", "ab", 2, 0, 0, Qt::Key_C,
       [&] {
         seen = edit().text().toStdString();
         box().setText("xy");
       },
       "xy", "abc", 0, ""},
      {"an error", "ab", 2, 0, 0, Qt::Key_C, [] { values::raiseError(values::err::InvalidProcedureCall); }, "abc",
       "abc", 3, ""},
  };
  for (const auto& c : cases) {
    events.onChanged = nullptr;
    box().setMaxLength(c.maxLength);
    box().setText(c.before);
    box().setSelStart(c.selStart);
    box().setSelLength(c.selLength);
    events.log.clear();
    seen.clear();
    // The handler runs for the keystroke's Change, not again for the Change of its own set.
    events.onChanged = [&c, first = true]() mutable {
      if (!std::exchange(first, false) || !c.handler) return;
      c.handler();
    };
    QTest::keyClick(&edit(), c.key);
    events.onChanged = nullptr;
    EXPECT_EQ(raw->text().toStdString(), c.text) << c.name;
    EXPECT_EQ(raw->cursorPosition(), c.cursor) << c.name;
    EXPECT_EQ(raw->selectedText(), c.selected) << c.name;
    EXPECT_EQ(seen, c.read) << c.name;
    const bool edited = c.text != c.before || c.handler != nullptr;
    EXPECT_EQ(std::count(events.log.begin(), events.log.end(), "Change 0 user"), edited ? 1 : 0) << c.name;
  }
  EXPECT_EQ(errors, std::vector<std::int32_t>{5});
  // Plain typing stays a step of the line edit's own undo.
  box().setMaxLength(0);
  box().setText("");
  QTest::keyClicks(&edit(), "ab");
  EXPECT_TRUE(edit().isUndoAvailable());
  edit().undo();
  EXPECT_EQ(box().text(), "");
}

TEST_F(QtHostTest, ProgramChangesRaiseChangeOnlyWhenTheTextChanges) {
  events.log.clear();
  box().setText("abcdef");
  box().setSelStart(3);
  box().setText("abcdef");  // unchanged: nothing, and the caret stays
  EXPECT_EQ(box().selStart(), 3);
  // A lower MaxLength cuts the text, and the cut is a change.
  box().setMaxLength(4);
  EXPECT_EQ(box().text(), "abcd");
  box().setMaxLength(10);
  box().setMaxLength(0);  // no limit at all
  const std::string longText(40000, '7');
  box().setText(longText);
  EXPECT_EQ(box().text(), longText);
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change 0 program", "Change 0 program", "Change 0 program"}));
}

TEST_F(QtHostTest, EditsWithoutKeysReachTheChangePathAsUserEdits) {
  box().setText("12ab");
  box().setSelStart(2);
  events.log.clear();
  QGuiApplication::clipboard()->setText("34\r\nignored");  // a single-line box takes the first line
  edit().paste();  // as the context menu's Paste does: no key at all
  QTest::keyClick(&edit(), Qt::Key_V, Qt::ControlModifier);  // a key with an action of its own
  EXPECT_EQ(box().text(), "123434ab");
  EXPECT_EQ(events.log, (std::vector<std::string>{"Change 0 user", "KeyDown 17 2", "KeyDown 86 2", "Change 0 user",
                                                  "KeyUp 86", "KeyUp 17"}));
}

TEST_F(QtHostTest, FocusEntersAndLeavesTheBoxNotTheWindow) {
  showWindow();
  leave();
  events.log.clear();
  focus(edit());
  // Another window becoming active is no leaving, and coming back no entering.
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  leave();
  EXPECT_EQ(events.log, (std::vector<std::string>{"GotFocus 0", "LostFocus 0"}));
}

TEST_F(QtHostTest, MouseEventsCarryTwipsInTheBoxsOwnCoordinates) {
  showWindow();
  events.log.clear();
  const QPoint at(10, 5);
  QTest::mouseClick(&edit(), Qt::LeftButton, Qt::ShiftModifier, at);
  QTest::mouseClick(&edit(), Qt::RightButton, {}, at);  // no Click for the right button
  EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown 1 1 " + twips(at), "MouseUp 1 1 " + twips(at), "Click",
                                                  "MouseDown 2 0 " + twips(at), "MouseUp 2 0 " + twips(at)}));
}

TEST_F(QtHostTest, SelectionPositionsAreBytesOfTheUtf8Text) {
  box().setText("h\xC3\xA9llo w\xC3\xB6rld");  // two 2-byte characters
  const struct {
    std::int32_t start, length;  // bytes set
    int cursor;                  // the line edit's position
    QString selected;
    std::int32_t readStart;  // bytes read back
  } cases[] = {
      {3, 2, 2, "ll", 3},
      {2, 0, 1, "", 1},      // inside a character: before it
      {10, 3, 8, "rld", 10},  // after the second one
      {99, 5, 11, "", 13},   // past the end: the end
  };
  for (const auto& c : cases) {
    box().setSelStart(c.start);
    box().setSelLength(c.length);
    EXPECT_EQ(edit().hasSelectedText() ? edit().selectionStart() : edit().cursorPosition(), c.cursor) << c.start;
    EXPECT_EQ(edit().selectedText(), c.selected) << c.start;
    EXPECT_EQ(box().selStart(), c.readStart) << c.start;
    EXPECT_EQ(box().selLength(), static_cast<std::int32_t>(c.selected.toUtf8().size())) << c.start;
  }
}

// A box made on demand keeps what the program sets before its line edit exists, by a line edit's
// rules and with the same events, and its line edit then shows all of it: the same as a box
// whose line edit was there from the start.
TEST_F(QtHostTest, ABoxMadeOnDemandEndsAsOneMadeAtOnce) {
  using Steps = std::function<void(qthost::TextBox&)>;
  const struct {
    const char* name;
    Steps steps;
  } cases[] = {
      {"texts", [](qthost::TextBox& b) { b.setText("abc"); b.setText("abc"); b.setText(""); b.setText("d\xC3\xA9" "f"); }},
      {"a lower MaxLength cuts, the caret at the end",
       [](qthost::TextBox& b) { b.setText("abcdef"); b.setMaxLength(4); b.setMaxLength(0); }},
      {"a text past MaxLength is cut, the caret at the start",
       [](qthost::TextBox& b) { b.setMaxLength(3); b.setText("\xF0\x9D\x84\x9Exyz"); b.setText("abcd"); }},
      {"insertions at the caret, up to MaxLength",
       [](qthost::TextBox& b) {
         b.setText("h\xC3\xA9llo");
         b.setSelStart(2);  // inside a character: before it
         b.setSelLength(0);
         b.setSelText("");
         b.setSelText("XY");
         b.setSelStart(99);  // past the end: the end
         b.setMaxLength(9);
         b.setSelText("1234");
         b.setSelText("5");
       }},
      {"the values kept",
       [](qthost::TextBox& b) {
         b.setBackColor(0x000000FF);
         b.setForeColor(0x8000000D);  // a system colour
         auto f = std::make_shared<values::Font>();
         f->size = 14;
         f->bold = values::True;
         b.setFont(f);
         b.setEnabled(values::False);
         b.setLocked(values::True);
         b.setMousePointer(11);
         b.setToolTipText("tip");
         b.setOleDragMode(1);
         b.setOleDropMode(2);
         b.move(100, 200, 1500, 8);
         b.setVisible(false);
       }},
  };
  for (const auto& c : cases) {
    QWidget surface;
    Recorder nowEvents, laterEvents;
    qthost::TextBox now(surface, qthost::TextBox::Look::Flat, site.delivery());
    qthost::TextBox later(surface, qthost::TextBox::Look::Flat, site.delivery(), qthost::TextBox::Creation::OnDemand);
    now.setEventSink(&nowEvents, 1);
    later.setEventSink(&laterEvents, 1);
    c.steps(now);
    c.steps(later);
    EXPECT_FALSE(later.lineEditMade()) << c.name;
    EXPECT_EQ(later.text(), now.text()) << c.name;
    EXPECT_EQ(later.selStart(), now.selStart()) << c.name;
    EXPECT_EQ(later.selLength(), now.selLength()) << c.name;
    EXPECT_EQ(later.selText(), now.selText()) << c.name;
    EXPECT_EQ(laterEvents.log, nowEvents.log) << c.name;
    EXPECT_FALSE(later.lineEditMade()) << c.name;
    for (qthost::TextBox* box : {&now, &later}) {
      box->setSelStart(0);
      box->setSelLength(1);  // a selection makes the line edit (when there is a text to select)
    }
    EXPECT_EQ(later.selText(), now.selText()) << c.name;
    EXPECT_EQ(later.lineEditMade(), !now.text().empty()) << c.name;
    const QLineEdit &a = now.lineEdit(), &b = later.lineEdit();
    EXPECT_EQ(b.text(), a.text()) << c.name;
    EXPECT_EQ(b.cursorPosition(), a.cursorPosition()) << c.name;
    EXPECT_EQ(b.maxLength(), a.maxLength()) << c.name;
    EXPECT_EQ(b.hasFrame(), a.hasFrame()) << c.name;
    EXPECT_EQ(b.palette(), a.palette()) << c.name;
    EXPECT_EQ(b.font(), a.font()) << c.name;
    EXPECT_EQ(b.isEnabled(), a.isEnabled()) << c.name;
    EXPECT_EQ(b.isReadOnly(), a.isReadOnly()) << c.name;
    EXPECT_EQ(b.cursor().shape(), a.cursor().shape()) << c.name;
    EXPECT_EQ(b.toolTip(), a.toolTip()) << c.name;
    EXPECT_EQ(b.dragEnabled(), a.dragEnabled()) << c.name;
    EXPECT_EQ(b.acceptDrops(), a.acceptDrops()) << c.name;
    EXPECT_EQ(b.geometry(), a.geometry()) << c.name;
    EXPECT_EQ(b.isHidden(), a.isHidden()) << c.name;
    EXPECT_EQ(laterEvents.log, nowEvents.log) << c.name;  // making it raised nothing
  }
}

// The boxes' line edits are made when they first show, and stand where they would have stood
// from the start: after the surface in the focus chain, element 0 first.
TEST_F(QtHostTest, TheElementsAreMadeWhenTheyShowInTheirPlaces) {
  EXPECT_FALSE(site.box(0).lineEditMade());
  EXPECT_FALSE(site.box(1).lineEditMade());
  showWindow();
  ASSERT_TRUE(site.box(0).lineEditMade());
  ASSERT_TRUE(site.box(1).lineEditMade());
  QWidget& first = site.box(0).lineEdit();
  QWidget& second = site.box(1).lineEdit();
  EXPECT_TRUE(first.isVisible());
  EXPECT_TRUE(second.isVisible());
  EXPECT_EQ(surfaceWidget->nextInFocusChain(), &first);
  EXPECT_EQ(first.nextInFocusChain(), &second);
  EXPECT_EQ(surfaceWidget->focusPolicy(), Qt::NoFocus);
  const QObjectList children = surfaceWidget->children();
  EXPECT_EQ(children.indexOf(&second), children.indexOf(&first) + 1);
  // A hidden element is made only when asked for, and then stays hidden.
  QWidget other;
  qthost::ControlSite hidden(other);
  hidden.box(1).setVisible(false);
  other.show();
  EXPECT_FALSE(hidden.box(1).lineEditMade());
  EXPECT_TRUE(hidden.box(1).lineEdit().isHidden());
  hidden.box(1).setVisible(true);
  EXPECT_TRUE(hidden.box(1).lineEdit().isVisible());
}

TEST_F(QtHostTest, AnErrorFromTheControlEndsTheEventAndIsReported) {
  std::vector<std::int32_t> errors;
  site.delivery().setErrorHandler([&](const values::AutomationError& e) { errors.push_back(e.number()); });
  box().setText("");
  events.log.clear();
  events.onPress = [](std::int16_t&) { values::raiseError(values::err::InvalidProcedureCall); };
  QTest::keyClicks(&edit(), "a");
  EXPECT_EQ(box().text(), "");  // the key was not applied
  EXPECT_EQ(errors, std::vector<std::int32_t>{5});
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown 65 0", "KeyPress 97", "KeyUp 65"}));
}

TEST_F(QtHostTest, ALockedBoxHearsKeysButTakesNoEdit) {
  box().setText("ab");
  box().setLocked(values::True);
  events.log.clear();
  QTest::keyClicks(&edit(), "c");
  QTest::keyClick(&edit(), Qt::Key_Backspace);
  EXPECT_EQ(box().text(), "ab");
  EXPECT_EQ(events.log, (std::vector<std::string>{"KeyDown 67 0", "KeyPress 99", "KeyUp 67", "KeyDown 8 0", "KeyPress 8",
                                                  "KeyUp 8"}));
}

TEST_F(QtHostTest, TheControlsOwnSizeChangesResizeTheWidgetAtOnce) {
  showWindow();
  events.log.clear();
  qthost::Surface& surface = site.qtSurface();
  surface.setWidth(2880);
  EXPECT_EQ(events.log, std::vector<std::string>{"Resize"});  // before setWidth returned
  EXPECT_EQ(surfaceWidget->width(), qthost::toPixelsX(*surfaceWidget, 2880));
  EXPECT_EQ(surface.requestedPixelSize().width(), surfaceWidget->width());
  surface.setWidth(2880);  // unchanged: no Resize
  EXPECT_EQ(events.log.size(), 1u);
  EXPECT_THROW(surface.setHeight(-1), values::AutomationError);
}

}  // namespace
}  // namespace kestrinx::testing
