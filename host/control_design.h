// How a Kestrin control's surface and widgets stand when a host creates them, before the first
// layout runs: the geometry of the control's design, in twips. Every host creates them so.
#pragma once

#include "values/types.h"

namespace kestrinx::host::design {

// lblCaption: sized to the instance name, then set to this rectangle.
inline constexpr values::Twips CaptionLeft = 0, CaptionTop = 0, CaptionWidth = 828, CaptionHeight = 240;
// Both txtKestrin elements, one on top of the other, holding the instance name.
inline constexpr values::Twips BoxLeft = 960, BoxTop = 0, BoxWidth = 1600, BoxHeight = 360;
// The control's surface.
inline constexpr values::Twips SurfaceWidth = 2560, SurfaceHeight = 360;

}  // namespace kestrinx::host::design
