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
  static constexpr int kBuckets = 4096;   // hashed grid cells (a power of two)
  static constexpr int kPairs = 1 << 15;  // contact pairs of either kind
  static constexpr int kGuard = 1 << 12;  // guarded edge-face pairs
  // The edges and faces the lists below were made from; -1: none made.
  std::array<Edge, MAXNOE> edges{};
  std::array<Face, MAXNOS> faces{};
  int nov = -1, noe = -1, nos = -1;
  // Each vertex's neighbours along any edge (the joining edge of a paste
  // included), in compressed rows.
  std::array<int, MAXNOV + 1> nb_start{};
  std::array<int, 2 * MAXNOE> nb{};
  // The sides of the faces, each once, and each vertex's sides.
  std::array<Edge, 3 * MAXNOS> side{};
  int nside = 0;
  std::array<int, MAXNOV + 1> vs_start{};
  std::array<int, 6 * MAXNOS> vs{};
  std::array<int, 3 * MAXNOS> tmp{};
  // Marks that keep a side from being met twice in one search.
  std::array<int, 3 * MAXNOS> stamp{};
  int stamp_id = 0;
  // The vertices by grid cell: a chain per bucket.
  std::array<int, kBuckets> head{};
  std::array<int, MAXNOV> next{};
  std::array<int, MAXNOV> ci{}, cj{}, ck{};  // each vertex's cell
  // Positions the candidate lists were made at; none while built is false.
  bool built = false;
  std::array<double, MAXNOV> bx{}, by{}, bz{};
  // Positions at the start of the pass.
  std::array<double, MAXNOV> px{}, py{}, pz{};
  // Each vertex's contact push in this pass, and whether a contact or the
  // guard held it.
  std::array<double, MAXNOV> fx{}, fy{}, fz{};
  std::array<char, MAXNOV> held{};
  // Candidates: vertex against face and side against side within the
  // clearance and the margin, and sides against faces within the margin
  // (the only pairs that can cross before the next rebuild).
  std::array<std::uint16_t, kPairs> vf_v{}, vf_f{}, ee_a{}, ee_b{};
  int nvf = 0, nee = 0;
  std::array<std::uint16_t, kGuard> g_e{}, g_f{};
  int ng = 0;
  // Each pair's distance when the lists were made; the lists are sorted by
  // it in 64 coarse steps, so that a pass reads only the pairs that can have
  // come within reach since.
  std::array<float, kPairs> vf_d{}, ee_d{};
  std::array<float, kGuard> g_d{};
  std::array<std::uint16_t, kPairs> sort_a{}, sort_b{};
  std::array<float, kPairs> sort_d{};
  std::array<int, 65> sort_count{};
  double drift = 0;       // the two furthest moves of a vertex since the lists were made, added
  bool overflow = false;  // a list was full: the guard then checks every pair it can
  int rebuilds = 0;       // lists made since the store was created
};

struct Scratch {
  RelaxScratch relax;
  SpreadScratch spread;
  ComponentScratch components;
  PasteScratch paste;
  ContactScratch contacts;
};

}  // namespace brimoss
