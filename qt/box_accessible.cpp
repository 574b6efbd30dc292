#include "qt/box_accessible.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <algorithm>

#include "qt/box_outcome.h"

namespace kestrinx::qt {

BoxAccessible::BoxAccessible(QLineEdit* box, std::function<bool()> padded, const BoxOutcome& outcome)
    : QAccessibleWidget(box, QAccessible::EditableText), padded_(std::move(padded)), outcome_(outcome) {}

QLineEdit* BoxAccessible::box() const { return static_cast<QLineEdit*>(widget()); }

int BoxAccessible::padding() const {
  if (!padded_ || !padded_()) return 0;
  const QString t = box()->text();
  const auto first = std::find_if(t.begin(), t.end(), [](QChar c) { return c != u' '; });
  return static_cast<int>(first - t.begin());
}

QString BoxAccessible::entry() const { return box()->text().mid(padding()); }

void* BoxAccessible::interface_cast(QAccessible::InterfaceType t) {
  if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
  if (t == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
  return QAccessibleWidget::interface_cast(t);
}

QAccessible::State BoxAccessible::state() const {
  QAccessible::State s = QAccessibleWidget::state();
  s.editable = !box()->isReadOnly();
  s.readOnly = box()->isReadOnly();
  s.selectableText = true;
  return s;
}

bool BoxAccessible::invalidEntry() const { return outcome_.invalid(); }

QString BoxAccessible::text(QAccessible::Text t) const {
  if (t == QAccessible::Value) return entry();
  return QAccessibleWidget::text(t);
}

void BoxAccessible::setText(QAccessible::Text t, const QString& text) {
  if (t != QAccessible::Value) {
    QAccessibleWidget::setText(t, text);
    return;
  }
  box()->selectAll();
  box()->insert(text);  // as the user's edit
}

void BoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
  *startOffset = *endOffset = 0;
  if (selectionIndex != 0 || !box()->hasSelectedText()) return;
  const int p = padding();
  *startOffset = std::max(0, box()->selectionStart() - p);
  *endOffset = std::max(0, box()->selectionEnd() - p);
}

int BoxAccessible::selectionCount() const { return box()->hasSelectedText() ? 1 : 0; }

void BoxAccessible::addSelection(int startOffset, int endOffset) { setSelection(0, startOffset, endOffset); }

void BoxAccessible::removeSelection(int selectionIndex) {
  if (selectionIndex == 0) box()->deselect();
}

void BoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
  if (selectionIndex != 0) return;
  box()->setSelection(startOffset + padding(), endOffset - startOffset);
}

int BoxAccessible::cursorPosition() const { return std::max(0, box()->cursorPosition() - padding()); }

void BoxAccessible::setCursorPosition(int position) { box()->setCursorPosition(position + padding()); }

QString BoxAccessible::text(int startOffset, int endOffset) const {
  if (startOffset > endOffset) return {};
  return entry().mid(startOffset, endOffset - startOffset);
}

int BoxAccessible::characterCount() const { return static_cast<int>(entry().size()); }

QRect BoxAccessible::characterRect(int offset) const {
  const QString t = box()->text();
  const int at = offset + padding();
  if (offset < 0 || at >= t.size()) return {};
  // Measured from the caret, whose place the line edit tells input methods.
  const QRect caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  const QFontMetrics fm(box()->font());
  const int x = caret.x() + fm.horizontalAdvance(t.left(at)) - fm.horizontalAdvance(t.left(box()->cursorPosition()));
  const QRect r(x, caret.y(), fm.horizontalAdvance(t.mid(at, 1)), fm.height());
  return QRect(box()->mapToGlobal(r.topLeft()), r.size());
}

int BoxAccessible::offsetAtPoint(const QPoint& point) const {
  const QPoint local = box()->mapFromGlobal(point);
  if (!box()->rect().contains(local)) return -1;
  return std::max(0, box()->cursorPositionAt(local) - padding());
}

void BoxAccessible::scrollToSubstring(int /*startIndex*/, int endIndex) { setCursorPosition(endIndex); }

QString BoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
  // One run of the box's own font and colours: no attributes of its own.
  *startOffset = 0;
  *endOffset = std::max(offset, characterCount());
  return {};
}

void BoxAccessible::deleteText(int startOffset, int endOffset) {
  setSelection(0, startOffset, endOffset);
  box()->del();
}

void BoxAccessible::insertText(int offset, const QString& text) {
  setCursorPosition(offset);
  box()->insert(text);
}

void BoxAccessible::replaceText(int startOffset, int endOffset, const QString& text) {
  setSelection(0, startOffset, endOffset);
  box()->insert(text);
}

}  // namespace kestrinx::qt
