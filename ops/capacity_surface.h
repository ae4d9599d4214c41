// A surface that fills the store exactly: 1000 vertices, 3000 edges and 6000
// faces, as surface-file text. The tests and the benchmarks use it to run
// every routine at the store's full size.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss {

// A torus of 25 x 40 vertices, each grid square cut into two triangles, every
// triangle listed three times (its corners rotated by one place each time, so
// the three copies face the same way). Every edge therefore lies on six
// faces. Edges round the tube are kind a, the rest kind b. One piece, all
// edges lower index first; coordinates written with five decimals.
std::string capacity_surface_text();

// Opens that text as File > Open would (relaxes, labels, starts the twinkle).
void build_capacity_surface(Store& s);

}  // namespace brimoss
