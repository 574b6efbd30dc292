// One Kestrin on a headless form, set up as a newly placed control and driven through the real
// key path: focus the box, type, press keys, leave it, and read back what the user would see.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "control/kestrin.h"
#include "host/headless/headless.h"

namespace kestrinx::cli {

// A wall-clock reading for the form's clock.
struct ClockReading {
  int year = 2000, month = 1, day = 1;
  int hour = 0, minute = 0, second = 0;
};

// How the tool sets up its control.
struct SessionConfig {
  std::int32_t kestrinType = NORMAL_TYPE;
  std::int32_t formatDate = YYMMDD;
  std::int32_t formatTime = HM;
  bool leftAlign = false;
  bool separators = true;
  bool invalidBeep = true;
  std::optional<std::string> caption;  // none: the instance name, as a newly placed control
  // Properties set through the control's own puts, by name, after the choices above.
  std::vector<std::pair<std::string, std::string>> sets;
  ClockReading clock;
  values::DateReading dateReading;  // the form's two-digit-year window and day/month strictness
};

// The colour a box shows, named by its role in the control's settings.
enum class ColourRole : std::uint8_t { Normal, Edit, Valid, Invalid, Other };
const char* colourRoleName(ColourRole role);

class Session {
 public:
  // What the session's control stands on, kept alive as long as the session: the form, the
  // control's site and the control.
  class Host {
   public:
    virtual ~Host() = default;
    virtual headless::Form& form() = 0;
    virtual headless::ControlSite& site() = 0;
    virtual Kestrin& control() = 0;
  };

  // A control of its own, placed new and set up as `config` says.
  explicit Session(const SessionConfig& config);
  // A control that already stands on a form (one opened from a form file, say), as it is; the
  // form's clock reads `clock`.
  Session(std::unique_ptr<Host> host, const ClockReading& clock);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Focuses the control's active box (nothing when it already has focus).
  void enter();
  // Types each byte as a key into the box, focusing it first.
  void type(std::string_view bytes);
  // Presses a named key in the box, focusing it first.
  void press(headless::Key key);
  // Moves focus to a box outside the control, which runs the control's exit check.
  void leave();
  // What the user sees. (The host's getters are not const, so neither are these.)
  bool editing();
  const Kestrin& control() const { return control_; }
  std::string boxText();
  std::int32_t caret();
  OleColor backColor();
  ColourRole colourRole();
  int beeps();
  std::vector<std::string> messages();
  // Forgets the beeps and message boxes recorded so far.
  void clearRecords();

 private:
  headless::TextBox& activeBox();
  void setClock(const ClockReading& clock);

  std::unique_ptr<Host> host_;
  headless::Form& form_;
  headless::ControlSite& site_;
  Kestrin& control_;
  headless::TextBox elsewhere_{form_};  // takes focus when the user leaves the control
};

// Makes a fresh session for each entry checked line by line.
using SessionFactory = std::function<std::unique_ptr<Session>()>;

// What one checked entry came to.
struct Outcome {
  std::string input;           // the bytes typed
  std::size_t inputBytes = 0;  // length of the line as read (more than input.size() when cut)
  bool truncated = false;
  std::string boxText;         // the box's text exactly
  std::size_t pad = 0;         // leading alignment spaces of a numeric box, not part of the value
  bool valid = false;          // ValidState after the exit check
  OleColor backColor = 0;
  ColourRole colour = ColourRole::Normal;
  int beeps = 0;
  std::vector<std::string> messages;  // message boxes shown, in order
  std::optional<std::string> error;   // a run-time error that stopped the check

  // The entry as the control leaves it, without alignment spaces.
  std::string value() const { return boxText.substr(pad); }
};

// Longest line the tool types; the rest of a longer line is dropped and reported.
inline constexpr std::size_t MaxEntryBytes = 4096;

// Types `entry` into a fresh session's control, leaves the box and reports the outcome.
// `inputBytes` is the length of the line the entry was cut from (entry.size() when it was not cut).
Outcome checkEntry(const SessionFactory& fresh, std::string_view entry, std::size_t inputBytes);

// Leading spaces a box of type `kestrinType` put in front of its text to align it.
std::size_t alignmentPad(std::int32_t kestrinType, const std::string& boxText);

}  // namespace kestrinx::cli
