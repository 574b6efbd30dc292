// Saving and opening a form of 1,000 Kestrin controls on the headless host, and where the time
// goes. Side by side (run them interleaved, see README):
//   ThroughAFile          WriteProperties into each control's saved properties, the text, the
//                         atomic write with its flushes, reading, parsing, creating each control,
//                         ReadProperties, placement;
//   ThroughMemoryBags     the same steps without the text and the file: the form property bags
//                         the file would be written from and read into, in memory;
//   WithoutBagText        the control's own steps alone: the same controls created, written and
//                         read through a bag that keeps values by position, without keys;
//   ThroughRecordingBags  the same through the headless host's recording bag (tests' bag);
// and the parts of the file's share: writing the text, the file written and read back, parsing
// the text, and the JSON parser alone walking the same text. Memory is counted by this program's
// own operator new, only while one form is opened outside the timed loop (counting would slow
// every allocation): "retained_per_control" is what an open form holds per control,
// "peak_per_control" the most in use at once while opening, both over what was in use before.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <simdjson.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "control/kestrin_component.h"
#include "control/members.h"
#include "forms/atomic_file.h"
#include "forms/form_file.h"
#include "host/headless/headless.h"

namespace {

// Bytes allocated less bytes freed while counting, and the most of it at any moment.
std::atomic<bool> gCounting{false};
std::atomic<long long> gInUse{0}, gPeak{0};

void* allocate(std::size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (p == nullptr) throw std::bad_alloc();
  if (gCounting.load(std::memory_order_relaxed)) {
    const long long now = gInUse += static_cast<long long>(malloc_usable_size(p));
    if (now > gPeak.load(std::memory_order_relaxed)) gPeak.store(now, std::memory_order_relaxed);
  }
  return p;
}
void release(void* p) noexcept {
  if (p == nullptr) return;
  if (gCounting.load(std::memory_order_relaxed)) gInUse -= static_cast<long long>(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return operator new(n, t); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace {

using namespace kestrinx;
using headless::FormDocument;
using headless::FormMode;

constexpr int kControls = 1000;

std::vector<host::ComponentClass> classes() { return {kestrinClass()}; }

// A form as a designer leaves it: text, numeric, date and time boxes in turn, each with its own
// caption at one of the nine positions.
std::unique_ptr<FormDocument> designedForm() {
  auto doc = std::make_unique<FormDocument>("Orders", classes(), FormMode::Design);
  const std::int32_t types[] = {NORMAL_TYPE, NUMERIC_TYPE, DATE_TYPE, TIME_TYPE};
  for (int i = 0; i < kControls; ++i) {
    const std::string name = "txtField" + std::to_string(i);
    headless::DocumentControl& c = doc->place(name, KestrinProgId, {120, 120.0f + 480.0f * i, 4000, 360});
    Kestrin& k = static_cast<KestrinComponent&>(c.component()).control();
    k.put_KestrinType(types[i % 4]);
    k.put_Caption("Field " + std::to_string(i));
    k.put_Alignment(i % 9);
    k.put_Text("");
  }
  return doc;
}

// Opens the form file at `path` as the running program does.
std::unique_ptr<FormDocument> openForm(const std::string& path) {
  return std::make_unique<FormDocument>(forms::readFormFile(path), classes(), FormMode::Run);
}

std::string scratchFile() { return "/tmp/kestrinx_form_bench_" + std::to_string(::getpid()) + ".kxform"; }

void BM_FormSaveToFile(benchmark::State& state) {
  const auto doc = designedForm();
  const std::string path = scratchFile();
  for (auto _ : state) doc->save(path);
  state.counters["file_bytes"] = static_cast<double>(forms::formText(doc->toFile()).size());
  std::remove(path.c_str());
}
BENCHMARK(BM_FormSaveToFile)->Unit(benchmark::kMillisecond);

void BM_FormOpenFromFile(benchmark::State& state) {
  const std::string path = scratchFile();
  designedForm()->save(path);
  {
    gInUse = 0;
    gPeak = 0;
    gCounting = true;
    auto opened = openForm(path);
    gCounting = false;
    state.counters["retained_per_control"] = static_cast<double>(gInUse.load()) / kControls;
    state.counters["peak_per_control"] = static_cast<double>(gPeak.load()) / kControls;
  }
  for (auto _ : state) {
    auto opened = openForm(path);
    benchmark::DoNotOptimize(opened->size());
    state.PauseTiming();
    opened.reset();
    state.ResumeTiming();
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_FormOpenFromFile)->Unit(benchmark::kMillisecond);

// Both halves, as a designer saving and a program starting on the saved form.
void BM_FormSaveAndOpenThroughAFile(benchmark::State& state) {
  const auto doc = designedForm();
  const std::string path = scratchFile();
  for (auto _ : state) {
    doc->save(path);
    auto opened = openForm(path);
    benchmark::DoNotOptimize(opened->size());
    state.PauseTiming();
    opened.reset();
    state.ResumeTiming();
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_FormSaveAndOpenThroughAFile)->Unit(benchmark::kMillisecond);

// The text of the designed form, made once.
const std::string& designedText() {
  static const std::string text = forms::formText(designedForm()->toFile());
  return text;
}

// Writing the form's text from its saved properties (the first half of a save after the
// controls' WriteProperties).
void BM_FormWriteText(benchmark::State& state) {
  const forms::FormFile file = designedForm()->toFile();
  for (auto _ : state) benchmark::DoNotOptimize(forms::formText(file).size());
}
BENCHMARK(BM_FormWriteText)->Unit(benchmark::kMillisecond);

// The file written atomically (temporary file, flush, rename, folder flush) and read back: the
// file system's share, below which saving and opening through a file cannot go.
void BM_FormFileWriteAndRead(benchmark::State& state) {
  const std::string& text = designedText();
  const std::string path = scratchFile();
  for (auto _ : state) {
    forms::replaceFile(path, text);
    benchmark::DoNotOptimize(forms::readWholeFile(path, forms::FormLimits::FileBytes).size());
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_FormFileWriteAndRead)->Unit(benchmark::kMillisecond);

// Parsing the 949 KB text into the form (every value checked and kept).
void BM_FormParseText(benchmark::State& state) {
  const std::string& text = designedText();
  for (auto _ : state) benchmark::DoNotOptimize(forms::parseForm(text, "bench.kxform").controls.size());
  state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FormParseText)->Unit(benchmark::kMillisecond);

// The JSON parser alone on the same text: every value reached and read, nothing kept. The share
// of parsing that belongs to the parser itself, below which the reader cannot go.
void BM_FormParserAloneOnTheSameText(benchmark::State& state) {
  namespace od = simdjson::ondemand;
  struct Walk {
    static std::size_t value(od::value v) {
      switch (v.type().value_unsafe()) {
        case od::json_type::object: {
          std::size_t n = 0;
          for (auto field : v.get_object().value_unsafe()) {
            n += field.unescaped_key().value_unsafe().size();
            n += value(field.value());
          }
          return n;
        }
        case od::json_type::array: {
          std::size_t n = 0;
          for (auto element : v.get_array().value_unsafe()) n += value(element.value_unsafe());
          return n;
        }
        case od::json_type::string: return v.get_string().value_unsafe().size();
        case od::json_type::number: return static_cast<std::size_t>(v.get_double().value_unsafe() != 0);
        case od::json_type::boolean: return v.get_bool().value_unsafe() ? 1 : 0;
        case od::json_type::null: return v.is_null().value_unsafe() ? 0 : 1;
      }
      return 0;
    }
  };
  const std::string& text = designedText();
  for (auto _ : state) {
    const simdjson::padded_string padded(text.data(), text.size());
    od::parser parser;
    od::document doc = parser.iterate(padded).value_unsafe();
    std::size_t n = 0;
    for (auto field : doc.get_object().value_unsafe()) {
      n += field.unescaped_key().value_unsafe().size();
      n += Walk::value(field.value());
    }
    benchmark::DoNotOptimize(n);
  }
  state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FormParserAloneOnTheSameText)->Unit(benchmark::kMillisecond);

// Both halves without the text and the file: each control's WriteProperties into its saved
// properties (form property bags in memory), and the form made again from them (each control
// created, its ReadProperties run, placed and painted).
void BM_FormSaveAndOpenThroughMemoryBags(benchmark::State& state) {
  const auto doc = designedForm();
  for (auto _ : state) {
    auto opened = std::make_unique<FormDocument>(doc->toFile(), classes(), FormMode::Run);
    benchmark::DoNotOptimize(opened->size());
    state.PauseTiming();
    opened.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FormSaveAndOpenThroughMemoryBags)->Unit(benchmark::kMillisecond);

// A bag without keys: WriteProperties' values kept by their place in the writing order, and each
// read answered from the write its key's value came from, found once beforehand. What is left
// is the control's own work: its gets and puts, the defaults and values it makes, its layout.
class PositionBag final : public values::PropertyBag {
 public:
  PositionBag(const std::vector<int>& readFrom, std::size_t writes) : readFrom_(readFrom) { values_.resize(writes); }
  values::Variant readProperty(const std::string&, const values::Variant& defaultValue) override {
    const int from = readFrom_[read_++];
    return from < 0 ? defaultValue : values_[static_cast<std::size_t>(from)];
  }
  void writeProperty(const std::string&, const values::Variant& value, const values::Variant&) override {
    values_[written_++] = value;
  }

 private:
  const std::vector<int>& readFrom_;
  std::vector<values::Variant> values_;
  std::size_t read_ = 0, written_ = 0;
};

// For each read of a control, in order, the last write of its key (-1 for none).
std::vector<int> readsFromWrites(Kestrin& k) {
  headless::PropertyBag recorded;
  k.WriteProperties(recorded);
  k.ReadProperties(recorded);
  const std::vector<std::string>& writes = recorded.writeOrder();
  std::vector<int> from;
  for (const std::string& key : recorded.readOrder()) {
    int at = -1;
    for (std::size_t w = 0; w < writes.size(); ++w)
      if (writes[w] == key) at = static_cast<int>(w);
    from.push_back(at);
  }
  return from;
}

void BM_FormControlStepsWithoutBagText(benchmark::State& state) {
  const auto doc = designedForm();
  Kestrin& first = static_cast<KestrinComponent&>(doc->control(0).component()).control();
  const std::vector<int> readFrom = readsFromWrites(first);
  headless::PropertyBag counted;
  first.WriteProperties(counted);
  const host::ComponentClass kestrin = kestrinClass();
  for (auto _ : state) {
    // Each save makes its bags, as each save makes its form's saved properties.
    std::vector<PositionBag> bags(kControls, PositionBag(readFrom, counted.writeOrder().size()));
    for (int i = 0; i < kControls; ++i) doc->control(static_cast<std::size_t>(i)).component().WriteProperties(bags[i]);
    headless::Form form;
    std::vector<std::unique_ptr<headless::ControlSite>> sites;
    std::vector<std::unique_ptr<host::Component>> controls;
    sites.reserve(kControls);
    controls.reserve(kControls);
    for (int i = 0; i < kControls; ++i) {
      headless::DocumentControl& saved = doc->control(static_cast<std::size_t>(i));
      sites.push_back(std::make_unique<headless::ControlSite>(form, saved.name()));
      sites.back()->headlessSurface().setUserMode(values::True);
      controls.push_back(kestrin.create(*sites.back()));
      controls.back()->Initialize();
      controls.back()->ReadProperties(bags[i]);
      const forms::Placement p = saved.placement();
      sites.back()->headlessSurface().resize(p.width, p.height);
      sites.back()->headlessSurface().paint();
      sites.back()->headlessSurface().clearChangedProperties();
    }
    benchmark::DoNotOptimize(controls.back().get());
    state.PauseTiming();
    controls.clear();
    sites.clear();
    bags.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FormControlStepsWithoutBagText)->Unit(benchmark::kMillisecond);

// The same controls saved into and read from the headless host's recording bags (a map of
// values, every read and write recorded by key): the bag the behaviour tests use.
void BM_FormSaveAndOpenThroughRecordingBags(benchmark::State& state) {
  const auto doc = designedForm();
  for (auto _ : state) {
    std::vector<headless::PropertyBag> bags(kControls);
    for (int i = 0; i < kControls; ++i) doc->control(static_cast<std::size_t>(i)).component().WriteProperties(bags[i]);
    headless::Form form;
    std::vector<std::unique_ptr<headless::ControlSite>> sites;
    std::vector<std::unique_ptr<Kestrin>> controls;
    sites.reserve(kControls);
    controls.reserve(kControls);
    for (int i = 0; i < kControls; ++i) {
      headless::DocumentControl& saved = doc->control(static_cast<std::size_t>(i));
      sites.push_back(std::make_unique<headless::ControlSite>(form, saved.name()));
      controls.push_back(std::make_unique<Kestrin>(*sites.back()));
      controls.back()->Initialize();
      controls.back()->ReadProperties(bags[i]);
      const forms::Placement p = saved.placement();
      sites.back()->headlessSurface().resize(p.width, p.height);
    }
    benchmark::DoNotOptimize(controls.back().get());
    state.PauseTiming();
    controls.clear();
    sites.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FormSaveAndOpenThroughRecordingBags)->Unit(benchmark::kMillisecond);

}  // namespace
