#include "view/fit.h"

#include <algorithm>
#include <cmath>

namespace brimoss {

namespace {

struct Box {
  double x0, x1, y0, y1;
};

Box bounds(const Store& s) {
  Box b{s.x[0], s.x[0], s.y[0], s.y[0]};
  for (int i = 1; i < s.NOV; ++i) {
    b.x0 = std::min(b.x0, s.x[i]);
    b.x1 = std::max(b.x1, s.x[i]);
    b.y0 = std::min(b.y0, s.y[i]);
    b.y1 = std::max(b.y1, s.y[i]);
  }
  return b;
}

// The origin that puts the box's middle in the canvas's middle at `rate`;
// the drawing's rounding (floor of rate times the coordinate) is allowed for
// by the margin.
ViewPlace centred(const Box& b, int w, int h, double rate) {
  ViewPlace p;
  p.rate = rate;
  p.centerx = static_cast<int>(std::lround(w / 2.0 - rate * (b.x0 + b.x1) / 2));
  p.centery = static_cast<int>(std::lround(h / 2.0 + rate * (b.y0 + b.y1) / 2));
  return p;
}

}  // namespace

bool fit_place(const Store& s, int w, int h, int margin, ViewPlace& place) {
  // Two pixels a side go to rounding: the origin's and the drawing's floor.
  const double room_x = w - 2.0 * margin - 4, room_y = h - 2.0 * margin - 4;
  if (s.NOV <= 0 || room_x < 1 || room_y < 1) return false;
  const Box b = bounds(s);
  double rate = kMaxFitRate;
  if (b.x1 > b.x0) rate = std::min(rate, room_x / (b.x1 - b.x0));
  if (b.y1 > b.y0) rate = std::min(rate, room_y / (b.y1 - b.y0));
  place = centred(b, w, h, rate);
  return true;
}

bool in_view(const Store& s, int w, int h, int margin) {
  for (int i = 0; i < s.NOV; ++i) {
    const double px = s.g_centerx + std::floor(s.g_rate * s.x[i]);
    const double py = s.g_centery - std::floor(s.g_rate * s.y[i]);
    if (px < margin || px > w - 1 - margin || py < margin || py > h - 1 - margin) return false;
  }
  return true;
}

bool zoom_to_fit(Store& s, int w, int h, int margin) {
  ViewPlace p;
  if (!fit_place(s, w, h, margin, p)) return false;
  s.g_rate = p.rate;
  s.g_centerx = p.centerx;
  s.g_centery = p.centery;
  return true;
}

bool keep_in_view(Store& s, int w, int h, int margin) {
  if (in_view(s, w, h, margin)) return false;
  ViewPlace p;
  if (!fit_place(s, w, h, margin, p)) return false;
  const ViewPlace q = centred(bounds(s), w, h, std::min(p.rate, s.g_rate));
  s.g_rate = q.rate;
  s.g_centerx = q.centerx;
  s.g_centery = q.centery;
  return true;
}

}  // namespace brimoss
