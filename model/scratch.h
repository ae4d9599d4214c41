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

struct Scratch {
  RelaxScratch relax;
  SpreadScratch spread;
  ComponentScratch components;
  PasteScratch paste;
};

}  // namespace brimoss
