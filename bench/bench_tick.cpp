// Every branch of the timer's tick without its repaint (bench/wx adds the
// repaint): the animation runs on from tick to tick as in the window and
// starts again from the same state when it ends, so the mean covers a whole
// animation; worst_ms is the slowest single tick seen.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench/ticks.h"
#include "bench/workloads.h"
#include "view/draw.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

void tick_bench(benchmark::State& st, Load w, const Branch& b) {
  auto start = std::make_unique<Store>(workload(w));
  b.arm(*start);
  if (!b.running(*start)) {
    st.SkipWithError("this animation cannot start on this surface");
    return;
  }
  auto s = std::make_unique<Store>(*start);
  using Clock = std::chrono::steady_clock;
  double worst = 0;
  for (auto _ : st) {
    if (!b.running(*s)) {
      st.PauseTiming();
      *s = *start;
      st.ResumeTiming();
    }
    const auto t0 = Clock::now();
    const TickBranch got = timer_tick(*s);
    // What a repaint changes in the store, without drawing.
    twinkle_step(*s);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (ms > worst) worst = ms;
    if (got != b.kind) {
      st.SkipWithError("the tick took another branch");
      break;
    }
  }
  st.counters["worst_ms"] = worst;
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity})
    for (const Branch& b : kBranches) {
      if (w == Load::capacity && b.kind == TickBranch::Paste) continue;  // no pair fits
      add(std::string("tick_") + b.name + "_norepaint", w, "fast",
          [&b](benchmark::State& st, Load l) { tick_bench(st, l, b); })
          ->Unit(benchmark::kMillisecond);
    }
  return true;
}();

}  // namespace
