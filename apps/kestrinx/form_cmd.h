// kestrinx form: form files from the command line. `new` places controls on a new form and saves
// it, `show` lists every control's properties, `set` sets properties through the controls' own
// puts and saves, `try` types into one control of a form as `kestrinx try` does.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "session.h"

namespace kestrinx::cli {

// Runs `kestrinx form ARGS` (the arguments after "form"); `startClock` is the clock `try` uses
// unless --today or --now says otherwise. Returns the exit status: 0; 1 when a file cannot be
// read or saved, is not a valid form, a control did not load completely, or (try) as `kestrinx
// try` says; 2 for a bad argument or a request the form refuses (no such control or property, a
// read-only property, a value that does not convert or that the control refuses, a file that
// exists). Every error is one line on `err`, and a file is changed only when everything asked
// for succeeded.
int runForm(const std::vector<std::string>& args, const ClockReading& startClock, std::FILE* out, std::FILE* err);

std::string formHelp();

}  // namespace kestrinx::cli
