// The demo's form designer.
#include "designer.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMetaMethod>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPushButton>
#include <QPainter>
#include <QRubberBand>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "control/member_text.h"
#include "control/members.h"
#include "forms/atomic_file.h"
#include "forms/form_file.h"
#include "host/qt/strings.h"
#include "qt/general_dialog.h"
#include "runner.h"
#include "values/error.h"

namespace kestrinx::demo {

namespace {

// How close to a control's lower right corner a press resizes instead of moving, in pixels.
constexpr int kCornerGrip = 8;
// The least size a control is resized to, in pixels.
constexpr QSize kLeastSize{40, 16};

QString errorText(const values::AutomationError& e) {
  return QStringLiteral("run-time error %1: %2").arg(e.number()).arg(QString::fromUtf8(e.what()));
}

// The rows of the property list: every member with a get, in slot order.
std::vector<const members::Member*> listedMembers() {
  std::vector<const members::Member*> rows;
  for (const members::Member& m : members::kMembers)
    if (m.has(members::Get)) rows.push_back(&m);
  return rows;
}

bool editable(const members::Member& m) { return m.has(members::Put) || m.has(members::PutRef); }

}  // namespace

// Draws the selection over the form: a frame around each selected control and a grip at its
// lower right corner. Mouse events pass through to the form.
class Designer::Overlay final : public QWidget {
 public:
  explicit Overlay(Designer& owner, QWidget& form) : QWidget(&form), owner_(owner) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    form.installEventFilter(this);
    setGeometry(form.rect());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == parent() && e->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    return false;
  }
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    const QColor accent = palette().color(QPalette::Highlight);
    for (KestrinWidget* w : owner_.selection()) {
      const QRect r = w->geometry().adjusted(-2, -2, 1, 1);
      p.setPen(QPen(accent, 1, Qt::DashLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(r);
      p.fillRect(QRect(r.bottomRight() - QPoint(5, 5), QSize(6, 6)), accent);
    }
  }

 private:
  Designer& owner_;
};

Designer::Designer(QWidget* parent) : QMainWindow(parent) {
  form_ = new FormView(FormView::Mode::Design);
  form_->setMinimumSize(560, 300);
  form_->installEventFilter(this);
  overlay_ = new Overlay(*this, *form_);
  band_ = new QRubberBand(QRubberBand::Rectangle, form_);
  connect(form_, &FormView::controlsChanged, this, [this] {
    overlay_->raise();
    overlay_->update();
    watchControls();
  });

  auto* scroll = new QScrollArea;
  scroll->setWidget(form_);
  scroll->setWidgetResizable(true);

  auto* side = new QWidget;
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(4, 0, 0, 0);
  selectionLabel_ = new QLabel;
  properties_ = new QTableWidget(0, 2);
  properties_->setHorizontalHeaderLabels({tr("Property"), tr("Value")});
  properties_->horizontalHeader()->setStretchLastSection(true);
  properties_->verticalHeader()->setVisible(false);
  properties_->verticalHeader()->setDefaultSectionSize(properties_->fontMetrics().height() + 6);
  properties_->setSelectionMode(QAbstractItemView::SingleSelection);
  messageLine_ = new QLabel;
  messageLine_->setWordWrap(true);
  QPalette warn = messageLine_->palette();
  warn.setColor(QPalette::WindowText, QColor(0xb0, 0x10, 0x10));
  messageLine_->setPalette(warn);
  sideLayout->addWidget(selectionLabel_);
  sideLayout->addWidget(properties_, 1);
  sideLayout->addWidget(messageLine_);

  const std::vector<const members::Member*> rows = listedMembers();
  properties_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    auto* name = new QTableWidgetItem(qthost::toQString(std::string(rows[static_cast<std::size_t>(r)]->name)));
    name->setFlags(Qt::ItemIsEnabled);
    properties_->setItem(r, 0, name);
  }
  properties_->resizeColumnToContents(0);
  connect(properties_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (refreshing_ || item->column() != 1) return;
    setProperty(properties_->item(item->row(), 0)->text(), item->text());
  });

  auto* splitter = new QSplitter;
  splitter->addWidget(scroll);
  splitter->addWidget(side);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({600, 400});
  setCentralWidget(splitter);
  buildActions();
  statusBar()->showMessage(tr("Design mode: click, Ctrl+click or drag a frame to select; drag to move; drag a corner to resize"));
  selectionChanged();
}

Designer::~Designer() = default;

void Designer::buildActions() {
  QToolBar* bar = addToolBar(tr("Form"));
  bar->setMovable(false);
  QAction* open = bar->addAction(tr("Open..."), this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open form"), fileName_, tr("Forms (*.kxform)"));
    if (!path.isEmpty()) openFile(path);
  });
  open->setShortcut(QKeySequence::Open);
  QAction* save = bar->addAction(tr("Save"), this, [this] {
    if (!fileName_.isEmpty()) saveFile(fileName_);
  });
  save->setShortcut(QKeySequence::Save);
  bar->addAction(tr("Save As..."), this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, tr("Save form"), fileName_, tr("Forms (*.kxform)"));
    if (!path.isEmpty()) saveFile(path);
  });
  bar->addSeparator();
  bar->addAction(tr("Add control"), this, [this] {
    int top = 8;
    for (KestrinWidget* w : form_->controls()) top = std::max(top, w->geometry().bottom() + 8);
    select({form_->place(8, top)});
  });
  QAction* remove = bar->addAction(tr("Delete"), this, [this] {
    for (KestrinWidget* w : selection()) form_->remove(w);
    select({});
  });
  remove->setShortcut(QKeySequence::Delete);
  bar->addAction(tr("General..."), this, &Designer::openGeneral);
  bar->addAction(tr("Undo"), this, &Designer::undo)->setShortcut(QKeySequence::Undo);
  bar->addSeparator();
  bar->addAction(tr("Run"), this, [this] {
    if (RunWindow* r = run()) r->show();
  });
}

bool Designer::openFile(const QString& path) {
  try {
    forms::FileStamp stamp;
    const forms::FormFile file = forms::readFormFile(qthost::toStdString(path), stamp);
    select({});
    const QStringList problems = form_->load(file);
    fileName_ = path;
    stamp_ = stamp;
    undo_.clear();
    setWindowTitle(QStringLiteral("%1 - %2 [design]").arg(form_->formName(), path));
    report(problems.join('\n'));
    if (!form_->controls().isEmpty()) select({form_->controls().first()});
    return true;
  } catch (const std::exception& e) {  // FormFileError, FileAccessError, a class it cannot show
    report(tr("Cannot open %1: %2").arg(path, QString::fromUtf8(e.what())));
    return false;
  }
}

bool Designer::saveFile(const QString& path) {
  const std::string file = qthost::toStdString(path);
  try {
    const forms::FormFile form = form_->save();
    // The open file is checked against what it held; another one is replaced as it is.
    std::optional<forms::FileStamp> expected;
    if (path == fileName_) expected = stamp_;
    for (;;) {
      try {
        const forms::FileLock lock(file);
        forms::FileStamp stamp = expected ? *expected : forms::currentStamp(file, forms::FormLimits::FileBytes);
        forms::writeFormFileUnlessChanged(file, form, stamp);
        stamp_ = stamp;
        break;
      } catch (const forms::FormFileChangedError&) {
        // Asked with the lock released, so other programs are not kept waiting.
        const ChangedOnDisk answer = askChangedOnDisk_ ? askChangedOnDisk_(path) : askWithMessageBox(path);
        if (answer == ChangedOnDisk::Overwrite) {
          expected.reset();
          continue;
        }
        if (answer == ChangedOnDisk::Reload) {
          if (openFile(path)) statusBar()->showMessage(tr("Reloaded %1 as another program saved it").arg(path));
          return false;
        }
        report(tr("Not saved: %1 has changed on disk since it was opened").arg(path));
        return false;
      }
    }
    fileName_ = path;
    setWindowTitle(QStringLiteral("%1 - %2 [design]").arg(form_->formName(), path));
    report(QString());
    statusBar()->showMessage(tr("Saved %1").arg(path));
    return true;
  } catch (const values::AutomationError& e) {
    report(tr("Cannot save %1: %2").arg(path, errorText(e)));
  } catch (const std::exception& e) {
    report(tr("Cannot save %1: %2").arg(path, QString::fromUtf8(e.what())));
  }
  return false;
}

Designer::ChangedOnDisk Designer::askWithMessageBox(const QString& path) {
  QMessageBox box(QMessageBox::Warning, tr("Save form"),
                  tr("%1 has changed on disk since it was opened here.\n\nReload it (your changes are lost), "
                     "overwrite it with this form, or cancel and keep editing?")
                      .arg(path),
                  QMessageBox::NoButton, this);
  QPushButton* reload = box.addButton(tr("Reload"), QMessageBox::DestructiveRole);
  QPushButton* overwrite = box.addButton(tr("Overwrite"), QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() == reload) return ChangedOnDisk::Reload;
  if (box.clickedButton() == overwrite) return ChangedOnDisk::Overwrite;
  return ChangedOnDisk::Cancel;
}

void Designer::watchControls() {
  const QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("controlChanged()"));
  for (KestrinWidget* w : form_->controls()) {
    if (watched_.contains(w)) continue;
    watched_ << w;
    const QMetaObject* meta = w->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
      if (meta->property(i).hasNotifySignal()) connect(w, meta->property(i).notifySignal(), this, slot);
  }
}

void Designer::controlChanged() {
  const QList<KestrinWidget*> chosen = selection();
  if (refreshPending_ || chosen.isEmpty() || sender() != chosen.first()) return;
  refreshPending_ = true;
  QTimer::singleShot(0, this, [this] {
    refreshPending_ = false;
    refreshProperties();
  });
}

QList<KestrinWidget*> Designer::selection() const {
  QList<KestrinWidget*> list;
  for (const QPointer<KestrinWidget>& w : selection_)
    if (w) list << w.data();
  return list;
}

void Designer::select(const QList<KestrinWidget*>& controls) {
  selection_.clear();
  for (KestrinWidget* w : controls) selection_ << w;
  selectionChanged();
}

void Designer::selectionChanged() {
  const QList<KestrinWidget*> chosen = selection();
  QStringList names;
  for (KestrinWidget* w : chosen) names << w->objectName();
  selectionLabel_->setText(chosen.isEmpty() ? tr("Nothing selected") : tr("Selected: %1").arg(names.join(", ")));
  refreshProperties();
  overlay_->update();
}

void Designer::refreshProperties() {
  refreshing_ = true;
  const QList<KestrinWidget*> chosen = selection();
  const std::vector<const members::Member*> rows = listedMembers();
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const members::Member& m = *rows[static_cast<std::size_t>(r)];
    QString text;
    if (!chosen.isEmpty()) {
      try {
        text =
            qthost::toQString(members::textFromValue(m, chosen.first()->dispatch().getProperty(std::string(m.name))));
      } catch (const values::AutomationError& e) {
        text = QStringLiteral("(%1)").arg(errorText(e));
      }
    }
    auto* value = new QTableWidgetItem(text);
    value->setFlags(!chosen.isEmpty() && editable(m) ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                                      : Qt::ItemIsEnabled);
    properties_->setItem(r, 1, value);
  }
  refreshing_ = false;
}

bool Designer::setProperty(const QString& name, const QString& text) {
  const members::Member* m = members::find(qthost::toStdString(name));
  const QList<KestrinWidget*> chosen = selection();
  if (m == nullptr || chosen.isEmpty()) {
    report(m == nullptr ? tr("%1: no such property").arg(name) : tr("Select a control first"));
    return false;
  }
  Change change{QString::fromUtf8(m->name.data(), static_cast<qsizetype>(m->name.size())), {}};
  QString failure;
  try {
    const values::Variant value = members::valueFromText(*m, qthost::toStdString(text));
    for (KestrinWidget* w : chosen) {
      values::Dispatch& d = w->dispatch();
      const std::string property(m->name);
      const values::Variant before = d.getProperty(property);
      try {
        d.setProperty(property, value);
      } catch (const values::AutomationError& e) {
        failure = tr("%1.%2 = %3: %4").arg(w->objectName(), change.property, text, errorText(e));
        break;
      }
      change.before.emplace_back(w, before);
    }
  } catch (const values::AutomationError& e) {
    failure = tr("%1 = %2: %3").arg(change.property, text, errorText(e));
  }
  if (!change.before.empty()) undo_.push_back(std::move(change));
  refreshProperties();
  overlay_->update();
  report(failure);
  if (failure.isEmpty()) statusBar()->showMessage(tr("%1 set to %2").arg(name, text));
  return failure.isEmpty();
}

bool Designer::undo() {
  if (undo_.empty()) {
    statusBar()->showMessage(tr("Nothing to undo"));
    return false;
  }
  Change last = std::move(undo_.back());
  undo_.pop_back();
  QString failure;
  for (auto& [w, before] : last.before) {
    if (!w) continue;
    try {
      w->dispatch().setProperty(qthost::toStdString(last.property), before);
    } catch (const values::AutomationError& e) {
      failure = tr("Undo %1.%2: %3").arg(w->objectName(), last.property, errorText(e));
    }
  }
  refreshProperties();
  overlay_->update();
  report(failure);
  if (failure.isEmpty()) statusBar()->showMessage(tr("Undid the change of %1").arg(last.property));
  return failure.isEmpty();
}

QString Designer::message() const { return messageLine_->text(); }

void Designer::report(const QString& message) {
  messageLine_->setText(message);
  if (!message.isEmpty()) statusBar()->showMessage(message.section('\n', 0, 0));
}

void Designer::openGeneral() {
  const QList<KestrinWidget*> chosen = selection();
  if (chosen.isEmpty()) {
    report(tr("Select one or more controls for the General page"));
    return;
  }
  qt::GeneralDialog dialog(chosen, this);
  dialog.exec();
  refreshProperties();
  overlay_->update();
}

RunWindow* Designer::run() {
  try {
    // Read back from the saved text, as the running program reads the form file.
    const forms::FormFile saved = forms::parseForm(forms::formText(form_->save()), qthost::toStdString(fileName_));
    delete runWindow_.data();
    runWindow_ = new RunWindow(saved, this);
    return runWindow_;
  } catch (const values::AutomationError& e) {
    report(tr("Cannot run the form: %1").arg(errorText(e)));
  } catch (const std::exception& e) {
    report(tr("Cannot run the form: %1").arg(QString::fromUtf8(e.what())));
  }
  return nullptr;
}

KestrinWidget* Designer::controlAt(const QPoint& pos) const {
  const QList<KestrinWidget*> all = form_->controls();
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if ((*it)->geometry().contains(pos)) return *it;
  return nullptr;
}

bool Designer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != form_) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (e->button() != Qt::LeftButton) return false;
      const QPoint pos = e->position().toPoint();
      const bool adding = (e->modifiers() & Qt::ControlModifier) != 0;
      dragStart_ = pos;
      KestrinWidget* hit = controlAt(pos);
      QList<KestrinWidget*> chosen = selection();
      if (hit == nullptr) {
        if (!adding) select({});
        drag_ = Drag::Band;
        band_->setGeometry(QRect(pos, QSize()));
        band_->show();
        return true;
      }
      if (adding) {
        if (chosen.contains(hit))
          chosen.removeAll(hit);
        else
          chosen << hit;
        select(chosen);
        drag_ = Drag::None;
        return true;
      }
      if (!chosen.contains(hit)) select({hit});
      const QPoint corner = hit->geometry().bottomRight();
      const bool grip = std::abs(pos.x() - corner.x()) <= kCornerGrip && std::abs(pos.y() - corner.y()) <= kCornerGrip;
      if (grip) select({hit});
      drag_ = grip ? Drag::Resize : Drag::Move;
      startGeometry_.clear();
      for (KestrinWidget* w : selection()) startGeometry_.push_back(w->geometry());
      return true;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint pos = e->position().toPoint();
      const QPoint delta = pos - dragStart_;
      const QList<KestrinWidget*> chosen = selection();
      if (drag_ == Drag::Band) {
        band_->setGeometry(QRect(dragStart_, pos).normalized());
      } else if (drag_ == Drag::Move) {
        for (int i = 0; i < chosen.size() && i < static_cast<int>(startGeometry_.size()); ++i) {
          const QPoint to = startGeometry_[static_cast<std::size_t>(i)].topLeft() + delta;
          chosen[i]->move(std::max(0, to.x()), std::max(0, to.y()));
        }
      } else if (drag_ == Drag::Resize && !chosen.isEmpty() && !startGeometry_.empty()) {
        const QSize size = startGeometry_.front().size() + QSize(delta.x(), delta.y());
        chosen.first()->resize(size.expandedTo(kLeastSize));
      }
      overlay_->update();
      return drag_ != Drag::None;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      if (drag_ == Drag::Band) {
        band_->hide();
        const QRect area = QRect(dragStart_, e->position().toPoint()).normalized();
        QList<KestrinWidget*> chosen = selection();
        for (KestrinWidget* w : form_->controls())
          if (w->geometry().intersects(area) && !chosen.contains(w)) chosen << w;
        select(chosen);
      } else if (drag_ == Drag::Move || drag_ == Drag::Resize) {
        refreshProperties();  // sizes and layout may have changed
      }
      drag_ = Drag::None;
      return true;
    }
    case QEvent::MouseButtonDblClick:
      if (!selection().isEmpty()) openGeneral();
      return true;
    default: return false;
  }
}

}  // namespace kestrinx::demo
