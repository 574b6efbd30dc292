// The demo's design mode: a form designer over a FormView in design mode (UserMode False).
//
// Controls are added (Form > Add control), selected (click, Ctrl+click, a rubber band on the
// empty form, Edit > Select All), moved by dragging and resized by their lower right corner.
// The property list (property_list.h) shows every published property of the first selected
// control and edits it in place: an edit goes to each selected control's own put, the list then
// shows what the control reads back, and the status line says when a put changed nothing and
// why. "General..." opens the General page on the selection; forms are opened from and saved to
// form files; Form > Run opens the form as saved in a run window.
//
// Every edit of the form (a property, a move, a resize, Add control, Delete, an apply of the
// General page) is one step on the window's QUndoStack (form_command.h); Edit > Undo and Redo
// name the step ("Undo Move numAmount") and the selection follows them. The title shows
// unsaved changes ([*], from the stack's clean state), and closing the window, opening another
// form or starting a new one asks Save / Discard / Cancel first.
//
// Messages (a refused edit, a control that stopped loading, what a step did) belong to the
// selection they were made for: selecting other controls clears them.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "form_command.h"
#include "form_view.h"
#include "forms/atomic_file.h"
#include "values/variant.h"

class QLabel;
class QRubberBand;
class QUndoStack;

namespace kestrinx::demo {

class PropertyList;
class RunWindow;

class Designer final : public QMainWindow {
  Q_OBJECT

 public:
  explicit Designer(QWidget* parent = nullptr);
  ~Designer() override;

  // Opens a form file in place of the form shown, which is dropped with its undo history
  // (File > Open asks first when it has unsaved changes, see maybeSave()); false (and the
  // reason shown) when it cannot be read or shown. Controls that stopped loading are reported
  // and shown as far as they got.
  bool openFile(const QString& path);
  // Starts an empty untitled form in place of the form shown (File > New, after maybeSave()).
  void newForm();
  // File > Save: into the form's file, or, for an untitled form, where Save As asks.
  bool save();
  // File > Save As: asks for a file and saves there; false when the user cancels.
  bool saveAs();
  // When the form has unsaved changes, asks Save / Discard / Cancel. True when the caller may go
  // on (saved, or discarded); false for Cancel or a save that failed.
  bool maybeSave();
  // Saves the form atomically into `path`, which becomes its file, under the file's lock
  // (forms::FileLock), and marks it saved (the undo stack's clean state); false (and the reason
  // shown) when it cannot be saved. Every save of the form goes through here. Saving over the
  // open file when another program has changed it since it was opened or last saved here asks
  // what to do (askChangedOnDisk): reload it, losing the edits; overwrite it; or leave it and
  // keep editing. Save As over another file replaces it (the file dialog has asked).
  bool saveFile(const QString& path);
  enum class ChangedOnDisk { Reload, Overwrite, Cancel };
  // How the question is put: a message box, unless replaced (tests answer it).
  void setChangedOnDiskQuestion(std::function<ChangedOnDisk(const QString& path)> ask) {
    askChangedOnDisk_ = std::move(ask);
  }
  const QString& fileName() const { return fileName_; }

  FormView& form() const { return *form_; }
  QList<KestrinWidget*> selection() const;
  void select(const QList<KestrinWidget*>& controls);

  // Sets a property of every selected control from its text, as an edit in the property list
  // does: one step. False when the text does not convert, the property is read-only or a
  // control refuses (the message says why).
  bool setProperty(const QString& name, const QString& text);
  // Form > Add control: a new control below the others, selected; one step.
  KestrinWidget* addControl();
  // Edit > Delete: removes the selected controls; one step.
  void deleteSelection();
  QUndoStack& undoStack() const { return *undoStack_; }
  // The message line: the last refused edit, load or save, or what a put did not do.
  QString message() const;
  PropertyList& propertyList() const { return *properties_; }

  // Opens the General page on the selection (modal); each apply is one step.
  void openGeneral();
  // The form as saved, read back in a new run window (owned by this window), sized to the form.
  RunWindow* run();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private Q_SLOTS:
  // A property of a control changed (its notify signal): the list follows the first selected.
  void controlChanged();

 private:
  class Overlay;
  enum class Drag { None, Move, Resize, Band };
  using Changes = std::vector<FormCommand::Change>;

  void buildActions();
  void updateTitle();
  ChangedOnDisk askWithMessageBox(const QString& path);
  void watchControls();
  void refreshProperties();
  void report(const QString& message);
  void selectionChanged();
  void selectNames(const QStringList& names);
  KestrinWidget* controlAt(const QPoint& pos) const;
  // The controls as the form file holds them now, to become a step's "before"; false (and the
  // reason shown) when one of them cannot write its properties.
  bool snapshot(const QList<KestrinWidget*>& controls, Changes& changes);
  // Completes `changes` with the controls as they are now and records them as one step named
  // `text`, when anything changed.
  void record(const QString& text, Changes changes);
  // A put that took effect differently from what was asked: what the status line says.
  QString outcome(const QString& name, const QString& text, const values::Variant& before,
                  const values::Variant& after) const;

  FormView* form_;
  Overlay* overlay_;
  PropertyList* properties_;
  QLabel* selectionLabel_;
  QLabel* messageLine_;
  QRubberBand* band_;
  QUndoStack* undoStack_;
  QString fileName_;
  forms::FileStamp stamp_;  // what fileName_ held when it was opened or last saved here
  std::function<ChangedOnDisk(const QString& path)> askChangedOnDisk_;
  QList<QPointer<KestrinWidget>> selection_;
  QList<QPointer<KestrinWidget>> watched_;
  bool refreshPending_ = false;
  bool recording_ = false;  // a step is being pushed: it is not an undo or redo
  int stackIndex_ = 0;
  Drag drag_ = Drag::None;
  QPoint dragStart_;
  std::vector<QRect> startGeometry_;
  Changes dragBefore_;
  QPointer<RunWindow> runWindow_;
};

}  // namespace kestrinx::demo
