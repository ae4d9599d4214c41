// Small hand-made surfaces for the copy and paste tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// The invariants every operation keeps; an empty string when they hold.
inline std::string broken_invariant(const Store& s) {
  if (s.NOV < 0 || s.NOV > MAXNOV || s.NOE < 0 || s.NOE > MAXNOE || s.NOS < 0 || s.NOS > MAXNOS)
    return "counter out of range";
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first < 0 || e.second >= s.NOV || e.first > e.second)
      return "edge " + std::to_string(l) + " out of range or reversed";
    if (!std::isfinite(s.phi[l])) return "edge " + std::to_string(l) + " has no finite target";
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] < 0 || s.face[f][k] >= s.NOV) return "face " + std::to_string(f);
  for (int v = 0; v < s.NOV; ++v) {
    if (s.conn_comp[v] < 0 || s.conn_comp[v] >= MAXCONNCOMP) return "label of " + std::to_string(v);
    if (!std::isfinite(s.x[v]) || !std::isfinite(s.y[v]) || !std::isfinite(s.z[v]))
      return "position of " + std::to_string(v);
  }
  if (s.g_pasteevent > 0) {
    if (s.NOE < 1 || !(s.edge[s.NOE - 1] == Edge{s.g_paste_i1, s.g_paste_i2}))
      return "running paste without its joining edge last";
  }
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
