// The resources libKestrinX.so carries, each found by its type and number through one lookup:
//   TYPELIB 1          the type library, as kestrinxTypeLibrary() writes it
//   _IID_KESTRIN 1     the identifier of _Kestrin      } 20 bytes each: the length 16 as a 32-bit
//   _SRCIID_KESTRIN 1  the identifier of __Kestrin     } little-endian number, then the identifier
//   _IID_GENERAL 1     the identifier of _General      } in the standard binary layout
//   BITMAP 30000       the controls' toolbox image (toolbox_bitmap.h)
//   VERSION 1          the version block (version_info.h)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "values/automation.h"

namespace kestrinx::packaging {

inline constexpr std::string_view kTypeLibResource = "TYPELIB";
inline constexpr std::string_view kInterfaceIdResource = "_IID_KESTRIN";
inline constexpr std::string_view kEventInterfaceIdResource = "_SRCIID_KESTRIN";
inline constexpr std::string_view kPageInterfaceIdResource = "_IID_GENERAL";
inline constexpr std::string_view kBitmapResource = "BITMAP";
inline constexpr std::string_view kVersionResource = "VERSION";
inline constexpr std::uint16_t kToolboxBitmapId = 30000;

struct ResourceId {
  std::string_view type;
  std::uint16_t id;
};

// Every resource, in the order above.
std::span<const ResourceId> resourceIds();

// The bytes of resource `id` of `type` (the type's name exactly as above), or nothing when the
// library has no such resource. The bytes stay valid for the life of the program.
std::optional<std::span<const std::uint8_t>> findResource(std::string_view type, std::uint16_t id);

// An identifier resource: the length 16 (32-bit little-endian), then Data1 (32-bit
// little-endian), Data2 and Data3 (16-bit little-endian) and the eight bytes of Data4.
std::array<std::uint8_t, 20> identifierResource(const values::Guid& g);

}  // namespace kestrinx::packaging
