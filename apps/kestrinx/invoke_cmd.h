// kestrinx invoke FORM CONTROL MEMBER [VALUE]: one member of one control, by name (any case) or
// by identifier ("0x6803001F"): read it when no VALUE is given, set it when one is (and print the
// value it then has), call it when it is a method.
//
// The command opens FORM through openControl and hands the control to invokeMember, which works
// on any loaded component through its automation interface; a form reader plugs in by opening
// the form in openControl and calling invokeMember with the control it finds.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/component.h"

namespace kestrinx::cli {

struct InvokeRequest {
  std::string form;     // "-": a newly placed control
  std::string control;  // the control's name on the form
  std::string member;   // a name, or an identifier in hexadecimal ("0x6803001F") or decimal
  std::optional<std::string> value;
};

// A control opened for invoke, with whatever hosts it.
class OpenedControl {
 public:
  virtual ~OpenedControl() = default;
  virtual host::Component& component() = 0;
};

// Opens FORM and finds CONTROL on it. FORM "-" is a new control named CONTROL placed on a fresh
// headless form as a designer places one (Initialize, InitProperties). Throws UsageError for a
// FORM it cannot open.
std::unique_ptr<OpenedControl> openControl(const std::string& form, const std::string& control);

// Invokes `member` on `control` and writes the outcome: a read prints the value as the tool
// shows values (colours in hexadecimal, enumerations with their member name, fonts as
// "Name,size[,bold][,italic]"); a set converts VALUE as `try --set` does (enumeration names,
// fonts) and prints the value read back afterwards; a call prints nothing. A run-time error is
// one line on `err` naming the member, its number and text, and exit status 1; otherwise 0.
int invokeMember(host::Component& control, const std::string& member, const std::optional<std::string>& value,
                 std::FILE* out, std::FILE* err);

// Runs `kestrinx invoke` with the arguments after "invoke": 0, 1 for a run-time error, 2 for
// bad arguments (one line on `err`).
int invokeCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

std::string invokeHelp();

}  // namespace kestrinx::cli
