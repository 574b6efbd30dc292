// The General page on the Qt host, as a dialog over KestrinWidgets: its widgets placed in twips,
// loaded from the first selected control, applied to every selected control with OK or Apply,
// and a refused apply that keeps the dialog open and changes no control.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "host/qt/units.h"
#include "propertypage/general_design.h"
#include "qt/general_dialog.h"
#include "qt/kestrin_widget.h"
#include "support/qt_window.h"

namespace kestrinx::testing {
namespace {

using qt::GeneralDialog;
using qt::KestrinWidget;

class GeneralDialogTest : public ::testing::Test {
 protected:
  GeneralDialogTest() {
    first->setProperty("Caption", "Due");
    first->setProperty("KestrinType", KestrinWidget::DATE_TYPE);
    first->setProperty("BoxWidth", 1500);
    first->setProperty("InvalidBeep", true);
    second->setProperty("Caption", "Amount");
    second->setProperty("KestrinType", KestrinWidget::NUMERIC_TYPE);
    second->setProperty("Interval", 240);
    dialog = std::make_unique<GeneralDialog>(QList<KestrinWidget*>{first, second}, &window);
  }
  ~GeneralDialogTest() override {
    for (QMessageBox* box : dialog->findChildren<QMessageBox*>()) box->close();
  }

  template <typename W>
  W& widget(const char* name) const {
    W* w = dialog->findChild<W*>(QString::fromLatin1(name));
    if (w == nullptr) ADD_FAILURE() << "no widget " << name;
    return *w;
  }
  QPushButton& button(QDialogButtonBox::StandardButton which) const {
    return *dialog->findChild<QDialogButtonBox*>()->button(which);
  }
  // Replaces a box's text as a user does: select all, type.
  static void retype(QLineEdit& box, const QString& text) {
    box.selectAll();
    QTest::keyClick(&box, Qt::Key_Delete);
    QTest::keyClicks(&box, text);
  }

  QWidget window;
  KestrinWidget* first = new KestrinWidget(QStringLiteral("txtDue"), &window);
  KestrinWidget* second = new KestrinWidget(QStringLiteral("numAmount"), &window);
  std::unique_ptr<GeneralDialog> dialog;
};

TEST_F(GeneralDialogTest, ThePageStandsInTwipsOnItsThreeTabs) {
  auto& tabs = widget<QTabWidget>("ppBox");
  ASSERT_EQ(tabs.count(), 3);
  EXPECT_EQ(tabs.tabText(0), "General");
  EXPECT_EQ(tabs.tabText(1), "ColorUse/Beep");
  EXPECT_EQ(tabs.tabText(2), "Format");
  EXPECT_EQ(tabs.currentIndex(), 0);
  EXPECT_EQ(dialog->windowTitle(), "General");
  // A frame stands at its design place from the tab control's origin, whatever room the tab bar
  // takes; a box inside it at its place from the frame's.
  auto& frame = widget<QGroupBox>("Frame2");
  EXPECT_EQ(frame.title(), "Box");
  EXPECT_EQ(frame.mapTo(&tabs, QPoint(0, 0)), QPoint(qthost::toPixelsX(tabs, 240), qthost::toPixelsY(tabs, 2160)));
  auto& boxWidth = widget<QLineEdit>("txtGeneral(1)");
  EXPECT_EQ(boxWidth.pos(), QPoint(qthost::toPixelsX(frame, 1680), qthost::toPixelsY(frame, 480)));
  EXPECT_EQ(boxWidth.width(), qthost::toPixelsX(frame, 1092));
  EXPECT_EQ(widget<QCheckBox>("chkGeneral(3)").text(), "ColorInvalidUse");
  EXPECT_EQ(widget<QComboBox>("cmbGeneral(2)").itemText(2), "HH:MM:SS");
}

TEST_F(GeneralDialogTest, LoadsTheFirstSelectedControlAndStartsUnchanged) {
  EXPECT_EQ(widget<QLineEdit>("txtGeneral(0)").text(), "Due");
  EXPECT_EQ(widget<QComboBox>("cmbGeneral(0)").currentText(), "Date");
  EXPECT_EQ(widget<QLineEdit>("txtGeneral(1)").text(), first->property("BoxWidth").toString());
  EXPECT_TRUE(widget<QCheckBox>("chkGeneral(5)").isChecked());  // InvalidBeep
  EXPECT_FALSE(button(QDialogButtonBox::Apply).isEnabled());
}

TEST_F(GeneralDialogTest, AnEditEnablesApplyWhichWritesEveryPropertyToEverySelectedControl) {
  retype(widget<QLineEdit>("txtGeneral(3)"), "When it is due");  // ToolTipText
  EXPECT_TRUE(button(QDialogButtonBox::Apply).isEnabled());
  QTest::mouseClick(&widget<QCheckBox>("chkGeneral(2)"), Qt::LeftButton);  // ColorEditUse
  widget<QComboBox>("cmbGeneral(1)").setCurrentIndex(2);                  // FormatDate, as a user's pick

  button(QDialogButtonBox::Apply).click();
  EXPECT_FALSE(button(QDialogButtonBox::Apply).isEnabled());
  for (KestrinWidget* w : {first, second}) {
    EXPECT_EQ(w->property("ToolTipText").toString(), "When it is due") << w->objectName().toStdString();
    EXPECT_EQ(w->property("Caption").toString(), "Due");
    EXPECT_EQ(w->property("KestrinType").toInt(), KestrinWidget::DATE_TYPE);
    EXPECT_EQ(w->property("Interval").toInt(), first->property("Interval").toInt());
    EXPECT_EQ(w->property("FormatDate").toInt(), KestrinWidget::MMDDYY);
    EXPECT_EQ(w->property("ColorEditUse").toBool(), !KestrinWidget().property("ColorEditUse").toBool());
  }
}

// A date format no list item stands for loads as no item chosen, with every row after it; an
// apply after another edit keeps it, and writes no stale value for the rows after it.
TEST_F(GeneralDialogTest, AValueNoListHoldsLoadsAsNoItemAndAnApplyKeepsIt) {
  first->setProperty("FormatDate", 5);  // a value the enumeration does not name
  first->setProperty("NumAlignment", KestrinWidget::LEFT_ALIGN);
  dialog = std::make_unique<GeneralDialog>(QList<KestrinWidget*>{first, second}, &window);
  EXPECT_TRUE(dialog->findChildren<QMessageBox*>().isEmpty());
  EXPECT_EQ(widget<QComboBox>("cmbGeneral(1)").currentIndex(), -1);
  EXPECT_EQ(widget<QComboBox>("cmbGeneral(3)").currentText(), "LEFT_ALIGN");

  retype(widget<QLineEdit>("txtGeneral(3)"), "tip");
  ASSERT_TRUE(dialog->apply());
  EXPECT_EQ(first->property("FormatDate").toInt(), 5);
  EXPECT_EQ(second->property("NumAlignment").toInt(), KestrinWidget::LEFT_ALIGN);
  EXPECT_EQ(second->property("ToolTipText").toString(), "tip");
}

TEST_F(GeneralDialogTest, ARefusedApplyShowsWhyKeepsTheDialogOpenAndChangesNoControl) {
  const QVariantMap before[] = {first->savedProperties(), second->savedProperties()};
  dialog->show();
  retype(widget<QLineEdit>("txtGeneral(0)"), "Changed");
  retype(widget<QLineEdit>("txtGeneral(2)"), "");  // Interval left empty
  for (QPushButton* b : {&button(QDialogButtonBox::Apply), &button(QDialogButtonBox::Ok)}) {
    b->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(button(QDialogButtonBox::Apply).isEnabled());
    auto* message = dialog->findChild<QMessageBox*>();
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(message->text().contains("Interval is empty")) << message->text().toStdString();
    message->close();
    QTest::qWait(0);
  }
  EXPECT_EQ(first->savedProperties(), before[0]);
  EXPECT_EQ(second->savedProperties(), before[1]);
  EXPECT_FALSE(dialog->apply());

  // Once the box holds a number again, OK applies and closes.
  QTest::keyClicks(&widget<QLineEdit>("txtGeneral(2)"), "300");
  button(QDialogButtonBox::Ok).click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(second->property("Interval").toInt(), 300);
  EXPECT_EQ(second->property("Caption").toString(), "Changed");
}

TEST_F(GeneralDialogTest, CancelAndAControlThatIsGoneChangeNothingElse) {
  retype(widget<QLineEdit>("txtGeneral(0)"), "Never");
  button(QDialogButtonBox::Cancel).click();
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_EQ(first->property("Caption").toString(), "Due");

  // A selected control destroyed while the dialog is open: the apply reports it and keeps going
  // no further than the controls before it.
  auto reopened = std::make_unique<GeneralDialog>(QList<KestrinWidget*>{first, second}, &window);
  dialog = std::move(reopened);
  retype(widget<QLineEdit>("txtGeneral(0)"), "Kept");
  delete second;
  second = nullptr;
  EXPECT_FALSE(dialog->apply());
  EXPECT_EQ(first->property("Caption").toString(), "Kept");
}

// Tab moves through each tab's widgets in the design's keyboard order, not in the order they were
// made (on the first tab the Interval box comes before the BoxWidthLock check box and BoxWidth).
TEST_F(GeneralDialogTest, TabFollowsTheDesignsKeyboardOrderOnEveryTab) {
  dialog->show();
  dialog->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
  auto& tabs = widget<QTabWidget>("ppBox");
  for (std::int16_t tab = 0; tab < tabs.count(); ++tab) {
    std::vector<const propertypage::DesignRow*> rows;
    for (const propertypage::DesignRow& r : propertypage::kDesign)
      if (r.tab == tab && (r.kind == propertypage::WidgetKind::TextBox || r.kind == propertypage::WidgetKind::List ||
                           r.kind == propertypage::WidgetKind::CheckBox))
        rows.push_back(&r);
    std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
    QStringList expected, visited;
    for (const propertypage::DesignRow* r : rows)
      expected << QStringLiteral("%1(%2)").arg(QString::fromLatin1(r->name.data(), r->name.size())).arg(r->index);

    tabs.setCurrentIndex(tab);
    QWidget& first = widget<QWidget>(expected.front().toLatin1().constData());
    first.setFocus(Qt::TabFocusReason);
    for (qsizetype i = 0; i < expected.size(); ++i) {
      visited << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited.join(QLatin1Char(' ')).toStdString(), expected.join(QLatin1Char(' ')).toStdString())
        << "tab " << tab;
  }
}

}  // namespace
}  // namespace kestrinx::testing
