#include "ops/tick.h"

#include <cmath>

#include "copy/paste.h"
#include "sim/relax.h"
#include "sim/rotate.h"
#include "sim/spread.h"

namespace brimoss {

namespace {

constexpr int kLastStep = 49;

void perturb_step(Store& s) {
  const int p = s.g_purturb;
  modify(s);
  set_message(s, "Now purturbing..");
  // The current vertex can be out of range after the surface shrank or was
  // replaced; the wave then has nothing to move but still runs its course.
  if (s.g_purtj >= 0 && s.g_purtj < s.NOV)
    s.z[s.g_purtj] += 0.16 * std::sin(0.4 * p) * (1 - 0.02 * p) * (1 - 0.02 * p);
  s.g_purturb = p + 1 > kLastStep ? 0 : p + 1;
}

void spin_step(Store& s) {
  const int n = 50 - s.g_rotate;
  rotatepoly(s, 0.02 * n * s.g_vangle, 0.02 * n * s.g_hangle);
  set_message(s, "Now rotating..");
  ++s.g_rotate;
  if (s.g_rotate > kLastStep) s.g_rotate = 0;
}

}  // namespace

TickBranch timer_tick(Store& s) {
  if (s.g_pasteevent > 0) {
    pastevertices2(s);
    return TickBranch::Paste;
  }
  if (s.g_purturb > 0) {
    perturb_step(s);
    return TickBranch::Perturb;
  }
  if (s.g_rotate > 0) {
    spin_step(s);
    return TickBranch::Spin;
  }
  if (s.g_twincle > 0) {
    set_message(s, "Now twincling..");
    return TickBranch::Twinkle;
  }
  if (s.g_buru > 0) {
    spread(s);
    set_message(s, "Now swaying..");
    --s.g_buru;
    return TickBranch::Sway;
  }
  set_message(s, " ");
  return TickBranch::Idle;
}

}  // namespace brimoss
