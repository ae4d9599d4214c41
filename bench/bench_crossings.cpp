// The crossing check on the sheet sewn to the store's full size (which crosses
// itself at 294 places) and on a full-size solid (of the full sheet kept clear
// of itself, tests/fixtures/apart-full-sheet.brm), with the geometry library's
// own self-intersection test on the same faces beside it; and export-solid of
// both sheets: a refusal found by the sheet's check, and a solid made, thinned
// where it must be and checked.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/workloads.h"
#include "model/crossings.h"
#include "model/export.h"
#include "ops/load.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

struct Soup {
  std::vector<double> xyz;
  std::vector<Face> faces;
  int nov() const { return static_cast<int>(xyz.size() / 3); }
  int nos() const { return static_cast<int>(faces.size()); }
};

Soup sheet_soup(const Store& s) {
  Soup m;
  for (int v = 0; v < s.NOV; ++v) m.xyz.insert(m.xyz.end(), {s.x[v], s.y[v], s.z[v]});
  m.faces.assign(s.face.begin(), s.face.begin() + s.NOS);
  return m;
}

const Store& apart_sheet() {
  static const std::unique_ptr<Store> s = [] {
    auto t = make_store();
    std::string err;
    if (!open_surface_file(
            *t, std::string(BRIMOSS_SOURCE_DIR) + "/tests/fixtures/apart-full-sheet.brm", err))
      t->NOV = t->NOS = 0;
    return t;
  }();
  return *s;
}

const Soup& soup(bool solid) {
  static const Soup sheet = sheet_soup(workload(Load::sewn));
  static const Soup shell = [] {
    Soup m;
    TriMesh t;
    std::string err;
    if (solid_mesh(apart_sheet(), 0.1, 1.0, t, err)) {
      for (const auto& p : t.v) m.xyz.insert(m.xyz.end(), p.begin(), p.end());
      for (const auto& f : t.f) {
        Face g;
        for (int k = 0; k < 3; ++k) g[k] = f[k];
        m.faces.push_back(g);
      }
    }
    return m;
  }();
  return solid ? shell : sheet;
}

void pairs_bench(benchmark::State& st, bool solid) {
  const Soup& m = soup(solid);
  if (m.faces.empty()) return st.SkipWithError("no solid");
  std::size_t n = 0;
  for (auto _ : st) n = crossing_pairs(m.xyz.data(), m.nov(), m.faces.data(), m.nos()).size();
  st.counters["faces"] = m.nos();
  st.counters["crossings"] = static_cast<double>(n);
}

void any_bench(benchmark::State& st, bool solid) {
  const Soup& m = soup(solid);
  if (m.faces.empty()) return st.SkipWithError("no solid");
  bool any = false;
  for (auto _ : st) any = any_crossing(m.xyz.data(), m.nov(), m.faces.data(), m.nos());
  st.counters["crossing"] = any;
}

void library_bench(benchmark::State& st, bool solid) {
  const Soup& m = soup(solid);
  std::vector<std::pair<int, int>> pairs;
  for (auto _ : st)
    if (!library_crossing_pairs(m.xyz.data(), m.nov(), m.faces.data(), m.nos(), pairs))
      return st.SkipWithError("not a halfedge mesh");
  st.counters["crossings"] = static_cast<double>(pairs.size());
}

void export_bench(benchmark::State& st, bool apart) {
  const Store& s = apart ? apart_sheet() : workload(Load::sewn);
  std::string bytes, err;
  bool made = false;
  for (auto _ : st) made = solid_bytes(s, MeshFormat::Stl, 0.1, 10.0, bytes, err);
  st.counters["written"] = made;
}

const bool registered = [] {
  for (bool solid : {false, true}) {
    const std::string on = solid ? "/apart_solid" : "/sewn_sheet";
    benchmark::RegisterBenchmark(("crossing_pairs" + on).c_str(), pairs_bench, solid)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("any_crossing" + on).c_str(), any_bench, solid)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("library_self_intersections" + on).c_str(), library_bench, solid)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("export_solid/sewn_sheet", export_bench, false)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("export_solid/apart_sheet", export_bench, true)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
