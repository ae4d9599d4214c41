#include "sim/relax.h"

namespace brimoss {

namespace {

int g_last_passes = 0;

// Orders the movable edges (first < second) by first index, then second index,
// then edge index: the order in which a scan over all vertex pairs meets them.
// Two stable counting passes, so the cost is linear in vertices and edges.
int build_relax_order(Store& s) {
  auto& count = s.work_count;
  auto& tmp = s.work_tmp;
  auto& order = s.work_order;
  int m = 0;

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
    }
  }

  for (int i = 0; i <= s.NOV; ++i) count[i] = 0;
  for (int k = 0; k < m; ++k) ++count[s.edge[tmp[k]].first + 1];
  for (int i = 0; i < s.NOV; ++i) count[i + 1] += count[i];
  for (int k = 0; k < m; ++k) order[count[s.edge[tmp[k]].first]++] = tmp[k];
  return m;
}

void pass(Store& s, int m) {
  for (int i = 0; i < s.NOV; ++i) s.dx[i] = s.dy[i] = s.dz[i] = 0.0;
  for (int l = 0; l < s.NOE; ++l) {
    const int j = s.edge[l].first, k = s.edge[l].second;
    const double ex = s.x[k] - s.x[j], ey = s.y[k] - s.y[j], ez = s.z[k] - s.z[j];
    s.edgelength[l] = std::sqrt(ex * ex + ey * ey + ez * ez);
  }
  for (int n = 0; n < m; ++n) {
    const int l = s.work_order[n];
    const int j = s.edge[l].first, k = s.edge[l].second;
    // Coincident ends give no direction to move along; dividing by the zero
    // (or vanishing) length would poison every position the relaxation later
    // touches. Any finite c moves the ends by at most about the target length.
    if (!(s.edgelength[l] > 0.0)) continue;
    const double c = 1 - s.phi[l] / s.edgelength[l];
    if (!std::isfinite(c)) continue;
    const double mx = c * (s.x[k] - s.x[j]);
    s.dx[j] += mx;
    s.dx[k] -= mx;
    const double my = c * (s.y[k] - s.y[j]);
    s.dy[j] += my;
    s.dy[k] -= my;
    const double mz = c * (s.z[k] - s.z[j]);
    s.dz[j] += mz;
    s.dz[k] -= mz;
  }
  for (int i = 0; i < s.NOV; ++i) {
    s.dx[i] *= 0.2;
    s.dy[i] *= 0.2;
    s.dz[i] *= 0.2;
    // A vertex pulled by many edges at once overshoots, and on some surfaces
    // (an edge listed hundreds of times, coordinates near the largest double)
    // the overshoot grows pass by pass until a position overflows. A vertex
    // whose new position would not be finite stays where it is: one infinity
    // would turn every position it touches into NaN.
    const double nx = s.x[i] + s.dx[i], ny = s.y[i] + s.dy[i], nz = s.z[i] + s.dz[i];
    if (std::isfinite(nx) && std::isfinite(ny) && std::isfinite(nz)) {
      s.x[i] = nx;
      s.y[i] = ny;
      s.z[i] = nz;
    }
  }
}

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

void modifyonce(Store& s) { pass(s, build_relax_order(s)); }

bool modify(Store& s) {
  const int limit = s.touch_purturb ? 50 : 10;
  // The edges do not change while relaxing, so their order is built once.
  const int m = build_relax_order(s);
  int count = 0;
  for (;;) {
    ++count;
    pass(s, m);
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
