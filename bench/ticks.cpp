#include "bench/ticks.h"

#include <chrono>
#include <memory>

#include "bench/workloads.h"
#include "copy/paste.h"

namespace brimoss::bench {

const Branch kBranches[6] = {
    {"perturb", TickBranch::Perturb, [](Store& s) { s.g_purturb = 1; },
     [](const Store& s) { return s.g_purturb > 0; }},
    {"spin", TickBranch::Spin,
     [](Store& s) {
       s.g_rotate = 1;
       s.g_vangle = 0.1;
       s.g_hangle = 0.05;
     },
     [](const Store& s) { return s.g_rotate > 0; }},
    {"twinkle", TickBranch::Twinkle, [](Store& s) { s.g_twincle = 1; },
     [](const Store& s) { return s.g_twincle > 0; }},
    {"sway", TickBranch::Sway, [](Store& s) { s.g_buru = 15; },
     [](const Store& s) { return s.g_buru > 0; }},
    {"paste", TickBranch::Paste,
     [](Store& s) {
       int i, j;
       if (find_paste_pair(s, &i, &j)) start_paste(s, i, j);
     },
     [](const Store& s) { return s.g_pasteevent > 0; }},
    {"idle", TickBranch::Idle, [](Store&) {}, [](const Store&) { return true; }},
};

namespace {

void run_ticks(benchmark::State& st, Load w, const Branch& b, void (*after)(Store&),
               bool (*ready)()) {
  if (ready && !ready()) {
    st.SkipWithError("no display (run under xvfb-run)");
    return;
  }
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
    after(*s);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    if (ms > worst) worst = ms;
    if (got != b.kind) {
      st.SkipWithError("the tick took another branch");
      break;
    }
  }
  st.counters["worst_ms"] = worst;
}

}  // namespace

void add_tick_benches(const std::string& suffix, void (*after)(Store&), bool (*ready)()) {
  for (Load w : {Load::grown, Load::capacity, Load::sewn, Load::sewn_apart, Load::tangled})
    for (const Branch& b : kBranches) {
      if (w == Load::capacity && b.kind == TickBranch::Paste) continue;  // no pair fits
      add(std::string("tick_") + b.name + suffix, w, "fast",
          [&b, after, ready](benchmark::State& st, Load l) { run_ticks(st, l, b, after, ready); })
          ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace brimoss::bench
