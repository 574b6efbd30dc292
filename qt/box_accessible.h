// What a screen reader gets of a KestrinWidget's box: an editable text named by the control's
// caption (the box's accessible name), whose text is the entry without the spaces that
// right-align a number (the control's Text keeps them: offsets, caret and selection are counted
// after them), whose description is the outcome the box told (qt/box_outcome.h), and which is
// in the invalid-entry state while the outcome told was invalid (Qt's accessibility has no such
// state; qt/invalid_entry_state.h gives it to AT-SPI).
#pragma once

#include <QAccessibleWidget>
#include <functional>

class QLineEdit;

namespace kestrinx::qt {

class BoxOutcome;

class BoxAccessible final : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
 public:
  // `box`'s interface; `padded` says whether the box's leading spaces are alignment padding
  // (a numeric box), `outcome` what the box told.
  BoxAccessible(QLineEdit* box, std::function<bool()> padded, const BoxOutcome& outcome);

  void* interface_cast(QAccessible::InterfaceType t) override;
  QAccessible::State state() const override;
  // Whether the box is in the invalid-entry state.
  bool invalidEntry() const;
  QString text(QAccessible::Text t) const override;
  void setText(QAccessible::Text t, const QString& text) override;

  // QAccessibleTextInterface, over the entry without its padding.
  void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
  int selectionCount() const override;
  void addSelection(int startOffset, int endOffset) override;
  void removeSelection(int selectionIndex) override;
  void setSelection(int selectionIndex, int startOffset, int endOffset) override;
  int cursorPosition() const override;
  void setCursorPosition(int position) override;
  QString text(int startOffset, int endOffset) const override;
  int characterCount() const override;
  QRect characterRect(int offset) const override;
  int offsetAtPoint(const QPoint& point) const override;
  void scrollToSubstring(int startIndex, int endIndex) override;
  QString attributes(int offset, int* startOffset, int* endOffset) const override;

  // QAccessibleEditableTextInterface: edits as the user's.
  void deleteText(int startOffset, int endOffset) override;
  void insertText(int offset, const QString& text) override;
  void replaceText(int startOffset, int endOffset, const QString& text) override;

 private:
  QLineEdit* box() const;
  // How many characters of the line edit's text are padding.
  int padding() const;
  // The entry: the line edit's text after its padding.
  QString entry() const;

  std::function<bool()> padded_;
  const BoxOutcome& outcome_;
};

}  // namespace kestrinx::qt
