// The rules every operation keeps about the store, checked in one place for
// the tests, the fuzzer and long-running soak runs.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss {

// True when the counts lie within the capacities, every edge and face index
// names a vertex in use, every coordinate and target length is finite, every
// used vertex's component number and NOcomp lie within the per-component
// tables, and the undo snapshot obeys the same rules for its own counts.
// Otherwise false, with the first broken rule in `why` (when given).
// While a paste runs, its pair is two vertices in use, lower index first, its
// joining edge is the last edge, and its step lies within its step count; the
// zoom, the spin rates and the status line are sane.
bool check_invariants(const Store& s, std::string* why = nullptr);

// The stricter rule that every surface the program makes itself keeps, live
// and in the snapshot: each edge runs from its lower to its higher vertex
// index (no loops) and no two edges are equal. A surface file may break it
// and still be read, so check_invariants does not ask for it.
bool check_edges_ordered(const Store& s, std::string* why = nullptr);

}  // namespace brimoss
