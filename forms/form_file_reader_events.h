// The previous form file reader (nlohmann-json's event parser), kept only for the test that
// shows the current reader reads every form and refuses every damaged file alike. Internal.
#pragma once

#include <string>
#include <string_view>

#include "forms/form_file.h"

namespace kestrinx::forms {

FormFile parseFormWithEvents(std::string_view text, const std::string& fileName);

// How the two readers' outcomes for one text differ: "" when they read the same form (name,
// version, controls, placements, keys, value types and values) or refuse it with the same
// FormFileError (file, line, column, control, key, reason).
std::string formReadersDiffer(std::string_view text, const std::string& fileName,
                              FormFile (*current)(std::string_view, const std::string&));

// Reads with `current` and, when the outcomes differ, appends the difference and the text (as
// hex) to the file `log`; returns or throws what `current` does.
FormFile compareFormReaders(std::string_view text, const std::string& fileName, const char* log,
                            FormFile (*current)(std::string_view, const std::string&));

}  // namespace kestrinx::forms
