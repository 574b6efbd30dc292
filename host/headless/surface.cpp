// The headless control surface: outer size with synchronous Resize, font and text measuring,
// property-change records.
#include "host/headless/surface.h"

#include <atomic>

#include "host/accepted_values.h"
#include "host/headless/event_depth.h"
#include "host/headless/metrics.h"
#include "values/error.h"

namespace kestrinx::headless {

namespace {

// Window handles: the first surface of the process gets 0x10010, each later one 0x10 more.
std::atomic<std::int32_t> nextHandle{0x10010};

// Sets one side of the outer size; a real change counts and raises Resize before returning.
void changeSize(Twips& side, Twips v, int& resizes, host::SurfaceEvents* const& sink) {
  host::checkedSize(v);
  if (v == side) return;
  side = v;
  ++resizes;
  detail::raiseEvent(sink, [](host::SurfaceEvents& s) { s.onResize(); });
}

}  // namespace

Surface::Surface(std::string extenderName)
    : extenderName_(std::move(extenderName)),
      ambientFont_(std::make_shared<values::Font>()),
      font_(std::make_shared<values::Font>(*ambientFont_)),
      hWnd_(nextHandle.fetch_add(0x10)) {}

void Surface::setFont(values::FontRef f) {
  check("setFont");
  if (!f) values::raiseError(values::err::ObjectRequired);
  font_ = std::move(f);
}

Twips Surface::textWidth(const std::string& s) const {
  check("textWidth");
  return headless::textWidth(*font_, s);
}

void Surface::setWidth(Twips v) {
  check("setWidth");
  changeSize(width_, v, resizes_, sink_);
}

void Surface::setHeight(Twips v) {
  check("setHeight");
  changeSize(height_, v, resizes_, sink_);
}

void Surface::propertyChanged(const std::string& name) {
  check("propertyChanged");
  if (changed_.capacity() == 0) changed_.reserve(32);  // loading a control records some twenty
  changed_.push_back(name);
}

// The container's own resizing is not subject to the failures injected for the control's calls.
void Surface::resize(Twips width, Twips height) {
  host::checkedSize(width);
  host::checkedSize(height);
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  ++resizes_;
  detail::raiseEvent(sink_, [](host::SurfaceEvents& s) { s.onResize(); });
}

void Surface::paint() {
  detail::raiseEvent(sink_, [](host::SurfaceEvents& s) { s.onPaint(); });
}

void Surface::show() {
  detail::raiseEvent(sink_, [](host::SurfaceEvents& s) { s.onShow(); });
}

void Surface::hide() {
  detail::raiseEvent(sink_, [](host::SurfaceEvents& s) { s.onHide(); });
}

}  // namespace kestrinx::headless
