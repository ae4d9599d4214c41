// One timer tick on the large grown surface (about 990 vertices): the
// perturbation branch (a full relaxation) and the sway branch (a spreading
// sweep), with and without the drawing work that the tick's repaint causes.
#include <benchmark/benchmark.h>

#include "model/store.h"
#include "sim/grow.h"
#include "view/draw.h"
#include "view/tick.h"

using namespace brimoss;

namespace {

const Store& grown() {
  static const std::unique_ptr<Store> s = [] {
    auto g = make_store();
    build_grown_surface(*g);
    g->g_purturb = 0;
    g->g_twincle = 0;
    g->g_purtj = g->NOV / 2;
    return g;
  }();
  return *s;
}

enum class Kind { Perturb, Sway, Idle };

void run_ticks(benchmark::State& state, Kind kind, bool draw) {
  auto s = make_store();
  *s = grown();
  for (auto _ : state) {
    // Keep the chosen branch running for ever: restart the wave before it
    // ends, refill the sway.
    if (kind == Kind::Perturb && s->g_purturb == 0) s->g_purturb = 1;
    if (kind == Kind::Sway) s->g_buru = 15;
    const TickBranch b = timer_tick(*s);
    if (draw) {
      prepare_scene(*s);
      twinkle_step(*s);
    }
    benchmark::DoNotOptimize(b);
    benchmark::DoNotOptimize(s->z[s->g_purtj]);
  }
  state.counters["vertices"] = s->NOV;
  state.counters["faces"] = s->NOS;
}

void BM_TickPerturb(benchmark::State& st) { run_ticks(st, Kind::Perturb, false); }
void BM_TickPerturbAndDraw(benchmark::State& st) { run_ticks(st, Kind::Perturb, true); }
void BM_TickSway(benchmark::State& st) { run_ticks(st, Kind::Sway, false); }
void BM_TickSwayAndDraw(benchmark::State& st) { run_ticks(st, Kind::Sway, true); }
void BM_TickIdleAndDraw(benchmark::State& st) { run_ticks(st, Kind::Idle, true); }

BENCHMARK(BM_TickPerturb)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickPerturbAndDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickSway)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickSwayAndDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TickIdleAndDraw)->Unit(benchmark::kMillisecond);

}  // namespace
