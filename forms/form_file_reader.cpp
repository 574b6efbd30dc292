// The form file reader: simdjson's on-demand parser walked in the text's order, each value checked
// against the format as it is reached, so no document tree is built and the form is made as the
// walk goes. A refusal names the place of the token it concerns, taken from the parser's position
// in the text; when the parser refuses the text itself, syntaxFault() finds where the text first
// stops being JSON. See form_file.h for the format.
#include <simdjson.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <unordered_set>

#include "forms/base64.h"
#include "forms/form_file.h"
#include "forms/form_file_rules.h"

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

namespace od = simdjson::ondemand;

// ---- where the text stops being JSON ------------------------------------------------------------

struct Fault {
  Fault(std::size_t at, std::string reason) : at(at), reason(std::move(reason)) {}
  std::size_t at;  // the byte the fault is reported at (the text's size for its end)
  std::string reason;
  // Where the token with the fault starts (the text's size when the text ends early), and what
  // completes the JSON before it: the text up to `tokenStart` followed by `completion` is JSON.
  std::size_t tokenStart = 0;
  std::string completion;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The first place the text is not JSON, and why, or nullopt when it is JSON. A fault in a token
// is reported at the byte that makes it one (a literal's first wrong letter, a string's control
// character or ill-formed UTF-8 byte, the end of the text); a well-formed token where it does not
// belong at its last byte. A number too large for a double is a fault at its last digit.
// Nesting is followed with a stack of its own, so any depth is safe.
class SyntaxScan {
 public:
  explicit SyntaxScan(std::string_view text) : t_(text) {}

  std::optional<Fault> run() {
    std::optional<Fault> fault = scan();
    if (!fault) return fault;
    fault->tokenStart = start_;
    switch (want_) {
      case Want::Value:
      case Want::ValueOrClose: fault->completion = "null"; break;
      case Want::Key: fault->completion = "\"\":null"; break;
      case Want::Colon: fault->completion = ":null"; break;
      default: break;
    }
    for (auto c = open_.rbegin(); c != open_.rend(); ++c) fault->completion += *c == '{' ? '}' : ']';
    return fault;
  }

 private:
  // What may come next: a value (after '[', ',' in an array, ':' or at the start), a key (after
  // '{' or ',' in an object), ':' after a key, or ',' / a closing bracket after a value.
  enum class Want { Value, ValueOrClose, Key, KeyOrClose, Colon, CommaOrClose, End };

  std::optional<Fault> scan() {
    std::vector<char>& open = open_;
    Want& want = want_;
    // A byte order mark may open the text.
    if (!t_.empty() && t_[0] == '\xEF') {
      for (const char mark : {'\xBB', '\xBF'})
        if (++i_ >= t_.size() || t_[i_] != mark)
          return lexical(std::min(i_, t_.size()), "invalid byte order mark; it is 0xEF 0xBB 0xBF");
      ++i_;
    }
    while (true) {
      skipSpace();
      start_ = i_;
      if (want == Want::End) {
        if (i_ < t_.size()) return unexpected("text after the form's closing brace");
        return std::nullopt;
      }
      if (i_ >= t_.size()) return Fault{t_.size(), "syntax error: the text ends early"};
      const char c = t_[i_];
      switch (want) {
        case Want::Colon:
          if (c != ':') return unexpectedToken("expected ':'");
          ++i_;
          want = Want::Value;
          continue;
        case Want::CommaOrClose:
          if (c == ',') {
            ++i_;
            want = open.back() == '{' ? Want::Key : Want::Value;
            continue;
          }
          if (c == (open.back() == '{' ? '}' : ']')) {
            ++i_;
            open.pop_back();
            want = open.empty() ? Want::End : Want::CommaOrClose;
            continue;
          }
          return unexpectedToken(open.back() == '{' ? "expected ',' or '}'" : "expected ',' or ']'");
        case Want::Key:
        case Want::KeyOrClose:
          if (c == '}' && want == Want::KeyOrClose) {
            ++i_;
            open.pop_back();
            want = open.empty() ? Want::End : Want::CommaOrClose;
            continue;
          }
          if (c != '"') return unexpectedToken("expected a member name");
          if (auto f = string()) return f;
          want = Want::Colon;
          continue;
        case Want::Value:
        case Want::ValueOrClose:
          if (c == ']' && want == Want::ValueOrClose) {
            ++i_;
            open.pop_back();
            want = open.empty() ? Want::End : Want::CommaOrClose;
            continue;
          }
          if (c == '{' || c == '[') {
            open.push_back(c);
            ++i_;
            want = c == '{' ? Want::KeyOrClose : Want::ValueOrClose;
            continue;
          }
          if (auto f = scalar()) return f;
          want = open.empty() ? Want::End : Want::CommaOrClose;
          continue;
        case Want::End: break;
      }
    }
  }

  void skipSpace() {
    while (i_ < t_.size() && isSpace(t_[i_])) ++i_;
  }

  Fault lexical(std::size_t at, std::string what) const { return Fault{at, "syntax error: " + std::move(what)}; }

  // A well-formed token where it does not belong, reported at its last byte.
  std::optional<Fault> unexpectedToken(const char* expected) {
    const std::size_t start = i_;
    const char c = t_[i_];
    if (c == '"') {
      if (auto f = string()) return f;
    } else if (c == '{' || c == '}' || c == '[' || c == ']' || c == ',' || c == ':') {
      ++i_;
    } else if (auto f = scalar()) {
      return f;
    }
    return Fault{i_ - 1, "syntax error: unexpected " + rules::shown(t_.substr(start, i_ - start)) + "; " + expected};
  }
  std::optional<Fault> unexpected(const char* what) {
    const std::size_t start = i_;
    if (auto f = unexpectedToken("")) {
      if (f->reason.back() != ' ') return f;  // the token itself is a fault
      return Fault{f->at, "syntax error: " + std::string(what) + " (" + rules::shown(t_.substr(start, i_ - start)) + ")"};
    }
    return std::nullopt;
  }

  std::optional<Fault> scalar() {
    const char c = t_[i_];
    if (c == '"') return string();
    if (c == '-' || isDigit(c)) return number();
    if (c == 't') return literal("true");
    if (c == 'f') return literal("false");
    if (c == 'n') return literal("null");
    return lexical(i_, "invalid literal " + rules::shown(t_.substr(i_, 1)));
  }

  std::optional<Fault> literal(std::string_view word) {
    for (char expected : word) {
      if (i_ >= t_.size()) return lexical(t_.size(), "the text ends inside '" + std::string(word) + "'");
      if (t_[i_] != expected) return lexical(i_, "invalid literal; expected '" + std::string(word) + "'");
      ++i_;
    }
    return std::nullopt;
  }

  std::optional<Fault> digits(const char* what) {
    if (i_ >= t_.size()) return lexical(t_.size(), std::string("the text ends inside a number; expected ") + what);
    if (!isDigit(t_[i_])) return lexical(i_, std::string("invalid number; expected ") + what);
    while (i_ < t_.size() && isDigit(t_[i_])) ++i_;
    return std::nullopt;
  }

  std::optional<Fault> number() {
    const std::size_t start = i_;
    if (t_[i_] == '-') ++i_;
    if (i_ < t_.size() && t_[i_] == '0') {
      ++i_;
    } else if (auto f = digits("a digit")) {
      return f;
    }
    bool real = false;
    if (i_ < t_.size() && t_[i_] == '.') {
      ++i_;
      real = true;
      if (auto f = digits("a digit after '.'")) return f;
    }
    if (i_ < t_.size() && (t_[i_] == 'e' || t_[i_] == 'E')) {
      ++i_;
      real = true;
      if (i_ < t_.size() && (t_[i_] == '+' || t_[i_] == '-')) ++i_;
      if (auto f = digits("a digit in the exponent")) return f;
    }
    const std::string token(t_.substr(start, i_ - start));
    if (!real) {
      // A whole number that fits 64 bits is read as one; a larger one as a double.
      std::int64_t s = 0;
      std::uint64_t u = 0;
      const char* end = token.data() + token.size();
      if (token[0] == '-' ? std::from_chars(token.data(), end, s).ec == std::errc{}
                          : std::from_chars(token.data(), end, u).ec == std::errc{})
        return std::nullopt;
    }
    if (!std::isfinite(std::strtod(token.c_str(), nullptr)))
      return Fault{i_ - 1, "number overflow parsing " + rules::shown(token)};
    return std::nullopt;
  }

  std::optional<Fault> hex4(std::uint32_t& out) {
    out = 0;
    for (int k = 0; k < 4; ++k) {
      if (i_ >= t_.size()) return lexical(t_.size(), "invalid string: missing closing quote");
      const char c = t_[i_];
      const int v = isDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
      if (v < 0) return lexical(i_, "invalid string: '\\u' must be followed by 4 hex digits");
      out = out * 16 + static_cast<std::uint32_t>(v);
      ++i_;
    }
    return std::nullopt;
  }

  std::optional<Fault> string() {
    ++i_;  // the opening quote
    while (true) {
      if (i_ >= t_.size()) return lexical(t_.size(), "invalid string: missing closing quote");
      const auto c = static_cast<unsigned char>(t_[i_]);
      if (c == '"') {
        ++i_;
        return std::nullopt;
      }
      if (c < 0x20) {
        char code[8];
        std::snprintf(code, sizeof code, "%04X", c);
        return lexical(i_, std::string("invalid string: control character U+") + code + " must be escaped");
      }
      if (c == '\\') {
        ++i_;
        if (i_ >= t_.size()) return lexical(t_.size(), "invalid string: missing closing quote");
        const char e = t_[i_];
        if (e != 'u') {
          if (std::strchr("\"\\/bfnrt", e) == nullptr || e == '\0')
            return lexical(i_, "invalid string: forbidden character after backslash");
          ++i_;
          continue;
        }
        ++i_;
        std::uint32_t unit = 0;
        if (auto f = hex4(unit)) return f;
        if (unit >= 0xDC00 && unit <= 0xDFFF)
          return lexical(i_ - 1, "invalid string: surrogate U+DC00..U+DFFF must follow U+D800..U+DBFF");
        if (unit >= 0xD800 && unit <= 0xDBFF) {
          // A high surrogate is followed by \u and a low one.
          for (char expected : {'\\', 'u'}) {
            if (i_ >= t_.size()) return lexical(t_.size(), "invalid string: missing closing quote");
            if (t_[i_] != expected)
              return lexical(i_, "invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF");
            ++i_;
          }
          if (auto f = hex4(unit)) return f;
          if (unit < 0xDC00 || unit > 0xDFFF)
            return lexical(i_ - 1, "invalid string: surrogate U+D800..U+DBFF must be followed by U+DC00..U+DFFF");
        }
        continue;
      }
      if (c < 0x80) {
        ++i_;
        continue;
      }
      // UTF-8: the lead byte fixes how many bytes follow and the range of the first of them.
      unsigned follow = 0;
      unsigned char low = 0x80, high = 0xBF;
      if (c >= 0xC2 && c <= 0xDF) follow = 1;
      else if (c == 0xE0) follow = 2, low = 0xA0;
      else if (c == 0xED) follow = 2, high = 0x9F;
      else if (c >= 0xE1 && c <= 0xEF) follow = 2;
      else if (c == 0xF0) follow = 3, low = 0x90;
      else if (c == 0xF4) follow = 3, high = 0x8F;
      else if (c >= 0xF1 && c <= 0xF3) follow = 3;
      else return lexical(i_, "invalid string: ill-formed UTF-8 byte");
      ++i_;
      for (unsigned k = 0; k < follow; ++k, low = 0x80, high = 0xBF) {
        if (i_ >= t_.size()) return lexical(t_.size(), "invalid string: missing closing quote");
        const auto b = static_cast<unsigned char>(t_[i_]);
        if (b < low || b > high) return lexical(i_, "invalid string: ill-formed UTF-8 byte");
        ++i_;
      }
    }
  }

  std::string_view t_;
  std::size_t i_ = 0;
  std::size_t start_ = 0;   // where the token being scanned starts
  std::vector<char> open_;  // '{' or '[' for each open object and array
  Want want_ = Want::Value;
};

// ---- the values a walk meets ---------------------------------------------------------------------

// One scalar as the format's checks see it.
struct Token {
  enum class Kind : std::uint8_t { Null, Boolean, Integer, Unsigned, Real, String, Object, Array };
  Kind kind = Kind::Null;
  bool boolean = false;
  std::int64_t integer = 0;
  std::uint64_t unsignedValue = 0;
  double real = 0;
  std::string_view text;  // a string's contents, or a number's digits as written

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

// The parser is refusing the text: the refusal is reported as a syntax fault (thrown by the
// reader as FormFileError).
struct Refused {
  simdjson::error_code code;
};

template <typename T>
T got(simdjson::simdjson_result<T>&& result) {
  T value{};
  if (const auto code = std::move(result).get(value)) throw Refused{code};
  return value;
}

// Reads one form. `text` is what the parser reads (its copy at `padded`); places in errors are
// lines and columns of `original`, the file's text. When the file is not JSON from some token on,
// the reader is given the JSON before that token, completed (`fault`): it then refuses what the
// file refuses before the token, and otherwise reports the fault with the control and key being
// read there, as a reader that stops at the fault would.
class FormReader {
 public:
  FormReader(std::string_view text, const char* padded, std::string_view original, const std::string& file,
             const Fault* fault = nullptr)
      : text_(text), original_(original), base_(padded), file_(file), fault_(fault) {}

  // Throws FormFileError, or Refused where the parser refuses the text.
  FormFile read(od::document& doc) {
    readForm(doc);
    if (fault_) failAt(fault_->tokenStart, "", "");
    return std::move(form_);
  }

 private:
  // ---- places and errors ----
  std::size_t offsetOf(const char* p) const { return static_cast<std::size_t>(p - base_); }

  // Where the last token read ended (a number's end is taken one byte further, after the byte
  // that ends it); the next token starts at the first byte after it that is not white space or
  // a separator. Refusals at the end of an object or array are reported there.
  std::size_t tokenStart() const {
    std::size_t at = lastEnd_;
    while (at < text_.size() && (isSpace(text_[at]) || text_[at] == ',' || text_[at] == ':')) ++at;
    return at;
  }

  std::string controlLabel() const {
    if (!inControl_) return "";
    if (!control_.name.empty()) return control_.name;
    return "#" + std::to_string(form_.controls.size() + 1);
  }

  // `atToken`: the refusal is of a token at `offset`, which the fault stands in for when it is
  // at the fault or in what completes the text before it.
  [[noreturn]] void failAt(std::size_t offset, std::string key, std::string reason, bool atToken = true) const {
    if (atToken && fault_ && offset >= fault_->tokenStart) {
      offset = fault_->at;
      reason = fault_->reason;
      key = entryKeyForErrors();
    }
    offset = std::min(offset, original_.size());
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
      const auto c = static_cast<unsigned char>(original_[i]);
      if (c == '\n') {
        ++line;
        column = 1;
      } else if ((c & 0xC0) != 0x80) {  // count characters, not the bytes after a UTF-8 lead
        ++column;
      }
    }
    throw FormFileError(file_, line, column, controlLabel(), key, rules::printable(reason, 200));
  }
  // A refusal of the token that starts at `at_` (the one being read).
  [[noreturn]] void fail(const std::string& reason) const { failAt(at_, entryKeyForErrors(), reason); }
  // A refusal at the end of the object or array just closed (its closing bracket was read, so
  // it stands before any fault).
  [[noreturn]] void failAtEnd(const std::string& reason) const {
    failAt(tokenStart(), entryKeyForErrors(), reason, false);
  }

  std::string entryKeyForErrors() const { return inEntry_ && entryItems_ > 0 ? entry_.key : std::string(); }

  // ---- reading values ----
  // The scalar `v` as a Token (a string or a number's text stays valid while the form is read);
  // an object or array only by its kind, not yet entered.
  Token token(od::value& v) {
    const std::string_view raw = v.raw_json_token();
    at_ = offsetOf(raw.data());
    reached(at_);
    Token t;
    switch (raw[0]) {
      case '{':
      case '[':
        t.kind = raw[0] == '{' ? Token::Kind::Object : Token::Kind::Array;
        lastEnd_ = at_ + 1;
        return t;
      case '"':
        t.kind = Token::Kind::String;
        t.text = stringText(v, raw);
        break;
      case 't':
      case 'f':
        t.kind = Token::Kind::Boolean;
        t.boolean = got(v.get_bool());
        break;
      case 'n':
        if (!got(v.is_null())) throw Refused{simdjson::N_ATOM_ERROR};
        break;
      default: number(v, raw, t); return t;
    }
    lastEnd_ = at_ + raw.size();
    return t;
  }

  // A string's contents: straight from the text when it has no escapes (the parser has checked
  // that the text is UTF-8 with no control characters in strings), else unescaped by the parser.
  // Either way the parser reads the string as a value: one it passes over unread would be taken
  // for a member name if a ':' followed it.
  static std::string_view stringText(od::value& v, std::string_view raw) {
    std::size_t end = raw.size();
    while (end > 1 && raw[end - 1] != '"') --end;
    const std::string_view inside = raw.substr(1, end > 1 ? end - 2 : 0);
    bool plain = end > 1;
    for (char c : inside) plain = plain && c != '\\';
    if (!plain) return got(v.get_string());
    got(v.get_raw_json_string());
    return inside;
  }

  void number(od::value& v, std::string_view raw, Token& t) {
    std::size_t n = raw.size();
    while (n > 0 && isSpace(raw[n - 1])) --n;
    t.text = raw.substr(0, n);
    lastEnd_ = std::min(at_ + n + 1, text_.size());
    bool whole = true;
    for (char c : t.text) whole = whole && c != '.' && c != 'e' && c != 'E';
    if (whole && t.text[0] == '-') {
      std::int64_t i = 0;
      if (!v.get_int64().get(i)) {
        t.kind = Token::Kind::Integer;
        t.integer = i;
        return;
      }
    } else if (whole) {
      std::uint64_t u = 0;
      if (!v.get_uint64().get(u)) {
        t.kind = Token::Kind::Unsigned;
        t.unsignedValue = u;
        return;
      }
    }
    // A real number, or a whole one too large for 64 bits.
    t.kind = Token::Kind::Real;
    if (v.get_double().get(t.real)) throw Refused{simdjson::NUMBER_ERROR};
  }

  // A member name of an object being read; refusals of it are reported at its opening quote.
  std::string_view memberName(od::field& f) {
    at_ = offsetOf(f.key().raw()) - 1;
    reached(at_);
    const std::string_view name = got(f.unescaped_key());
    lastEnd_ = at_ + 1;  // no refusal is reported between a name and its value
    return name;
  }

  // The place after the closing bracket of the object or array whose last item was just read.
  // Refusals at its end are reported where its last item ended (see tokenStart()), and lastEnd_
  // moves here after them.
  std::size_t afterClose(od::document& doc) const {
    std::size_t close = text_.size();
    const char* next = nullptr;
    if (!doc.current_location().get(next)) close = offsetOf(next);
    while (close > 0 && isSpace(text_[close - 1])) --close;
    reached(close - 1);
    return close;
  }

  // Reading a token at `offset`: one at the fault, or in what completes the text before it,
  // stops the reading with the fault.
  void reached(std::size_t offset) const {
    if (fault_ && offset >= fault_->tokenStart) failAt(offset, "", "");
  }

  void enter() {
    if (depth_ >= FormLimits::Depth) fail("nested deeper than " + std::to_string(FormLimits::Depth) + " levels");
    ++depth_;
  }

  // A member this build does not know, in a file of a newer minor version: passed over, though
  // still read through (so it must be JSON within the depth limit).
  void skip(od::document& doc, od::value& v, const Token& t) {
    if (t.kind == Token::Kind::Object) {
      enter();
      od::object o = got(v.get_object());
      for (auto field : o) {
        od::field f = got(std::move(field));
        memberName(f);
        od::value item = f.value();
        skip(doc, item, token(item));
      }
      lastEnd_ = afterClose(doc);
      --depth_;
    } else if (t.kind == Token::Kind::Array) {
      enter();
      od::array a = got(v.get_array());
      for (auto element : a) {
        od::value item = got(std::move(element));
        skip(doc, item, token(item));
      }
      lastEnd_ = afterClose(doc);
      --depth_;
    }
  }

  template <std::size_t N>
  unsigned knownMember(const MemberName (&members)[N], unsigned& seen, std::string_view name) {
    const unsigned bit = bitOf(members, name);
    if (bit == 0) {
      if (!newerMinor_) fail("unknown member " + rules::shown(name));
      return 0;
    }
    if (seen & bit) fail("the member " + rules::shown(name) + " appears twice");
    seen |= bit;
    return bit;
  }

  std::string_view expectString(const Token& t, const char* what) {
    if (t.kind != Token::Kind::String) fail(std::string(what) + " must be a string, not " + t.what());
    return t.text;
  }

  // ---- the form ----
  void readForm(od::document& doc) {
    // The text is one object; a refusal of the parser before any of it is read (an unclosed
    // string, bytes that are not UTF-8, brackets that do not match) is a syntax fault.
    const std::string_view raw = got(doc.raw_json_token());
    at_ = offsetOf(raw.data());
    if (raw[0] != '{') {
      // Anything else that is JSON is a value of the wrong kind.
      if (!fault_ && SyntaxScan(text_).run()) throw Refused{simdjson::TAPE_ERROR};
      fail("a form file is one JSON object");
    }
    lastEnd_ = at_ + 1;
    od::object root = got(doc.get_object());
    enter();
    unsigned seen = 0, count = 0;
    for (auto field : root) {
      od::field f = got(std::move(field));
      const std::string_view name = memberName(f);
      // The format and version come first, so that everything after them is read by the right
      // rules.
      if (count == 0 && name != "format")
        fail("a form file starts with \"format\": \"" + std::string(FormFormatName) + "\"");
      if (count == 1 && name != "version") fail("\"version\" must follow \"format\"");
      ++count;
      const unsigned bit = knownMember(kFormMembers, seen, name);
      od::value v = f.value();
      const Token t = token(v);
      switch (bit) {
        case FmFormat:
          if (t.kind != Token::Kind::String || t.text != FormFormatName)
            fail("not a form file: \"format\" must be \"" + std::string(FormFormatName) + "\"");
          break;
        case FmVersion: version(t); break;
        case FmName: {
          const std::string_view formName = expectString(t, "the form's \"name\"");
          if (!isValidFormName(formName))
            fail("the form name " + rules::shown(formName) +
                 " is not a name (a letter, then letters, digits and _, at most 40)");
          form_.name = std::string(formName);
          break;
        }
        case FmControls:
          if (t.kind != Token::Kind::Array) fail(std::string("\"controls\" must be an array, not ") + t.what());
          controls(doc, v);
          break;
        default: skip(doc, v, t);
      }
    }
    const std::size_t after = afterClose(doc);
    if (seen != (FmFormat | FmVersion | FmName | FmControls))
      failAtEnd("the form has no " + rules::shown(firstMissing(kFormMembers, seen)));
    lastEnd_ = after;
    // Nothing but white space may follow the form.
    const char* next = nullptr;
    if (!doc.current_location().get(next)) throw Refused{simdjson::TRAILING_CONTENT};
  }

  void version(const Token& t) {
    const std::string_view v = expectString(t, "\"version\"");
    int major = 0, minor = 0;
    if (!parseVersion(v, major, minor)) fail("the version " + rules::shown(v) + " is not MAJOR.MINOR");
    if (major > FormVersionMajor)
      fail("the form is version " + std::string(v) + ", newer than this build reads (" +
           std::to_string(FormVersionMajor) + ".x); open it with a newer KestrinX");
    if (major < FormVersionMajor)
      fail("unknown version " + std::string(v) + " (this build reads " + std::to_string(FormVersionMajor) + ".x)");
    form_.versionMajor = major;
    form_.versionMinor = minor;
    newerMinor_ = minor > FormVersionMinor;
  }

  // ---- controls ----
  void controls(od::document& doc, od::value& list) {
    enter();
    od::array a = got(list.get_array());
    for (auto element : a) {
      od::value v = got(std::move(element));
      const Token t = token(v);
      if (t.kind != Token::Kind::Object) fail(std::string("each control is an object, not ") + t.what());
      if (form_.controls.size() >= FormLimits::Controls)
        fail("more than " + std::to_string(FormLimits::Controls) + " controls");
      control(doc, v);
    }
    lastEnd_ = afterClose(doc);
    --depth_;
  }

  float coordinate(const Token& t, const char* member, bool isSize) {
    float v = 0;
    if (!realValue(t, v)) fail(std::string("'") + member + "' must be a number, not " + t.what());
    if (auto bad = rules::badCoordinate(member, v, isSize)) fail(*bad);
    return v;
  }

  void control(od::document& doc, od::value& object) {
    control_ = FormControl{};
    entries_.clear();
    inControl_ = true;
    objectMembers(
        doc, object, kControlMembers,
        [&](unsigned bit, od::value& v, const Token& t) {
          switch (bit) {
            case CmName: {
              const std::string_view name = expectString(t, "a control's \"name\"");
              if (!isValidFormName(name))
                fail("the control name " + rules::shown(name) +
                     " is not a name (a letter, then letters, digits and _, at most 40)");
              if (!names_.insert(rules::foldedName(name)).second) fail("two controls are named " + rules::shown(name));
              control_.name = std::string(name);
              break;
            }
            case CmClass: {
              const std::string_view progId = expectString(t, "\"class\"");
              if (auto bad = rules::badClassName(progId)) fail(*bad);
              control_.progId = std::string(progId);
              break;
            }
            case CmLeft: control_.placement.left = coordinate(t, "left", false); break;
            case CmTop: control_.placement.top = coordinate(t, "top", false); break;
            case CmWidth: control_.placement.width = coordinate(t, "width", true); break;
            case CmHeight: control_.placement.height = coordinate(t, "height", true); break;
            case CmProperties:
              if (t.kind != Token::Kind::Array) fail(std::string("\"properties\" must be an array, not ") + t.what());
              properties(doc, v);
              break;
          }
        },
        [&](unsigned seen) {
          const unsigned all = CmName | CmClass | CmLeft | CmTop | CmWidth | CmHeight | CmProperties;
          if (seen != all) failAtEnd("the control has no " + rules::shown(firstMissing(kControlMembers, seen)));
          // The entries gathered in the reused list go to one list of their own size.
          control_.properties.assign(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()));
          entries_.clear();
          if (auto twice = rules::duplicateKey(control_.properties))
            failAtEnd("the property " + rules::shown(*twice) + " appears twice");
          form_.controls.push_back(std::move(control_));
          control_ = FormControl{};
          inControl_ = false;
        });
  }

  // ---- properties: [key, type, value] ----
  void properties(od::document& doc, od::value& list) {
    enter();
    od::array a = got(list.get_array());
    for (auto element : a) {
      od::value v = got(std::move(element));
      const Token t = token(v);
      if (t.kind != Token::Kind::Array) fail(std::string("each property is [key, type, value], not ") + t.what());
      if (entries_.size() >= FormLimits::PropertiesPerControl)
        fail("more than " + std::to_string(FormLimits::PropertiesPerControl) + " properties");
      if (++properties_ > FormLimits::Properties)
        fail("more than " + std::to_string(FormLimits::Properties) + " properties in all");
      entry(doc, v);
    }
    lastEnd_ = afterClose(doc);
    --depth_;
  }

  void entry(od::document& doc, od::value& list) {
    entry_.key.clear();  // the value is always set before the entry is kept
    entryItems_ = 0;
    inEntry_ = true;
    enter();
    od::array a = got(list.get_array());
    for (auto element : a) {
      od::value v = got(std::move(element));
      const Token t = token(v);
      switch (entryItems_) {
        case 0: {
          const std::string_view key = expectString(t, "a property's key");
          if (auto bad = rules::badKey(key)) fail(*bad);
          entry_.key.assign(key);
          entryItems_ = 1;
          break;
        }
        case 1: {
          if (t.kind != Token::Kind::String) fail(std::string("a property's type must be a string, not ") + t.what());
          const auto type = rules::typeNamed(t.text);
          if (!type) fail("unknown value type " + rules::shown(t.text));
          entryType_ = *type;
          entryItems_ = 2;
          break;
        }
        case 2:
          typedValue(doc, v, t);
          entryItems_ = 3;
          break;
        default: fail("a property is [key, type, value]; this one has more items");
      }
    }
    // Nothing after an entry looks back at where it ended before the next token is read, but
    // in a text completed before its fault, the entry's end may be where the fault is.
    const std::size_t after = fault_ ? afterClose(doc) : lastEnd_;
    --depth_;
    if (entryItems_ < 3)
      failAtEnd(entryItems_ == 0 ? "a property is [key, type, value]; this one is empty"
                : entryItems_ == 1 ? "the property has no type and value"
                                   : "the property has no value");
    entries_.push_back(std::move(entry_));
    inEntry_ = false;
    lastEnd_ = after;
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

  static bool wholeIn(const Token& t, std::int64_t low, std::int64_t high, std::int64_t& out) {
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

  void typedValue(od::document& doc, od::value& v, const Token& t) {
    const auto refuse = [&](const char* rule) { fail(std::string("found ") + t.what() + "; " + rule); };
    std::int64_t whole = 0;
    switch (entryType_) {
      case VarType::Empty:
        if (t.kind != Token::Kind::Null) refuse("an Empty value is null");
        entry_.value = Variant();
        return;
      case VarType::Integer:
        if (!wholeIn(t, INT16_MIN, INT16_MAX, whole)) refuse("an Integer is a whole number from -32768 to 32767");
        entry_.value = Variant::integer(static_cast<std::int16_t>(whole));
        return;
      case VarType::Long:
        if (!wholeIn(t, INT32_MIN, INT32_MAX, whole))
          refuse("a Long is a whole number from -2147483648 to 2147483647");
        entry_.value = Variant::longValue(static_cast<std::int32_t>(whole));
        return;
      case VarType::Boolean:
        if (t.kind == Token::Kind::Boolean) {
          entry_.value = Variant::boolean(t.boolean ? True : False);
          return;
        }
        if (!wholeIn(t, INT16_MIN, INT16_MAX, whole))
          refuse("a Boolean is true, false or a whole number from -32768 to 32767");
        entry_.value = Variant::boolean(static_cast<Boolean>(whole));
        return;
      case VarType::Single: {
        float f = 0;
        double special = 0;
        if (specialReal(t, special)) {
          f = static_cast<float>(special);
        } else if (!realValue(t, f)) {
          refuse("a Single is a number within +-3.4e38, or \"NaN\", \"Infinity\" or \"-Infinity\"");
        }
        entry_.value = Variant::single(f);
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
        entry_.value = entryType_ == VarType::Date ? Variant::date(Date{d}) : Variant::doubleValue(d);
        return;
      }
      case VarType::String:
        if (t.kind == Token::Kind::String) {
          entry_.value = Variant::string(std::string(t.text));
        } else if (t.kind == Token::Kind::Object) {
          entry_.value = Variant::string(bytes(doc, v));
        } else {
          refuse("a String is a string, or {\"base64\": \"...\"} for bytes that are not UTF-8");
        }
        return;
      case VarType::Font:
        if (t.kind == Token::Kind::Null) {
          entry_.value = Variant::font(nullptr);
        } else if (t.kind == Token::Kind::Object) {
          entry_.value = Variant::font(font(doc, v));
        } else {
          refuse("a Font is an object (name, size, bold, italic, underline, strikethrough, weight, charset) or null");
        }
        return;
      case VarType::Picture:
        if (t.kind == Token::Kind::Null) {
          entry_.value = Variant::picture(nullptr);
        } else if (t.kind == Token::Kind::Object) {
          entry_.value = Variant::picture(picture(doc, v));
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

  // Reads an object whose members are `members`: `each(bit, value, token)` for each member this
  // build knows (unknown ones of a newer minor version are passed over), then `atEnd(seen)` with
  // the members seen, whose refusals are placed at the object's end.
  template <std::size_t N, class Each, class AtEnd>
  void objectMembers(od::document& doc, od::value& object, const MemberName (&members)[N], Each each,
                     AtEnd atEnd) {
    enter();
    unsigned seen = 0;
    od::object o = got(object.get_object());
    for (auto field : o) {
      od::field f = got(std::move(field));
      const unsigned bit = knownMember(members, seen, memberName(f));
      od::value v = f.value();
      const Token t = token(v);
      if (bit == 0)
        skip(doc, v, t);
      else
        each(bit, v, t);
    }
    const std::size_t after = afterClose(doc);
    --depth_;
    atEnd(seen);
    lastEnd_ = after;
  }

  values::FontRef font(od::document& doc, od::value& object) {
    Font font;
    objectMembers(
        doc, object, kFontMembers,
        [&](unsigned bit, od::value&, const Token& t) {
          std::int64_t whole = 0;
          switch (bit) {
            case FnName: font.name = std::string(expectString(t, "a font's \"name\"")); break;
            case FnSize:
              if (!realValue(t, font.size)) fail(std::string("a font's size is a number, not ") + t.what());
              break;
            case FnBold: font.bold = flag(t, "bold"); break;
            case FnItalic: font.italic = flag(t, "italic"); break;
            case FnUnderline: font.underline = flag(t, "underline"); break;
            case FnStrikethrough: font.strikethrough = flag(t, "strikethrough"); break;
            case FnWeight:
              if (!wholeIn(t, 0, 1000, whole)) fail("a font's weight is a whole number from 0 to 1000");
              font.weight = static_cast<std::int16_t>(whole);
              break;
            case FnCharset:
              if (!wholeIn(t, 0, 255, whole)) fail("a font's charset is a whole number from 0 to 255");
              font.charset = static_cast<std::int16_t>(whole);
              break;
          }
        },
        [&](unsigned seen) {
          if (seen != 0xFF) failAtEnd("the font has no " + rules::shown(firstMissing(kFontMembers, seen)));
          if (auto bad = rules::badFont(font)) failAtEnd(*bad);
        });
    return std::make_shared<Font>(std::move(font));
  }

  values::PictureRef picture(od::document& doc, od::value& object) {
    Picture picture;
    objectMembers(
        doc, object, kPictureMembers,
        [&](unsigned bit, od::value&, const Token& t) {
          std::int64_t whole = 0;
          switch (bit) {
            case PmType:
              if (!wholeIn(t, INT16_MIN, INT16_MAX, whole))
                fail("a picture's type is a whole number from -32768 to 32767");
              picture.type = static_cast<std::int16_t>(whole);
              break;
            case PmWidth:
            case PmHeight:
              if (!wholeIn(t, INT32_MIN, INT32_MAX, whole))
                fail("a picture's width and height are whole numbers from -2147483648 to 2147483647");
              (bit == PmWidth ? picture.width : picture.height) = static_cast<std::int32_t>(whole);
              break;
            case PmData: {
              auto decoded = base64Decode(expectString(t, "a picture's \"data\""));
              if (!decoded) fail("a picture's data is not base64");
              picture.bytes = std::move(*decoded);
              break;
            }
          }
        },
        [&](unsigned seen) {
          if (seen != 0xF) failAtEnd("the picture has no " + rules::shown(firstMissing(kPictureMembers, seen)));
        });
    return std::make_shared<Picture>(std::move(picture));
  }

  // A String's bytes that are not UTF-8: {"base64": "..."}.
  std::string bytes(od::document& doc, od::value& object) {
    std::string out;
    objectMembers(
        doc, object, kBytesMembers,
        [&](unsigned, od::value&, const Token& t) {
          auto decoded = base64Decode(expectString(t, "\"base64\""));
          if (!decoded) fail("the string's bytes are not base64");
          out = std::move(*decoded);
        },
        [&](unsigned seen) {
          if (seen == 0) failAtEnd("the string has no \"base64\"");
        });
    return out;
  }

  std::string_view text_;
  std::string_view original_;
  const char* base_;  // the parser's copy of the text, which its positions point into
  const std::string& file_;
  const Fault* fault_;
  std::size_t at_ = 0;       // where the token being read starts
  std::size_t lastEnd_ = 0;  // see tokenStart()
  std::size_t depth_ = 0;    // objects and arrays open

  FormFile form_;
  bool newerMinor_ = false;
  std::unordered_set<std::string> names_;  // control names, lower case
  std::size_t properties_ = 0;

  FormControl control_;
  std::vector<FormEntry> entries_;  // the open control's properties so far (reused)
  bool inControl_ = false;
  FormEntry entry_;
  bool inEntry_ = false;
  int entryItems_ = 0;
  VarType entryType_ = VarType::Empty;
};

}  // namespace

namespace {

// The text as the parser reads it: a copy with room after it (the parser reads a little past
// its end), with a byte order mark that opens it taken as white space, which keeps every place.
simdjson::padded_string parserCopy(std::string_view text) {
  simdjson::padded_string copy(text.data(), text.size());
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") std::memset(copy.data(), ' ', 3);
  return copy;
}

}  // namespace

FormFile parseForm(std::string_view text, const std::string& fileName) {
  if (text.size() > FormLimits::FileBytes)
    throw FormFileError(fileName, 0, 0, "", "", "larger than " + std::to_string(FormLimits::FileBytes) + " bytes");
  simdjson::padded_string padded = parserCopy(text);
  od::parser parser;
  od::document doc;
  simdjson::error_code code = parser.iterate(padded).get(doc);
  if (!code) {
    try {
      return FormReader(text, padded.data(), text, fileName).read(doc);
    } catch (const Refused& r) {
      code = r.code;
    }
  }
  // The parser refused the text: read it again up to its first fault.
  const std::optional<Fault> fault = SyntaxScan(text).run();
  if (fault) {
    std::string before(text.substr(0, fault->tokenStart));
    before += fault->completion;
    const simdjson::padded_string repaired = parserCopy(before);
    od::parser again;
    if (!again.iterate(repaired).get(doc)) {
      try {
        FormReader(before, repaired.data(), text, fileName, &*fault).read(doc);
      } catch (const Refused&) {
      }
    }
  }
  // Not reached for any text the scan and the parser judge alike.
  throw FormFileError(fileName, 0, 0, "", "", std::string("syntax error: ") + simdjson::error_message(code));
}

}  // namespace kestrinx::forms
