// The demo's form designer.
#include "designer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
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
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <optional>

#include "control/member_text.h"
#include "control/members.h"
#include "forms/atomic_file.h"
#include "forms/form_file.h"
#include "host/qt/strings.h"
#include "property_list.h"
#include "qt/general_dialog.h"
#include "runner.h"
#include "values/error.h"

namespace kestrinx::demo {

namespace {

// How close to a control's lower right corner a press resizes instead of moving, in pixels.
constexpr int kCornerGrip = 8;
// The least size a control is resized to, in pixels.
constexpr QSize kLeastSize{40, 16};
// A step names up to this many controls; more are counted.
constexpr int kNamedControls = 3;

QString errorText(const values::AutomationError& e) {
  return QStringLiteral("run-time error %1: %2").arg(e.number()).arg(QString::fromUtf8(e.what()));
}

QString names(const QStringList& list) {
  if (list.size() > kNamedControls) return Designer::tr("%1 controls").arg(list.size());
  return list.join(QStringLiteral(", "));
}

QString names(const QList<KestrinWidget*>& controls) {
  QStringList list;
  for (KestrinWidget* w : controls) list << w->objectName();
  return names(list);
}

// Properties whose value counts only in one kind of box, and read as their neutral member in
// the others: what the status line explains when setting one changes nothing.
struct KindBound {
  std::string_view property;
  std::int32_t kind;  // the KestrinType they count in
};
constexpr KindBound kKindBound[] = {{"FormatDate", DATE_TYPE}, {"FormatTime", TIME_TYPE}};

// The platform's keys for a standard action, or `fallback` where the platform has none (no
// Quit or Save As key on some).
QList<QKeySequence> standardKeys(QKeySequence::StandardKey key, QKeyCombination fallback) {
  QList<QKeySequence> keys = QKeySequence::keyBindings(key);
  if (keys.isEmpty()) keys << QKeySequence(fallback);
  return keys;
}

QString enumName(std::int32_t value) {
  const std::string_view n = enums::DefKestrinType.nameOf(value);
  return QString::fromLatin1(n.data(), static_cast<qsizetype>(n.size()));
}

}  // namespace

// Draws the selection over the form: a frame around each selected control and a grip at its
// lower right corner. Mouse events pass through to the form. It is drawn again whenever a
// control moves or changes its size, so no frame stays where a control was.
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
  form_->installEventFilter(this);
  overlay_ = new Overlay(*this, *form_);
  band_ = new QRubberBand(QRubberBand::Rectangle, form_);
  connect(form_, &FormView::controlsChanged, this, [this] {
    overlay_->raise();
    overlay_->update();
    watchControls();
  });
  connect(form_, &FormView::controlGeometryChanged, overlay_, qOverload<>(&QWidget::update));

  // The form grows with its controls (FormView's size hint); the scroll area scrolls to them.
  auto* scroll = new QScrollArea;
  scroll->setWidget(form_);
  scroll->setWidgetResizable(true);

  auto* side = new QWidget;
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(4, 0, 0, 0);
  selectionLabel_ = new QLabel;
  properties_ = new PropertyList;
  messageLine_ = new QLabel;
  messageLine_->setWordWrap(true);
  QPalette warn = messageLine_->palette();
  warn.setColor(QPalette::WindowText, QColor(0xb0, 0x10, 0x10));
  messageLine_->setPalette(warn);
  sideLayout->addWidget(selectionLabel_);
  sideLayout->addWidget(properties_, 1);
  sideLayout->addWidget(messageLine_);
  connect(properties_, &PropertyList::edited, this, [this](const QString& name, const QString& text) {
    // Set once the list's editor is gone: the list is filled again with what the control reads.
    QTimer::singleShot(0, this, [this, name, text] { setProperty(name, text); });
  });

  undoStack_ = new QUndoStack(this);
  connect(undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) { setWindowModified(!clean); });
  connect(undoStack_, &QUndoStack::indexChanged, this, [this](int index) {
    if (!recording_ && index != stackIndex_) {
      const bool undone = index < stackIndex_;
      const QUndoCommand* step = undoStack_->command(undone ? index : index - 1);
      if (step != nullptr) statusBar()->showMessage((undone ? tr("Undone: %1") : tr("Redone: %1")).arg(step->text()));
    }
    stackIndex_ = index;
  });

  auto* splitter = new QSplitter;
  splitter->addWidget(scroll);
  splitter->addWidget(side);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({600, 400});
  setCentralWidget(splitter);
  buildActions();
  updateTitle();
  selectionChanged();
}

Designer::~Designer() {
  // The undo stack is a child, cleared after this window's members are gone: its last index and
  // clean-state signals must not reach them.
  undoStack_->disconnect(this);
}

void Designer::buildActions() {
  const auto action = [this](const char* objectName, const QString& text, auto slot) {
    auto* a = new QAction(text, this);
    a->setObjectName(QString::fromLatin1(objectName));
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QAction* newAction = action("actionNew", tr("&New"), [this] {
    if (maybeSave()) newForm();
  });
  newAction->setShortcut(QKeySequence::New);
  QAction* open = action("actionOpen", tr("&Open..."), [this] {
    if (!maybeSave()) return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open form"), fileName_, tr("Forms (*.kxform)"));
    if (!path.isEmpty()) openFile(path);
  });
  open->setShortcut(QKeySequence::Open);
  QAction* saveAction = action("actionSave", tr("&Save"), [this] { save(); });
  saveAction->setShortcut(QKeySequence::Save);
  QAction* saveAsAction = action("actionSaveAs", tr("Save &As..."), [this] { saveAs(); });
  saveAsAction->setShortcuts(standardKeys(QKeySequence::SaveAs, Qt::CTRL | Qt::SHIFT | Qt::Key_S));
  QAction* quit = action("actionQuit", tr("&Quit"), [this] { close(); });
  quit->setShortcuts(standardKeys(QKeySequence::Quit, Qt::CTRL | Qt::Key_Q));

  QAction* undo = undoStack_->createUndoAction(this, tr("&Undo"));
  undo->setObjectName(QStringLiteral("actionUndo"));
  undo->setShortcut(QKeySequence::Undo);
  QAction* redo = undoStack_->createRedoAction(this, tr("&Redo"));
  redo->setObjectName(QStringLiteral("actionRedo"));
  redo->setShortcut(QKeySequence::Redo);
  QAction* remove = action("actionDelete", tr("&Delete"), [this] { deleteSelection(); });
  remove->setShortcut(QKeySequence::Delete);
  QAction* selectAll = action("actionSelectAll", tr("Select &All"), [this] { select(form_->controls()); });
  selectAll->setShortcut(QKeySequence::SelectAll);

  QAction* add = action("actionAddControl", tr("&Add control"), [this] { addControl(); });
  add->setShortcut(Qt::CTRL | Qt::Key_Insert);
  QAction* general = action("actionGeneral", tr("&General..."), [this] { openGeneral(); });
  // A tool button shows an action's icon text, which Qt makes from its text without the "...":
  // the page opens a dialog, so the button keeps them.
  general->setIconText(tr("General..."));
  QAction* runAction = action("actionRun", tr("&Run"), [this] {
    if (RunWindow* r = run()) r->show();
  });
  runAction->setShortcut(Qt::Key_F5);

  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addActions({newAction, open, saveAction, saveAsAction});
  file->addSeparator();
  file->addAction(quit);
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addActions({undo, redo});
  edit->addSeparator();
  edit->addActions({remove, selectAll});
  QMenu* formMenu = menuBar()->addMenu(tr("F&orm"));
  formMenu->addActions({add, general});
  formMenu->addSeparator();
  formMenu->addAction(runAction);

  QToolBar* bar = addToolBar(tr("Form"));
  bar->setObjectName(QStringLiteral("toolBar"));
  bar->setMovable(false);
  bar->addActions({open, saveAction});
  bar->addSeparator();
  bar->addActions({undo, redo});
  bar->addSeparator();
  bar->addActions({add, remove, general});
  bar->addSeparator();
  bar->addAction(runAction);
}

void Designer::updateTitle() {
  setWindowTitle(QStringLiteral("%1 - %2[*] [design]").arg(form_->formName(), fileName_.isEmpty() ? tr("untitled") : fileName_));
}

bool Designer::openFile(const QString& path) {
  try {
    forms::FileStamp stamp;
    const forms::FormFile file = forms::readFormFile(qthost::toStdString(path), stamp);
    select({});
    const QStringList problems = form_->load(file);
    fileName_ = path;
    stamp_ = stamp;
    undoStack_->clear();
    updateTitle();
    if (!form_->controls().isEmpty()) select({form_->controls().first()});
    report(problems.join('\n'));
    return true;
  } catch (const std::exception& e) {  // FormFileError, FileAccessError, a class it cannot show
    report(tr("Cannot open %1: %2").arg(path, QString::fromUtf8(e.what())));
    return false;
  }
}

void Designer::newForm() {
  select({});
  form_->load(forms::FormFile{});
  fileName_.clear();
  stamp_ = {};
  undoStack_->clear();
  updateTitle();
  selectionChanged();
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
    undoStack_->setClean();
    updateTitle();
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

bool Designer::save() { return fileName_.isEmpty() ? saveAs() : saveFile(fileName_); }

bool Designer::saveAs() {
  const QString path = QFileDialog::getSaveFileName(this, tr("Save form"), fileName_, tr("Forms (*.kxform)"));
  return !path.isEmpty() && saveFile(path);
}

bool Designer::maybeSave() {
  if (undoStack_->isClean()) return true;
  QMessageBox ask(QMessageBox::Warning, tr("Unsaved changes"),
                  tr("%1 has changes that are not saved.").arg(fileName_.isEmpty() ? form_->formName() : fileName_),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  ask.setInformativeText(tr("Save them first?"));
  ask.setDefaultButton(QMessageBox::Save);
  switch (ask.exec()) {
    case QMessageBox::Save: return save();
    case QMessageBox::Discard: return true;
    default: return false;
  }
}

void Designer::closeEvent(QCloseEvent* event) {
  if (!maybeSave()) {
    event->ignore();
    return;
  }
  if (runWindow_) runWindow_->close();
  event->accept();
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
  watched_.removeAll(nullptr);
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

void Designer::selectNames(const QStringList& list) {
  QList<KestrinWidget*> controls;
  for (const QString& name : list)
    if (KestrinWidget* w = form_->find(name)) controls << w;
  select(controls);
}

void Designer::selectionChanged() {
  const QList<KestrinWidget*> chosen = selection();
  selectionLabel_->setText(chosen.isEmpty() ? tr("Nothing selected") : tr("Selected: %1").arg(names(chosen)));
  // What was said was about the selection before.
  messageLine_->clear();
  if (chosen.isEmpty()) {
    statusBar()->showMessage(tr("Design mode: click, Ctrl+click or drag a frame to select; drag to move; drag a corner to resize"));
  } else {
    statusBar()->clearMessage();
  }
  refreshProperties();
  overlay_->update();
}

void Designer::refreshProperties() {
  const QList<KestrinWidget*> chosen = selection();
  properties_->showValues(chosen.isEmpty() ? nullptr : chosen.first());
}

bool Designer::snapshot(const QList<KestrinWidget*>& controls, Changes& changes) {
  changes.clear();
  try {
    for (KestrinWidget* w : controls) {
      const int index = form_->indexOf(w->objectName());
      changes.push_back({w->objectName(), index, index, form_->record(*w), std::nullopt});
    }
    return true;
  } catch (const values::AutomationError& e) {
    report(tr("Cannot record the step: %1").arg(errorText(e)));
    return false;
  }
}

void Designer::record(const QString& text, Changes changes) {
  try {
    for (FormCommand::Change& c : changes) {
      c.indexAfter = form_->indexOf(c.name);
      c.after.reset();
      if (KestrinWidget* w = form_->find(c.name)) c.after = form_->record(*w);
    }
  } catch (const values::AutomationError& e) {
    report(tr("Cannot record the step: %1").arg(errorText(e)));
    return;
  }
  if (!FormCommand::changesAnything(changes)) return;
  recording_ = true;
  undoStack_->push(new FormCommand(*form_, text, std::move(changes), [this](const QStringList& selected, const QStringList& problems) {
    selectNames(selected);
    report(problems.join('\n'));
  }));
  recording_ = false;
}

QString Designer::outcome(const QString& name, const QString& text, const values::Variant& before,
                          const values::Variant& after) const {
  const members::Member& m = *members::find(qthost::toStdString(name));
  const QString shown = qthost::toQString(members::textFromValue(m, after));
  values::Variant asked;
  try {
    asked = values::coerce(members::valueFromText(m, qthost::toStdString(text)), m.type);
  } catch (const values::AutomationError&) {
    return tr("%1 set; it reads %2").arg(name, shown);
  }
  if (values::sameValue(asked, after)) return tr("%1 set to %2").arg(name, shown);
  if (!values::sameValue(before, after)) return tr("%1 set to %2; the control made it %3").arg(name, text, shown);
  for (const KindBound& k : kKindBound) {
    if (m.name != k.property) continue;
    const std::int32_t kind = selection().first()->dispatch().getProperty("KestrinType").toLong();
    if (kind == k.kind) break;
    return tr("%1 = %2 changed nothing: it counts only in a %3 box and this one is %4 (%2 is kept for when it is one)")
        .arg(name, text, enumName(k.kind), enumName(kind));
  }
  return tr("%1 = %2 changed nothing: the control keeps %3").arg(name, text, shown);
}

bool Designer::setProperty(const QString& name, const QString& text) {
  const members::Member* m = members::find(qthost::toStdString(name));
  const QList<KestrinWidget*> chosen = selection();
  if (m == nullptr || chosen.isEmpty()) {
    report(m == nullptr ? tr("%1: no such property").arg(name) : tr("Select a control first"));
    return false;
  }
  const QString property = QString::fromLatin1(m->name.data(), static_cast<qsizetype>(m->name.size()));
  if (!m->has(members::Put) && !m->has(members::PutRef)) {
    report(tr("%1 is read-only").arg(property));
    return false;
  }
  Changes changes;
  if (!snapshot(chosen, changes)) return false;
  QString failure;
  values::Variant before, after;
  try {
    const values::Variant value = members::valueFromText(*m, qthost::toStdString(text));
    const std::string key(m->name);
    before = chosen.first()->dispatch().getProperty(key);
    for (KestrinWidget* w : chosen) {
      try {
        w->dispatch().setProperty(key, value);
      } catch (const values::AutomationError& e) {
        failure = tr("%1.%2 = %3: %4").arg(w->objectName(), property, text, errorText(e));
        break;
      }
    }
    after = chosen.first()->dispatch().getProperty(key);
  } catch (const values::AutomationError& e) {
    failure = tr("%1 = %2: %3").arg(property, text, errorText(e));
  }
  record(tr("Set %1 of %2").arg(property, names(chosen)), std::move(changes));
  refreshProperties();
  report(failure);
  if (!failure.isEmpty()) return false;
  // A put that changed nothing is worth the message line too: the list shows no change.
  const QString said = outcome(property, text, before, after);
  if (values::sameValue(before, after) && !said.startsWith(tr("%1 set").arg(property))) {
    report(said);
  } else {
    statusBar()->showMessage(said);
  }
  return true;
}

KestrinWidget* Designer::addControl() {
  int top = 8;
  for (KestrinWidget* w : form_->controls()) top = std::max(top, w->geometry().bottom() + 8);
  KestrinWidget* added = form_->place(8, top);
  Changes changes{{added->objectName(), -1, -1, std::nullopt, std::nullopt}};
  record(tr("Add %1").arg(added->objectName()), std::move(changes));
  select({added});
  statusBar()->showMessage(tr("Added %1").arg(added->objectName()));
  return added;
}

void Designer::deleteSelection() {
  const QList<KestrinWidget*> chosen = selection();
  if (chosen.isEmpty()) {
    report(tr("Select the controls to delete first"));
    return;
  }
  Changes changes;
  if (!snapshot(chosen, changes)) return;
  const QString named = names(chosen);
  for (KestrinWidget* w : chosen) form_->remove(w);
  record(tr("Delete %1").arg(named), std::move(changes));
  select({});
  statusBar()->showMessage(tr("Deleted %1").arg(named));
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
  Changes before;
  if (!snapshot(chosen, before)) return;
  qt::GeneralDialog dialog(chosen, this);
  // Each apply is a step of its own: what it changed since the one before.
  connect(&dialog, &qt::GeneralDialog::applied, this, [&] {
    record(tr("General page on %1").arg(names(chosen)), before);
    snapshot(chosen, before);
    refreshProperties();
  });
  dialog.exec();
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
      if (!snapshot(selection(), dragBefore_)) drag_ = Drag::None;
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
      return drag_ != Drag::None;
    }
    case QEvent::MouseButtonRelease: {
      auto* e = static_cast<QMouseEvent*>(event);
      const Drag ended = std::exchange(drag_, Drag::None);
      if (ended == Drag::Band) {
        band_->hide();
        const QRect area = QRect(dragStart_, e->position().toPoint()).normalized();
        QList<KestrinWidget*> chosen = selection();
        for (KestrinWidget* w : form_->controls())
          if (w->geometry().intersects(area) && !chosen.contains(w)) chosen << w;
        select(chosen);
      } else if (ended == Drag::Move || ended == Drag::Resize) {
        const QList<KestrinWidget*> chosen = selection();
        record((ended == Drag::Move ? tr("Move %1") : tr("Resize %1")).arg(names(chosen)), std::move(dragBefore_));
        dragBefore_.clear();
        refreshProperties();  // sizes and layout may have changed
      }
      return true;
    }
    case QEvent::MouseButtonDblClick:
      if (!selection().isEmpty()) openGeneral();
      return true;
    default: return false;
  }
}

}  // namespace kestrinx::demo
