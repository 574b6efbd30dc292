/// \file
/// Automation value types shared by the control, the property page and every host.
#pragma once

#include <cstdint>

namespace kestrinx::values {

/// 16-bit automation Boolean. Stored exactly as given (never normalised);
/// a flag counts as set when it is non-zero.
using Boolean = std::int16_t;
inline constexpr Boolean True = -1;  ///< the automation true
inline constexpr Boolean False = 0;  ///< the automation false

/// A C++ bool as an automation Boolean.
inline constexpr Boolean toBoolean(bool b) { return b ? True : False; }

/// 32-bit OLE colour: 0x00BBGGRR for an RGB colour, 0x800000nn for system colour nn.
using OleColor = std::uint32_t;
inline constexpr OleColor SystemWindowBackground = 0x80000005u;  ///< system colour 5, the window background
inline constexpr OleColor SystemWindowText = 0x80000008u;        ///< system colour 8, the window text
inline constexpr OleColor SystemButtonText = 0x80000012u;        ///< system colour 18, the button text

/// Lengths and positions on a control's surface, in twips (1/1440 inch), single precision.
using Twips = float;

}  // namespace kestrinx::values
