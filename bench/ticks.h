// The timer's animations as the tick benchmarks drive them: how each is
// started and whether it is still running.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "bench/workloads.h"
#include "model/store.h"
#include "ops/tick.h"

namespace brimoss::bench {

struct Branch {
  const char* name;
  TickBranch kind;
  void (*arm)(Store&);
  bool (*running)(const Store&);
};

// perturb (a 49-tick wave at the current vertex), spin (49 ticks), twinkle
// (one tick per face), sway (15 ticks), paste (two border vertices a little
// over an edge apart, to the merge) and idle.
extern const Branch kBranches[6];

// Registers tick_<branch><suffix> for every branch on the grown and capacity
// surfaces: the animation runs on from tick to tick as in the window, each
// tick followed by `after` (what the tick's repaint does), and starts again
// from the same state when it ends, so the mean covers a whole animation;
// worst_ms is the slowest single tick seen. A benchmark is skipped when
// `ready` (if given) says it cannot run.
void add_tick_benches(const std::string& suffix, void (*after)(Store&), bool (*ready)() = nullptr);

}  // namespace brimoss::bench
