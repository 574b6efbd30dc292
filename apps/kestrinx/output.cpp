#include "output.h"

#include <cstdio>

namespace kestrinx::cli {

std::string colourHex(values::OleColor colour) {
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
