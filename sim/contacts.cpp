#include "sim/contacts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "sim/relax.h"

namespace brimoss {

namespace {

struct V3 {
  double x, y, z;
};
inline V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator*(double k, V3 a) { return {k * a.x, k * a.y, k * a.z}; }
inline double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 cross(V3 a, V3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double clamp01(double t) { return t < 0 ? 0 : (t > 1 ? 1 : t); }

// Below this squared distance a side and a face count as crossing: a little
// on the safe side of the exact test.
constexpr double kTouch2 = 1e-16;
// Passes a relaxation runs at most while contacts hold vertices.
constexpr int kContactPasses = 20;
// A vertex moves at most this far in one pass, before and after the contacts.
constexpr double kStepCap = kClearance / 2;
// How much of a contact's shortfall one pass makes good.
constexpr double kStiffness = 0.5;
constexpr double kCell = 1.0;

// The point of triangle abc nearest p, with its barycentric weights.
V3 closest_on_triangle(V3 p, V3 a, V3 b, V3 c, double w[3]) {
  const V3 ab = b - a, ac = c - a, ap = p - a;
  const double d1 = dot(ab, ap), d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) {
    w[0] = 1, w[1] = 0, w[2] = 0;
    return a;
  }
  const V3 bp = p - b;
  const double d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) {
    w[0] = 0, w[1] = 1, w[2] = 0;
    return b;
  }
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) {
    const double v = d1 / (d1 - d3);
    w[0] = 1 - v, w[1] = v, w[2] = 0;
    return a + v * ab;
  }
  const V3 cp = p - c;
  const double d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) {
    w[0] = 0, w[1] = 0, w[2] = 1;
    return c;
  }
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) {
    const double t = d2 / (d2 - d6);
    w[0] = 1 - t, w[1] = 0, w[2] = t;
    return a + t * ac;
  }
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    const double t = (d4 - d3) / ((d4 - d3) + (d5 - d6));
    w[0] = 0, w[1] = 1 - t, w[2] = t;
    return b + t * (c - b);
  }
  const double den = 1 / (va + vb + vc);
  const double v = vb * den, t = vc * den;
  w[0] = 1 - v - t, w[1] = v, w[2] = t;
  return a + v * ab + t * ac;
}

// Parameters of the nearest points of segments p1q1 and p2q2.
void closest_on_segments(V3 p1, V3 q1, V3 p2, V3 q2, double* s, double* t) {
  const V3 d1 = q1 - p1, d2 = q2 - p2, r = p1 - p2;
  const double a = dot(d1, d1), e = dot(d2, d2), f = dot(d2, r);
  constexpr double eps = 1e-30;
  if (a <= eps && e <= eps) {
    *s = *t = 0;
    return;
  }
  if (a <= eps) {
    *s = 0;
    *t = clamp01(f / e);
    return;
  }
  const double c = dot(d1, r);
  if (e <= eps) {
    *t = 0;
    *s = clamp01(-c / a);
    return;
  }
  const double b = dot(d1, d2), den = a * e - b * b;
  *s = den > 0 ? clamp01((b * f - c * e) / den) : 0;
  *t = (b * *s + f) / e;
  if (*t < 0) {
    *t = 0;
    *s = clamp01(-c / a);
  } else if (*t > 1) {
    *t = 1;
    *s = clamp01((b - c) / a);
  }
}

double segment_distance2(V3 p1, V3 q1, V3 p2, V3 q2) {
  double s, t;
  closest_on_segments(p1, q1, p2, q2, &s, &t);
  const V3 d = (p1 + s * (q1 - p1)) - (p2 + t * (q2 - p2));
  return dot(d, d);
}

double point_triangle_distance2(V3 p, V3 a, V3 b, V3 c) {
  double w[3];
  const V3 d = p - closest_on_triangle(p, a, b, c, w);
  return dot(d, d);
}

// Squared distance between segment pq and triangle abc; 0 when it passes
// through.
double segment_triangle_distance2(V3 p, V3 q, V3 a, V3 b, V3 c) {
  const V3 n = cross(b - a, c - a);
  const double d0 = dot(p - a, n), d1 = dot(q - a, n);
  if (((d0 <= 0 && d1 >= 0) || (d0 >= 0 && d1 <= 0)) && d0 != d1) {
    const V3 m = p + (d0 / (d0 - d1)) * (q - p);
    if (point_triangle_distance2(m, a, b, c) <= kTouch2) return 0;
  }
  double best = point_triangle_distance2(p, a, b, c);
  best = std::min(best, point_triangle_distance2(q, a, b, c));
  best = std::min(best, segment_distance2(p, q, a, b));
  best = std::min(best, segment_distance2(p, q, b, c));
  best = std::min(best, segment_distance2(p, q, c, a));
  return best;
}

// Whether segment pq passes through triangle uvw, to within rounding.
bool segment_crosses(V3 p, V3 q, V3 u, V3 v, V3 w) {
  // Quick rejection: both ends strictly on one side of the triangle's plane.
  const V3 n = cross(v - u, w - u);
  const double d0 = dot(p - u, n), d1 = dot(q - u, n);
  const double scale = dot(n, n) * 1e-12;
  if ((d0 > 0 && d1 > 0 && d0 * d0 > scale && d1 * d1 > scale) ||
      (d0 < 0 && d1 < 0 && d0 * d0 > scale && d1 * d1 > scale))
    return false;
  return segment_triangle_distance2(p, q, u, v, w) <= kTouch2;
}

inline V3 at(const double* x, const double* y, const double* z, int v) {
  return {x[v], y[v], z[v]};
}

bool degenerate(const Face& f) { return f[0] == f[1] || f[1] == f[2] || f[0] == f[2]; }

bool corner_of(const Face& f, int v) { return f[0] == v || f[1] == v || f[2] == v; }

bool neighbours(const ContactScratch& c, int u, int v) {
  for (int i = c.nb_start[u]; i < c.nb_start[u + 1]; ++i)
    if (c.nb[i] == v) return true;
  return false;
}

bool near(const ContactScratch& c, int u, int v) { return u == v || neighbours(c, u, v); }

// The vertex neighbours, the sides of the faces, and each vertex's sides,
// made again whenever the edges or faces have changed.
bool refresh_topology(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  if (c.nov == s.NOV && c.noe == s.NOE && c.nos == s.NOS &&
      std::memcmp(c.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE) == 0 &&
      std::memcmp(c.faces.data(), s.face.data(), sizeof(Face) * s.NOS) == 0)
    return false;
  std::memcpy(c.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE);
  std::memcpy(c.faces.data(), s.face.data(), sizeof(Face) * s.NOS);
  c.nov = s.NOV;
  c.noe = s.NOE;
  c.nos = s.NOS;
  c.built = false;

  const int nov = s.NOV;
  auto valid = [nov](int v) { return v >= 0 && v < nov; };
  for (int i = 0; i <= nov; ++i) c.nb_start[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (!valid(e.first) || !valid(e.second) || e.first == e.second) continue;
    ++c.nb_start[e.first + 1];
    ++c.nb_start[e.second + 1];
  }
  for (int i = 0; i < nov; ++i) c.nb_start[i + 1] += c.nb_start[i];
  for (int i = 0; i < nov; ++i) c.tmp[i] = c.nb_start[i];
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (!valid(e.first) || !valid(e.second) || e.first == e.second) continue;
    c.nb[c.tmp[e.first]++] = e.second;
    c.nb[c.tmp[e.second]++] = e.first;
  }

  // Sides of faces, once each: every (lo, hi) pair is looked up among the
  // sides already listed for lo.
  for (int i = 0; i <= nov; ++i) c.vs_start[i] = 0;
  c.nside = 0;
  // First count an upper bound per lower end, then fill without repeats.
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    bool ok = true;
    for (int k = 0; k < 3; ++k) ok = ok && valid(fc[k]);
    if (!ok || degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) ++c.vs_start[std::min(fc[k], fc[(k + 1) % 3]) + 1];
  }
  for (int i = 0; i < nov; ++i) c.vs_start[i + 1] += c.vs_start[i];
  int* fill = c.tmp.data();
  for (int i = 0; i < nov; ++i) fill[i] = c.vs_start[i];
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    bool ok = true;
    for (int k = 0; k < 3; ++k) ok = ok && valid(fc[k]);
    if (!ok || degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) {
      const int lo = std::min(fc[k], fc[(k + 1) % 3]), hi = std::max(fc[k], fc[(k + 1) % 3]);
      bool seen = false;
      for (int i = c.vs_start[lo]; i < fill[lo]; ++i)
        if (c.vs[i] == hi) seen = true;
      if (!seen) c.vs[fill[lo]++] = hi;
    }
  }
  for (int lo = 0; lo < nov; ++lo)
    for (int i = c.vs_start[lo]; i < fill[lo]; ++i) c.side[c.nside++] = Edge{lo, c.vs[i]};
  // Each vertex's sides by index.
  for (int i = 0; i <= nov; ++i) c.vs_start[i] = 0;
  for (int e = 0; e < c.nside; ++e) {
    ++c.vs_start[c.side[e].first + 1];
    ++c.vs_start[c.side[e].second + 1];
  }
  for (int i = 0; i < nov; ++i) c.vs_start[i + 1] += c.vs_start[i];
  for (int i = 0; i < nov; ++i) fill[i] = c.vs_start[i];
  for (int e = 0; e < c.nside; ++e) {
    c.vs[fill[c.side[e].first]++] = e;
    c.vs[fill[c.side[e].second]++] = e;
  }
  for (int e = 0; e < c.nside; ++e) c.stamp[e] = 0;
  c.stamp_id = 0;
  return true;
}

inline int cell_of(double v) { return static_cast<int>(std::floor(v / kCell)); }

inline int bucket(int i, int j, int k) {
  const unsigned h = static_cast<unsigned>(i) * 73856093u ^ static_cast<unsigned>(j) * 19349663u ^
                     static_cast<unsigned>(k) * 83492791u;
  return static_cast<int>(h & (ContactScratch::kBuckets - 1));
}

// Calls visit(v) for every vertex in the grid cells that meet the box
// [lo - r, hi + r]; a vertex may come more than once when cells share a
// bucket, and a box too large for the grid visits every vertex.
template <class Visit>
void vertices_near(const Store& s, V3 lo, V3 hi, double r, Visit visit) {
  const ContactScratch& c = s.scratch.contacts;
  const int i0 = cell_of(lo.x - r), i1 = cell_of(hi.x + r);
  const int j0 = cell_of(lo.y - r), j1 = cell_of(hi.y + r);
  const int k0 = cell_of(lo.z - r), k1 = cell_of(hi.z + r);
  const long cells = static_cast<long>(i1 - i0 + 1) * (j1 - j0 + 1) * (k1 - k0 + 1);
  if (cells > ContactScratch::kBuckets / 4 || cells <= 0) {
    for (int v = 0; v < s.NOV; ++v) visit(v);
    return;
  }
  for (int i = i0; i <= i1; ++i)
    for (int j = j0; j <= j1; ++j)
      for (int k = k0; k <= k1; ++k)
        for (int v = c.head[bucket(i, j, k)]; v >= 0; v = c.next[v])
          if (c.ci[v] == i && c.cj[v] == j && c.ck[v] == k) visit(v);
}

void box_of(const Store& s, const int* v, int n, V3* lo, V3* hi) {
  *lo = *hi = at(s.x.data(), s.y.data(), s.z.data(), v[0]);
  for (int i = 1; i < n; ++i) {
    const V3 p = at(s.x.data(), s.y.data(), s.z.data(), v[i]);
    lo->x = std::min(lo->x, p.x), lo->y = std::min(lo->y, p.y), lo->z = std::min(lo->z, p.z);
    hi->x = std::max(hi->x, p.x), hi->y = std::max(hi->y, p.y), hi->z = std::max(hi->z, p.z);
  }
}

int next_stamp(ContactScratch& c) {
  if (c.stamp_id == 2000000000) {
    for (int e = 0; e < c.nside; ++e) c.stamp[e] = 0;
    c.stamp_id = 0;
  }
  return ++c.stamp_id;
}

void sort_pairs(ContactScratch& c, int n, std::uint16_t* a, std::uint16_t* b, float* d,
                double reach);

// The lower end of the sorting step of distance d, for lists sorted over
// reach: once a list reaches a step beyond the distance sought, no later pair
// is nearer.
inline double step_floor(float d, double reach) {
  const double step = reach / 64;
  return std::min(63, static_cast<int>(d / step)) * step;
}

void sort_lists(ContactScratch& c, double reach) {
  sort_pairs(c, c.nvf, c.vf_v.data(), c.vf_f.data(), c.vf_d.data(), reach);
  sort_pairs(c, c.nee, c.ee_a.data(), c.ee_b.data(), c.ee_d.data(), reach);
  sort_pairs(c, c.ng, c.g_e.data(), c.g_f.data(), c.g_d.data(), kContactMargin);
}

// The candidate lists, from the positions as they are.
void rebuild(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  const double* x = s.x.data();
  const double* y = s.y.data();
  const double* z = s.z.data();
  ++c.rebuilds;
  c.built = true;
  c.overflow = false;
  c.nvf = c.nee = c.ng = 0;
  for (int v = 0; v < s.NOV; ++v) c.bx[v] = x[v], c.by[v] = y[v], c.bz[v] = z[v];
  for (int b = 0; b < ContactScratch::kBuckets; ++b) c.head[b] = -1;
  for (int v = s.NOV - 1; v >= 0; --v) {
    c.ci[v] = cell_of(x[v]);
    c.cj[v] = cell_of(y[v]);
    c.ck[v] = cell_of(z[v]);
    const int b = bucket(c.ci[v], c.cj[v], c.ck[v]);
    c.next[v] = c.head[b];
    c.head[b] = v;
  }
  double longest = 0;
  for (int e = 0; e < c.nside; ++e) {
    const V3 d = at(x, y, z, c.side[e].second) - at(x, y, z, c.side[e].first);
    longest = std::max(longest, dot(d, d));
  }
  const double half = std::sqrt(longest) / 2;
  const double reach = kClearance + kContactMargin;

  // Vertices against faces, and sides against faces (the guard).
  for (int f = 0; f < s.NOS; ++f) {
    const Face fc = s.face[f];
    if (degenerate(fc) || fc[0] >= s.NOV || fc[1] >= s.NOV || fc[2] >= s.NOV || fc[0] < 0 ||
        fc[1] < 0 || fc[2] < 0)
      continue;
    const V3 a = at(x, y, z, fc[0]), b = at(x, y, z, fc[1]), cc = at(x, y, z, fc[2]);
    V3 lo, hi;
    box_of(s, fc.v, 3, &lo, &hi);
    vertices_near(s, lo, hi, reach, [&](int v) {
      if (x[v] < lo.x - reach || x[v] > hi.x + reach || y[v] < lo.y - reach ||
          y[v] > hi.y + reach || z[v] < lo.z - reach || z[v] > hi.z + reach)
        return;
      if (corner_of(fc, v) || neighbours(c, v, fc[0]) || neighbours(c, v, fc[1]) ||
          neighbours(c, v, fc[2]))
        return;
      const double d2 = point_triangle_distance2(at(x, y, z, v), a, b, cc);
      if (d2 >= reach * reach) return;
      if (c.nvf == ContactScratch::kPairs) {
        c.overflow = true;
        return;
      }
      c.vf_d[c.nvf] = static_cast<float>(std::sqrt(d2));
      c.vf_v[c.nvf] = static_cast<std::uint16_t>(v);
      c.vf_f[c.nvf++] = static_cast<std::uint16_t>(f);
    });
    const int id = next_stamp(c);
    vertices_near(s, lo, hi, kContactMargin + half, [&](int w) {
      for (int i = c.vs_start[w]; i < c.vs_start[w + 1]; ++i) {
        const int e = c.vs[i];
        if (c.stamp[e] == id) continue;
        c.stamp[e] = id;
        const int p = c.side[e].first, q = c.side[e].second;
        if (corner_of(fc, p) || corner_of(fc, q)) continue;
        const double g = kContactMargin;
        if (std::max(x[p], x[q]) < lo.x - g || std::min(x[p], x[q]) > hi.x + g ||
            std::max(y[p], y[q]) < lo.y - g || std::min(y[p], y[q]) > hi.y + g ||
            std::max(z[p], z[q]) < lo.z - g || std::min(z[p], z[q]) > hi.z + g)
          continue;
        const double d2 = segment_triangle_distance2(at(x, y, z, p), at(x, y, z, q), a, b, cc);
        if (d2 >= kContactMargin * kContactMargin) continue;
        if (c.ng == ContactScratch::kGuard) {
          c.overflow = true;
          continue;
        }
        c.g_d[c.ng] = static_cast<float>(std::sqrt(d2));
        c.g_e[c.ng] = static_cast<std::uint16_t>(e);
        c.g_f[c.ng++] = static_cast<std::uint16_t>(f);
      }
    });
  }
  // Sides against sides further than one ring apart.
  for (int e1 = 0; e1 < c.nside; ++e1) {
    const int p = c.side[e1].first, q = c.side[e1].second;
    const int ends[2] = {p, q};
    V3 lo, hi;
    box_of(s, ends, 2, &lo, &hi);
    const int id = next_stamp(c);
    vertices_near(s, lo, hi, reach + half, [&](int w) {
      for (int i = c.vs_start[w]; i < c.vs_start[w + 1]; ++i) {
        const int e2 = c.vs[i];
        if (e2 <= e1 || c.stamp[e2] == id) continue;
        c.stamp[e2] = id;
        const int r = c.side[e2].first, t = c.side[e2].second;
        if (std::max(x[r], x[t]) < lo.x - reach || std::min(x[r], x[t]) > hi.x + reach ||
            std::max(y[r], y[t]) < lo.y - reach || std::min(y[r], y[t]) > hi.y + reach ||
            std::max(z[r], z[t]) < lo.z - reach || std::min(z[r], z[t]) > hi.z + reach)
          continue;
        if (near(c, p, r) || near(c, p, t) || near(c, q, r) || near(c, q, t)) continue;
        const double d2 =
            segment_distance2(at(x, y, z, p), at(x, y, z, q), at(x, y, z, r), at(x, y, z, t));
        if (d2 >= reach * reach) continue;
        if (c.nee == ContactScratch::kPairs) {
          c.overflow = true;
          continue;
        }
        c.ee_d[c.nee] = static_cast<float>(std::sqrt(d2));
        c.ee_a[c.nee] = static_cast<std::uint16_t>(e1);
        c.ee_b[c.nee++] = static_cast<std::uint16_t>(e2);
      }
    });
  }
  sort_lists(c, reach);
  c.drift = 0;
}

// Sorts a list of pairs (a, b, d) by d in 64 steps of reach / 64.
void sort_pairs(ContactScratch& c, int n, std::uint16_t* a, std::uint16_t* b, float* d,
                double reach) {
  const double step = reach / 64;
  auto key = [step](double v) { return std::min(63, static_cast<int>(v / step)); };
  for (int k = 0; k <= 64; ++k) c.sort_count[k] = 0;
  for (int i = 0; i < n; ++i) ++c.sort_count[key(d[i]) + 1];
  for (int k = 0; k < 64; ++k) c.sort_count[k + 1] += c.sort_count[k];
  for (int i = 0; i < n; ++i) {
    const int at = c.sort_count[key(d[i])]++;
    c.sort_a[at] = a[i];
    c.sort_b[at] = b[i];
    c.sort_d[at] = d[i];
  }
  for (int i = 0; i < n; ++i) {
    a[i] = c.sort_a[i];
    b[i] = c.sort_b[i];
    d[i] = c.sort_d[i];
  }
}

// Makes the lists again when they are missing or two vertices have moved the
// margin between them since they were made: until then no pair left out can
// come within the clearance, nor a side left out of the guard's list reach a
// face. drift: how much closer any two elements can have come since.
void ensure_lists(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  if (c.built) {
    // A point of an element moves no further than its furthest corner, so
    // two elements have come at most the two furthest moves closer.
    double first = 0, second = 0;
    for (int v = 0; v < s.NOV; ++v) {
      const double ex = s.x[v] - c.bx[v], ey = s.y[v] - c.by[v], ez = s.z[v] - c.bz[v];
      const double d2 = ex * ex + ey * ey + ez * ez;
      if (d2 > second) {
        if (d2 > first) {
          second = first;
          first = d2;
        } else {
          second = d2;
        }
      }
    }
    const double closer = std::sqrt(first) + std::sqrt(second);
    if (closer < kContactMargin) {
      c.drift = closer;
      return;
    }
  }
  rebuild(s);
}

void save_start(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  for (int v = 0; v < s.NOV; ++v) c.px[v] = s.x[v], c.py[v] = s.y[v], c.pz[v] = s.z[v];
}

void revert(Store& s, int v) {
  ContactScratch& c = s.scratch.contacts;
  s.x[v] = c.px[v];
  s.y[v] = c.py[v];
  s.z[v] = c.pz[v];
  c.held[v] = 1;
}

// Puts back to the start of the pass every vertex of a side that now crosses
// a face it did not cross then, until no such pair is left; the start of the
// pass had none, so at worst every vertex goes back.
void guard(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  for (int round = 0; round < 64; ++round) {
    ensure_lists(s);
    bool found = false;
    // A pair further apart than twice the drift when the lists were made
    // cannot have met since.
    const double within = c.drift + 1e-9;
    for (int n = 0; n < c.ng; ++n) {
      if (step_floor(c.g_d[n], kContactMargin) > within + 1e-5) break;
      if (c.g_d[n] > within + 1e-5) continue;
      const Face fc = s.face[c.g_f[n]];
      const int p = c.side[c.g_e[n]].first, q = c.side[c.g_e[n]].second;
      if (!side_crosses_face(s.x.data(), s.y.data(), s.z.data(), p, q, fc)) continue;
      if (side_crosses_face(c.px.data(), c.py.data(), c.pz.data(), p, q, fc)) continue;
      found = true;
      revert(s, p);
      revert(s, q);
      for (int k = 0; k < 3; ++k) revert(s, fc[k]);
    }
    // A vertex may also have jumped clean through a face, its sides with it
    // (a whole small piece moved at once): its path from the start of the
    // pass must not pass through a face near it.
    const double reach = kClearance + c.drift;
    for (int n = 0; n < c.nvf; ++n) {
      if (step_floor(c.vf_d[n], kClearance + kContactMargin) > reach + 1e-5) break;
      if (c.vf_d[n] > reach + 1e-5) continue;
      const int v = c.vf_v[n];
      if (c.px[v] == s.x[v] && c.py[v] == s.y[v] && c.pz[v] == s.z[v]) continue;
      const Face fc = s.face[c.vf_f[n]];
      const V3 a = at(s.x.data(), s.y.data(), s.z.data(), fc[0]),
               b = at(s.x.data(), s.y.data(), s.z.data(), fc[1]),
               cc = at(s.x.data(), s.y.data(), s.z.data(), fc[2]);
      if (!segment_crosses(at(c.px.data(), c.py.data(), c.pz.data(), v),
                           at(s.x.data(), s.y.data(), s.z.data(), v), a, b, cc))
        continue;
      found = true;
      revert(s, v);
      for (int k = 0; k < 3; ++k) revert(s, fc[k]);
    }
    if (!found && !c.overflow) return;
    if (!found) break;
  }
  if (!c.overflow) {
    // Still crossing after many rounds: go back entirely.
    for (int v = 0; v < s.NOV; ++v) revert(s, v);
    return;
  }
  // The lists were too full to trust: check every side against every face
  // near it the slow way, going back wherever one crosses.
  bool any = false;
  for (int f = 0; f < s.NOS && !any; ++f) {
    const Face fc = s.face[f];
    if (degenerate(fc)) continue;
    for (int e = 0; e < c.nside && !any; ++e) {
      const int p = c.side[e].first, q = c.side[e].second;
      if (corner_of(fc, p) || corner_of(fc, q)) continue;
      any = side_crosses_face(s.x.data(), s.y.data(), s.z.data(), p, q, fc) &&
            !side_crosses_face(c.px.data(), c.py.data(), c.pz.data(), p, q, fc);
    }
  }
  if (any)
    for (int v = 0; v < s.NOV; ++v) revert(s, v);
}

void cap_steps(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  for (int v = 0; v < s.NOV; ++v) {
    const double ex = s.x[v] - c.px[v], ey = s.y[v] - c.py[v], ez = s.z[v] - c.pz[v];
    const double d2 = ex * ex + ey * ey + ez * ez;
    if (d2 <= kStepCap * kStepCap) continue;
    const double k = kStepCap / std::sqrt(d2);
    s.x[v] = c.px[v] + k * ex;
    s.y[v] = c.py[v] + k * ey;
    s.z[v] = c.pz[v] + k * ez;
  }
}

void add_push(ContactScratch& c, int v, V3 d) {
  c.fx[v] += d.x;
  c.fy[v] += d.y;
  c.fz[v] += d.z;
}

// Pushes apart every candidate pair closer than the clearance. True when any
// pair did.
bool push_contacts(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  const double* x = s.x.data();
  const double* y = s.y.data();
  const double* z = s.z.data();
  const double* px = c.px.data();
  const double* py = c.py.data();
  const double* pz = c.pz.data();
  for (int v = 0; v < s.NOV; ++v) c.fx[v] = c.fy[v] = c.fz[v] = 0;
  bool any = false;
  const double h2 = kClearance * kClearance;

  const double within = kClearance + c.drift;
  for (int n = 0; n < c.nvf; ++n) {
    if (step_floor(c.vf_d[n], kClearance + kContactMargin) > within + 1e-5) break;
    if (c.vf_d[n] > within + 1e-5) continue;
    const int v = c.vf_v[n];
    const Face fc = s.face[c.vf_f[n]];
    const V3 p = at(x, y, z, v), a = at(x, y, z, fc[0]), b = at(x, y, z, fc[1]),
             cc = at(x, y, z, fc[2]);
    // Cheap rejection by the box of the face.
    if (p.x < std::min({a.x, b.x, cc.x}) - kClearance ||
        p.x > std::max({a.x, b.x, cc.x}) + kClearance ||
        p.y < std::min({a.y, b.y, cc.y}) - kClearance ||
        p.y > std::max({a.y, b.y, cc.y}) + kClearance ||
        p.z < std::min({a.z, b.z, cc.z}) - kClearance ||
        p.z > std::max({a.z, b.z, cc.z}) + kClearance)
      continue;
    double w[3];
    const V3 q = closest_on_triangle(p, a, b, cc, w);
    const V3 d = p - q;
    const double d2 = dot(d, d);
    if (d2 >= h2) continue;
    V3 dir;
    double shortfall;
    if (w[0] > 1e-9 && w[1] > 1e-9 && w[2] > 1e-9) {
      // Over the face: away from it on the side the vertex had before the step.
      V3 nrm = cross(b - a, cc - a);
      const double nl = std::sqrt(dot(nrm, nrm));
      if (!(nl > 0)) continue;
      nrm = (1 / nl) * nrm;
      const V3 pa = at(px, py, pz, fc[0]);
      const V3 pn = cross(at(px, py, pz, fc[1]) - pa, at(px, py, pz, fc[2]) - pa);
      double side = dot(at(px, py, pz, v) - pa, pn);
      if (side == 0) side = dot(d, nrm);
      if (side < 0) nrm = -1 * nrm;
      dir = nrm;
      shortfall = kClearance - dot(d, nrm);
    } else {
      const double dl = std::sqrt(d2);
      if (!(dl > 0)) continue;
      dir = (1 / dl) * d;
      shortfall = kClearance - dl;
    }
    const double m = kStiffness * shortfall / 2;
    add_push(c, v, m * dir);
    for (int k = 0; k < 3; ++k) add_push(c, fc[k], (-m * w[k]) * dir);
    any = true;
  }

  for (int n = 0; n < c.nee; ++n) {
    if (step_floor(c.ee_d[n], kClearance + kContactMargin) > within + 1e-5) break;
    if (c.ee_d[n] > within + 1e-5) continue;
    const Edge e1 = c.side[c.ee_a[n]], e2 = c.side[c.ee_b[n]];
    const V3 p1 = at(x, y, z, e1.first), q1 = at(x, y, z, e1.second), p2 = at(x, y, z, e2.first),
             q2 = at(x, y, z, e2.second);
    if (std::max(p1.x, q1.x) + kClearance < std::min(p2.x, q2.x) ||
        std::max(p2.x, q2.x) + kClearance < std::min(p1.x, q1.x) ||
        std::max(p1.y, q1.y) + kClearance < std::min(p2.y, q2.y) ||
        std::max(p2.y, q2.y) + kClearance < std::min(p1.y, q1.y) ||
        std::max(p1.z, q1.z) + kClearance < std::min(p2.z, q2.z) ||
        std::max(p2.z, q2.z) + kClearance < std::min(p1.z, q1.z))
      continue;
    double s1, t1;
    closest_on_segments(p1, q1, p2, q2, &s1, &t1);
    const V3 d = (p1 + s1 * (q1 - p1)) - (p2 + t1 * (q2 - p2));
    const double d2 = dot(d, d);
    if (d2 >= h2) continue;
    // The way the two sides passed each other before the step.
    const V3 pd =
        (at(px, py, pz, e1.first) + s1 * (at(px, py, pz, e1.second) - at(px, py, pz, e1.first))) -
        (at(px, py, pz, e2.first) + t1 * (at(px, py, pz, e2.second) - at(px, py, pz, e2.first)));
    const double dl = std::sqrt(d2);
    V3 dir;
    double shortfall;
    if (dl > 1e-12 && dot(d, pd) >= 0) {
      dir = (1 / dl) * d;
      shortfall = kClearance - dl;
    } else {
      const double pl = std::sqrt(dot(pd, pd));
      if (!(pl > 0)) continue;
      dir = (1 / pl) * pd;
      shortfall = kClearance + dl;
    }
    const double m = kStiffness * shortfall / 2;
    add_push(c, e1.first, (m * (1 - s1)) * dir);
    add_push(c, e1.second, (m * s1) * dir);
    add_push(c, e2.first, (-m * (1 - t1)) * dir);
    add_push(c, e2.second, (-m * t1) * dir);
    any = true;
  }
  if (!any) return false;
  for (int v = 0; v < s.NOV; ++v) {
    const double f2 = c.fx[v] * c.fx[v] + c.fy[v] * c.fy[v] + c.fz[v] * c.fz[v];
    if (f2 == 0) continue;
    c.held[v] = 1;
    double k = 1;
    if (f2 > kStepCap * kStepCap) k = kStepCap / std::sqrt(f2);
    s.x[v] += k * c.fx[v];
    s.y[v] += k * c.fy[v];
    s.z[v] += k * c.fz[v];
  }
  return true;
}

// Every edge with no end held this pass within 0.05 of its target.
bool settled(const Store& s) {
  const ContactScratch& c = s.scratch.contacts;
  for (int l = 0; l < s.NOE; ++l) {
    const int j = s.edge[l].first, k = s.edge[l].second;
    if (c.held[j] || c.held[k]) continue;
    const double ex = s.x[k] - s.x[j], ey = s.y[k] - s.y[j], ez = s.z[k] - s.z[j];
    const double d = std::sqrt(ex * ex + ey * ey + ez * ez) - s.phi[l];
    if (d < -0.05 || d > 0.05) return false;
  }
  return true;
}

bool indices_sound(const Store& s) {
  for (int l = 0; l < s.NOE; ++l)
    if (s.edge[l].first < 0 || s.edge[l].first >= s.NOV || s.edge[l].second < 0 ||
        s.edge[l].second >= s.NOV)
      return false;
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] < 0 || s.face[f][k] >= s.NOV) return false;
  return true;
}

void remember(Store& s) {
  ApartState& a = s.apart;
  for (int v = 0; v < s.NOV; ++v) a.rx[v] = s.x[v], a.ry[v] = s.y[v], a.rz[v] = s.z[v];
  a.ref_nov = s.NOV;
  a.ref_valid = true;
}

}  // namespace

bool side_crosses_face(const double* x, const double* y, const double* z, int a, int b,
                       const Face& f) {
  return segment_crosses(at(x, y, z, a), at(x, y, z, b), at(x, y, z, f[0]), at(x, y, z, f[1]),
                         at(x, y, z, f[2]));
}

void set_keep_apart(Store& s, bool on) {
  s.apart.on = on;
  s.apart.ref_valid = false;
  s.apart.paste_stall = 0;
  s.apart.pastes_given_up = 0;
  s.scratch.contacts.built = false;
}

void forget_apart_positions(Store& s) { s.apart.ref_valid = false; }

bool modify_apart(Store& s) {
  const int limit = s.touch_purturb ? 50 : 10;
  if (!indices_sound(s)) {
    // A damaged store has nothing to keep apart; relax it as always.
    s.apart.ref_valid = false;

    return modify_plain(s);
  }
  ContactScratch& c = s.scratch.contacts;
  if (refresh_topology(s)) s.apart.ref_valid = false;
  for (int v = 0; v < s.NOV; ++v) c.held[v] = 0;
  // Whatever moved vertices since the last relaxation is held to the same
  // rule as a pass.
  if (s.apart.ref_valid && s.apart.ref_nov == s.NOV) {
    for (int v = 0; v < s.NOV; ++v)
      c.px[v] = s.apart.rx[v], c.py[v] = s.apart.ry[v], c.pz[v] = s.apart.rz[v];
    guard(s);
  }
  int count = 0;
  bool ok = false;
  for (;;) {
    ++count;
    save_start(s);
    for (int v = 0; v < s.NOV; ++v) c.held[v] = 0;
    modifyonce(s);
    cap_steps(s);
    ensure_lists(s);
    const bool touching = push_contacts(s);
    guard(s);
    if (settled(s)) {
      ok = true;
      break;
    }
    if (touching && count >= kContactPasses) {
      ok = true;
      break;
    }
    if (count > limit) break;
  }
  s.relaxation.passes = count;
  remember(s);
  return ok;
}

bool place_new_cell_apart(Store& s, int c) {
  const int N = s.NOV - 7, S = s.NOS - 7;
  if (N < 0 || S < 0) return false;
  const V3 pc = at(s.x.data(), s.y.data(), s.z.data(), c);
  V3 off[7];
  for (int k = 0; k < 7; ++k) off[k] = at(s.x.data(), s.y.data(), s.z.data(), N + k) - pc;
  V3 axis = off[5] - off[0];
  const double al = std::sqrt(dot(axis, axis));
  if (!(al > 0)) return false;
  axis = (1 / al) * axis;

  // The clearance is measured to faces beyond c's own ring: those of its
  // neighbours are where the cell is sewn on.
  const double reach = 3.5;
  auto ring = [&](const Face& f) {
    for (int k = 0; k < 3; ++k) {
      if (f[k] == c) return true;
      for (int l = 0; l < s.NOE - 14; ++l)
        if ((s.edge[l].first == c && s.edge[l].second == f[k]) ||
            (s.edge[l].second == c && s.edge[l].first == f[k]))
          return true;
    }
    return false;
  };
  auto try_place = [&](double angle, double scale, double* clearance) {
    const double ca = std::cos(angle), sa = std::sin(angle);
    for (int k = 0; k < 7; ++k) {
      // Rodrigues' turn of off[k] about the axis, then the shrink.
      const V3 o = off[k];
      const V3 r = ca * o + sa * cross(axis, o) + ((1 - ca) * dot(axis, o)) * axis;
      const V3 p = pc + scale * r;
      s.x[N + k] = p.x, s.y[N + k] = p.y, s.z[N + k] = p.z;
    }
    double best = 1e300;
    for (int f = 0; f < S; ++f) {
      const Face old = s.face[f];
      if (degenerate(old)) continue;
      const V3 a = at(s.x.data(), s.y.data(), s.z.data(), old[0]);
      if (dot(a - pc, a - pc) > reach * reach) continue;
      for (int g = S; g < S + 7; ++g) {
        const Face nw = s.face[g];
        for (int k = 0; k < 3; ++k) {
          const int p = nw[k], q = nw[(k + 1) % 3];
          if (!corner_of(old, p) && !corner_of(old, q) &&
              side_crosses_face(s.x.data(), s.y.data(), s.z.data(), p, q, old))
            return false;
          const int r = old[k], t = old[(k + 1) % 3];
          if (!corner_of(nw, r) && !corner_of(nw, t) &&
              side_crosses_face(s.x.data(), s.y.data(), s.z.data(), r, t, nw))
            return false;
        }
      }
      if (ring(old)) continue;
      const V3 b = at(s.x.data(), s.y.data(), s.z.data(), old[1]),
               cc = at(s.x.data(), s.y.data(), s.z.data(), old[2]);
      for (int k = 0; k < 7; ++k)
        best = std::min(best, point_triangle_distance2(
                                  at(s.x.data(), s.y.data(), s.z.data(), N + k), a, b, cc));
    }
    *clearance = std::sqrt(best);
    return true;
  };

  constexpr double kScales[] = {1.0, 0.6, 0.35, 0.2, 0.1};
  constexpr double kTilts[] = {0, 0.4, -0.4, 0.8, -0.8, 1.2, -1.2, 1.6, -1.6, 2.2, -2.2, 3.14159};
  double best_angle = 0, best_scale = 0, best_clear = -1;
  for (double scale : kScales) {
    double level_angle = 0, level_clear = -1;
    for (double angle : kTilts) {
      double clear;
      if (try_place(angle, scale, &clear) && clear > level_clear) {
        level_clear = clear;
        level_angle = angle;
      }
    }
    if (level_clear > best_clear) {
      best_clear = level_clear;
      best_angle = level_angle;
      best_scale = scale;
    }
    if (level_clear >= kClearance / 2) break;
  }
  if (best_clear < 0) {
    for (int k = 0; k < 7; ++k) {
      const V3 p = pc + off[k];
      s.x[N + k] = p.x, s.y[N + k] = p.y, s.z[N + k] = p.z;
    }
    return false;
  }
  double unused;
  try_place(best_angle, best_scale, &unused);
  return true;
}

}  // namespace brimoss
