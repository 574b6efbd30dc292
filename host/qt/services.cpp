#include "host/qt/services.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>

#include "host/qt/strings.h"
#include "values/functions.h"

namespace kestrinx::qthost {

values::Date toDate(const QDateTime& t) {
  const QDate d = t.date();
  const QTime tm = t.time();
  return values::dateFromParts(
      values::DateTimeParts{d.year(), d.month(), d.day(), tm.hour(), tm.minute(), tm.second()});
}

values::Date Services::now() const { return fixed_ ? *fixed_ : toDate(QDateTime::currentDateTime()); }

void Services::setNow(const QDateTime& t) { fixed_ = toDate(t); }

void Services::beep() {
  ++beeps_;
  QApplication::beep();
}

host::MsgBoxResult Services::msgBox(const std::string& text, host::MsgBoxButtons buttons, const std::string& title) {
  if (hook_) return hook_(Message{text, buttons, title});
  QMessageBox box(owner_ ? owner_->window() : nullptr);
  box.setWindowTitle(toQString(title));
  box.setText(toQString(text));
  // Escape and closing the box answer as the button that declines.
  switch (buttons) {
    case host::MsgBoxButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case host::MsgBoxButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel: return host::MsgBoxResult::Cancel;
    case QMessageBox::Yes: return host::MsgBoxResult::Yes;
    case QMessageBox::No: return host::MsgBoxResult::No;
    default: return host::MsgBoxResult::Ok;
  }
}

}  // namespace kestrinx::qthost
