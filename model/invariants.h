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
bool check_invariants(const Store& s, std::string* why = nullptr);

}  // namespace brimoss
