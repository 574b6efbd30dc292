// Everything a Kestrin control receives from its host at creation: its surface, its three
// constituent widgets and the host services. The host owns them all and outlives the control.
#pragma once

#include "host/services.h"
#include "host/surface.h"
#include "host/widgets.h"

namespace kestrinx::host {

class ControlSite {
 public:
  virtual ~ControlSite() = default;
  virtual Surface& surface() = 0;
  // txtKestrin elements: 0 the three-dimensional box, 1 the flat box.
  virtual TextBox& txtKestrin(int index) = 0;
  virtual Label& lblCaption() = 0;
  virtual Services& services() = 0;
};

}  // namespace kestrinx::host
