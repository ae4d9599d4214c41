// One spreading sweep, against the sweep that scans every face for every
// edge.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench/workloads.h"
#include "model/store.h"
#include "sim/relax.h"
#include "sim/spread.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

// The sweep with getsurface called per edge: NOE x NOS face tests.
void spread_scanning(Store& s) {
  int P = 0, Q = 1, pushes = 0;
  for (int e = 0; e < s.NOE; ++e) {
    const int a = s.edge[e].first, b = s.edge[e].second;
    if (s.g_purtj == a || s.g_purtj == b) continue;
    int s1, s2;
    getsurface(s, e, &s1, &s2);
    if (s2 < 0) continue;
    const Face f1 = s.face[s1], f2 = s.face[s2];
    const double ax = s.x[f1[1]] - s.x[f1[0]], ay = s.y[f1[1]] - s.y[f1[0]],
                 az = s.z[f1[1]] - s.z[f1[0]];
    const double bx = s.x[f1[2]] - s.x[f1[0]], by = s.y[f1[2]] - s.y[f1[0]],
                 bz = s.z[f1[2]] - s.z[f1[0]];
    const double cx = s.x[f2[1]] - s.x[f2[0]], cy = s.y[f2[1]] - s.y[f2[0]],
                 cz = s.z[f2[1]] - s.z[f2[0]];
    const double dx = s.x[f2[2]] - s.x[f2[0]], dy = s.y[f2[2]] - s.y[f2[0]],
                 dz = s.z[f2[2]] - s.z[f2[0]];
    const double dot = (ay * bz - az * by) * (cy * dz - cz * dy) +
                       (az * bx - ax * bz) * (cz * dx - cx * dz) +
                       (ax * by - ay * bx) * (cx * dy - cy * dx);
    if (!(dot < 0.3)) continue;
    bool apex1 = false, apex2 = false;
    for (int j = 0; j < 3; ++j) {
      if (f1[j] != a && f1[j] != b) P = f1[j], apex1 = true;
      if (f2[j] != a && f2[j] != b) Q = f2[j], apex2 = true;
    }
    if (!apex1 || !apex2) continue;
    const double ux = s.x[P] - s.x[Q], uy = s.y[P] - s.y[Q], uz = s.z[P] - s.z[Q];
    const double dist = std::sqrt(ux * ux + uy * uy + uz * uz);
    if (!(dist > 0.0) || !std::isfinite(dist)) continue;
    const double f = 0.08 / dist;
    s.x[P] += f * ux;
    s.y[P] += f * uy;
    s.z[P] += f * uz;
    s.x[Q] -= f * ux;
    s.y[Q] -= f * uy;
    s.z[Q] -= f * uz;
    if (++pushes % 3 == 0) modify(s);
  }
  modify(s);
}

// Both sweeps must move every vertex to the same place.
void require_same_sweep(Load w) {
  auto a = std::make_unique<Store>(workload(w)), b = std::make_unique<Store>(workload(w));
  spread(*a);
  spread_scanning(*b);
  require_same_positions(*a, *b, "spreading sweep");
}

// Each sweep starts from the same surface.
template <void (*Sweep)(Store&)>
void sweep_bench(benchmark::State& st, Load w) {
  require_same_sweep(w);
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
void scan_only(Store& s) {
  for (int e = 0; e < s.NOE; ++e)
    getsurface(s, e, &s.scratch.spread.s1[e], &s.scratch.spread.s2[e]);
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("spread_sweep", w, "fast", sweep_bench<spread>)->Unit(benchmark::kMillisecond);
    add("spread_sweep", w, "literal", sweep_bench<spread_scanning>)->Unit(benchmark::kMillisecond);
    add("edge_faces", w, "fast", sweep_bench<table_only>)->Unit(benchmark::kMillisecond);
    add("edge_faces", w, "literal", sweep_bench<scan_only>)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
