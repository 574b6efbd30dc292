// Fuzzes opening and saving form files on the headless host: any bytes that read as a form of
// Kestrin controls are opened as a designer opens them and saved (the first save may settle
// what the file held: a value the control normalises, a box the layout stretches), then that
// save is opened and saved again, which must give the same text byte for byte. Anything else (a
// crash, a sanitizer report, an exception other than a documented refusal) is a finding too.
// Seeds: fuzz/corpus/fuzz_form_round_trip/.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "control/kestrin_component.h"
#include "forms/form_file.h"
#include "host/headless/headless.h"
#include "values/error.h"

using namespace kestrinx;

namespace {

// The form opened on the headless host and saved, as text; nothing when the host refuses it:
// a class it does not have, a control that cannot save its properties, or a form a file
// cannot hold (a control grown wider than the format's limit once it fitted itself).
std::optional<std::string> openAndSave(const forms::FormFile& form) {
  try {
    const headless::FormDocument doc(form, {kestrinClass()}, headless::FormMode::Design);
    return forms::formText(doc.toFile());
  } catch (const headless::FormDocumentError&) {
  } catch (const values::AutomationError&) {
  } catch (const forms::FormFileError&) {
  }
  return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  forms::FormFile form;
  try {
    form = forms::parseForm(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.kxform");
  } catch (const forms::FormFileError&) {
    return 0;  // the reader's own fuzzer covers what does not read
  }
  if (form.controls.size() > 8) return 0;
  const std::optional<std::string> first = openAndSave(form);
  if (!first) return 0;
  const std::optional<std::string> second = openAndSave(forms::parseForm(*first, "first.kxform"));
  if (second != first) std::abort();
  return 0;
}
