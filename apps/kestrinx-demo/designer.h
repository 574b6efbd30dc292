// The demo's design mode: a form designer over a FormView in design mode (UserMode False).
// Controls are added, selected (click, Ctrl+click, a rubber band on the empty form), moved by
// dragging and resized by their lower right corner. The property list shows every published
// property of the first selected control, from the member table, and edits it in place: an
// edit goes to each selected control's own put, and a put the control refuses (a read-only
// ValidState, a value of the wrong type) is reported in the list's message line and the status
// bar. The last property change can be undone. "General..." opens the General page on the
// selection; forms are opened from and saved to form files; "Run" opens the form as saved in a
// run window.
#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "form_view.h"
#include "forms/atomic_file.h"
#include "values/variant.h"

class QLabel;
class QRubberBand;
class QTableWidget;

namespace kestrinx::demo {

class RunWindow;

class Designer final : public QMainWindow {
  Q_OBJECT

 public:
  explicit Designer(QWidget* parent = nullptr);
  ~Designer() override;

  // Opens a form file; false (and the reason shown) when it cannot be read or shown. Controls
  // that stopped loading are reported and shown as far as they got.
  bool openFile(const QString& path);
  // Saves the form atomically, under the file's lock (forms::FileLock); false (and the reason
  // shown) when it cannot be saved. Saving over the open file when another program has changed
  // it since it was opened or last saved here asks what to do (askChangedOnDisk): reload it,
  // losing the edits; overwrite it; or leave it and keep editing. Save As over another file
  // replaces it (the file dialog has asked).
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
  // does; false when the text does not convert or a control refuses (the message says why).
  bool setProperty(const QString& name, const QString& text);
  // Undoes the last property change; false when there is none.
  bool undo();
  // The message of the last refused edit, load or save ("" after a success).
  QString message() const;
  QTableWidget& propertyList() const { return *properties_; }

  // Opens the General page on the selection (modal).
  void openGeneral();
  // The form as saved, read back in a new run window (owned by this window).
  RunWindow* run();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private Q_SLOTS:
  // A property of a control changed (its notify signal): the list follows the first selected.
  void controlChanged();

 private:
  class Overlay;
  struct Change {
    QString property;
    std::vector<std::pair<QPointer<KestrinWidget>, values::Variant>> before;
  };
  enum class Drag { None, Move, Resize, Band };

  void buildActions();
  ChangedOnDisk askWithMessageBox(const QString& path);
  void watchControls();
  void refreshProperties();
  void report(const QString& message);
  void selectionChanged();
  KestrinWidget* controlAt(const QPoint& pos) const;

  FormView* form_;
  Overlay* overlay_;
  QTableWidget* properties_;
  QLabel* selectionLabel_;
  QLabel* messageLine_;
  QRubberBand* band_;
  QString fileName_;
  forms::FileStamp stamp_;  // what fileName_ held when it was opened or last saved here
  std::function<ChangedOnDisk(const QString& path)> askChangedOnDisk_;
  QList<QPointer<KestrinWidget>> selection_;
  std::vector<Change> undo_;
  bool refreshing_ = false;
  bool refreshPending_ = false;
  QList<QPointer<KestrinWidget>> watched_;
  Drag drag_ = Drag::None;
  QPoint dragStart_;
  std::vector<QRect> startGeometry_;
  QPointer<RunWindow> runWindow_;
};

}  // namespace kestrinx::demo
