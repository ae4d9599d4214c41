// Spreading: opens creases by pushing apart the vertices opposite sharply
// folded interior edges, then relaxing.
#pragma once

#include "model/store.h"

namespace brimoss {

// The faces on edge e: *s1 the first in face order, *s2 the last later one;
// -1 where there is none. A face is on the edge when two of its corners are
// the edge's two endpoints, in either order. Scans every face.
void getsurface(const Store& s, int e, int* s1, int* s2);

// What getsurface gives for every edge at once, into s.scratch.spread.s1 and
// s2, in time linear in the edges and faces.
void build_edge_faces(Store& s);

// One sweep over all edges.
void spread(Store& s);

}  // namespace brimoss
