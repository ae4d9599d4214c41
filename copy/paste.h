// Joining two border vertices into one over several timer ticks: a temporary
// joining edge is appended and its target shrinks step by step while the
// surface relaxes; at the end the higher vertex is merged into the lower one.
#pragma once

#include "model/store.h"

namespace brimoss {

// Why a pair was refused, in the order the rules are tested.
enum class PasteCheck {
  ok,
  no_such_vertex,       // an index outside 0..NOV-1
  same_vertex,          // i == j
  bad_corners,          // i or j is not a corner of exactly 2 or 4 faces
  already_joined,       // an edge joins i and j
  neighbour_corners,    // their common neighbour is not a corner of 4 or 6 faces
  neighbour_on_border,  // their common neighbour has 4 faces in an open fan
  no_room,              // no room for the joining edge
};

// A short English explanation of a refusal.
const char* paste_check_text(PasteCheck c);

// Tests whether vertex i can be joined to vertex j, relabelling the components
// first when the two carry different labels. On success stores the pair (lower
// index in g_paste_i1).
PasteCheck paste_check(Store& s, int i, int j);

// The same as a yes/no answer.
bool pasteverticesP(Store& s, int i, int j);

// Prepares the stored pair: distance, step count, joining edge.
void pastevertices1(Store& s);

// One paste tick: sets the joining edge's target for the current step,
// lifts g_paste_i1, spreads and relaxes; moves to the next step once the
// relaxation settles and merges after the last step.
void pastevertices2(Store& s);

// Ends the running paste unmade, kept apart, when the sheet blocks it: the
// positions go back to where the paste began, the joining edge goes, the
// count of given-up pastes rises and the status line says why.
void give_up_paste(Store& s);

// Merges g_paste_i2 into g_paste_i1 and ends the paste.
void pastevertices3(Store& s);

// What a left-button release over vertex i does while j is the current vertex:
// checks the pair and, if it passes, starts the paste (stops the perturbation
// and the spin, takes the undo snapshot, writes the status line and appends
// the joining edge). A paste already running is left behind with its joining
// edge as an ordinary edge. Repainting is the caller's. `why`, when given,
// receives the outcome of the check.
bool start_paste(Store& s, int i, int j, PasteCheck* why = nullptr);

}  // namespace brimoss
