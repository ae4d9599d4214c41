// Where a sheet, or a closed shell made of it, passes through itself: the
// pairs of faces that meet anywhere other than at the corners or along the
// edge they share. Decided with exact predicates (no tolerance), so a touch is
// a touch however small, and two faces a hair apart do not meet.
#pragma once

#include <utility>
#include <vector>

#include "model/mesh.h"
#include "model/store.h"

namespace brimoss {

// Face pairs (i < j) that meet other than at a shared corner or along a shared
// edge. Faces sharing one corner still cross if they meet beyond it; faces
// sharing an edge cross if they fold flat onto each other; two faces on the
// same three corners always do. A face whose three distinct corners lie on one
// line has no area and no side to offset: it is reported once, as the pair
// (i, i), and left out of the other tests. Faces with a repeated corner index,
// or a corner that is not finite or not below `nov`, are no faces at all and
// are skipped. Sorted.
std::vector<std::pair<int, int>> crossing_pairs(const double* xyz /*3 per vertex*/, int nov,
                                                const Face* faces, int nos);

// Whether there is any such pair; stops at the first.
bool any_crossing(const double* xyz, int nov, const Face* faces, int nos);

// The same on the store's sheet (its NOV vertices and NOS faces).
int count_crossings(const Store& s);
bool any_crossing(const Store& s);

// The mesh library's own self-intersection test on the same faces, made into a
// halfedge mesh, to hold the check above against. False when the faces do not
// make such a mesh (an edge on three faces, faces that run the same way along
// their edge, a vertex where separate fans meet) or a face is skipped above.
bool library_crossing_pairs(const double* xyz, int nov, const Face* faces, int nos,
                            std::vector<std::pair<int, int>>& out);

}  // namespace brimoss
