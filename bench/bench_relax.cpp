// One relaxation pass and two full relaxations, against the pair scan that
// tests every edge for every vertex pair. The full relaxations: a surface at
// rest (targets set to its lengths) with some vertices knocked out of place,
// which settles after a few passes; and Pull one point on the surface as it
// is, which on the capacity surface (a torus that cannot reach its targets)
// runs to the pass limit.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/workloads.h"
#include "sim/relax.h"
#include "testing/grids.h"
#include "testing/literal.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

template <void (*Pass)(Store&)>
void pass_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    Pass(*s);  // each pass starts where the last one ended; the work is the same
    benchmark::DoNotOptimize(s->x[0]);
  }
  st.counters["vertices"] = s->NOV;
  st.counters["edges"] = s->NOE;
}

const Store& knocked(Load w) {
  static std::unique_ptr<Store> made[static_cast<int>(Load::tangled) + 1];
  auto& g = made[static_cast<int>(w)];
  if (g) return *g;
  g = std::make_unique<Store>(workload(w));
  testing::Jitter r{5};
  testing::rest_and_knock(*g, r);
  return *g;
}

const Store& pulled(Load w) {
  static std::unique_ptr<Store> made[static_cast<int>(Load::tangled) + 1];
  auto& g = made[static_cast<int>(w)];
  if (g) return *g;
  g = std::make_unique<Store>(workload(w));
  g->z[g->g_purtj] -= 0.3;
  return *g;
}

template <const Store& (*Start)(Load), bool (*Modify)(Store&)>
void modify_bench(benchmark::State& st, Load w) {
  auto a = std::make_unique<Store>(Start(w));
  modify(*a);
  const int passes = last_modify_passes(*a);
  auto s = make_store();
  for (auto _ : st) {
    st.PauseTiming();
    *s = Start(w);
    st.ResumeTiming();
    benchmark::DoNotOptimize(Modify(*s));
  }
  st.counters["passes"] = passes;
}

// The literal relaxation with the fast one's signature.
bool literal_modify(Store& s) { return testing::literal_modify(s); }

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("relax_pass", w, "fast", pass_bench<modifyonce>)->Unit(benchmark::kMicrosecond);
    add("relax_pass", w, "literal", pass_bench<testing::literal_modifyonce>)
        ->Unit(benchmark::kMicrosecond);
    add("relax_settle", w, "fast", modify_bench<knocked, modify>)->Unit(benchmark::kMicrosecond);
    add("relax_pull", w, "fast", modify_bench<pulled, modify>)->Unit(benchmark::kMicrosecond);
  }
  // The pair scan costs about a second a pass at full size: its full
  // relaxations only where they settle in a few passes.
  add("relax_settle", Load::grown, "literal", modify_bench<knocked, literal_modify>)
      ->Unit(benchmark::kMicrosecond);
  return true;
}();

}  // namespace
