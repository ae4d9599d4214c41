// Connected components: which piece of the surface each vertex belongs to.
#pragma once

#include "model/store.h"

namespace brimoss {

// Labels every vertex with its piece, numbered 1, 2, ... in the order of each
// piece's lowest vertex; sets NOcomp to one past the last label and clears the
// highlight of labels 0..NOcomp. Does nothing on a surface without vertices or
// without edges.
void fill_conn_comp(Store& s);

// Mean position of each piece's vertices, labelling first if no labelling has
// happened yet.
void fill_center_conn_comp(Store& s);

}  // namespace brimoss
