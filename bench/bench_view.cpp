// The toolkit-free half of a repaint and the pointer's hit test: depth order
// (against the quadratic counting rank), projection, the colour of every face,
// and a mouse motion that finds no vertex (so it tests them all).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

#include "bench/workloads.h"
#include "testing/literal.h"
#include "view/draw.h"
#include "view/mouse.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

template <void (*Order)(Store&)>
void order_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    Order(*s);
    benchmark::DoNotOptimize(s->order[0]);
  }
  st.counters["faces"] = s->NOS;
}

void colours_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    int sum = 0;
    for (int f = 0; f < s->NOS; ++f) {
      const RGB c = getcolor(*s, f);
      sum += c.r + c.g + c.b;
    }
    benchmark::DoNotOptimize(sum);
  }
  st.counters["faces"] = s->NOS;
}

void project_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    project(*s);
    benchmark::DoNotOptimize(s->gx[0]);
  }
  st.counters["vertices"] = s->NOV;
}

// A motion with no button held over empty canvas: the touch step tests every
// vertex's box and finds none.
void hit_test_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  prepare_scene(*s);
  const int px = -100, py = -100;
  for (int i = 0; i < s->NOV; ++i)
    if (vertex_under(*s, i, px, py)) std::abort();
  for (auto _ : st) {
    MouseEffects out;
    mouse_event(*s, MouseKind::Other, px, py, out);
    benchmark::DoNotOptimize(s->g_purtj);
  }
  st.counters["vertices"] = s->NOV;
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("depth_order", w, "fast", order_bench<depth_order>)->Unit(benchmark::kMicrosecond);
    add("depth_order", w, "literal", order_bench<testing::literal_depth_order>)
        ->Unit(benchmark::kMicrosecond);
    add("getcolor_all", w, "fast", colours_bench)->Unit(benchmark::kMicrosecond);
    add("project", w, "fast", project_bench)->Unit(benchmark::kMicrosecond);
    add("hit_test", w, "fast", hit_test_bench)->Unit(benchmark::kMicrosecond);
  }
  return true;
}();

}  // namespace
