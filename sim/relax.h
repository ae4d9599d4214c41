// Edge relaxation: moves the vertices so that every edge approaches its
// target length.
#pragma once

#include "model/store.h"

namespace brimoss {

// One pass: every edge stored with its lower index first pulls or pushes its
// two ends by a fifth of its length error, all from the positions at the start
// of the pass. Edges of zero length are skipped, and a vertex whose new
// position would not be finite is left where it was.
void modifyonce(Store& s);

// Passes until every edge is within 0.05 of its target, at most 50 (touch
// perturbation on) or 10 passes plus one. True when the tolerance was met.
// Should the length errors grow instead of shrink (a vertex where so much
// stiffness meets that the plain step overshoots), the remaining passes hold
// each vertex's step back far enough that no error can grow.
bool modify(Store& s);

// The same without contacts, whatever the setting: modify while the sheet
// is not kept apart, and the kept-apart relaxation of a store whose edges or
// faces name vertices it does not have.
bool modify_plain(Store& s);

// Whether the processor has the 256-bit vector instructions (AVX2) the fast
// passes use, and whether a store's relaxation uses them: on by default where
// they exist. Both paths give the same positions to the bit; the switch is
// kept per store (Store::relaxation) for tests and benchmarks, and asking for
// the vector path where it is missing keeps the scalar one.
bool relax_vector_supported();
bool relax_vector_path(const Store& s);
void set_relax_vector_path(Store& s, bool on);

// Number of passes the store's last modify() ran, 1 to 51 (0 before the
// first); modify records it in Store::relaxation.
int last_modify_passes(const Store& s);

// Moves the surface so that the mean of its vertices is the origin.
void offsetpolygon(Store& s);

}  // namespace brimoss
