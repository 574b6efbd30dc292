// Fuzzes one Kestrin on a headless form with a sequence of operations read from the input:
// typing, named keys, pastes, focus moves, puts of any published member through the member
// table with values of any variant kind (in and out of range, fonts of extreme sizes), method
// calls, surface resizes, paints, clock changes, host members that start or stop refusing
// calls, and an application that acts inside its event handlers.
//
// Input: byte 0 chooses a freshly created control or one with the values of a newly placed
// control; then each operation is one byte of code followed by the bytes of its arguments
// (a missing byte reads as 0). values::AutomationError from an operation is the control reporting
// a host refusal and is accepted; anything else is a finding. After every operation:
//   - no layout and no numeric rewrite is still marked as running;
//   - each box's caret and selection lie within its text;
//   - a numeric box with grouping, whose text came from typing alone, holds no more counted
//     integer characters than the keystroke limit lets through (the limit plus the one
//     character that reaches it);
//   - when focus has left one of the control's boxes while the host refused nothing, the exit
//     check's outcome fits the box's text: plain text is valid, a valid number reads as one, a
//     valid date or time has been rewritten into its pattern, and two beeps follow exactly an
//     invalid outcome with InvalidBeep True.
#include <cfloat>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "control/kestrin.h"
#include "control/key_filter.h"
#include "control/members.h"
#include "host/headless/headless.h"
#include "values/error.h"
#include "values/functions.h"

using namespace kestrinx;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool done() const { return pos_ >= size_; }
  std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::int32_t int32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(byte()) << (8 * i);
    return static_cast<std::int32_t>(v);
  }
  // A short text: a length byte (0..15) and that many bytes.
  std::string text() {
    std::string s;
    for (int n = byte() % 16; n > 0; --n) s.push_back(static_cast<char>(byte()));
    return s;
  }
  // A 32-bit value, mostly from a list of interesting ones.
  std::int32_t interestingInt() {
    static constexpr std::int32_t kValues[] = {0,     1,      -1,         2,          80,        120,
                                               -120,  1000,   -1000,      100000,     16777217,  -16777217,
                                               32767, -32768, 2147483647, -2147483647 - 1};
    const std::uint8_t b = byte();
    if (b < sizeof kValues / sizeof kValues[0] * 8) return kValues[b % (sizeof kValues / sizeof kValues[0])];
    return int32();
  }
  values::Boolean boolean() {
    static constexpr values::Boolean kValues[] = {values::False, values::True, 1, 2, -32768, 32767};
    return kValues[byte() % (sizeof kValues / sizeof kValues[0])];
  }
  // Lengths for the container's resizes: zero, ordinary, huge, and refused negatives.
  float length() {
    static constexpr float kValues[] = {0.0f, 0.5f, 1.0f, 360.0f, 2560.0f, 1e6f, 16777217.0f, 1e20f, 1e38f, FLT_MAX,
                                        -1.0f, 1e-40f};
    return kValues[byte() % (sizeof kValues / sizeof kValues[0])];
  }
  // Font sizes: zero, tiny, ordinary, huge and negative, never NaN.
  float fontSize() {
    static constexpr float kValues[] = {0.0f,  0.01f, 0.3f,  0.5f,     1.0f,  8.25f,    12.0f,  72.0f,
                                        1e3f,  1e6f,  1e10f, 1e30f,    1e38f, FLT_MAX,  -1.0f,  -8.25f,
                                        -1e30f, -FLT_MAX, 1e-40f, 3.4e37f};
    return kValues[byte() % (sizeof kValues / sizeof kValues[0])];
  }
  double real() {
    static constexpr double kValues[] = {0.5, 2.5, -2.5, 3.5, 32767.5, 32768.0, -32768.5, 2147483647.5,
                                         4294967295.0, 1e300, -1e300, 1e-300};
    const std::uint8_t b = byte();
    if (b < 200) return kValues[b % (sizeof kValues / sizeof kValues[0])];
    double v;
    const std::int32_t lo = int32(), hi = int32();
    std::memcpy(&v, &lo, sizeof lo);
    std::memcpy(reinterpret_cast<char*>(&v) + sizeof lo, &hi, sizeof hi);
    return v;  // NaN and infinities included
  }
  // A value of any kind, as an automation client might pass it to a put.
  values::Variant variant() {
    switch (byte() % 9) {
      case 0: return values::Variant::integer(static_cast<std::int16_t>(interestingInt()));
      case 1: return values::Variant::longValue(interestingInt());
      case 2: return values::Variant::doubleValue(real());
      case 3: return values::Variant::single(static_cast<float>(real()));
      case 4: return values::Variant::string(text());
      case 5: return values::Variant::boolean(boolean());
      case 6: return values::Variant::font(font());
      case 7: return values::Variant::picture(byte() % 2 ? std::make_shared<values::Picture>() : nullptr);
      default: return values::Variant();
    }
  }
  values::FontRef font() {
    const std::uint8_t b = byte();
    if (b % 8 == 7) return nullptr;
    static const char* const kNames[] = {"MS Sans Serif", "Courier New", "Arial", ""};
    return values::makeFont(kNames[b % 4], fontSize(), (b & 0x10) != 0);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// The application: connected, counting, and acting inside its handlers as the input tells
// it (answering Change with another text, which re-enters the control, changing or discarding
// keys).
struct Application : KestrinEvents {
  Kestrin* k = nullptr;
  int changes = 0;
  std::uint8_t onChange = 0;    // 0 nothing, 1 set a fixed text, 2 append a digit, 3 move the caret
  std::uint8_t onKeyPress = 0;  // 0 nothing, 1 replace the key by `key`, 2 discard it
  std::int16_t key = 0;
  bool cancelKeyDown = false;

  bool meddles() const { return onChange != 0 || onKeyPress != 0 || cancelKeyDown; }
  void Change() override {
    ++changes;
    switch (onChange) {
      case 1: k->put_Text("12345"); break;
      case 2: k->put_Text(k->get_Text() + "1"); break;  // runs until the host's nesting limit
      case 3: k->put_SelStart(0); break;
      default: break;
    }
  }
  void KeyPress(std::int16_t& ascii) override {
    if (onKeyPress == 1) ascii = key;
    if (onKeyPress == 2) ascii = 0;
  }
  void KeyDown(std::int16_t& code, std::int16_t& /*shift*/) override {
    if (cancelKeyDown) code = 0;
  }
};

struct World {
  headless::Form form;
  headless::ControlSite site{form};
  headless::TextBox elsewhere{form};
  Kestrin k{site};
  Application app;
  // Per element: its text so far came from typing alone, into a numeric box with grouping
  // while it was the active element (the numeric rewrite included).
  bool typedOnly[2] = {false, false};
  // Some host member has been told to refuse calls.
  bool refusing = false;

  World() {
    app.k = &k;
    k.Initialize();
    k.connect(&app);
  }
  ~World() {
    try {
      form.focus(nullptr);
    } catch (const values::AutomationError&) {
    }
  }

  bool numericGrouping() const {
    return k.get_KestrinType() == NUMERIC_TYPE && k.get_NumSeparatorUse() != values::False;
  }
  headless::TextBox* focusedElement() {
    for (int i = 0; i < 2; ++i) {
      if (form.focused() == &site.box(i)) return &site.box(i);
    }
    return nullptr;
  }
  void forgetTyping() { typedOnly[0] = typedOnly[1] = false; }
  void forgetTyping(const headless::TextBox* element) {
    for (int i = 0; i < 2; ++i) {
      if (element == &site.box(i)) typedOnly[i] = false;
    }
  }
};

// A newly placed control, with the beep on so that the exit check's beeps are checked too.
void placeNew(World& w) {
  w.k.InitProperties();
  w.k.put_InvalidBeep(values::True);
}

void setClock(World& w, Reader& in) {
  const std::uint8_t mode = in.byte();
  if (mode % 2 == 0) {
    // One read per statement, so the bytes are taken in a fixed order.
    const int low = in.byte(), high = in.byte();
    const int year = 100 + (low | (high << 8)) % 9900;
    const int month = 1 + in.byte() % 12;
    const int day = 1 + in.byte() % 28;
    const int hour = in.byte() % 24;
    const int minute = in.byte() % 60;
    const int second = in.byte() % 60;
    w.form.services().setNow(year, month, day, hour, minute, second);
  } else {
    double serial;
    const std::int32_t a = in.int32(), b = in.int32();
    std::memcpy(&serial, &a, sizeof a);
    std::memcpy(reinterpret_cast<char*>(&serial) + sizeof a, &b, sizeof b);
    if (serial != serial) serial = 0;  // the host's clock is never NaN
    w.form.services().setNow(values::Date{serial});
  }
}

// Reads every property, as a property browser would after each step.
void readEverything(const Kestrin& k) {
  for (const members::Member& m : members::kMembers)
    if (m.has(members::Get)) (void)members::get(k, m);
}

// Puts a value of any kind into any published member (or calls a method), through the table.
void putMember(World& w, Reader& in) {
  const members::Member& m = members::kMembers[in.byte() % members::kMembers.size()];
  if (m.has(members::Method)) {
    members::call(w.k, m);
    return;
  }
  const values::Variant v = in.variant();
  if (m.name == "KestrinType") {
    members::put(w.k, m, v);
    // A numeric, date or time type empties both elements.
    for (int i = 0; i < 2; ++i) w.typedOnly[i] = w.site.box(i).text().empty();
    return;
  }
  // Members that change the text, the selection or which element is active end the run of
  // typing whose length the key filter bounds.
  static constexpr std::string_view kTextMembers[] = {"Text", "SelText", "SelStart", "SelLength", "Appearance"};
  for (std::string_view name : kTextMembers)
    if (m.name == name) w.forgetTyping();
  members::put(w.k, m, v);
}

void step(World& w, Reader& in) {
  Kestrin& k = w.k;
  static constexpr headless::Key kKeys[] = {headless::Key::Backspace, headless::Key::Delete, headless::Key::Left,
                                            headless::Key::Right,     headless::Key::Home,   headless::Key::End,
                                            headless::Key::Tab,       headless::Key::Enter};
  const std::uint8_t op = in.byte();
  switch (op % 21) {
    case 0:
    case 1:
    case 2:
    case 3: {  // typing is the most common thing a user does
      const char c = static_cast<char>(in.byte());
      headless::TextBox* target = w.focusedElement();
      if (target != nullptr && (!w.numericGrouping() || target != &w.site.box(k.boxIndex()))) w.forgetTyping(target);
      w.form.type(std::string(1, c));
      break;
    }
    case 4: {
      const headless::Key key = kKeys[in.byte() % 8];
      // Deleting can join the digits on both sides of a character the limit did not count.
      if (key == headless::Key::Backspace || key == headless::Key::Delete) w.forgetTyping(w.focusedElement());
      w.form.press(key, static_cast<std::int16_t>(in.byte() % 8));
      break;
    }
    case 5: {
      w.forgetTyping(w.focusedElement());
      const std::string s = in.text();
      if (headless::TextBox* target = w.focusedElement()) target->paste(s);
      break;
    }
    case 6: {
      const std::uint8_t which = in.byte() % 4;
      if (which < 2) {
        w.form.focus(&w.site.box(which));
      } else if (which == 2) {
        w.form.focus(&w.elsewhere);
      } else {
        w.form.focus(nullptr);
      }
      break;
    }
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14: putMember(w, in); break;
    case 15: {
      const float width = in.length(), height = in.length();
      w.site.headlessSurface().resize(width, height);
      break;
    }
    case 16: w.site.headlessSurface().paint(); break;
    case 17: setClock(w, in); break;
    case 18: {  // the host starts refusing one member of one widget or of the surface
      static const char* const kMembers[] = {"setText",  "setSelStart", "setBackColor", "setFont",   "setWidth",
                                             "setHeight", "move",        "setLeft",      "setVisible", "textWidth",
                                             "propertyChanged", "setCaption", "setMaxLength", "setEnabled"};
      // A refused rewrite leaves typed digits ungrouped; grouping them later may pass the limit.
      w.forgetTyping();
      w.refusing = true;
      const std::uint8_t which = in.byte();
      const char* member = kMembers[in.byte() % (sizeof kMembers / sizeof kMembers[0])];
      switch (which % 4) {
        case 0: w.site.box(0).setFailure(member); break;
        case 1: w.site.box(1).setFailure(member); break;
        case 2: w.site.label().setFailure(member); break;
        default: w.site.headlessSurface().setFailure(member); break;
      }
      break;
    }
    case 19: {
      const std::uint8_t b = in.byte();
      w.app.onChange = b % 4;
      w.app.onKeyPress = (b >> 2) % 3;
      w.app.cancelKeyDown = (b & 0x40) != 0;
      w.app.key = static_cast<std::int16_t>(in.int32() % 300);
      break;
    }
    default:
      w.refusing = false;
      w.site.box(0).clearFailures();
      w.site.box(1).clearFailures();
      w.site.label().clearFailures();
      w.site.headlessSurface().clearFailures();
      break;
  }
}

void checkInvariants(World& w) {
  const Kestrin& k = w.k;
  check(k.inLayout() == values::False);
  check(k.formatting() == values::False);
  for (int i = 0; i < 2; ++i) {
    const headless::TextBox& box = w.site.box(i);
    const auto length = static_cast<std::int64_t>(box.text().size());
    check(box.selStart() >= 0 && box.selLength() >= 0);
    check(static_cast<std::int64_t>(box.selStart()) + box.selLength() <= length);
  }
  const std::int32_t active = k.boxIndex();
  check(active == 0 || active == 1);
  if (w.numericGrouping() && w.typedOnly[active]) {
    check(keyfilter::CountIntegerChars(w.site.box(active).text()) <= keyfilter::kIntegerCharLimit + 1);
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// True when `text` has the shape of `pattern` ("yyyy-mm-dd", "hh:mm", ...): a digit for every
// letter and the same separators.
bool fitsPattern(const std::string& text, const std::string& pattern) {
  if (text.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool placeholder = pattern[i] >= 'a' && pattern[i] <= 'z';
    if (placeholder ? !isDigit(text[i]) : text[i] != pattern[i]) return false;
  }
  return true;
}

// The exit check of element `index` has just run (focus left it) and nothing was refused.
void checkExit(World& w, int index, int beepsBefore) {
  const Kestrin& k = w.k;
  const std::string text = w.site.box(index).text();
  const bool valid = k.get_ValidState() != values::False;
  switch (k.get_KestrinType()) {
    case NORMAL_TYPE: check(valid); break;
    case NUMERIC_TYPE: check(valid == values::isNumeric(text)); break;
    case DATE_TYPE:
      if (valid && k.get_FormatDate() != NONE && !k.dateFormatText().empty()) {
        check(fitsPattern(text, k.dateFormatText()) && values::isDate(text));
      }
      if (k.get_FormatDate() == NONE) check(valid == values::isDate(text));
      break;
    case TIME_TYPE:
      if (valid && k.get_FormatTime() != ANY_TYPE && !k.timeFormatText().empty()) {
        check(fitsPattern(text, k.timeFormatText()) && values::isDate(text));
      }
      break;
    default: check(!valid); break;
  }
  const int beeps = w.form.services().beeps() - beepsBefore;
  check(beeps == (!valid && k.get_InvalidBeep() == values::True ? 2 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  Reader in(data, size);
  World w;
  if (in.byte() % 2 == 1) placeNew(w);
  checkInvariants(w);
  while (!in.done()) {
    headless::TextBox* const focusedBefore = w.focusedElement();
    const int beepsBefore = w.form.services().beeps();
    bool refused = w.refusing;
    try {
      step(w, in);
    } catch (const values::AutomationError&) {
      // a host refusal, reported as the control's own run-time error
      refused = true;
    }
    // What the application does in its handlers is outside the control's promises.
    if (w.app.meddles()) w.forgetTyping();
    checkInvariants(w);
    if (focusedBefore != nullptr && w.form.focused() != focusedBefore && !refused && !w.refusing &&
        w.app.onChange == 0) {
      checkExit(w, focusedBefore->index(), beepsBefore);
    }
    try {
      readEverything(w.k);
    } catch (const values::AutomationError&) {
    }
  }
  return 0;
}
