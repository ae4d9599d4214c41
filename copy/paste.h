// Joining two border vertices into one over several timer ticks.
#pragma once

#include "model/store.h"

namespace brimoss {

// Whether vertex i can be joined to vertex j; on success stores the pair.
bool pasteverticesP(Store& s, int i, int j);

// Prepares the stored pair: distance, step count, joining edge.
void pastevertices1(Store& s);

// One paste tick.
void pastevertices2(Store& s);

// Merges the pair and ends the paste.
void pastevertices3(Store& s);

}  // namespace brimoss
