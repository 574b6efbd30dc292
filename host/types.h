// Automation value types shared by the control, the property page and every host.
#pragma once

#include <cstdint>

namespace kestrinx::host {

// 16-bit automation Boolean. Stored exactly as given (never normalised);
// a flag counts as set when it is non-zero.
using Boolean = std::int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

inline constexpr Boolean toBoolean(bool b) { return b ? True : False; }

// 32-bit OLE colour: 0x00BBGGRR for an RGB colour, 0x800000nn for system colour nn.
using OleColor = std::uint32_t;
inline constexpr OleColor SystemWindowBackground = 0x80000005u;
inline constexpr OleColor SystemWindowText = 0x80000008u;
inline constexpr OleColor SystemButtonText = 0x80000012u;

// Lengths and positions on a control's surface, in twips (1/1440 inch), single precision.
using Twips = float;

}  // namespace kestrinx::host
