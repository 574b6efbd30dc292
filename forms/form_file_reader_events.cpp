// The previous form file reader, kept only until the new one is shown to read every form and
// refuse every damaged file as it did (tests/forms/form_reader_agreement_test.cpp): nlohmann-json's
// event parser (SAX) feeding a state machine that builds the form as it goes.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <cstdio>
#include <limits>
#include <optional>
#include <unordered_set>

#include "forms/base64.h"
#include "forms/form_file.h"
#include "forms/form_file_rules.h"
#include "forms/form_file_reader_events.h"

namespace kestrinx::forms {

using values::Boolean;
using values::Date;
using values::False;
using values::Font;
using values::isDigit;
using values::Picture;
using values::True;
using values::Variant;
using values::VarType;

namespace {

using json = nlohmann::json;

// Reads the text a byte at a time, as the parser asks, and tells the reader how far it got: the
// parser does not report positions with its events, only with its errors.
class TrackingIterator {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  TrackingIterator(const char* at, const char** cursor) : at_(at), cursor_(cursor) {}
  reference operator*() const { return *at_; }
  TrackingIterator& operator++() {
    *cursor_ = ++at_;
    return *this;
  }
  TrackingIterator operator++(int) {
    TrackingIterator before = *this;
    ++*this;
    return before;
  }
  friend bool operator==(const TrackingIterator& a, const TrackingIterator& b) { return a.at_ == b.at_; }

 private:
  const char* at_;
  const char** cursor_;
};

// One value as the parser delivers it.
struct Token {
  enum class Kind : std::uint8_t { Null, Boolean, Integer, Unsigned, Real, String, Object, Array };
  Kind kind = Kind::Null;
  bool boolean = false;
  std::int64_t integer = 0;
  std::uint64_t unsignedValue = 0;
  double real = 0;
  std::string_view text;  // a string's contents, or a real number's digits as written
  std::string* owned = nullptr;  // the string, to move from

  bool isNumber() const { return kind == Kind::Integer || kind == Kind::Unsigned || kind == Kind::Real; }
  bool isWhole() const { return kind == Kind::Integer || kind == Kind::Unsigned; }
  const char* what() const {
    switch (kind) {
      case Kind::Null: return "null";
      case Kind::Boolean: return boolean ? "true" : "false";
      case Kind::Integer:
      case Kind::Unsigned: return "a whole number";
      case Kind::Real: return "a number with a fraction or exponent";
      case Kind::String: return "a string";
      case Kind::Object: return "an object";
      case Kind::Array: return "an array";
    }
    return "a value";
  }
};

// Where the reader stands; each frame is one open object or array of the format.
enum class Frame : std::uint8_t { Form, Controls, Control, Properties, Entry, Font, Picture, Bytes, Skip };

// Members of the objects, as bits of a mask of those seen.
enum FormMember : unsigned { FmFormat = 1, FmVersion = 2, FmName = 4, FmControls = 8 };
enum ControlMember : unsigned {
  CmName = 1,
  CmClass = 2,
  CmLeft = 4,
  CmTop = 8,
  CmWidth = 16,
  CmHeight = 32,
  CmProperties = 64,
};
enum FontMember : unsigned {
  FnName = 1,
  FnSize = 2,
  FnBold = 4,
  FnItalic = 8,
  FnUnderline = 16,
  FnStrikethrough = 32,
  FnWeight = 64,
  FnCharset = 128,
};
enum PictureMember : unsigned { PmType = 1, PmWidth = 2, PmHeight = 4, PmData = 8 };

struct MemberName {
  std::string_view name;
  unsigned bit;
};
constexpr MemberName kFormMembers[] = {
    {"format", FmFormat}, {"version", FmVersion}, {"name", FmName}, {"controls", FmControls}};
constexpr MemberName kControlMembers[] = {{"name", CmName},   {"class", CmClass},   {"left", CmLeft},
                                          {"top", CmTop},     {"width", CmWidth},   {"height", CmHeight},
                                          {"properties", CmProperties}};
constexpr MemberName kFontMembers[] = {{"name", FnName},           {"size", FnSize},
                                       {"bold", FnBold},           {"italic", FnItalic},
                                       {"underline", FnUnderline}, {"strikethrough", FnStrikethrough},
                                       {"weight", FnWeight},       {"charset", FnCharset}};
constexpr MemberName kPictureMembers[] = {{"type", PmType}, {"width", PmWidth}, {"height", PmHeight}, {"data", PmData}};
constexpr MemberName kBytesMembers[] = {{"base64", 1}};

template <std::size_t N>
unsigned bitOf(const MemberName (&members)[N], std::string_view name) {
  for (const MemberName& m : members)
    if (m.name == name) return m.bit;
  return 0;
}

template <std::size_t N>
std::string firstMissing(const MemberName (&members)[N], unsigned seen) {
  for (const MemberName& m : members)
    if ((seen & m.bit) == 0) return std::string(m.name);
  return "";
}

// "MAJOR.MINOR", each one to four digits.
bool parseVersion(std::string_view text, int& major, int& minor) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return false;
  const auto number = [](std::string_view digits, int& out) {
    if (digits.empty() || digits.size() > 4) return false;
    for (char c : digits)
      if (!isDigit(c)) return false;
    out = 0;
    for (char c : digits) out = out * 10 + (c - '0');
    return true;
  };
  return number(text.substr(0, dot), major) && number(text.substr(dot + 1), minor);
}

class FormReader final : public json::json_sax_t {
 public:
  FormReader(std::string_view text, const std::string& file, const char** cursor)
      : text_(text), file_(file), cursor_(cursor) {}

  FormFile take() {
    if (!complete_) fail("the form ends early");
    return std::move(form_);
  }

  // ---- the parser's events ----
  bool null() override { return value(Token{}); }
  bool boolean(bool v) override {
    Token t;
    t.kind = Token::Kind::Boolean;
    t.boolean = v;
    return value(t);
  }
  bool number_integer(number_integer_t v) override {
    Token t;
    t.kind = Token::Kind::Integer;
    t.integer = v;
    return value(t);
  }
  bool number_unsigned(number_unsigned_t v) override {
    Token t;
    t.kind = Token::Kind::Unsigned;
    t.unsignedValue = v;
    return value(t);
  }
  bool number_float(number_float_t v, const string_t& digits) override {
    Token t;
    t.kind = Token::Kind::Real;
    t.real = v;
    t.text = digits;
    return value(t);
  }
  bool string(string_t& v) override {
    Token t;
    t.kind = Token::Kind::String;
    t.text = v;
    t.owned = &v;
    return value(t);
  }
  bool binary(binary_t&) override { return value(Token{}); }  // JSON text has no binary values
  bool start_object(std::size_t) override {
    Token t;
    t.kind = Token::Kind::Object;
    return value(t);
  }
  bool start_array(std::size_t) override {
    Token t;
    t.kind = Token::Kind::Array;
    return value(t);
  }
  bool key(string_t& name) override {
    member_.swap(name);
    memberBit_ = 0;
    switch (frames_.back()) {
      case Frame::Form: formKey(); break;
      case Frame::Control: memberBit_ = knownMember(kControlMembers, controlSeen_); break;
      case Frame::Font: memberBit_ = knownMember(kFontMembers, fontSeen_); break;
      case Frame::Picture: memberBit_ = knownMember(kPictureMembers, pictureSeen_); break;
      case Frame::Bytes: memberBit_ = knownMember(kBytesMembers, bytesSeen_); break;
      default: break;  // Skip
    }
    endEvent();
    return true;
  }
  bool end_object() override { return end(); }
  bool end_array() override { return end(); }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) override {
    // "[json.exception.parse_error.101] parse error at line 1, column 2: syntax error while ..."
    std::string message = e.what();
    const std::size_t bracket = message.find("] ");
    if (bracket != std::string::npos) message.erase(0, bracket + 2);
    const std::size_t column = message.find("column ");
    const std::size_t colon = column == std::string::npos ? std::string::npos : message.find(": ", column);
    if (colon != std::string::npos) message.erase(0, colon + 2);
    failAt(position > 0 ? position - 1 : 0, entryKeyForErrors(), rules::printable(message, 200));
  }

 private:
  // ---- places and errors ----
  // Where the previous event's token ended; the current one starts at the first byte after it
  // that is not white space or a separator (worked out only for an error).
  void endEvent() { lastEnd_ = static_cast<std::size_t>(*cursor_ - text_.data()); }
  std::size_t tokenStart() const {
    std::size_t at = lastEnd_;
    while (at < text_.size() && (text_[at] == ' ' || text_[at] == '\t' || text_[at] == '\n' || text_[at] == '\r' ||
                                 text_[at] == ',' || text_[at] == ':'))
      ++at;
    return at;
  }

  std::string controlLabel() const {
    if (!inControl_) return "";
    if (!control_.name.empty()) return control_.name;
    return "#" + std::to_string(form_.controls.size() + 1);
  }

  [[noreturn]] void failAt(std::size_t offset, const std::string& key, std::string reason) const {
    offset = std::min(offset, text_.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
      const auto c = static_cast<unsigned char>(text_[i]);
      if (c == '\n') {
        ++line;
        column = 1;
      } else if ((c & 0xC0) != 0x80) {  // count characters, not the bytes after a UTF-8 lead
        ++column;
      }
    }
    throw FormFileError(file_, line, column, controlLabel(), key, reason);
  }
  [[noreturn]] void fail(const std::string& reason) const { failAt(tokenStart(), entryKeyForErrors(), reason); }

  std::string entryKeyForErrors() const {
    return inEntry_ && entryItems_ > 0 ? entry_.key : std::string();
  }

  // ---- the structure ----
  template <std::size_t N>
  unsigned knownMember(const MemberName (&members)[N], unsigned& seen) {
    const unsigned bit = bitOf(members, member_);
    if (bit == 0) {
      if (!newerMinor_) fail("unknown member " + rules::shown(member_));
      return 0;
    }
    if (seen & bit) fail("the member " + rules::shown(member_) + " appears twice");
    seen |= bit;
    return bit;
  }

  void formKey() {
    // The format and version come first, so that everything after them is read by the right
    // rules.
    if (formMembers_ == 0 && member_ != "format")
      fail("a form file starts with \"format\": \"" + std::string(FormFormatName) + "\"");
    if (formMembers_ == 1 && member_ != "version") fail("\"version\" must follow \"format\"");
    ++formMembers_;
    memberBit_ = knownMember(kFormMembers, formSeen_);
  }

  void push(Frame f) {
    if (frames_.size() >= FormLimits::Depth)
      fail("nested deeper than " + std::to_string(FormLimits::Depth) + " levels");
    frames_.push_back(f);
  }

  bool value(const Token& t) {
    if (frames_.empty()) {
      if (complete_ || t.kind != Token::Kind::Object) fail("a form file is one JSON object");
      push(Frame::Form);
    } else {
      switch (frames_.back()) {
        case Frame::Form: formValue(t); break;
        case Frame::Controls: startControl(t); break;
        case Frame::Control: controlValue(t); break;
        case Frame::Properties: startEntry(t); break;
        case Frame::Entry: entryItem(t); break;
        case Frame::Font: fontValue(t); break;
        case Frame::Picture: pictureValue(t); break;
        case Frame::Bytes: bytesValue(t); break;
        case Frame::Skip:
          if (t.kind == Token::Kind::Object || t.kind == Token::Kind::Array) push(Frame::Skip);
          break;
      }
    }
    endEvent();
    return true;
  }

  bool end() {
    const Frame f = frames_.back();
    frames_.pop_back();
    switch (f) {
      case Frame::Form:
        if (formSeen_ != (FmFormat | FmVersion | FmName | FmControls))
          fail("the form has no " + rules::shown(firstMissing(kFormMembers, formSeen_)));
        complete_ = true;
        break;
      case Frame::Control: endControl(); break;
      case Frame::Entry: endEntry(); break;
      case Frame::Font:
        if (fontSeen_ != 0xFF) fail("the font has no " + rules::shown(firstMissing(kFontMembers, fontSeen_)));
        if (auto bad = rules::badFont(font_)) fail(*bad);
        setEntryValue(Variant::font(std::make_shared<Font>(std::move(font_))));
        break;
      case Frame::Picture:
        if (pictureSeen_ != 0xF)
          fail("the picture has no " + rules::shown(firstMissing(kPictureMembers, pictureSeen_)));
        setEntryValue(Variant::picture(std::make_shared<Picture>(std::move(picture_))));
        break;
      case Frame::Bytes:
        if (bytesSeen_ == 0) fail("the string has no \"base64\"");
        setEntryValue(Variant::string(std::move(bytes_)));
        break;
      case Frame::Controls:
      case Frame::Properties:
      case Frame::Skip: break;
    }
    endEvent();
    return true;
  }

  // A member this build does not know, in a file of a newer minor version: passed over.
  void skip(const Token& t) {
    if (t.kind == Token::Kind::Object || t.kind == Token::Kind::Array) push(Frame::Skip);
  }

  std::string expectString(const Token& t, const char* what) {
    if (t.kind != Token::Kind::String) fail(std::string(what) + " must be a string, not " + t.what());
    return std::move(*t.owned);
  }

  // ---- the form ----
  void formValue(const Token& t) {
    switch (memberBit_) {
      case FmFormat:
        if (t.kind != Token::Kind::String || t.text != FormFormatName)
          fail("not a form file: \"format\" must be \"" + std::string(FormFormatName) + "\"");
        break;
      case FmVersion: {
        const std::string v = expectString(t, "\"version\"");
        int major = 0, minor = 0;
        if (!parseVersion(v, major, minor)) fail("the version " + rules::shown(v) + " is not MAJOR.MINOR");
        if (major > FormVersionMajor)
          fail("the form is version " + v + ", newer than this build reads (" + std::to_string(FormVersionMajor) +
               ".x); open it with a newer KestrinX");
        if (major < FormVersionMajor)
          fail("unknown version " + v + " (this build reads " + std::to_string(FormVersionMajor) + ".x)");
        form_.versionMajor = major;
        form_.versionMinor = minor;
        newerMinor_ = minor > FormVersionMinor;
        break;
      }
      case FmName: {
        std::string name = expectString(t, "the form's \"name\"");
        if (!isValidFormName(name))
          fail("the form name " + rules::shown(name) +
               " is not a name (a letter, then letters, digits and _, at most 40)");
        form_.name = std::move(name);
        break;
      }
      case FmControls:
        if (t.kind != Token::Kind::Array) fail(std::string("\"controls\" must be an array, not ") + t.what());
        push(Frame::Controls);
        break;
      default: skip(t);
    }
  }

  // ---- controls ----
  void startControl(const Token& t) {
    if (t.kind != Token::Kind::Object) fail(std::string("each control is an object, not ") + t.what());
    if (form_.controls.size() >= FormLimits::Controls)
      fail("more than " + std::to_string(FormLimits::Controls) + " controls");
    control_ = FormControl{};
    entries_.clear();
    controlSeen_ = 0;
    inControl_ = true;
    push(Frame::Control);
  }

  float coordinate(const Token& t, const char* member, bool isSize) {
    float v = 0;
    if (!realValue(t, v)) fail(std::string("'") + member + "' must be a number, not " + t.what());
    if (auto bad = rules::badCoordinate(member, v, isSize)) fail(*bad);
    return v;
  }

  void controlValue(const Token& t) {
    switch (memberBit_) {
      case CmName: {
        std::string name = expectString(t, "a control's \"name\"");
        if (!isValidFormName(name))
          fail("the control name " + rules::shown(name) +
               " is not a name (a letter, then letters, digits and _, at most 40)");
        if (!names_.insert(rules::foldedName(name)).second) fail("two controls are named " + rules::shown(name));
        control_.name = std::move(name);
        break;
      }
      case CmClass: {
        std::string progId = expectString(t, "\"class\"");
        if (auto bad = rules::badClassName(progId)) fail(*bad);
        control_.progId = std::move(progId);
        break;
      }
      case CmLeft: control_.placement.left = coordinate(t, "left", false); break;
      case CmTop: control_.placement.top = coordinate(t, "top", false); break;
      case CmWidth: control_.placement.width = coordinate(t, "width", true); break;
      case CmHeight: control_.placement.height = coordinate(t, "height", true); break;
      case CmProperties:
        if (t.kind != Token::Kind::Array) fail(std::string("\"properties\" must be an array, not ") + t.what());
        push(Frame::Properties);
        break;
      default: skip(t);
    }
  }

  void endControl() {
    const unsigned all = CmName | CmClass | CmLeft | CmTop | CmWidth | CmHeight | CmProperties;
    if (controlSeen_ != all) fail("the control has no " + rules::shown(firstMissing(kControlMembers, controlSeen_)));
    // The entries gathered in the reused list go to one list of their own size.
    control_.properties.assign(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()));
    entries_.clear();
    if (auto twice = rules::duplicateKey(control_.properties))
      fail("the property " + rules::shown(*twice) + " appears twice");
    form_.controls.push_back(std::move(control_));
    control_ = FormControl{};
    inControl_ = false;
  }

  // ---- properties: [key, type, value] ----
  void startEntry(const Token& t) {
    if (t.kind != Token::Kind::Array) fail(std::string("each property is [key, type, value], not ") + t.what());
    if (entries_.size() >= FormLimits::PropertiesPerControl)
      fail("more than " + std::to_string(FormLimits::PropertiesPerControl) + " properties");
    if (++properties_ > FormLimits::Properties)
      fail("more than " + std::to_string(FormLimits::Properties) + " properties in all");
    entry_.key.clear();  // the value is always set before the entry is kept
    entryItems_ = 0;
    inEntry_ = true;
    push(Frame::Entry);
  }

  void endEntry() {
    if (entryItems_ < 3)
      fail(entryItems_ == 0 ? "a property is [key, type, value]; this one is empty"
                            : entryItems_ == 1 ? "the property has no type and value"
                                               : "the property has no value");
    entries_.push_back(std::move(entry_));
    inEntry_ = false;
  }

  void setEntryValue(Variant v) {
    entry_.value = std::move(v);
    entryItems_ = 3;
  }

  void entryItem(const Token& t) {
    switch (entryItems_) {
      case 0: {
        std::string key = expectString(t, "a property's key");
        if (auto bad = rules::badKey(key)) fail(*bad);
        entry_.key = std::move(key);
        entryItems_ = 1;
        return;
      }
      case 1: {
        if (t.kind != Token::Kind::String) fail(std::string("a property's type must be a string, not ") + t.what());
        const auto type = rules::typeNamed(t.text);
        if (!type) fail("unknown value type " + rules::shown(t.text));
        entryType_ = *type;
        entryItems_ = 2;
        return;
      }
      case 2: typedValue(t); return;
      default: fail("a property is [key, type, value]; this one has more items");
    }
  }

  // A real number as single precision: the digits as written, rounded once.
  bool realValue(const Token& t, float& out) {
    if (t.kind == Token::Kind::Integer) {
      out = static_cast<float>(t.integer);
      return true;
    }
    if (t.kind == Token::Kind::Unsigned) {
      out = static_cast<float>(t.unsignedValue);
      return true;
    }
    if (t.kind != Token::Kind::Real) return false;
    const auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), out);
    if (r.ec == std::errc::result_out_of_range) {
      // Too small for a normal single: the nearest single (a subnormal or zero); too large: refused.
      if (!(std::fabs(t.real) <= FLT_MAX)) return false;
      out = static_cast<float>(t.real);
      return true;
    }
    return r.ec == std::errc{} && std::isfinite(out);
  }

  // The numbers JSON cannot write, as the writer names them.
  static bool specialReal(const Token& t, double& out) {
    if (t.kind != Token::Kind::String) return false;
    if (t.text == "NaN") out = std::numeric_limits<double>::quiet_NaN();
    else if (t.text == "Infinity") out = std::numeric_limits<double>::infinity();
    else if (t.text == "-Infinity") out = -std::numeric_limits<double>::infinity();
    else return false;
    return true;
  }

  bool wholeIn(const Token& t, std::int64_t low, std::int64_t high, std::int64_t& out) {
    if (t.kind == Token::Kind::Integer && t.integer >= low && t.integer <= high) {
      out = t.integer;
      return true;
    }
    if (t.kind == Token::Kind::Unsigned && t.unsignedValue <= static_cast<std::uint64_t>(high)) {
      out = static_cast<std::int64_t>(t.unsignedValue);
      return true;
    }
    return false;
  }

  void typedValue(const Token& t) {
    const auto refuse = [&](const char* rule) { fail(std::string("found ") + t.what() + "; " + rule); };
    std::int64_t whole = 0;
    switch (entryType_) {
      case VarType::Empty:
        if (t.kind != Token::Kind::Null) refuse("an Empty value is null");
        setEntryValue(Variant());
        return;
      case VarType::Integer:
        if (!wholeIn(t, INT16_MIN, INT16_MAX, whole)) refuse("an Integer is a whole number from -32768 to 32767");
        setEntryValue(Variant::integer(static_cast<std::int16_t>(whole)));
        return;
      case VarType::Long:
        if (!wholeIn(t, INT32_MIN, INT32_MAX, whole))
          refuse("a Long is a whole number from -2147483648 to 2147483647");
        setEntryValue(Variant::longValue(static_cast<std::int32_t>(whole)));
        return;
      case VarType::Boolean:
        if (t.kind == Token::Kind::Boolean) {
          setEntryValue(Variant::boolean(t.boolean ? True : False));
          return;
        }
        if (!wholeIn(t, INT16_MIN, INT16_MAX, whole))
          refuse("a Boolean is true, false or a whole number from -32768 to 32767");
        setEntryValue(Variant::boolean(static_cast<Boolean>(whole)));
        return;
      case VarType::Single: {
        float f = 0;
        double special = 0;
        if (specialReal(t, special)) {
          f = static_cast<float>(special);
        } else if (!realValue(t, f)) {
          refuse("a Single is a number within +-3.4e38, or \"NaN\", \"Infinity\" or \"-Infinity\"");
        }
        setEntryValue(Variant::single(f));
        return;
      }
      case VarType::Double:
      case VarType::Date: {
        double d = 0;
        if (t.kind == Token::Kind::Integer) {
          d = static_cast<double>(t.integer);
        } else if (t.kind == Token::Kind::Unsigned) {
          d = static_cast<double>(t.unsignedValue);
        } else if (t.kind == Token::Kind::Real) {
          d = t.real;
        } else if (entryType_ == VarType::Double && specialReal(t, d)) {
        } else {
          refuse(entryType_ == VarType::Date ? "a Date is a number (days since 1899-12-30)"
                                             : "a Double is a number, or \"NaN\", \"Infinity\" or \"-Infinity\"");
        }
        if (entryType_ == VarType::Date && !std::isfinite(d)) refuse("a Date is a finite number");
        setEntryValue(entryType_ == VarType::Date ? Variant::date(Date{d}) : Variant::doubleValue(d));
        return;
      }
      case VarType::String:
        if (t.kind == Token::Kind::String) {
          setEntryValue(Variant::string(std::move(*t.owned)));
        } else if (t.kind == Token::Kind::Object) {
          bytesSeen_ = 0;
          bytes_.clear();
          push(Frame::Bytes);
        } else {
          refuse("a String is a string, or {\"base64\": \"...\"} for bytes that are not UTF-8");
        }
        return;
      case VarType::Font:
        if (t.kind == Token::Kind::Null) {
          setEntryValue(Variant::font(nullptr));
        } else if (t.kind == Token::Kind::Object) {
          font_ = Font{};
          fontSeen_ = 0;
          push(Frame::Font);
        } else {
          refuse("a Font is an object (name, size, bold, italic, underline, strikethrough, weight, charset) or null");
        }
        return;
      case VarType::Picture:
        if (t.kind == Token::Kind::Null) {
          setEntryValue(Variant::picture(nullptr));
        } else if (t.kind == Token::Kind::Object) {
          picture_ = Picture{};
          pictureSeen_ = 0;
          push(Frame::Picture);
        } else {
          refuse("a Picture is an object (type, width, height, data) or null");
        }
        return;
      case VarType::DataObject: break;
    }
    fail("unknown value type");
  }

  // ---- objects inside values ----
  bool flag(const Token& t, const char* member) {
    if (t.kind != Token::Kind::Boolean)
      fail(std::string("a font's '") + member + "' is true or false, not " + t.what());
    return t.boolean;
  }

  void fontValue(const Token& t) {
    std::int64_t whole = 0;
    switch (memberBit_) {
      case FnName: font_.name = expectString(t, "a font's \"name\""); break;
      case FnSize:
        if (!realValue(t, font_.size)) fail(std::string("a font's size is a number, not ") + t.what());
        break;
      case FnBold: font_.bold = flag(t, "bold"); break;
      case FnItalic: font_.italic = flag(t, "italic"); break;
      case FnUnderline: font_.underline = flag(t, "underline"); break;
      case FnStrikethrough: font_.strikethrough = flag(t, "strikethrough"); break;
      case FnWeight:
        if (!wholeIn(t, 0, 1000, whole)) fail("a font's weight is a whole number from 0 to 1000");
        font_.weight = static_cast<std::int16_t>(whole);
        break;
      case FnCharset:
        if (!wholeIn(t, 0, 255, whole)) fail("a font's charset is a whole number from 0 to 255");
        font_.charset = static_cast<std::int16_t>(whole);
        break;
      default: skip(t);
    }
  }

  void pictureValue(const Token& t) {
    std::int64_t whole = 0;
    switch (memberBit_) {
      case PmType:
        if (!wholeIn(t, INT16_MIN, INT16_MAX, whole)) fail("a picture's type is a whole number from -32768 to 32767");
        picture_.type = static_cast<std::int16_t>(whole);
        break;
      case PmWidth:
      case PmHeight:
        if (!wholeIn(t, INT32_MIN, INT32_MAX, whole))
          fail("a picture's width and height are whole numbers from -2147483648 to 2147483647");
        (memberBit_ == PmWidth ? picture_.width : picture_.height) = static_cast<std::int32_t>(whole);
        break;
      case PmData: {
        const std::string text = expectString(t, "a picture's \"data\"");
        auto decoded = base64Decode(text);
        if (!decoded) fail("a picture's data is not base64");
        picture_.bytes = std::move(*decoded);
        break;
      }
      default: skip(t);
    }
  }

  void bytesValue(const Token& t) {
    if (memberBit_ == 0) {
      skip(t);
      return;
    }
    const std::string text = expectString(t, "\"base64\"");
    auto decoded = base64Decode(text);
    if (!decoded) fail("the string's bytes are not base64");
    bytes_ = std::move(*decoded);
  }

  std::string_view text_;
  const std::string& file_;
  const char** cursor_;
  std::size_t lastEnd_ = 0;

  FormFile form_;
  std::vector<Frame> frames_;
  bool complete_ = false;
  bool newerMinor_ = false;
  std::string member_;
  unsigned memberBit_ = 0;
  unsigned formSeen_ = 0, formMembers_ = 0;
  std::unordered_set<std::string> names_;  // control names, lower case
  std::size_t properties_ = 0;

  FormControl control_;
  std::vector<FormEntry> entries_;  // the open control's properties so far (reused)
  bool inControl_ = false;
  unsigned controlSeen_ = 0;
  FormEntry entry_;
  bool inEntry_ = false;
  int entryItems_ = 0;
  VarType entryType_ = VarType::Empty;
  Font font_;
  unsigned fontSeen_ = 0;
  Picture picture_;
  unsigned pictureSeen_ = 0;
  std::string bytes_;
  unsigned bytesSeen_ = 0;
};

}  // namespace

FormFile parseFormWithEvents(std::string_view text, const std::string& fileName) {
  if (text.size() > FormLimits::FileBytes)
    throw FormFileError(fileName, 0, 0, "", "", "larger than " + std::to_string(FormLimits::FileBytes) + " bytes");
  const char* cursor = text.data();
  FormReader reader(text, fileName, &cursor);
  json::sax_parse(TrackingIterator(text.data(), &cursor), TrackingIterator(text.data() + text.size(), &cursor),
                  &reader);
  return reader.take();
}

namespace {

struct Outcome {
  std::optional<FormFile> form;
  std::optional<FormFileError> error;
};

Outcome outcomeOf(FormFile (*reader)(std::string_view, const std::string&), std::string_view text,
                  const std::string& fileName) {
  try {
    return {reader(text, fileName), std::nullopt};
  } catch (const FormFileError& e) {
    return {std::nullopt, e};
  }
}

std::string describeForm(const FormFile& f) { return "form " + f.name + " (" + std::to_string(f.controls.size()) + " controls)"; }

}  // namespace

std::string formReadersDiffer(std::string_view text, const std::string& fileName,
                              FormFile (*current)(std::string_view, const std::string&)) {
  const Outcome before = outcomeOf(&parseFormWithEvents, text, fileName);
  const Outcome now = outcomeOf(current, text, fileName);
  if (before.form && now.form) {
    const FormFile& a = *before.form;
    const FormFile& b = *now.form;
    bool same = sameForm(a, b) && a.versionMajor == b.versionMajor && a.versionMinor == b.versionMinor;
    for (std::size_t i = 0; same && i < a.controls.size(); ++i)
      for (std::size_t k = 0; same && k < a.controls[i].properties.size(); ++k)
        same = a.controls[i].properties[k].value.type() == b.controls[i].properties[k].value.type();
    return same ? "" : "forms differ: " + describeForm(a) + " / " + describeForm(b);
  }
  if (before.error && now.error) {
    const FormFileError& a = *before.error;
    const FormFileError& b = *now.error;
    // A syntax error's reason is the parser's own wording, which differs between the two: such
    // errors agree when both are syntax errors at the same place.
    const auto syntax = [](const std::string& reason) { return reason.rfind("syntax error", 0) == 0; };
    const bool sameReason = a.reason() == b.reason() || (syntax(a.reason()) && syntax(b.reason()));
    if (a.file() == b.file() && a.line() == b.line() && a.column() == b.column() && a.control() == b.control() &&
        a.key() == b.key() && sameReason)
      return "";
    return std::string("errors differ:\n  before: ") + a.what() + "\n  now:    " + b.what();
  }
  return std::string("one reads, one refuses:\n  before: ") + (before.form ? describeForm(*before.form) : before.error->what()) +
         "\n  now:    " + (now.form ? describeForm(*now.form) : now.error->what());
}

FormFile compareFormReaders(std::string_view text, const std::string& fileName, const char* log,
                            FormFile (*current)(std::string_view, const std::string&)) {
  const std::string difference = formReadersDiffer(text, fileName, current);
  if (!difference.empty()) {
    if (std::FILE* out = std::fopen(log, "a")) {
      std::fprintf(out, "%s\n  text (%zu bytes): ", difference.c_str(), text.size());
      for (std::size_t i = 0; i < std::min<std::size_t>(text.size(), 4096); ++i)
        std::fprintf(out, "%02x", static_cast<unsigned char>(text[i]));
      std::fprintf(out, "\n");
      std::fclose(out);
    }
  }
  return current(text, fileName);
}

}  // namespace kestrinx::forms
