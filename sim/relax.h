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

// Whether the processor has the 256-bit vector instructions (AVX2) the fast
// passes use, and whether they are used: on by default where they exist. Both
// paths give the same positions to the bit; the switch is for tests and
// benchmarks, and asking for the vector path where it is missing keeps the
// scalar one.
bool relax_vector_supported();
bool relax_vector_path();
void set_relax_vector_path(bool on);

// Number of passes the last modify() ran (for tests and the batch tool).
int last_modify_passes();

// Moves the surface so that the mean of its vertices is the origin.
void offsetpolygon(Store& s);

}  // namespace brimoss
