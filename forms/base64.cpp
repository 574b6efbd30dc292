#include "forms/base64.h"

#include <array>
#include <cstdint>

namespace kestrinx::forms {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> kValues = [] {
  std::array<std::int8_t, 256> v{};
  for (auto& x : v) x = -1;
  for (int i = 0; i < 64; ++i) v[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
  return v;
}();

}  // namespace

std::string base64Encode(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  const auto at = [&](std::size_t k) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[k])); };
  for (; i + 3 <= bytes.size(); i += 3) {
    const std::uint32_t n = at(i) << 16 | at(i + 1) << 8 | at(i + 2);
    out += kAlphabet[n >> 18];
    out += kAlphabet[(n >> 12) & 63];
    out += kAlphabet[(n >> 6) & 63];
    out += kAlphabet[n & 63];
  }
  if (bytes.size() - i == 1) {
    const std::uint32_t n = at(i) << 16;
    out += kAlphabet[n >> 18];
    out += kAlphabet[(n >> 12) & 63];
    out += "==";
  } else if (bytes.size() - i == 2) {
    const std::uint32_t n = at(i) << 16 | at(i + 1) << 8;
    out += kAlphabet[n >> 18];
    out += kAlphabet[(n >> 12) & 63];
    out += kAlphabet[(n >> 6) & 63];
    out += '=';
  }
  return out;
}

std::optional<std::string> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=' && text[i + 3] == '=') : 0;
    std::uint32_t n = 0;
    for (int k = 0; k < 4 - padding; ++k) {
      const std::int8_t v = kValues[static_cast<unsigned char>(text[i + k])];
      if (v < 0) return std::nullopt;
      n |= static_cast<std::uint32_t>(v) << (18 - 6 * k);
    }
    out += static_cast<char>(n >> 16);
    if (padding == 2) {
      if ((n & 0xFFFF) != 0) return std::nullopt;
      break;
    }
    out += static_cast<char>((n >> 8) & 0xFF);
    if (padding == 1) {
      if ((n & 0xFF) != 0) return std::nullopt;
      break;
    }
    out += static_cast<char>(n & 0xFF);
  }
  return out;
}

}  // namespace kestrinx::forms
