// Working arrays of the algorithms that need more than a few locals. Each
// algorithm has its own set, used by no other, so one cannot leave another's
// numbers behind; all of them are sized to the capacities and live in the
// store (Store::scratch), so that nothing allocates during a pass or a tick.
// Outside its algorithm's call a set means nothing, except the relaxation's
// walk, which is kept together with what it was made from.
#pragma once

#include <array>
#include <cstdint>

#include "model/mesh.h"

static_assert(brimoss::MAXNOV <= 65536 && 3 * brimoss::MAXNOS <= 65536,
              "the contacts keep vertex and side numbers in 16 bits");

namespace brimoss {

// The relaxation, sim/relax.cpp.
struct RelaxScratch {
  // The walk: the movable edges (first < second) in the order a scan over all
  // vertex pairs meets them, and the other edges apart.
  struct Step {
    int j, k, l;
  };
  std::array<Step, MAXNOE> walk{};
  std::array<int, MAXNOE> fixed{};
  // What the walk was made from: the vertex count (its per-vertex runs cover
  // exactly that many vertices) and the edge list. Passes while both are
  // unchanged reuse the walk; -1 means no walk has been made.
  std::array<Edge, MAXNOE> edges{};
  int noe = -1, nov = -1;
  int moving = 0, nfixed = 0;  // walk edges, fixed edges
  // The two counting sorts that make the walk.
  std::array<int, MAXNOV + 1> count{};
  std::array<int, MAXNOE> tmp{};
  // For the vector passes: the same walk by columns (offsets 4 * j and 4 * k
  // of the lower and upper end's rows, and the edge), followed by the edges
  // that do not move (ends as stored); for each vertex, where its run of walk
  // edges as lower end starts, and its walk edges as upper end (offsets 4 * n
  // of their pulls, in walk order, from in_start[v]); the targets and lengths
  // in walk order (and the lengths the tolerance check took from the
  // positions the next pass starts from); and rows of four doubles (x, y, z,
  // unused): the positions, each vertex's sum of pulls and each walk edge's
  // pull.
  std::array<std::uint32_t, MAXNOE> j{}, k{};
  std::array<int, MAXNOE> l{};
  std::array<int, MAXNOV + 1> out_start{}, in_start{};
  std::array<std::uint32_t, MAXNOE> in{};
  alignas(32) std::array<double, MAXNOE> phi{}, len{}, next_len{};
  alignas(32) std::array<double, 4 * MAXNOV> pos{};
  alignas(32) std::array<double, 4 * MAXNOV> sum{};
  alignas(32) std::array<double, 4 * MAXNOE> pull{};
  // Stiffness meeting at each vertex, for the held-back step.
  std::array<double, MAXNOV> stiffness{};
};

// The spreading sweep, sim/spread.cpp.
struct SpreadScratch {
  // The faces on each edge: the first in face order, the last later one, -1
  // where there is none.
  std::array<int, MAXNOE> s1{}, s2{};
  // The corner pairs of every face and the edges, both sorted by vertex pair,
  // and the counts of the counting sorts that sort them.
  std::array<int, 3 * MAXNOS> pairs{}, pairs_tmp{};
  std::array<int, MAXNOE> edges_sorted{};
  std::array<int, MAXNOV + 1> count{};
};

// The labelling of connected components, model/components.cpp.
struct ComponentScratch {
  // Each vertex's neighbours, in compressed rows: adj[start[v] .. start[v+1]).
  std::array<int, 2 * MAXNOE> adj{};
  std::array<int, MAXNOV + 1> start{};
  std::array<int, MAXNOV> fill{};   // where the next neighbour of each row goes
  std::array<int, MAXNOV> queue{};  // the breadth-first walk
};

// The paste check and merge, copy/paste.cpp.
struct PasteScratch {
  // Edges to either of the two vertices, per vertex (the common neighbour).
  std::array<int, MAXNOV> neighbours{};
  // The counting sort that finds repeated edges after a merge: the counts,
  // the edges sorted by second end, then by both, and later the drop marks.
  std::array<int, MAXNOV + 1> count{};
  std::array<int, MAXNOE> tmp{}, order{};
};

// Keeping the sheet apart, sim/contacts.cpp. Everything here is made again
// from the surface when it is found out of date.
struct ContactScratch {
  static constexpr int kCells = 4096;         // grid cells over the sheet's box
  static constexpr int kFacePairs = 1 << 14;  // vertex-face pairs
  static constexpr int kSidePairs = 1 << 15;  // side-side pairs
  static constexpr int kGuard = 1 << 12;      // side-face pairs the guard watches
  static constexpr int kNear = 1 << 12;       // pairs of each kind measured every pass
  // The edges and faces everything below was made from; -1: none made.
  std::array<Edge, MAXNOE> edges{};
  std::array<Face, MAXNOS> faces{};
  int nov = -1, noe = -1, nos = -1;
  // Each vertex's neighbours along any edge (the joining edge of a paste
  // included), and its faces, in compressed rows.
  std::array<int, MAXNOV + 1> nb_start{};
  std::array<int, 2 * MAXNOE> nb{};
  std::array<int, MAXNOV + 1> vface_start{};
  std::array<std::uint16_t, 3 * MAXNOS> vface{};
  // The sides of the faces, each once, in the order the faces first name
  // them (ends as 16 bits, which hold any vertex), and each vertex's sides.
  struct Side {
    std::uint16_t first = 0, second = 0;
    operator Edge() const { return Edge{first, second}; }
  };
  std::array<Side, 3 * MAXNOS> side{};
  int nside = 0;
  std::array<int, MAXNOV + 1> vs_start{};
  std::array<std::uint16_t, 6 * MAXNOS> vs{};
  std::array<int, 3 * MAXNOS> tmp{};
  // The grid the pairs are searched on, made from the anchored positions
  // (bx, by, bz): its low corner, its cells' side and their number along
  // each axis (in rows along z); the vertices by their cell, the sides and
  // faces by the cell of their box's low corner; and the largest extent of a
  // side's and of a face's box along each axis.
  double grid_lo[3] = {0, 0, 0}, grid_cell = 1;
  int grid_n[3] = {1, 1, 1};
  std::array<int, kCells + 1> v_start{}, s_start{}, f_start{};
  std::array<std::uint16_t, MAXNOV> v_in_cell{};
  std::array<std::uint16_t, 3 * MAXNOS> s_in_cell{};
  std::array<std::uint16_t, MAXNOS> f_in_cell{};
  double side_extent[3] = {0, 0, 0}, face_extent[3] = {0, 0, 0};
  // Marks the vertices a search leaves out (an element's own and its
  // neighbours).
  std::array<int, MAXNOV> mark{};
  int mark_id = 0;
  // The vertices whose elements are being searched again, and each vertex's
  // place among them (from 1; 0: not among them).
  std::array<int, MAXNOV> batch{}, batch_at{};
  int nbatch = 0;
  // Whether the lists are made. Where each vertex was anchored when the
  // pairs of its elements were last searched for: the lists hold every pair
  // nearer than the reach with each vertex there.
  bool built = false;
  std::array<double, MAXNOV> bx{}, by{}, bz{};
  // Where each vertex's pairs were last measured from, and how far it is
  // from there (as of the last look); a vertex kRecheck from there is
  // measured from where it is.
  std::array<double, MAXNOV> kx{}, ky{}, kz{};
  std::array<float, MAXNOV> kd{};
  // The vertices the contacts or the guard moved since the last look at
  // every vertex, and whether each is among them.
  std::array<int, MAXNOV> stirred{};
  int nstirred = 0;
  std::array<char, MAXNOV> is_stirred{};
  // The vertices the contacts pushed in this pass, and whether each is among
  // them (their pushes are added up in fx, fy, fz, zero for the rest).
  std::array<int, MAXNOV> pushed{};
  int npushed = 0;
  std::array<char, MAXNOV> is_pushed{};
  // The vertices that had moved far enough from the start of the pass, when
  // the contacts looked, that a push could take them the clearance from it.
  std::array<int, MAXNOV> far{};
  int nfar = 0;
  // Positions at the start of the pass.
  std::array<double, MAXNOV> px{}, py{}, pz{};
  // Each vertex's contact push in this pass, and whether a contact or the
  // guard held it.
  std::array<double, MAXNOV> fx{}, fy{}, fz{};
  std::array<char, MAXNOV> held{};
  // Candidates: vertex against face and side against side within the
  // clearance and the margin, and sides against faces within the margin
  // (the only pairs that can cross before they are searched for again), each
  // with the least its distance can be between the measured positions (kx,
  // ky, kz), and whether it is on its kind's near list.
  std::array<std::uint16_t, kFacePairs> vf_v{}, vf_f{};
  std::array<float, kFacePairs> vf_d{};
  std::array<char, kFacePairs> vf_near{};
  int nvf = 0;
  std::array<std::uint16_t, kSidePairs> ee_a{}, ee_b{};
  std::array<float, kSidePairs> ee_d{};
  std::array<char, kSidePairs> ee_near{};
  int nee = 0;
  std::array<std::uint16_t, kGuard> g_e{}, g_f{};
  std::array<float, kGuard> g_d{};
  std::array<char, kGuard> g_near{};
  int ng = 0;
  // Each vertex's vertex-face and side-face pairs (as vertex, corner or
  // end), and each side's side-side pairs, in compressed rows (those of the
  // sides in 16 bits: there are fewer than kSidePairs side pairs).
  std::array<int, MAXNOV + 1> vf_at{}, g_at{};
  std::array<std::uint16_t, 3 * MAXNOS + 1> ee_at{};
  std::array<std::uint16_t, 4 * kFacePairs> vf_of{};
  std::array<std::uint16_t, 2 * kSidePairs> ee_of{};
  std::array<std::uint16_t, 5 * kGuard> g_of{};
  // The pairs close enough at their measured positions to come within reach
  // (or to cross) before one of their vertices is measured again.
  std::array<std::uint16_t, kNear> near_vf{}, near_ee{}, near_g{};
  int nnear_vf = 0, nnear_ee = 0, nnear_g = 0;
  // False when a near list was full: every pair is then measured every pass
  // until the lists are made again.
  bool tracked = false;
  // Whether every edge and face names vertices of the surface (checked when
  // they change): the contacts are kept only on a sound surface.
  bool sound = false;
  bool overflow = false;  // a list was full: the guard then checks every pair it can
  int rebuilds = 0;       // lists made afresh since the store was created
  int searches = 0;       // vertices whose elements were searched again since
  // What the user left crossing. The sheet is in parts: the pieces it was in
  // when they were last looked at, each vertex's followed through growth,
  // pastes and merges (kNoPart: not known yet), so that two crossing pieces
  // pasted together stay two parts. Parts that pass through each other are
  // tangled: each of at most kTangled has a slot, and bit b of
  // tangle_mask[a] says slots a and b cross; tangle[v] is v's part's slot, or
  // -1. No pair of elements lying in two parts that cross is kept apart or
  // guarded. Looked at again when `tangle_stale`: after the user moved the
  // sheet or the surface changed in a way not followed.
  static constexpr std::uint16_t kNoPart = 0xffff;
  static constexpr int kTangled = 64;
  static constexpr int kCrossedParts = 256;  // crossing part pairs noted in a look
  std::array<std::uint16_t, MAXNOV> part{};
  std::array<int, MAXNOV> part_root{};
  std::array<std::int8_t, MAXNOV> tangle{}, tangle_new{};
  std::uint64_t tangle_mask[kTangled] = {}, tangle_mask_new[kTangled] = {};
  std::array<std::uint16_t, 2 * kCrossedParts> crossed{};
  int ncrossed = 0;
  int ntangled = 0;  // parts with a slot
  bool tangle_stale = true;
  int tangle_looks = 0;  // looks since the store was created
};

struct Scratch {
  RelaxScratch relax;
  SpreadScratch spread;
  ComponentScratch components;
  PasteScratch paste;
  ContactScratch contacts;
};

}  // namespace brimoss
