#include "view/mouse.h"

#include "ops/commands.h"
#include "sim/contacts.h"

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
  forget_apart_positions(s);  // the user's move: reported, not undone
  for (int i = 0; i < s.NOV; ++i) {
    if (s.conn_comp[i] != comp) continue;
    s.x[i] -= mx;
    s.y[i] += my;
  }
}

void left_release(Store& s, int px, int py, MouseEffects& out) {
  s.g_Lmousedown = 0;
  // A release ending a flick often lands on some vertex; only a drag that
  // began at the current vertex was meant as a paste, so only its refusal is
  // worth telling.
  const bool from_current = s.g_purtj >= 0 && s.g_purtj < s.NOV &&
                            vertex_under(s, s.g_purtj, s.g_dragpointx, s.g_dragpointy);
  std::string refusal;
  for (int i = 0; i < s.NOV; ++i) {
    if (i == s.g_purtj || !vertex_under(s, i, px, py)) continue;
    const ops::Result r = ops::start_paste(s, i, s.g_purtj);
    if (!r) {
      if (refusal.empty()) refusal = r.why;
      continue;
    }
    refusal.clear();
    out.repaint = true;
    break;
  }
  if (from_current) out.refusal = std::move(refusal);
  // A flick spins the sheet at a rate set by the length of the drag.
  if (s.g_pasteevent == 0)
    ops::start_spin(s, -0.001 * (s.g_dragpointy - py), -0.001 * (s.g_dragpointx - px));
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
    ops::highlight(s, c);
  }
  if (s.g_dragcomponent == 0) ops::clear_highlights(s);
}

void right_release(Store& s, int px, int py, MouseEffects& out) {
  s.g_Rmousedown = 0;
  const bool dragged = s.g_dragcomponent > 0;
  if (dragged) move_component(s, s.g_dragcomponent, px, py);
  ops::relax(s);
  if (dragged) out.crossings = ops::crossings_left_by_hand(s);
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
    ops::touch(s, i);
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

}  // namespace brimoss
