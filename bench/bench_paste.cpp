// The pair check (pasteverticesP) and the merge of a paste on the grown
// surface, against their literal forms: a scan over all edges for every vertex to find
// the common neighbour, and a duplicate search restarted from the start after
// every removal.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "bench/workloads.h"
#include "copy/paste.h"
#include "model/store.h"
#include "testing/literal.h"
#include "testing/workloads.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

struct Setup {
  std::unique_ptr<Store> s;
  int i = -1, j = -1;  // a pair that reaches the common-neighbour rule
};

// The grown surface and a pair for the check.
const Setup& check_setup() {
  static const Setup setup = [] {
    Setup st{make_store()};
    *st.s = workload(Load::grown);
    if (!testing::find_pair_with_common_neighbour(*st.s, &st.i, &st.j)) std::abort();
    return st;
  }();
  return setup;
}

// The same surface ready to merge two vertices with two common neighbours.
const Store& merge_setup() {
  static const std::unique_ptr<Store> s = [] {
    auto m = make_store();
    *m = workload(Load::grown);
    if (!testing::prepare_merge(*m)) std::abort();
    return m;
  }();
  return *s;
}

// The whole fast check against the literal common-neighbour search alone, so
// the ratio understates the gain.
void BM_CheckFast(benchmark::State& state, Load) {
  const Setup& st = check_setup();
  auto s = make_store();
  *s = *st.s;
  for (auto _ : state) {
    const PasteCheck c = paste_check(*s, st.i, st.j);
    benchmark::DoNotOptimize(c);
  }
  state.counters["vertices"] = s->NOV;
}

void BM_CheckLiteral(benchmark::State& state, Load) {
  const Setup& st = check_setup();
  for (auto _ : state)
    benchmark::DoNotOptimize(testing::literal_common_neighbour(*st.s, st.i, st.j));
}

template <void (*Merge)(Store&)>
void BM_Merge(benchmark::State& state, Load) {
  auto s = make_store();
  for (auto _ : state) {
    state.PauseTiming();
    *s = merge_setup();
    state.ResumeTiming();
    Merge(*s);
    benchmark::DoNotOptimize(s->NOE);
  }
  state.counters["edges"] = merge_setup().NOE;
}

const bool registered = [] {
  add("paste_check", Load::grown, "fast", BM_CheckFast)->Unit(benchmark::kMicrosecond);
  add("paste_check", Load::grown, "literal", BM_CheckLiteral)->Unit(benchmark::kMicrosecond);
  add("paste_merge", Load::grown, "fast", BM_Merge<pastevertices3>)->Unit(benchmark::kMillisecond);
  add("paste_merge", Load::grown, "literal", BM_Merge<testing::literal_merge>)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
