// One level of undo: a copy of positions, edges, targets and faces.
#pragma once

#include "model/store.h"

namespace brimoss {

// Takes the snapshot, replacing any earlier one.
void makecopy(Store& s);

// Puts the snapshot back and drops it; does nothing when there is none.
void undopaste(Store& s);

}  // namespace brimoss
