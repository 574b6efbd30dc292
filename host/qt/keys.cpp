#include "host/qt/keys.h"

#include "host/keys.h"

namespace kestrinx::qthost {

namespace {

// Keys whose code does not follow from a character.
std::int16_t namedKeyCode(int key) {
  switch (key) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<std::int16_t>(112 + (key - Qt::Key_F1));
  return 0;
}

// The keypad's own codes: digits 96..105, * 106, + 107, - 109, . 110, / 111.
std::int16_t keypadCode(int key) {
  if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<std::int16_t>(96 + (key - Qt::Key_0));
  switch (key) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return 0;
  }
}

// Ctrl, Alt or Meta make a key a command (Ctrl+V, Alt+F). Ctrl and Alt together are AltGr on
// some desktops, which types characters.
bool withCommandModifier(const QKeyEvent& e) {
  const Qt::KeyboardModifiers m = e.modifiers();
  const bool ctrl = (m & Qt::ControlModifier) != 0, alt = (m & Qt::AltModifier) != 0;
  return (m & Qt::MetaModifier) != 0 || ctrl != alt;
}

}  // namespace

std::int16_t keyCodeOf(const QKeyEvent& e) {
  const int key = e.key();
  if ((e.modifiers() & Qt::KeypadModifier) != 0) {
    if (const std::int16_t code = keypadCode(key)) return code;
  }
  if (const std::int16_t code = namedKeyCode(key)) return code;
  // Character keys: Qt names them by the character they carry (upper case for letters).
  if (key > 0x20 && key < 0x7F) return host::keyCodeFor(static_cast<char>(key)).first;
  return 0;
}

std::int16_t shiftStateOf(Qt::KeyboardModifiers m) {
  std::int16_t s = 0;
  if (m & Qt::ShiftModifier) s |= host::ShiftMask;
  if (m & Qt::ControlModifier) s |= host::CtrlMask;
  if (m & Qt::AltModifier) s |= host::AltMask;
  return s;
}

QString typedTextOf(const QKeyEvent& e) {
  if (withCommandModifier(e)) return {};
  const int key = e.key();
  if (key == Qt::Key_Backspace) return QStringLiteral("\b");
  if (key == Qt::Key_Return || key == Qt::Key_Enter) return QStringLiteral("\r");
  return typedTextOf(e.text());
}

QString typedTextOf(const QString& committed) {
  QString typed;
  for (qsizetype i = 0; i < committed.size();) {
    const qsizetype n = characterLength(committed, i);
    const char32_t c = n == 2 ? QChar::surrogateToUcs4(committed.at(i), committed.at(i + 1)) : committed.at(i).unicode();
    // A lone half of a surrogate pair is no character.
    if (QChar::isPrint(c) && !(n == 1 && QChar::isSurrogate(c))) typed += committed.mid(i, n);
    i += n;
  }
  return typed;
}

qsizetype characterLength(const QString& text, qsizetype i) {
  return i + 1 < text.size() && text.at(i).isHighSurrogate() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
}

std::int16_t keyPressCodeAt(const QString& text, qsizetype i) {
  if (characterLength(text, i) == 2) return kBeyondPlaneCode;
  // The UTF-16 unit's 16 bits, U+8000 and above read as a negative number.
  return static_cast<std::int16_t>(text.at(i).unicode());
}

std::optional<QChar> characterOf(std::int16_t keyAscii) {
  const QChar c(static_cast<char16_t>(keyAscii));
  if (keyAscii >= 0 && keyAscii < 32) return std::nullopt;
  if (keyAscii == 127 || c.isSurrogate()) return std::nullopt;
  return c;
}

}  // namespace kestrinx::qthost
