// The control's own surface as the forms host provides it: Extender and Ambient values,
// scale, outer size, text measuring, property-change notification and the surface events.
#pragma once

#include <cstdint>
#include <string>

#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::host {

// Events the host raises on a control's surface.
class SurfaceEvents {
 public:
  virtual ~SurfaceEvents() = default;
  virtual void onResize() {}
  virtual void onPaint() {}
  virtual void onShow() {}
  virtual void onHide() {}
};

class Surface {
 public:
  virtual ~Surface() = default;

  // Extender.Name: the instance name the container gave the control ("Kestrin1").
  virtual std::string extenderName() const = 0;
  // Ambient.Font and Ambient.UserMode (False at design time).
  virtual values::FontRef ambientFont() const = 0;
  virtual values::Boolean ambientUserMode() const = 0;

  // The surface's own font, used by textWidth.
  virtual values::FontRef font() const = 0;
  virtual void setFont(values::FontRef f) = 0;
  // Width of a text in the surface's font, in scale units.
  virtual values::Twips textWidth(const std::string& s) const = 0;

  // Outer size, in the same units as the scale. Changing either raises Resize before the
  // setter returns (also from inside a Resize handler).
  virtual values::Twips width() const = 0;
  virtual values::Twips height() const = 0;
  virtual void setWidth(values::Twips v) = 0;
  virtual void setHeight(values::Twips v) = 0;

  // The coordinate system of the inside (twips, origin 0,0 unless the control changes it).
  virtual values::Twips scaleLeft() const = 0;
  virtual values::Twips scaleTop() const = 0;
  virtual values::Twips scaleWidth() const = 0;
  virtual values::Twips scaleHeight() const = 0;
  virtual std::int16_t scaleMode() const = 0;  // 1 twips

  virtual values::Boolean autoRedraw() const = 0;
  virtual void setAutoRedraw(values::Boolean v) = 0;
  virtual void refresh() = 0;
  virtual std::int32_t hWnd() const = 0;

  // Marks a property for saving; the name is the property's own name.
  virtual void propertyChanged(const std::string& name) = 0;

  virtual void setEventSink(SurfaceEvents* sink) = 0;
};

}  // namespace kestrinx::host
