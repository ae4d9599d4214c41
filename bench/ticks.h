// The timer's animations as the tick benchmarks drive them: how each is
// started and whether it is still running.
#pragma once

#include "model/store.h"
#include "view/tick.h"

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

}  // namespace brimoss::bench
