#include "host/qt/units.h"

#include <QWidget>
#include <algorithm>
#include <cmath>

namespace kestrinx::qthost {

namespace {

// Every pixel length is kept where a widget's geometry can hold it.
constexpr double kLimit = QWIDGETSIZE_MAX;

int toPixels(Twips t, int dpi) {
  const double px = static_cast<double>(t) * dpi / kTwipsPerInch;
  if (!std::isfinite(px)) return 0;
  return static_cast<int>(std::lround(std::clamp(px, -kLimit, kLimit)));
}

Twips toTwips(double px, int dpi) { return static_cast<Twips>(px * kTwipsPerInch / dpi); }

}  // namespace

int toPixelsX(const QWidget& w, Twips t) { return toPixels(t, w.logicalDpiX()); }
int toPixelsY(const QWidget& w, Twips t) { return toPixels(t, w.logicalDpiY()); }
Twips toTwipsX(const QWidget& w, double px) { return toTwips(px, w.logicalDpiX()); }
Twips toTwipsY(const QWidget& w, double px) { return toTwips(px, w.logicalDpiY()); }

}  // namespace kestrinx::qthost
