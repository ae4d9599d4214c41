// One relaxation pass, and one full relaxation, on a surface of 1000 vertices
// and 2871 edges, against the pair scan that tests every edge for every vertex
// pair.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/literal.h"
#include "sim/relax.h"
#include "tests/core/grid_surface.h"

using namespace brimoss;

namespace {

void check_same(const Store& a, const Store& b, const char* what) {
  for (int i = 0; i < a.NOV; ++i)
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i]) {
      std::fprintf(stderr, "%s: the two forms differ at vertex %d\n", what, i);
      std::abort();
    }
}

// A jittered triangulated grid with mixed edge kinds: every pass has work.
const Store& grid() {
  static const std::unique_ptr<Store> s = [] {
    auto g = make_store();
    fixture::make_grid_surface(*g, 25, 40, 12345);
    auto a = std::make_unique<Store>(*g), b = std::make_unique<Store>(*g);
    modifyonce(*a);
    literal::modifyonce(*b);
    check_same(*a, *b, "pass");
    return g;
  }();
  return *s;
}

// The grid at rest (targets equal to its lengths) with a few vertices knocked
// out of place: a full relaxation that settles after several passes.
const Store& knocked() {
  static const std::unique_ptr<Store> s = [] {
    auto g = std::make_unique<Store>(grid());
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
    auto a = std::make_unique<Store>(*g), b = std::make_unique<Store>(*g);
    const bool ra = modify(*a), rb = literal::modify(*b);
    if (ra != rb) std::abort();
    check_same(*a, *b, "modify");
    return g;
  }();
  return *s;
}

template <void (*Pass)(Store&)>
void BM_Pass(benchmark::State& state) {
  auto s = std::make_unique<Store>(grid());
  for (auto _ : state) {
    Pass(*s);  // each pass starts where the last one ended; the work is the same
    benchmark::DoNotOptimize(s->x[0]);
  }
  state.counters["vertices"] = s->NOV;
  state.counters["edges"] = s->NOE;
}

template <bool (*Modify)(Store&)>
void BM_Modify(benchmark::State& state) {
  auto s = make_store();
  for (auto _ : state) {
    state.PauseTiming();
    *s = knocked();
    state.ResumeTiming();
    benchmark::DoNotOptimize(Modify(*s));
  }
  *s = knocked();
  modify(*s);
  state.counters["passes"] = last_modify_passes();
}

}  // namespace

BENCHMARK(BM_Pass<modifyonce>)->Name("relax_pass/fast")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pass<literal::modifyonce>)->Name("relax_pass/literal")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Modify<modify>)->Name("relax_modify/fast")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Modify<literal::modify>)->Name("relax_modify/literal")->Unit(benchmark::kMillisecond);
