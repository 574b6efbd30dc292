// The line edit a text box shows, and the box's adapter to Qt: each Qt event the line edit
// gets reaches the control through its box (TextBox), in the control's terms and order, as on
// the headless host:
//   - a key: KeyDown; then each character the key types (keys.h: a printable character, or
//     several for a key that types more than one, Backspace, Enter) goes through KeyPress by
//     reference and is typed as KeyPress leaves its code (0 discards it), with a Change when it
//     edited; KeyUp when the key is let go. A key with an action of its own (Delete, the
//     arrows, Ctrl+V) goes KeyDown, its action unless KeyDown set KeyCode to 0, KeyUp. Enter
//     keeps its meaning for the window (the default button) unless KeyPress discarded it;
//   - an input method: each character of the text it commits goes through KeyPress and is
//     typed as a key's character is (no KeyDown or KeyUp: the input method had the keys); the
//     text still being composed shows in the line edit and is no part of the box's text;
//   - focus: GotFocus and LostFocus; a window losing the active state, or a popup opening, is
//     not leaving the box;
//   - the mouse: MouseDown, MouseMove and MouseUp with twips in the box's own coordinates,
//     Click after a left button press and release in the box, DblClick;
//   - a drag over a box with OLEDropMode 1 or 2: OLEDragOver as it enters and moves, OLEDragDrop
//     as it drops (with 2 the line edit also takes the dropped text, as a user edit);
//   - an edit Qt makes itself while handling an event (a paste, Delete, a drop) is reported to
//     the control as the user's Change once the event is done.
#pragma once

#include <QLineEdit>
#include <QDragEnterEvent>
#include <QValidator>
#include <cstdint>

class QDropEvent;
class QDragMoveEvent;
class QInputMethodEvent;
class QMenu;

namespace kestrinx::qthost {

class TextBox;

// A single-line box takes what the user pastes or drops up to its first line break, and keeps
// the text after the caret. The program's own texts are taken as they are, and so is a user's
// edit of a text in which the program put a line break.
class SingleLine final : public QValidator {
 public:
  SingleLine(const TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}
  State validate(QString& input, int& pos) const override;

 private:
  const TextBox& box_;
};

// Where the first line of a pasted or dropped text ends: at its first line break (CR, LF or
// NUL), else at its end.
qsizetype firstLineEnd(const QString& s);

// The height QLineEdit::minimumSizeHint gives a line edit of `font` on `surface`, framed or not,
// measured as the line edit measures it (for a box whose line edit is not made yet).
int lineEditHeight(const QWidget& surface, const QFont& font, bool framed);

class LineEdit final : public QLineEdit {
 public:
  LineEdit(QWidget& parent, TextBox& box);
  // The number of Qt events of the line edit being handled (0: none).
  int qtEvents() const { return qtEvents_; }

 protected:
  bool event(QEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override { dragOver(e, 0); }
  void dragMoveEvent(QDragMoveEvent* e) override { dragOver(e, 2); }
  void dragLeaveEvent(QDragLeaveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void keyPressed(QKeyEvent& e);
  // Each character of `typed` through KeyPress, then typed as KeyPress left it.
  void typeCharacters(const QString& typed);
  void focusEntered();
  void focusLeft();
  // Whether a paste may land (the box's paste filter, asked with the clipboard's first line).
  bool pasteAllowed() const;
  void mouse(QMouseEvent& e);
  void dragOver(QDragMoveEvent* e, std::int16_t state);
  // A drag entering (state 0), leaving (1, no event), moving over (2) or dropping (-1): raised
  // to the control; true when the line edit handles the event too (automatic dropping).
  bool drag(QDropEvent* e, std::int16_t state);
  // The context menu with Undo, Redo and Paste taken over by the box's opt-ins.
  void adjustMenu(QMenu& menu);

  TextBox& box_;
  int qtEvents_ = 0;
};

}  // namespace kestrinx::qthost
