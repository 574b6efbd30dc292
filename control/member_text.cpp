#include "values.h"

#include <cstdio>
#include <vector>

#include "host/error.h"
#include "host/values.h"

namespace kestrinx::cli {

namespace {

std::vector<std::string> splitCommas(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  for (std::string& p : parts) p = host::trim(p);
  return parts;
}

bool sameWord(const std::string& a, const char* b) {
  return host::equalsIgnoreCase(a, b);
}

}  // namespace

host::Variant valueFromText(host::AutoType type, const host::EnumInfo* enumeration, const std::string& text) {
  switch (type) {
    case host::AutoType::Font: {
      const std::vector<std::string> parts = splitCommas(text);
      if (parts[0].empty()) host::raiseError(host::err::TypeMismatch);
      auto font = std::make_shared<host::Font>();
      font->name = parts[0];
      for (std::size_t i = 1; i < parts.size(); ++i) {
        if (sameWord(parts[i], "bold")) {
          font->bold = true;
          font->weight = 700;
        } else if (sameWord(parts[i], "italic")) {
          font->italic = true;
        } else {
          font->size = host::Variant::string(parts[i]).toSingle();
          if (!(font->size > 0)) host::raiseError(host::err::InvalidPropertyValue);
        }
      }
      return host::Variant::font(std::move(font));
    }
    case host::AutoType::Picture: host::raiseError(host::err::TypeMismatch);
    case host::AutoType::Enum:
      // A member of the property's enumeration by its name, in any case, or a number.
      if (enumeration != nullptr) {
        const std::string name = host::trim(text);
        for (const host::EnumMember& e : enumeration->members)
          if (host::equalsIgnoreCase(e.name, name)) return host::Variant::longValue(e.value);
      }
      return host::Variant::string(text);
    default: return host::Variant::string(text);
  }
}

std::string textFromValue(host::AutoType type, const host::EnumInfo* enumeration, const host::Variant& value) {
  switch (type) {
    case host::AutoType::Color: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "0x%08X", host::toColor(value));
      return buf;
    }
    case host::AutoType::Enum: {
      const std::int32_t v = value.toLong();
      const std::string_view name = enumeration ? enumeration->nameOf(v) : std::string_view{};
      return name.empty() ? std::to_string(v) : std::to_string(v) + " " + std::string(name);
    }
    case host::AutoType::Font: return fontText(value.toFont());
    case host::AutoType::Picture: return value.toPicture() ? "(picture)" : "(none)";
    default: return value.toString();
  }
}

std::string fontText(const host::FontRef& f) {
  if (!f) return "(none)";
  std::string s = f->name + "," + host::Variant::single(f->size).toString();
  if (f->bold) s += ",bold";
  if (f->italic) s += ",italic";
  return s;
}

bool splitAssignment(const std::string& text, std::string& name, std::string& value) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) return false;
  name = text.substr(0, eq);
  value = text.substr(eq + 1);
  return true;
}

}  // namespace kestrinx::cli
