// The program's hot routines written the straightforward way their steps
// read, as references for the fast forms: the tests check that the fast forms
// give exactly these results (tests/core/test_literal.cpp), and the benchmarks
// measure the fast forms against them.
//
// This file is always compiled optimised and without the sanitizers: the
// pair scan alone tests about 1.5e9 vertex pairs against edges per pass at
// full size.
#pragma once

#include "model/store.h"

namespace brimoss::testing {

// One relaxation pass over every vertex pair j < k, and for each pair every
// edge stored exactly as (j, k). Edge lengths go to edgelength, the moves to
// dx, dy, dz. Zero-length edges (and lengths so small that the correction
// overflows) are skipped, and a move that would leave the finite numbers is
// not made.
void literal_modifyonce(Store& s);

// Passes until every edge is within 0.05 of its target (true), or 50 (touch
// perturbation on) or 10 passes plus one (false). `passes`, when given,
// receives the number of passes run.
bool literal_modify(Store& s, int* passes = nullptr);

// The component labelling as the recursive flood it is defined by, scanning
// every edge at every vertex it reaches. Labels are not capped at the tables'
// size; only the highlights up to it are cleared.
void literal_fill_conn_comp(Store& s);

// The drawing's depth ranking by counting: center[i] = mean z of face i; its
// rank = faces deeper than it + faces of equal depth with a higher index;
// order[rank] = i. Every face compared with every face.
void literal_depth_order(Store& s);

// The faces of every edge, into scratch.spread.s1 and s2, by getsurface: every face
// scanned for every edge.
void literal_edge_faces(Store& s);

// One spreading sweep with getsurface called for each edge in turn.
void literal_spread(Store& s);

// The lowest vertex joined to i and to j by exactly two edges in all, or -1:
// for every vertex, a pass over all edges.
int literal_common_neighbour(const Store& s, int i, int j);

// The end of a paste: g_paste_i2 merged into g_paste_i1, the joining edge (the
// last one) dropped, and the duplicate edges removed by finding the first
// equal pair p < q, deleting q and searching again from the start; then
// relaxed (by the program's own relaxation) and the status line cleared.
void literal_merge(Store& s);

// Vertex v cut out with every edge and face that uses it, one shift of the
// whole tail per removed entry. No snapshot.
void literal_cut_vertex(Store& s, int v);

}  // namespace brimoss::testing
