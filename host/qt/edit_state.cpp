#include "host/qt/edit_state.h"

#include <QLineEdit>

namespace kestrinx::qthost {

EditState editStateOf(const QLineEdit& e) {
  EditState s{e.text(), e.cursorPosition()};
  if (e.hasSelectedText()) {
    s.selStart = e.selectionStart();
    s.selLength = e.selectionLength();
  }
  return s;
}

void applyCaret(QLineEdit& e, const EditState& s) {
  if (s.selStart < 0) {
    e.setCursorPosition(s.cursor);
  } else if (s.cursor == s.selStart) {
    e.setSelection(s.selStart + s.selLength, -s.selLength);  // caret at the selection's start
  } else {
    e.setSelection(s.selStart, s.selLength);
  }
}

}  // namespace kestrinx::qthost
