#include "control/member_text.h"

#include <cstdio>
#include <vector>

#include "values/error.h"
#include "values/functions.h"

namespace kestrinx::members {

namespace {

std::vector<std::string> splitCommas(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  for (std::string& p : parts) p = values::trim(p);
  return parts;
}

bool sameWord(const std::string& a, const char* b) {
  return values::equalsIgnoreCase(a, b);
}

}  // namespace

values::Variant valueFromText(values::AutoType type, const values::EnumInfo* enumeration, const std::string& text) {
  switch (type) {
    case values::AutoType::Font: {
      const std::vector<std::string> parts = splitCommas(text);
      if (parts[0].empty()) values::raiseError(values::err::TypeMismatch);
      auto font = std::make_shared<values::Font>();
      font->name = parts[0];
      for (std::size_t i = 1; i < parts.size(); ++i) {
        if (sameWord(parts[i], "bold")) {
          font->bold = true;
          font->weight = 700;
        } else if (sameWord(parts[i], "italic")) {
          font->italic = true;
        } else {
          font->size = values::Variant::string(parts[i]).toSingle();
          if (!(font->size > 0)) values::raiseError(values::err::InvalidPropertyValue);
        }
      }
      return values::Variant::font(std::move(font));
    }
    case values::AutoType::Picture: values::raiseError(values::err::TypeMismatch);
    case values::AutoType::Enum:
      // A member of the property's enumeration by its name, in any case, or a number.
      if (enumeration != nullptr) {
        const std::string name = values::trim(text);
        for (const values::EnumMember& e : enumeration->members)
          if (values::equalsIgnoreCase(e.name, name)) return values::Variant::longValue(e.value);
      }
      return values::Variant::string(text);
    default: return values::Variant::string(text);
  }
}

std::string textFromValue(values::AutoType type, const values::EnumInfo* enumeration, const values::Variant& value) {
  switch (type) {
    case values::AutoType::Color: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "0x%08X", values::toColor(value));
      return buf;
    }
    case values::AutoType::Enum: {
      const std::int32_t v = value.toLong();
      const std::string_view name = enumeration ? enumeration->nameOf(v) : std::string_view{};
      return name.empty() ? std::to_string(v) : std::to_string(v) + " " + std::string(name);
    }
    case values::AutoType::Font: return fontText(value.toFont());
    case values::AutoType::Picture: return value.toPicture() ? "(picture)" : "(none)";
    default: return value.toString();
  }
}

std::string fontText(const values::FontRef& f) {
  if (!f) return "(none)";
  std::string s = f->name + "," + values::Variant::single(f->size).toString();
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

}  // namespace kestrinx::members
