// The demo's run window.
#include "runner.h"

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMetaProperty>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "values/functions.h"

namespace kestrinx::demo {

namespace {

// At most this many lines stay in the log.
constexpr int kLogLines = 500;
// The log is at least this many characters wide.
constexpr int kLogColumns = 40;
// The opt-in switches are laid out in this many columns.
constexpr int kOptInColumns = 3;

QString keyText(qint16 code) {
  if (code >= 32 && code < 127) return QStringLiteral("%1 '%2'").arg(code).arg(QChar(code));
  return QString::number(code);
}

}  // namespace

RunWindow::RunWindow(const forms::FormFile& saved, QWidget* parent) : QWidget(parent, Qt::Window) {
  form_ = new FormView(FormView::Mode::Run);
  const QStringList problems = form_->load(saved);
  setWindowTitle(QStringLiteral("%1 [run]").arg(form_->formName()));

  states_ = new QTableWidget(0, 3);
  states_->setHorizontalHeaderLabels({tr("Control"), tr("Text"), tr("ValidState")});
  states_->horizontalHeader()->setStretchLastSection(true);
  states_->verticalHeader()->setVisible(false);
  states_->verticalHeader()->setDefaultSectionSize(states_->fontMetrics().height() + 6);
  states_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  states_->setSelectionMode(QAbstractItemView::NoSelection);
  states_->setFocusPolicy(Qt::NoFocus);
  // The panels ask for room to read them: the table for its columns, the log for a line of events.
  states_->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
  log_ = new QListWidget;
  log_->setMinimumWidth(log_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * kLogColumns);
  log_->setFocusPolicy(Qt::NoFocus);

  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(tr("Controls")));
  side->addWidget(states_, 2);
  side->addWidget(new QLabel(tr("Events")));
  side->addWidget(log_, 3);
  optIns_ = makeOptInPanel();
  auto* formColumn = new QVBoxLayout;
  formColumn->addWidget(form_, 1);
  formColumn->addWidget(optIns_);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(formColumn, 3);
  layout->addLayout(side, 2);

  for (const QString& p : problems) note(p);
  for (KestrinWidget* w : form_->controls()) watch(w);
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
    KestrinWidget* left = controlOf(old);
    KestrinWidget* entered = controlOf(now);
    if (left == entered) return;
    if (left != nullptr) note(left->objectName() + QStringLiteral(" LostFocus"));
    if (entered != nullptr) note(entered->objectName() + QStringLiteral(" GotFocus"));
  });
  refreshStates();

  auto* closing = new QAction(tr("Close"), this);
  closing->setShortcut(QKeySequence::Close);
  connect(closing, &QAction::triggered, this, &QWidget::close);
  addAction(closing);
  adjustSize();  // the form's controls, the panels beside and below it
}

RunWindow::~RunWindow() { disconnect(focusWatch_); }

void RunWindow::keyPressEvent(QKeyEvent* event) {
  // An Escape no box took for itself.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

QWidget* RunWindow::makeOptInPanel() {
  auto* panel = new QGroupBox(tr("Opt-ins"));
  panel->setObjectName(QStringLiteral("optIns"));
  auto* grid = new QGridLayout(panel);
  // The switches start from what the first control holds (a form without controls: the defaults).
  const QList<KestrinWidget*> controls = form_->controls();
  const auto current = [&](const QByteArray& name) {
    return controls.isEmpty() ? QVariant() : controls.first()->property(name.constData());
  };
  const QMetaObject& meta = KestrinWidget::staticMetaObject;
  int placed = 0;
  for (const QString& name : KestrinWidget::optIns()) {
    const QByteArray key = name.toLatin1();
    const int type = meta.property(meta.indexOfProperty(key.constData())).metaType().id();
    const int row = placed / kOptInColumns, column = placed % kOptInColumns;
    QWidget* control = nullptr;
    if (type == QMetaType::Bool) {
      auto* check = new QCheckBox(name);
      check->setChecked(current(key).toBool());
      connect(check, &QCheckBox::toggled, this, [this, name](bool on) { setOptIn(name, on); });
      control = check;
      grid->addWidget(check, row, column);
    } else if (type == QMetaType::Int) {
      // The one whole-number opt-in is a year: the first of the century window.
      auto* spin = new QSpinBox;
      spin->setRange(values::kFirstCenturyStart, values::kLastCenturyStart);
      spin->setValue(current(key).isValid() ? current(key).toInt() : values::DateReading{}.centuryStart);
      spin->setKeyboardTracking(false);  // a year typed digit by digit is applied once, whole
      connect(spin, &QSpinBox::valueChanged, this, [this, name](int year) { setOptIn(name, year); });
      auto* labelled = new QHBoxLayout;
      labelled->addWidget(new QLabel(name));
      labelled->addWidget(spin);
      control = spin;
      grid->addLayout(labelled, row, column);
    } else {
      continue;  // a kind of value the panel has no switch for
    }
    control->setObjectName(name);
    ++placed;
  }
  grid->setColumnStretch(kOptInColumns, 1);  // the switches stay together at the left
  return panel;
}

void RunWindow::setOptIn(const QString& name, const QVariant& value) {
  const QString shown =
      value.typeId() == QMetaType::Bool ? (value.toBool() ? QStringLiteral("True") : QStringLiteral("False")) : value.toString();
  note(QStringLiteral("opt-in %1 = %2").arg(name, shown));
  for (KestrinWidget* w : form_->controls()) w->setProperty(name.toLatin1().constData(), value);
}

KestrinWidget* RunWindow::controlOf(QWidget* w) const {
  for (; w != nullptr; w = w->parentWidget())
    if (auto* k = qobject_cast<KestrinWidget*>(w); k != nullptr && k->parentWidget() == form_) return k;
  return nullptr;
}

void RunWindow::watch(KestrinWidget* w) {
  const QString name = w->objectName();
  connect(w, &KestrinWidget::Change, this, [this, w, name] {
    note(name + QStringLiteral(" Change \"%1\"").arg(w->property("Text").toString()));
    refreshStates();
  });
  connect(w, &KestrinWidget::KeyPress, this,
          [this, name](qint16* keyAscii) { note(name + QStringLiteral(" KeyPress ") + keyText(*keyAscii)); });
  connect(w, &KestrinWidget::Click, this, [this, name] { note(name + QStringLiteral(" Click")); });
  connect(w, &KestrinWidget::DblClick, this, [this, name] { note(name + QStringLiteral(" DblClick")); });
  connect(w, &KestrinWidget::validStateChanged, this, [this, name](bool valid) {
    note(name + QStringLiteral(" ValidState = %1").arg(valid ? "True" : "False"));
    refreshStates();
  });
  connect(w, &KestrinWidget::automationError, this, [this, name](int number, const QString& text) {
    note(name + QStringLiteral(" run-time error %1: %2").arg(number).arg(text));
  });
}

void RunWindow::note(const QString& line) {
  log_->addItem(line);
  while (log_->count() > kLogLines) delete log_->takeItem(0);
  log_->scrollToBottom();
}

QStringList RunWindow::log() const {
  QStringList lines;
  for (int i = 0; i < log_->count(); ++i) lines << log_->item(i)->text();
  return lines;
}

void RunWindow::refreshStates() {
  const QList<KestrinWidget*> controls = form_->controls();
  states_->setRowCount(static_cast<int>(controls.size()));
  for (int r = 0; r < controls.size(); ++r) {
    KestrinWidget* w = controls[r];
    const bool valid = w->property("ValidState").toBool();
    states_->setItem(r, 0, new QTableWidgetItem(w->objectName()));
    // Shown as the user reads it: a numeric box's Text carries the spaces that align it.
    states_->setItem(r, 1, new QTableWidgetItem(w->property("Text").toString().trimmed()));
    auto* state = new QTableWidgetItem(valid ? QStringLiteral("True") : QStringLiteral("False"));
    state->setForeground(valid ? QBrush(QColor(0x10, 0x80, 0x10)) : QBrush(QColor(0xb0, 0x10, 0x10)));
    states_->setItem(r, 2, state);
  }
  states_->resizeColumnToContents(0);
}

}  // namespace kestrinx::demo
