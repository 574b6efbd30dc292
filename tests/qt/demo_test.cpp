// kestrinx-demo: its screenshot mode as a user runs it, and in process the designer's property
// list (every published property, edits through the controls' own puts, refusals reported,
// undo), selecting and moving with the mouse, a design saved and run again, and the run window's
// event log and opt-in switches.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QImage>
#include <QMetaProperty>
#include <QProcess>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "apps/kestrinx-demo/designer.h"
#include "apps/kestrinx-demo/runner.h"
#include "control/member_text.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/qt/strings.h"
#include "values/functions.h"

namespace kestrinx::testing {
namespace {

using demo::Designer;
using demo::RunWindow;
using qt::KestrinWidget;

const QString kSample = QStringLiteral(KESTRINX_SAMPLE_FORM);

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
  const QStringList expected = {"design.png", "general-1-general.png", "general-2-colorusebeep.png",
                                "general-3-format.png", "run.png", "positions.png"};
  ASSERT_EQ(printed.size(), expected.size());
  for (int i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(printed[i], dir.filePath(expected[i]));
    const QImage image(printed[i]);
    EXPECT_FALSE(image.isNull()) << printed[i].toStdString();
    EXPECT_GT(image.width(), 300);
    EXPECT_GT(image.height(), 150);
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
  KestrinWidget& control(const char* name) const {
    KestrinWidget* w = designer.form().find(QString::fromLatin1(name));
    if (w == nullptr) ADD_FAILURE() << "no control " << name;
    return *w;
  }
  // The property list's value cell of `property`.
  QTableWidgetItem* cell(const char* property) const {
    QTableWidget& list = designer.propertyList();
    for (int r = 0; r < list.rowCount(); ++r)
      if (list.item(r, 0)->text() == QLatin1String(property)) return list.item(r, 1);
    ADD_FAILURE() << "no row " << property;
    return nullptr;
  }

  Designer designer;
};

TEST_F(DesignerTest, ThePropertyListShowsEveryPublishedPropertyAndEditsThroughTheControlsPuts) {
  designer.select({&control("numAmount")});
  QTableWidget& list = designer.propertyList();
  int row = 0;
  for (const members::Member& m : members::kMembers) {
    if (!m.has(members::Get)) continue;
    ASSERT_LT(row, list.rowCount());
    EXPECT_EQ(list.item(row, 0)->text().toStdString(), m.name);
    const std::string shown =
        members::textFromValue(m, control("numAmount").dispatch().getProperty(std::string(m.name)));
    EXPECT_EQ(list.item(row, 1)->text().toStdString(), shown) << m.name;
    EXPECT_EQ((list.item(row, 1)->flags() & Qt::ItemIsEditable) != 0, m.has(members::Put) || m.has(members::PutRef))
        << m.name;
    ++row;
  }
  EXPECT_EQ(row, list.rowCount());

  // An edit in place, as the user types it into the cell, reaches each selected control.
  designer.select({&control("numAmount"), &control("txtName")});
  cell("Interval")->setText("200");
  EXPECT_EQ(control("numAmount").property("Interval").toInt(), 200);
  EXPECT_EQ(control("txtName").property("Interval").toInt(), 200);
  EXPECT_EQ(designer.message(), "");
  cell("Font")->setText("DejaVu Sans,12,bold");
  EXPECT_TRUE(control("txtName").property("Font").value<QFont>().bold());
}

TEST_F(DesignerTest, RefusedEditsAreReportedAndTheLastChangeCanBeUndone) {
  designer.select({&control("numAmount")});
  const int interval = control("numAmount").property("Interval").toInt();
  ASSERT_TRUE(designer.setProperty("Interval", "300"));
  const struct {
    const char* property;
    const char* text;
    const char* reported;
  } refused[] = {
      {"ValidState", "True", "run-time error 382"},  // read-only at design time
      {"Interval", "abc", "run-time error 13"},
      {"Interval", "99999999999", "run-time error 6"},
      {"KestrinType", "Calendar", "run-time error"},
      {"NoSuchThing", "1", "no such property"},
  };
  for (const auto& r : refused) {
    if (members::find(r.property) != nullptr) {
      cell(r.property)->setText(r.text);
    } else {
      EXPECT_FALSE(designer.setProperty(r.property, r.text));
    }
    EXPECT_TRUE(designer.message().contains(r.reported)) << r.property << ": " << designer.message().toStdString();
    EXPECT_TRUE(designer.statusBar()->currentMessage().contains(r.reported));
  }
  EXPECT_EQ(control("numAmount").property("Interval").toInt(), 300);
  EXPECT_EQ(cell("Interval")->text(), "300");  // the list shows the control's value again
  EXPECT_TRUE(designer.undo());
  EXPECT_EQ(control("numAmount").property("Interval").toInt(), interval);
  EXPECT_FALSE(designer.undo());
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
  const QPoint from = amount.geometry().center();
  QTest::mousePress(&form, Qt::LeftButton, {}, from);
  QTest::mouseMove(&form, from + QPoint(30, 200));
  QTest::mouseRelease(&form, Qt::LeftButton, {}, from + QPoint(30, 200));
  EXPECT_EQ(name.pos(), before[0] + QPoint(30, 200));
  EXPECT_EQ(amount.pos(), before[1] + QPoint(30, 200));

  // A frame drawn on the empty form selects what it touches; the corner grip resizes.
  KestrinWidget& birthday = control("dteBirthday");
  const QPoint start(form.width() - 5, 2), end(2, birthday.geometry().center().y());
  QTest::mousePress(&form, Qt::LeftButton, {}, start);
  QTest::mouseMove(&form, end);
  QTest::mouseRelease(&form, Qt::LeftButton, {}, end);
  EXPECT_EQ(designer.selection(), QList<KestrinWidget*>{&birthday});
  const QSize size = birthday.size();
  const QPoint corner = birthday.geometry().bottomRight();
  QTest::mousePress(&form, Qt::LeftButton, {}, corner);
  QTest::mouseMove(&form, corner + QPoint(60, 0));
  QTest::mouseRelease(&form, Qt::LeftButton, {}, corner + QPoint(60, 0));
  EXPECT_EQ(birthday.width(), size.width() + 60);
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
  KestrinWidget* added = designer.form().place(10, 300);
  designer.select({added});
  ASSERT_TRUE(designer.setProperty("KestrinType", "TIME_TYPE"));
  ASSERT_TRUE(designer.saveFile(path));

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

TEST_F(DesignerTest, TheRunWindowLogsTheEventsOfTheUsersTypingAndShowsValidState) {
  RunWindow* run = designer.run();
  ASSERT_NE(run, nullptr);
  KestrinWidget& date = *run->form().find("dteBirthday");
  date.services().setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
  run->show();
  run->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(run));
  date.activeBox().setFocus(Qt::TabFocusReason);
  QTest::keyClicks(&date.activeBox(), "T+1");
  run->form().find("txtName")->activeBox().setFocus(Qt::TabFocusReason);
  EXPECT_EQ(date.property("Text").toString().trimmed(), "2026-12-10");
  EXPECT_TRUE(date.property("ValidState").toBool());
  const QStringList log = run->log();
  for (const char* line : {"dteBirthday GotFocus", "dteBirthday KeyPress 84 'T'", "dteBirthday Change \"T+1\"",
                           "dteBirthday ValidState = True", "dteBirthday LostFocus", "txtName GotFocus"})
    EXPECT_TRUE(log.contains(QString::fromLatin1(line))) << line << "\n" << log.join('\n').toStdString();
  // A valid entry checked again: the table shows ValidState as it ends, True.
  const auto shownValidState = [&] {
    auto* table = run->findChild<QTableWidget*>();
    for (int r = 0; table != nullptr && r < table->rowCount(); ++r)
      if (table->item(r, 0)->text() == "dteBirthday") return table->item(r, 2)->text();
    return QString();
  };
  date.activeBox().setFocus(Qt::TabFocusReason);
  date.activeBox().selectAll();
  QTest::keyClicks(&date.activeBox(), "T+2");
  run->form().find("txtName")->activeBox().setFocus(Qt::TabFocusReason);
  EXPECT_EQ(date.property("Text").toString().trimmed(), "2026-12-11");
  EXPECT_EQ(shownValidState(), "True");
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
