// The library's version block: its values, and their standard binary layout (VS_VERSIONINFO)
// as the library's version resource.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrinx::packaging {

struct VersionString {
  std::string_view key;
  std::string_view value;
};

struct VersionInfo {
  std::array<std::uint16_t, 4> fileVersion;
  std::array<std::uint16_t, 4> productVersion;
  std::uint16_t language;  // 0x0409, US English
  std::uint16_t codePage;  // 0x04B0 (1200), Unicode
  std::array<VersionString, 6> strings;
};

inline constexpr VersionInfo kVersionInfo{
    {1, 0, 0, 0},
    {1, 0, 0, 0},
    0x0409,
    0x04B0,
    {{
        {"FileVersion", "1.00"},
        {"ProductVersion", "1.00"},
        {"ProductName", "KestrinX"},
        {"InternalName", "KestrinX"},
        {"OriginalFilename", "KestrinX.ocx"},
        {"OLESelfRegister", ""},  // present and empty: the file registers itself
    }},
};

// The block in the standard layout, every structure a 16-bit length, a 16-bit value length, a
// 16-bit type (1 text, 0 binary), its key in UTF-16 with a terminating 0, padding to 32 bits,
// its value, then its children each padded to 32 bits:
//   "VS_VERSION_INFO" with the 52-byte fixed information (signature 0xFEEF04BD, structure
//   version 1.0, file and product version, flags mask 0x3F, flags 0, 32-bit Windows, a
//   library, no subtype, no date), then
//   "StringFileInfo" > "040904B0" > one text entry per string (value length in characters,
//   counting the terminating 0), and
//   "VarFileInfo" > "Translation" (4 bytes: language, then code page).
std::vector<std::uint8_t> versionResource(const VersionInfo& info);

}  // namespace kestrinx::packaging
