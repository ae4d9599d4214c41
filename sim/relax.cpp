#include "sim/relax.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace brimoss {

namespace {

int g_last_passes = 0;

// Orders the movable edges (first < second) by first index, then second index,
// then edge index: the order in which a scan over all vertex pairs meets them.
// Two stable counting passes, so the cost is linear in vertices and edges. The
// result is kept with the edge list it was made from and made again only when
// that list has changed.
void build_relax_walk(Store& s) {
  if (s.relax_noe == s.NOE &&
      std::memcmp(s.relax_edges.data(), s.edge.data(), sizeof(Edge) * s.NOE) == 0)
    return;
  auto& count = s.work_count;
  auto& tmp = s.work_tmp;
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
      s.relax_fixed[fixed++] = l;
    }
  }

  for (int i = 0; i <= s.NOV; ++i) count[i] = 0;
  for (int k = 0; k < m; ++k) ++count[s.edge[tmp[k]].first + 1];
  for (int i = 0; i < s.NOV; ++i) count[i + 1] += count[i];
  for (int k = 0; k < m; ++k) {
    const int l = tmp[k];
    s.relax_walk[count[s.edge[l].first]++] = {s.edge[l].first, s.edge[l].second, l};
  }

  std::memcpy(s.relax_edges.data(), s.edge.data(), sizeof(Edge) * s.NOE);
  s.relax_noe = s.NOE;
  s.relax_moving = m;
  s.relax_nfixed = fixed;
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
  const int nov = s.NOV;
  double* __restrict const x = s.x.data();
  double* __restrict const y = s.y.data();
  double* __restrict const z = s.z.data();
  double* __restrict const dx = s.dx.data();
  double* __restrict const dy = s.dy.data();
  double* __restrict const dz = s.dz.data();
  double* __restrict const len = s.edgelength.data();
  const double* __restrict const phi = s.phi.data();
  double* __restrict const stiff = s.work_stiffness.data();
  double error = 0.0;

  for (int i = 0; i < nov; ++i) dx[i] = dy[i] = dz[i] = 0.0;
  if (kDamped)
    for (int i = 0; i < nov; ++i) stiff[i] = 0.0;
  // Edges that do not move still have their length taken.
  for (int n = 0; n < s.relax_nfixed; ++n) {
    const int l = s.relax_fixed[n];
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
  const Store::RelaxStep* __restrict const walk = s.relax_walk.data();
  const int m = s.relax_moving;
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
        error += e * e;
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
  return error;
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

}  // namespace

void modifyonce(Store& s) {
  build_relax_walk(s);
  pass<false, false>(s);
}

bool modify(Store& s) {
  const int limit = s.touch_purturb ? 50 : 10;
  // The edges do not change while relaxing, so their walk is made once.
  build_relax_walk(s);
  int count = 0;
  // The squared length error is measured during each pass, from the positions
  // the previous pass left. Once it has grown to four times the least seen in
  // this call, the steps are held back for the rest of the call.
  double least = std::numeric_limits<double>::infinity();
  bool damped = false;
  for (;;) {
    ++count;
    const double error = damped ? pass<true, true>(s) : pass<true, false>(s);
    if (!damped && !(error <= 4 * least) && error > kErrorFloor) damped = true;
    if (error < least) least = error;
    const bool ok = within_tolerance(s);
    if (count > limit) {
      g_last_passes = count;
      return false;
    }
    if (ok) {
      g_last_passes = count;
      return true;
    }
  }
}
int last_modify_passes() { return g_last_passes; }

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
