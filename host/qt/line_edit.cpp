// The line edit of a text box: its Qt events in the control's terms.
#include "host/qt/line_edit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "host/qt/keys.h"
#include "host/qt/strings.h"
#include "host/qt/text_box.h"
#include "host/qt/units.h"

namespace kestrinx::qthost {

namespace {

std::int16_t buttonCode(Qt::MouseButtons b) {
  std::int16_t code = 0;
  if (b & Qt::LeftButton) code |= 1;
  if (b & Qt::RightButton) code |= 2;
  if (b & Qt::MiddleButton) code |= 4;
  return code;
}

// OLE drop effects and Qt drop actions share their bits: 1 copy, 2 move, 4 link.
std::int32_t effectOf(Qt::DropActions a) { return static_cast<std::int32_t>(a.toInt()) & 7; }

bool isUndoKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Undo) || (e.key() == Qt::Key_Z && e.modifiers() == Qt::ControlModifier);
}
bool isRedoKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Redo) || (e.key() == Qt::Key_Y && e.modifiers() == Qt::ControlModifier) ||
         (e.key() == Qt::Key_Z && e.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier));
}

// Events that neither edit the text nor reach the control (Qt sends a ShortcutOverride before
// every key press; showing, placing, polishing and restyling a form send many to each widget)
// go to the line edit alone: no delivery, so nothing runs after them.
bool passive(QEvent::Type t) {
  switch (t) {
    case QEvent::ShortcutOverride:
    case QEvent::InputMethodQuery:
    case QEvent::Paint:
    case QEvent::UpdateRequest:
    case QEvent::UpdateLater:
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
    case QEvent::HoverMove:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::ToolTip:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Polish:
    case QEvent::PolishRequest:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ChildAdded:
    case QEvent::ChildPolished:
    case QEvent::ChildRemoved:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ReadOnlyChange:
    case QEvent::AcceptDropsChange:
    case QEvent::CursorChange:
    case QEvent::ToolTipChange:
    case QEvent::ContentsRectChange:
    case QEvent::LayoutRequest:
    case QEvent::ZOrderChange:
      return true;
    default:
      return false;
  }
}

// Runs the line edit's own handling of a drop event, keeping the drop action the control's
// handler chose.
template <typename Base>
void withDropAction(QDropEvent* e, Base&& base) {
  const Qt::DropAction chosen = e->dropAction();
  base();
  e->setDropAction(chosen);
}

}  // namespace

// The height QLineEdit::minimumSizeHint gives a line edit of `font` on `surface`, framed or
// not, measured as the line edit measures it, for a box whose line edit is not made yet.
int lineEditHeight(const QWidget& surface, const QFont& font, bool framed) {
  // The same few fonts are measured for every box of a form: the last ones are kept.
  struct Measured {
    QFont font;
    bool framed;
    int dpi;
    const QStyle* style;
    int height;
  };
  thread_local std::array<std::optional<Measured>, 4> kept;
  thread_local std::size_t next = 0;
  const int dpi = logicalDpiY(surface);
  const QStyle* style = surface.style();
  for (const std::optional<Measured>& m : kept)
    if (m && m->framed == framed && m->dpi == dpi && m->style == style && m->font == font) return m->height;
  const QFontMetrics fm(font, &surface);
  constexpr int kVerticalMargin = 1;  // QLineEdit's own margin above and below its text
  const int h = fm.height() + std::max(2 * kVerticalMargin, fm.leading());
  QStyleOptionFrame opt;
  opt.initFrom(&surface);
  opt.lineWidth = framed ? surface.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, nullptr) : 0;
  opt.midLineWidth = 0;
  opt.state |= QStyle::State_Sunken;
  opt.features = QStyleOptionFrame::None;
  const int height = style->sizeFromContents(QStyle::CT_LineEdit, &opt, QSize(fm.maxWidth(), h), nullptr).height();
  kept[next++ % kept.size()] = Measured{font, framed, dpi, style, height};
  return height;
}

qsizetype firstLineEnd(const QString& s) {
  const auto lineBreak = std::find_if(s.begin(), s.end(), [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0); });
  return static_cast<qsizetype>(lineBreak - s.begin());
}

QValidator::State SingleLine::validate(QString& input, int& pos) const {
  if (box_.programEdits_ > 0 || box_.reported_.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
    return Acceptable;
  const auto cut = static_cast<int>(firstLineEnd(input));
  if (cut == input.size()) return Acceptable;
  // The inserted text ends at the caret: what lies between the break and the caret goes.
  input = input.left(cut) + input.mid(std::max(pos, cut + 1));
  pos = cut;
  return Acceptable;
}

LineEdit::LineEdit(QWidget& parent, TextBox& box) : QLineEdit(&parent), box_(box) {}

bool LineEdit::event(QEvent* e) {
  // Whatever the line edit is asked or told, it first gets the edit held back, if any.
  box_.delivery_.settle();
  const QEvent::Type type = e->type();
  if (type == QEvent::FontChange || type == QEvent::StyleChange || type == QEvent::Polish) box_.least_.reset();
  if (passive(type)) return QLineEdit::event(e);
  bool result = false;
  const bool outermost = qtEvents_ == 0;
  if (outermost) box_.beginStep();
  box_.delivery_.deliver([&] {
    ++qtEvents_;
    result = QLineEdit::event(e);  // the handlers below deliver their parts, each guarded
    --qtEvents_;
    // An edit Qt made itself while handling the event (a paste, Delete, a drop) is reported
    // once the event is done. Events Qt sends while the program changes the text (the input
    // method's queries of a focused box) are no user edit: the program edit reports its change
    // itself, after it is complete.
    if (qtEvents_ == 0 && box_.programEdits_ == 0) box_.reportChange(host::ChangeSource::UserEdit);
  });
  if (outermost) box_.endStep();
  return result;
}

// ---- keys and input methods -------------------------------------------------------------

void LineEdit::keyPressEvent(QKeyEvent* e) {
  box_.delivery_.deliver([&] { keyPressed(*e); });
}

void LineEdit::keyPressed(QKeyEvent& e) {
  TextBox& b = box_;
  const std::int16_t code = keyCodeOf(e);
  std::int16_t downCode = code, downShift = shiftStateOf(e.modifiers());
  b.raise([&](host::TextBoxEvents& s) { s.onKeyDown(b.index_, downCode, downShift); });

  const QString typed = typedTextOf(e);
  if (typed == QStringLiteral("\r")) {
    // Enter keeps its meaning for the window (the default button) unless KeyPress discarded it.
    std::int16_t ascii = 13;
    b.raise([&](host::TextBoxEvents& s) { s.onKeyPress(b.index_, ascii); });
    if (ascii == 13) {
      QLineEdit::keyPressEvent(&e);
    } else {
      b.typeCode(ascii, {});
    }
    return;
  }
  if (!typed.isEmpty()) {
    typeCharacters(typed);
    return;
  }
  // KeyDown may cancel a key's own action by setting KeyCode to 0.
  if (code != 0 && downCode == 0) return;
  if (b.escapeRestores() && e.key() == Qt::Key_Escape && e.modifiers() == Qt::NoModifier) {
    const QString entry = b.optIns_->entryText;
    if (b.locked_ == values::False && text() != entry) b.replay({entry, static_cast<int>(entry.size())}, TextBox::Replay::Recorded);
    return;
  }
  if (b.undoEnabled() && isUndoKey(e)) return b.undo();
  if (b.undoEnabled() && isRedoKey(e)) return b.redo();
  if (e.matches(QKeySequence::Paste) && b.locked_ == values::False && !pasteAllowed()) return;
  QLineEdit::keyPressEvent(&e);
}

void LineEdit::typeCharacters(const QString& typed) {
  TextBox& b = box_;
  for (qsizetype i = 0; i < typed.size();) {
    const qsizetype n = characterLength(typed, i);
    const std::int16_t code = keyPressCodeAt(typed, i);
    std::int16_t ascii = code;
    b.raise([&](host::TextBoxEvents& s) { s.onKeyPress(b.index_, ascii); });
    // A code left as it was types the character itself (one beyond the basic plane included).
    b.typeCode(ascii, ascii == code ? typed.mid(i, n) : QString());
    i += n;
  }
}

void LineEdit::keyReleaseEvent(QKeyEvent* e) {
  box_.delivery_.deliver([&] {
    if (e->isAutoRepeat()) return;  // a held key raises KeyUp once, when it is let go
    std::int16_t upCode = keyCodeOf(*e), upShift = shiftStateOf(e->modifiers());
    box_.raise([&](host::TextBoxEvents& s) { s.onKeyUp(box_.index_, upCode, upShift); });
  });
  QLineEdit::keyReleaseEvent(e);
}

void LineEdit::inputMethodEvent(QInputMethodEvent* e) {
  const QString typed = typedTextOf(e->commitString());
  if (typed.isEmpty() || isReadOnly()) {
    QLineEdit::inputMethodEvent(e);  // composing, or a commit of nothing printable
    return;
  }
  box_.delivery_.deliver([&] {
    // The range the commit replaces is selected, so that the first character typed replaces
    // it, as the line edit's own commit would.
    if (e->replacementLength() > 0) setSelection(cursorPosition() + e->replacementStart(), e->replacementLength());
    typeCharacters(typed);
  });
  // What is still being composed, after the committed text.
  QInputMethodEvent rest(e->preeditString(), e->attributes());
  QLineEdit::inputMethodEvent(&rest);
}

// ---- focus ------------------------------------------------------------------------------

void LineEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  box_.delivery_.deliver([&] { focusEntered(); });
}

void LineEdit::focusOutEvent(QFocusEvent* e) {
  // Another window becoming active, or a popup (the context menu) opening, is no leaving.
  // The control's exit check comes before the line edit's editingFinished.
  if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
    box_.delivery_.deliver([&] { focusLeft(); });
  QLineEdit::focusOutEvent(e);
}

void LineEdit::focusEntered() {
  if (box_.focusReported_) return;  // the window became active again: the box never lost focus
  box_.focusReported_ = true;
  if (box_.optIns_) {
    box_.optIns_->entryText = text();
    // What the control does to the text on entry (the numeric regroup) would come straight back
    // after an undo: it is no step of its own.
    box_.optIns_->history.markNoStep();
  }
  box_.raise([&](host::TextBoxEvents& s) { s.onGotFocus(box_.index_); });
}

void LineEdit::focusLeft() {
  if (!box_.focusReported_) return;
  box_.focusReported_ = false;
  const QString before = text();
  box_.raise([&](host::TextBoxEvents& s) { s.onLostFocus(box_.index_); });
  if (box_.owner_ != nullptr) box_.owner_->left(box_, before);
}

// ---- the mouse --------------------------------------------------------------------------

void LineEdit::mousePressEvent(QMouseEvent* e) {
  QLineEdit::mousePressEvent(e);
  box_.delivery_.deliver([&] { mouse(*e); });
}
void LineEdit::mouseMoveEvent(QMouseEvent* e) {
  QLineEdit::mouseMoveEvent(e);
  box_.delivery_.deliver([&] { mouse(*e); });
}
void LineEdit::mouseReleaseEvent(QMouseEvent* e) {
  QLineEdit::mouseReleaseEvent(e);
  box_.delivery_.deliver([&] { mouse(*e); });
}
void LineEdit::mouseDoubleClickEvent(QMouseEvent* e) {
  QLineEdit::mouseDoubleClickEvent(e);
  box_.delivery_.deliver([&] { mouse(*e); });
}

void LineEdit::mouse(QMouseEvent& e) {
  TextBox& b = box_;
  const std::int16_t index = b.index_;
  std::int16_t button = buttonCode(e.type() == QEvent::MouseMove ? e.buttons() : Qt::MouseButtons(e.button()));
  std::int16_t shift = shiftStateOf(e.modifiers());
  float x = toTwipsX(*this, e.position().x());
  float y = toTwipsY(*this, e.position().y());
  switch (e.type()) {
    case QEvent::MouseButtonPress:
      b.raise([&](host::TextBoxEvents& s) { s.onMouseDown(index, button, shift, x, y); });
      return;
    case QEvent::MouseMove:
      b.raise([&](host::TextBoxEvents& s) { s.onMouseMove(index, button, shift, x, y); });
      return;
    case QEvent::MouseButtonDblClick:
      b.afterDoubleClick_ = true;
      b.raise([&](host::TextBoxEvents& s) { s.onDblClick(index); });
      return;
    case QEvent::MouseButtonRelease: break;
    default: return;
  }
  const bool click = e.button() == Qt::LeftButton && !b.afterDoubleClick_ && rect().contains(e.position().toPoint());
  b.afterDoubleClick_ = false;
  b.raise([&](host::TextBoxEvents& s) { s.onMouseUp(index, button, shift, x, y); });
  if (click) b.raise([&](host::TextBoxEvents& s) { s.onClick(index); });
}

void LineEdit::contextMenuEvent(QContextMenuEvent* e) {
  if (!box_.undoEnabled() && box_.owner_ == nullptr) {
    QLineEdit::contextMenuEvent(e);
    return;
  }
  const std::unique_ptr<QMenu> menu(createStandardContextMenu());
  adjustMenu(*menu);
  menu->exec(e->globalPos());
}

void LineEdit::adjustMenu(QMenu& menu) {
  TextBox& b = box_;
  // The line edit's standard actions, known by object name where Qt gives one, else by the
  // text Qt gives them (its own translation, so in any language).
  const auto is = [](const QAction* a, QLatin1String name, const char* text) {
    return a->objectName() == name || (!a->text().isEmpty() && a->text().startsWith(QLineEdit::tr(text)));
  };
  for (QAction* a : menu.actions()) {
    const bool isUndo = is(a, QLatin1String("edit-undo"), "&Undo");
    if (b.undoEnabled() && (isUndo || is(a, QLatin1String("edit-redo"), "&Redo"))) {
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      const UndoHistory& history = b.optIns_->history;
      a->setEnabled(b.locked_ == values::False && (isUndo ? history.canUndo() : history.canRedo()));
      QObject::connect(a, &QAction::triggered, this, [&b, isUndo] { isUndo ? b.undo() : b.redo(); });
    } else if (b.owner_ != nullptr && is(a, QLatin1String("edit-paste"), "&Paste")) {
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      QObject::connect(a, &QAction::triggered, this, [this] {
        if (pasteAllowed()) paste();
      });
    }
  }
}

bool LineEdit::pasteAllowed() const {
  if (box_.owner_ == nullptr) return true;
  QString pasted = QGuiApplication::clipboard()->text();
  pasted.truncate(firstLineEnd(pasted));
  QString result = text();
  if (hasSelectedText()) {
    result.replace(selectionStart(), selectionLength(), pasted);
  } else {
    result.insert(cursorPosition(), pasted);
  }
  return box_.owner_->pasteAllowed(pasted, result);
}

// ---- dragging ---------------------------------------------------------------------------

void LineEdit::dragLeaveEvent(QDragLeaveEvent* e) {
  box_.delivery_.deliver([&] { drag(nullptr, 1); });
  QLineEdit::dragLeaveEvent(e);
}

void LineEdit::dropEvent(QDropEvent* e) {
  bool automatic = false;
  box_.delivery_.deliver([&] { automatic = drag(e, -1); });
  if (automatic) withDropAction(e, [&] { QLineEdit::dropEvent(e); });
}

void LineEdit::dragOver(QDragMoveEvent* e, std::int16_t state) {
  bool automatic = false;
  box_.delivery_.deliver([&] { automatic = drag(e, state); });
  if (!automatic) return;
  withDropAction(e, [&] {
    if (state == 0) {
      QLineEdit::dragEnterEvent(static_cast<QDragEnterEvent*>(e));
    } else {
      QLineEdit::dragMoveEvent(e);
    }
  });
}

bool LineEdit::drag(QDropEvent* e, std::int16_t state) {
  TextBox& b = box_;
  if (e != nullptr && state != 2) {
    // A drag entering or dropping: its data as the control sees it.
    b.rare().dragData = std::make_shared<values::DataObject>();
    if (e->mimeData()->hasText())
      b.rare().dragData->setData(values::DataObject::TextFormat, toStdString(e->mimeData()->text()));
  }
  values::DataObjectRef data = b.rare_ ? b.rare_->dragData : nullptr;
  std::int32_t effect = e != nullptr ? effectOf(e->possibleActions()) & effectOf(e->proposedAction()) : 0;
  std::int16_t button = e != nullptr ? buttonCode(e->buttons()) : 0;
  std::int16_t shift = e != nullptr ? shiftStateOf(e->modifiers()) : 0;
  float x = e != nullptr ? toTwipsX(*this, e->position().x()) : 0.0f;
  float y = e != nullptr ? toTwipsY(*this, e->position().y()) : 0.0f;
  const std::int16_t index = b.index_;
  if (state >= 0) {
    b.raise([&](host::TextBoxEvents& s) { s.onOLEDragOver(index, data, effect, button, shift, x, y, state); });
  } else {
    b.raise([&](host::TextBoxEvents& s) { s.onOLEDragDrop(index, data, effect, button, shift, x, y); });
  }
  if (e == nullptr) return false;
  if ((effect & 7) == 0) {
    e->ignore();
    return false;
  }
  // The effect the handler left decides the drop action.
  e->setDropAction((effect & 2) != 0 ? Qt::MoveAction : (effect & 1) != 0 ? Qt::CopyAction : Qt::LinkAction);
  e->accept();
  // With automatic dropping the line edit shows where the text goes and takes it, as a user edit.
  return b.oleDropMode_ == 2;
}

}  // namespace kestrinx::qthost
