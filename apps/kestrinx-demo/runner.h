// The demo's run mode: a form read from its saved form file with every control running
// (UserMode True), and beside it each control's text and ValidState and a log of the events the
// user's typing raises (GotFocus, KeyPress, Change, Click, DblClick, LostFocus, ValidState).
// Below the form, a switch for each of the widget's opt-ins (KestrinWidget::optIns()), applied to
// every control of the form. The window opens at the size the form and the panels ask for, so
// every control shows; Ctrl+W (the platform's Close key) and Escape close it (an Escape a box
// takes for itself, under the escapeRestores opt-in, stays the box's).
#pragma once

#include <QStringList>
#include <QVariant>
#include <QWidget>

#include "form_view.h"
#include "forms/form_file.h"

class QListWidget;
class QTableWidget;

namespace kestrinx::demo {

class RunWindow final : public QWidget {
  Q_OBJECT

 public:
  // Shows `saved` running. Controls that stopped loading are listed in the log.
  explicit RunWindow(const forms::FormFile& saved, QWidget* parent = nullptr);
  ~RunWindow() override;

  FormView& form() const { return *form_; }
  // The event log, oldest first.
  QStringList log() const;
  // The opt-in switches: a check box for each Boolean opt-in and a spin box for each whole-number
  // one, each named after its property.
  QWidget& optInPanel() const { return *optIns_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void watch(KestrinWidget* w);
  void note(const QString& line);
  void refreshStates();
  KestrinWidget* controlOf(QWidget* w) const;
  QWidget* makeOptInPanel();
  void setOptIn(const QString& name, const QVariant& value);

  FormView* form_;
  QTableWidget* states_;
  QListWidget* log_;
  QWidget* optIns_;
  // The application-wide focus watch, ended before the window's children go (their focus
  // moves as they are destroyed).
  QMetaObject::Connection focusWatch_;
};

}  // namespace kestrinx::demo
