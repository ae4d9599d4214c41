// Keeping the sheet apart: while Store::apart.on, the relaxation carries
// contacts between parts of the surface that share no vertex, so that no
// motion of the program passes the sheet through itself.
//
// Each kept-apart pass takes the ordinary relaxation step, capped at half the
// clearance for every vertex, then pushes apart every vertex-face and
// side-side pair closer than the clearance (the side a vertex keeps of a face
// and the way two sides pass each other are taken from the positions before
// the step), and last puts back to where the pass began every vertex of a
// side that now crosses a face it did not cross before. The pass is settled
// when every edge with no end held by a contact or the guard is within
// tolerance; while contacts hold vertices, 20 passes count as settled.
#pragma once

#include "model/store.h"

namespace brimoss {

// Distance kept between elements that share no vertex, model units.
constexpr double kClearance = 0.5;
// Slack of the candidate lists: they are made again once a vertex has moved
// half of it.
constexpr double kContactMargin = 0.5;
// Ticks a paste may go without stepping on before it is given up.
constexpr int kPasteStallTicks = 60;

// Switches keeping apart on or off; either way the remembered positions and
// the counts of what was given up start afresh.
void set_keep_apart(Store& s, bool on);

// The kept-apart relaxation: modify() comes here while the setting is on.
bool modify_apart(Store& s);

// One kept-apart pass with the guard but without the contacts, not waiting
// for the surface to settle: the steps inside a spreading sweep, whose last
// relaxation keeps the clearance and settles the whole.
void relax_apart_once(Store& s);

// For tests: the faults in what the contacts hold. With every vertex where
// it was anchored (each nearer than half the margin), every
// vertex-face and side-side pair more than one edge apart within the
// clearance and the margin must be listed, and every side-face pair sharing
// no corner within the margin; every pair listed must be at least as far
// apart as the distance it is kept with, and looked at in every pass when
// that is near. 0 when the sheet is not kept apart. Looks at every pair:
// slow.
int contact_pairs_missing(Store& s);

// The user moved the sheet rigidly (spin, drag, mirror, a copy placed): what
// that leaves crossing is the user's, so the next relaxation takes the
// positions as they are rather than holding vertices back to the old ones.
void forget_apart_positions(Store& s);

// For the cell just appended at c (the last 7 vertices and faces): turns it
// about the axis through c along its chord and shrinks it towards c until it
// crosses no face of the surface, preferring the first size at which it keeps
// half the clearance. False, positions as appended, when no such placement
// was found.
bool place_new_cell_apart(Store& s, int c);

// Whether merging vertex b into vertex a (b's faces then meeting at a's
// place) would make b's fan cross the sheet where it does not now. The
// joining edge of a and b is the last edge and is left out.
bool merge_would_cross(Store& s, int a, int b);

// Whether side (a, b) passes through face f (a and b no corners of f), to
// within rounding.
bool side_crosses_face(const double* x, const double* y, const double* z, int a, int b,
                       const Face& f);

}  // namespace brimoss
