// kestrinx-demo: its screenshot mode as a user runs it, and in process the designer as a person
// works in it: the property list (every published property, drop-downs for enumerations, check
// boxes, read-only rows, what a put did), every edit as one undo step (property, move, resize,
// add, delete, the General page) with the selection following, unsaved changes asked about on
// closing, new controls' names, a design saved and run again, and the run window (its size,
// its event log, its opt-in switches, the keys that close it).
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QMetaProperty>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <functional>

#include "apps/kestrinx-demo/designer.h"
#include "apps/kestrinx-demo/property_list.h"
#include "apps/kestrinx-demo/runner.h"
#include "control/member_text.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/qt/strings.h"
#include "qt/general_dialog.h"
#include "values/functions.h"

namespace kestrinx::testing {
namespace {

using demo::Designer;
using demo::PropertyList;
using demo::RunWindow;
using qt::KestrinWidget;

const QString kSample = QStringLiteral(KESTRINX_SAMPLE_FORM);

// Lets queued work run (an edit in the property list is applied once its editor is gone).
void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Once a modal window opens (a question, the General page), hands it to `act`; gives up after a
// few seconds.
void whenModal(std::function<void(QWidget&)> act) {
  auto* poll = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && ++*tries < 500) return;
    poll->stop();
    poll->deleteLater();
    if (modal != nullptr) act(*modal);
  });
  poll->start(10);
}

// Answers the next question with `button`, keeping its text in `asked`.
void answer(QMessageBox::StandardButton button, QString* asked = nullptr) {
  whenModal([button, asked](QWidget& modal) {
    auto* box = qobject_cast<QMessageBox*>(&modal);
    if (box == nullptr) return;
    if (asked != nullptr) *asked = box->text() + ' ' + box->informativeText();
    box->button(button)->click();
  });
}

// Whether two forms hold the same design. An empty numeric box pads its Text with spaces to its
// width, and its caret follows; a control created again measures that anew, so the padding is
// compared without the spaces.
bool sameDesign(forms::FormFile a, forms::FormFile b) {
  for (forms::FormFile* f : {&a, &b}) {
    for (forms::FormControl& c : f->controls) {
      bool numeric = false;
      for (const forms::FormEntry& e : c.properties) numeric |= e.key == "KestrinType" && e.value.toLong() == NUMERIC_TYPE;
      if (!numeric) continue;
      std::erase_if(c.properties, [](const forms::FormEntry& e) { return e.key == "SelStart"; });
      for (forms::FormEntry& e : c.properties)
        if (e.key == "Text") e.value = values::Variant::string(std::string(values::trim(e.value.toString())));
    }
  }
  return forms::sameForm(a, b);
}

TEST(DemoProgram, ScreenshotModeWritesEachViewAsAPngAndPrintsItsPath) {
  QTemporaryDir dir;
  QProcess demo;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
  demo.setProcessEnvironment(env);  // no display: the program goes offscreen by itself
  demo.start(QStringLiteral(KESTRINX_DEMO_PATH), {"--screenshot", dir.path(), "--form", kSample});
  ASSERT_TRUE(demo.waitForFinished(60000));
  ASSERT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
  const QStringList printed = QString::fromLocal8Bit(demo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  const QStringList expected = {"design.png", "menus.png", "general-1-general.png", "general-2-colorusebeep.png",
                                "general-3-format.png", "run.png", "positions.png"};
  ASSERT_EQ(printed.size(), expected.size());
  for (int i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(printed[i], dir.filePath(expected[i]));
    const QImage image(printed[i]);
    EXPECT_FALSE(image.isNull()) << printed[i].toStdString();
    EXPECT_GT(image.width(), 200);
    EXPECT_GT(image.height(), 100);
  }

  const struct {
    QStringList args;
    int status;
  } refused[] = {{{"--form", dir.filePath("missing.kxform")}, 2}, {{"--colour"}, 2}};
  for (const auto& r : refused) {
    demo.start(QStringLiteral(KESTRINX_DEMO_PATH), r.args);
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitCode(), r.status) << r.args.join(' ').toStdString();
    EXPECT_TRUE(demo.readAllStandardError().startsWith("kestrinx-demo: "));
  }
}

class DesignerTest : public ::testing::Test {
 protected:
  DesignerTest() {
    designer.resize(900, 500);
    EXPECT_TRUE(designer.openFile(kSample)) << designer.message().toStdString();
  }
  ~DesignerTest() override {
    // The form may hold unsaved changes: the fixture closes without asking.
    designer.undoStack().setClean();
  }
  KestrinWidget& control(const char* name) const {
    KestrinWidget* w = designer.form().find(QString::fromLatin1(name));
    if (w == nullptr) ADD_FAILURE() << "no control " << name;
    return *w;
  }
  // The property list's value cell of `property`.
  QTableWidgetItem* cell(const char* property) const {
    PropertyList& list = designer.propertyList();
    const int row = list.rowOf(property);
    if (row < 0) ADD_FAILURE() << "no row " << property;
    return list.item(row, 1);
  }
  QAction* action(const char* name) const {
    auto* a = designer.findChild<QAction*>(QString::fromLatin1(name));
    if (a == nullptr) ADD_FAILURE() << "no action " << name;
    return a;
  }
  QStringList selected() const {
    QStringList names;
    for (KestrinWidget* w : designer.selection()) names << w->objectName();
    return names;
  }
  void showActive() {
    designer.show();
    designer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&designer));
  }
  void drag(QPoint from, QPoint to) {
    QWidget& form = designer.form();
    QTest::mousePress(&form, Qt::LeftButton, {}, from);
    QTest::mouseMove(&form, to);
    QTest::mouseRelease(&form, Qt::LeftButton, {}, to);
  }

  Designer designer;
};

TEST_F(DesignerTest, ThePropertyListShowsEveryPublishedPropertyAndEditsThroughTheControlsPuts) {
  designer.select({&control("numAmount")});
  PropertyList& list = designer.propertyList();
  int row = 0;
  for (const members::Member& m : members::kMembers) {
    if (!m.has(members::Get)) continue;
    ASSERT_LT(row, list.rowCount());
    EXPECT_EQ(list.item(row, 0)->text().toStdString(), m.name);
    const values::Variant v = control("numAmount").dispatch().getProperty(std::string(m.name));
    const QString shown = m.type == values::AutoType::Color ? PropertyList::colorText(values::toColor(v))
                                                             : qthost::toQString(members::textFromValue(m, v));
    EXPECT_EQ(list.item(row, 1)->text(), shown) << m.name;
    const bool settable = (m.has(members::Put) || m.has(members::PutRef)) && m.name != "ValidState";
    EXPECT_EQ((list.item(row, 1)->flags() & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)) != 0, settable) << m.name;
    ++row;
  }
  EXPECT_EQ(row, list.rowCount());
  EXPECT_EQ(cell("BackColor")->text(), "Window background");

  // Edits in place, as the user makes them, reach each selected control.
  designer.select({&control("numAmount"), &control("txtName")});
  cell("Interval")->setText("200");
  settle();
  EXPECT_EQ(control("numAmount").property("Interval").toInt(), 200);
  EXPECT_EQ(control("txtName").property("Interval").toInt(), 200);
  EXPECT_EQ(designer.message(), "");
  cell("Font")->setText("DejaVu Sans,12,bold");
  settle();
  EXPECT_TRUE(control("txtName").property("Font").value<QFont>().bold());
  cell("InvalidBeep")->setCheckState(Qt::Checked);  // a Boolean is a check box
  settle();
  EXPECT_TRUE(control("txtName").property("InvalidBeep").toBool());
  EXPECT_EQ(cell("InvalidBeep")->checkState(), Qt::Checked);
}

TEST_F(DesignerTest, RefusedEditsAreReportedAndChangeNothing) {
  designer.select({&control("numAmount")});
  ASSERT_TRUE(designer.setProperty("Interval", "300"));
  const int steps = designer.undoStack().count();
  const struct {
    const char* property;
    const char* text;
    const char* reported;
  } refused[] = {
      {"ValidState", "True", "run-time error 382"},  // its put refuses at design time
      {"Interval", "abc", "run-time error 13"},
      {"Interval", "99999999999", "run-time error 6"},
      {"KestrinType", "Calendar", "run-time error"},
      {"hWnd", "1", "hWnd is read-only"},
      {"NoSuchThing", "1", "no such property"},
  };
  for (const auto& r : refused) {
    EXPECT_FALSE(designer.setProperty(r.property, r.text));
    EXPECT_TRUE(designer.message().contains(r.reported)) << r.property << ": " << designer.message().toStdString();
    EXPECT_TRUE(designer.statusBar()->currentMessage().contains(r.reported));
  }
  EXPECT_EQ(control("numAmount").property("Interval").toInt(), 300);
  EXPECT_EQ(cell("Interval")->text(), "300");  // the list shows the control's value again
  EXPECT_EQ(designer.undoStack().count(), steps);
}

TEST_F(DesignerTest, ReadOnlyRowsAreGreyedAndTakeNoEdit) {
  showActive();
  designer.select({&control("numAmount")});
  PropertyList& list = designer.propertyList();
  for (const char* name : {"hWnd", "ScrollBars", "ValidState"}) {
    QTableWidgetItem* value = cell(name);
    EXPECT_EQ(value->flags() & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable), Qt::NoItemFlags) << name;
    const QModelIndex index = list.model()->index(value->row(), 1);
    list.setCurrentItem(value);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(value).center());
    EXPECT_EQ(list.indexWidget(index), nullptr) << name;  // no editor opened
    QTest::keyClick(list.viewport(), Qt::Key_F2);
    EXPECT_EQ(list.indexWidget(index), nullptr) << name;
  }
  // hWnd is the control's own handle: a control drawn in the designer's window has none.
  EXPECT_NE(designer.winId(), 0u);
  EXPECT_EQ(cell("hWnd")->text(), "0");
}

TEST_F(DesignerTest, AnEnumerationIsChosenFromADropDownOfItsMemberNames) {
  showActive();
  designer.select({&control("numAmount")});
  PropertyList& list = designer.propertyList();
  list.setCurrentItem(cell("Alignment"));
  list.editItem(cell("Alignment"));
  auto* choices = list.findChild<QComboBox*>();
  ASSERT_NE(choices, nullptr);
  EXPECT_FALSE(choices->isEditable());  // nothing is typed: "4" and "RightBottom" are not two ways
  ASSERT_EQ(choices->count(), 9);
  EXPECT_EQ(choices->itemText(0), "0 LeftTop");
  EXPECT_EQ(choices->itemText(8), "8 RightBottom");
  EXPECT_EQ(choices->currentText(), cell("Alignment")->text());
  QTest::keyClick(choices, Qt::Key_End);
  EXPECT_TRUE(QTest::qWaitFor([&] { return control("numAmount").property("Alignment").toInt() == 8; }));
  settle();
  EXPECT_EQ(cell("Alignment")->text(), "8 RightBottom");
  EXPECT_EQ(action("actionUndo")->text().remove('&'), "Undo Set Alignment of numAmount");
}

TEST_F(DesignerTest, TheStatusSaysWhatAPutDidAndBelongsToTheSelection) {
  designer.select({&control("txtName")});
  // A time pattern on a text box: kept, but it reads ANY_TYPE until the box is a time box.
  ASSERT_TRUE(designer.setProperty("FormatTime", "HM"));
  EXPECT_EQ(cell("FormatTime")->text(), "0 ANY_TYPE");
  for (const char* said : {"changed nothing", "TIME_TYPE", "NORMAL_TYPE"})
    EXPECT_TRUE(designer.message().contains(said)) << designer.message().toStdString();
  // Another selection: what was said about the last one goes.
  designer.select({&control("tmeCall")});
  EXPECT_EQ(designer.message(), "");
  EXPECT_EQ(designer.statusBar()->currentMessage(), "");
  ASSERT_TRUE(designer.setProperty("FormatTime", "HMS"));
  EXPECT_EQ(designer.statusBar()->currentMessage(), "FormatTime set to 2 HMS");
  designer.addControl();
  EXPECT_EQ(designer.statusBar()->currentMessage(), "Added Kestrin1");
  designer.deleteSelection();
  EXPECT_EQ(designer.statusBar()->currentMessage(), "Deleted Kestrin1");
}

// Each row is made after the ones before, so the later steps also show that undo takes back its
// own step only (the caption set first stays when the deleted txtName comes back).
TEST_F(DesignerTest, EveryEditIsOneStepThatUndoTakesBackAndRedoMakesAgain) {
  showActive();
  const auto corner = [&](const char* name) { return control(name).geometry().bottomRight(); };
  const struct {
    const char* step;
    QStringList selectedAfterUndo;
    std::function<void()> edit;
  } steps[] = {
      {"Set Caption of txtName", {"txtName"}, [&] {
         designer.select({&control("txtName")});
         designer.setProperty("Caption", "Full name");
       }},
      {"Move numAmount", {"numAmount"}, [&] {
         const QPoint from = control("numAmount").geometry().center();
         drag(from, from + QPoint(40, 30));
       }},
      {"Resize dteBirthday", {"dteBirthday"}, [&] { drag(corner("dteBirthday"), corner("dteBirthday") + QPoint(50, 0)); }},
      {"Add Kestrin1", {}, [&] { action("actionAddControl")->trigger(); }},
      {"Delete txtName", {"txtName"}, [&] {
         designer.select({&control("txtName")});
         action("actionDelete")->trigger();
       }},
      {"General page on numAmount", {"numAmount"}, [&] {
         designer.select({&control("numAmount")});
         whenModal([](QWidget& page) {
           if (auto* colorEditUse = page.findChild<QCheckBox*>(QStringLiteral("chkGeneral(2)"))) colorEditUse->click();
           if (auto* buttons = page.findChild<QDialogButtonBox*>()) buttons->button(QDialogButtonBox::Apply)->click();
           static_cast<QDialog&>(page).reject();
         });
         designer.openGeneral();
       }},
  };
  for (const auto& s : steps) {
    const forms::FormFile before = designer.form().save();
    s.edit();
    settle();
    showActive();  // the keys go to the designer again after a dialog
    const forms::FormFile after = designer.form().save();
    ASSERT_FALSE(sameDesign(before, after)) << s.step;
    EXPECT_TRUE(designer.isWindowModified());
    EXPECT_EQ(action("actionUndo")->text().remove('&'), QStringLiteral("Undo %1").arg(QLatin1String(s.step)));
    QTest::keySequence(&designer, QKeySequence::Undo);
    EXPECT_TRUE(sameDesign(designer.form().save(), before)) << s.step;
    EXPECT_EQ(selected(), s.selectedAfterUndo) << s.step;
    QTest::keySequence(&designer, QKeySequence::Redo);
    EXPECT_TRUE(sameDesign(designer.form().save(), after)) << s.step;
  }
  // Undone to where it was opened: nothing is unsaved.
  while (designer.undoStack().canUndo()) designer.undoStack().undo();
  EXPECT_FALSE(designer.isWindowModified());
}

TEST_F(DesignerTest, NewControlsHaveUniqueNamesThatBecomeTheirCaptionAndText) {
  QStringList made;
  for (int i = 0; i < 3; ++i) made << designer.addControl()->objectName();
  EXPECT_EQ(made, (QStringList{"Kestrin1", "Kestrin2", "Kestrin3"}));
  for (const QString& name : made) {
    KestrinWidget* w = designer.form().find(name);
    EXPECT_EQ(w->property("Caption").toString(), name);
    EXPECT_EQ(w->property("Text").toString(), name);
  }
  // A name freed by Delete is given again; a name in use never is.
  designer.select({designer.form().find("Kestrin2")});
  designer.deleteSelection();
  EXPECT_EQ(designer.addControl()->objectName(), "Kestrin2");
  EXPECT_EQ(designer.addControl()->objectName(), "Kestrin4");
}

// Closing with unsaved changes asks; so do New and Open, before they drop the form.
TEST(DesignerClosing, UnsavedChangesAreAskedAboutAndCancelKeepsTheWindow) {
  QTemporaryDir dir;
  const QString path = dir.filePath("contacts.kxform");
  ASSERT_TRUE(QFile::copy(kSample, path));
  const struct {
    QMessageBox::StandardButton answer;
    bool closes, saved;
  } rows[] = {{QMessageBox::Cancel, false, false}, {QMessageBox::Discard, true, false}, {QMessageBox::Save, true, true}};
  for (const auto& r : rows) {
    Designer designer;
    ASSERT_TRUE(designer.openFile(path));
    designer.show();
    designer.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&designer));
    EXPECT_FALSE(designer.isWindowModified());
    designer.select({designer.form().find("txtName")});
    const QString caption = QStringLiteral("Caption %1").arg(r.answer);
    ASSERT_TRUE(designer.setProperty("Caption", caption));
    EXPECT_TRUE(designer.isWindowModified());
    EXPECT_TRUE(designer.windowTitle().contains("[*]"));
    QString asked;
    answer(r.answer, &asked);
    QTest::keySequence(&designer, designer.findChild<QAction*>("actionQuit")->shortcut());
    EXPECT_TRUE(asked.contains("not saved")) << asked.toStdString();
    EXPECT_EQ(designer.isVisible(), !r.closes) << r.answer;
    const forms::FormFile onDisk = forms::readFormFile(qthost::toStdString(path));
    EXPECT_EQ(onDisk.find("txtName") != nullptr && [&] {
      for (const forms::FormEntry& e : onDisk.find("txtName")->properties)
        if (e.key == "Caption") return qthost::toQString(e.value.toString()) == caption;
      return false;
    }(), r.saved) << r.answer;
    if (!r.closes) {
      // New asks too: Cancel keeps the form, Discard drops it.
      answer(QMessageBox::Cancel);
      designer.findChild<QAction*>("actionNew")->trigger();
      EXPECT_EQ(designer.form().controls().size(), 4);
      answer(QMessageBox::Discard);
      designer.findChild<QAction*>("actionNew")->trigger();
      EXPECT_TRUE(designer.form().controls().isEmpty());
      EXPECT_FALSE(designer.isWindowModified());
      EXPECT_TRUE(designer.close());  // nothing unsaved: no question
    }
  }
}

TEST_F(DesignerTest, TheMouseSelectsMovesAndResizesControls) {
  designer.show();
  QWidget& form = designer.form();
  KestrinWidget& name = control("txtName");
  KestrinWidget& amount = control("numAmount");
  QTest::mouseClick(&form, Qt::LeftButton, {}, name.geometry().center());
  EXPECT_EQ(designer.selection(), QList<KestrinWidget*>{&name});
  QTest::mouseClick(&form, Qt::LeftButton, Qt::ControlModifier, amount.geometry().center());
  EXPECT_EQ(designer.selection(), (QList<KestrinWidget*>{&name, &amount}));

  // Dragging one of the selected moves both.
  const QPoint before[] = {name.pos(), amount.pos()};
  drag(amount.geometry().center(), amount.geometry().center() + QPoint(30, 200));
  EXPECT_EQ(name.pos(), before[0] + QPoint(30, 200));
  EXPECT_EQ(amount.pos(), before[1] + QPoint(30, 200));

  // A frame drawn on the empty form selects what it touches; the corner grip resizes.
  KestrinWidget& birthday = control("dteBirthday");
  drag(QPoint(form.width() - 5, 2), QPoint(2, birthday.geometry().center().y()));
  EXPECT_EQ(designer.selection(), QList<KestrinWidget*>{&birthday});
  const QSize size = birthday.size();
  drag(birthday.geometry().bottomRight(), birthday.geometry().bottomRight() + QPoint(60, 0));
  EXPECT_EQ(birthday.width(), size.width() + 60);
}

TEST_F(DesignerTest, TheDesignSurfaceScrollsToAControlPastItsEdge) {
  showActive();
  auto* scroll = designer.findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  KestrinWidget& name = control("txtName");
  name.move(scroll->viewport()->width() + 200, name.y());
  settle();
  EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_TRUE(designer.form().rect().contains(name.geometry()));
}

TEST_F(DesignerTest, ADesignSavedAndRunKeepsEveryPropertyAndKeysItDoesNotKnow) {
  QTemporaryDir dir;
  // A key of a newer build, which the control does not read, in the opened form.
  forms::FormFile file = forms::readFormFile(qthost::toStdString(kSample));
  file.controls[0].properties.push_back({"NewerKey", values::Variant::string("kept")});
  const QString path = dir.filePath("contacts.kxform");
  forms::writeFormFile(qthost::toStdString(path), file);
  ASSERT_TRUE(designer.openFile(path));

  designer.select({&control("txtName")});
  ASSERT_TRUE(designer.setProperty("Caption", "Full name"));
  designer.select({&control("numAmount"), &control("dteBirthday")});
  ASSERT_TRUE(designer.setProperty("InvalidBeep", "True"));
  designer.addControl();
  ASSERT_TRUE(designer.setProperty("KestrinType", "TIME_TYPE"));
  ASSERT_TRUE(designer.saveFile(path));
  EXPECT_FALSE(designer.isWindowModified());

  const forms::FormFile saved = forms::readFormFile(qthost::toStdString(path));
  ASSERT_EQ(saved.controls.size(), 5u);
  bool kept = false;
  for (const forms::FormEntry& e : saved.controls[0].properties) kept |= e.key == "NewerKey";
  EXPECT_TRUE(kept);

  RunWindow run(saved);
  ASSERT_EQ(run.form().controls().size(), 5);
  for (KestrinWidget* designed : designer.form().controls()) {
    KestrinWidget* running = run.form().find(designed->objectName());
    ASSERT_NE(running, nullptr) << designed->objectName().toStdString();
    EXPECT_TRUE(running->userMode());
    EXPECT_FALSE(designed->userMode());
    // An empty numeric box pads its text with spaces to its width, and the caret follows; the
    // padding is the box's layout, not a saved choice, so it is compared without the spaces.
    const bool padded = designed->property("KestrinType").toInt() == KestrinWidget::NUMERIC_TYPE;
    for (const members::Member& m : members::kMembers) {
      if (!m.saved || !m.has(members::Get) || (padded && m.name == "SelStart")) continue;
      const auto shown = [&](KestrinWidget* w) {
        const std::string text = members::textFromValue(m, w->dispatch().getProperty(std::string(m.name)));
        return padded ? std::string(values::trim(text)) : text;
      };
      EXPECT_EQ(shown(running), shown(designed)) << designed->objectName().toStdString() << "." << m.name;
    }
  }
  EXPECT_EQ(run.form().find("txtName")->property("Caption").toString(), "Full name");
  EXPECT_TRUE(run.form().find("dteBirthday")->property("InvalidBeep").toBool());
}

TEST_F(DesignerTest, TheRunWindowLogsTheEventsOfTheUsersTypingAndShowsTextAsRead) {
  RunWindow* run = designer.run();
  ASSERT_NE(run, nullptr);
  KestrinWidget& date = *run->form().find("dteBirthday");
  date.services().setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
  run->show();
  run->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(run));
  date.activeBox().setFocus(Qt::TabFocusReason);
  QTest::keyClicks(&date.activeBox(), "T+1");
  KestrinWidget& amount = *run->form().find("numAmount");
  amount.activeBox().setFocus(Qt::TabFocusReason);
  QTest::keyClicks(&amount.activeBox(), "1234");
  run->form().find("txtName")->activeBox().setFocus(Qt::TabFocusReason);
  EXPECT_EQ(date.property("Text").toString().trimmed(), "2026-12-10");
  EXPECT_TRUE(date.property("ValidState").toBool());
  const QStringList log = run->log();
  for (const char* line : {"dteBirthday GotFocus", "dteBirthday KeyPress 84 'T'", "dteBirthday Change \"T+1\"",
                           "dteBirthday ValidState = True", "dteBirthday LostFocus", "txtName GotFocus"})
    EXPECT_TRUE(log.contains(QString::fromLatin1(line))) << line << "\n" << log.join('\n').toStdString();
  // The table shows a number as the user reads it; the control's Text keeps the spaces that
  // align it.
  auto* table = run->findChild<QTableWidget*>();
  ASSERT_NE(table, nullptr);
  const int row = run->form().controls().indexOf(&amount);
  ASSERT_GE(row, 0);
  EXPECT_EQ(table->item(row, 1)->text(), "1,234");
  EXPECT_NE(amount.property("Text").toString(), "1,234");
  // A valid entry checked again: the table shows ValidState as it ends, True.
  const int dateRow = run->form().controls().indexOf(&date);
  ASSERT_GE(dateRow, 0);
  date.activeBox().setFocus(Qt::TabFocusReason);
  date.activeBox().selectAll();
  QTest::keyClicks(&date.activeBox(), "T+2");
  run->form().find("txtName")->activeBox().setFocus(Qt::TabFocusReason);
  EXPECT_EQ(date.property("Text").toString().trimmed(), "2026-12-11");
  EXPECT_EQ(table->item(dateRow, 2)->text(), "True");
}

TEST_F(DesignerTest, TheRunWindowShowsTheWholeFormAndCtrlWOrEscapeClosesIt) {
  const struct {
    const char* key;
    std::function<void(RunWindow&)> press;
  } closers[] = {
      {"Ctrl+W", [](RunWindow& run) { QTest::keySequence(&run, QKeySequence::Close); }},
      {"Escape in a box", [](RunWindow& run) { QTest::keyClick(&run.form().controls().first()->activeBox(), Qt::Key_Escape); }},
  };
  for (const auto& c : closers) {
    RunWindow* run = designer.run();
    ASSERT_NE(run, nullptr);
    run->show();
    run->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(run));
    // Every control shows whole, beside the panels rather than under them.
    auto* table = run->findChild<QTableWidget*>();
    for (KestrinWidget* w : run->form().controls()) {
      EXPECT_TRUE(run->form().rect().contains(w->geometry())) << w->objectName().toStdString();
      EXPECT_LT(w->mapTo(run, QPoint(w->width(), 0)).x(), table->mapTo(run, QPoint(0, 0)).x()) << w->objectName().toStdString();
    }
    run->form().controls().first()->activeBox().setFocus();
    c.press(*run);
    EXPECT_FALSE(run->isVisible()) << c.key;
  }
}

TEST_F(DesignerTest, TheRunWindowHasASwitchPerOptInThatSetsItOnEveryControl) {
  RunWindow* run = designer.run();
  ASSERT_NE(run, nullptr);
  const QWidget& panel = run->optInPanel();
  const QList<KestrinWidget*> controls = run->form().controls();
  ASSERT_FALSE(controls.isEmpty());
  const QStringList names = KestrinWidget::optIns();
  EXPECT_EQ(panel.findChildren<QCheckBox*>().size() + panel.findChildren<QSpinBox*>().size(), names.size());
  const QMetaObject& meta = KestrinWidget::staticMetaObject;
  for (const QString& name : names) {
    const QByteArray key = name.toLatin1();
    QVariant set;
    if (meta.property(meta.indexOfProperty(key.constData())).metaType().id() == QMetaType::Bool) {
      auto* check = panel.findChild<QCheckBox*>(name);
      ASSERT_NE(check, nullptr) << key.constData();
      EXPECT_FALSE(check->isChecked()) << key.constData();  // off, as the controls start
      check->click();
      set = true;
    } else {
      auto* spin = panel.findChild<QSpinBox*>(name);
      ASSERT_NE(spin, nullptr) << key.constData();
      EXPECT_EQ(spin->value(), controls.first()->property(key.constData()).toInt());
      spin->setValue(1950);
      set = 1950;
    }
    for (KestrinWidget* w : controls)
      EXPECT_EQ(w->property(key.constData()), set) << w->objectName().toStdString() << "." << key.constData();
  }
  EXPECT_TRUE(run->log().contains("opt-in invalidMarker = True")) << run->log().join('\n').toStdString();
  EXPECT_TRUE(run->log().contains("opt-in centuryWindow = 1950"));
}

}  // namespace
}  // namespace kestrinx::testing
