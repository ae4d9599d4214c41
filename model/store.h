// The surface store: the one home of the surface and of the state that the
// commands, the mouse, the timer and the drawing share. Every array is sized to
// its capacity when the store is created and is never resized, so nothing on
// the animation path allocates.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

#include "model/mesh.h"
#include "model/scratch.h"
#include "model/undo.h"

namespace brimoss {

// The program's own pi; every degree conversion goes through it, so the target
// lengths below are not the sines of the exact angles.
constexpr double mypi = 3.141592653;

// Target lengths of the two edge kinds and the threshold that tells them apart
// when a surface is written back.
double phi_a();      // sin(mypi / 180 * 54)
double phi_b();      // sin(mypi / 180 * 63)
double phi_split();  // sin(mypi / 180 * 60)

// How the relaxation runs, and how its last run went (sim/relax.cpp).
struct RelaxState {
  bool scalar_only = false;  // keep off the vector passes even where they exist
  int passes = 0;            // passes the last modify ran: 1 to 51, 0 before the first
};

// Keeping the sheet apart (sim/contacts.cpp): the setting and what has to
// outlast one relaxation.
struct ApartState {
  bool on = false;  // Sway > Keep the sheet apart; off: every motion as it always was
  // Positions the last kept-apart relaxation left, free of new crossings;
  // whatever moved a vertex since (a sway push, a paste's lift, the wave, a
  // pull) is checked against them. Forgotten when the user moves the sheet
  // rigidly or the surface changes.
  bool ref_valid = false;
  int ref_nov = 0;
  std::array<double, MAXNOV> rx{}, ry{}, rz{};
  // The running paste: ticks since it last stepped on, and the positions
  // when it began, to go back to if it is given up.
  int paste_stall = 0;
  int paste_nov = 0;
  std::array<double, MAXNOV> sx{}, sy{}, sz{};
  // Pastes given up since the setting was last switched on (the grower counts
  // the cells it gives up itself).
  int pastes_given_up = 0;
};

struct Store {
  // Counters.
  int NOV = 0;     // vertices in use, 0..MAXNOV; vertices are 0..NOV-1
  int NOE = 0;     // edges in use, 0..MAXNOE
  int NOS = 0;     // faces in use, 0..MAXNOS
  int NOcomp = 0;  // one past the highest component number given out; numbers start at 1
  bool filledconn_comp = false;  // set by the first labelling, never cleared

  // Vertices, MAXNOV each; entries from NOV on mean nothing.
  std::array<double, MAXNOV> x{}, y{}, z{};  // position in model units; z grows away from the eye
  std::array<double, MAXNOV> dx{}, dy{}, dz{};  // a relaxation pass's step; meaningless outside it
  std::array<int, MAXNOV> gx{}, gy{};   // pixel position in the last drawing, for the hit test
  std::array<int, MAXNOV> conn_comp{};  // component number; 0 until a labelling reaches the vertex

  // Edges, MAXNOE each.
  std::array<Edge, MAXNOE> edge{};   // end vertices; only first < second is moved by relaxing
  std::array<double, MAXNOE> phi{};  // target length: phi_a(), phi_b(), or between while joining
  std::array<double, MAXNOE> edgelength{};  // length at the start of the last relaxation pass

  // Faces, MAXNOS each.
  std::array<Face, MAXNOS> face{};      // corners; their order decides the front side
  std::array<double, MAXNOS> center{};  // mean corner z at the last drawing (its depth key)
  std::array<int, MAXNOS> order{};      // order[k]: the face drawn k-th at the last drawing

  // Components, MAXCONNCOMP each, by component number.
  std::array<bool, MAXCONNCOMP> hilighted{};  // outlined in white; spins and mirrors alone
  std::array<double, MAXCONNCOMP> comp_centerx{}, comp_centery{},
      comp_centerz{};  // mean vertex position, from fill_center_conn_comp

  // The undo slot: the surface as the last change that takes a snapshot
  // found it (model/undo.h).
  UndoSnapshot undo;

  // View and interaction settings.
  double g_rate = 100.0;                  // zoom: pixels per model unit
  int g_centerx = 320, g_centery = 220;   // pixel of the model origin; half the canvas size
  double g_hangle = 0.0, g_vangle = 0.0;  // spin per tick in radians, set by a flick
  int g_rotate = 0;                       // spin ticks done, 0 = no spin
  int g_purturb = 1;                      // perturbation wave's step, 0 = none
  int g_purtj = 1;            // the current vertex: last touched; may be past NOV after a removal
  bool touch_purturb = true;  // touching starts a wave; relaxing may run 50 passes, not 10
  int g_buru = 0;             // sway ticks still to run
  int g_twincle = 0;          // drawing position of the lit face, 0 = no twinkle
  int g_pasteevent = 0;       // step of the join in progress, 0 = none
  int g_paste_i1 = 0, g_paste_i2 = 0;      // the two vertices being joined, lower index first
  double g_norme = 0.0;                    // their distance when the join began, model units
  int g_pastestep = 0;                     // steps the join takes in all
  int g_dragpointx = 0, g_dragpointy = 0;  // pointer pixel a drag last moved from
  int g_dragcomponent = 0;                 // component under a right drag, 0 = none
  int g_Lmousedown = 0, g_Rmousedown = 0;  // buttons held (1) or not (0)
  char messagetxt[256] = {0};              // status line, NUL-terminated

  // Changes the user's commands made to the surface (growth, removal, pulls,
  // pastes, copies, mirroring, sways, undo, appending), and their number when
  // the surface was last opened, loaded or saved: the window asks before it
  // drops a surface that differs from its file.
  unsigned edits = 0, edits_saved = 0;

  // Colours, one int per channel, 0..255.
  int basecolR = 255, basecolG = 0, basecolB = 128;      // front faces
  int backcolR = 0, backcolG = 255, backcolB = 127;      // back faces
  int modifycolR = 0, modifycolG = 255, modifycolB = 0;  // mixed into fronts at g_purtj
  int backmodifycolR = 255, backmodifycolG = 0, backmodifycolB = 255;  // and into backs
  int bgcolR = 255, bgcolG = 255, bgcolB = 255;                        // background

  RelaxState relaxation;
  ApartState apart;  // keeping the sheet apart: the setting and its state

  // The algorithms' working arrays, one set each (model/scratch.h).
  Scratch scratch;
};

// A fresh store in the state the program has before start-up code runs.
std::unique_ptr<Store> make_store();

// Puts a store back into that state without reallocating it.
void reset_store(Store& s);

// The program's one store, created on first use.
Store& the_store();

// The colour mixed into the faces round the current vertex: the front's or
// the back's, one int per channel.
inline std::array<int, 3> marking_colour(const Store& s, bool front) {
  if (front) return {s.modifycolR, s.modifycolG, s.modifycolB};
  return {s.backmodifycolR, s.backmodifycolG, s.backmodifycolB};
}

// Writes the status line; the text is cut to fit.
void set_message(Store& s, const char* text);

// Ends a running paste where it stands: the joining edge stays as an ordinary
// edge with the target it has reached, and no later tick touches the surface.
// Every operation that replaces the surface or renumbers or appends vertices
// or edges calls this first, since the paste refers to its joining edge and its
// pair by position. Does nothing when no paste runs.
void end_paste(Store& s);

}  // namespace brimoss
