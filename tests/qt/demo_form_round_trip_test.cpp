// The demo's form on the Qt host, opened and saved again: generated forms made on it (placed,
// properties set through the controls' own puts, moved and resized) or on the headless host,
// then opened and saved twice, save the same file from the first save on; and a form saved on
// the other host keeps its boxes' widths and its controls' places.
#include <gtest/gtest.h>

#include "apps/kestrinx-demo/form_view.h"
#include "control/kestrin_component.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/headless/form_document.h"
#include "qt/form_widgets.h"
#include "support/generated_forms.h"
#include "values/error.h"

namespace kestrinx::testing {
namespace {

using demo::FormView;

// Sets a generated control's properties through `set`, moving it with `move`.
template <typename Set, typename Move>
void follow(const GeneratedControl& c, Set set, Move move) {
  for (const auto& [name, value] : c.steps) {
    if (name.empty()) {
      move(c.moved);
      continue;
    }
    try {
      set(name, value);
    } catch (const values::AutomationError&) {
      // refused, as a designer's edit can be
    }
  }
}

std::string openAndSaveOnQt(const std::string& text) {
  FormView view(FormView::Mode::Design);
  view.load(forms::parseForm(text, "generated.kxform"));
  return forms::formText(view.save());
}

std::string makeOnQt(const GeneratedForm& form) {
  FormView view(FormView::Mode::Design);
  for (const GeneratedControl& c : form.controls) {
    qt::KestrinWidget* w = view.place(0, 0);
    qt::placeAt(*w, c.placement);
    follow(
        c, [&](const std::string& name, const values::Variant& v) { w->dispatch().setProperty(name, v); },
        [&](const forms::Placement& p) { qt::placeAt(*w, p); });
  }
  return forms::formText(view.save());
}

std::string makeOnHeadless(const GeneratedForm& form) {
  headless::FormDocument doc("Form1", {kestrinClass()}, headless::FormMode::Design);
  for (const GeneratedControl& c : form.controls) {
    headless::DocumentControl& placed = doc.place(c.name, KestrinProgId, c.placement);
    values::Dispatch& byName = placed.component().dispatch();
    follow(
        c, [&](const std::string& name, const values::Variant& v) { byName.setProperty(name, v); },
        [&](const forms::Placement& p) { placed.setPlacement(p); });
  }
  return forms::formText(doc.toFile());
}

TEST(DemoFormRoundTrip, AFormSavedAgainUnchangedIsTheSameFile) {
  expectSavedAgainUnchanged({makeOnQt, openAndSaveOnQt}, 20260000, 400);
}

TEST(DemoFormRoundTrip, AFormFromTheHeadlessHostSavedAgainIsTheSameFile) {
  expectSavedAgainUnchanged({makeOnHeadless, openAndSaveOnQt}, 20270000, 200);
}

// The sample form was saved by the headless host, which measures captions narrower than the
// Qt host's fonts: the Qt host shows each unlocked box narrower than saved (it fills the
// control beside a wider caption), and saves every box width and place as the file has them.
TEST(DemoFormRoundTrip, TheOtherHostsBoxWidthsAndPlacesAreSavedAsTheyWere) {
  const forms::FormFile sample = forms::readFormFile(KESTRINX_SAMPLE_FORM);
  FormView view(FormView::Mode::Design);
  view.load(sample);
  const forms::FormFile saved = view.save();
  ASSERT_EQ(saved.controls.size(), sample.controls.size());
  const auto boxWidth = [](const forms::FormControl& c) {
    for (const forms::FormEntry& e : c.properties)
      if (e.key == "BoxWidth") return e.value.toLong();
    return 1600;
  };
  for (std::size_t i = 0; i < saved.controls.size(); ++i) {
    SCOPED_TRACE(sample.controls[i].name);
    EXPECT_EQ(saved.controls[i].placement, sample.controls[i].placement);
    EXPECT_EQ(boxWidth(saved.controls[i]), boxWidth(sample.controls[i]));
    EXPECT_LT(view.controls()[static_cast<int>(i)]->property("BoxWidth").toInt(), boxWidth(sample.controls[i]));
  }

  // Once the box's width changes (a wider gap beside the caption), the width shown is saved.
  qt::KestrinWidget& first = *view.controls()[0];
  first.setProperty("Interval", 200);
  EXPECT_EQ(boxWidth(view.save().controls[0]), first.property("BoxWidth").toInt());
}

}  // namespace
}  // namespace kestrinx::testing
