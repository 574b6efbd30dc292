// The demo's form files on the Qt host. Generated forms made on it (placed, properties set
// through the controls' own puts, moved and resized) or on the headless host, then opened and
// saved twice, save the same file from the first save on; a form saved on the other host keeps
// its boxes' widths and its controls' places; and saving over a file another program changed
// since it was opened asks whether to reload, overwrite or leave it.
#include <gtest/gtest.h>

#include "apps/kestrinx-demo/designer.h"
#include "apps/kestrinx-demo/form_view.h"
#include "control/kestrin_component.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "host/headless/form_document.h"
#include "host/qt/strings.h"
#include "qt/form_widgets.h"
#include "support/generated_forms.h"
#include "support/temp_dir.h"
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

TEST(DemoFormFile, AFormSavedAgainUnchangedIsTheSameFile) {
  expectSavedAgainUnchanged({makeOnQt, openAndSaveOnQt}, 20260000, 400);
}

TEST(DemoFormFile, AFormFromTheHeadlessHostSavedAgainIsTheSameFile) {
  expectSavedAgainUnchanged({makeOnHeadless, openAndSaveOnQt}, 20270000, 200);
}

// The sample form was saved by the headless host, which measures captions narrower than the
// Qt host's fonts: the Qt host shows each unlocked box narrower than saved (it fills the
// control beside a wider caption), and saves every box width and place as the file has them.
TEST(DemoFormFile, TheOtherHostsBoxWidthsAndPlacesAreSavedAsTheyWere) {
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

// Another program saves the open form while the designer edits it: Save asks, once, and does
// what the answer says; with no change on disk, it asks nothing.
TEST(DemoFormFile, SavingOverAFileChangedOnDiskAsksWhatToDo) {
  using Answer = demo::Designer::ChangedOnDisk;
  const forms::FormFile sample = forms::readFormFile(KESTRINX_SAMPLE_FORM);
  forms::FormFile theirs = sample;
  theirs.controls[0].properties.push_back({"ToolTipText", values::Variant::string("theirs")});
  struct Row {
    const char* name;
    Answer answer;
    bool saved;
    const char* caption;  // txtName's caption in the designer afterwards
    const char* onDisk;   // txtName's caption in the file afterwards ("" for the other program's file)
  };
  const Row rows[] = {
      {"Cancel", Answer::Cancel, false, "Full name", ""},
      {"Overwrite", Answer::Overwrite, true, "Full name", "Full name"},
      {"Reload", Answer::Reload, false, "Name", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const QString path = qthost::toQString(dir.file("contacts.kxform"));
    forms::writeFormFile(dir.file("contacts.kxform"), sample);
    demo::Designer designer;
    ASSERT_TRUE(designer.openFile(path));
    QStringList asked;
    designer.setChangedOnDiskQuestion([&](const QString& p) {
      asked << p;
      return row.answer;
    });
    designer.select({designer.form().find("txtName")});
    ASSERT_TRUE(designer.setProperty("Caption", "Full name"));
    ASSERT_TRUE(designer.saveFile(path));  // nothing changed on disk: no question
    EXPECT_TRUE(asked.isEmpty());

    forms::writeFormFile(dir.file("contacts.kxform"), theirs);  // the other program
    const std::string theirBytes = readBytes(dir.file("contacts.kxform"));
    EXPECT_EQ(designer.saveFile(path), row.saved);
    EXPECT_EQ(asked, QStringList{path});
    EXPECT_EQ(designer.form().find("txtName")->property("Caption").toString(), row.caption);
    const std::string now = readBytes(dir.file("contacts.kxform"));
    if (*row.onDisk == '\0') {
      EXPECT_EQ(now, theirBytes);
    } else {
      EXPECT_NE(now.find(std::string("\"Caption\",\"String\",\"") + row.onDisk + "\""), std::string::npos) << now;
    }
    if (row.answer == Answer::Cancel) {
      EXPECT_TRUE(designer.message().contains("changed on disk")) << designer.message().toStdString();
    }
    // After an overwrite or a reload, the next save is checked against that file and asks nothing.
    if (row.answer != Answer::Cancel) {
      asked.clear();
      EXPECT_TRUE(designer.saveFile(path));
      EXPECT_TRUE(asked.isEmpty());
    }
  }
}

}  // namespace
}  // namespace kestrinx::testing
