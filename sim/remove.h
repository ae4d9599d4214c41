// Removing and pulling the current vertex.
#pragma once

#include "model/store.h"

namespace brimoss {

// Cuts vertex g_purtj out with every edge and face that uses it, keeping the
// order of what remains and lowering every index above it by one. Takes the
// undo snapshot first. False (nothing changed) when g_purtj is no vertex.
// g_purtj stays, so it names the vertex that took the removed one's place.
bool removevertex(Store& s);

// Lowers vertex g_purtj by 0.3 along z and relaxes. No undo snapshot. False
// (nothing changed) when g_purtj is no vertex.
bool pullpoint(Store& s);

}  // namespace brimoss
