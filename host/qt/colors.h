// OLE colours on a Qt host. An RGB colour (0x00BBGGRR) is that colour; a system colour
// (0x800000nn) is the matching colour of the widget's palette, so boxes follow the desktop's
// theme: 5 window background -> Base, 8 window text -> Text, 18 button text -> ButtonText,
// 13 highlight -> Highlight, and so on (see colors.cpp). A system colour the palette has no
// counterpart for shows as the window text colour.
#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

#include "values/types.h"

namespace kestrinx::qthost {

using values::OleColor;

QColor toQColor(OleColor c, const QPalette& palette);

// Gives `w` the palette `p`, unless `w` already has that very palette of its own: setting the
// same colours again (as a control reading its properties does) would restyle the widget for
// nothing.
void setPaletteUnlessSame(QWidget& w, const QPalette& p);

}  // namespace kestrinx::qthost
