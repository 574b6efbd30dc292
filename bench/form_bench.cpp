// Saving and opening a form of 1,000 Kestrin controls on the headless host: through a form file
// (WriteProperties into each control's saved properties, the text, the atomic write with its
// flushes, reading, parsing, creating each control, ReadProperties, placement), and for
// comparison through in-memory property bags only. Memory is counted by this program's own
// operator new, only while one form is opened outside the timed loop (counting would slow every
// allocation): "retained_per_control" is what an open form holds per control, "peak_per_control"
// the most in use at once while opening, both over what was in use before.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "control/kestrin_component.h"
#include "control/members.h"
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

// What parsing the same text costs with a handler that keeps nothing: the share of opening a form
// that belongs to the JSON parser itself, below which the reader cannot go.
void BM_FormParserAloneOnTheSameText(benchmark::State& state) {
  struct Ignore final : nlohmann::json::json_sax_t {
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
  };
  const std::string text = forms::formText(designedForm()->toFile());
  for (auto _ : state) {
    Ignore ignore;
    benchmark::DoNotOptimize(nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &ignore));
  }
  state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_FormParserAloneOnTheSameText)->Unit(benchmark::kMillisecond);

// Both halves without the text: each control's WriteProperties into its saved properties, and the
// form made again from them (each control created and its ReadProperties run). With the parser
// alone above, this is what saving and opening through a file costs less writing the text, the
// file operations and turning parsed values into saved properties.
void BM_FormSaveAndOpenWithoutText(benchmark::State& state) {
  const auto doc = designedForm();
  for (auto _ : state) {
    auto opened = std::make_unique<FormDocument>(doc->toFile(), classes(), FormMode::Run);
    benchmark::DoNotOptimize(opened->size());
    state.PauseTiming();
    opened.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FormSaveAndOpenWithoutText)->Unit(benchmark::kMillisecond);

// The same controls saved into and read from in-memory bags: the controls' own share of the cost.
void BM_FormSaveAndOpenThroughMemoryBags(benchmark::State& state) {
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
BENCHMARK(BM_FormSaveAndOpenThroughMemoryBags)->Unit(benchmark::kMillisecond);

}  // namespace
