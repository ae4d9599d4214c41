// Spreading: opens creases by pushing apart the vertices opposite sharply
// folded interior edges, then relaxing.
#pragma once

#include "model/store.h"

namespace brimoss {

// The faces on edge e: *s1 the first in face order, *s2 the last later one;
// -1 where there is none.
void getsurface(const Store& s, int e, int* s1, int* s2);

// One sweep over all edges.
void spread(Store& s);

}  // namespace brimoss
