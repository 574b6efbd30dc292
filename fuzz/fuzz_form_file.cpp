// Fuzzes the form file reader on arbitrary bytes: each input is either a form or one
// FormFileError; anything else (a crash, a sanitizer report, another exception, a hang, memory
// without bound) is a finding. A form that reads must write out and read back as the same form,
// and writing that again must give the same text. Small forms of Kestrin controls are also
// opened on the headless host (design or run mode by the input's length) and saved in memory:
// whatever a control makes of the values, what it saves must write and read back.
// Seeds: fuzz/corpus/fuzz_form_file/.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "control/kestrin_component.h"
#include "forms/form_file.h"
#include "host/headless/headless.h"
#include "values/error.h"

using namespace kestrinx;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

// Writes `form` and reads it back: the same form, and the same text when written again.
void roundTrip(const forms::FormFile& form) {
  std::string text;
  try {
    text = forms::formText(form);
  } catch (const forms::FormFileError& e) {
    // Only a form whose text outgrows the size limit may be refused after reading.
    check(e.reason().find("bytes") != std::string::npos);
    return;
  }
  const forms::FormFile again = forms::parseForm(text, "written.kxform");
  check(forms::sameForm(form, again));
  check(forms::formText(again) == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  forms::FormFile form;
  try {
    form = forms::parseForm(bytes, "fuzz.kxform");
  } catch (const forms::FormFileError& e) {
    check(e.file() == "fuzz.kxform");
    check(std::string_view(e.what()).find('\n') == std::string_view::npos);
    return 0;
  }
  roundTrip(form);

  if (form.controls.size() > 8) return 0;
  try {
    headless::FormDocument doc(form, {kestrinClass()}, size % 2 ? headless::FormMode::Run : headless::FormMode::Design);
    roundTrip(doc.toFile());
  } catch (const headless::FormDocumentError&) {
    // A class this build does not have.
  } catch (const values::AutomationError&) {
    // A control that could not save its properties.
  }
  return 0;
}
