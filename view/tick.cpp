#include "view/tick.h"

#include <cmath>

#include "copy/paste.h"
#include "model/components.h"
#include "sim/contacts.h"
#include "sim/relax.h"
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

void rotatepoly(Store& s, double a, double b) {
  const double ca = std::cos(a), sa = std::sin(a);
  const double cb = std::cos(b), sb = std::sin(b);
  forget_apart_positions(s);  // a turn is the user's: kept apart, it is not undone
  auto turn = [&](double& x, double& y, double& z) {
    const double x1 = ca * x - sa * z;
    const double z1 = sa * x + ca * z;
    const double y1 = cb * y + sb * z1;
    const double z2 = -sb * y + cb * z1;
    x = x1;
    y = y1;
    z = z2;
  };

  bool any = false;
  for (int c = 1; c < MAXCONNCOMP && !any; ++c) any = s.hilighted[c];
  if (!any) {
    for (int i = 0; i < s.NOV; ++i) turn(s.x[i], s.y[i], s.z[i]);
    return;
  }

  fill_center_conn_comp(s);
  for (int i = 0; i < s.NOV; ++i) {
    const int c = s.conn_comp[i];
    if (c < 0 || c >= MAXCONNCOMP || !s.hilighted[c]) continue;
    double px = s.x[i] - s.comp_centerx[c];
    double py = s.y[i] - s.comp_centery[c];
    double pz = s.z[i] - s.comp_centerz[c];
    turn(px, py, pz);
    s.x[i] = px + s.comp_centerx[c];
    s.y[i] = py + s.comp_centery[c];
    s.z[i] = pz + s.comp_centerz[c];
  }
}

}  // namespace brimoss
