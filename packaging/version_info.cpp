// The version block's binary layout.
#include "packaging/version_info.h"

#include <cstdio>
#include <string>

namespace kestrinx::packaging {

namespace {

// UTF-16 code units of a UTF-8 text; a malformed sequence is U+FFFD.
std::u16string utf16(std::string_view s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    const int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    bool ok = length > 0 && i + static_cast<std::size_t>(length) <= s.size();
    for (int k = 1; ok && k < length; ++k) {
      const auto cont = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
      ok = (cont & 0xC0) == 0x80;
      c = (c << 6) | (cont & 0x3F);
    }
    if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += static_cast<std::size_t>(length);
  }
  return out;
}

class Writer {
 public:
  std::vector<std::uint8_t> bytes;

  void put16(std::uint16_t v) {
    bytes.push_back(static_cast<std::uint8_t>(v));
    bytes.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  void put32(std::uint32_t v) {
    put16(static_cast<std::uint16_t>(v));
    put16(static_cast<std::uint16_t>(v >> 16));
  }
  void putText(const std::u16string& s) {
    for (char16_t c : s) put16(c);
    put16(0);
  }
  void align() {
    while (bytes.size() % 4 != 0) bytes.push_back(0);
  }

  // Starts a structure; returns where its length goes.
  std::size_t begin(std::string_view key, std::uint16_t valueLength, std::uint16_t type) {
    align();
    const std::size_t start = bytes.size();
    put16(0);
    put16(valueLength);
    put16(type);
    putText(utf16(key));
    align();
    return start;
  }
  // Ends the structure begun at `start`: its length covers it and its children.
  void end(std::size_t start) {
    const auto length = static_cast<std::uint16_t>(bytes.size() - start);
    bytes[start] = static_cast<std::uint8_t>(length);
    bytes[start + 1] = static_cast<std::uint8_t>(length >> 8);
  }
};

constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;

std::uint32_t high(const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[0]} << 16) | v[1]; }
std::uint32_t low(const std::array<std::uint16_t, 4>& v) { return (std::uint32_t{v[2]} << 16) | v[3]; }

}  // namespace

std::vector<std::uint8_t> versionResource(const VersionInfo& info) {
  Writer w;
  const std::size_t root = w.begin("VS_VERSION_INFO", 52, kBinary);
  w.put32(0xFEEF04BD);  // signature
  w.put32(0x00010000);  // structure version 1.0
  w.put32(high(info.fileVersion));
  w.put32(low(info.fileVersion));
  w.put32(high(info.productVersion));
  w.put32(low(info.productVersion));
  w.put32(0x3F);  // flags mask
  w.put32(0);     // flags: none
  w.put32(0x4);   // 32-bit Windows
  w.put32(0x2);   // a library
  w.put32(0);     // subtype
  w.put32(0);     // date, high and low
  w.put32(0);

  const std::size_t stringInfo = w.begin("StringFileInfo", 0, kText);
  char table[9];
  std::snprintf(table, sizeof table, "%04X%04X", info.language, info.codePage);
  const std::size_t stringTable = w.begin(table, 0, kText);
  for (const VersionString& s : info.strings) {
    const std::u16string value = utf16(s.value);
    const std::size_t entry = w.begin(s.key, static_cast<std::uint16_t>(value.size() + 1), kText);
    w.putText(value);
    w.end(entry);
  }
  w.end(stringTable);
  w.end(stringInfo);

  const std::size_t varInfo = w.begin("VarFileInfo", 0, kText);
  const std::size_t translation = w.begin("Translation", 4, kBinary);
  w.put16(info.language);
  w.put16(info.codePage);
  w.end(translation);
  w.end(varInfo);
  w.end(root);
  return w.bytes;
}

}  // namespace kestrinx::packaging
