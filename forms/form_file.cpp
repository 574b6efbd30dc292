// Form files: the model, the rules a file's values keep to, the writer, and reading and writing
// files. The reader is in form_file_reader.cpp.
#include "forms/form_file.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "forms/base64.h"
#include "forms/form_file_rules.h"
#include "forms/json_text.h"
#include "values/text.h"

namespace kestrinx::forms {

using values::Boolean;
using values::DataObject;
using values::Date;
using values::equalsIgnoreCase;
using values::False;
using values::Font;
using values::FontRef;
using values::Picture;
using values::PictureRef;
using values::sameValue;
using values::True;
using values::Variant;
using values::VarType;

const FormControl* FormFile::find(std::string_view controlName) const {
  for (const FormControl& c : controls)
    if (equalsIgnoreCase(c.name, controlName)) return &c;
  return nullptr;
}

bool sameForm(const FormFile& a, const FormFile& b) {
  if (a.name != b.name || a.controls.size() != b.controls.size()) return false;
  for (std::size_t i = 0; i < a.controls.size(); ++i) {
    const FormControl& ca = a.controls[i];
    const FormControl& cb = b.controls[i];
    if (ca.name != cb.name || ca.progId != cb.progId || !(ca.placement == cb.placement) ||
        ca.properties.size() != cb.properties.size())
      return false;
    for (std::size_t k = 0; k < ca.properties.size(); ++k) {
      if (ca.properties[k].key != cb.properties[k].key) return false;
      if (!sameValue(ca.properties[k].value, cb.properties[k].value)) return false;
    }
  }
  return true;
}

// ---- errors ----------------------------------------------------------------------------------

namespace {

std::string describe(const std::string& file, std::size_t line, std::size_t column, const std::string& control,
                     const std::string& key, const std::string& reason) {
  std::string s = file;
  if (line > 0) s += ":" + std::to_string(line) + ":" + std::to_string(column);
  s += ": ";
  if (!control.empty()) {
    s += "control " + (control[0] == '#' ? control : rules::shown(control));
    s += key.empty() ? ": " : ", ";
  }
  if (!key.empty()) s += "property " + rules::shown(key) + ": ";
  return s + reason;
}

}  // namespace

FormFileError::FormFileError(std::string file, std::size_t line, std::size_t column, std::string control,
                             std::string key, std::string reason)
    : std::runtime_error(describe(file, line, column, control, key, reason)),
      file_(std::move(file)),
      line_(line),
      column_(column),
      control_(std::move(control)),
      key_(std::move(key)),
      reason_(std::move(reason)) {}

// ---- the rules ----------------------------------------------------------------------------------

bool isValidFormName(std::string_view name) {
  if (name.empty() || name.size() > FormLimits::NameLength) return false;
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (!letter(name[0])) return false;
  for (char c : name)
    if (!letter(c) && !(c >= '0' && c <= '9') && c != '_') return false;
  return true;
}

namespace rules {

namespace {
constexpr VarType kKept[] = {VarType::Empty,   VarType::Integer, VarType::Long,   VarType::Single, VarType::Double,
                             VarType::Boolean, VarType::Date,    VarType::String, VarType::Font,   VarType::Picture};
constexpr std::string_view kKeptNames[] = {"Empty",   "Integer", "Long",   "Single", "Double",
                                           "Boolean", "Date",    "String", "Font",   "Picture"};
}  // namespace

std::optional<VarType> typeNamed(std::string_view name) {
  // Every entry of a file names its type: the first byte and the length pass over most names
  // before a comparison.
  for (std::size_t i = 0; i < std::size(kKept); ++i)
    if (!name.empty() && kKeptNames[i].size() == name.size() && kKeptNames[i][0] == name[0] && kKeptNames[i] == name)
      return kKept[i];
  return std::nullopt;
}

std::string_view nameOf(VarType type) {
  for (std::size_t i = 0; i < std::size(kKept); ++i)
    if (kKept[i] == type) return kKeptNames[i];
  return "DataObject";
}

std::optional<std::string> badClassName(std::string_view progId) {
  if (progId.empty() || progId.size() > FormLimits::TextLength)
    return "a class name has 1 to " + std::to_string(FormLimits::TextLength) + " characters";
  for (char c : progId)
    if (c <= ' ' || c > '~') return "the class name " + shown(progId) + " has a character that is not printable ASCII";
  return std::nullopt;
}

namespace {

// A hash of a key from its length and its first and last eight bytes (all of a key of up to 16).
// Up to eight bytes as a number (eight at once, fewer one by one).
std::uint64_t bytesAt(const char* p, std::size_t n) {
  std::uint64_t v = 0;
  if (n >= 8) {
    std::memcpy(&v, p, 8);
    return v;
  }
  for (std::size_t i = 0; i < n; ++i) v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  return v;
}

std::uint64_t keyHash(std::string_view key) {
  const std::size_t n = key.size();
  const std::uint64_t head = bytesAt(key.data(), std::min<std::size_t>(n, 8));
  const std::uint64_t tail = n > 8 ? bytesAt(key.data() + (n > 16 ? n - 8 : 8), std::min<std::size_t>(n - 8, 8)) : 0;
  std::uint64_t h = (head ^ (tail * 0x9E3779B97F4A7C15u) ^ (n << 56)) * 0xFF51AFD7ED558CCDu;
  return h ^ (h >> 29);
}

// Whether no two keys have the same hash, so that no key appears twice (the usual case, answered
// without comparing keys). False says only that a closer look is needed.
bool hashesDiffer(const std::vector<FormEntry>& properties) {
  // An open-addressed set of the hashes, at most half full; 0 marks a free slot.
  constexpr std::size_t kSlots = 256;
  if (properties.size() > kSlots / 2) return false;
  std::size_t slots = 16;
  while (slots < 2 * properties.size()) slots *= 2;
  std::array<std::uint64_t, kSlots> set;
  std::fill_n(set.begin(), slots, 0);
  for (const FormEntry& e : properties) {
    const std::uint64_t h = keyHash(e.key) | 1;
    for (std::size_t i = h & (slots - 1);; i = (i + 1) & (slots - 1)) {
      if (set[i] == 0) {
        set[i] = h;
        break;
      }
      if (set[i] == h) return false;
    }
  }
  return true;
}

}  // namespace

std::optional<std::string_view> duplicateKey(const std::vector<FormEntry>& properties) {
  if (hashesDiffer(properties)) return std::nullopt;
  std::vector<std::string_view> keys;
  keys.reserve(properties.size());
  for (const FormEntry& e : properties) keys.push_back(e.key);
  // By length first, which settles most comparisons at once.
  std::sort(keys.begin(), keys.end(), [](std::string_view a, std::string_view b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
  });
  for (std::size_t i = 1; i < keys.size(); ++i)
    if (keys[i] == keys[i - 1]) return keys[i];
  return std::nullopt;
}

std::optional<std::string> badKey(std::string_view key) {
  if (key.empty() || key.size() > FormLimits::TextLength)
    return "a property key has 1 to " + std::to_string(FormLimits::TextLength) + " bytes";
  if (!isUtf8(key)) return "the property key " + shown(key) + " is not UTF-8";
  return std::nullopt;
}

std::optional<std::string> badCoordinate(std::string_view member, float value, bool isSize) {
  const float low = isSize ? 0.0f : -FormLimits::Coordinate;
  if (!(value >= low && value <= FormLimits::Coordinate))
    return "'" + std::string(member) + "' must be a number from " + (isSize ? "0" : "-10000000") + " to 10000000";
  return std::nullopt;
}

std::optional<std::string> badFont(const Font& font) {
  if (font.name.empty() || font.name.size() > FormLimits::TextLength || !isUtf8(font.name))
    return "a font's name is UTF-8 text of 1 to " + std::to_string(FormLimits::TextLength) + " bytes";
  if (!(font.size > 0.0f && font.size <= MaxFontSize)) return "a font's size is a number above 0, at most 10000";
  if (font.weight < 0 || font.weight > 1000) return "a font's weight is a whole number from 0 to 1000";
  if (font.charset < 0 || font.charset > 255) return "a font's charset is a whole number from 0 to 255";
  return std::nullopt;
}

std::string printable(std::string_view text, std::size_t maxChars) {
  std::string out;
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size();) {
    if (++chars > maxChars) {
      out += "...";
      break;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t n = utf8SequenceLength(text, i);
      if (n > 0) {
        out.append(text.substr(i, n));
        i += n;
        continue;
      }
    }
    out += (c < 0x20 || c >= 0x7f) ? '?' : static_cast<char>(c);
    ++i;
  }
  return out;
}

std::string shown(std::string_view text) { return "'" + printable(text, 60) + "'"; }

}  // namespace rules

// ---- the writer ----------------------------------------------------------------------------------

namespace {

// Refusals of the writer, reported like the reader's (without a line: the form is in memory).
[[noreturn]] void refuse(const std::string& control, const std::string& key, const std::string& reason) {
  throw FormFileError("form", 0, 0, control, key, reason);
}

template <typename T>
void appendNumber(std::string& out, T v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

// A Single, Double or Date: shortest digits that read back exactly, always with a point or an
// exponent so it reads as a real number (and -0.0 keeps its sign).
template <typename T>
void appendReal(std::string& out, T v) {
  if (std::isnan(v)) {
    out += "\"NaN\"";
    return;
  }
  if (std::isinf(v)) {
    out += v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    return;
  }
  const std::size_t start = out.size();
  appendNumber(out, v);
  if (out.find_first_of(".e", start) == std::string::npos) out += ".0";
}

void appendBool(std::string& out, bool b) { out += b ? "true" : "false"; }

void appendFont(std::string& out, const Font& f) {
  out += "{\"name\":";
  appendJsonString(out, f.name);
  out += ",\"size\":";
  appendReal(out, f.size);
  out += ",\"bold\":";
  appendBool(out, f.bold);
  out += ",\"italic\":";
  appendBool(out, f.italic);
  out += ",\"underline\":";
  appendBool(out, f.underline);
  out += ",\"strikethrough\":";
  appendBool(out, f.strikethrough);
  out += ",\"weight\":";
  appendNumber(out, f.weight);
  out += ",\"charset\":";
  appendNumber(out, f.charset);
  out += '}';
}

void appendPicture(std::string& out, const Picture& p) {
  out += "{\"type\":";
  appendNumber(out, p.type);
  out += ",\"width\":";
  appendNumber(out, p.width);
  out += ",\"height\":";
  appendNumber(out, p.height);
  out += ",\"data\":\"";
  out += base64Encode(p.bytes);
  out += "\"}";
}

void appendValue(std::string& out, const FormControl& c, const FormEntry& e) {
  const Variant& v = e.value;
  switch (v.type()) {
    case VarType::Empty: out += "null"; return;
    case VarType::Integer: appendNumber(out, v.toInteger()); return;
    case VarType::Long: appendNumber(out, v.toLong()); return;
    case VarType::Single: appendReal(out, v.toSingle()); return;
    case VarType::Double: appendReal(out, v.toDouble()); return;
    case VarType::Date: {
      const double serial = v.toDate().serial;
      if (!std::isfinite(serial)) refuse(c.name, e.key, "a Date must be a finite number");
      appendReal(out, serial);
      return;
    }
    case VarType::Boolean: {
      const Boolean b = v.toBoolean();
      if (b == True || b == False)
        appendBool(out, b == True);
      else
        appendNumber(out, b);
      return;
    }
    case VarType::String: {
      const std::string s = v.toString();
      if (isUtf8(s)) {
        appendJsonString(out, s);
      } else {
        out += "{\"base64\":\"";
        out += base64Encode(s);
        out += "\"}";
      }
      return;
    }
    case VarType::Font: {
      const FontRef f = v.toFont();
      if (!f) {
        out += "null";
        return;
      }
      if (auto bad = rules::badFont(*f)) refuse(c.name, e.key, *bad);
      appendFont(out, *f);
      return;
    }
    case VarType::Picture: {
      const PictureRef p = v.toPicture();
      if (!p)
        out += "null";
      else
        appendPicture(out, *p);
      return;
    }
    case VarType::DataObject: refuse(c.name, e.key, "a DataObject cannot be kept in a form file");
  }
}

void appendControl(std::string& out, const FormControl& c) {
  if (!isValidFormName(c.name))
    refuse("", "",
           "the control name " + rules::shown(c.name) +
               " is not a name (a letter, then letters, digits and _, at most 40)");
  if (auto bad = rules::badClassName(c.progId)) refuse(c.name, "", *bad);
  const Placement& p = c.placement;
  const std::pair<const char*, float> coordinates[] = {
      {"left", p.left}, {"top", p.top}, {"width", p.width}, {"height", p.height}};
  for (std::size_t i = 0; i < 4; ++i)
    if (auto bad = rules::badCoordinate(coordinates[i].first, coordinates[i].second, i >= 2))
      refuse(c.name, "", *bad);
  if (c.properties.size() > FormLimits::PropertiesPerControl)
    refuse(c.name, "", "more than " + std::to_string(FormLimits::PropertiesPerControl) + " properties");

  out += "{\"name\":";
  appendJsonString(out, c.name);
  out += ",\"class\":";
  appendJsonString(out, c.progId);
  for (const auto& [member, value] : coordinates) {
    out += ",\"";
    out += member;
    out += "\":";
    appendNumber(out, value);
  }
  if (c.properties.empty()) {
    out += ",\"properties\":[]}";
    return;
  }
  out += ",\"properties\":[\n";
  for (const FormEntry& e : c.properties)
    if (auto bad = rules::badKey(e.key)) refuse(c.name, "", *bad);
  if (auto twice = rules::duplicateKey(c.properties)) refuse(c.name, std::string(*twice), "the key appears twice");
  for (std::size_t i = 0; i < c.properties.size(); ++i) {
    const FormEntry& e = c.properties[i];
    out += '[';
    appendJsonString(out, e.key);
    out += ",\"";
    out += rules::nameOf(e.value.type());
    out += "\",";
    appendValue(out, c, e);
    out += i + 1 < c.properties.size() ? "],\n" : "]\n";
  }
  out += "]}";
}

}  // namespace

std::string formText(const FormFile& form) {
  if (!isValidFormName(form.name))
    refuse("", "",
           "the form name " + rules::shown(form.name) +
               " is not a name (a letter, then letters, digits and _, at most 40)");
  if (form.controls.size() > FormLimits::Controls)
    refuse("", "", "more than " + std::to_string(FormLimits::Controls) + " controls");
  std::size_t entries = 0;
  std::unordered_set<std::string> names;
  names.reserve(form.controls.size());
  for (const FormControl& c : form.controls) {
    entries += c.properties.size();
    if (!names.insert(rules::foldedName(c.name)).second) refuse(c.name, "", "two controls have this name");
  }
  if (entries > FormLimits::Properties)
    refuse("", "", "more than " + std::to_string(FormLimits::Properties) + " properties in all");

  std::string out;
  out.reserve(256 + form.controls.size() * 160 + entries * 48);  // enough for most forms
  out += "{\"format\":";
  appendJsonString(out, FormFormatName);
  out += ",\"version\":\"" + std::to_string(FormVersionMajor) + "." + std::to_string(FormVersionMinor) + "\"";
  out += ",\"name\":";
  appendJsonString(out, form.name);
  if (form.controls.empty()) {
    out += ",\"controls\":[]}\n";
  } else {
    out += ",\"controls\":[\n";
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
      appendControl(out, form.controls[i]);
      out += i + 1 < form.controls.size() ? ",\n" : "\n";
    }
    out += "]}\n";
  }
  if (out.size() > FormLimits::FileBytes)
    refuse("", "", "the form would take more than " + std::to_string(FormLimits::FileBytes) + " bytes");
  return out;
}

FormFile readFormFile(const std::string& path, FileOps& ops) {
  return parseForm(readWholeFile(path, FormLimits::FileBytes, ops), path);
}

FormFile readFormFile(const std::string& path, FileStamp& stamp, FileOps& ops) {
  const std::string text = readWholeFile(path, FormLimits::FileBytes, ops);
  FormFile form = parseForm(text, path);
  stamp = FileStamp::of(text);
  return form;
}

namespace {

// The text of `form` for the file at `path`; a form a file cannot hold is refused naming it.
std::string textFor(const std::string& path, const FormFile& form) {
  try {
    return formText(form);
  } catch (const FormFileError& e) {
    // The same refusal, naming the file it was meant for.
    throw FormFileError(path, 0, 0, e.control(), e.key(), e.reason() + " (the file on disk is unchanged)");
  }
}

}  // namespace

void writeFormFile(const std::string& path, const FormFile& form, FileOps& ops) {
  replaceFile(path, textFor(path, form), ops);
}

FormFileChangedError::FormFileChangedError(std::string path)
    : std::runtime_error("cannot save " + path +
                         ": the file has changed on disk since it was opened (another program saved it); "
                         "nothing was saved"),
      path_(std::move(path)) {}

void writeFormFileUnlessChanged(const std::string& path, const FormFile& form, FileStamp& expected, FileOps& ops) {
  const std::string text = textFor(path, form);
  if (currentStamp(path, FormLimits::FileBytes, ops) != expected) throw FormFileChangedError(path);
  replaceFile(path, text, ops);
  expected = FileStamp::of(text);
}

}  // namespace kestrinx::forms
