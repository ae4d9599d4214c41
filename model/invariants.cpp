#include "model/invariants.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace brimoss {

namespace {

bool fail(std::string* why, const std::string& text) {
  if (why) *why = text;
  return false;
}

std::string num(long long v) { return std::to_string(v); }

// Counts, indices and finiteness of one surface (live or snapshot).
template <class Vec, class Edges, class Phis, class Faces>
bool check_surface(const char* name, int nov, int noe, int nos, const Vec& x, const Vec& y,
                   const Vec& z, const Edges& edge, const Phis& phi, const Faces& face,
                   std::string* why) {
  const std::string n = name;
  if (nov < 0 || nov > MAXNOV) return fail(why, n + "vertex count " + num(nov) + " out of range");
  if (noe < 0 || noe > MAXNOE) return fail(why, n + "edge count " + num(noe) + " out of range");
  if (nos < 0 || nos > MAXNOS) return fail(why, n + "face count " + num(nos) + " out of range");
  for (int i = 0; i < nov; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || !std::isfinite(z[i]))
      return fail(why, n + "vertex " + num(i) + " has a coordinate that is not finite");
  for (int l = 0; l < noe; ++l) {
    const int a = edge[l].first, b = edge[l].second;
    if (a < 0 || a >= nov || b < 0 || b >= nov)
      return fail(why, n + "edge " + num(l) + " (" + num(a) + "," + num(b) +
                           ") names a vertex outside 0.." + num(nov - 1));
    if (!std::isfinite(phi[l]))
      return fail(why, n + "edge " + num(l) + " has a target length that is not finite");
  }
  for (int f = 0; f < nos; ++f)
    for (int k = 0; k < 3; ++k)
      if (face[f][k] < 0 || face[f][k] >= nov)
        return fail(why, n + "face " + num(f) + " names vertex " + num(face[f][k]) +
                             " outside 0.." + num(nov - 1));
  return true;
}

}  // namespace

bool check_invariants(const Store& s, std::string* why) {
  if (!check_surface("", s.NOV, s.NOE, s.NOS, s.x, s.y, s.z, s.edge, s.phi, s.face, why))
    return false;
  for (int i = 0; i < s.NOV; ++i)
    if (s.conn_comp[i] < 0 || s.conn_comp[i] >= MAXCONNCOMP)
      return fail(why, "vertex " + num(i) + " has component number " + num(s.conn_comp[i]) +
                           " outside 0.." + num(MAXCONNCOMP - 1));
  // A labelling clears the highlight of labels 0..NOcomp, so NOcomp itself
  // must index the table.
  if (s.NOcomp < 0 || s.NOcomp >= MAXCONNCOMP)
    return fail(why, "NOcomp " + num(s.NOcomp) + " outside 0.." + num(MAXCONNCOMP - 1));
  if (s.undo.nov != 0 &&
      !check_surface("snapshot ", s.undo.nov, s.undo.noe, s.undo.nos, s.undo.x, s.undo.y, s.undo.z,
                     s.undo.edge, s.undo.phi, s.undo.face, why))
    return false;
  if (s.undo.nov < 0)
    return fail(why, "snapshot vertex count " + num(s.undo.nov) + " out of range");

  if (s.g_pasteevent < 0) return fail(why, "paste step " + num(s.g_pasteevent) + " is negative");
  if (s.g_pasteevent > 0) {
    const int a = s.g_paste_i1, b = s.g_paste_i2;
    if (!(0 <= a && a < b && b < s.NOV))
      return fail(why, "paste pair (" + num(a) + "," + num(b) + ") is not two vertices in use");
    if (s.NOE < 1 || !(s.edge[s.NOE - 1] == Edge{a, b}))
      return fail(why, "paste joining edge is not the last edge");
    if (s.g_pasteevent > s.g_pastestep)
      return fail(why, "paste step " + num(s.g_pasteevent) + " beyond its " + num(s.g_pastestep) +
                           " steps");
    if (!std::isfinite(s.g_norme)) return fail(why, "paste distance is not finite");
  }
  if (!(std::isfinite(s.g_rate) && s.g_rate > 0))
    return fail(why, "zoom " + std::to_string(s.g_rate) + " is not a positive number");
  if (!std::isfinite(s.g_hangle) || !std::isfinite(s.g_vangle))
    return fail(why, "spin rate is not finite");
  if (std::memchr(s.messagetxt, '\0', sizeof s.messagetxt) == nullptr)
    return fail(why, "status line is not terminated");
  return true;
}

namespace {

template <class Edges>
bool edges_ordered(const char* name, int noe, const Edges& edge, std::string* why) {
  const std::string n = name;
  std::vector<std::pair<int, int>> seen;
  seen.reserve(noe);
  for (int l = 0; l < noe; ++l) {
    if (!(edge[l].first < edge[l].second))
      return fail(why, n + "edge " + num(l) + " (" + num(edge[l].first) + "," +
                           num(edge[l].second) + ") does not run from lower to higher index");
    seen.emplace_back(edge[l].first, edge[l].second);
  }
  std::sort(seen.begin(), seen.end());
  const auto dup = std::adjacent_find(seen.begin(), seen.end());
  if (dup != seen.end())
    return fail(why, n + "edge (" + num(dup->first) + "," + num(dup->second) + ") is listed twice");
  return true;
}

}  // namespace

bool check_edges_ordered(const Store& s, std::string* why) {
  if (!edges_ordered("", s.NOE, s.edge, why)) return false;
  if (s.undo.nov != 0 && !edges_ordered("snapshot ", s.undo.noe, s.undo.edge, why)) return false;
  return true;
}

}  // namespace brimoss
