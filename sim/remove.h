// Removing and pulling the current vertex.
#pragma once

#include "model/store.h"

namespace brimoss {

// Cuts vertex g_purtj out with every edge and face that uses it, keeping the
// order of what remains and lowering every index above it by one. Takes the
// undo snapshot first. False (nothing changed) when g_purtj is no vertex.
// g_purtj stays, so it names the vertex that took the removed one's place.
bool removevertex(Store& s);

// Lowers vertex g_purtj by 0.3 along z and relaxes. No undo snapshot. The
// surface is relaxed even when g_purtj is no vertex (after a removal); the
// lowering then goes to its unused slot if it lies within the capacity, and
// nowhere otherwise. False when g_purtj was no vertex.
bool pullpoint(Store& s);

}  // namespace brimoss
