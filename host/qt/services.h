// The Qt host's services: the clock (the system's through QDateTime, or a fixed time a program
// or test sets), the beep (QApplication::beep) and the message box (QMessageBox, modal to the
// control's window).
//
// Message boxes can be answered without showing them: a program that sets a message hook gets
// every message instead of a QMessageBox and answers it itself. Tests use this so a run without
// a screen (QT_QPA_PLATFORM=offscreen) never waits for a click.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "host/services.h"
#include "values/variant.h"

class QDateTime;

namespace kestrinx::qthost {

struct Message {
  std::string text;
  host::MsgBoxButtons buttons;
  std::string title;
};

class Services final : public host::Services {
 public:
  using MessageHook = std::function<host::MsgBoxResult(const Message&)>;

  // `owner`: the widget whose window a message box is modal to (may be null).
  explicit Services(QWidget* owner = nullptr) : owner_(owner) {}

  values::Date now() const override;
  // A fixed clock (local time); useSystemClock goes back to the system's.
  void setNow(const QDateTime& t);
  void useSystemClock() { fixed_.reset(); }

  void beep() override;
  int beeps() const { return beeps_; }

  host::MsgBoxResult msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) override;
  // Answers every message instead of a QMessageBox; an empty hook shows QMessageBoxes again.
  void setMessageHook(MessageHook hook) { hook_ = std::move(hook); }

  // How date entries are read (the default: the fixed rules of values/functions.h).
  values::DateReading dateReading() const override { return dateReading_; }
  void setDateReading(const values::DateReading& r) { dateReading_ = r; }

 private:
  QPointer<QWidget> owner_;
  std::optional<values::Date> fixed_;
  int beeps_ = 0;
  MessageHook hook_;
  values::DateReading dateReading_;
};

// The automation date of a local date and time.
values::Date toDate(const QDateTime& t);

}  // namespace kestrinx::qthost
