#include "sim/relax.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "sim/contacts.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define BRIMOSS_RELAX_VECTOR 1
#include <immintrin.h>
#else
#define BRIMOSS_RELAX_VECTOR 0
#endif

namespace brimoss {

namespace {

// Orders the movable edges (first < second) by first index, then second index,
// then edge index: the order in which a scan over all vertex pairs meets them.
// Two stable counting passes, so the cost is linear in vertices and edges. The
// result is kept with the edge list and the vertex count it was made from (the
// per-vertex runs cover exactly that many vertices) and made again only when
// either has changed.
void build_relax_walk(Store& s) {
  RelaxScratch& r = s.scratch.relax;
  if (r.nov == s.NOV && r.noe == s.NOE &&
      std::memcmp(r.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE) == 0)
    return;
  auto& count = r.count;
  auto& tmp = r.tmp;
  int m = 0, fixed = 0;

  for (int i = 0; i <= s.NOV; ++i) count[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first < e.second) ++count[e.second + 1];
  }
  for (int i = 0; i < s.NOV; ++i) count[i + 1] += count[i];
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first < e.second) {
      tmp[count[e.second]++] = l;
      ++m;
    } else {
      r.fixed[fixed++] = l;
    }
  }

  for (int i = 0; i <= s.NOV; ++i) count[i] = 0;
  for (int k = 0; k < m; ++k) ++count[s.edge[tmp[k]].first + 1];
  for (int i = 0; i < s.NOV; ++i) count[i + 1] += count[i];
  for (int k = 0; k < m; ++k) {
    const int l = tmp[k];
    r.walk[count[s.edge[l].first]++] = {s.edge[l].first, s.edge[l].second, l};
  }
  // Each vertex's walk edges: as lower end one run, as upper end a list in
  // walk order (a stable counting sort by upper end).
  for (int i = 0; i <= s.NOV; ++i) r.out_start[i] = r.in_start[i] = 0;
  for (int n = 0; n < m; ++n) {
    const RelaxScratch::Step w = r.walk[n];
    r.j[n] = 4u * static_cast<std::uint32_t>(w.j);
    r.k[n] = 4u * static_cast<std::uint32_t>(w.k);
    r.l[n] = w.l;
    ++r.out_start[w.j + 1];
    ++r.in_start[w.k + 1];
  }
  for (int i = 0; i < s.NOV; ++i) {
    r.out_start[i + 1] += r.out_start[i];
    r.in_start[i + 1] += r.in_start[i];
  }
  for (int i = 0; i <= s.NOV; ++i) count[i] = r.in_start[i];
  for (int n = 0; n < m; ++n) r.in[count[r.walk[n].k]++] = 4u * n;
  for (int n = 0; n < fixed; ++n) {
    const int l = r.fixed[n];
    r.j[m + n] = 4u * static_cast<std::uint32_t>(s.edge[l].first);
    r.k[m + n] = 4u * static_cast<std::uint32_t>(s.edge[l].second);
    r.l[m + n] = l;
  }

  std::memcpy(r.edges.data(), s.edge.data(), sizeof(Edge) * s.NOE);
  r.noe = s.NOE;
  r.nov = s.NOV;
  r.moving = m;
  r.nfixed = fixed;
}

// The plain step moves every vertex by a fifth of the corrections of its
// edges. Each edge pulls along itself with stiffness 1 and across itself with
// stiffness |c|, so a vertex where much stiffness meets can overshoot, and the
// overshoot can grow pass after pass until the positions are infinite: an edge
// listed many times, a vertex with many edges, a surface torn far apart. A
// held-back step of at most 0.5 / (the sum of max(1, |c|) over the vertex's
// edges) keeps every error from growing; modify takes it (kDamped) once it has
// seen the errors grow. kWatch adds up the squared length errors of the moving
// edges at the start of the pass, which is what modify watches.
template <bool kWatch, bool kDamped>
double pass(Store& s) {
  RelaxScratch& r = s.scratch.relax;
  const int nov = s.NOV;
  double* __restrict const x = s.x.data();
  double* __restrict const y = s.y.data();
  double* __restrict const z = s.z.data();
  double* __restrict const dx = s.dx.data();
  double* __restrict const dy = s.dy.data();
  double* __restrict const dz = s.dz.data();
  double* __restrict const len = s.edgelength.data();
  const double* __restrict const phi = s.phi.data();
  double* __restrict const stiff = r.stiffness.data();
  // Four running sums of the squared errors, the walk's n-th edge going to
  // sum n % 4, so that the additions are not one long chain; the vector pass
  // keeps the same four sums in its four lanes.
  double err[4] = {0.0, 0.0, 0.0, 0.0};

  for (int i = 0; i < nov; ++i) dx[i] = dy[i] = dz[i] = 0.0;
  if (kDamped)
    for (int i = 0; i < nov; ++i) stiff[i] = 0.0;
  // Edges that do not move still have their length taken.
  for (int n = 0; n < r.nfixed; ++n) {
    const int l = r.fixed[n];
    const int j = s.edge[l].first, k = s.edge[l].second;
    const double ex = x[k] - x[j], ey = y[k] - y[j], ez = z[k] - z[j];
    len[l] = std::sqrt(ex * ex + ey * ey + ez * ez);
  }

  // Every length is taken from the positions at the start of the pass, and
  // the positions do not change until the end, so each edge's length and its
  // pull are taken together, in the walk's order. The walk meets every edge
  // whose lower end is j in one run, after every edge whose upper end is j, so
  // j's sums can be carried in registers through the run: the same additions
  // in the same order as adding into dx[j] edge by edge.
  const RelaxScratch::Step* __restrict const walk = r.walk.data();
  const int m = r.moving;
  for (int n = 0; n < m;) {
    const int j = walk[n].j;
    const double xj = x[j], yj = y[j], zj = z[j];
    double sx = dx[j], sy = dy[j], sz = dz[j];
    double sw = kDamped ? stiff[j] : 0.0;
    for (; n < m && walk[n].j == j; ++n) {
      const int k = walk[n].k, l = walk[n].l;
      const double ex = x[k] - xj, ey = y[k] - yj, ez = z[k] - zj;
      const double d = std::sqrt(ex * ex + ey * ey + ez * ez);
      len[l] = d;
      if (kWatch) {
        const double e = d - phi[l];
        err[n & 3] += e * e;
      }
      // Coincident ends give no direction to move along; dividing by the zero
      // (or vanishing) length would poison every position the relaxation
      // later touches. Any finite c moves the ends by at most about the
      // target length.
      if (!(d > 0.0)) continue;
      const double c = 1 - phi[l] / d;
      if (!std::isfinite(c)) continue;
      const double mx = c * ex, my = c * ey, mz = c * ez;
      sx += mx;
      dx[k] -= mx;
      sy += my;
      dy[k] -= my;
      sz += mz;
      dz[k] -= mz;
      if (kDamped) {
        const double w = std::fabs(c) > 1 ? std::fabs(c) : 1.0;
        sw += w;
        stiff[k] += w;
      }
    }
    dx[j] = sx;
    dy[j] = sy;
    dz[j] = sz;
    if (kDamped) stiff[j] = sw;
  }
  for (int i = 0; i < nov; ++i) {
    double step = 0.2;
    if (kDamped && 0.2 * stiff[i] > 0.5) step = 0.5 / stiff[i];
    dx[i] *= step;
    dy[i] *= step;
    dz[i] *= step;
    // Whatever the corrections add up to, a vertex whose new position would
    // not be finite stays where it is: one infinity would turn every position
    // it touches into NaN.
    const double nx = x[i] + dx[i], ny = y[i] + dy[i], nz = z[i] + dz[i];
    if (std::isfinite(nx) && std::isfinite(ny) && std::isfinite(nz)) {
      x[i] = nx;
      y[i] = ny;
      z[i] = nz;
    }
  }
  return (err[0] + err[1]) + (err[2] + err[3]);
}

// Below this the squared error is rounding noise, not a trend.
constexpr double kErrorFloor = 1e-9;

// Stops at the first edge out of tolerance: while the surface is still far
// from rest that is usually one of the first few.
bool within_tolerance(const Store& s) {
  for (int l = 0; l < s.NOE; ++l) {
    const int j = s.edge[l].first, k = s.edge[l].second;
    const double ex = s.x[k] - s.x[j], ey = s.y[k] - s.y[j], ez = s.z[k] - s.z[j];
    const double d = std::sqrt(ex * ex + ey * ey + ez * ez) - s.phi[l];
    if (d < -0.05 || d > 0.05) return false;
  }
  return true;
}

#if BRIMOSS_RELAX_VECTOR
// The vector pass does the same arithmetic as pass<kWatch, false>, one IEEE
// operation for one, so it gives the same bits; only the order of the work
// differs. First every edge's length and pull, four edges at a time (these
// are independent of each other); then the pulls are added up edge by edge in
// the walk's order, x, y and z side by side in one register, exactly as the
// scalar pass adds them. The target has no fused multiply-add, so no product
// can be merged into a sum.
//
// An edge that the scalar pass skips gets the pull +0 here. Adding +0 changes
// nothing: a sum that starts at +0 can only become -0 by adding -0 to -0 or
// subtracting +0 from -0, so no sum is ever -0, and x + 0 == x for every
// other x, NaN and infinities included; x - 0 == x always.

#define BRIMOSS_AVX2 __attribute__((target("avx2")))

// What the vector passes read in the walk's order, made at the start of every
// relaxation: the positions as rows (they may have changed since the last
// one) and the targets (they do not change while relaxing).
void load_rows(Store& s) {
  RelaxScratch& r = s.scratch.relax;
  double* __restrict const pos = r.pos.data();
  for (int i = 0; i < s.NOV; ++i) {
    pos[4 * i] = s.x[i];
    pos[4 * i + 1] = s.y[i];
    pos[4 * i + 2] = s.z[i];
    pos[4 * i + 3] = 0.0;
  }
  for (int n = 0; n < r.noe; ++n) r.phi[n] = s.phi[r.l[n]];
}

// The vector passes keep the lengths in the walk's order; only the last
// pass's lengths are ever seen, so they go to edgelength once, at the end.
void store_lengths(Store& s) {
  const RelaxScratch& r = s.scratch.relax;
  for (int n = 0; n < r.noe; ++n) s.edgelength[r.l[n]] = r.len[n];
}

// The differences (k - j) of four edges' end rows, turned into columns.
BRIMOSS_AVX2 inline void edge_vectors(const double* pos, const std::uint32_t* J,
                                      const std::uint32_t* K, __m256d& ex, __m256d& ey,
                                      __m256d& ez) {
  const __m256d e0 = _mm256_sub_pd(_mm256_load_pd(pos + K[0]), _mm256_load_pd(pos + J[0]));
  const __m256d e1 = _mm256_sub_pd(_mm256_load_pd(pos + K[1]), _mm256_load_pd(pos + J[1]));
  const __m256d e2 = _mm256_sub_pd(_mm256_load_pd(pos + K[2]), _mm256_load_pd(pos + J[2]));
  const __m256d e3 = _mm256_sub_pd(_mm256_load_pd(pos + K[3]), _mm256_load_pd(pos + J[3]));
  const __m256d t0 = _mm256_unpacklo_pd(e0, e1);  // x0 x1 z0 z1
  const __m256d t1 = _mm256_unpackhi_pd(e0, e1);  // y0 y1 w0 w1
  const __m256d t2 = _mm256_unpacklo_pd(e2, e3);
  const __m256d t3 = _mm256_unpackhi_pd(e2, e3);
  ex = _mm256_permute2f128_pd(t0, t2, 0x20);
  ey = _mm256_permute2f128_pd(t1, t3, 0x20);
  ez = _mm256_permute2f128_pd(t0, t2, 0x31);
}

BRIMOSS_AVX2 inline __m256d edge_lengths(__m256d ex, __m256d ey, __m256d ez) {
  return _mm256_sqrt_pd(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(ex, ex), _mm256_mul_pd(ey, ey)),
                                      _mm256_mul_pd(ez, ez)));
}

// One edge the scalar way, for the walk's last few edges; kKept takes the
// length the tolerance check kept.
template <bool kWatch, bool kPull, bool kKept = false>
inline void one_edge(Store& s, int n, double& error) {
  RelaxScratch& r = s.scratch.relax;
  const double* pos = r.pos.data();
  const std::uint32_t j = r.j[n], k = r.k[n];
  const double ex = pos[k] - pos[j], ey = pos[k + 1] - pos[j + 1], ez = pos[k + 2] - pos[j + 2];
  const double d = kKept ? r.next_len[n] : std::sqrt(ex * ex + ey * ey + ez * ez);
  r.len[n] = d;
  if (!kPull) return;
  const double phi = r.phi[n];
  if (kWatch) {
    const double e = d - phi;
    error += e * e;
  }
  double* p = r.pull.data() + 4 * n;
  p[0] = p[1] = p[2] = p[3] = 0.0;
  if (!(d > 0.0)) return;
  const double c = 1 - phi / d;
  if (!std::isfinite(c)) return;
  p[0] = c * ex;
  p[1] = c * ey;
  p[2] = c * ez;
}

// kKept: the lengths at the start of this pass are the ones the last
// tolerance check took (the same expression on the same rows, so the same
// bits) and kept in relax_next_len.
template <bool kWatch, bool kKept = false>
BRIMOSS_AVX2 double vector_pass(Store& s) {
  RelaxScratch& r = s.scratch.relax;
  const int nov = s.NOV, m = r.moving, noe = r.noe;
  const double* __restrict const pos = r.pos.data();
  double* __restrict const pull = r.pull.data();
  double* __restrict const sum = r.sum.data();
  const std::uint32_t* __restrict const J = r.j.data();
  const std::uint32_t* __restrict const K = r.k.data();
  double* __restrict const len = r.len.data();
  const double* __restrict const kept = r.next_len.data();
  const double* __restrict const phi = r.phi.data();
  // The squared errors in four running sums, lane i taking the walk's edges
  // n with n % 4 == i, as the scalar pass sums them.
  __m256d err = _mm256_setzero_pd();

  const __m256d one = _mm256_set1_pd(1.0), zero = _mm256_setzero_pd();
  const __m256d magnitude = _mm256_castsi256_pd(_mm256_set1_epi64x(0x7fffffffffffffffLL));
  const __m256d inf = _mm256_set1_pd(std::numeric_limits<double>::infinity());
  int n = 0;
  for (; n + 4 <= m; n += 4) {
    __m256d ex, ey, ez;
    edge_vectors(pos, J + n, K + n, ex, ey, ez);
    const __m256d d = kKept ? _mm256_load_pd(kept + n) : edge_lengths(ex, ey, ez);
    _mm256_storeu_pd(len + n, d);
    const __m256d ph = _mm256_loadu_pd(phi + n);
    if (kWatch) {
      const __m256d e = _mm256_sub_pd(d, ph);
      err = _mm256_add_pd(err, _mm256_mul_pd(e, e));
    }
    const __m256d c = _mm256_sub_pd(one, _mm256_div_pd(ph, d));
    const __m256d ok = _mm256_and_pd(_mm256_cmp_pd(d, zero, _CMP_GT_OQ),
                                     _mm256_cmp_pd(_mm256_and_pd(c, magnitude), inf, _CMP_LT_OQ));
    const __m256d mx = _mm256_and_pd(_mm256_mul_pd(c, ex), ok);
    const __m256d my = _mm256_and_pd(_mm256_mul_pd(c, ey), ok);
    const __m256d mz = _mm256_and_pd(_mm256_mul_pd(c, ez), ok);
    // Back to one row per edge: (mx, my, mz, 0).
    const __m256d u0 = _mm256_unpacklo_pd(mx, my);    // x0 y0 x2 y2
    const __m256d u1 = _mm256_unpackhi_pd(mx, my);    // x1 y1 x3 y3
    const __m256d u2 = _mm256_unpacklo_pd(mz, zero);  // z0 0 z2 0
    const __m256d u3 = _mm256_unpackhi_pd(mz, zero);  // z1 0 z3 0
    _mm256_store_pd(pull + 4 * n, _mm256_permute2f128_pd(u0, u2, 0x20));
    _mm256_store_pd(pull + 4 * n + 4, _mm256_permute2f128_pd(u1, u3, 0x20));
    _mm256_store_pd(pull + 4 * n + 8, _mm256_permute2f128_pd(u0, u2, 0x31));
    _mm256_store_pd(pull + 4 * n + 12, _mm256_permute2f128_pd(u1, u3, 0x31));
  }
  alignas(32) double lane[4];
  _mm256_store_pd(lane, err);
  for (; n < m; ++n) one_edge<kWatch, true, kKept>(s, n, lane[n & 3]);
  const double error = (lane[0] + lane[1]) + (lane[2] + lane[3]);
  // Edges that do not move still have their length taken.
  if (kKept)
    for (; n < noe; ++n) len[n] = kept[n];
  for (; n + 4 <= noe; n += 4) {
    __m256d ex, ey, ez;
    edge_vectors(pos, J + n, K + n, ex, ey, ez);
    _mm256_storeu_pd(len + n, edge_lengths(ex, ey, ez));
  }
  double unused = 0.0;
  for (; n < noe; ++n) one_edge<false, false>(s, n, unused);

  // Each vertex's sum of pulls, taken in the order in which the walk reaches
  // it: minus the pulls of its edges to lower vertices (all earlier in the
  // walk), then plus those of its own run of edges, as the scalar pass adds
  // them into dx.
  const int* __restrict const in_start = r.in_start.data();
  const int* __restrict const out_start = r.out_start.data();
  const std::uint32_t* __restrict const in = r.in.data();
  for (int v = 0; v < nov; ++v) {
    __m256d acc = zero;
    for (int t = in_start[v]; t < in_start[v + 1]; ++t)
      acc = _mm256_sub_pd(acc, _mm256_load_pd(pull + in[t]));
    for (int t = out_start[v]; t < out_start[v + 1]; ++t)
      acc = _mm256_add_pd(acc, _mm256_load_pd(pull + 4 * t));
    _mm256_store_pd(sum + 4 * v, acc);
  }

  // A fifth of each sum, four vertices at a time; a vertex whose new position
  // would not be finite stays where it is.
  double* __restrict const x = s.x.data();
  double* __restrict const y = s.y.data();
  double* __restrict const z = s.z.data();
  double* __restrict const dx = s.dx.data();
  double* __restrict const dy = s.dy.data();
  double* __restrict const dz = s.dz.data();
  double* __restrict const row = r.pos.data();
  const __m256d fifth = _mm256_set1_pd(0.2);
  int i = 0;
  for (; i + 4 <= nov; i += 4) {
    const __m256d r0 = _mm256_load_pd(sum + 4 * i), r1 = _mm256_load_pd(sum + 4 * i + 4);
    const __m256d r2 = _mm256_load_pd(sum + 4 * i + 8), r3 = _mm256_load_pd(sum + 4 * i + 12);
    const __m256d t0 = _mm256_unpacklo_pd(r0, r1), t1 = _mm256_unpackhi_pd(r0, r1);
    const __m256d t2 = _mm256_unpacklo_pd(r2, r3), t3 = _mm256_unpackhi_pd(r2, r3);
    const __m256d ddx = _mm256_mul_pd(_mm256_permute2f128_pd(t0, t2, 0x20), fifth);
    const __m256d ddy = _mm256_mul_pd(_mm256_permute2f128_pd(t1, t3, 0x20), fifth);
    const __m256d ddz = _mm256_mul_pd(_mm256_permute2f128_pd(t0, t2, 0x31), fifth);
    _mm256_storeu_pd(dx + i, ddx);
    _mm256_storeu_pd(dy + i, ddy);
    _mm256_storeu_pd(dz + i, ddz);
    const __m256d ox = _mm256_loadu_pd(x + i), oy = _mm256_loadu_pd(y + i),
                  oz = _mm256_loadu_pd(z + i);
    const __m256d nx = _mm256_add_pd(ox, ddx), ny = _mm256_add_pd(oy, ddy),
                  nz = _mm256_add_pd(oz, ddz);
    const __m256d ok =
        _mm256_and_pd(_mm256_and_pd(_mm256_cmp_pd(_mm256_and_pd(nx, magnitude), inf, _CMP_LT_OQ),
                                    _mm256_cmp_pd(_mm256_and_pd(ny, magnitude), inf, _CMP_LT_OQ)),
                      _mm256_cmp_pd(_mm256_and_pd(nz, magnitude), inf, _CMP_LT_OQ));
    const __m256d px = _mm256_blendv_pd(ox, nx, ok), py = _mm256_blendv_pd(oy, ny, ok),
                  pz = _mm256_blendv_pd(oz, nz, ok);
    _mm256_storeu_pd(x + i, px);
    _mm256_storeu_pd(y + i, py);
    _mm256_storeu_pd(z + i, pz);
    const __m256d u0 = _mm256_unpacklo_pd(px, py), u1 = _mm256_unpackhi_pd(px, py);
    const __m256d u2 = _mm256_unpacklo_pd(pz, zero), u3 = _mm256_unpackhi_pd(pz, zero);
    _mm256_store_pd(row + 4 * i, _mm256_permute2f128_pd(u0, u2, 0x20));
    _mm256_store_pd(row + 4 * i + 4, _mm256_permute2f128_pd(u1, u3, 0x20));
    _mm256_store_pd(row + 4 * i + 8, _mm256_permute2f128_pd(u0, u2, 0x31));
    _mm256_store_pd(row + 4 * i + 12, _mm256_permute2f128_pd(u1, u3, 0x31));
  }
  for (; i < nov; ++i) {
    dx[i] = sum[4 * i] * 0.2;
    dy[i] = sum[4 * i + 1] * 0.2;
    dz[i] = sum[4 * i + 2] * 0.2;
    const double nx = x[i] + dx[i], ny = y[i] + dy[i], nz = z[i] + dz[i];
    if (std::isfinite(nx) && std::isfinite(ny) && std::isfinite(nz)) {
      x[i] = row[4 * i] = nx;
      y[i] = row[4 * i + 1] = ny;
      z[i] = row[4 * i + 2] = nz;
    }
  }
  return error;
}

// within_tolerance from the rows, four edges at a time, in the walk's order
// (the order does not change the answer). It takes every length rather than
// stopping at the first edge out of tolerance, and keeps them in
// relax_next_len: they are the lengths the next pass starts from.
BRIMOSS_AVX2 bool vector_within_tolerance(Store& s) {
  RelaxScratch& r = s.scratch.relax;
  const int noe = r.noe;
  const double* __restrict const pos = r.pos.data();
  const std::uint32_t* __restrict const J = r.j.data();
  const std::uint32_t* __restrict const K = r.k.data();
  const double* __restrict const phi = r.phi.data();
  double* __restrict const kept = r.next_len.data();
  const __m256d lo = _mm256_set1_pd(-0.05), hi = _mm256_set1_pd(0.05);
  __m256d out = _mm256_setzero_pd();
  int n = 0;
  for (; n + 4 <= noe; n += 4) {
    __m256d ex, ey, ez;
    edge_vectors(pos, J + n, K + n, ex, ey, ez);
    const __m256d d = edge_lengths(ex, ey, ez);
    _mm256_store_pd(kept + n, d);
    const __m256d e = _mm256_sub_pd(d, _mm256_loadu_pd(phi + n));
    out = _mm256_or_pd(
        out, _mm256_or_pd(_mm256_cmp_pd(e, lo, _CMP_LT_OQ), _mm256_cmp_pd(e, hi, _CMP_GT_OQ)));
  }
  bool ok = _mm256_movemask_pd(out) == 0;
  for (; n < noe; ++n) {
    const std::uint32_t j = J[n], k = K[n];
    const double ex = pos[k] - pos[j], ey = pos[k + 1] - pos[j + 1], ez = pos[k + 2] - pos[j + 2];
    const double d = std::sqrt(ex * ex + ey * ey + ez * ez);
    kept[n] = d;
    if (d - phi[n] < -0.05 || d - phi[n] > 0.05) ok = false;
  }
  return ok;
}

bool detect_vector() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}
#else
// Never called: without the vector instructions relax_vector_path is false.
void load_rows(Store&) {}
void store_lengths(Store&) {}
template <bool kWatch, bool kKept = false>
double vector_pass(Store& s) {
  return pass<kWatch, false>(s);
}
bool vector_within_tolerance(Store& s) { return within_tolerance(s); }
#endif

}  // namespace

bool relax_vector_supported() {
#if BRIMOSS_RELAX_VECTOR
  static const bool has = detect_vector();
  return has;
#else
  return false;
#endif
}

bool relax_vector_path(const Store& s) {
  return relax_vector_supported() && !s.relaxation.scalar_only;
}

void set_relax_vector_path(Store& s, bool on) { s.relaxation.scalar_only = !on; }

void modifyonce(Store& s) {
  build_relax_walk(s);
  if (relax_vector_path(s)) {
    load_rows(s);
    vector_pass<false>(s);
    store_lengths(s);
  } else {
    pass<false, false>(s);
  }
}

bool modify(Store& s) {
  if (s.apart.on) return modify_apart(s);
  return modify_plain(s);
}

bool modify_plain(Store& s) {
  const int limit = s.touch_purturb ? 50 : 10;
  // The edges do not change while relaxing, so their walk is made once.
  build_relax_walk(s);
  int count = 0;
  // The squared length error is measured during each pass, from the positions
  // the previous pass left. Once it has grown to four times the least seen in
  // this call, the steps are held back for the rest of the call.
  double least = std::numeric_limits<double>::infinity();
  bool damped = false;
  // The vector passes keep the positions as rows too; the held-back step is
  // rare and takes the scalar pass, which keeps only the columns.
  const bool vector = relax_vector_path(s);
  if (vector) load_rows(s);
  // Whether the tolerance check kept the lengths the next pass starts from.
  bool kept = false;
  for (;;) {
    ++count;
    const bool rows = vector && !damped;
    const double error = rows     ? (kept ? vector_pass<true, true>(s) : vector_pass<true>(s))
                         : damped ? pass<true, true>(s)
                                  : pass<true, false>(s);
    if (!damped && !(error <= 4 * least) && error > kErrorFloor) damped = true;
    if (error < least) least = error;
    const bool ok = rows ? vector_within_tolerance(s) : within_tolerance(s);
    kept = rows;
    if (count > limit || ok) {
      if (rows) store_lengths(s);
      s.relaxation.passes = count;
      return count <= limit;
    }
  }
}

int last_modify_passes(const Store& s) { return s.relaxation.passes; }

void offsetpolygon(Store& s) {
  if (s.NOV == 0) return;
  double sx = 0, sy = 0, sz = 0;
  for (int i = 0; i < s.NOV; ++i) {
    sx += s.x[i];
    sy += s.y[i];
    sz += s.z[i];
  }
  sx /= s.NOV;
  sy /= s.NOV;
  sz /= s.NOV;
  for (int i = 0; i < s.NOV; ++i) {
    s.x[i] -= sx;
    s.y[i] -= sy;
    s.z[i] -= sz;
  }
}

}  // namespace brimoss
