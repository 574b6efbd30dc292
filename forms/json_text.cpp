#include "forms/json_text.h"

#include <cstdint>
#include <cstring>

namespace kestrinx::forms {

namespace {

// Whether eight bytes are all ASCII.
bool asciiWord(const char* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return (w & 0x8080808080808080u) == 0;
}

// Whether a byte passes into a JSON string as it is: printable ASCII other than " and \.
bool plainInJson(unsigned char c) { return c >= 0x20 && c < 0x7f && c != '"' && c != '\\'; }

void appendEscapedByte(std::string& out, unsigned char c) {
  static constexpr char hex[] = "0123456789ABCDEF";
  out += "\\u00";
  out += hex[c >> 4];
  out += hex[c & 0xF];
}

}  // namespace

std::size_t utf8SequenceLength(std::string_view s, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char b0 = byte(i);
  std::size_t n;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    n = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    n = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    n = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
  for (std::size_t k = 2; k < n; ++k)
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  return n;
}

bool isUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    if (i + 8 <= s.size() && asciiWord(s.data() + i)) {
      i += 8;
      continue;
    }
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
      continue;
    }
    const std::size_t n = utf8SequenceLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

void appendJsonString(std::string& out, std::string_view bytes) {
  std::size_t first = 0;  // the first byte that needs more than copying
  while (first < bytes.size() && plainInJson(static_cast<unsigned char>(bytes[first]))) ++first;
  if (first == bytes.size()) {
    // Most strings: the quotes and the bytes, appended at once.
    const std::size_t at = out.size();
    out.resize(at + bytes.size() + 2);
    char* p = out.data() + at;
    *p = '"';
    if (!bytes.empty()) std::memcpy(p + 1, bytes.data(), bytes.size());
    p[bytes.size() + 1] = '"';
    return;
  }
  out += '"';
  for (std::size_t i = 0; i < bytes.size();) {
    // Runs of bytes that need nothing go in at once.
    std::size_t plain = i;
    while (plain < bytes.size() && plainInJson(static_cast<unsigned char>(bytes[plain]))) ++plain;
    if (plain > i) {
      out.append(bytes.data() + i, plain - i);
      i = plain;
      if (i == bytes.size()) break;
    }
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x80) {
      const std::size_t n = utf8SequenceLength(bytes, i);
      if (n == 0) {
        appendEscapedByte(out, c);
        ++i;
      } else {
        out.append(bytes.substr(i, n));
        i += n;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7f)
          appendEscapedByte(out, c);
        else
          out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
}

std::string jsonString(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 2);
  appendJsonString(out, bytes);
  return out;
}

}  // namespace kestrinx::forms
