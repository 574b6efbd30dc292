#include "packaging/typelib_hashes.h"

namespace kestrinx::packaging {

std::uint32_t nameHash(std::string_view name) {
  std::uint32_t acc = 0x0DEADBEE;
  for (const char ch : name) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
    acc = acc * 37 + c;  // wraps modulo 2^32 as the platform's unsigned arithmetic does
  }
  return 0x00100000u | ((acc % 65599u) & 0xFFFFu);
}

std::size_t guidBucket(const values::Guid& g) {
  std::uint32_t x = (g.data1 & 0xFFFFu) ^ (g.data1 >> 16) ^ g.data2 ^ g.data3;
  for (std::size_t i = 0; i < g.data4.size(); i += 2)
    x ^= static_cast<std::uint32_t>(g.data4[i] | (g.data4[i + 1] << 8));
  return x & 0x1F;
}

}  // namespace kestrinx::packaging
