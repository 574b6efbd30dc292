// The demo's screenshots.
#include "screenshots.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QLabel>
#include <QKeyEvent>
#include <QMainWindow>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTabWidget>
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "designer.h"
#include "forms/form_file.h"
#include "qt/general_dialog.h"
#include "runner.h"

namespace kestrinx::demo {

namespace {

void settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

// Shows and activates a window, so keyboard focus works as for a user (also offscreen).
void showActive(QWidget& window) {
  window.show();
  window.activateWindow();
  QElapsedTimer waited;
  waited.start();
  while (!window.isActiveWindow() && waited.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  settle();
}

QString grab(QWidget& w, const QDir& dir, const QString& name) {
  settle();
  const QString path = dir.filePath(name);
  if (!w.grab().save(path, "PNG")) throw std::runtime_error("cannot write " + path.toStdString());
  return path;
}

// The window's menus, side by side as they drop down from the menu bar.
QString grabMenus(QMainWindow& window, const QDir& dir, const QString& name) {
  constexpr int kGap = 12;
  std::vector<QPixmap> menus;
  QSize size(kGap, 0);
  for (QAction* a : window.menuBar()->actions()) {
    QMenu* menu = a->menu();
    if (menu == nullptr) continue;
    menu->ensurePolished();
    menu->adjustSize();
    menus.push_back(menu->grab());
    size = QSize(size.width() + menus.back().width() + kGap, std::max(size.height(), menus.back().height() + 2 * kGap));
  }
  QPixmap sheet(size);
  sheet.fill(window.palette().color(QPalette::Window));
  QPainter painter(&sheet);
  int x = kGap;
  for (const QPixmap& m : menus) {
    painter.drawPixmap(x, kGap, m);
    x += m.width() + kGap;
  }
  painter.end();
  const QString path = dir.filePath(name);
  if (!sheet.save(path, "PNG")) throw std::runtime_error("cannot write " + path.toStdString());
  return path;
}

// Types `text` into the focused box key by key, as a keyboard does.
void type(QWidget& box, const QString& text) {
  for (QChar c : text) {
    const int key = c.toUpper().unicode();
    const Qt::KeyboardModifiers mods = c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent press(QEvent::KeyPress, key, mods, QString(c));
    QApplication::sendEvent(&box, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, QString(c));
    QApplication::sendEvent(&box, &release);
  }
}

// The first control of a kind, or nullptr.
KestrinWidget* ofType(const FormView& form, int type) {
  for (KestrinWidget* w : form.controls())
    if (w->property("KestrinType").toInt() == type) return w;
  return nullptr;
}

// The nine caption positions in both appearances: a control 3000 x 720 twips for each, its own
// rectangle shaded (a style sheet's background on the control), the box in a font larger than
// the caption's, as a user sees them on this screen.
QString grabPositions(const QDir& dir) {
  QWidget sheet;
  sheet.setWindowTitle(QStringLiteral("Caption positions"));
  sheet.setStyleSheet(QStringLiteral("kestrinx--qt--KestrinWidget { background: #dde6f3; }"));
  auto* grid = new QGridLayout(&sheet);
  grid->setSpacing(12);
  const char* names[] = {"LeftTop",   "LeftMiddle",   "LeftBottom", "CenterTop",  "CenterMiddle",
                         "CenterBottom", "RightTop", "RightMiddle", "RightBottom"};
  const QFont boxFont(QStringLiteral("MS Sans Serif"), 12);
  for (int appearance : {KestrinWidget::ThreeD, KestrinWidget::Flat}) {
    auto* title = new QLabel(appearance == KestrinWidget::ThreeD ? QStringLiteral("ThreeD") : QStringLiteral("Flat"));
    const int column0 = appearance == KestrinWidget::ThreeD ? 0 : 3;
    grid->addWidget(title, 0, column0, 1, 3);
    for (int alignment = 0; alignment < 9; ++alignment) {
      auto* w = new KestrinWidget(QString::fromLatin1(names[alignment]));
      w->setProperty("Appearance", appearance);
      w->setProperty("Font", boxFont);
      w->setProperty("Text", QString::fromLatin1(names[alignment]));
      w->resizeTwips(3000, 720);
      w->setProperty("Alignment", alignment);
      w->setFixedSize(w->size());
      grid->addWidget(w, 1 + alignment % 3, column0 + alignment / 3);
    }
  }
  sheet.show();
  settle();
  return grab(sheet, dir, QStringLiteral("positions.png"));
}

}  // namespace

QStringList writeScreenshots(const QString& formPath, const QString& dirPath) {
  QDir dir(dirPath);
  if (!dir.mkpath(QStringLiteral("."))) throw std::runtime_error("cannot create " + dirPath.toStdString());
  QStringList written;

  Designer designer;
  if (!designer.openFile(formPath)) throw std::runtime_error(designer.message().toStdString());
  designer.resize(1000, 560);
  // A designer's edit that the run view shows: the date box turns light green when valid.
  if (KestrinWidget* date = ofType(designer.form(), KestrinWidget::DATE_TYPE)) {
    designer.select({date});
    if (!designer.setProperty(QStringLiteral("ColorValid"), QString::number(0xC0FFC0)))
      throw std::runtime_error(designer.message().toStdString());
  }
  const QList<KestrinWidget*> controls = designer.form().controls();
  designer.select(controls.mid(0, 2));
  showActive(designer);
  written << grab(designer, dir, QStringLiteral("design.png"));
  written << grabMenus(designer, dir, QStringLiteral("menus.png"));

  {
    qt::GeneralDialog page(designer.selection(), &designer);
    page.show();
    settle();
    auto* tabs = page.findChild<QTabWidget*>(QStringLiteral("ppBox"));
    if (tabs == nullptr) throw std::runtime_error("the General page has no tabs");
    const char* names[] = {"general-1-general.png", "general-2-colorusebeep.png", "general-3-format.png"};
    for (int i = 0; i < tabs->count() && i < 3; ++i) {
      tabs->setCurrentIndex(i);
      written << grab(page, dir, QString::fromLatin1(names[i]));
    }
  }

  RunWindow* run = designer.run();
  if (run == nullptr) throw std::runtime_error(designer.message().toStdString());
  for (KestrinWidget* w : run->form().controls()) {
    w->services().setNow(QDateTime(QDate(2026, 12, 9), QTime(10, 30)));
    w->services().setMessageHook([](const qthost::Message&) { return host::MsgBoxResult::Ok; });
  }
  showActive(*run);
  // Two opt-ins switched on in the panel, as a user does: the invalid time shows its marker.
  for (const char* name : {"invalidMarker", "accessibleOutcome"}) {
    auto* check = run->optInPanel().findChild<QCheckBox*>(QString::fromLatin1(name));
    if (check == nullptr) throw std::runtime_error(std::string("the run view has no switch for ") + name);
    check->setChecked(true);
  }
  const struct {
    int type;
    QString typed;
  } script[] = {
      {KestrinWidget::NORMAL_TYPE, QStringLiteral("Ada")},
      {KestrinWidget::NUMERIC_TYPE, QStringLiteral("1234567")},
      {KestrinWidget::DATE_TYPE, QStringLiteral("T+1")},
      {KestrinWidget::TIME_TYPE, QStringLiteral("25:61")},
  };
  KestrinWidget* first = nullptr;
  for (const auto& step : script) {
    KestrinWidget* w = ofType(run->form(), step.type);
    if (w == nullptr) continue;
    if (first == nullptr) first = w;
    w->activeBox().setFocus(Qt::TabFocusReason);
    settle();
    type(w->activeBox(), step.typed);
    settle();
  }
  if (first != nullptr) first->activeBox().setFocus(Qt::TabFocusReason);  // leaves the last box
  settle();
  written << grab(*run, dir, QStringLiteral("run.png"));
  written << grabPositions(dir);
  return written;
}

}  // namespace kestrinx::demo
