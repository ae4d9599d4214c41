#include "model/invariants.h"

#include <cmath>

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
  if (s._NOV != 0 && !check_surface("snapshot ", s._NOV, s._NOE, s._NOS, s._x, s._y, s._z, s._edge,
                                    s._phi, s._face, why))
    return false;
  if (s._NOV < 0) return fail(why, "snapshot vertex count " + num(s._NOV) + " out of range");
  return true;
}

}  // namespace brimoss
