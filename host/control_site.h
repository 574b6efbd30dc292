/// \file
/// Everything a Kestrin control receives from its host at creation: its surface, its three
/// constituent widgets and the host services. The host owns them all and outlives the control.
#pragma once

#include "host/services.h"
#include "host/surface.h"
#include "host/widgets.h"

namespace kestrinx::host {

/// What a control stands on: the host implements it (headless::ControlSite, the Qt host's site).
class ControlSite {
 public:
  virtual ~ControlSite() = default;
  /// The control's own surface: size, scale, Extender and Ambient values, PropertyChanged.
  virtual Surface& surface() = 0;
  /// txtKestrin elements: 0 the three-dimensional box, 1 the flat box.
  virtual TextBox& txtKestrin(int index) = 0;
  /// The caption label.
  virtual Label& lblCaption() = 0;
  /// The clock, beep and message box.
  virtual Services& services() = 0;
};

}  // namespace kestrinx::host
