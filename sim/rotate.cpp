#include "sim/rotate.h"

#include <cmath>

#include "model/components.h"
#include "sim/contacts.h"

namespace brimoss {

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
