// Mirroring the surface in place, and adding a copy or a mirror image of it
// beside itself.
#pragma once

#include "model/store.h"

namespace brimoss {

// Reflects the surface in the plane x = 0 when no component is highlighted;
// otherwise reflects each highlighted component in the plane x = its own
// centre's x. Face orientation is kept so that every face shows the same side.
// Takes no snapshot: a second call undoes the first.
void mirror_image(Store& s);

// Why a copy cannot be added, or nullptr when it can: the store must have room
// for twice the vertices, four times the edges and six times the faces, and
// the copy's component numbers (the source's plus NOcomp) must all stay below
// MAXCONNCOMP.
const char* copy_refusal(const Store& s);

// Appends a copy of the whole surface 2.0 further along x (or, `mirrored`, its
// reflection in the plane x = 1.0), numbers the copy's components after the
// source's, and centres the result on the origin. Takes the undo snapshot.
// Returns false, changing nothing, when copy_refusal() gives a reason.
bool add_copy(Store& s, bool mirrored);

}  // namespace brimoss
