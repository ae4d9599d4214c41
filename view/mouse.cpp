#include "view/mouse.h"

#include "copy/paste.h"
#include "sim/relax.h"

namespace brimoss {

namespace {

// The component that a drag moves; vertices carrying a label outside the
// component tables belong to none.
int component_of(const Store& s, int i) {
  const int c = s.conn_comp[i];
  return c >= 0 && c < MAXCONNCOMP ? c : 0;
}

void move_component(Store& s, int comp, int px, int py) {
  const double mx = (s.g_dragpointx - px) / s.g_rate;
  const double my = (s.g_dragpointy - py) / s.g_rate;
  for (int i = 0; i < s.NOV; ++i) {
    if (s.conn_comp[i] != comp) continue;
    s.x[i] -= mx;
    s.y[i] += my;
  }
}

void left_release(Store& s, int px, int py, MouseEffects& out) {
  s.g_Lmousedown = 0;
  for (int i = 0; i < s.NOV; ++i) {
    if (i == s.g_purtj || !vertex_under(s, i, px, py)) continue;
    if (!start_paste(s, i, s.g_purtj)) continue;
    out.repaint = true;
    break;
  }
  if (s.g_pasteevent == 0) {
    s.g_vangle = -0.001 * (s.g_dragpointx - px);
    s.g_hangle = -0.001 * (s.g_dragpointy - py);
    s.g_rotate = 1;
    s.g_purturb = 0;
  }
}

void right_press(Store& s, int px, int py) {
  s.g_dragpointx = px;
  s.g_dragpointy = py;
  s.g_Rmousedown = 1;
  s.g_dragcomponent = 0;
  for (int i = 0; i < s.NOV; ++i) {
    if (!vertex_under(s, i, px, py)) continue;
    const int c = component_of(s, i);
    s.g_dragcomponent = c;
    s.hilighted[c] = true;
  }
  if (s.g_dragcomponent == 0) s.hilighted.fill(false);
}

void right_release(Store& s, int px, int py, MouseEffects& out) {
  s.g_Rmousedown = 0;
  if (s.g_dragcomponent > 0) move_component(s, s.g_dragcomponent, px, py);
  modify(s);
  out.repaint = true;
}

void drag_or_touch(Store& s, int px, int py, MouseEffects& out) {
  if (s.g_Rmousedown && s.g_dragcomponent > 0) {
    move_component(s, s.g_dragcomponent, px, py);
    s.g_dragpointx = px;
    s.g_dragpointy = py;
    out.repaint = true;
  }
  if (s.g_Lmousedown || s.g_Rmousedown) return;
  for (int i = 0; i < s.NOV; ++i) {
    if (i == s.g_purtj || !vertex_under(s, i, px, py)) continue;
    s.g_purtj = i;
    if (s.touch_purturb) s.g_purturb = 1;
    s.g_rotate = 0;
    return;
  }
}

}  // namespace

void mouse_event(Store& s, MouseKind k, int px, int py, MouseEffects& out) {
  // The left button first; its events then go on to the touch step like any
  // event that is not a right-button press or release.
  if (k == MouseKind::LeftDown) {
    s.g_Lmousedown = 1;
    s.g_dragpointx = px;
    s.g_dragpointy = py;
  } else if (k == MouseKind::LeftUp) {
    left_release(s, px, py, out);
  }

  switch (k) {
    case MouseKind::RightDown:
      right_press(s, px, py);
      break;
    case MouseKind::RightUp:
      right_release(s, px, py, out);
      break;
    default:
      drag_or_touch(s, px, py, out);
      break;
  }
}

void touch_vertex(Store& s, int v) {
  if (s.g_Lmousedown || s.g_Rmousedown) return;
  if (v < 0 || v >= s.NOV || v == s.g_purtj) return;
  s.g_purtj = v;
  if (s.touch_purturb) s.g_purturb = 1;
  s.g_rotate = 0;
}

}  // namespace brimoss
