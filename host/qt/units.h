// Lengths on a Qt host: the control works in twips (1/1440 inch), Qt widgets in pixels. The two
// are mapped through the logical DPI of the widget's screen, horizontally and vertically apart,
// so a control keeps its size in inches on any screen.
#pragma once

#include "values/types.h"

class QWidget;

namespace kestrinx::qthost {

using values::Twips;

inline constexpr double kTwipsPerInch = 1440.0;

// The widget's logical DPI, horizontally and vertically, as QWidget::logicalDpiX/Y give it.
int logicalDpiX(const QWidget& w);
int logicalDpiY(const QWidget& w);

// Pixels for a horizontal (left, width) or vertical (top, height) length in twips at the
// widget's logical DPI, rounded to the nearest pixel and kept within what a widget can hold.
int toPixelsX(const QWidget& w, Twips t);
int toPixelsY(const QWidget& w, Twips t);
// Twips for a length in pixels at the widget's logical DPI.
Twips toTwipsX(const QWidget& w, double px);
Twips toTwipsY(const QWidget& w, double px);

}  // namespace kestrinx::qthost
