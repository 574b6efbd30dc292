// The headless control surface: Extender and Ambient values, outer size, text measuring by the
// metrics rule, property-change records, and the container's own actions (resize, paint, show,
// hide). Changing the size raises Resize at once, also from inside a Resize handler.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/control_design.h"
#include "host/headless/failure_points.h"
#include "host/surface.h"
#include "values/objects.h"
#include "values/types.h"

namespace kestrinx::headless {

using values::Boolean;
using values::Twips;

class Surface final : public host::Surface, public FailurePoints {
 public:
  explicit Surface(std::string extenderName);
  std::string extenderName() const override { return extenderName_; }
  values::FontRef ambientFont() const override { return ambientFont_; }
  Boolean ambientUserMode() const override { return userMode_; }
  values::FontRef font() const override { return font_; }
  void setFont(values::FontRef f) override;
  Twips textWidth(const std::string& s) const override;
  Twips width() const override { return width_; }
  Twips height() const override { return height_; }
  void setWidth(Twips v) override;   // raises Resize when the width changes
  void setHeight(Twips v) override;  // raises Resize when the height changes
  Twips scaleLeft() const override { return 0; }
  Twips scaleTop() const override { return 0; }
  Twips scaleWidth() const override { return width_; }
  Twips scaleHeight() const override { return height_; }
  std::int16_t scaleMode() const override { return 1; }
  Boolean autoRedraw() const override { return autoRedraw_; }
  void setAutoRedraw(Boolean v) override { check("setAutoRedraw"); autoRedraw_ = v; }
  void refresh() override { ++refreshes_; }
  // Fake handles: the process's first surface has 0x10010, each later one 0x10 more.
  std::int32_t hWnd() const override { return hWnd_; }
  void propertyChanged(const std::string& name) override;
  void setEventSink(host::SurfaceEvents* sink) override { sink_ = sink; }

  // -- what the container does --
  void setUserMode(Boolean v) { userMode_ = v; }
  void setAmbientFont(values::FontRef f) { ambientFont_ = std::move(f); }
  // The container resizes the control: both sides at once, then one Resize if either changed
  // (so the control lays itself out once, for the whole new size).
  void resize(Twips width, Twips height);
  void paint();
  void show();
  void hide();

  // -- records --
  const std::vector<std::string>& changedProperties() const { return changed_; }
  // Forgets the records and the room they took (a control on a form keeps none between changes).
  void clearChangedProperties() { std::vector<std::string>().swap(changed_); }
  int resizeEvents() const { return resizes_; }
  int refreshes() const { return refreshes_; }

 private:
  std::string extenderName_;
  values::FontRef ambientFont_;
  values::FontRef font_;
  Boolean userMode_ = values::True;
  Twips width_ = host::design::SurfaceWidth, height_ = host::design::SurfaceHeight;
  Boolean autoRedraw_ = values::False;
  std::int32_t hWnd_;
  host::SurfaceEvents* sink_ = nullptr;
  std::vector<std::string> changed_;
  int resizes_ = 0;
  int refreshes_ = 0;
};

}  // namespace kestrinx::headless
