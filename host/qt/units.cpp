#include "host/qt/units.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
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

// The one screen when there is exactly one, else nullptr. Found again after a screen comes or
// goes, or the application changes; widgets and so their units live on the GUI thread alone.
const QScreen* onlyScreen() {
  static QPointer<QGuiApplication> app;
  static bool known = false;
  static const QScreen* only = nullptr;
  if (app.isNull() || app.data() != qGuiApp) {
    app = qGuiApp;
    known = false;
    if (qGuiApp != nullptr) {
      const auto forget = [] { known = false; };
      QObject::connect(qGuiApp, &QGuiApplication::screenAdded, qGuiApp, forget);
      QObject::connect(qGuiApp, &QGuiApplication::screenRemoved, qGuiApp, forget);
    }
  }
  if (!known) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    only = screens.size() == 1 ? screens.front() : nullptr;
    known = qGuiApp != nullptr;
  }
  return only;
}

}  // namespace

// A widget's DPI is its screen's, and Qt looks that screen up again for the widget and each of
// its parents, by the position of a window not yet shown: costly for the many widgets of a form
// being built. With one screen every widget is on it, so its DPI is read there directly.
int logicalDpiX(const QWidget& w) {
  const QScreen* s = onlyScreen();
  return s != nullptr ? qRound(s->logicalDotsPerInchX()) : w.logicalDpiX();
}
int logicalDpiY(const QWidget& w) {
  const QScreen* s = onlyScreen();
  return s != nullptr ? qRound(s->logicalDotsPerInchY()) : w.logicalDpiY();
}

int toPixelsX(const QWidget& w, Twips t) { return toPixels(t, logicalDpiX(w)); }
int toPixelsY(const QWidget& w, Twips t) { return toPixels(t, logicalDpiY(w)); }
Twips toTwipsX(const QWidget& w, double px) { return toTwips(px, logicalDpiX(w)); }
Twips toTwipsY(const QWidget& w, double px) { return toTwips(px, logicalDpiY(w)); }

}  // namespace kestrinx::qthost
