// One spreading sweep, against the sweep that scans every face for every
// edge.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/workloads.h"
#include "model/store.h"
#include "sim/spread.h"
#include "testing/literal.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

// Each sweep starts from the same surface.
template <void (*Sweep)(Store&)>
void sweep_bench(benchmark::State& st, Load w) {
  auto s = make_store();
  for (auto _ : st) {
    st.PauseTiming();
    *s = workload(w);
    st.ResumeTiming();
    Sweep(*s);
    benchmark::DoNotOptimize(s->x[0]);
  }
  st.counters["edges"] = s->NOE;
  st.counters["faces"] = s->NOS;
}

// Finding the faces of every edge alone, without the pushes and relaxations.
void table_only(Store& s) { build_edge_faces(s); }

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("spread_sweep", w, "fast", sweep_bench<spread>)->Unit(benchmark::kMillisecond);
    add("spread_sweep", w, "literal", sweep_bench<testing::literal_spread>)
        ->Unit(benchmark::kMillisecond);
    add("edge_faces", w, "fast", sweep_bench<table_only>)->Unit(benchmark::kMillisecond);
    add("edge_faces", w, "literal", sweep_bench<testing::literal_edge_faces>)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
