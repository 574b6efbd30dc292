// Cost of one layout run and of one Font set with AutoSize on, on the headless host.
#include <benchmark/benchmark.h>

#include "control/kestrin.h"
#include "host/headless/headless.h"

namespace {

using namespace kestrinx;

// A control placed as a designer places it: caption shown, gap 80, caption at the left middle.
struct PlacedControl {
  headless::Form form;
  headless::ControlSite site{form};
  Kestrin k{site};

  PlacedControl() {
    k.Initialize();
    k.InitProperties();
    k.put_Alignment(LeftMiddle);
    site.headlessSurface().resize(3000, 600);
  }
};

void BM_LayoutArrangeControls(benchmark::State& state) {
  PlacedControl c;
  for (auto _ : state) {
    c.k.UserControl_Paint();
    benchmark::DoNotOptimize(c.site.box(0).width());
  }
}
BENCHMARK(BM_LayoutArrangeControls);

void BM_LayoutPutFontAutoSize(benchmark::State& state) {
  PlacedControl c;
  c.k.put_AutoSize(values::True);
  const values::FontRef fonts[] = {values::makeFont("Arial", 12), values::makeFont("Arial", 14)};
  std::size_t i = 0;
  for (auto _ : state) {
    c.k.putref_Font(fonts[++i & 1]);
    benchmark::DoNotOptimize(c.site.headlessSurface().height());
    // The host records every notification; keep the record from growing without bound.
    if ((i & 4095) == 0) c.site.headlessSurface().clearChangedProperties();
  }
}
BENCHMARK(BM_LayoutPutFontAutoSize);

}  // namespace
