#include "sim/contacts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

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
// The least side of the grid's cells the lists are made on.
constexpr double kCell = 1.0;
// Between the makings of the lists, a vertex's pairs are measured again once
// it has moved this far from where they were last measured. Until then no
// vertex is further than this from there, and so no pair is more than twice
// as much nearer than measured (a point of an element moves no further than
// its furthest corner): only the pairs measured within that of the clearance
// (or of crossing, for the guard) need looking at in a pass.
constexpr double kRecheck = 0.025;
// A vertex this far from where it was anchored has the pairs of its elements
// searched for again from where it is; less than half the margin, so that no
// pair left out of the lists can come within the clearance meanwhile.
constexpr double kReanchor = 0.24;
static_assert(2 * kReanchor < kContactMargin, "pairs left out could come within reach");
// When some vertex needs a search, those this far from their anchors come
// along: a search costs much whatever its size.
constexpr double kAlong = 0.75 * kReanchor;
constexpr double kNearContact = kClearance + 2 * kRecheck + 1e-6;
constexpr double kNearCrossing = 2 * kRecheck + 1e-6;
// A vertex that moved at least this far in a pass can have passed through a
// face off the near lists.
constexpr double kLongPath = kClearance;
// The distance of a pair whose ends were joined after the lists were made
// (a paste's joining edge): it never meets again.
constexpr float kGone = 1e30f;

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

// A fresh mark for the vertices a search leaves out.
int next_mark(ContactScratch& c) {
  if (c.mark_id == 2000000000) {
    for (int& m : c.mark) m = 0;
    c.mark_id = 0;
  }
  return ++c.mark_id;
}

void mark_with_neighbours(ContactScratch& c, int v, int id) {
  c.mark[v] = id;
  for (int i = c.nb_start[v]; i < c.nb_start[v + 1]; ++i) c.mark[c.nb[i]] = id;
}

// Whether vertex v and face f are more than one edge apart, and so whether
// sides (p, q) and (r, t) are.
bool apart_vf(const ContactScratch& c, int v, const Face& f) {
  return !corner_of(f, v) && !neighbours(c, v, f[0]) && !neighbours(c, v, f[1]) &&
         !neighbours(c, v, f[2]);
}
bool apart_ee(const ContactScratch& c, Edge a, Edge b) {
  return !near(c, a.first, b.first) && !near(c, a.first, b.second) && !near(c, a.second, b.first) &&
         !near(c, a.second, b.second);
}

// Whether two vertices lie in parts the user left crossing each other.
inline bool tangled(const ContactScratch& c, int u, int w) {
  const int a = c.tangle[u], b = c.tangle[w];
  return a >= 0 && b >= 0 && ((c.tangle_mask[a] >> b) & 1) != 0;
}

// Whether a pair of elements lies in two parts that cross each other (every
// vertex of the one in a part crossing every vertex's part of the other): such
// pairs are the user's, neither kept apart nor guarded.
bool exempt_vf(const ContactScratch& c, int v, const Face& f) {
  return c.ntangled > 0 && tangled(c, v, f[0]) && tangled(c, v, f[1]) && tangled(c, v, f[2]);
}
bool exempt_ee(const ContactScratch& c, Edge a, Edge b) {
  return c.ntangled > 0 && tangled(c, a.first, b.first) && tangled(c, a.first, b.second) &&
         tangled(c, a.second, b.first) && tangled(c, a.second, b.second);
}
bool exempt_g(const ContactScratch& c, Edge e, const Face& f) {
  return c.ntangled > 0 && exempt_vf(c, e.first, f) && exempt_vf(c, e.second, f);
}

void make_neighbours(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  const int nov = s.NOV;
  for (int i = 0; i <= nov; ++i) c.nb_start[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first == e.second) continue;
    ++c.nb_start[e.first + 1];
    ++c.nb_start[e.second + 1];
  }
  for (int i = 0; i < nov; ++i) c.nb_start[i + 1] += c.nb_start[i];
  for (int i = 0; i < nov; ++i) c.tmp[i] = c.nb_start[i];
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first == e.second) continue;
    c.nb[c.tmp[e.first]++] = e.second;
    c.nb[c.tmp[e.second]++] = e.first;
  }
}

// The sides of the faces, numbered in the order the faces first name them (so
// that faces added at the end add sides at the end), each vertex's sides and
// each vertex's faces.
void make_sides(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  const int nov = s.NOV;
  // Each side is looked up among those already found at its lower end: rows
  // by lower end (an upper bound of three per face), holding the upper end
  // and the side's number, two ints a side in vs.
  for (int i = 0; i <= nov; ++i) c.vs_start[i] = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    if (degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) ++c.vs_start[std::min(fc[k], fc[(k + 1) % 3]) + 1];
  }
  for (int i = 0; i < nov; ++i) c.vs_start[i + 1] += c.vs_start[i];
  int* fill = c.tmp.data();
  for (int i = 0; i < nov; ++i) fill[i] = c.vs_start[i];
  c.nside = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    if (degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) {
      const int lo = std::min(fc[k], fc[(k + 1) % 3]), hi = std::max(fc[k], fc[(k + 1) % 3]);
      bool seen = false;
      for (int i = c.vs_start[lo]; i < fill[lo] && !seen; ++i) seen = c.vs[2 * i] == hi;
      if (seen) continue;
      c.vs[2 * fill[lo]] = static_cast<std::uint16_t>(hi);
      c.vs[2 * fill[lo]++ + 1] = static_cast<std::uint16_t>(c.nside);
      ContactScratch::Side& sd = c.side[c.nside++];
      sd.first = static_cast<std::uint16_t>(lo);
      sd.second = static_cast<std::uint16_t>(hi);
    }
  }
  // Each vertex's sides by number.
  for (int i = 0; i <= nov; ++i) c.vs_start[i] = 0;
  for (int e = 0; e < c.nside; ++e) {
    ++c.vs_start[c.side[e].first + 1];
    ++c.vs_start[c.side[e].second + 1];
  }
  for (int i = 0; i < nov; ++i) c.vs_start[i + 1] += c.vs_start[i];
  for (int i = 0; i < nov; ++i) fill[i] = c.vs_start[i];
  for (int e = 0; e < c.nside; ++e) {
    c.vs[fill[c.side[e].first]++] = static_cast<std::uint16_t>(e);
    c.vs[fill[c.side[e].second]++] = static_cast<std::uint16_t>(e);
  }
  // Each vertex's faces.
  for (int i = 0; i <= nov; ++i) c.vface_start[i] = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    if (degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) ++c.vface_start[fc[k] + 1];
  }
  for (int i = 0; i < nov; ++i) c.vface_start[i + 1] += c.vface_start[i];
  for (int i = 0; i < nov; ++i) fill[i] = c.vface_start[i];
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fc = s.face[f];
    if (degenerate(fc)) continue;
    for (int k = 0; k < 3; ++k) c.vface[fill[fc[k]]++] = static_cast<std::uint16_t>(f);
  }
}

// The number side (a, b) has now, or -1.
int side_number(const ContactScratch& c, int a, int b) {
  for (int i = c.vs_start[a]; i < c.vs_start[a + 1]; ++i) {
    const Edge e = c.side[c.vs[i]];
    if ((e.first == a && e.second == b) || (e.first == b && e.second == a)) return c.vs[i];
  }
  return -1;
}

// After edges were added (a paste's joining edge), the pairs their ends now
// meet through them are dropped: the lists hold every other pair still.
void drop_joined(Store& s, int first_new) {
  ContactScratch& c = s.scratch.contacts;
  for (int l = first_new; l < s.NOE; ++l) {
    const int u = s.edge[l].first, w = s.edge[l].second;
    auto touches = [u, w](int v) { return v == u || v == w; };
    for (int n = 0; n < c.nvf; ++n) {
      const Face& f = s.face[c.vf_f[n]];
      const int v = c.vf_v[n];
      if ((touches(v) || touches(f[0]) || touches(f[1]) || touches(f[2])) && !apart_vf(c, v, f))
        c.vf_d[n] = kGone;
    }
    for (int n = 0; n < c.nee; ++n) {
      const Edge a = c.side[c.ee_a[n]], b = c.side[c.ee_b[n]];
      if ((touches(a.first) || touches(a.second) || touches(b.first) || touches(b.second)) &&
          !apart_ee(c, a, b))
        c.ee_d[n] = kGone;
    }
  }
}

bool indices_sound(const Store& s);

// The grid over the anchored positions' box: cells of at least kCell, as
// many as fit ContactScratch::kCells, in rows along z.
struct Grid {
  double x0, y0, z0, cell;
  int ni, nj, nk;

  explicit Grid(const ContactScratch& c)
      : x0(c.grid_lo[0]),
        y0(c.grid_lo[1]),
        z0(c.grid_lo[2]),
        cell(c.grid_cell),
        ni(c.grid_n[0]),
        nj(c.grid_n[1]),
        nk(c.grid_n[2]) {}

  static int axis(double v, double origin, double cell, int n) {
    const double t = (v - origin) / cell;
    if (!(t >= 0)) return 0;  // below the box, or not a number
    return t >= n ? n - 1 : static_cast<int>(t);
  }
  int i(double v) const { return axis(v, x0, cell, ni); }
  int j(double v) const { return axis(v, y0, cell, nj); }
  int k(double v) const { return axis(v, z0, cell, nk); }
  int at(V3 p) const { return (i(p.x) * nj + j(p.y)) * nk + k(p.z); }
  int cells() const { return ni * nj * nk; }

  // Calls visit(n) for every entry after `after` of the cells that meet the
  // box [lo - r, hi + r], row by row, given where each cell's entries start.
  template <class Visit>
  void each_near(const int* start, V3 lo, V3 hi, double r, int after, Visit visit) const {
    const int i0 = i(lo.x - r), i1 = i(hi.x + r);
    const int j0 = j(lo.y - r), j1 = j(hi.y + r);
    const int k0 = k(lo.z - r), k1 = k(hi.z + r);
    for (int a = i0; a <= i1; ++a)
      for (int b = j0; b <= j1; ++b) {
        const int row = (a * nj + b) * nk;
        for (int n = std::max(start[row + k0], after + 1); n < start[row + k1 + 1]; ++n) visit(n);
      }
  }
};

// Sorts n elements into cells by counting: cell_of[e] gives each element's
// cell; start[c] .. start[c + 1] are then cell c's entries, in ascending
// order.
void sort_into_cells(int* start, std::uint16_t* entries, const int* cell_of, int n, int cells) {
  for (int k = 0; k <= cells; ++k) start[k] = 0;
  for (int e = 0; e < n; ++e) ++start[cell_of[e]];
  for (int k = 0; k < cells; ++k) start[k + 1] += start[k];
  // start[k] is now the end of cell k; filling from the back leaves it at the
  // cell's beginning.
  for (int e = n - 1; e >= 0; --e) entries[--start[cell_of[e]]] = static_cast<std::uint16_t>(e);
  start[cells] = n;
}

// The anchored positions.
struct Anchored {
  const double *x, *y, *z;
  explicit Anchored(const ContactScratch& c) : x(c.bx.data()), y(c.by.data()), z(c.bz.data()) {}
  Anchored(const double* px, const double* py, const double* pz) : x(px), y(py), z(pz) {}
  V3 operator[](int v) const { return {x[v], y[v], z[v]}; }
};

void segment_box(V3 a, V3 b, V3* lo, V3* hi) {
  *lo = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
  *hi = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

void side_box(const ContactScratch& c, const Anchored& p, int e, V3* lo, V3* hi) {
  segment_box(p[c.side[e].first], p[c.side[e].second], lo, hi);
}

void face_box(const Anchored& p, const Face& f, V3* lo, V3* hi) {
  const V3 a = p[f[0]], b = p[f[1]], cc = p[f[2]];
  *lo = {std::min({a.x, b.x, cc.x}), std::min({a.y, b.y, cc.y}), std::min({a.z, b.z, cc.z})};
  *hi = {std::max({a.x, b.x, cc.x}), std::max({a.y, b.y, cc.y}), std::max({a.z, b.z, cc.z})};
}

bool boxes_meet(V3 lo1, V3 hi1, V3 lo2, V3 hi2, double r) {
  return lo2.x <= hi1.x + r && lo1.x <= hi2.x + r && lo2.y <= hi1.y + r && lo1.y <= hi2.y + r &&
         lo2.z <= hi1.z + r && lo1.z <= hi2.z + r;
}

// The grid, from the anchored positions (or, to look for crossings, from
// where the vertices are).
void make_grid(Store& s, const Anchored& p) {
  ContactScratch& c = s.scratch.contacts;
  double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
  bool any = false;
  for (int v = 0; v < s.NOV; ++v) {
    const double q[3] = {p.x[v], p.y[v], p.z[v]};
    if (!std::isfinite(q[0]) || !std::isfinite(q[1]) || !std::isfinite(q[2])) continue;
    for (int a = 0; a < 3; ++a) {
      lo[a] = any ? std::min(lo[a], q[a]) : q[a];
      hi[a] = any ? std::max(hi[a], q[a]) : q[a];
    }
    any = true;
  }
  const double ext[3] = {hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
  double cell = std::max(kCell, std::max({ext[0], ext[1], ext[2]}) / ContactScratch::kCells);
  for (;;) {
    double n[3], total = 1;
    for (int a = 0; a < 3; ++a) total *= (n[a] = std::floor(ext[a] / cell) + 1);
    if (total <= ContactScratch::kCells) {
      for (int a = 0; a < 3; ++a) {
        c.grid_lo[a] = lo[a];
        c.grid_n[a] = static_cast<int>(n[a]);
      }
      c.grid_cell = cell;
      break;
    }
    cell *= 1.25;
  }
  const Grid grid(c);
  const int cells = grid.cells();
  for (int v = 0; v < s.NOV; ++v) c.tmp[v] = grid.at(p[v]);
  sort_into_cells(c.v_start.data(), c.v_in_cell.data(), c.tmp.data(), s.NOV, cells);
  // Sides and faces by the cell of their box's low corner: one within r of a
  // box has that corner within r plus its extent of the box.
  for (double& e : c.side_extent) e = 0;
  for (int e = 0; e < c.nside; ++e) {
    V3 l, h;
    side_box(c, p, e, &l, &h);
    c.tmp[e] = grid.at(l);
    c.side_extent[0] = std::max(c.side_extent[0], h.x - l.x);
    c.side_extent[1] = std::max(c.side_extent[1], h.y - l.y);
    c.side_extent[2] = std::max(c.side_extent[2], h.z - l.z);
  }
  sort_into_cells(c.s_start.data(), c.s_in_cell.data(), c.tmp.data(), c.nside, cells);
  for (double& e : c.face_extent) e = 0;
  for (int f = 0; f < s.NOS; ++f) {
    V3 l, h;
    face_box(p, s.face[f], &l, &h);
    c.tmp[f] = grid.at(l);
    c.face_extent[0] = std::max(c.face_extent[0], h.x - l.x);
    c.face_extent[1] = std::max(c.face_extent[1], h.y - l.y);
    c.face_extent[2] = std::max(c.face_extent[2], h.z - l.z);
  }
  sort_into_cells(c.f_start.data(), c.f_in_cell.data(), c.tmp.data(), s.NOS, cells);
}

double measure_vf(const ContactScratch& c, int v, const Face& f) {
  const double* x = c.kx.data();
  const double* y = c.ky.data();
  const double* z = c.kz.data();
  return std::sqrt(point_triangle_distance2(at(x, y, z, v), at(x, y, z, f[0]), at(x, y, z, f[1]),
                                            at(x, y, z, f[2])));
}
double measure_ee(const ContactScratch& c, Edge a, Edge b) {
  const double* x = c.kx.data();
  const double* y = c.ky.data();
  const double* z = c.kz.data();
  return std::sqrt(segment_distance2(at(x, y, z, a.first), at(x, y, z, a.second),
                                     at(x, y, z, b.first), at(x, y, z, b.second)));
}
double measure_g(const ContactScratch& c, Edge e, const Face& f) {
  const double* x = c.kx.data();
  const double* y = c.ky.data();
  const double* z = c.kz.data();
  return std::sqrt(segment_triangle_distance2(at(x, y, z, e.first), at(x, y, z, e.second),
                                              at(x, y, z, f[0]), at(x, y, z, f[1]),
                                              at(x, y, z, f[2])));
}

// A distance as a float no greater than it, so that bounds built on it hold.
inline float down(double d) { return static_cast<float>(d - 1e-6 * std::fabs(d) - 1e-9); }

// Puts pair n on a near list when its distance d is within `within` and it is
// not on it yet; a full list gives up tracking until the lists are made again.
void note(ContactScratch& c, float d, double within, char* on, std::uint16_t* list, int* count,
          int n) {
  if (d >= within || on[n]) return;
  if (*count == ContactScratch::kNear) {
    c.tracked = false;
    return;
  }
  on[n] = 1;
  list[(*count)++] = static_cast<std::uint16_t>(n);
}

// Drops the pairs given up for good, then makes each vertex's rows of pairs
// and the near lists afresh.
void index_pairs(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  int m = 0;
  for (int n = 0; n < c.nvf; ++n)
    if (c.vf_d[n] != kGone) c.vf_v[m] = c.vf_v[n], c.vf_f[m] = c.vf_f[n], c.vf_d[m++] = c.vf_d[n];
  c.nvf = m;
  m = 0;
  for (int n = 0; n < c.nee; ++n)
    if (c.ee_d[n] != kGone) c.ee_a[m] = c.ee_a[n], c.ee_b[m] = c.ee_b[n], c.ee_d[m++] = c.ee_d[n];
  c.nee = m;
  m = 0;
  for (int n = 0; n < c.ng; ++n)
    if (c.g_d[n] != kGone) c.g_e[m] = c.g_e[n], c.g_f[m] = c.g_f[n], c.g_d[m++] = c.g_d[n];
  c.ng = m;

  c.tracked = true;
  // Rows over `keys` keys: count, sum, then fill from each row's start (kept
  // in tmp).
  auto rows = [&](auto* at, std::uint16_t* of, int keys, int n, int per, auto key) {
    using Start = std::remove_pointer_t<decltype(at)>;
    for (int v = 0; v <= keys; ++v) at[v] = 0;
    for (int p = 0; p < n; ++p)
      for (int k = 0; k < per; ++k) ++at[key(p, k) + 1];
    for (int v = 0; v < keys; ++v) at[v + 1] = static_cast<Start>(at[v + 1] + at[v]);
    for (int v = 0; v < keys; ++v) c.tmp[v] = at[v];
    for (int p = 0; p < n; ++p)
      for (int k = 0; k < per; ++k) of[c.tmp[key(p, k)]++] = static_cast<std::uint16_t>(p);
  };
  const int nov = s.NOV;
  rows(c.vf_at.data(), c.vf_of.data(), nov, c.nvf, 4,
       [&](int p, int k) { return k == 3 ? static_cast<int>(c.vf_v[p]) : s.face[c.vf_f[p]][k]; });
  rows(c.ee_at.data(), c.ee_of.data(), c.nside, c.nee, 2,
       [&](int p, int k) { return static_cast<int>(k == 0 ? c.ee_a[p] : c.ee_b[p]); });
  rows(c.g_at.data(), c.g_of.data(), nov, c.ng, 5, [&](int p, int k) {
    if (k < 3) return s.face[c.g_f[p]][k];
    const Edge e = c.side[c.g_e[p]];
    return k == 3 ? e.first : e.second;
  });
  c.nnear_vf = c.nnear_ee = c.nnear_g = 0;
  for (int n = 0; n < c.nvf; ++n) c.vf_near[n] = 0;
  for (int n = 0; n < c.nee; ++n) c.ee_near[n] = 0;
  for (int n = 0; n < c.ng; ++n) c.g_near[n] = 0;
  for (int n = 0; n < c.nvf; ++n)
    note(c, c.vf_d[n], kNearContact, c.vf_near.data(), c.near_vf.data(), &c.nnear_vf, n);
  for (int n = 0; n < c.nee; ++n)
    note(c, c.ee_d[n], kNearContact, c.ee_near.data(), c.near_ee.data(), &c.nnear_ee, n);
  for (int n = 0; n < c.ng; ++n)
    note(c, c.g_d[n], kNearCrossing, c.g_near.data(), c.near_g.data(), &c.nnear_g, n);
}

// Appending pairs found by a search, with their distances measured between
// the anchored positions (which decided that they are listed) and, when
// `fresh` is false, measured again between the measured positions.
struct Adder {
  ContactScratch& c;
  const Store& s;
  bool fresh;  // the anchored and the measured positions are the same

  // A full list stops tracking until the lists are made again.
  template <class Measure>
  void append(int capacity, int* count, std::uint16_t* first, std::uint16_t* second, float* dist,
              int i, int j, double d, Measure measure) {
    if (*count == capacity) {
      c.overflow = true;
      return;
    }
    first[*count] = static_cast<std::uint16_t>(i);
    second[*count] = static_cast<std::uint16_t>(j);
    dist[(*count)++] = down(fresh ? d : measure());
  }
  void vf(int v, int f, double d) {
    append(ContactScratch::kFacePairs, &c.nvf, c.vf_v.data(), c.vf_f.data(), c.vf_d.data(), v, f, d,
           [&] { return measure_vf(c, v, s.face[f]); });
  }
  void ee(int a, int b, double d) {
    // One short of the capacity, so that the sides' rows of pairs, two
    // entries a pair, end within 16 bits.
    append(ContactScratch::kSidePairs - 1, &c.nee, c.ee_a.data(), c.ee_b.data(), c.ee_d.data(), a,
           b, d, [&] { return measure_ee(c, c.side[a], c.side[b]); });
  }
  void g(int e, int f, double d) {
    append(ContactScratch::kGuard, &c.ng, c.g_e.data(), c.g_f.data(), c.g_d.data(), e, f, d,
           [&] { return measure_g(c, c.side[e], s.face[f]); });
  }
};

constexpr double kReach = kClearance + kContactMargin;

bool in_batch(const ContactScratch& c, int v) { return c.batch_at[v] != 0; }

// Whether side e, or face f, has a vertex of the batch.
bool side_in_batch(const ContactScratch& c, int e) {
  return in_batch(c, c.side[e].first) || in_batch(c, c.side[e].second);
}
bool face_in_batch(const ContactScratch& c, const Face& f) {
  return in_batch(c, f[0]) || in_batch(c, f[1]) || in_batch(c, f[2]);
}

// The pairs of face f: vertices within the reach and sides within the margin
// (all of them, or with `batch`, those with no vertex in the batch: the
// others find f themselves).
void search_face(Store& s, Adder& add, int f, bool batch) {
  ContactScratch& c = s.scratch.contacts;
  const Face fc = s.face[f];
  if (degenerate(fc)) return;
  const Anchored p(c);
  const Grid grid(c);
  const V3 a = p[fc[0]], b = p[fc[1]], cc = p[fc[2]];
  V3 lo, hi;
  face_box(p, fc, &lo, &hi);
  // The face's plane: a point further from it than r is further from the
  // face.
  const V3 n = cross(b - a, cc - a);
  const double nl = std::sqrt(dot(n, n));
  const int id = next_mark(c);
  for (int k = 0; k < 3; ++k) mark_with_neighbours(c, fc[k], id);
  grid.each_near(c.v_start.data(), lo, hi, kReach, -1, [&](int m) {
    const int v = c.v_in_cell[m];
    if (c.mark[v] == id || (batch && in_batch(c, v)) || exempt_vf(c, v, fc)) return;
    const V3 q = p[v];
    if (q.x < lo.x - kReach || q.x > hi.x + kReach || q.y < lo.y - kReach || q.y > hi.y + kReach ||
        q.z < lo.z - kReach || q.z > hi.z + kReach)
      return;
    if (std::fabs(dot(q - a, n)) >= kReach * nl) return;
    const double d2 = point_triangle_distance2(q, a, b, cc);
    if (d2 < kReach * kReach) add.vf(v, f, std::sqrt(d2));
  });
  const double g = kContactMargin;
  const V3 from{lo.x - c.side_extent[0], lo.y - c.side_extent[1], lo.z - c.side_extent[2]};
  grid.each_near(c.s_start.data(), from, hi, g, -1, [&](int m) {
    const int e = c.s_in_cell[m];
    const int ep = c.side[e].first, eq = c.side[e].second;
    if (corner_of(fc, ep) || corner_of(fc, eq) || (batch && side_in_batch(c, e)) ||
        exempt_g(c, c.side[e], fc))
      return;
    V3 slo, shi;
    side_box(c, p, e, &slo, &shi);
    if (!boxes_meet(lo, hi, slo, shi, g)) return;
    // Both ends on one side of the plane and further than g from it.
    const double dp = dot(p[ep] - a, n), dq = dot(p[eq] - a, n);
    if ((dp >= g * nl && dq >= g * nl) || (dp <= -g * nl && dq <= -g * nl)) return;
    const double d2 = segment_triangle_distance2(p[ep], p[eq], a, b, cc);
    if (d2 < g * g) add.g(e, f, std::sqrt(d2));
  });
}

// The side pairs of side e, the one at `after` in cell order: in the lists'
// making those after it in cell order; in a batch's search, every side but
// those of the batch that come before e.
void search_side_pairs(Store& s, Adder& add, int e, int after, bool batch) {
  ContactScratch& c = s.scratch.contacts;
  const Anchored p(c);
  const Grid grid(c);
  const int ep = c.side[e].first, eq = c.side[e].second;
  V3 lo, hi;
  side_box(c, p, e, &lo, &hi);
  const int id = next_mark(c);
  mark_with_neighbours(c, ep, id);
  mark_with_neighbours(c, eq, id);
  const V3 from{lo.x - c.side_extent[0], lo.y - c.side_extent[1], lo.z - c.side_extent[2]};
  grid.each_near(c.s_start.data(), from, hi, kReach, after, [&](int m) {
    const int e2 = c.s_in_cell[m];
    const int r = c.side[e2].first, t = c.side[e2].second;
    if (c.mark[r] == id || c.mark[t] == id) return;
    if (batch && e2 < e && side_in_batch(c, e2)) return;
    if (exempt_ee(c, c.side[e], c.side[e2])) return;
    V3 slo, shi;
    side_box(c, p, e2, &slo, &shi);
    if (!boxes_meet(lo, hi, slo, shi, kReach)) return;
    const double d2 = segment_distance2(p[ep], p[eq], p[r], p[t]);
    if (d2 < kReach * kReach) add.ee(e, e2, std::sqrt(d2));
  });
}

// The faces within the reach of vertex v, and within the margin of side e.
void search_vertex(Store& s, Adder& add, int v) {
  ContactScratch& c = s.scratch.contacts;
  const Anchored p(c);
  const Grid grid(c);
  const V3 q = p[v];
  const int id = next_mark(c);
  mark_with_neighbours(c, v, id);
  const V3 from{q.x - c.face_extent[0], q.y - c.face_extent[1], q.z - c.face_extent[2]};
  grid.each_near(c.f_start.data(), from, q, kReach, -1, [&](int m) {
    const int f = c.f_in_cell[m];
    const Face fc = s.face[f];
    if (degenerate(fc) || c.mark[fc[0]] == id || c.mark[fc[1]] == id || c.mark[fc[2]] == id ||
        exempt_vf(c, v, fc))
      return;
    V3 lo, hi;
    face_box(p, fc, &lo, &hi);
    if (!boxes_meet(lo, hi, q, q, kReach)) return;
    const double d2 = point_triangle_distance2(q, p[fc[0]], p[fc[1]], p[fc[2]]);
    if (d2 < kReach * kReach) add.vf(v, f, std::sqrt(d2));
  });
}
void search_side_faces(Store& s, Adder& add, int e) {
  ContactScratch& c = s.scratch.contacts;
  const Anchored p(c);
  const Grid grid(c);
  const double g = kContactMargin;
  const int ep = c.side[e].first, eq = c.side[e].second;
  V3 lo, hi;
  side_box(c, p, e, &lo, &hi);
  const V3 from{lo.x - c.face_extent[0], lo.y - c.face_extent[1], lo.z - c.face_extent[2]};
  grid.each_near(c.f_start.data(), from, hi, g, -1, [&](int m) {
    const int f = c.f_in_cell[m];
    const Face fc = s.face[f];
    if (degenerate(fc) || corner_of(fc, ep) || corner_of(fc, eq) || exempt_g(c, c.side[e], fc))
      return;
    V3 flo, fhi;
    face_box(p, fc, &flo, &fhi);
    if (!boxes_meet(lo, hi, flo, fhi, g)) return;
    const double d2 = segment_triangle_distance2(p[ep], p[eq], p[fc[0]], p[fc[1]], p[fc[2]]);
    if (d2 < g * g) add.g(e, f, std::sqrt(d2));
  });
}

// The lists made afresh, every vertex anchored and measured where it is.
void rebuild(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  ++c.rebuilds;
  c.built = true;
  c.overflow = false;
  c.nvf = c.nee = c.ng = 0;
  for (int v = 0; v < s.NOV; ++v) {
    c.bx[v] = c.kx[v] = s.x[v];
    c.by[v] = c.ky[v] = s.y[v];
    c.bz[v] = c.kz[v] = s.z[v];
    c.kd[v] = 0;
  }
  make_grid(s, Anchored(c));
  Adder add{c, s, true};
  for (int f = 0; f < s.NOS; ++f) search_face(s, add, f, false);
  // Side pairs once each: from the side that comes first in cell order.
  for (int m = 0; m < c.nside; ++m) search_side_pairs(s, add, c.s_in_cell[m], m, false);
  index_pairs(s);
}

// The vertices listed in the batch are anchored where they are, and the pairs
// of their elements searched for again; the grid is made again first.
void search_batch(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  c.searches += c.nbatch;
  for (int b = 0; b < c.nbatch; ++b) {
    const int v = c.batch[b];
    c.batch_at[v] = b + 1;
    c.bx[v] = c.kx[v] = s.x[v];
    c.by[v] = c.ky[v] = s.y[v];
    c.bz[v] = c.kz[v] = s.z[v];
    c.kd[v] = 0;
  }
  // Every pair with an element of the batch goes, to be found again.
  for (int n = 0; n < c.nvf; ++n)
    if (in_batch(c, c.vf_v[n]) || face_in_batch(c, s.face[c.vf_f[n]])) c.vf_d[n] = kGone;
  for (int n = 0; n < c.nee; ++n)
    if (side_in_batch(c, c.ee_a[n]) || side_in_batch(c, c.ee_b[n])) c.ee_d[n] = kGone;
  for (int n = 0; n < c.ng; ++n)
    if (side_in_batch(c, c.g_e[n]) || face_in_batch(c, s.face[c.g_f[n]])) c.g_d[n] = kGone;
  make_grid(s, Anchored(c));
  Adder add{c, s, false};
  // Each element once: from the first of its vertices in the batch.
  auto first_in_batch = [&](int v, int w) {
    return !in_batch(c, w) || c.batch_at[w] >= c.batch_at[v];
  };
  for (int b = 0; b < c.nbatch; ++b) {
    const int v = c.batch[b];
    search_vertex(s, add, v);
    for (int i = c.vface_start[v]; i < c.vface_start[v + 1]; ++i) {
      const int f = c.vface[i];
      const Face& fc = s.face[f];
      if (first_in_batch(v, fc[0]) && first_in_batch(v, fc[1]) && first_in_batch(v, fc[2]))
        search_face(s, add, f, true);
    }
    for (int i = c.vs_start[v]; i < c.vs_start[v + 1]; ++i) {
      const int e = c.vs[i];
      const int w = c.side[e].first == v ? c.side[e].second : c.side[e].first;
      if (!first_in_batch(v, w)) continue;
      search_side_pairs(s, add, e, -1, true);
      search_side_faces(s, add, e);
    }
  }
  for (int b = 0; b < c.nbatch; ++b) c.batch_at[c.batch[b]] = 0;
  c.nbatch = 0;
  if (c.overflow)
    rebuild(s);
  else
    index_pairs(s);
}

// A batch larger than this is cheaper made afresh.
int most_batch(const Store& s) { return std::max(16, s.NOV / 8); }

enum class Topology { same, kept, changed };

void forget_parts(ContactScratch& c) {
  for (std::uint16_t& p : c.part) p = ContactScratch::kNoPart;
  for (std::int8_t& t : c.tangle) t = -1;
  c.ntangled = 0;
  c.tangle_stale = true;
}

// New vertices (from `old_nov` on) take the part of a vertex a new edge (from
// `old_noe` on) joins them to, as a new cell takes the part it is grown on;
// any joined to none (a copy, a file appended) is in a part not known yet.
void follow_parts(Store& s, int old_nov, int old_noe) {
  ContactScratch& c = s.scratch.contacts;
  constexpr std::uint16_t kNo = ContactScratch::kNoPart;
  for (int v = old_nov; v < s.NOV; ++v) c.part[v] = kNo, c.tangle[v] = -1;
  for (bool more = true; more;) {
    more = false;
    for (int l = old_noe; l < s.NOE; ++l) {
      const int u = s.edge[l].first, w = s.edge[l].second;
      if ((c.part[u] == kNo) == (c.part[w] == kNo)) continue;
      const int from = c.part[u] == kNo ? w : u, to = from == u ? w : u;
      c.part[to] = c.part[from];
      c.tangle[to] = c.tangle[from];
      more = true;
    }
  }
  for (int v = old_nov; v < s.NOV; ++v)
    if (c.part[v] == kNo) c.tangle_stale = true;
}

// Whether the faces now are the faces before with vertex i2 merged into i1
// (a paste's merge: i2 gone, every later vertex one down).
bool merged_faces(const Store& s, int i1, int i2) {
  const ContactScratch& c = s.scratch.contacts;
  if (i1 < 0 || i1 >= i2 || s.NOV != c.nov - 1 || s.NOS != c.nos) return false;
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) {
      const int v = c.faces[f][k];
      if (s.face[f][k] != (v == i2 ? i1 : (v > i2 ? v - 1 : v))) return false;
    }
  return true;
}

// After a merge of i2 into i1: everything numbered by vertex or side follows
// the new numbers, and i1 is searched again (its elements are new).
bool follow_merge(Store& s, int i1, int i2) {
  ContactScratch& c = s.scratch.contacts;
  auto moved = [i1, i2](int v) { return v == i2 ? i1 : (v > i2 ? v - 1 : v); };
  // The old sides' ends under the new numbers, kept while the sides are made
  // again in the rows of vertex-face pairs (which index_pairs makes afresh
  // before they are read).
  static_assert(std::tuple_size<decltype(c.vf_of)>::value >= 2 * 3 * MAXNOS, "room for the sides");
  static_assert(std::tuple_size<decltype(c.ee_of)>::value >= 3 * MAXNOS, "room for the sides");
  const int old_sides = c.nside;
  for (int e = 0; e < old_sides; ++e) {
    c.vf_of[2 * e] = static_cast<std::uint16_t>(moved(c.side[e].first));
    c.vf_of[2 * e + 1] = static_cast<std::uint16_t>(moved(c.side[e].second));
  }
  for (int v = i2; v < s.NOV; ++v) {
    c.bx[v] = c.bx[v + 1], c.by[v] = c.by[v + 1], c.bz[v] = c.bz[v + 1];
    c.kx[v] = c.kx[v + 1], c.ky[v] = c.ky[v + 1], c.kz[v] = c.kz[v + 1];
    c.kd[v] = c.kd[v + 1];
  }
  for (int n = 0; n < c.nvf; ++n) c.vf_v[n] = static_cast<std::uint16_t>(moved(c.vf_v[n]));
  for (int v = i2; v < s.NOV; ++v) c.part[v] = c.part[v + 1], c.tangle[v] = c.tangle[v + 1];
  make_sides(s);
  // Old side numbers to new ones (none: 0xffff), in the rows of side pairs.
  constexpr std::uint16_t kNone = 0xffff;
  for (int e = 0; e < old_sides; ++e) {
    const int now = side_number(c, c.vf_of[2 * e], c.vf_of[2 * e + 1]);
    c.ee_of[e] = now < 0 ? kNone : static_cast<std::uint16_t>(now);
  }
  for (int n = 0; n < c.nee; ++n) {
    const std::uint16_t a = c.ee_of[c.ee_a[n]], b = c.ee_of[c.ee_b[n]];
    if (a == kNone || b == kNone) {
      c.ee_d[n] = kGone;
      continue;
    }
    c.ee_a[n] = a;
    c.ee_b[n] = b;
  }
  for (int n = 0; n < c.ng; ++n) {
    const std::uint16_t e = c.ee_of[c.g_e[n]];
    if (e == kNone) {
      c.g_d[n] = kGone;
      continue;
    }
    c.g_e[n] = e;
  }
  c.batch[0] = i1;
  c.nbatch = 1;
  return true;
}

// The vertex neighbours, the sides of the faces, and each vertex's sides and
// faces, made again whenever the edges or faces have changed. The lists are
// kept, and what changed searched again, when edges were added at the end (a
// paste's joining edge), when vertices, edges and faces were added at the end
// (a new cell), and when a paste merged its pair.
Topology refresh_topology(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  const bool same_faces = c.nov == s.NOV && c.nos == s.NOS &&
                          std::memcmp(c.faces.data(), s.face.data(), sizeof(Face) * s.NOS) == 0;
  if (same_faces && c.noe == s.NOE &&
      std::memcmp(c.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE) == 0)
    return Topology::same;
  c.sound = indices_sound(s);
  if (!c.sound) {
    c.nov = -1;  // looked at again next time
    c.built = false;
    c.tangle_stale = true;
    return Topology::changed;
  }
  const bool grown = c.built && c.nov >= 0 && s.NOV >= c.nov && s.NOS >= c.nos && s.NOE >= c.noe &&
                     std::memcmp(c.faces.data(), s.face.data(), sizeof(Face) * c.nos) == 0 &&
                     std::memcmp(c.edges.data(), s.edge.data(), sizeof(Edge) * c.noe) == 0;
  const bool merged = !grown && c.built && merged_faces(s, s.g_paste_i1, s.g_paste_i2);
  const int old_nov = c.nov, old_noe = c.noe;
  std::memcpy(c.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE);
  std::memcpy(c.faces.data(), s.face.data(), sizeof(Face) * s.NOS);
  c.nov = s.NOV;
  c.noe = s.NOE;
  c.nos = s.NOS;
  make_neighbours(s);
  if (grown && same_faces) {
    drop_joined(s, old_noe);
    return Topology::same;
  }
  if (merged) {
    follow_merge(s, s.g_paste_i1, s.g_paste_i2);
  } else if (grown) {
    follow_parts(s, old_nov, old_noe);
    make_sides(s);
    // The new vertices, and every vertex with a new edge (it has new
    // neighbours: pairs through them go when its pairs are searched again).
    c.nbatch = 0;
    for (int v = old_nov; v < s.NOV; ++v) c.batch[c.nbatch++] = v;
    for (int l = old_noe; l < s.NOE; ++l)
      for (int v : {s.edge[l].first, s.edge[l].second})
        if (v < old_nov && c.batch_at[v] == 0) {
          c.batch_at[v] = 1;
          c.batch[c.nbatch++] = v;
        }
    for (int b = 0; b < c.nbatch; ++b) c.batch_at[c.batch[b]] = 0;
  } else {
    // Vertices kept by number may still be where they were; with more or
    // fewer of them, the parts are found afresh.
    if (old_nov != s.NOV) forget_parts(c);
    c.tangle_stale = true;
    make_sides(s);
    c.built = false;
    return Topology::changed;
  }
  if (c.nbatch > most_batch(s))
    c.built = false;
  else
    search_batch(s);
  return Topology::changed;
}

int root_of(int* root, int v) {
  while (root[v] != v) {
    root[v] = root[root[v]];
    v = root[v];
  }
  return v;
}

// Joins the sets of a and b under the lower of their roots.
void unite(int* root, int a, int b) {
  a = root_of(root, a);
  b = root_of(root, b);
  if (a != b) root[std::max(a, b)] = std::min(a, b);
}

// Whether parts a and b (or the sets, under `root`, that they head) were
// found crossing.
bool noted_crossing(ContactScratch& c, int* root, int a, int b) {
  for (int n = 0; n < c.ncrossed; ++n) {
    const int p = root_of(root, c.crossed[2 * n]), q = root_of(root, c.crossed[2 * n + 1]);
    if ((p == a && q == b) || (p == b && q == a)) return true;
  }
  return false;
}

// Looks at which parts cross which, where the vertices are now. A part's
// vertices that are no longer joined become parts of their own; parts joined
// by an edge that do not cross are one part from then on; two crossing parts
// stay two, even when a paste has joined them. With the tangle changed, the
// lists are made afresh: a part the user moved clear is kept apart again.
void look_for_tangle(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  c.tangle_stale = false;
  ++c.tangle_looks;
  const int nov = s.NOV;
  int* root = c.part_root.data();
  // Parts numbered in the order of their lowest vertex (a set's root is its
  // lowest vertex); the maps from roots in tmp.
  int* label = c.tmp.data();
  int* merged = label + MAXNOV;
  int* slot = merged + MAXNOV;
  static_assert(std::tuple_size<decltype(c.tmp)>::value >= 3 * MAXNOV, "room for the maps");
  for (int v = 0; v < nov; ++v) root[v] = v;
  for (int l = 0; l < s.NOE; ++l) {
    const int u = s.edge[l].first, w = s.edge[l].second;
    if (c.part[u] == c.part[w]) unite(root, u, w);
  }
  int parts = 0;
  for (int v = 0; v < nov; ++v) {
    const int r = root_of(root, v);
    if (r == v) label[v] = parts++;
    c.part[v] = static_cast<std::uint16_t>(label[r]);
  }
  // The crossing pairs of parts: a side of the one through a face of the
  // other, by the guard's own test.
  c.ncrossed = 0;
  if (parts > 1) {
    const Anchored p(s.x.data(), s.y.data(), s.z.data());
    make_grid(s, p);
    const Grid grid(c);
    constexpr double r = 1e-6;
    for (int e = 0; e < c.nside; ++e) {
      const int a = c.side[e].first, b = c.side[e].second, pa = c.part[a];
      if (c.part[b] != pa) continue;
      V3 lo, hi;
      side_box(c, p, e, &lo, &hi);
      const V3 from{lo.x - c.face_extent[0], lo.y - c.face_extent[1], lo.z - c.face_extent[2]};
      grid.each_near(c.f_start.data(), from, hi, r, -1, [&](int m) {
        const Face fc = s.face[c.f_in_cell[m]];
        const int pf = c.part[fc[0]];
        if (degenerate(fc) || pf == pa || c.part[fc[1]] != pf || c.part[fc[2]] != pf) return;
        V3 flo, fhi;
        face_box(p, fc, &flo, &fhi);
        if (!boxes_meet(lo, hi, flo, fhi, r) || c.ncrossed == ContactScratch::kCrossedParts) return;
        for (int n = 0; n < c.ncrossed; ++n)
          if (c.crossed[2 * n] == std::min(pa, pf) && c.crossed[2 * n + 1] == std::max(pa, pf))
            return;
        if (!side_crosses_face(s.x.data(), s.y.data(), s.z.data(), a, b, fc)) return;
        c.crossed[2 * c.ncrossed] = static_cast<std::uint16_t>(std::min(pa, pf));
        c.crossed[2 * c.ncrossed++ + 1] = static_cast<std::uint16_t>(std::max(pa, pf));
      });
    }
  }
  // Parts joined by an edge that do not cross become one.
  for (int q = 0; q < parts; ++q) root[q] = q;
  for (int l = 0; l < s.NOE; ++l) {
    const int a = root_of(root, c.part[s.edge[l].first]);
    const int b = root_of(root, c.part[s.edge[l].second]);
    if (a != b && !noted_crossing(c, root, a, b)) unite(root, a, b);
  }
  int kept = 0;
  for (int q = 0; q < parts; ++q) {
    if (root_of(root, q) == q) merged[q] = kept++;
    slot[q] = -1;
  }
  for (int v = 0; v < nov; ++v)
    c.part[v] = static_cast<std::uint16_t>(merged[root_of(root, c.part[v])]);
  for (int n = 0; n < 2 * c.ncrossed; ++n)
    c.crossed[n] = static_cast<std::uint16_t>(merged[root_of(root, c.crossed[n])]);
  // Slots for the crossing parts, in their order.
  for (int n = 0; n < 2 * c.ncrossed; ++n) slot[c.crossed[n]] = -2;
  int slots = 0;
  for (int q = 0; q < kept; ++q)
    if (slot[q] == -2) slot[q] = slots < ContactScratch::kTangled ? slots++ : -1;
  for (std::uint64_t& m : c.tangle_mask_new) m = 0;
  for (int n = 0; n < c.ncrossed; ++n) {
    const int a = slot[c.crossed[2 * n]], b = slot[c.crossed[2 * n + 1]];
    if (a < 0 || b < 0 || a == b) continue;
    c.tangle_mask_new[a] |= std::uint64_t{1} << b;
    c.tangle_mask_new[b] |= std::uint64_t{1} << a;
  }
  for (int v = 0; v < nov; ++v) c.tangle_new[v] = static_cast<std::int8_t>(slot[c.part[v]]);
  if (slots == c.ntangled &&
      std::memcmp(c.tangle_new.data(), c.tangle.data(), static_cast<std::size_t>(nov)) == 0 &&
      std::memcmp(c.tangle_mask_new, c.tangle_mask, sizeof c.tangle_mask) == 0)
    return;
  std::memcpy(c.tangle.data(), c.tangle_new.data(), static_cast<std::size_t>(nov));
  std::memcpy(c.tangle_mask, c.tangle_mask_new, sizeof c.tangle_mask);
  c.ntangled = slots;
  c.built = false;
}

// The moved vertices listed in tmp (their distances from where their pairs
// were measured in kd) are measured from where they are now: each of their
// pairs can be that much nearer than it was, and one that can now be near is
// measured exactly (between the measured positions as they are then; a
// vertex measured from elsewhere later lowers it again). A pair on its near
// list is measured by the contacts each time they look at it, so it needs no
// measuring here.
void remeasure(Store& s, int moved) {
  ContactScratch& c = s.scratch.contacts;
  for (int m = 0; m < moved; ++m) {
    const int v = c.tmp[m];
    // As a float, with room for the rounding of the subtractions below.
    const float by = static_cast<float>(c.kd[v] + 1e-6);
    c.kx[v] = s.x[v], c.ky[v] = s.y[v], c.kz[v] = s.z[v];
    c.kd[v] = 0;
    for (int i = c.vf_at[v]; i < c.vf_at[v + 1]; ++i) {
      const int n = c.vf_of[i];
      if (c.vf_d[n] == kGone) continue;
      c.vf_d[n] -= by;
      if (c.vf_d[n] >= kNearContact || c.vf_near[n] || !c.tracked) continue;
      c.vf_d[n] = down(measure_vf(c, c.vf_v[n], s.face[c.vf_f[n]]));
      note(c, c.vf_d[n], kNearContact, c.vf_near.data(), c.near_vf.data(), &c.nnear_vf, n);
    }
    for (int j = c.vs_start[v]; j < c.vs_start[v + 1]; ++j)
      for (int e = c.vs[j], i = c.ee_at[e]; i < c.ee_at[e + 1]; ++i) {
        const int n = c.ee_of[i];
        if (c.ee_d[n] == kGone) continue;
        c.ee_d[n] -= by;
        if (c.ee_d[n] >= kNearContact || c.ee_near[n] || !c.tracked) continue;
        c.ee_d[n] = down(measure_ee(c, c.side[c.ee_a[n]], c.side[c.ee_b[n]]));
        note(c, c.ee_d[n], kNearContact, c.ee_near.data(), c.near_ee.data(), &c.nnear_ee, n);
      }
    for (int i = c.g_at[v]; i < c.g_at[v + 1]; ++i) {
      const int n = c.g_of[i];
      if (c.g_d[n] == kGone) continue;
      c.g_d[n] -= by;
      if (c.g_d[n] >= kNearCrossing || !c.tracked) continue;
      c.g_d[n] = down(measure_g(c, c.side[c.g_e[n]], s.face[c.g_f[n]]));
      note(c, c.g_d[n], kNearCrossing, c.g_near.data(), c.near_g.data(), &c.nnear_g, n);
    }
  }
}

// Calls visit(n) for every pair of a kind that can be within `within` now:
// those on its near list (dropping the ones measured too far since), or, when
// the lists are not tracked, every pair but those dropped for good.
template <class Visit>
void each_near(ContactScratch& c, const float* d, char* on, std::uint16_t* list, int* count,
               int all, double within, Visit visit) {
  if (!c.tracked) {
    for (int n = 0; n < all; ++n)
      if (d[n] != kGone) visit(n);
    return;
  }
  int kept = 0;
  for (int i = 0; i < *count; ++i) {
    const int n = list[i];
    if (d[n] >= within) {
      on[n] = 0;
      continue;
    }
    list[kept++] = static_cast<std::uint16_t>(n);
    visit(n);
  }
  *count = kept;
}

template <class Visit>
void each_near_vf(ContactScratch& c, Visit visit) {
  each_near(c, c.vf_d.data(), c.vf_near.data(), c.near_vf.data(), &c.nnear_vf, c.nvf, kNearContact,
            visit);
}
template <class Visit>
void each_near_ee(ContactScratch& c, Visit visit) {
  each_near(c, c.ee_d.data(), c.ee_near.data(), c.near_ee.data(), &c.nnear_ee, c.nee, kNearContact,
            visit);
}
template <class Visit>
void each_near_g(ContactScratch& c, Visit visit) {
  each_near(c, c.g_d.data(), c.g_near.data(), c.near_g.data(), &c.nnear_g, c.ng, kNearCrossing,
            visit);
}

// Looks at vertex v: notes how far it is from where its pairs were
// measured, and lists it for a search when it is kReanchor from its anchor
// and for measuring when it is kRecheck from where its pairs were measured;
// with kFar, lists it too when it is far enough from the start of the pass
// that a push could take it the clearance from there.
template <bool kFar>
inline void look(ContactScratch& c, const Store& s, int v, int* moved) {
  const double x = s.x[v], y = s.y[v], z = s.z[v];
  if (kFar) {
    const double px = x - c.px[v], py = y - c.py[v], pz = z - c.pz[v];
    if (px * px + py * py + pz * pz > (kLongPath - kStepCap) * (kLongPath - kStepCap))
      c.far[c.nfar++] = v;
  }
  const double bx = x - c.bx[v], by = y - c.by[v], bz = z - c.bz[v];
  if (bx * bx + by * by + bz * bz >= kReanchor * kReanchor) c.batch[c.nbatch++] = v;
  const double kx = x - c.kx[v], ky = y - c.ky[v], kz = z - c.kz[v];
  const double k2 = kx * kx + ky * ky + kz * kz;
  // Rounded up, so that bounds taken from it hold.
  c.kd[v] = k2 > 0 ? static_cast<float>(std::sqrt(k2) * (1 + 1e-6)) : 0.0f;
  if (k2 >= kRecheck * kRecheck) c.tmp[(*moved)++] = v;
}

// After a look: searches for the pairs of the batch, or makes the lists
// afresh when it is large, then measures again the moved vertices' pairs.
void after_look(Store& s, int moved) {
  ContactScratch& c = s.scratch.contacts;
  if (c.nbatch > most_batch(s)) {
    rebuild(s);
    return;
  }
  if (c.nbatch > 0) {
    // The vertices well on their way to needing a search come along.
    for (int v = 0; v < s.NOV; ++v) {
      const double bx = s.x[v] - c.bx[v], by = s.y[v] - c.by[v], bz = s.z[v] - c.bz[v];
      const double b2 = bx * bx + by * by + bz * bz;
      if (b2 >= kAlong * kAlong && b2 < kReanchor * kReanchor) c.batch[c.nbatch++] = v;
    }
    // The search measures the batch from where it is; the rest are measured
    // again afterwards (tmp is the search's own meanwhile, so they are
    // found again).
    search_batch(s);
    moved = 0;
    for (int v = 0; v < s.NOV; ++v)
      if (c.kd[v] >= kRecheck) c.tmp[moved++] = v;
  }
  if (c.tracked)
    remeasure(s, moved);
  else
    for (int v = 0; v < s.NOV; ++v) c.kd[v] = 0;  // every pair is looked at exactly
}

// Makes the lists afresh when they are missing. Otherwise looks at every
// vertex: anchors again, and searches for the pairs of, every vertex
// kReanchor from its anchor (with every vertex nearer than that, two
// elements have come at most twice that nearer, since a point of an element
// moves no further than its furthest corner, so no pair left out can have
// come within the clearance, nor a side left out of the guard's list reach a
// face), and measures again the pairs of those kRecheck from where their
// pairs were measured.
void ensure_lists(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  for (int i = 0; i < c.nstirred; ++i) c.is_stirred[c.stirred[i]] = 0;
  c.nstirred = 0;
  if (!c.built) {
    rebuild(s);
    return;
  }
  int moved = 0;
  c.nbatch = 0;
  c.nfar = 0;
  for (int v = 0; v < s.NOV; ++v) look<true>(c, s, v, &moved);
  after_look(s, moved);
}

// The same when only the vertices the contacts or the guard moved have moved
// since the last look.
void ensure_lists_stirred(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  int moved = 0;
  c.nbatch = 0;
  for (int i = 0; i < c.nstirred; ++i) {
    c.is_stirred[c.stirred[i]] = 0;
    look<false>(c, s, c.stirred[i], &moved);
  }
  c.nstirred = 0;
  after_look(s, moved);
}

void stir(ContactScratch& c, int v) {
  if (c.is_stirred[v]) return;
  c.is_stirred[v] = 1;
  c.stirred[c.nstirred++] = v;
}

// The least a pair can be apart now: its distance between the measured
// positions less the furthest any corner of either element is from there.
inline double least_vf(const ContactScratch& c, int n, const Face& f) {
  return c.vf_d[n] - c.kd[c.vf_v[n]] - std::max({c.kd[f[0]], c.kd[f[1]], c.kd[f[2]]});
}
inline double least_g(const ContactScratch& c, Edge e, const Face& f, int n) {
  return c.g_d[n] - std::max(c.kd[e.first], c.kd[e.second]) -
         std::max({c.kd[f[0]], c.kd[f[1]], c.kd[f[2]]});
}

// The positions at the start of the pass; nothing held yet.
void save_start(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  std::memcpy(c.px.data(), s.x.data(), sizeof(double) * s.NOV);
  std::memcpy(c.py.data(), s.y.data(), sizeof(double) * s.NOV);
  std::memcpy(c.pz.data(), s.z.data(), sizeof(double) * s.NOV);
  std::memset(c.held.data(), 0, s.NOV);
}

void revert(Store& s, int v) {
  ContactScratch& c = s.scratch.contacts;
  stir(c, v);
  s.x[v] = c.px[v];
  s.y[v] = c.py[v];
  s.z[v] = c.pz[v];
  c.held[v] = 1;
}

// Whether vertex v's path from the start of the pass passes through a face
// more than one edge from it. Only a vertex that moved the clearance or more
// can reach a face off the near lists: this looks at every face.
bool long_path_crosses(Store& s, int v) {
  ContactScratch& c = s.scratch.contacts;
  const V3 from = at(c.px.data(), c.py.data(), c.pz.data(), v);
  const V3 to = at(s.x.data(), s.y.data(), s.z.data(), v);
  for (int f = 0; f < s.NOS; ++f) {
    const Face fc = s.face[f];
    if (degenerate(fc) || !apart_vf(c, v, fc) || exempt_vf(c, v, fc)) continue;
    if (segment_crosses(from, to, at(s.x.data(), s.y.data(), s.z.data(), fc[0]),
                        at(s.x.data(), s.y.data(), s.z.data(), fc[1]),
                        at(s.x.data(), s.y.data(), s.z.data(), fc[2]))) {
      for (int k = 0; k < 3; ++k) revert(s, fc[k]);
      return true;
    }
  }
  return false;
}

// Puts back to the start of the pass every vertex of a side that now crosses
// a face it did not cross then, until no such pair is left; the start of the
// pass had none, so at worst every vertex goes back. Runs right after the
// contacts, which looked at every vertex: since then only the vertices they
// pushed, or it puts back, have moved.
void guard(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  for (int round = 0; round < 64; ++round) {
    ensure_lists_stirred(s);
    bool found = false;
    each_near_g(c, [&](int n) {
      const Face fc = s.face[c.g_f[n]];
      const Edge e = c.side[c.g_e[n]];
      // Within rounding of touching counts as crossing.
      if (c.tracked && least_g(c, e, fc, n) > 1e-7) return;
      const int p = e.first, q = e.second;
      if (!side_crosses_face(s.x.data(), s.y.data(), s.z.data(), p, q, fc)) return;
      if (side_crosses_face(c.px.data(), c.py.data(), c.pz.data(), p, q, fc)) return;
      found = true;
      revert(s, p);
      revert(s, q);
      for (int k = 0; k < 3; ++k) revert(s, fc[k]);
    });
    // A vertex may also have jumped clean through a face, its sides with it
    // (a whole small piece moved at once): its path from the start of the
    // pass must not pass through a face near it.
    each_near_vf(c, [&](int n) {
      const int v = c.vf_v[n];
      const double mx = s.x[v] - c.px[v], my = s.y[v] - c.py[v], mz = s.z[v] - c.pz[v];
      const double m2 = mx * mx + my * my + mz * mz;
      if (m2 == 0) return;
      const Face fc = s.face[c.vf_f[n]];
      // The path reaches no further than its length from where it ends.
      const double least = c.tracked ? least_vf(c, n, fc) : 0;
      if (least > 0 && least * least > m2) return;
      const V3 a = at(s.x.data(), s.y.data(), s.z.data(), fc[0]),
               b = at(s.x.data(), s.y.data(), s.z.data(), fc[1]),
               cc = at(s.x.data(), s.y.data(), s.z.data(), fc[2]);
      if (!segment_crosses(at(c.px.data(), c.py.data(), c.pz.data(), v),
                           at(s.x.data(), s.y.data(), s.z.data(), v), a, b, cc))
        return;
      found = true;
      revert(s, v);
      for (int k = 0; k < 3; ++k) revert(s, fc[k]);
    });
    // Only a vertex that had moved the clearance less a push when the
    // contacts looked can have gone the clearance.
    for (int i = 0; i < c.nfar; ++i) {
      const int v = c.far[i];
      const double ex = s.x[v] - c.px[v], ey = s.y[v] - c.py[v], ez = s.z[v] - c.pz[v];
      if (ex * ex + ey * ey + ez * ez < kLongPath * kLongPath) continue;
      if (long_path_crosses(s, v)) {
        found = true;
        revert(s, v);
      }
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
      if (corner_of(fc, p) || corner_of(fc, q) || exempt_g(c, c.side[e], fc)) continue;
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
  if (!c.is_pushed[v]) {
    c.is_pushed[v] = 1;
    c.pushed[c.npushed++] = v;
  }
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
  bool any = false;
  const double h2 = kClearance * kClearance;

  each_near_vf(c, [&](int n) {
    const int v = c.vf_v[n];
    const Face fc = s.face[c.vf_f[n]];
    const double moved = c.kd[v] + std::max({c.kd[fc[0]], c.kd[fc[1]], c.kd[fc[2]]});
    if (c.tracked && c.vf_d[n] - moved >= kClearance) return;
    // What is learnt of the pair now also bounds it between the measured
    // positions (its vertices are no further than `moved` from there).
    auto learn = [&](double d) {
      if (c.tracked && d - moved > c.vf_d[n]) c.vf_d[n] = down(d - moved);
    };
    const V3 p = at(x, y, z, v), a = at(x, y, z, fc[0]), b = at(x, y, z, fc[1]),
             cc = at(x, y, z, fc[2]);
    // Cheap rejection by the box of the face.
    if (p.x < std::min({a.x, b.x, cc.x}) - kClearance ||
        p.x > std::max({a.x, b.x, cc.x}) + kClearance ||
        p.y < std::min({a.y, b.y, cc.y}) - kClearance ||
        p.y > std::max({a.y, b.y, cc.y}) + kClearance ||
        p.z < std::min({a.z, b.z, cc.z}) - kClearance ||
        p.z > std::max({a.z, b.z, cc.z}) + kClearance) {
      learn(kClearance);
      return;
    }
    double w[3];
    const V3 q = closest_on_triangle(p, a, b, cc, w);
    const V3 d = p - q;
    const double d2 = dot(d, d);
    learn(std::sqrt(d2));
    if (d2 >= h2) return;
    V3 dir;
    double shortfall;
    if (w[0] > 1e-9 && w[1] > 1e-9 && w[2] > 1e-9) {
      // Over the face: away from it on the side the vertex had before the step.
      V3 nrm = cross(b - a, cc - a);
      const double nl = std::sqrt(dot(nrm, nrm));
      if (!(nl > 0)) return;
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
      if (!(dl > 0)) return;
      dir = (1 / dl) * d;
      shortfall = kClearance - dl;
    }
    const double m = kStiffness * shortfall / 2;
    add_push(c, v, m * dir);
    for (int k = 0; k < 3; ++k) add_push(c, fc[k], (-m * w[k]) * dir);
    any = true;
  });

  each_near_ee(c, [&](int n) {
    const Edge e1 = c.side[c.ee_a[n]], e2 = c.side[c.ee_b[n]];
    const double moved =
        std::max(c.kd[e1.first], c.kd[e1.second]) + std::max(c.kd[e2.first], c.kd[e2.second]);
    if (c.tracked && c.ee_d[n] - moved >= kClearance) return;
    auto learn = [&](double d) {
      if (c.tracked && d - moved > c.ee_d[n]) c.ee_d[n] = down(d - moved);
    };
    const V3 p1 = at(x, y, z, e1.first), q1 = at(x, y, z, e1.second), p2 = at(x, y, z, e2.first),
             q2 = at(x, y, z, e2.second);
    if (std::max(p1.x, q1.x) + kClearance < std::min(p2.x, q2.x) ||
        std::max(p2.x, q2.x) + kClearance < std::min(p1.x, q1.x) ||
        std::max(p1.y, q1.y) + kClearance < std::min(p2.y, q2.y) ||
        std::max(p2.y, q2.y) + kClearance < std::min(p1.y, q1.y) ||
        std::max(p1.z, q1.z) + kClearance < std::min(p2.z, q2.z) ||
        std::max(p2.z, q2.z) + kClearance < std::min(p1.z, q1.z)) {
      learn(kClearance);
      return;
    }
    double s1, t1;
    closest_on_segments(p1, q1, p2, q2, &s1, &t1);
    const V3 d = (p1 + s1 * (q1 - p1)) - (p2 + t1 * (q2 - p2));
    const double d2 = dot(d, d);
    learn(std::sqrt(d2));
    if (d2 >= h2) return;
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
      if (!(pl > 0)) return;
      dir = (1 / pl) * pd;
      shortfall = kClearance + dl;
    }
    const double m = kStiffness * shortfall / 2;
    add_push(c, e1.first, (m * (1 - s1)) * dir);
    add_push(c, e1.second, (m * s1) * dir);
    add_push(c, e2.first, (-m * (1 - t1)) * dir);
    add_push(c, e2.second, (-m * t1) * dir);
    any = true;
  });
  for (int i = 0; i < c.npushed; ++i) {
    const int v = c.pushed[i];
    const double f2 = c.fx[v] * c.fx[v] + c.fy[v] * c.fy[v] + c.fz[v] * c.fz[v];
    if (f2 > 0) {
      c.held[v] = 1;
      stir(c, v);
      double k = 1;
      if (f2 > kStepCap * kStepCap) k = kStepCap / std::sqrt(f2);
      s.x[v] += k * c.fx[v];
      s.y[v] += k * c.fy[v];
      s.z[v] += k * c.fz[v];
    }
    c.fx[v] = c.fy[v] = c.fz[v] = 0;
    c.is_pushed[v] = 0;
  }
  c.npushed = 0;
  return any;
}

// Every edge with no end held this pass within 0.05 of its target.
bool settled(const Store& s) {
  const ContactScratch& c = s.scratch.contacts;
  constexpr double tol = 0.05;
  for (int l = 0; l < s.NOE; ++l) {
    const int j = s.edge[l].first, k = s.edge[l].second;
    if (c.held[j] || c.held[k]) continue;
    const double ex = s.x[k] - s.x[j], ey = s.y[k] - s.y[j], ez = s.z[k] - s.z[j];
    const double len2 = ex * ex + ey * ey + ez * ez, phi = s.phi[l];
    // |length - phi| <= tol, squared on both sides.
    if (len2 > (phi + tol) * (phi + tol) || (phi > tol && len2 < (phi - tol) * (phi - tol)))
      return false;
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
  std::memcpy(a.rx.data(), s.x.data(), sizeof(double) * s.NOV);
  std::memcpy(a.ry.data(), s.y.data(), sizeof(double) * s.NOV);
  std::memcpy(a.rz.data(), s.z.data(), sizeof(double) * s.NOV);
  a.ref_nov = s.NOV;
  a.ref_valid = true;
}

}  // namespace

bool side_crosses_face(const double* x, const double* y, const double* z, int a, int b,
                       const Face& f) {
  return segment_crosses(at(x, y, z, a), at(x, y, z, b), at(x, y, z, f[0]), at(x, y, z, f[1]),
                         at(x, y, z, f[2]));
}

namespace {

// Boxes this much apart may still hold elements that count as crossing.
constexpr double kSlack = 1e-6;

// Where b's fan meets the rest of the sheet with b at `at_b`: the side-face
// crossings between b's faces (their sides, and they themselves) and every
// element sharing no vertex with them, a and b counting as one vertex. The
// joining edge, last of the edges, is no side.
int fan_crossings(Store& s, int a, int b, V3 at_b) {
  const V3 kept = {s.x[b], s.y[b], s.z[b]};
  s.x[b] = at_b.x, s.y[b] = at_b.y, s.z[b] = at_b.z;
  const double* x = s.x.data();
  const double* y = s.y.data();
  const double* z = s.z.data();
  const Anchored p(x, y, z);  // where the vertices are, b moved
  auto same = [a, b](int u, int v) { return u == v || ((u == a || u == b) && (v == a || v == b)); };
  auto touches = [&](int u, const Face& f) {
    return same(u, f[0]) || same(u, f[1]) || same(u, f[2]);
  };
  int n = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& fb = s.face[f];
    if (degenerate(fb) || !corner_of(fb, b)) continue;
    V3 lo, hi;
    face_box(p, fb, &lo, &hi);
    // Its sides through b against every face.
    for (int k = 0; k < 3; ++k) {
      const int o = fb[k];
      if (o == b) continue;
      V3 slo, shi;
      segment_box(p[b], p[o], &slo, &shi);
      for (int g = 0; g < s.NOS; ++g) {
        const Face& fg = s.face[g];
        if (degenerate(fg) || touches(b, fg) || touches(o, fg)) continue;
        V3 glo, ghi;
        face_box(p, fg, &glo, &ghi);
        if (!boxes_meet(slo, shi, glo, ghi, kSlack)) continue;
        n += side_crosses_face(x, y, z, b, o, fg);
      }
    }
    // Every side sharing no vertex with it against the face itself (its own
    // side opposite b among them, against faces of b's fan).
    for (int l = 0; l + 1 < s.NOE; ++l) {
      const Edge e = s.edge[l];
      if (touches(e.first, fb) || touches(e.second, fb)) continue;
      V3 slo, shi;
      segment_box(p[e.first], p[e.second], &slo, &shi);
      if (!boxes_meet(slo, shi, lo, hi, kSlack)) continue;
      n += side_crosses_face(x, y, z, e.first, e.second, fb);
    }
  }
  s.x[b] = kept.x, s.y[b] = kept.y, s.z[b] = kept.z;
  return n;
}

}  // namespace

bool merge_would_cross(Store& s, int a, int b) {
  const V3 at_a = {s.x[a], s.y[a], s.z[a]};
  const V3 at_b = {s.x[b], s.y[b], s.z[b]};
  return fan_crossings(s, a, b, at_a) > fan_crossings(s, a, b, at_b);
}

void set_keep_apart(Store& s, bool on) {
  s.apart.on = on;
  s.apart.ref_valid = false;
  s.apart.paste_stall = 0;
  s.apart.pastes_given_up = 0;
  s.scratch.contacts.built = false;
  forget_parts(s.scratch.contacts);
}

void forget_apart_positions(Store& s) {
  s.apart.ref_valid = false;
  s.scratch.contacts.tangle_stale = true;
}

namespace {

// Kept-apart passes until settled; with settle false, one pass with the
// guard alone (nothing crosses, the clearance waits for a settling one).
bool relax_apart(Store& s, bool settle) {
  const int limit = s.touch_purturb ? 50 : 10;
  ContactScratch& c = s.scratch.contacts;
  if (refresh_topology(s) == Topology::changed) s.apart.ref_valid = false;
  if (!c.sound) {
    // A damaged store has nothing to keep apart; relax it as always.
    s.apart.ref_valid = false;
    return modify_plain(s);
  }
  if (c.tangle_stale) look_for_tangle(s);
  // Whatever moved vertices since the last relaxation is held to the same
  // rule as a pass: after its step, the first pass takes the positions the
  // last relaxation left as where it started, for the sides the contacts keep
  // and for the guard, which puts vertices back there.
  const bool from_ref = s.apart.ref_valid && s.apart.ref_nov == s.NOV;
  int count = 0;
  bool ok = false;
  for (;;) {
    ++count;
    save_start(s);
    modifyonce(s);
    cap_steps(s);
    if (count == 1 && from_ref) {
      std::memcpy(c.px.data(), s.apart.rx.data(), sizeof(double) * s.NOV);
      std::memcpy(c.py.data(), s.apart.ry.data(), sizeof(double) * s.NOV);
      std::memcpy(c.pz.data(), s.apart.rz.data(), sizeof(double) * s.NOV);
    }
    ensure_lists(s);
    const bool touching = settle && push_contacts(s);
    guard(s);
    if (!settle) break;
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

}  // namespace

bool modify_apart(Store& s) { return relax_apart(s, true); }

void relax_apart_once(Store& s) { relax_apart(s, false); }

int contact_pairs_missing(Store& s) {
  ContactScratch& c = s.scratch.contacts;
  if (!s.apart.on || !c.built || !c.sound || c.overflow) return 0;
  refresh_topology(s);
  if (c.tangle_stale) look_for_tangle(s);
  ensure_lists(s);
  // Between the anchored positions, every pair within the reach (the margin
  // for the guard's) is listed.
  const double* x = c.bx.data();
  const double* y = c.by.data();
  const double* z = c.bz.data();
  const double listed = kReach, guarded = kContactMargin;
  int missing = 0;
  // And every vertex is nearer its anchor than kReanchor.
  for (int v = 0; v < s.NOV; ++v)
    if (dot(at(x, y, z, v) - at(s.x.data(), s.y.data(), s.z.data(), v),
            at(x, y, z, v) - at(s.x.data(), s.y.data(), s.z.data(), v)) >= kReanchor * kReanchor)
      ++missing;
  auto found_vf = [&](int v, int f) {
    for (int n = 0; n < c.nvf; ++n)
      if (c.vf_v[n] == v && c.vf_f[n] == f && c.vf_d[n] != kGone) return n;
    return -1;
  };
  auto found_ee = [&](int a, int b) {
    for (int n = 0; n < c.nee; ++n)
      if (((c.ee_a[n] == a && c.ee_b[n] == b) || (c.ee_a[n] == b && c.ee_b[n] == a)) &&
          c.ee_d[n] != kGone)
        return n;
    return -1;
  };
  auto found_g = [&](int e, int f) {
    for (int n = 0; n < c.ng; ++n)
      if (c.g_e[n] == e && c.g_f[n] == f && c.g_d[n] != kGone) return n;
    return -1;
  };
  for (int f = 0; f < s.NOS; ++f) {
    const Face fc = s.face[f];
    if (degenerate(fc)) continue;
    const V3 a = at(x, y, z, fc[0]), b = at(x, y, z, fc[1]), cc = at(x, y, z, fc[2]);
    for (int v = 0; v < s.NOV; ++v) {
      if (!apart_vf(c, v, fc) || exempt_vf(c, v, fc)) continue;
      const double d = std::sqrt(point_triangle_distance2(at(x, y, z, v), a, b, cc));
      if (d >= listed) continue;
      if (found_vf(v, f) < 0) ++missing;
    }
    for (int e = 0; e < c.nside; ++e) {
      const Edge se = c.side[e];
      if (corner_of(fc, se.first) || corner_of(fc, se.second) || exempt_g(c, se, fc)) continue;
      const double d = std::sqrt(
          segment_triangle_distance2(at(x, y, z, se.first), at(x, y, z, se.second), a, b, cc));
      if (d < guarded && found_g(e, f) < 0) ++missing;
    }
  }
  // Every pair listed is at least as far apart, between the positions its
  // vertices were measured at, as the distance it keeps, and on its near list
  // when that is near.
  for (int n = 0; n < c.nvf; ++n) {
    if (c.vf_d[n] == kGone) continue;
    const double d = measure_vf(c, c.vf_v[n], s.face[c.vf_f[n]]);
    if (d < c.vf_d[n] - 1e-6 || (c.tracked && c.vf_d[n] < kNearContact && !c.vf_near[n])) ++missing;
  }
  for (int n = 0; n < c.nee; ++n) {
    if (c.ee_d[n] == kGone) continue;
    const double d = measure_ee(c, c.side[c.ee_a[n]], c.side[c.ee_b[n]]);
    if (d < c.ee_d[n] - 1e-6 || (c.tracked && c.ee_d[n] < kNearContact && !c.ee_near[n])) ++missing;
  }
  for (int n = 0; n < c.ng; ++n) {
    if (c.g_d[n] == kGone) continue;
    const double d = measure_g(c, c.side[c.g_e[n]], s.face[c.g_f[n]]);
    if (d < c.g_d[n] - 1e-6 || (c.tracked && c.g_d[n] < kNearCrossing && !c.g_near[n])) ++missing;
  }
  for (int e1 = 0; e1 < c.nside; ++e1)
    for (int e2 = e1 + 1; e2 < c.nside; ++e2) {
      const Edge a = c.side[e1], b = c.side[e2];
      if (!apart_ee(c, a, b) || exempt_ee(c, a, b)) continue;
      const double d = std::sqrt(segment_distance2(at(x, y, z, a.first), at(x, y, z, a.second),
                                                   at(x, y, z, b.first), at(x, y, z, b.second)));
      if (d >= listed) continue;
      if (found_ee(e1, e2) < 0) ++missing;
    }
  return missing;
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
  ContactScratch& cs = s.scratch.contacts;
  const int ring_id = next_mark(cs);
  cs.mark[c] = ring_id;
  for (int l = 0; l < s.NOE - 14; ++l) {
    const Edge e = s.edge[l];
    if (e.first == c && e.second >= 0 && e.second < s.NOV) cs.mark[e.second] = ring_id;
    if (e.second == c && e.first >= 0 && e.first < s.NOV) cs.mark[e.first] = ring_id;
  }
  auto ring = [&](const Face& f) {
    for (int k = 0; k < 3; ++k)
      if (f[k] >= 0 && f[k] < s.NOV && cs.mark[f[k]] == ring_id) return true;
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
      // The cell is in the part it is grown on: it may pass through a part
      // the user left crossing that one.
      if (degenerate(old) || exempt_vf(cs, c, old)) continue;
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
