#include "host/qt/surface.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

#include "host/accepted_values.h"
#include "host/event_depth.h"
#include "host/qt/fonts.h"
#include "host/qt/strings.h"
#include "host/qt/units.h"
#include "values/error.h"
#include "values/variant.h"

namespace kestrinx::qthost {

// Hears the widget's events for a surface whose widget does not hand them on itself.
class Surface::Watcher final : public QObject {
 public:
  explicit Watcher(Surface& s) : s_(s) {}
  bool eventFilter(QObject* /*watched*/, QEvent* e) override {
    s_.widgetEvent(*e);
    return false;
  }

 private:
  Surface& s_;
};

void Surface::widgetEvent(QEvent& e) {
  switch (e.type()) {
    case QEvent::Resize: {
      const QSize size = static_cast<QResizeEvent&>(e).size();
      delivery_.deliver([&] { widgetResized(size); });
      break;
    }
    case QEvent::Paint:
      delivery_.deliver([&] { raise(&host::SurfaceEvents::onPaint); });
      paint();
      break;
    case QEvent::Show:
      if (shown_) shown_();
      delivery_.deliver([&] { raise(&host::SurfaceEvents::onShow); });
      break;
    case QEvent::Hide: delivery_.deliver([&] { raise(&host::SurfaceEvents::onHide); }); break;
    default: break;
  }
}

Surface::Surface(QWidget& widget, std::string extenderName, Delivery& delivery, Events events)
    : widget_(widget),
      extenderName_(std::move(extenderName)),
      delivery_(delivery),

      ambientFont_(std::make_shared<values::Font>()),
      font_(std::make_shared<values::Font>(*ambientFont_)) {
  installFontSubstitutions();
  showSize();
  if (events == Events::Watched) {
    watcher_ = std::make_unique<Watcher>(*this);
    widget_.installEventFilter(watcher_.get());
  }
}

Surface::~Surface() {
  if (watcher_) widget_.removeEventFilter(watcher_.get());
}

void Surface::setFont(values::FontRef f) {
  if (!f) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(f);
}

Twips Surface::textWidth(const std::string& s) const {
  if (!measured_) measured_ = std::make_unique<Measured>();
  Measured& m = *measured_;
  const int dpi = logicalDpiX(widget_);
  if (!m.metrics || m.dpi != dpi || !values::sameFont(*m.font, *font_)) {
    m.font = std::make_shared<values::Font>(*font_);
    m.dpi = dpi;
    m.metrics.emplace(toQFont(*font_), &widget_);
    m.widths.clear();
  }
  if (const auto it = m.widths.find(s); it != m.widths.end()) return it->second;
  constexpr std::size_t kKept = 64;
  if (m.widths.size() >= kKept) m.widths.clear();
  const Twips w = toTwipsX(widget_, m.metrics->horizontalAdvance(toQString(s)));
  m.widths.emplace(s, w);
  return w;
}

QSize Surface::pixelSize() const { return {toPixelsX(widget_, width_), toPixelsY(widget_, height_)}; }

QSize Surface::requestedPixelSize() const {
  return {toPixelsX(widget_, requestedWidth_), toPixelsY(widget_, requestedHeight_)};
}

void Surface::setWidth(Twips v) {
  requestedWidth_ = host::checkedSize(v);
  changeSide(width_, v, Shown::No);
}

void Surface::setHeight(Twips v) {
  requestedHeight_ = host::checkedSize(v);
  changeSide(height_, v, Shown::No);
}

void Surface::resize(Twips width, Twips height) {
  requestedWidth_ = host::checkedSize(width);
  requestedHeight_ = host::checkedSize(height);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  showSize();
  raise(&host::SurfaceEvents::onResize);
}

// Sets one side; a real change raises Resize before returning.
void Surface::changeSide(Twips& side, Twips v, Shown shown) {
  if (v == side) return;
  side = v;
  if (shown == Shown::No) showSize();
  raise(&host::SurfaceEvents::onResize);
}

void Surface::showSize() {
  resizing_ = true;
  widget_.resize(pixelSize());
  resizing_ = false;
  widget_.updateGeometry();  // a layout the widget is in asks for its size again
}

void Surface::widgetResized(QSize size) {
  if (resizing_) return;  // the surface's own resize
  // A side whose pixels still show the kept twips keeps them (no drift from rounding).
  const Twips w = size.width() == toPixelsX(widget_, width_) ? width_ : toTwipsX(widget_, size.width());
  const Twips h = size.height() == toPixelsY(widget_, height_) ? height_ : toTwipsY(widget_, size.height());
  changeSide(width_, w, Shown::Already);
  changeSide(height_, h, Shown::Already);
}

void Surface::paint() {
  QPainter painter(&widget_);
  // The style's background of a plain widget: what a style sheet sets on the control's widget.
  QStyleOption option;
  option.initFrom(&widget_);
  widget_.style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, &widget_);
  if (painter_) painter_(painter);
}

void Surface::refresh() { widget_.update(); }

// The widget's own window handle: a widget without a native window of its own has none (0); the
// handle of the window it is drawn in belongs to that window, not to the control.
std::int32_t Surface::hWnd() const { return static_cast<std::int32_t>(widget_.internalWinId()); }

void Surface::propertyChanged(const std::string& name) {
  if (changed_) changed_(name);
}

void Surface::raise(void (host::SurfaceEvents::*event)()) {
  host::detail::raiseEvent(sink_, [&](host::SurfaceEvents& s) { (s.*event)(); });
}

}  // namespace kestrinx::qthost
