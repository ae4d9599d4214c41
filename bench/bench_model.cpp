// Component labelling (against the recursive, edge-scanning flood), and
// opening and saving a surface file of the store's full size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bench/workloads.h"
#include "model/components.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "testing/literal.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

template <void (*Label)(Store&)>
void label_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    Label(*s);
    benchmark::DoNotOptimize(s->NOcomp);
  }
  st.counters["vertices"] = s->NOV;
  st.counters["edges"] = s->NOE;
}

std::string temp_path(const char* stem) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/" + stem + "-" + std::to_string(getpid()) +
         ".brm";
}

// Open: read the file, check and parse it, relax, label.
void open_bench(benchmark::State& st, Load w) {
  const std::string path = temp_path("brimoss-bench-open");
  std::string err;
  if (!save_surface_file(workload(w), path, err)) {
    st.SkipWithError(err.c_str());
    return;
  }
  auto s = make_store();
  for (auto _ : st) {
    if (!open_surface_file(*s, path, err)) {
      st.SkipWithError(err.c_str());
      break;
    }
    benchmark::DoNotOptimize(s->NOV);
  }
  std::remove(path.c_str());
  st.counters["faces"] = s->NOS;
}

// Save: compose the text, write it to a temporary file, flush it to disk and
// rename it over the target.
void save_bench(benchmark::State& st, Load w) {
  const std::string path = temp_path("brimoss-bench-save");
  const Store& s = workload(w);
  std::string err;
  for (auto _ : st)
    if (!save_surface_file(s, path, err)) {
      st.SkipWithError(err.c_str());
      break;
    }
  std::remove(path.c_str());
  st.counters["faces"] = s.NOS;
}

// The text alone, without the disk.
void compose_bench(benchmark::State& st, Load w) {
  const Store& s = workload(w);
  for (auto _ : st) benchmark::DoNotOptimize(surface_text(s).size());
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("fill_conn_comp", w, "fast", label_bench<fill_conn_comp>)->Unit(benchmark::kMicrosecond);
    add("fill_conn_comp", w, "literal", label_bench<testing::literal_fill_conn_comp>)
        ->Unit(benchmark::kMicrosecond);
  }
  add("file_open", Load::capacity, "fast", open_bench)->Unit(benchmark::kMillisecond);
  add("file_save", Load::capacity, "fast", save_bench)->Unit(benchmark::kMillisecond);
  add("file_text", Load::capacity, "fast", compose_bench)->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
