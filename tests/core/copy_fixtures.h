// Small hand-made surfaces for the copy and paste tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/invariants.h"
#include "model/store.h"

namespace brimoss::fixtures {

// A surface of `nov` vertices on a circle of radius 2 with the given faces and
// edges (each stored lower index first, all of kind a). Components numbered 1
// for every vertex, nothing highlighted.
using EdgeList = std::vector<std::pair<int, int>>;

inline std::unique_ptr<Store> surface(int nov, const std::vector<Face>& faces,
                                      const EdgeList& edges) {
  auto s = make_store();
  s->NOV = nov;
  for (int v = 0; v < nov; ++v) {
    s->x[v] = 2 * std::cos(v * 0.5);
    s->y[v] = 2 * std::sin(v * 0.5);
    s->z[v] = 0.01 * v;
    s->conn_comp[v] = 1;
  }
  for (const Face& f : faces) s->face[s->NOS++] = f;
  for (auto [a, b] : edges) {
    s->edge[s->NOE] = Edge{std::min(a, b), std::max(a, b)};
    s->phi[s->NOE] = phi_a();
    ++s->NOE;
  }
  s->NOcomp = 2;
  return s;
}

// The edges of the given faces, each once, lower index first, in order of
// first appearance.
inline EdgeList edges_of(const std::vector<Face>& faces) {
  EdgeList out;
  for (const Face& f : faces)
    for (int k = 0; k < 3; ++k) {
      const int a = std::min(f[k], f[(k + 1) % 3]), b = std::max(f[k], f[(k + 1) % 3]);
      if (std::find(out.begin(), out.end(), std::make_pair(a, b)) == out.end())
        out.emplace_back(a, b);
    }
  return out;
}

// A surface made of the given faces and their edges.
inline std::unique_ptr<Store> from_faces(int nov, const std::vector<Face>& faces) {
  return surface(nov, faces, edges_of(faces));
}

// The store's invariants, plus the two the joining relies on: every edge
// stored lower index first, and a running paste's joining edge last. An empty
// string when they hold.
inline std::string broken_invariant(const Store& s) {
  std::string why;
  if (!check_invariants(s, &why)) return why;
  for (int l = 0; l < s.NOE; ++l)
    if (s.edge[l].first > s.edge[l].second) return "edge " + std::to_string(l) + " reversed";
  if (s.g_pasteevent > 0 && (s.NOE < 1 || !(s.edge[s.NOE - 1] == Edge{s.g_paste_i1, s.g_paste_i2})))
    return "running paste without its joining edge last";
  return "";
}

inline int duplicate_edges(const Store& s) {
  std::set<std::pair<int, int>> seen;
  int dup = 0;
  for (int l = 0; l < s.NOE; ++l)
    if (!seen.insert({s.edge[l].first, s.edge[l].second}).second) ++dup;
  return dup;
}

}  // namespace brimoss::fixtures
