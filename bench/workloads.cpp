#include "bench/workloads.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "copy/paste.h"
#include "model/samples.h"
#include "ops/capacity_surface.h"
#include "ops/load.h"
#include "sim/grow.h"

namespace brimoss::bench {

namespace {

void quiet(Store& s) {
  s.g_purturb = 0;
  s.g_rotate = 0;
  s.g_twincle = 0;
  s.g_buru = 0;
  s.g_pasteevent = 0;
  s.g_purtj = s.NOV / 2;
  set_message(s, " ");
  fit_view(s, kCanvasWidth, kCanvasHeight);
}

std::unique_ptr<Store> build(Load w) {
  auto s = make_store();
  switch (w) {
    case Load::grown:
      build_grown_surface(*s);
      break;
    case Load::capacity:
      build_capacity_surface(*s);
      if (s->NOV != MAXNOV || s->NOE != MAXNOE || s->NOS != MAXNOS) std::abort();
      break;
    case Load::sample131:
      initialize_store(*s);
      break;
  }
  quiet(*s);
  return s;
}

}  // namespace

const char* load_name(Load w) {
  switch (w) {
    case Load::grown:
      return "grown";
    case Load::capacity:
      return "capacity";
    case Load::sample131:
      return "sample131";
  }
  return "?";
}

const Store& workload(Load w) {
  static std::unique_ptr<Store> made[3];
  auto& slot = made[static_cast<int>(w)];
  if (!slot) slot = build(w);
  return *slot;
}

void fit_view(Store& s, int w, int h) {
  s.g_centerx = w / 2;
  s.g_centery = h / 2;
  double reach = 0;
  for (int i = 0; i < s.NOV; ++i)
    reach = std::max({reach, std::fabs(s.x[i]) * h / w, std::fabs(s.y[i])});
  // A small margin so that the outermost outlines stay inside.
  s.g_rate = reach > 0 ? 0.95 * (h / 2) / reach : 100.0;
}

void require_same_positions(const Store& a, const Store& b, const char* what) {
  if (a.NOV != b.NOV) {
    std::fprintf(stderr, "%s: the two forms leave %d and %d vertices\n", what, a.NOV, b.NOV);
    std::abort();
  }
  for (int i = 0; i < a.NOV; ++i)
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i]) {
      std::fprintf(stderr, "%s: the two forms differ at vertex %d\n", what, i);
      std::abort();
    }
}

bool find_paste_pair(const Store& s, int* i, int* j) {
  auto t = std::make_unique<Store>(s);
  for (int a = 0; a < s.NOV; ++a)
    for (int b = a + 1; b < s.NOV; ++b) {
      const double d = std::hypot(s.x[b] - s.x[a], s.y[b] - s.y[a], s.z[b] - s.z[a]);
      if (d < 1.0 || d > 1.5) continue;
      if (paste_check(*t, a, b) != PasteCheck::ok) continue;
      *i = a;
      *j = b;
      return true;
    }
  return false;
}

benchmark::internal::Benchmark* add(const std::string& name, Load w, const char* form,
                                    std::function<void(benchmark::State&, Load)> fn) {
  const std::string full = name + "/" + load_name(w) + "/" + form;
  return benchmark::RegisterBenchmark(full.c_str(), [fn, w](benchmark::State& st) { fn(st, w); });
}

}  // namespace brimoss::bench
