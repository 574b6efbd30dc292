// Qt's keys as the control sees them: the key code of KeyDown and KeyUp, the shift state, and
// the characters a key or an input method types, each with the code KeyPress carries for it.
//
// KeyPress codes. A KeyPress code is a 16-bit signed number. A character of the basic plane is
// its UTF-16 unit: below U+8000 its own number (what every key typed so far has had: 'a' 97,
// '€' 8364), from U+8000 to U+FFFF the same 16 bits read as a negative number (Hangul '가'
// U+AC00 is -21504, the full-width digit '１' U+FF11 is -239). A character beyond the basic
// plane (an emoji, say) has no 16-bit code; it comes as kBeyondPlaneCode, the code of U+FFFD
// (the replacement character, -3), and when the application leaves that code as it is, the
// character itself is typed. An application that sets another code types that code's character
// instead, and 0 discards the character, whatever it was.
#pragma once

#include <QKeyEvent>
#include <QString>
#include <cstdint>
#include <optional>

namespace kestrinx::qthost {

// The KeyPress code of a character beyond the basic plane: U+FFFD as a 16-bit code.
inline constexpr std::int16_t kBeyondPlaneCode = -3;

// The key code of a key event (letters their upper-case code, digits themselves, punctuation
// the codes of a US keyboard, the keypad, function and navigation keys their codes); 0 for a
// key without one.
std::int16_t keyCodeOf(const QKeyEvent& e);
// Shift, Ctrl and Alt as the shift-state bits.
std::int16_t shiftStateOf(Qt::KeyboardModifiers m);
// The characters a key types, each to go through KeyPress: Backspace "\b", Enter "\r", and the
// printable characters of its text (a key may type several: a compose sequence, a keyboard
// that types a whole syllable), when no Ctrl, Alt or Meta makes it a command. Empty for a key
// with an action of its own (Ctrl+V, Delete, the arrows) and for one that types nothing.
QString typedTextOf(const QKeyEvent& e);
// The printable characters of a text an input method commits, each to go through KeyPress.
QString typedTextOf(const QString& committed);
// How many UTF-16 units the character at `i` of `text` takes: 2 for a surrogate pair, else 1.
qsizetype characterLength(const QString& text, qsizetype i);
// The KeyPress code of the character at `i` of `text` (a surrogate pair is one character).
std::int16_t keyPressCodeAt(const QString& text, qsizetype i);
// The character a KeyPress code types: none for 0, for a control code (Backspace's 8 is an
// action, not a character) and for half of a surrogate pair; kBeyondPlaneCode types U+FFFD
// (the box types the original character instead when the code came back unchanged).
std::optional<QChar> characterOf(std::int16_t keyAscii);

}  // namespace kestrinx::qthost
