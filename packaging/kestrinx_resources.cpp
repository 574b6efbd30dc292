// The library's resources, made once on first use.
#include "packaging/kestrinx_resources.h"

#include <vector>

#include "control/members.h"
#include "packaging/kestrinx_typelib.h"
#include "packaging/toolbox_bitmap.h"
#include "packaging/version_info.h"
#include "propertypage/general_identity.h"

namespace kestrinx::packaging {

namespace {

constexpr std::array<ResourceId, 6> kResources{{
    {kTypeLibResource, 1},
    {kInterfaceIdResource, 1},
    {kEventInterfaceIdResource, 1},
    {kPageInterfaceIdResource, 1},
    {kBitmapResource, kToolboxBitmapId},
    {kVersionResource, 1},
}};

std::vector<std::uint8_t> bytesOf(const values::Guid& g) {
  const std::array<std::uint8_t, 20> a = identifierResource(g);
  return {a.begin(), a.end()};
}

// The bytes of each resource, in the order of kResources.
const std::array<std::vector<std::uint8_t>, 6>& contents() {
  static const std::array<std::vector<std::uint8_t>, 6> c{
      kestrinxTypeLibrary(),
      bytesOf(members::kInterfaceId),
      bytesOf(members::kEventInterfaceId),
      bytesOf(propertypage::kGeneralInterfaceId),
      toolboxBitmap(),
      versionResource(kVersionInfo),
  };
  return c;
}

}  // namespace

std::span<const ResourceId> resourceIds() { return kResources; }

std::optional<std::span<const std::uint8_t>> findResource(std::string_view type, std::uint16_t id) {
  for (std::size_t i = 0; i < kResources.size(); ++i)
    if (kResources[i].type == type && kResources[i].id == id) return std::span<const std::uint8_t>(contents()[i]);
  return std::nullopt;
}

std::array<std::uint8_t, 20> identifierResource(const values::Guid& g) {
  std::array<std::uint8_t, 20> out{};
  const auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put(0, 16, 4);
  put(4, g.data1, 4);
  put(8, g.data2, 2);
  put(10, g.data3, 2);
  for (std::size_t i = 0; i < 8; ++i) out[12 + i] = g.data4[i];
  return out;
}

}  // namespace kestrinx::packaging
