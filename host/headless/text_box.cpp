// The headless text box: program access to text and selection, and typing as a user does it.
//
// Every event handler may change the box's text, caret or focus; after each one the selection
// is brought back inside the text before the box goes on, so nothing indexes past the end.
#include "host/headless/text_box.h"

#include <algorithm>
#include <limits>

#include "host/accepted_values.h"
#include "host/headless/event_depth.h"
#include "host/headless/form.h"
#include "values/error.h"

namespace kestrinx::headless {

namespace {

constexpr std::int16_t kDropEffectNone = 0;
constexpr std::int16_t kOleDropAutomatic = 2;

std::int32_t lengthOf(const std::string& s) {
  return static_cast<std::int32_t>(
      std::min<std::size_t>(s.size(), static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
}

void clampSelection(const std::string& text, std::int32_t& start, std::int32_t& length) {
  const std::int32_t n = lengthOf(text);
  start = std::clamp(start, 0, n);
  length = std::clamp(length, 0, n - start);
}

// The part of a pasted or dropped text a single-line box takes: up to the first line break.
std::string firstLine(const std::string& s) { return s.substr(0, s.find_first_of(std::string("\r\n\0", 3))); }

}  // namespace

TextBox::TextBox(Form& form) : form_(form), font_(std::make_shared<values::Font>()) { form_.attach(this); }

TextBox::~TextBox() { form_.detach(this); }

template <typename Call>
void TextBox::raise(Call&& call) {
  detail::raiseEvent(sink_, call);
  clampSelection(text_, selStart_, selLength_);
}

// ---- program access ---------------------------------------------------------------------

void TextBox::setText(const std::string& v) {
  check("setText");
  if (v == text_) return;
  text_ = v;
  // A program set puts the caret at the start, with nothing selected.
  selStart_ = 0;
  selLength_ = 0;
  raiseChange(host::ChangeSource::Program);
}

void TextBox::setSelStart(std::int32_t v) {
  check("setSelStart");
  host::checkedCount(v);
  selStart_ = std::min(v, lengthOf(text_));
  selLength_ = 0;
}

void TextBox::setSelLength(std::int32_t v) {
  check("setSelLength");
  host::checkedCount(v);
  clampSelection(text_, selStart_, selLength_);
  selLength_ = std::min(v, lengthOf(text_) - selStart_);
}

std::string TextBox::selText() const {
  std::int32_t start = selStart_, length = selLength_;
  clampSelection(text_, start, length);
  return text_.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

void TextBox::setSelText(const std::string& v) {
  check("setSelText");
  replaceSelection(v, host::ChangeSource::Program, LengthLimit::None);
}

void TextBox::setFont(values::FontRef v) {
  check("setFont");
  if (!v) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(v);
}

float TextBox::fontSize() const { return font_ ? font_->size : 0.0f; }

void TextBox::setMaxLength(std::int32_t v) {
  check("setMaxLength");
  maxLength_ = host::checkedCount(v);  // text already longer stays as it is; the limit applies to later typing
}

void TextBox::setMousePointer(std::int16_t v) {
  check("setMousePointer");
  mousePointer_ = host::checkedMousePointer(v);
}

void TextBox::setLinkMode(std::int16_t v) {
  check("setLinkMode");
  linkMode_ = host::checkedLinkMode(v);
}

void TextBox::setOleDragMode(std::int16_t v) {
  check("setOleDragMode");
  oleDragMode_ = host::checkedOleDragMode(v);
}

void TextBox::setOleDropMode(std::int16_t v) {
  check("setOleDropMode");
  oleDropMode_ = host::checkedOleDropMode(v);
}

// ---- the edit ---------------------------------------------------------------------------

void TextBox::replaceSelection(const std::string& insert, host::ChangeSource source, LengthLimit limit) {
  clampSelection(text_, selStart_, selLength_);
  std::string piece = insert;
  if (limit == LengthLimit::MaxLength && maxLength_ > 0 && !piece.empty()) {
    const std::int64_t room = static_cast<std::int64_t>(maxLength_) - (lengthOf(text_) - selLength_);
    if (room <= 0) return;  // nothing fits: the box stays exactly as it was
    if (static_cast<std::int64_t>(piece.size()) > room) piece.resize(static_cast<std::size_t>(room));
  }
  std::string next = text_;
  next.replace(static_cast<std::size_t>(selStart_), static_cast<std::size_t>(selLength_), piece);
  selStart_ += lengthOf(piece);
  selLength_ = 0;
  if (next == text_) return;
  text_ = std::move(next);
  raiseChange(source);
}

void TextBox::raiseChange(host::ChangeSource source) {
  raise([&](host::TextBoxEvents& s) { s.onChange(index_, source); });
}

// ---- typing -----------------------------------------------------------------------------

void TextBox::typeChar(char c) {
  const auto [code, shift] = keyCodeFor(c);
  keystroke(code, shift, static_cast<std::int16_t>(static_cast<unsigned char>(c)));
}

void TextBox::pressKey(Key k, std::int16_t shift) {
  const auto code = static_cast<std::int16_t>(k);
  const bool typesCharacter = k == Key::Backspace || k == Key::Enter;
  keystroke(code, shift, typesCharacter ? std::optional(code) : std::nullopt);
}

void TextBox::paste(const std::string& s) {
  if (!enabled_ || locked_) return;
  const std::string piece = firstLine(s);
  if (piece.empty()) return;
  replaceSelection(piece, host::ChangeSource::UserEdit, LengthLimit::MaxLength);
}

void TextBox::keystroke(std::int16_t keyCode, std::int16_t shift, std::optional<std::int16_t> keyAscii) {
  if (!enabled_) return;
  std::int16_t downCode = keyCode, downShift = shift;
  raise([&](host::TextBoxEvents& s) { s.onKeyDown(index_, downCode, downShift); });
  // KeyDown may cancel a named key by setting KeyCode to 0 (or turn it into another one).
  if (!keyAscii) applyKeyAction(downCode);
  if (keyAscii) {
    std::int16_t ascii = *keyAscii;
    raise([&](host::TextBoxEvents& s) { s.onKeyPress(index_, ascii); });
    applyCharacter(ascii);
  }
  std::int16_t upCode = keyCode, upShift = shift;
  raise([&](host::TextBoxEvents& s) { s.onKeyUp(index_, upCode, upShift); });
}

void TextBox::applyCharacter(std::int16_t keyAscii) {
  if (keyAscii == 0 || locked_) return;
  if (keyAscii == static_cast<std::int16_t>(Key::Backspace)) {
    if (selLength_ == 0) {
      if (selStart_ == 0) return;
      --selStart_;
      selLength_ = 1;
    }
    replaceSelection(std::string(), host::ChangeSource::UserEdit, LengthLimit::None);
    return;
  }
  // Enter and the other control codes type nothing; neither does a code that is not one byte.
  if (keyAscii < 32 || keyAscii == 127 || keyAscii > 255) return;
  replaceSelection(std::string(1, static_cast<char>(static_cast<unsigned char>(keyAscii))),
                   host::ChangeSource::UserEdit, LengthLimit::MaxLength);
}

void TextBox::applyKeyAction(std::int16_t keyCode) {
  const std::int32_t n = lengthOf(text_);
  switch (static_cast<Key>(keyCode)) {
    case Key::Delete:
      if (locked_) return;
      if (selLength_ == 0) {
        if (selStart_ >= n) return;
        selLength_ = 1;
      }
      replaceSelection(std::string(), host::ChangeSource::UserEdit, LengthLimit::None);
      return;
    case Key::Left:
      if (selLength_ == 0) selStart_ = std::max(0, selStart_ - 1);
      selLength_ = 0;
      return;
    case Key::Right:
      selStart_ = selLength_ == 0 ? std::min(n, selStart_ + 1) : selStart_ + selLength_;
      selLength_ = 0;
      return;
    case Key::Home:
      selStart_ = 0;
      selLength_ = 0;
      return;
    case Key::End:
      selStart_ = n;
      selLength_ = 0;
      return;
    default:
      return;
  }
}

// ---- mouse and drag-and-drop ------------------------------------------------------------

void TextBox::click() {
  if (!enabled_) return;
  raise([&](host::TextBoxEvents& s) { s.onClick(index_); });
}

void TextBox::dblClick() {
  if (!enabled_) return;
  raise([&](host::TextBoxEvents& s) { s.onDblClick(index_); });
}

void TextBox::mouseDown(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  raise([&](host::TextBoxEvents& s) { s.onMouseDown(index_, button, shift, x, y); });
}

void TextBox::mouseMove(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  raise([&](host::TextBoxEvents& s) { s.onMouseMove(index_, button, shift, x, y); });
}

void TextBox::mouseUp(std::int16_t button, std::int16_t shift, float x, float y) {
  if (!enabled_) return;
  raise([&](host::TextBoxEvents& s) { s.onMouseUp(index_, button, shift, x, y); });
}

std::int32_t TextBox::dragOver(values::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                               float x, float y, std::int16_t state) {
  if (!enabled_) return kDropEffectNone;
  raise([&](host::TextBoxEvents& s) { s.onOLEDragOver(index_, data, effect, button, shift, x, y, state); });
  return effect;
}

std::int32_t TextBox::dragDrop(values::DataObjectRef data, std::int32_t effect, std::int16_t button, std::int16_t shift,
                               float x, float y) {
  if (!enabled_) return kDropEffectNone;
  raise([&](host::TextBoxEvents& s) { s.onOLEDragDrop(index_, data, effect, button, shift, x, y); });
  // With automatic dropping the box takes dropped text itself, at the caret, as a user edit.
  if (oleDropMode_ == kOleDropAutomatic && effect != kDropEffectNone && data &&
      data->hasFormat(values::DataObject::TextFormat) && !locked_) {
    const std::string piece = firstLine(data->getData(values::DataObject::TextFormat));
    if (!piece.empty()) replaceSelection(piece, host::ChangeSource::UserEdit, LengthLimit::MaxLength);
  }
  return effect;
}

std::int32_t TextBox::completeDrag(std::int32_t effect) {
  raise([&](host::TextBoxEvents& s) { s.onOLECompleteDrag(index_, effect); });
  return effect;
}

}  // namespace kestrinx::headless
