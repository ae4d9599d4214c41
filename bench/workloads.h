// The benchmarks' view of the workloads (testing/workloads.h): each built once
// per run and shared, and the naming that pairs a fast form with its literal
// reference (testing/literal.h; the core tests check that the two agree on
// these same workloads).
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "model/store.h"
#include "testing/workloads.h"

namespace brimoss::bench {

using testing::kCanvasHeight;
using testing::kCanvasWidth;
using testing::Load;
using testing::load_name;

// The workload as testing::build_workload makes it, built on first use.
const Store& workload(Load w);

// Two vertices of `s` that a paste accepts, a little over an edge apart, so
// that the paste runs through a dozen or more steps. False when there are none.
bool find_paste_pair(const Store& s, int* i, int* j);

// Registers `fn` as "<name>/<workload>/<form>" (form "fast" or "literal"),
// the naming the ratio table at the end pairs up.
benchmark::internal::Benchmark* add(const std::string& name, Load w, const char* form,
                                    std::function<void(benchmark::State&, Load)> fn);

}  // namespace brimoss::bench
