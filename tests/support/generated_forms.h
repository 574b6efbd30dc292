// Forms of Kestrin controls drawn at random, as a designer makes them: each control placed new,
// then its properties set one by one through their puts (in a random order, values from the
// members' whole ranges with the odd values a file or a script can hold), and moved or resized
// at some point among them. A form is the same for the same seed, so a failure names the seed
// that makes it again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/form_file.h"
#include "values/objects.h"
#include "values/variant.h"

namespace kestrinx::testing {

struct GeneratedControl {
  std::string name;
  // The designer's steps in order: a property set by name, or (an empty name) the control
  // moved and resized to `placement`.
  std::vector<std::pair<std::string, values::Variant>> steps;
  forms::Placement placement;  // where the control is first placed
  forms::Placement moved;      // where the resize step puts it
};

struct GeneratedForm {
  std::uint64_t seed = 0;
  std::vector<GeneratedControl> controls;
};

// One to three controls.
GeneratedForm generateForm(std::uint64_t seed);

// A small icon, as a MouseIcon a designer picks.
values::PictureRef sampleIcon();

// The form's recipe, for a failure message: the seed and each control's steps.
std::string describe(const GeneratedForm& form);

// The first line where two texts differ, for a failure message.
std::string firstDifference(const std::string& a, const std::string& b);

// A host as the round trip sees it: makes a generated form and saves it, and opens a form
// file's text and saves it again, each giving the saved text.
struct FormHost {
  std::function<std::string(const GeneratedForm&)> makeAndSave;
  std::function<std::string(const std::string&)> openAndSave;
};

// For `count` forms from seeds `firstSeed` on: made and saved (a form that a file cannot hold,
// refused with forms::FormFileError, is passed over), then opened and saved twice. The first
// opening may settle what the host works out for itself; the second save must equal the first
// byte for byte. Each failure names the seed, the recipe and the first difference; it stops
// after three. KESTRINX_FORM_SEED and KESTRINX_FORM_COUNT in the environment choose other
// seeds (one failing form again, or many more).
void expectSavedAgainUnchanged(const FormHost& host, std::uint64_t firstSeed, int count);

}  // namespace kestrinx::testing
