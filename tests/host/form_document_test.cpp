// The headless form document with a probe component that logs what the host does to it: the
// order of opening, the mode, problems collected with their keys, unknown classes, placing and
// saving, and what saving keeps.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/headless/headless.h"
#include "support/temp_dir.h"
#include "values/error.h"

namespace kestrinx::testing {
namespace {

using headless::FormDocument;
using headless::FormMode;
using forms::FormFile;
using values::Variant;

// Reads and writes the keys "A", "B" and "C" as Longs (default Long 0); logs the life cycle and
// its surface's events with the size and mode it sees.
class Probe final : public host::Component, public host::SurfaceEvents, public values::Dispatch {
 public:
  Probe(host::ControlSite& site, std::vector<std::string>& log) : site_(site), log_(log) {
    site.surface().setEventSink(this);
  }
  void Initialize() override { note("Initialize"); }
  void InitProperties() override {
    note("InitProperties");
    values_[0] = 1;
  }
  void ReadProperties(values::PropertyBag& bag) override {
    note("ReadProperties");
    for (int i = 0; i < 3; ++i) values_[i] = bag.readProperty(kKeys[i], Variant::longValue(0)).toLong();
  }
  void WriteProperties(values::PropertyBag& bag) const override {
    for (int i = 0; i < 3; ++i) bag.writeProperty(kKeys[i], Variant::longValue(values_[i]), Variant::longValue(0));
  }
  values::Dispatch& dispatch() override { return *this; }
  void connect(values::EventSink*) override {}
  void disconnect(values::EventSink*) override {}
  Variant getProperty(const std::string& name) override { return Variant::longValue(values_[index(name)]); }
  void setProperty(const std::string& name, const Variant& v) override { values_[index(name)] = v.toLong(); }

  void onResize() override { note("Resize"); }
  void onPaint() override { note("Paint"); }

 private:
  static constexpr const char* kKeys[] = {"A", "B", "C"};
  static int index(const std::string& name) { return name == "A" ? 0 : name == "B" ? 1 : 2; }
  void note(const std::string& what) {
    host::Surface& s = site_.surface();
    log_.push_back(s.extenderName() + " " + what + " " + std::to_string(static_cast<int>(s.width())) + "x" +
                   std::to_string(static_cast<int>(s.height())) + (s.ambientUserMode() ? " run" : " design"));
  }
  host::ControlSite& site_;
  std::vector<std::string>& log_;
  std::int32_t values_[3] = {0, 0, 0};
};

class FormDocumentTest : public ::testing::Test {
 protected:
  std::vector<host::ComponentClass> classes() {
    return {{"Test.Probe", [this](host::ControlSite& site) -> std::unique_ptr<host::Component> {
               return std::make_unique<Probe>(site, log);
             }}};
  }
  static FormFile twoControls() {
    FormFile f;
    f.name = "Orders";
    f.controls.push_back({"boxA", "Test.Probe", {10, 20, 3000, 400},
                          {{"A", Variant::longValue(5)}, {"Later", Variant::string("kept")}}});
    f.controls.push_back({"boxB", "test.probe", {10, 500, 2560, 360}, {{"B", Variant::longValue(6)}}});
    return f;
  }
  std::vector<std::string> log;
};

// Opening creates each control in order: Initialize, ReadProperties at the site's own size, then
// the saved size (one Resize, only where it differs) and a Paint; the mode is the same file's in
// both modes.
TEST_F(FormDocumentTest, OpeningReadsEachControlThenShowsItAtItsSavedPlace) {
  for (FormMode mode : {FormMode::Design, FormMode::Run}) {
    log.clear();
    FormDocument doc(twoControls(), classes(), mode);
    const std::string m = mode == FormMode::Run ? " run" : " design";
    EXPECT_EQ(log, (std::vector<std::string>{
                       "boxA Initialize 2560x360" + m, "boxA ReadProperties 2560x360" + m,
                       "boxA Resize 3000x400" + m, "boxA Paint 3000x400" + m, "boxB Initialize 2560x360" + m,
                       "boxB ReadProperties 2560x360" + m, "boxB Paint 2560x360" + m}));
    EXPECT_EQ(doc.name(), "Orders");
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc.control(0).placement(), (forms::Placement{10, 20, 3000, 400}));
    EXPECT_EQ(doc.find("BOXB"), &doc.control(1));
    EXPECT_EQ(doc.control(1).component().dispatch().getProperty("B"), Variant::longValue(6));
    EXPECT_TRUE(doc.problems().empty());
  }
}

// A value that does not convert stops that control's ReadProperties: the form opens with every
// control, the problem names control, key and error, and saving keeps that control's saved
// properties exactly as they were (what it never read is not lost).
TEST_F(FormDocumentTest, AControlThatStopsLoadingIsReportedAndSavedAsItWas) {
  FormFile file = twoControls();
  file.controls[0].properties = {{"A", Variant::longValue(5)},
                                 {"B", Variant::string("abc")},
                                 {"C", Variant::longValue(7)}};
  FormDocument doc(file, classes(), FormMode::Design);
  ASSERT_EQ(doc.size(), 2u);
  const auto problems = doc.problems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0]->control, "boxA");
  EXPECT_EQ(problems[0]->key, "B");
  EXPECT_EQ(problems[0]->number, values::err::TypeMismatch);
  EXPECT_EQ(doc.control(0).component().dispatch().getProperty("A"), Variant::longValue(5));
  EXPECT_EQ(doc.control(0).component().dispatch().getProperty("C"), Variant::longValue(0));
  EXPECT_EQ(doc.control(0).placement(), file.controls[0].placement);  // still shown where it was saved

  doc.control(0).component().dispatch().setProperty("C", Variant::longValue(9));
  doc.control(1).component().dispatch().setProperty("C", Variant::longValue(9));
  const FormFile saved = doc.toFile();
  EXPECT_TRUE(values::sameValue(saved.controls[0].properties[1].value, Variant::string("abc")));
  EXPECT_EQ(saved.controls[0].properties[2].value, Variant::longValue(7));
  EXPECT_EQ(saved.controls[1].properties.back().value, Variant::longValue(9));
}

TEST_F(FormDocumentTest, AnUnknownClassNamesTheControlAndTheClassAndCreatesNothing) {
  FormFile file = twoControls();
  file.controls[1].progId = "Other.Grid";
  try {
    FormDocument doc(file, classes(), FormMode::Design);
    ADD_FAILURE() << "opened";
  } catch (const headless::FormDocumentError& e) {
    EXPECT_STREQ(e.what(), "control 'boxB': class 'Other.Grid' is not known to this build (it knows Test.Probe)");
  }
  EXPECT_TRUE(log.empty());
}

// Saving: each control writes its own properties (values back at their default leave the file)
// and the keys it does not know go back to their places; placements are the host's.
TEST_F(FormDocumentTest, SavingKeepsKeysTheControlDoesNotWrite) {
  TempDir dir;
  const std::string path = dir.file("orders.kxform");
  {
    FormDocument doc(twoControls(), classes(), FormMode::Design);
    doc.control(0).component().dispatch().setProperty("A", Variant::longValue(0));
    doc.control(0).component().dispatch().setProperty("C", Variant::longValue(3));
    doc.control(1).setPlacement({0, 0, 100, 200});
    const std::vector<forms::FormEntry> kept = doc.control(0).keptEntries();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].key, "Later");
    doc.save(path);
    EXPECT_EQ(doc.control(0).keptEntries().size(), 1u);
  }
  const FormFile saved = forms::readFormFile(path);
  ASSERT_EQ(saved.controls.size(), 2u);
  const auto& a = saved.controls[0].properties;
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].key, "C");
  EXPECT_EQ(a[1].key, "Later");  // back at its place, the second
  EXPECT_EQ(saved.controls[1].placement, (forms::Placement{0, 0, 100, 200}));
}

// Placing: a new site with the name, Initialize, InitProperties, then the placement; names must
// be names and unique in any case.
TEST_F(FormDocumentTest, PlacingANewControl) {
  FormDocument doc("Orders", classes(), FormMode::Design);
  doc.place("boxA", "Test.Probe", {120, 120, 2000, 300});
  EXPECT_EQ(log, (std::vector<std::string>{"boxA Initialize 2560x360 design", "boxA InitProperties 2560x360 design",
                                           "boxA Resize 2000x300 design", "boxA Paint 2000x300 design"}));
  EXPECT_EQ(doc.toFile().controls.at(0).properties.at(0).value, Variant::longValue(1));
  struct Row {
    const char* name;
    std::string control, progId;
  };
  const Row refused[] = {{"NameTaken", "BOXA", "Test.Probe"},
                         {"NotAName", "box A", "Test.Probe"},
                         {"UnknownClass", "boxB", "Test.Nothing"}};
  for (const Row& row : refused) {
    SCOPED_TRACE(row.name);
    EXPECT_THROW(doc.place(row.control, row.progId, {}), headless::FormDocumentError);
  }
  EXPECT_EQ(doc.size(), 1u);
}

}  // namespace
}  // namespace kestrinx::testing
