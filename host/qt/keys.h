// Qt's keys as the control sees them: the key code of KeyDown and KeyUp, the shift state, and
// the character code of KeyPress.
#pragma once

#include <QKeyEvent>
#include <cstdint>
#include <optional>

namespace kestrinx::qthost {

// The key code of a key event (letters their upper-case code, digits themselves, punctuation
// the codes of a US keyboard, the keypad, function and navigation keys their codes); 0 for a
// key without one.
std::int16_t keyCodeOf(const QKeyEvent& e);
// Shift, Ctrl and Alt as the shift-state bits.
std::int16_t shiftStateOf(Qt::KeyboardModifiers m);
// The character code a key types, when it types one: a printable character (without Ctrl, Alt
// or Meta) whose code fits in 16 bits, Backspace (8) or Enter (13). Every other key, Ctrl+V and
// Delete among them, is a key with an action of its own.
std::optional<std::int16_t> typedCodeOf(const QKeyEvent& e);
// Printable text a key types that has no 16-bit character code (a character beyond the basic
// plane); it reaches the box as an edit, as pasted text does.
bool typesTextWithoutCode(const QKeyEvent& e);

}  // namespace kestrinx::qthost
