// A box's text with its caret and selection: what one held keystroke, one undo step or one
// replay keeps and puts back.
#pragma once

#include <QString>

class QLineEdit;

namespace kestrinx::qthost {

struct EditState {
  QString text;
  int cursor = 0;
  int selStart = -1;  // -1: no selection
  int selLength = 0;
};

// The line edit's text, caret and selection.
EditState editStateOf(const QLineEdit& e);
// Puts the caret and selection of `s` on the line edit (which already holds s.text): the caret
// at whichever end of the selection `s` has it.
void applyCaret(QLineEdit& e, const EditState& s);

}  // namespace kestrinx::qthost
