// The Qt host's text box: the program's side of the box (its members, as the control reads and
// sets them) and its line edit made now or on demand. How it types through the held keystroke
// is in held_keystroke.cpp, how it records and replays undo steps in undo_history.cpp.
#include "host/qt/text_box.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>
#include <array>
#include <limits>
#include <memory>

#include "host/accepted_values.h"
#include "host/qt/colors.h"
#include "host/qt/fonts.h"
#include "host/qt/keys.h"
#include "host/qt/line_edit.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"
#include "values/error.h"

namespace kestrinx::qthost {

namespace {

// MaxLength 0 means no limit; a QLineEdit always has one: its limit for a MaxLength.
constexpr int kNoLimit = std::numeric_limits<int>::max();
constexpr int qtMaxLength(std::int32_t maxLength) { return maxLength == 0 ? kNoLimit : maxLength; }

// The mouse pointers 0..15 as Qt cursors (0, and 99 for a custom icon, use the box's own).
constexpr std::array<Qt::CursorShape, 16> kPointers = {
    Qt::IBeamCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
    Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
    Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
    Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
};

// OLE drop effects and Qt drop actions share their bits: 1 copy, 2 move, 4 link.
std::int32_t effectOf(Qt::DropActions a) { return static_cast<std::int32_t>(a.toInt()) & 7; }

}  // namespace

TextBox::TextBox(QWidget& surface, Look look, Delivery& delivery, Creation creation)
    : delivery_(delivery),
      surface_(surface),
      look_(look),
      creation_(creation),
      font_(std::make_shared<values::Font>()) {
  installFontSubstitutions();
  if (creation == Creation::Now) makeLineEdit();
}

TextBox::~TextBox() {
  delivery_.released(*this);
  delete edit_.data();
}

void TextBox::surfaceShowing() {
  if (!made_ && visible_) makeLineEdit();
}

void TextBox::placeAmong(QWidget& before) { before_ = &before; }

void TextBox::placeAmong(TextBox& before) { beforeBox_ = &before; }

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
  // The system's window colours are the line edit's own.
  if (backColor_ != values::SystemWindowBackground || foreColor_ != values::SystemWindowText) applyPalette();
  QObject::connect(e, &QLineEdit::textChanged, e, [this] { textChangedByQt(); });
  if (creation_ == Creation::Now) {
    made_ = true;
    return;  // made with the box: nothing was set before
  }
  // A box made on demand takes what was set on it so far, and its place among its siblings.
  ++programEdits_;
  e->setText(keptText_);
  e->setCursorPosition(keptCursor_);
  --programEdits_;
  keptText_.clear();
  made_ = true;
  if (enabled_ == values::False) e->setEnabled(false);
  if (locked_ != values::False) e->setReadOnly(true);
  if (mousePointer_ != 0 && mousePointer_ != 99) e->setCursor(kPointers[static_cast<std::size_t>(mousePointer_)]);
  if (rare_ && !rare_->toolTip.empty()) e->setToolTip(toQString(rare_->toolTip));
  if (!accessibleName_.isEmpty()) e->setAccessibleName(accessibleName_);
  if (oleDragMode_ == 1) e->setDragEnabled(true);
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
bool TextBox::isLineEdit(const QObject* w) const { return w != nullptr && w == static_cast<const QObject*>(edit_.data()); }
QWidget& TextBox::widget() const { return edit(); }
QWidget* TextBox::madeWidget() const { return made_ ? edit_.data() : nullptr; }
const QWidget& TextBox::unitsWidget() const { return surface_; }
// Every layout reads the box's height: the least height is measured once for the font, DPI and
// style (again after the line edit is made, or its font or style changes).
int TextBox::minimumHeight() const {
  const int dpi = logicalDpiY(surface_);
  const QStyle* style = made_ ? edit_->style() : surface_.style();
  if (least_ && least_->dpi == dpi && least_->style == style && least_->made == made_) return least_->height;
  // A line edit no style sheet reaches needs what one of its font and frame needs.
  const bool plain = !made_ || !edit_->testAttribute(Qt::WA_StyleSheet);
  const int height = plain ? lineEditHeight(surface_, toQFont(*font_), look_ == Look::Framed)
                           : edit_->minimumSizeHint().height();
  least_ = LeastHeight{dpi, style, made_, height};
  return height;
}

void TextBox::setVisible(bool v) {
  // A box not made yet is made when it is to show on a surface that shows (else when the surface does).
  if (!made_ && !(v && surface_.isVisible())) {
    visible_ = v;
    return;
  }
  Element::setVisible(v);
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
  if (optIns_ && !optIns_->history.inStep() && optIns_->replaying == 0) clearHistory();
}

void TextBox::textChangedByQt() {
  if (programEdits_ > 0 || edit_->qtEvents() > 0) return;
  // Outside any event of the box: an edit through the line edit's own slots (the context
  // menu's Paste, say) is a user edit, reported now, and a step of its own (with what its
  // Change does).
  if (optIns_) optIns_->history.continueStep();
  delivery_.deliver([&] { reportChange(host::ChangeSource::UserEdit); });
  endStep();
}

void TextBox::setAccessibleName(const QString& name) {
  accessibleName_ = name;
  if (made_) edit_->setAccessibleName(name);
}

// ---- the state of the box ---------------------------------------------------------------

EditState TextBox::editState() const {
  if (held_) return held_->state();
  if (!made_) return {keptText_, keptCursor_};
  return editStateOf(*edit_);
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

QString TextBox::currentText() const { return held_ ? held_->state().text : made_ ? edit_->text() : keptText_; }

std::string TextBox::text() const { return utf8Of(currentText()); }

void TextBox::setText(const std::string& v) {
  if (v == text()) return;  // an unchanged text keeps its caret and raises nothing
  programEdit([&] {
    if (held_) {
      held_->setText(toQString(v), edit_->maxLength());
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
    EditState& s = held_->state();
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
    held_->state() = end > start ? EditState{t, end, start, end - start} : EditState{t, start};
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
  least_.reset();
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
  if (!v.empty() || rare_) rare().toolTip = v;
  if (made_) edit_->setToolTip(toQString(v));
}

TextBox::Rare& TextBox::rare() {
  if (!rare_) rare_ = std::make_unique<Rare>();
  return *rare_;
}

void TextBox::setMouseIcon(values::PictureRef v) {
  if (v || rare_) rare().mouseIcon = std::move(v);
}

void TextBox::setLinkItem(const std::string& v) {
  if (!v.empty() || rare_) rare().linkItem = v;
}

void TextBox::setLinkTopic(const std::string& v) {
  if (!v.empty() || rare_) rare().linkTopic = v;
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

}  // namespace kestrinx::qthost
