#include "bench/workloads.h"

#include <cmath>
#include <memory>

#include "copy/paste.h"

namespace brimoss::bench {

const Store& workload(Load w) {
  static std::unique_ptr<Store> made[static_cast<int>(Load::tangled) + 1];
  auto& slot = made[static_cast<int>(w)];
  if (!slot) {
    slot = make_store();
    testing::build_workload(*slot, w);
  }
  return *slot;
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
