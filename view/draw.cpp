#include "view/draw.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace brimoss {

void depth_order(Store& s) {
  const int n = s.NOS;
  for (int i = 0; i < n; ++i) {
    const Face& f = s.face[i];
    s.center[i] = (s.z[f[0]] + s.z[f[1]] + s.z[f[2]]) / 3.0;
    s.order[i] = i;
  }
  // Deeper first; equal depths by descending index. A depth that is not a
  // number would break the ordering's consistency, so such faces go last.
  const double* c = s.center.data();
  std::sort(s.order.begin(), s.order.begin() + n, [c](int a, int b) {
    const double ca = c[a], cb = c[b];
    const bool na = std::isnan(ca), nb = std::isnan(cb);
    if (na || nb) return na == nb ? a > b : nb;
    if (ca != cb) return ca > cb;
    return a > b;
  });
}

namespace {

// floor(v) as an int; a point thrown far off the screen stays far off without
// overflowing the conversion.
int floor_px(double v) {
  const double f = std::floor(v);
  if (!(f > -1e9)) return -1000000000;
  if (f > 1e9) return 1000000000;
  return static_cast<int>(f);
}

}  // namespace

void project(Store& s) {
  for (int i = 0; i < s.NOV; ++i) {
    s.gx[i] = s.g_centerx + floor_px(s.g_rate * s.x[i]);
    s.gy[i] = s.g_centery - floor_px(s.g_rate * s.y[i]);
  }
}

namespace {

int shade(int level, double s) {
  const double c = s > 0 ? level * (1 - s) + 255 * s : level * (1 + s);
  return static_cast<int>(c);
}

}  // namespace

RGB getcolor(const Store& s, int f) {
  const int i0 = s.face[f][0], i1 = s.face[f][1], i2 = s.face[f][2];
  const double ax = s.x[i1] - s.x[i0], ay = s.y[i1] - s.y[i0], az = s.z[i1] - s.z[i0];
  const double bx = s.x[i2] - s.x[i0], by = s.y[i2] - s.y[i0], bz = s.z[i2] - s.z[i0];
  const double nx = ay * bz - az * by;
  const double ny = az * bx - ax * bz;
  const double nz = ax * by - ay * bx;

  double light = 0.9 * (nx + ny);
  if (light > 1) light = 1;
  if (light < -1) light = -1;
  if (std::isnan(light)) light = 0;  // a degenerate face keeps its plain colour

  const bool front = nz < 0;
  const int L[3] = {front ? s.basecolR : s.backcolR, front ? s.basecolG : s.backcolG,
                    front ? s.basecolB : s.backcolB};
  const std::array<int, 3> M = marking_colour(s, front);
  const bool marked = s.g_purtj == i0 || s.g_purtj == i1 || s.g_purtj == i2;
  int c[3];
  for (int k = 0; k < 3; ++k) {
    c[k] = shade(L[k], light);
    if (marked) c[k] = (c[k] + M[k]) / 2;
    c[k] &= 0xFF;
  }
  return {c[0], c[1], c[2]};
}

RGB draw_colour(const Store& s, int k) {
  if (s.g_twincle > 0 && s.g_twincle == k) return kTwinkleColour;
  return getcolor(s, s.order[k]);
}

bool outline_white(const Store& s, int f) {
  const int comp = s.conn_comp[s.face[f][0]];
  return comp >= 0 && comp < MAXCONNCOMP && s.hilighted[comp];
}

void twinkle_step(Store& s) {
  if (s.g_twincle > 0 && ++s.g_twincle > s.NOS) s.g_twincle = 0;
}

void prepare_scene(Store& s) {
  depth_order(s);
  project(s);
}

void draw_scene(Store& s, ScenePainter& painter) {
  painter.background(2 * s.g_centerx + 1, 2 * s.g_centery + 1, {s.bgcolR, s.bgcolG, s.bgcolB});
  prepare_scene(s);
  int xs[3], ys[3];
  for (int k = 0; k < s.NOS; ++k) {
    const int f = s.order[k];
    for (int j = 0; j < 3; ++j) {
      const int v = s.face[f][j];
      xs[j] = s.gx[v];
      ys[j] = s.gy[v];
    }
    painter.triangle(xs, ys, draw_colour(s, k), outline_white(s, f));
  }
  twinkle_step(s);
}

}  // namespace brimoss
