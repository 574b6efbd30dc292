#include "output.h"

#include <cstdio>

namespace kestrinx::cli {

namespace {

void appendEscapedByte(std::string& out, unsigned char c) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(c));
  out += buf;
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

std::string jsonString(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + 2);
  out += '"';
  for (std::size_t i = 0; i < bytes.size();) {
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
  return out;
}

std::string colourHex(host::OleColor colour) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%08X", static_cast<unsigned>(colour));
  return buf;
}

std::string humanLine(const Outcome& o) {
  std::string line = o.valid ? "valid   " : "invalid ";
  line += jsonString(o.value());
  line += "  ";
  if (o.pad > 0) line += "pad=" + std::to_string(o.pad) + " ";
  line += "colour=";
  line += o.colour == ColourRole::Other ? colourHex(o.backColor) : colourRoleName(o.colour);
  line += " beeps=" + std::to_string(o.beeps);
  for (const std::string& m : o.messages) line += " message=" + jsonString(m);
  if (o.truncated) line += " truncated=" + std::to_string(o.input.size()) + "/" + std::to_string(o.inputBytes);
  if (o.error) line += " error=" + jsonString(*o.error);
  return line;
}

std::string jsonLine(const Outcome& o) {
  std::string line = "{\"input\":" + jsonString(o.input);
  line += ",\"text\":" + jsonString(o.value());
  line += ",\"boxText\":" + jsonString(o.boxText);
  line += ",\"pad\":" + std::to_string(o.pad);
  line += std::string(",\"valid\":") + (o.valid ? "true" : "false");
  line += std::string(",\"colour\":\"") + colourRoleName(o.colour) + "\"";
  line += ",\"backColor\":\"" + colourHex(o.backColor) + "\"";
  line += ",\"beeps\":" + std::to_string(o.beeps);
  line += ",\"messages\":[";
  for (std::size_t i = 0; i < o.messages.size(); ++i) {
    if (i) line += ',';
    line += jsonString(o.messages[i]);
  }
  line += "]";
  line += std::string(",\"truncated\":") + (o.truncated ? "true" : "false");
  if (o.truncated) line += ",\"inputBytes\":" + std::to_string(o.inputBytes);
  if (o.error) line += ",\"error\":" + jsonString(*o.error);
  line += "}";
  return line;
}

}  // namespace kestrinx::cli
