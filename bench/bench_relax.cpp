// One relaxation pass and two full relaxations, against the pair scan that
// tests every edge for every vertex pair. The full relaxations: a surface at
// rest (targets set to its lengths) with some vertices knocked out of place,
// which settles after a few passes; and Pull one point on the surface as it
// is, which on the capacity surface (a torus that cannot reach its targets)
// runs to the pass limit.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "bench/literal.h"
#include "bench/workloads.h"
#include "sim/relax.h"
#include "tests/core/grid_surface.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

template <void (*Pass)(Store&)>
void pass_bench(benchmark::State& st, Load w) {
  {
    auto a = std::make_unique<Store>(workload(w)), b = std::make_unique<Store>(workload(w));
    modifyonce(*a);
    literal::modifyonce(*b);
    require_same_positions(*a, *b, "relaxation pass");
  }
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    Pass(*s);  // each pass starts where the last one ended; the work is the same
    benchmark::DoNotOptimize(s->x[0]);
  }
  st.counters["vertices"] = s->NOV;
  st.counters["edges"] = s->NOE;
}

const Store& knocked(Load w) {
  static std::unique_ptr<Store> made[3];
  auto& g = made[static_cast<int>(w)];
  if (g) return *g;
  g = std::make_unique<Store>(workload(w));
  for (int l = 0; l < g->NOE; ++l) {
    const Edge e = g->edge[l];
    g->phi[l] = std::hypot(g->x[e.second] - g->x[e.first], g->y[e.second] - g->y[e.first],
                           g->z[e.second] - g->z[e.first]);
  }
  fixture::Jitter r{5};
  for (int i = 0; i < g->NOV; i += 37) {
    g->x[i] += 0.3 * r.next();
    g->y[i] += 0.3 * r.next();
    g->z[i] += 0.3 * r.next();
  }
  return *g;
}

const Store& pulled(Load w) {
  static std::unique_ptr<Store> made[3];
  auto& g = made[static_cast<int>(w)];
  if (g) return *g;
  g = std::make_unique<Store>(workload(w));
  g->z[g->g_purtj] -= 0.3;
  return *g;
}

template <const Store& (*Start)(Load), bool (*Modify)(Store&)>
void modify_bench(benchmark::State& st, Load w) {
  auto a = std::make_unique<Store>(Start(w));
  const bool settled = modify(*a);
  const int passes = last_modify_passes(*a);
  auto s = make_store();
  for (auto _ : st) {
    st.PauseTiming();
    *s = Start(w);
    st.ResumeTiming();
    if (Modify(*s) != settled) std::abort();
  }
  require_same_positions(*a, *s, "full relaxation");
  st.counters["passes"] = passes;
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("relax_pass", w, "fast", pass_bench<modifyonce>)->Unit(benchmark::kMicrosecond);
    add("relax_pass", w, "literal", pass_bench<literal::modifyonce>)->Unit(benchmark::kMicrosecond);
    add("relax_settle", w, "fast", modify_bench<knocked, modify>)->Unit(benchmark::kMicrosecond);
    add("relax_pull", w, "fast", modify_bench<pulled, modify>)->Unit(benchmark::kMicrosecond);
  }
  // The pair scan costs about a second a pass at full size: its full
  // relaxations only where they settle in a few passes.
  add("relax_settle", Load::grown, "literal", modify_bench<knocked, literal::modify>)
      ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace
