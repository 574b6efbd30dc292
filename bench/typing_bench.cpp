// Time per keystroke in a right-aligned numeric box with thousands grouping: the whole path of
// a typed digit (KeyDown, the KeyPress filter, the edit, Change with the numeric rewrite that
// groups, measures and pads the text, KeyUp) on the headless host.
#include <benchmark/benchmark.h>

#include <string>

#include "control/kestrin.h"
#include "host/headless/headless.h"

namespace {

using namespace kestrinx;

constexpr int kKeysPerNumber = 15;

void BM_TypeFifteenDigitNumber(benchmark::State& state) {
  headless::Form form;
  headless::ControlSite site{form};
  Kestrin k{site};
  KestrinEvents application;  // a connected application that ignores the events
  k.Initialize();
  k.connect(&application);
  k.InitProperties();
  k.put_KestrinType(NUMERIC_TYPE);
  form.focus(&site.box(k.boxIndex()));
  const std::string digits = "123456789012345";

  for (auto _ : state) {
    state.PauseTiming();
    k.put_Text("");  // a cleared box, caret at its end
    state.ResumeTiming();
    form.type(digits);
    benchmark::DoNotOptimize(site.box(k.boxIndex()).text());
  }
  if (site.box(k.boxIndex()).text().find("123,456,789,012,345") == std::string::npos)
    state.SkipWithError("the box does not hold the grouped number");
  state.SetItemsProcessed(state.iterations() * kKeysPerNumber);
  state.counters["time_per_key"] = benchmark::Counter(
      kKeysPerNumber, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TypeFifteenDigitNumber);

}  // namespace
