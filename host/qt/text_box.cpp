// The Qt host's text box: a QLineEdit whose keys, focus changes, mouse and drag events reach the
// control in the same order, with the same by-reference arguments, as on the headless host.
#include "host/qt/text_box.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDrag>
#include <QDropEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QValidator>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>

#include "host/accepted_values.h"
#include "host/event_depth.h"
#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/keys.h"
#include "host/qt/strings.h"
#include "values/error.h"

namespace kestrinx::qthost {

namespace {

// MaxLength 0 means no limit; a QLineEdit always has one: its limit for a MaxLength.
constexpr int kNoLimit = std::numeric_limits<int>::max();
constexpr int qtMaxLength(std::int32_t maxLength) { return maxLength == 0 ? kNoLimit : maxLength; }

std::int16_t buttonCode(Qt::MouseButtons b) {
  std::int16_t code = 0;
  if (b & Qt::LeftButton) code |= 1;
  if (b & Qt::RightButton) code |= 2;
  if (b & Qt::MiddleButton) code |= 4;
  return code;
}

// The mouse pointers 0..15 as Qt cursors (0, and 99 for a custom icon, use the box's own).
constexpr std::array<Qt::CursorShape, 16> kPointers = {
    Qt::IBeamCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
    Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
    Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
    Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

// OLE drop effects and Qt drop actions share their bits: 1 copy, 2 move, 4 link.
std::int32_t effectOf(Qt::DropActions a) { return static_cast<std::int32_t>(a.toInt()) & 7; }

// Undo history kept per box; older steps are forgotten beyond this.
constexpr std::size_t kUndoSteps = 100;

// Where the first line of a pasted or dropped text ends: at its first line break (CR, LF or
// NUL), else at its end. A single-line box takes no more.
qsizetype firstLineEnd(const QString& s) {
  const auto lineBreak = std::find_if(s.begin(), s.end(), [](QChar c) { return c == u'\r' || c == u'\n' || c == QChar(0); });
  return static_cast<qsizetype>(lineBreak - s.begin());
}

bool isUndoKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Undo) || (e.key() == Qt::Key_Z && e.modifiers() == Qt::ControlModifier);
}
bool isRedoKey(const QKeyEvent& e) {
  return e.matches(QKeySequence::Redo) || (e.key() == Qt::Key_Y && e.modifiers() == Qt::ControlModifier) ||
         (e.key() == Qt::Key_Z && e.modifiers() == (Qt::ControlModifier | Qt::ShiftModifier));
}

}  // namespace

// A single-line box takes what the user pastes or drops up to its first line break, and keeps
// the text after the caret. The program's own texts are taken as they are, and so is a user's
// edit of a text in which the program put a line break.
class SingleLine final : public QValidator {
 public:
  SingleLine(const TextBox& box, QObject* parent) : QValidator(parent), box_(box) {}
  State validate(QString& input, int& pos) const override {
    if (box_.programEdits_ > 0 || box_.reported_.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
      return Acceptable;
    const auto cut = static_cast<int>(firstLineEnd(input));
    if (cut == input.size()) return Acceptable;
    // The inserted text ends at the caret: what lies between the break and the caret goes.
    input = input.left(cut) + input.mid(std::max(pos, cut + 1));
    pos = cut;
    return Acceptable;
  }

 private:
  const TextBox& box_;
};

// The line edit: each Qt event it gets is delivered to the control through its box.
class LineEdit final : public QLineEdit {
 public:
  LineEdit(QWidget& parent, TextBox& box) : QLineEdit(&parent), box_(box) {}

  void baseKeyPress(QKeyEvent* e) { QLineEdit::keyPressEvent(e); }
  int qtEvents = 0;  // nesting of Qt events being handled

 protected:
  bool event(QEvent* e) override {
    // Whatever the line edit is asked or told, it first gets the edit held back, if any.
    box_.delivery_.settle();
    if (passive(e->type())) return QLineEdit::event(e);
    bool result = false;
    const bool outermost = qtEvents == 0;
    if (outermost) box_.beginStep();
    box_.delivery_.deliver([&] {
      ++qtEvents;
      result = QLineEdit::event(e);  // the handlers below deliver their parts, each guarded
      --qtEvents;
      // An edit Qt made itself while handling the event (a paste, Delete, input-method text, a
      // drop) is reported once the event is done. Events Qt sends while the program changes
      // the text (the input method's queries of a focused box) are no user edit: the program
      // edit reports its change itself, after it is complete.
      if (qtEvents == 0 && box_.programEdits_ == 0) box_.reportChange(host::ChangeSource::UserEdit);
    });
    if (outermost) box_.endStep();
    return result;
  }
  // Events that neither edit the text nor reach the control (Qt sends a ShortcutOverride before
  // every key press; showing, placing, polishing and restyling a form send many to each widget)
  // go to the line edit alone: no delivery, so nothing runs after them.
  static bool passive(QEvent::Type t) {
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
  void keyPressEvent(QKeyEvent* e) override {
    box_.delivery_.deliver([&] { box_.keyPressed(*e); });
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    box_.delivery_.deliver([&] { box_.keyReleased(*e); });
    QLineEdit::keyReleaseEvent(e);
  }
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    box_.delivery_.deliver([&] { box_.focusEntered(); });
  }
  void focusOutEvent(QFocusEvent* e) override {
    // Another window becoming active, or a popup (the context menu) opening, is no leaving.
    // The control's exit check comes before the line edit's editingFinished.
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason)
      box_.delivery_.deliver([&] { box_.focusLeft(); });
    QLineEdit::focusOutEvent(e);
  }
  void mousePressEvent(QMouseEvent* e) override {
    QLineEdit::mousePressEvent(e);
    box_.delivery_.deliver([&] { box_.mouseEvent(*e); });
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    QLineEdit::mouseMoveEvent(e);
    box_.delivery_.deliver([&] { box_.mouseEvent(*e); });
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    QLineEdit::mouseReleaseEvent(e);
    box_.delivery_.deliver([&] { box_.mouseEvent(*e); });
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    QLineEdit::mouseDoubleClickEvent(e);
    box_.delivery_.deliver([&] { box_.mouseEvent(*e); });
  }
  void contextMenuEvent(QContextMenuEvent* e) override {
    if (!box_.undoEnabled_ && !box_.pasteFilter_) {
      QLineEdit::contextMenuEvent(e);
      return;
    }
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    box_.adjustMenu(*menu);
    menu->exec(e->globalPos());
  }
  void dragEnterEvent(QDragEnterEvent* e) override { dragOver(e, 0); }
  void dragMoveEvent(QDragMoveEvent* e) override { dragOver(e, 2); }
  void dragLeaveEvent(QDragLeaveEvent* e) override {
    box_.delivery_.deliver([&] { box_.dragEvent(nullptr, 1); });
    QLineEdit::dragLeaveEvent(e);
  }
  void dropEvent(QDropEvent* e) override {
    bool automatic = false;
    box_.delivery_.deliver([&] { automatic = box_.dragEvent(e, -1); });
    if (automatic) withDropAction(e, [&] { QLineEdit::dropEvent(e); });
  }

 private:
  void dragOver(QDragMoveEvent* e, std::int16_t state) {
    bool automatic = false;
    box_.delivery_.deliver([&] { automatic = box_.dragEvent(e, state); });
    if (!automatic) return;
    withDropAction(e, [&] {
      if (state == 0) {
        QLineEdit::dragEnterEvent(static_cast<QDragEnterEvent*>(e));
      } else {
        QLineEdit::dragMoveEvent(e);
      }
    });
  }
  // Runs the line edit's own handling, keeping the drop action the control's handler chose.
  template <typename Base>
  static void withDropAction(QDropEvent* e, Base&& base) {
    const Qt::DropAction chosen = e->dropAction();
    base();
    e->setDropAction(chosen);
  }

  TextBox& box_;
};

// Makes the line edit of a box made on demand when its surface shows and the box is to show.
class ShowWatch final : public QObject {
 public:
  explicit ShowWatch(TextBox& box) : box_(box) {}
  bool eventFilter(QObject* /*watched*/, QEvent* e) override {
    if (e->type() == QEvent::Show && box_.visible()) box_.edit();
    return false;
  }

 private:
  TextBox& box_;
};

TextBox::TextBox(QWidget& surface, Look look, Delivery& delivery, Creation creation)
    : delivery_(delivery), surface_(surface), look_(look), font_(std::make_shared<values::Font>()) {
  installFontSubstitutions();
  if (creation == Creation::Now) {
    makeLineEdit();
    return;
  }
  showWatch_ = std::make_unique<ShowWatch>(*this);
  surface_.installEventFilter(showWatch_.get());
}

TextBox::~TextBox() {
  delivery_.released(*this);
  delete edit_.data();
}

void TextBox::surfaceShowing() {
  if (!made_ && visible_) makeLineEdit();
}

void TextBox::placeAmong(QWidget& before, QWidget& above) {
  before_ = &before;
  above_ = &above;
}

void TextBox::placeAmong(TextBox& before, QWidget& above) {
  beforeBox_ = &before;
  above_ = &above;
}

LineEdit& TextBox::edit() const {
  if (!made_ && edit_.isNull()) const_cast<TextBox*>(this)->makeLineEdit();
  return *edit_;
}

void TextBox::makeLineEdit() {
  // The box this one follows is made first, so that the two stand in their order.
  QWidget* before = beforeBox_ != nullptr ? &beforeBox_->edit() : before_.data();
  // Until the kept text is in, the box's text is the kept one (what the events Qt sends the new
  // line edit compare with the text last reported).
  auto* e = new LineEdit(surface_, *this);
  edit_ = e;
  e->setFrame(look_ == Look::Framed);
  e->setMaxLength(qtMaxLength(maxLength_));
  e->setAcceptDrops(oleDropMode_ != 0);
  e->setMouseTracking(true);  // MouseMove also without a button held
  singleLine_ = new SingleLine(*this, e);
  e->setValidator(singleLine_);
  e->setFont(toQFont(*font_));
  applyPalette();
  QObject::connect(e, &QLineEdit::textChanged, e, [this] { textChangedByQt(); });
  if (!showWatch_) {
    made_ = true;
    return;  // made with the box: nothing was set before
  }
  // A box made on demand takes what was set on it so far, and its place among its siblings.
  surface_.removeEventFilter(showWatch_.get());
  ++programEdits_;
  e->setText(keptText_);
  e->setCursorPosition(keptCursor_);
  --programEdits_;
  keptText_.clear();
  made_ = true;
  if (enabled_ == values::False) e->setEnabled(false);
  if (locked_ != values::False) e->setReadOnly(true);
  if (mousePointer_ != 0 && mousePointer_ != 99) e->setCursor(kPointers[static_cast<std::size_t>(mousePointer_)]);
  if (!toolTip_.empty()) e->setToolTip(toQString(toolTip_));
  if (oleDragMode_ == 1) e->setDragEnabled(true);
  if (above_) e->stackUnder(above_);
  if (before != nullptr) {
    // Qt orders the focus chain only between widgets that take focus; the surface takes none,
    // so it takes tab focus for the moment.
    const Qt::FocusPolicy policy = before->focusPolicy();
    if (policy == Qt::NoFocus) before->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(before, e);
    if (policy == Qt::NoFocus) before->setFocusPolicy(policy);
  }
  if (placed_) replace();
  if (!visible_) {
    e->setVisible(false);
  } else if (surface_.isVisible()) {
    e->show();  // a child made after its parent shows is shown by hand
  }
}

QLineEdit& TextBox::lineEdit() const {
  // Settling changes what the line edit shows, not what the box holds.
  const_cast<TextBox*>(this)->delivery_.settle();
  return edit();
}
QWidget& TextBox::widget() const { return edit(); }
QWidget* TextBox::madeWidget() const { return made_ ? edit_.data() : nullptr; }
int TextBox::minimumHeight() const { return edit().minimumSizeHint().height(); }

void TextBox::setVisible(bool v) {
  // A box not made yet is made when it is to show on a surface that shows (else when the surface does).
  if (!made_ && !(v && surface_.isVisible())) {
    visible_ = v;
    return;
  }
  Element::setVisible(v);
}

template <typename Call>
void TextBox::raise(Call&& call) {
  host::detail::raiseEvent(sink_, call);
}

void TextBox::reportChange(host::ChangeSource source) {
  const std::string& now = utf8Of(currentText());
  if (now == reported_) return;
  reported_ = now;
  raise([&](host::TextBoxEvents& s) { s.onChange(index_, source); });
}

template <typename Edit>
void TextBox::programEdit(Edit&& edit) {
  ++programEdits_;
  edit();
  --programEdits_;
  reportChange(host::ChangeSource::Program);
  // A text the program sets outside the user's doing starts a new history.
  if (!inStep_ && replaying_ == 0) clearHistory();
}

void TextBox::textChangedByQt() {
  if (programEdits_ > 0 || edit_->qtEvents > 0) return;
  // Outside any event of the box: an edit through the line edit's own slots (the context
  // menu's Paste, say) is a user edit, reported now, and a step of its own (with what its
  // Change does).
  inStep_ = true;
  delivery_.deliver([&] { reportChange(host::ChangeSource::UserEdit); });
  endStep();
}

// ---- opt-in features ------------------------------------------------------------------

TextBox::EditState TextBox::editState() const {
  if (held_) return held_->state;
  EditState s;
  if (!made_) {
    s.text = keptText_;
    s.cursor = keptCursor_;
    return s;
  }
  s.text = edit_->text();
  s.cursor = edit_->cursorPosition();
  if (edit_->hasSelectedText()) {
    s.selStart = edit_->selectionStart();
    s.selLength = edit_->selectionLength();
  }
  return s;
}

void TextBox::applyCaret(const EditState& s) {
  if (s.selStart < 0) {
    edit_->setCursorPosition(s.cursor);
  } else if (s.cursor == s.selStart) {
    edit_->setSelection(s.selStart + s.selLength, -s.selLength);  // caret at the selection's start
  } else {
    edit_->setSelection(s.selStart, s.selLength);
  }
}

void TextBox::setUndoEnabled(bool on) {
  undoEnabled_ = on;
  clearHistory();
}

void TextBox::clearHistory() {
  undo_.clear();
  redo_.clear();
  settled_ = editState();
  unrecorded_ = false;
}

void TextBox::beginStep() {
  settled_ = editState();
  inStep_ = true;
}

void TextBox::endStep() {
  if (!edit_) return;
  if (undoEnabled_ && !unrecorded_ && edit_->text() != settled_.text) {
    undo_.push_back(settled_);
    if (undo_.size() > kUndoSteps) undo_.erase(undo_.begin());
    redo_.clear();
  }
  unrecorded_ = false;
  inStep_ = false;
  settled_ = editState();
}

void TextBox::replay(const EditState& s, bool recorded) {
  delivery_.settle();
  ++replaying_;
  ++programEdits_;
  edit_->setText(s.text);
  applyCaret(s);
  --programEdits_;
  reportChange(host::ChangeSource::UserEdit);
  // The Change handler may have rewritten the text (a numeric regroup) and moved the caret;
  // the state's own caret stands when the text is the state's.
  if (edit_->text() == s.text) applyCaret(s);
  --replaying_;
  if (!recorded) unrecorded_ = true;
  if (!inStep_) endStep();  // called by the program, outside the box's events
}

void TextBox::undo() {
  delivery_.settle();
  if (undo_.empty() || locked_ != values::False) return;
  const EditState before = undo_.back();
  undo_.pop_back();
  redo_.push_back(editState());
  replay(before, false);
}

void TextBox::redo() {
  delivery_.settle();
  if (redo_.empty() || locked_ != values::False) return;
  const EditState after = redo_.back();
  redo_.pop_back();
  undo_.push_back(editState());
  replay(after, false);
}

bool TextBox::pasteAllowed() const {
  if (!pasteFilter_) return true;
  QString pasted = QGuiApplication::clipboard()->text();
  pasted.truncate(firstLineEnd(pasted));
  QString result = edit_->text();
  if (edit_->hasSelectedText()) {
    result.replace(edit_->selectionStart(), edit_->selectionLength(), pasted);
  } else {
    result.insert(edit_->cursorPosition(), pasted);
  }
  return pasteFilter_(pasted, result);
}

void TextBox::adjustMenu(QMenu& menu) {
  // The line edit's standard actions, known by object name where Qt gives one, else by the
  // text Qt gives them (its own translation, so in any language).
  const auto is = [](const QAction* a, QLatin1String name, const char* text) {
    return a->objectName() == name || (!a->text().isEmpty() && a->text().startsWith(QLineEdit::tr(text)));
  };
  for (QAction* a : menu.actions()) {
    const bool isUndo = is(a, QLatin1String("edit-undo"), "&Undo");
    if (undoEnabled_ && (isUndo || is(a, QLatin1String("edit-redo"), "&Redo"))) {
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      a->setEnabled(locked_ == values::False && !(isUndo ? undo_ : redo_).empty());
      QObject::connect(a, &QAction::triggered, edit_, [this, isUndo] { isUndo ? undo() : redo(); });
    } else if (pasteFilter_ && is(a, QLatin1String("edit-paste"), "&Paste")) {
      QObject::disconnect(a, &QAction::triggered, nullptr, nullptr);
      QObject::connect(a, &QAction::triggered, edit_, [this] {
        if (pasteAllowed()) edit_->paste();
      });
    }
  }
}

void TextBox::tellOutcome(const QString& message, bool invalid, bool marker) {
  // A description equal to the last one raises no event of Qt's own; the event is sent here,
  // so that the same outcome twice is told twice.
  edit().setAccessibleDescription(message);
  QAccessibleEvent described(edit_.data(), QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&described);
  if (invalid != outcomeInvalid_) {
    outcomeInvalid_ = invalid;
    QAccessible::State changed;
    changed.invalid = true;
    QAccessibleStateChangeEvent state(edit_.data(), changed);
    QAccessible::updateAccessibility(&state);
  }
  const bool shown = invalid && marker;
  if (shown && marker_ == nullptr) {
    marker_ = edit_->addAction(edit_->style()->standardIcon(QStyle::SP_MessageBoxWarning), QLineEdit::TrailingPosition);
  } else if (!shown && marker_ != nullptr) {
    edit_->removeAction(marker_);
    delete marker_;
    marker_ = nullptr;
  }
  if (marker_ != nullptr) marker_->setToolTip(message);
}

// ---- program access ---------------------------------------------------------------------

const std::string& TextBox::utf8Of(const QString& t) const { return converted_.of(t); }

std::int32_t TextBox::bytesBefore(const QString& t, qsizetype pos) const {
  // A text of as many bytes as characters is ASCII: positions are offsets.
  if (utf8Of(t).size() == static_cast<std::size_t>(t.size())) return static_cast<std::int32_t>(std::clamp<qsizetype>(pos, 0, t.size()));
  return byteOffset(t, pos);
}

qsizetype TextBox::charsBefore(const QString& t, std::int64_t bytes) const {
  if (utf8Of(t).size() == static_cast<std::size_t>(t.size())) return static_cast<qsizetype>(std::clamp<std::int64_t>(bytes, 0, t.size()));
  return charPosition(t, bytes);
}

QString TextBox::currentText() const { return held_ ? held_->state.text : made_ ? edit_->text() : keptText_; }

std::string TextBox::text() const { return utf8Of(currentText()); }

void TextBox::setText(const std::string& v) {
  if (v == text()) return;  // an unchanged text keeps its caret and raises nothing
  programEdit([&] {
    if (held_) {
      setHeldText(v);
      return;
    }
    if (!made_) {
      // As a QLineEdit takes a text: cut at MaxLength, the caret at the start.
      keptText_ = toQString(v).left(qtMaxLength(maxLength_));
      keptCursor_ = 0;
      return;
    }
    edit_->setText(toQString(v));
    edit_->setCursorPosition(0);  // a program set puts the caret at the start
  });
}

// The selection members read the caret and selection as one state (the line edit's, or the
// kept caret of a box not made yet, which has no selection).
std::int32_t TextBox::selStart() const {
  const EditState s = editState();
  return bytesBefore(s.text, s.selStart >= 0 ? s.selStart : s.cursor);
}

void TextBox::setSelStart(std::int32_t v) {
  host::checkedCount(v);
  if (held_) {
    EditState& s = held_->state;
    s = {s.text, static_cast<int>(charsBefore(s.text, v))};
    return;
  }
  if (!made_) {
    keptCursor_ = static_cast<int>(charsBefore(keptText_, v));
    return;
  }
  edit_->setCursorPosition(static_cast<int>(charsBefore(edit_->text(), v)));
}

std::int32_t TextBox::selLength() const {
  if (!held_ && made_ && !edit_->hasSelectedText()) return 0;  // no selection: its text is not read
  const EditState s = editState();
  if (s.selStart < 0) return 0;
  return bytesBefore(s.text, s.selStart + s.selLength) - bytesBefore(s.text, s.selStart);
}

void TextBox::setSelLength(std::int32_t v) {
  host::checkedCount(v);
  const EditState now = editState();
  const QString& t = now.text;
  const int start = now.selStart >= 0 ? now.selStart : now.cursor;
  const auto end = static_cast<int>(charsBefore(t, static_cast<std::int64_t>(bytesBefore(t, start)) + v));
  if (held_) {
    // As the line edit selects: the caret at the selection's end.
    held_->state = end > start ? EditState{t, end, start, end - start} : EditState{t, start};
    return;
  }
  if (end > start) {
    edit().setSelection(start, end - start);  // a selection makes the line edit
  } else if (made_) {
    edit_->setCursorPosition(start);
  }  // else a kept caret stays where it is
}

std::string TextBox::selText() const {
  if (!held_ && made_ && !edit_->hasSelectedText()) return {};  // no selection: its text is not read
  const EditState s = editState();
  return s.selStart < 0 ? std::string() : toStdString(s.text.mid(s.selStart, s.selLength));
}

void TextBox::setSelText(const std::string& v) {
  delivery_.settle();
  programEdit([&] {
    if (!made_) {
      // As a QLineEdit inserts at its caret: as much as MaxLength leaves room for, the caret after it.
      const qsizetype room = qtMaxLength(maxLength_) - keptText_.size();
      if (room == 0) return;
      const QString inserted = toQString(v).left(room);
      keptText_.insert(keptCursor_, inserted);
      keptCursor_ += static_cast<int>(inserted.size());
      return;
    }
    edit_->insert(toQString(v));
  });
}

void TextBox::applyPalette() {
  // System colours come from the application's palette for line edits, not from the box's own
  // (which holds the colours set before).
  const QPalette system = QApplication::palette(edit_);
  QPalette p = edit_->palette();
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(g, QPalette::Base, toQColor(backColor_, system));
    p.setColor(g, QPalette::Text, toQColor(foreColor_, system));
  }
  setPaletteUnlessSame(*edit_, p);
}

void TextBox::setBackColor(OleColor v) {
  backColor_ = v;
  if (made_) applyPalette();
}

void TextBox::setForeColor(OleColor v) {
  foreColor_ = v;
  if (made_) applyPalette();
}

void TextBox::setFont(values::FontRef v) {
  if (!v) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(v);
  if (made_) edit_->setFont(toQFont(*font_));
  replace();  // the least height follows the font
}

void TextBox::setEnabled(Boolean v) {
  enabled_ = v;
  if (made_) edit_->setEnabled(v != values::False);
}

void TextBox::setLocked(Boolean v) {
  locked_ = v;
  if (made_) edit_->setReadOnly(v != values::False);
}

void TextBox::setMaxLength(std::int32_t v) {
  maxLength_ = host::checkedCount(v);
  delivery_.settle();
  // A QLineEdit cuts a longer text at its new limit without a change signal of its own.
  programEdit([&] {
    if (!made_) {
      // As a QLineEdit takes its text again at a new limit: cut, the caret at the end.
      keptText_.truncate(qtMaxLength(v));
      keptCursor_ = static_cast<int>(keptText_.size());
      return;
    }
    edit_->setMaxLength(qtMaxLength(v));
  });
}

void TextBox::setMousePointer(std::int16_t v) {
  mousePointer_ = host::checkedMousePointer(v);
  if (!made_) return;
  if (v == 0 || v == 99) {
    edit_->unsetCursor();
  } else {
    edit_->setCursor(kPointers[static_cast<std::size_t>(v)]);
  }
}

void TextBox::setToolTipText(const std::string& v) {
  toolTip_ = v;
  if (made_) edit_->setToolTip(toQString(v));
}

void TextBox::setLinkMode(std::int16_t v) { linkMode_ = host::checkedLinkMode(v); }

void TextBox::setOleDragMode(std::int16_t v) {
  oleDragMode_ = host::checkedOleDragMode(v);
  if (made_) edit_->setDragEnabled(v == 1);  // automatic: the user drags selected text
}

void TextBox::setOleDropMode(std::int16_t v) {
  oleDropMode_ = host::checkedOleDropMode(v);
  if (made_) edit_->setAcceptDrops(v != 0);
}

void TextBox::oleDrag() {
  delivery_.settle();
  auto* drag = new QDrag(&edit());
  auto* data = new QMimeData;
  data->setText(edit_->hasSelectedText() ? edit_->selectedText() : edit_->text());
  drag->setMimeData(data);
  std::int32_t effect = effectOf(drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction));
  raise([&](host::TextBoxEvents& s) { s.onOLECompleteDrag(index_, effect); });
}

// ---- what the user does -----------------------------------------------------------------

void TextBox::keyPressed(QKeyEvent& e) {
  const std::int16_t code = keyCodeOf(e);
  std::int16_t downCode = code, downShift = shiftStateOf(e.modifiers());
  raise([&](host::TextBoxEvents& s) { s.onKeyDown(index_, downCode, downShift); });

  if (const std::optional<std::int16_t> typed = typedCodeOf(e)) {
    std::int16_t ascii = *typed;
    raise([&](host::TextBoxEvents& s) { s.onKeyPress(index_, ascii); });
    // Enter keeps its meaning for the window (the default button) unless KeyPress discarded it.
    if (*typed == 13 && ascii == 13) {
      edit_->baseKeyPress(&e);
      return;
    }
    applyCharacter(ascii);
    return;
  }
  if (typesTextWithoutCode(e)) {
    if (locked_ == values::False) edit_->insert(e.text());
    reportChange(host::ChangeSource::UserEdit);
    return;
  }
  // KeyDown may cancel a key's own action by setting KeyCode to 0.
  if (code != 0 && downCode == 0) return;
  if (escapeRestores_ && e.key() == Qt::Key_Escape && e.modifiers() == Qt::NoModifier) {
    if (locked_ == values::False && edit_->text() != entryText_)
      replay({entryText_, static_cast<int>(entryText_.size())}, true);
    return;
  }
  if (undoEnabled_ && isUndoKey(e)) return undo();
  if (undoEnabled_ && isRedoKey(e)) return redo();
  if (e.matches(QKeySequence::Paste) && locked_ == values::False && !pasteAllowed()) return;
  edit_->baseKeyPress(&e);
}

void TextBox::keyReleased(QKeyEvent& e) {
  if (e.isAutoRepeat()) return;  // a held key raises KeyUp once, when it is let go
  std::int16_t upCode = keyCodeOf(e), upShift = shiftStateOf(e.modifiers());
  raise([&](host::TextBoxEvents& s) { s.onKeyUp(index_, upCode, upShift); });
}

void TextBox::applyCharacter(std::int16_t keyAscii) {
  if (keyAscii == 0 || locked_ != values::False) return;
  // Control codes type nothing; nor does half of a surrogate pair.
  const auto c = static_cast<char16_t>(keyAscii);
  if (keyAscii != 8 && (keyAscii < 32 || keyAscii == 127 || QChar::isSurrogate(c))) return;
  if (!canHold()) {
    if (keyAscii == 8) {
      edit_->backspace();
    } else {
      edit_->insert(QString(QChar(c)));  // replaces the selection; MaxLength respected
    }
    reportChange(host::ChangeSource::UserEdit);
    return;
  }
  // Built aside and moved in: clang 14 does not see the optional's value as default-constructible.
  Held held;
  held.key = keyAscii;
  held.typed = afterKey(editState(), keyAscii);
  held.state = held.typed;
  held_ = std::move(held);
  delivery_.hold(*this);
  // The line edit gets the edit however the Change ends (an error ends it early).
  struct SettleAtEnd {
    Delivery& delivery;
    ~SettleAtEnd() { delivery.settle(); }
  } settleAtEnd{delivery_};
  reportChange(host::ChangeSource::UserEdit);
}

bool TextBox::canHold() const {
  if (held_ || edit_->validator() != singleLine_ || edit_->echoMode() != QLineEdit::Normal || !edit_->inputMask().isEmpty())
    return false;
  // The box's validator leaves a text without line breaks as it is, whoever edits it.
  const QString t = edit_->text();
  return firstLineEnd(t) == t.size();
}

TextBox::EditState TextBox::afterKey(const EditState& s, std::int16_t key) const {
  EditState after{s.text, s.cursor};
  if (s.selStart >= 0) {
    // The selection goes, and the key's own action with it for Backspace.
    after.text.remove(s.selStart, s.selLength);
    after.cursor = s.selStart;
    if (key == 8) return after;
  } else if (key == 8) {
    if (after.cursor == 0) return after;
    // The character before the caret goes: both halves of a surrogate pair.
    const bool pair = after.cursor > 1 && after.text.at(after.cursor - 1).isLowSurrogate() &&
                      after.text.at(after.cursor - 2).isHighSurrogate();
    const int n = pair ? 2 : 1;
    after.cursor -= n;
    after.text.remove(after.cursor, n);
    return after;
  }
  // The line edit inserts while its MaxLength leaves room.
  if (edit_->maxLength() - after.text.size() != 0) {
    after.text.insert(after.cursor, QChar(static_cast<char16_t>(key)));
    ++after.cursor;
  }
  return after;
}

void TextBox::setHeldText(const std::string& v) {
  Held& held = *held_;
  QString t = toQString(v);
  if (!t.isEmpty()) t.truncate(edit_->maxLength());  // as the line edit cuts a set text
  held.state = {std::move(t), 0};                     // a program set puts the caret at the start
  held.replaced = true;
}

void TextBox::settle() {
  if (!held_) return;
  const Held held = std::move(*held_);
  held_.reset();
  delivery_.released(*this);
  if (!edit_) return;
  const EditState& s = held.state;
  ++programEdits_;
  if (!held.replaced && s.text == held.typed.text) {
    // The key's own action, so that the line edit's own undo has it as a step.
    if (held.key == 8) {
      edit_->backspace();
    } else {
      edit_->insert(QString(QChar(static_cast<char16_t>(held.key))));
    }
    if (s.cursor != held.typed.cursor || s.selStart >= 0) applyCaret(s);
  } else {
    edit_->setText(s.text);  // the caret goes to the end
    if (s.cursor != s.text.size() || s.selStart >= 0) applyCaret(s);
  }
  --programEdits_;
}

void TextBox::focusEntered() {
  if (focusReported_) return;  // the window became active again: the box never lost focus
  focusReported_ = true;
  entryText_ = edit_->text();
  // What the control does to the text on entry (the numeric regroup) would come straight back
  // after an undo: it is no step of its own.
  unrecorded_ = true;
  raise([&](host::TextBoxEvents& s) { s.onGotFocus(index_); });
}

void TextBox::focusLeft() {
  if (!focusReported_) return;
  focusReported_ = false;
  const QString before = edit_->text();
  raise([&](host::TextBoxEvents& s) { s.onLostFocus(index_); });
  if (leaveObserver_) leaveObserver_(before);
}

void TextBox::mouseEvent(QMouseEvent& e) {
  const bool release = e.type() == QEvent::MouseButtonRelease;
  std::int16_t button = buttonCode(e.type() == QEvent::MouseMove ? e.buttons() : Qt::MouseButtons(e.button()));
  std::int16_t shift = shiftStateOf(e.modifiers());
  float x = toTwipsX(*edit_, e.position().x());
  float y = toTwipsY(*edit_, e.position().y());
  switch (e.type()) {
    case QEvent::MouseButtonPress:
      raise([&](host::TextBoxEvents& s) { s.onMouseDown(index_, button, shift, x, y); });
      return;
    case QEvent::MouseMove:
      raise([&](host::TextBoxEvents& s) { s.onMouseMove(index_, button, shift, x, y); });
      return;
    case QEvent::MouseButtonDblClick:
      afterDoubleClick_ = true;
      raise([&](host::TextBoxEvents& s) { s.onDblClick(index_); });
      return;
    default: break;
  }
  if (!release) return;
  const bool click = e.button() == Qt::LeftButton && !afterDoubleClick_ && edit_->rect().contains(e.position().toPoint());
  afterDoubleClick_ = false;
  raise([&](host::TextBoxEvents& s) { s.onMouseUp(index_, button, shift, x, y); });
  if (click) raise([&](host::TextBoxEvents& s) { s.onClick(index_); });
}

bool TextBox::dragEvent(QDropEvent* e, std::int16_t state) {
  if (e != nullptr && state != 2) {
    // A drag entering or dropping: its data as the control sees it.
    dragData_ = std::make_shared<values::DataObject>();
    if (e->mimeData()->hasText())
      dragData_->setData(values::DataObject::TextFormat, toStdString(e->mimeData()->text()));
  }
  values::DataObjectRef data = dragData_;
  std::int32_t effect = e != nullptr ? effectOf(e->possibleActions()) & effectOf(e->proposedAction()) : 0;
  std::int16_t button = e != nullptr ? buttonCode(e->buttons()) : 0;
  std::int16_t shift = e != nullptr ? shiftStateOf(e->modifiers()) : 0;
  float x = e != nullptr ? toTwipsX(*edit_, e->position().x()) : 0.0f;
  float y = e != nullptr ? toTwipsY(*edit_, e->position().y()) : 0.0f;
  if (state >= 0) {
    raise([&](host::TextBoxEvents& s) { s.onOLEDragOver(index_, data, effect, button, shift, x, y, state); });
  } else {
    raise([&](host::TextBoxEvents& s) { s.onOLEDragDrop(index_, data, effect, button, shift, x, y); });
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
  return oleDropMode_ == 2;
}

}  // namespace kestrinx::qthost
