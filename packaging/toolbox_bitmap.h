// The controls' toolbox image: a 16 by 15 pixel picture of an entry box with its caption, with
// 8 bits per pixel over the platform's 20 standard colours, drawn from a pixel table in
// toolbox_bitmap.cpp.
#pragma once

#include <cstdint>
#include <vector>

namespace kestrinx::packaging {

inline constexpr int kToolboxWidth = 16;
inline constexpr int kToolboxHeight = 15;
inline constexpr int kToolboxColours = 20;

// The bitmap resource: a BITMAPINFOHEADER (40 bytes: width 16, height 15 with the bottom row
// first, 1 plane, 8 bits, no compression, 240 bytes of pixels, 20 colours used), the 20 palette
// entries (blue, green, red, 0), then the rows.
std::vector<std::uint8_t> toolboxBitmap();

// The same picture as a .bmp file: the 14-byte file header ("BM", file size, offset of the
// pixels) followed by the resource.
std::vector<std::uint8_t> toolboxBitmapFile();

}  // namespace kestrinx::packaging
