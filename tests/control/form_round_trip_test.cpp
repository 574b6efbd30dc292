// The Kestrin control saved in a form file and opened again: on every host, every saved member
// comes back (compared through the member table); on the headless host's form document also
// its placement, and a control whose saved properties stop its ReadProperties is reported with
// its key while the form still opens.
#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "control/kestrin_component.h"
#include "control/members.h"
#include "forms/form_file.h"
#include "forms/form_property_bag.h"
#include "host/headless/headless.h"
#include "support/generated_forms.h"
#include "support/host_under_test.h"
#include "support/temp_dir.h"
#include "support/test_helpers.h"

namespace kestrinx::testing {
namespace {

using headless::FormDocument;
using headless::FormMode;
using values::Variant;

Kestrin& kestrinOf(headless::DocumentControl& c) { return static_cast<KestrinComponent&>(c.component()).control(); }

std::vector<host::ComponentClass> classes() { return {kestrinClass()}; }

struct RoundTripRow {
  const char* name;
  forms::Placement placement;  // 2560 x 360 is the site's own size: opening raises no Resize
  std::vector<std::pair<const char*, Variant>> sets;  // through the member table, in order
};

const std::vector<RoundTripRow>& roundTripRows() {
  static const std::vector<RoundTripRow> rows = {
      {"DateBoxAwayFromEveryDefault",
       {240, 360, 5000, 600},
       {{"KestrinType", Variant::longValue(DATE_TYPE)},
        {"FormatDate", Variant::longValue(MMDDYY)},
        {"Appearance", Variant::longValue(Flat)},
        {"NumAlignment", Variant::longValue(LEFT_ALIGN)},
        {"NumSeparatorUse", Variant::boolean(values::False)},
        {"Caption", Variant::string("Due date")},
        {"ToolTipText", Variant::string("when \xe2\x80\x94 day")},
        {"Alignment", Variant::longValue(RightMiddle)},
        {"Interval", Variant::longValue(150)},
        {"BackColor", Variant::longValue(0x00EEDDCC)},
        {"ColorValid", Variant::longValue(0x00CCFFCC)},
        {"ColorValidUse", Variant::boolean(values::False)},
        {"ColorInValid", Variant::longValue(0x000000AA)},
        {"ColorInValidUse", Variant::boolean(values::False)},
        {"ColorEdit", Variant::longValue(0x00AAFFFF)},
        {"ColorEditUse", Variant::boolean(values::True)},
        {"InvalidBeep", Variant::boolean(values::True)},
        {"Enabled", Variant::boolean(values::False)},
        {"ForeColor", Variant::longValue(0x00102030)},
        {"Locked", Variant::boolean(values::True)},
        {"MaxLength", Variant::longValue(12)},
        {"MousePointer", Variant::integer(3)},
        {"MouseIcon", Variant::picture(sampleIcon())},
        {"Text", Variant::string("12-25-1998")},
        {"SelStart", Variant::longValue(3)},
        {"SelLength", Variant::longValue(2)},
        {"Font", Variant::font(values::makeFont("Courier New", 10))},
        {"LabelFont", Variant::font(values::makeFont("Arial", 10, true))},
        {"LabelForeColor", Variant::longValue(0x00405060)},
        {"AutoRedraw", Variant::boolean(values::True)},
        {"LinkMode", Variant::integer(1)},
        {"LinkItem", Variant::string("R1C1")},
        {"LinkTopic", Variant::string("app|topic")},
        {"LinkTimeout", Variant::integer(99)},
        {"OLEDragMode", Variant::integer(1)},
        {"OLEDropMode", Variant::integer(2)}}},
      {"NumericBoxWithALockedWidth",
       {0, 0, 4000, 500},
       {{"KestrinType", Variant::longValue(NUMERIC_TYPE)},
        {"Alignment", Variant::longValue(CenterBottom)},
        {"BoxWidthLock", Variant::boolean(values::True)},
        {"BoxWidth", Variant::longValue(1234)},
        {"Text", Variant::string("1,234")}}},
      {"TimeBoxWithAHiddenCaption",
       {0, 0, 2560, 360},
       {{"KestrinType", Variant::longValue(TIME_TYPE)},
        {"FormatTime", Variant::longValue(HMS)},
        {"CaptionView", Variant::boolean(values::False)},
        {"Text", Variant::string("\xff not UTF-8")}}},
      {"NewlyPlaced", {120, 120, 2560, 360}, {}},
  };
  return rows;
}

// Every saved member of `copy` reads as in `k` through the table (fonts and pictures by content,
// since a file gives new objects); the selection and a locked box's gap included.
void expectSavedMembersAlike(const Kestrin& k, const Kestrin& copy) {
  for (const members::Member& m : members::kMembers) {
    if (!m.saved) continue;
    SCOPED_TRACE(std::string(m.name));
    EXPECT_TRUE(values::sameValue(members::get(k, m), members::get(copy, m)))
        << values::varTypeName(members::get(k, m).type()) << " " << members::get(k, m).toString() << " vs "
        << members::get(copy, m).toString();
  }
}

// A control set away from its defaults, saved to a file and opened in both modes: every saved
// member reads the same through the table (fonts and pictures by content, since the file gives
// new objects), and the box has exactly its saved width.
TEST(FormRoundTrip, EverySavedMemberComesBackFromAFile) {
  for (const RoundTripRow& row : roundTripRows()) {
    SCOPED_TRACE(row.name);
    TempDir dir;
    const std::string path = dir.file("form.kxform");
    FormDocument original("Form1", classes(), FormMode::Design);
    headless::DocumentControl& placed = original.place("txtDue", KestrinProgId, row.placement);
    Kestrin& k = kestrinOf(placed);
    for (const auto& [name, value] : row.sets) members::put(k, name, value);
    original.save(path);

    for (FormMode mode : {FormMode::Design, FormMode::Run}) {
      FormDocument opened(forms::readFormFile(path), classes(), mode);
      ASSERT_EQ(opened.size(), 1u);
      EXPECT_TRUE(opened.problems().empty());
      headless::DocumentControl& loaded = opened.control(0);
      EXPECT_EQ(loaded.placement(), placed.placement());
      expectSavedMembersAlike(k, kestrinOf(loaded));
    }
  }
}

// On every host: a newly placed control set through the table, its properties written into a
// form file, read back into a new control of the same size on the same host.
class FormFileOnEveryHost : public ::testing::TestWithParam<HostKind> {};

TEST_P(FormFileOnEveryHost, EverySavedMemberComesBack) {
  for (const RoundTripRow& row : roundTripRows()) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<HostUnderTest> host = GetParam().make();
    Kestrin& k = host->control();
    k.InitProperties();
    for (const auto& [name, value] : row.sets) members::put(k, name, value);
    forms::FormFile file;
    file.controls.push_back({"txtDue", KestrinProgId, row.placement, {}});
    forms::FormPropertyBag bag(file.controls[0].properties);
    k.WriteProperties(bag);
    TempDir dir;
    forms::writeFormFile(dir.file("form.kxform"), file);

    std::vector<forms::FormEntry> saved = forms::readFormFile(dir.file("form.kxform")).controls.at(0).properties;
    expectSavedMembersAlike(k, host->open(saved, host->surface().width(), host->surface().height()));
  }
}

INSTANTIATE_TEST_SUITE_P(Hosts, FormFileOnEveryHost, ::testing::ValuesIn(hostsUnderTest()), HostName());

// Keys a newer build wrote survive opening and saving in this one, in their places, and a form
// saved again unchanged is saved byte for byte the same.
TEST(FormRoundTrip, KeysTheControlDoesNotKnowSurviveASave) {
  TempDir dir;
  const std::string path = dir.file("form.kxform");
  {
    FormDocument doc("Form1", classes(), FormMode::Design);
    doc.place("txtName", KestrinProgId, {0, 0, 3000, 400});
    doc.save(path);
  }
  forms::FormFile file = forms::readFormFile(path);
  std::vector<forms::FormEntry>& entries = file.controls.at(0).properties;
  ASSERT_GE(entries.size(), 4u);
  entries.insert(entries.begin() + 1, {"Spellcheck", Variant::boolean(values::True)});
  entries.insert(entries.begin() + 3, {"Hint", Variant::font(values::makeFont("Arial", 7))});
  forms::writeFormFile(path, file);
  const std::string written = readBytes(path);

  {
    FormDocument doc(forms::readFormFile(path), classes(), FormMode::Design);
    doc.save(path);
    EXPECT_EQ(readBytes(path), written);
    members::put(kestrinOf(doc.control(0)), "ToolTipText", Variant::string("Your name"));
    doc.save(path);
    doc.save(path);
  }
  const std::vector<forms::FormEntry> saved = forms::readFormFile(path).controls.at(0).properties;
  ASSERT_GE(saved.size(), 4u);
  EXPECT_EQ(saved[1].key, "Spellcheck");
  EXPECT_EQ(saved[1].value, Variant::boolean(values::True));
  EXPECT_EQ(saved[3].key, "Hint");
  EXPECT_TRUE(values::sameValue(saved[3].value, Variant::font(values::makeFont("Arial", 7))));
  const auto tip =
      std::find_if(saved.begin(), saved.end(), [](const forms::FormEntry& e) { return e.key == "ToolTipText"; });
  ASSERT_NE(tip, saved.end());
  EXPECT_EQ(tip->value, Variant::string("Your name"));
}

// Generated forms, each made on the headless host's form document and saved, then opened and
// saved twice: from the first save on, a form opened and saved unchanged is the same file.
TEST(FormRoundTrip, AFormSavedAgainUnchangedIsTheSameFile) {
  const FormHost headless{
      [](const GeneratedForm& form) {
        FormDocument doc("Form1", classes(), FormMode::Design);
        for (const GeneratedControl& c : form.controls) {
          headless::DocumentControl& placed = doc.place(c.name, KestrinProgId, c.placement);
          for (const auto& [name, value] : c.steps) {
            if (name.empty()) {
              placed.setPlacement(c.moved);
              continue;
            }
            try {
              members::put(kestrinOf(placed), name, value);
            } catch (const values::AutomationError&) {
              // refused, as a designer's edit can be
            }
          }
        }
        return forms::formText(doc.toFile());
      },
      [](const std::string& text) {
        FormDocument doc(forms::parseForm(text, "generated.kxform"), classes(), FormMode::Design);
        return forms::formText(doc.toFile());
      }};
  expectSavedAgainUnchanged(headless, 20260000, 3000);
}

// A locked box's Interval, opened and saved four times as `kestrinx form set` does (each time
// with an unrelated change): it stays as saved, at every caption position. (Reading used to
// double it beside a caption on the right, halve its distance to the gap that fills the
// control when centred, and set it to that gap on the left.)
TEST(FormRoundTrip, ALockedBoxKeepsItsIntervalThroughEverySave) {
  struct Row {
    const char* name;
    std::int32_t alignment;
    std::optional<std::int32_t> interval;  // none: as placed (80)
  };
  const Row rows[] = {
      {"RightMiddleAsPlaced", RightMiddle, std::nullopt}, {"RightTopWide", RightTop, 300},
      {"RightBottomCaptionOutside", RightBottom, 1280},   {"CenterMiddleAsPlaced", CenterMiddle, std::nullopt},
      {"CenterMiddleWide", CenterMiddle, 300},             {"CenterTopWider", CenterTop, 1280},
      {"LeftTopWide", LeftTop, 300},                       {"LeftBottomNarrow", LeftBottom, 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FormDocument made("Form1", classes(), FormMode::Design);
    Kestrin& k = kestrinOf(made.place("A", KestrinProgId, {120, 120, 4800, 360}));
    k.put_Alignment(row.alignment);
    k.put_BoxWidthLock(values::True);
    if (row.interval) k.put_Interval(*row.interval);
    forms::FormFile file = made.toFile();

    // The Interval and BoxWidth each save writes.
    std::vector<std::int32_t> intervals, boxWidths;
    const auto saved = [&](const char* key, std::int32_t absent) {
      for (const forms::FormEntry& e : file.controls.at(0).properties)
        if (e.key == key) return e.value.toLong();
      return absent;  // the default, not stored
    };
    for (int save = 0; save < 5; ++save) {
      intervals.push_back(saved("Interval", 80));
      boxWidths.push_back(saved("BoxWidth", 1600));
      FormDocument opened(file, classes(), FormMode::Design);
      kestrinOf(opened.control(0)).put_ToolTipText("save " + std::to_string(save));
      file = opened.toFile();
    }
    const std::int32_t interval = row.interval.value_or(80);
    EXPECT_EQ(intervals, std::vector<std::int32_t>(5, interval));
    EXPECT_EQ(boxWidths, std::vector<std::int32_t>(5, boxWidths.front()));
  }
}

// "Interval" holding text stops ReadProperties there: the form opens, the control reports its
// name and key, what came before is applied and what comes after is not; the next control
// loads normally.
TEST(FormRoundTrip, AControlThatStopsLoadingIsReportedAndTheFormOpens) {
  forms::FormFile file;
  file.controls.push_back({"txtAge", KestrinProgId, {0, 0, 3000, 400},
                           {{"Caption", Variant::string("Age")},
                            {"Interval", Variant::string("abc")},
                            {"BackColor", Variant::longValue(0x00112233)}}});
  file.controls.push_back({"txtName", KestrinProgId, {0, 480, 3000, 400}, {{"Caption", Variant::string("Name")}}});
  FormDocument doc(file, classes(), FormMode::Run);

  ASSERT_EQ(doc.size(), 2u);
  const auto problems = doc.problems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0]->control, "txtAge");
  EXPECT_EQ(problems[0]->key, "Interval");
  EXPECT_EQ(problems[0]->number, values::err::TypeMismatch);
  EXPECT_EQ(problems[0]->message(),
            "control 'txtAge' stopped loading at property 'Interval': run-time error 13: Type mismatch");
  Kestrin& age = kestrinOf(doc.control(0));
  EXPECT_EQ(age.get_Caption(), "Age");
  EXPECT_NE(age.get_BackColor(), 0x00112233u);
  EXPECT_EQ(kestrinOf(doc.control(1)).get_Caption(), "Name");

  // Saving keeps what the stopped control never read.
  const forms::FormFile saved = doc.toFile();
  EXPECT_TRUE(forms::sameForm(saved, [&] {
    forms::FormFile expected = file;
    expected.controls[1] = saved.controls[1];
    return expected;
  }()));
}

}  // namespace
}  // namespace kestrinx::testing
