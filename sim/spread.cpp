#include "sim/spread.h"

#include <algorithm>
#include <cmath>

#include "sim/contacts.h"
#include "sim/relax.h"

namespace brimoss {

namespace {

bool on_face(const Face& f, int a, int b) {
  return (f[0] == a && (f[1] == b || f[2] == b)) || (f[1] == a && (f[0] == b || f[2] == b)) ||
         (f[2] == a && (f[0] == b || f[1] == b));
}

// Corner pairs of a face: slot 0 = corners (0, 1), 1 = (1, 2), 2 = (0, 2).
int pair_lo(const Face& f, int slot) {
  const int p = f[slot == 2 ? 0 : slot], q = f[slot == 0 ? 1 : 2];
  return p < q ? p : q;
}
int pair_hi(const Face& f, int slot) {
  const int p = f[slot == 2 ? 0 : slot], q = f[slot == 0 ? 1 : 2];
  return p < q ? q : p;
}

bool indices_in_range(const Store& s) {
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first < 0 || e.first >= s.NOV || e.second < 0 || e.second >= s.NOV) return false;
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] < 0 || s.face[f][k] >= s.NOV) return false;
  return true;
}

// Stable counting sort of items by key(item) in [0, n); from -> to.
template <class Key>
void counting_sort(Store& s, const int* from, int* to, int m, int n, Key key) {
  auto& count = s.scratch.spread.count;
  for (int i = 0; i <= n; ++i) count[i] = 0;
  for (int k = 0; k < m; ++k) ++count[key(from[k]) + 1];
  for (int i = 0; i < n; ++i) count[i + 1] += count[i];
  for (int k = 0; k < m; ++k) to[count[key(from[k])]++] = from[k];
}

}  // namespace

void getsurface(const Store& s, int e, int* s1, int* s2) {
  *s1 = *s2 = -1;
  const int a = s.edge[e].first, b = s.edge[e].second;
  for (int f = 0; f < s.NOS; ++f) {
    if (!on_face(s.face[f], a, b)) continue;
    if (*s1 < 0)
      *s1 = f;
    else
      *s2 = f;
  }
}

void build_edge_faces(Store& s) {
  if (!indices_in_range(s)) {
    // Only a damaged store gets here; the scan copes with any index.
    for (int l = 0; l < s.NOE; ++l)
      getsurface(s, l, &s.scratch.spread.s1[l], &s.scratch.spread.s2[l]);
    return;
  }

  // Every distinct vertex pair of every face, in face order. A face such as
  // (a, b, a) names the pair twice but lies on the edge only once.
  int* pairs = s.scratch.spread.pairs.data();
  int* tmp = s.scratch.spread.pairs_tmp.data();
  int m = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    for (int slot = 0; slot < 3; ++slot) {
      const int lo = pair_lo(fc, slot), hi = pair_hi(fc, slot);
      bool seen = false;
      for (int t = 0; t < slot; ++t)
        if (pair_lo(fc, t) == lo && pair_hi(fc, t) == hi) seen = true;
      if (!seen) pairs[m++] = 3 * f + slot;
    }
  }
  // Sorted by (lo, hi); within one pair the faces stay in ascending order.
  auto pair_lo_of = [&s](int p) { return pair_lo(s.face[p / 3], p % 3); };
  auto pair_hi_of = [&s](int p) { return pair_hi(s.face[p / 3], p % 3); };
  counting_sort(s, pairs, tmp, m, s.NOV, pair_hi_of);
  counting_sort(s, tmp, pairs, m, s.NOV, pair_lo_of);

  // The edges sorted the same way.
  int* edges = s.scratch.spread.edges_sorted.data();
  for (int l = 0; l < s.NOE; ++l) tmp[l] = l;
  auto edge_lo = [&s](int l) { return std::min(s.edge[l].first, s.edge[l].second); };
  auto edge_hi = [&s](int l) { return std::max(s.edge[l].first, s.edge[l].second); };
  counting_sort(s, tmp, edges, s.NOE, s.NOV, edge_hi);
  counting_sort(s, edges, tmp, s.NOE, s.NOV, edge_lo);
  for (int l = 0; l < s.NOE; ++l) edges[l] = tmp[l];

  // Walk both lists together: the faces on an edge are the run of pairs with
  // the edge's vertex pair, the first and last of the run are s1 and s2.
  int p = 0;
  for (int k = 0; k < s.NOE; ++k) {
    const int l = edges[k];
    const int lo = edge_lo(l), hi = edge_hi(l);
    while (p < m &&
           (pair_lo_of(pairs[p]) < lo || (pair_lo_of(pairs[p]) == lo && pair_hi_of(pairs[p]) < hi)))
      ++p;
    int q = p;
    while (q < m && pair_lo_of(pairs[q]) == lo && pair_hi_of(pairs[q]) == hi) ++q;
    s.scratch.spread.s1[l] = q > p ? pairs[p] / 3 : -1;
    s.scratch.spread.s2[l] = q > p + 1 ? pairs[q - 1] / 3 : -1;
  }
}

void spread(Store& s) {
  // The faces do not change during a sweep, only the positions do.
  build_edge_faces(s);

  int P = 0, Q = 1;
  int pushes = 0;
  for (int e = 0; e < s.NOE; ++e) {
    const int a = s.edge[e].first, b = s.edge[e].second;
    if (s.g_purtj == a || s.g_purtj == b) continue;
    const int s1 = s.scratch.spread.s1[e], s2 = s.scratch.spread.s2[e];
    if (s2 < 0) continue;

    const Face f1 = s.face[s1], f2 = s.face[s2];
    const double ax = s.x[f1[1]] - s.x[f1[0]], ay = s.y[f1[1]] - s.y[f1[0]],
                 az = s.z[f1[1]] - s.z[f1[0]];
    const double bx = s.x[f1[2]] - s.x[f1[0]], by = s.y[f1[2]] - s.y[f1[0]],
                 bz = s.z[f1[2]] - s.z[f1[0]];
    const double cx = s.x[f2[1]] - s.x[f2[0]], cy = s.y[f2[1]] - s.y[f2[0]],
                 cz = s.z[f2[1]] - s.z[f2[0]];
    const double dx = s.x[f2[2]] - s.x[f2[0]], dy = s.y[f2[2]] - s.y[f2[0]],
                 dz = s.z[f2[2]] - s.z[f2[0]];
    const double n1x = ay * bz - az * by, n1y = az * bx - ax * bz, n1z = ax * by - ay * bx;
    const double n2x = cy * dz - cz * dy, n2y = cz * dx - cx * dz, n2z = cx * dy - cy * dx;
    const double dot = n1x * n2x + n1y * n2y + n1z * n2z;
    if (!(dot < 0.3)) continue;

    bool apex1 = false, apex2 = false;
    for (int j = 0; j < 3; ++j) {
      if (f1[j] != a && f1[j] != b) {
        P = f1[j];
        apex1 = true;
      }
      if (f2[j] != a && f2[j] != b) {
        Q = f2[j];
        apex2 = true;
      }
    }
    // A face with every corner on the edge has nothing to push; an apex left
    // over from another edge would move an unrelated vertex.
    if (!apex1 || !apex2) continue;

    const double ux = s.x[P] - s.x[Q], uy = s.y[P] - s.y[Q], uz = s.z[P] - s.z[Q];
    const double dist = std::sqrt(ux * ux + uy * uy + uz * uz);
    // Coincident apexes give no direction to push along, and dividing by
    // their zero distance would make every position non-finite.
    if (!(dist > 0.0) || !std::isfinite(dist)) continue;
    const double f = 0.08 / dist;
    s.x[P] += f * ux;
    s.y[P] += f * uy;
    s.z[P] += f * uz;
    s.x[Q] -= f * ux;
    s.y[Q] -= f * uy;
    s.z[Q] -= f * uz;

    ++pushes;
    // Kept apart, a step between pushes is one pass with the guard, which
    // costs two or three plain passes: they come half as often, and the last
    // relaxation below keeps the clearance.
    if (!s.apart.on) {
      if (pushes % 3 == 0) modify(s);
    } else if (pushes % 6 == 0) {
      relax_apart_once(s);
    }
  }
  modify(s);
}

}  // namespace brimoss
