// Keeping the sheet apart: a kept-apart relaxation of the sheet grown to the
// full store (on a settled sheet one pass: the relaxation step, the contacts
// and the guard), the same with the contact lists made afresh, and the whole
// growth to the full store. The ticks on that sheet are in bench/ticks.cpp
// (workload sewn_apart).
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/workloads.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "sim/contacts.h"
#include "sim/relax.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

void relax_bench(benchmark::State& st, Load w, bool rebuild) {
  auto s = std::make_unique<Store>(workload(w));
  modify(*s);  // the lists made and the positions remembered
  long passes = 0, runs = 0;
  for (auto _ : st) {
    if (rebuild) s->scratch.contacts.built = false;
    modify(*s);
    passes += last_modify_passes(*s);
    ++runs;
  }
  st.counters["passes"] = runs ? static_cast<double>(passes) / runs : 0;
  st.counters["vertices"] = s->NOV;
  st.counters["vertex_face_pairs"] = s->scratch.contacts.nvf;
  st.counters["side_pairs"] = s->scratch.contacts.nee;
}

void grow_bench(benchmark::State& st) {
  auto s = make_store();
  ops::SheetReport r;
  for (auto _ : st) {
    st.PauseTiming();
    ReadSampleData(*s, 128);
    ops::keep_apart(*s, true);
    st.ResumeTiming();
    r = ops::grow_sheet(*s, -1);
  }
  st.counters["vertices"] = s->NOV;
  st.counters["cells"] = r.cells;
  st.counters["pastes"] = r.pastes;
  st.counters["ticks"] = static_cast<double>(r.ticks);
  st.counters["given_up"] = r.cells_given_up + r.pastes_given_up;
}

const bool registered = [] {
  add("relax_apart", Load::sewn_apart, "fast", [](benchmark::State& st, Load w) {
    relax_bench(st, w, false);
  })->Unit(benchmark::kMicrosecond);
  add("relax_apart_new_lists", Load::sewn_apart, "fast", [](benchmark::State& st, Load w) {
    relax_bench(st, w, true);
  })->Unit(benchmark::kMicrosecond);
  // A copy left over its source: the pairs of the two pieces are the user's.
  add("relax_apart", Load::tangled, "fast", [](benchmark::State& st, Load w) {
    relax_bench(st, w, false);
  })->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("grow_sheet_apart/full", grow_bench)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(1);
  return true;
}();

}  // namespace
