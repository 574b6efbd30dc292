// The current form file reader reads every form and refuses every damaged file as the previous
// reader did: the same controls, placements, keys, value types and values, or the same error
// (file, line, column, control, key, reason). Run on the example form and the fuzzer's seeds,
// each whole, cut after every byte, and with each byte replaced by bytes that break JSON or the
// format in different ways.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "forms/form_file.h"
#include "forms/form_file_reader_events.h"

namespace kestrinx::testing {
namespace {

std::string fileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::pair<std::string, std::string>> seedForms() {
  const std::filesystem::path root = KESTRINX_SOURCE_DIR;
  std::vector<std::pair<std::string, std::string>> forms = {
      {"contacts.kxform", fileText(root / "examples" / "contacts.kxform")}};
  for (const auto& entry : std::filesystem::directory_iterator(root / "fuzz" / "corpus" / "fuzz_form_file"))
    forms.emplace_back(entry.path().filename().string(), fileText(entry.path()));
  return forms;
}

TEST(FormReaders, AgreeOnEverySeedFormWholeCutAndDamaged) {
  const auto forms = seedForms();
  ASSERT_GE(forms.size(), 7u);
  std::size_t texts = 0, differences = 0;
  const auto check = [&](const std::string& what, std::string_view text) {
    ++texts;
    const std::string difference = forms::formReadersDiffer(text, "seed.kxform", &forms::parseForm);
    if (!difference.empty() && ++differences <= 40) ADD_FAILURE() << what << ": " << difference;
  };
  const char replacements[] = {'\xff', '\xc3', '"', '}', ']', ',', '0', '-', 'x', '\n', '\\', '{', '[', ' '};
  for (const auto& [name, text] : forms) {
    check(name, text);
    for (const char* mark : {"\xEF\xBB\xBF", "\xEF\xBB", "\xEF", "\xEF\x1A", "\xEF\xBB\x20"})
      check(name + " after a byte order mark", mark + text);
    for (std::size_t n = 0; n < text.size(); ++n) check(name + " cut at " + std::to_string(n), text.substr(0, n));
    // The example form is long: its bytes are replaced at every seventh place.
    const std::size_t step = text.size() > 4000 ? 7 : 1;
    for (std::size_t i = 0; i < text.size(); i += step)
      for (char r : replacements) {
        if (text[i] == r) continue;
        std::string damaged = text;
        damaged[i] = r;
        check(name + " byte " + std::to_string(i) + " replaced", damaged);
      }
  }
  EXPECT_EQ(differences, 0u) << "of " << texts << " texts";
  std::printf("%zu texts read by both readers, %zu differences\n", texts, differences);
}

}  // namespace
}  // namespace kestrinx::testing
