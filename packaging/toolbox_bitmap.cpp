// The toolbox image, drawn from a pixel table.
#include "packaging/toolbox_bitmap.h"

#include <array>
#include <string_view>

namespace kestrinx::packaging {

namespace {

struct Colour {
  std::uint8_t red, green, blue;
};

// The platform's 20 standard colours, in their usual palette order.
constexpr std::array<Colour, kToolboxColours> kPalette{{
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00}, {0x00, 0x00, 0x80},
    {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}, {0xC0, 0xDC, 0xC0}, {0xA6, 0xCA, 0xF0},
    {0xFF, 0xFB, 0xF0}, {0xA0, 0xA0, 0xA4}, {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0x00}, {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
}};

// The picture, top row first, one character per pixel: the caption "Ab" above a sunken white
// entry box holding blue text and a caret.
constexpr std::array<std::string_view, kToolboxHeight> kPixels{{
    "................",
    "..k.....k.......",
    ".k.k....k.......",
    ".kkk....kkk.....",
    ".k.k....k..k....",
    ".k.k....kkk.....",
    "DDDDDDDDDDDDDDDW",
    "DKKKKKKKKKKKKK.W",
    "DKWWWWWWWWWWWW.W",
    "DKWbbWbbWWkWWW.W",
    "DKWbWWbWbWkWWW.W",
    "DKWbbWbbWWkWWW.W",
    "DKWWWWWWWWWWWW.W",
    "D..............W",
    "WWWWWWWWWWWWWWWW",
}};

// The palette entry of each character of the table.
constexpr std::uint8_t colourOf(char c) {
  switch (c) {
    case 'k':
    case 'K': return 0;   // black: caption, caret, the box's inner shadow
    case 'b': return 4;   // dark blue: the text in the box
    case '.': return 7;   // light grey: the background and the box's inner light edge
    case 'D': return 12;  // dark grey: the box's outer shadow
    case 'W': return 19;  // white: the box and its outer light edge
    default: throw "a pixel character without a colour";
  }
}

constexpr bool tableIsWhole() {
  for (std::string_view row : kPixels) {
    if (row.size() != static_cast<std::size_t>(kToolboxWidth)) return false;
    for (char c : row) (void)colourOf(c);
  }
  return true;
}
static_assert(tableIsWhole(), "every row is 16 known pixels");

// Rows of 8-bit pixels are already a multiple of 4 bytes wide.
static_assert(kToolboxWidth % 4 == 0);
constexpr std::uint32_t kPixelBytes = kToolboxWidth * kToolboxHeight;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kPaletteBytes = 4 * kToolboxColours;
constexpr std::uint32_t kFileHeaderBytes = 14;

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> toolboxBitmap() {
  std::vector<std::uint8_t> out;
  out.reserve(kInfoHeaderBytes + kPaletteBytes + kPixelBytes);
  put32(out, kInfoHeaderBytes);
  put32(out, kToolboxWidth);
  put32(out, kToolboxHeight);  // positive: the bottom row comes first
  put16(out, 1);               // planes
  put16(out, 8);               // bits per pixel
  put32(out, 0);               // no compression
  put32(out, kPixelBytes);
  put32(out, 0);  // pixels per metre, across and down: unspecified
  put32(out, 0);
  put32(out, kToolboxColours);  // colours used
  put32(out, 0);                // all of them important
  for (const Colour& c : kPalette) {
    out.push_back(c.blue);
    out.push_back(c.green);
    out.push_back(c.red);
    out.push_back(0);
  }
  for (int row = kToolboxHeight - 1; row >= 0; --row)
    for (char c : kPixels[static_cast<std::size_t>(row)]) out.push_back(colourOf(c));
  return out;
}

std::vector<std::uint8_t> toolboxBitmapFile() {
  const std::vector<std::uint8_t> dib = toolboxBitmap();
  std::vector<std::uint8_t> out;
  out.reserve(kFileHeaderBytes + dib.size());
  out.push_back('B');
  out.push_back('M');
  put32(out, static_cast<std::uint32_t>(kFileHeaderBytes + dib.size()));
  put32(out, 0);  // reserved
  put32(out, kFileHeaderBytes + kInfoHeaderBytes + kPaletteBytes);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

}  // namespace kestrinx::packaging
