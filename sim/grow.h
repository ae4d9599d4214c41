// Growth: adds a seven-triangle cell at the current vertex.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss {

// Whether a cell can be added at vertex c: c lies on 2 or 4 faces whose fan
// chains, the chord across the fan is not zero, and the store has room.
bool can_grow_at(const Store& s, int c);

// Why no cell can be added at vertex c, in words for the user ("no cell fits
// at vertex 12: it is on 3 faces", "store full: 993 vertices"); empty when
// can_grow_at(s, c).
std::string why_no_cell(const Store& s, int c);

// The vertices a cell grown at vertex c adds beside c, for a store that had
// nov vertices before the cell: the cell's two faces at c are
// (c, after, centre) and (before, c, centre), so round c they go from `after`
// through `centre` to `before`.
struct GrownCell {
  int after, before, centre;
};
constexpr GrownCell grown_cell(int nov) { return {nov, nov + 5, nov + 6}; }

// Everything addnewpolygon does except the final relaxation: takes the undo
// snapshot and appends the cell at g_purtj. False (and nothing changed) when
// no cell fits there.
bool attach_new_cell(Store& s);

// Grows one cell at g_purtj and relaxes the surface; false when the cell does
// not fit, in which case nothing changes, not even the undo snapshot.
bool addnewpolygon(Store& s);

// Grows up to n cells, each at the lowest-numbered vertex that takes one
// (which becomes g_purtj). Returns how many cells were added.
int grow_border(Store& s, int n);

}  // namespace brimoss
