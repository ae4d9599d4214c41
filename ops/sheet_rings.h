// Which ring of the sheet a growth is in, read off the surface itself, so
// that the count goes on across stops, Undo and files opened again.
#pragma once

#include "model/store.h"

namespace brimoss::ops {

// The rings of cells the sheet has closed round its middle: the most steps,
// cell to neighbouring cell, from any cell to the nearest cell on the border.
// A cell is a vertex with seven faces all round it; two cells neighbour when
// they share a corner. 0 for a lone cell, or a surface without cells. While a
// ring is being grown it is not yet counted: its cells and the cells still
// uncovered are both on the border.
int sheet_rings(const Store& s);

}  // namespace brimoss::ops
