// Base64 (the standard alphabet with '=' padding) for bytes kept in text files.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrinx::forms {

std::string base64Encode(std::string_view bytes);

// The bytes of a strict base64 text (length a multiple of 4, padding only at the end, no
// whitespace, unused bits zero); nullopt for anything else.
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace kestrinx::forms
