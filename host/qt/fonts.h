// Fonts on a Qt host: the control's font objects (name, size in points, bold, italic,
// underline, strikethrough, weight) as QFonts, and back.
//
// Every new control starts in values::DefaultFontName, a font few Qt desktops have. The first
// site created installs a QFont substitution for that name (QFont::insertSubstitution) to a
// real sans-serif family that is installed (DejaVu Sans, Liberation Sans, Noto Sans or
// FreeSans, else the desktop's general font), unless the named font itself is installed. So a
// control keeps the name it was given and saved with, and shows it in a font that exists.
#pragma once

#include <QFont>
#include <QString>

#include "values/objects.h"

namespace kestrinx::qthost {

// Installs the substitution described above; does nothing after the first call. Needs a
// QGuiApplication.
void installFontSubstitutions();
// The family the default font name shows in.
QString defaultFontFamily();

// The Qt font that shows `f`. Asked for the font it was last asked for on the GUI thread, it
// hands out a copy of the one it made then (Qt shares it: one font's data for a form's controls).
QFont toQFont(const values::Font& f);
// A new font object describing `f` (weight kept in step with bold).
values::FontRef fromQFont(const QFont& f);

}  // namespace kestrinx::qthost
