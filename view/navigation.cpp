#include "view/navigation.h"

#include <cmath>

#include "ops/commands.h"
#include "sim/rotate.h"
#include "view/fit.h"

namespace brimoss {

namespace {

// Far enough that no surface can be seen, near enough for pixel arithmetic.
constexpr double kFarthestOrigin = 1 << 20;

int round_origin(double v) {
  return static_cast<int>(std::lround(std::fmax(-kFarthestOrigin, std::fmin(kFarthestOrigin, v))));
}

}  // namespace

void Navigation::sync(const Store& s) {
  if (moved_ && (s.g_centerx != round_origin(ox_) || s.g_centery != round_origin(oy_)))
    moved_ = false;
  if (moved_) return;
  ox_ = s.g_centerx;
  oy_ = s.g_centery;
  home_x_ = s.g_centerx;
  home_y_ = s.g_centery;
}

bool Navigation::zoom_step(Store& s, bool in, int px, int py) {
  sync(s);
  const double before = s.g_rate;
  if (in)
    ops::zoom_in(s);
  else
    ops::zoom_out(s);
  if (s.g_rate == before) return false;
  // The origin is kept unrounded so that zooming in and out again about any
  // points never drifts; only the drawing rounds it.
  const double k = s.g_rate / before;
  ox_ = px - k * (px - ox_);
  oy_ = py - k * (py - oy_);
  s.g_centerx = round_origin(ox_);
  s.g_centery = round_origin(oy_);
  moved_ = true;
  return true;
}

bool Navigation::wheel(Store& s, int rotation, int delta, int px, int py) {
  if (delta <= 0 || rotation == 0) return false;
  // A turn the other way starts afresh rather than first paying back the part
  // of a notch left from before.
  if ((rotation > 0) != (rest_ > 0)) rest_ = 0;
  rest_ += rotation;
  bool changed = false;
  for (; rest_ >= delta; rest_ -= delta) changed |= zoom_step(s, true, px, py);
  for (; rest_ <= -delta; rest_ += delta) changed |= zoom_step(s, false, px, py);
  return changed;
}

void Navigation::default_view(Store& s) {
  ops::default_size(s);
  sync(s);
  if (!moved_) return;
  s.g_centerx = home_x_;
  s.g_centery = home_y_;
  moved_ = false;
}

void Navigation::moved_to(const Store& s) {
  ox_ = s.g_centerx;
  oy_ = s.g_centery;
  moved_ = true;
}

bool Navigation::fit(Store& s, int w, int h) {
  sync(s);
  if (!zoom_to_fit(s, w, h)) return false;
  moved_to(s);
  return true;
}

bool Navigation::keep_in_view(Store& s, int w, int h) {
  sync(s);
  if (!brimoss::keep_in_view(s, w, h)) return false;
  moved_to(s);
  return true;
}

bool Navigation::key(Store& s, NavKey k) {
  // Right and down turn the front of the sheet the way a flick to the right
  // or downwards spins it.
  switch (k) {
    case NavKey::Left:
      rotatepoly(s, -kArrowStep, 0.0);
      return true;
    case NavKey::Right:
      rotatepoly(s, kArrowStep, 0.0);
      return true;
    case NavKey::Up:
      rotatepoly(s, 0.0, -kArrowStep);
      return true;
    case NavKey::Down:
      rotatepoly(s, 0.0, kArrowStep);
      return true;
    case NavKey::Home:
      default_view(s);
      return true;
    case NavKey::None:
      break;
  }
  return false;
}

}  // namespace brimoss
