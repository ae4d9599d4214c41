// What the mouse does on the canvas, apart from the window: touching a vertex,
// flicking to spin, starting a paste, and grabbing and dragging a component.
// Positions are canvas pixels; vertices are found through gx, gy of the last
// drawing.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss {

enum class MouseKind { LeftDown, LeftUp, RightDown, RightUp, Other };

// What the window has to do after an event.
struct MouseEffects {
  bool repaint = false;
  // Why a paste gesture (a left drag from the current vertex, let go over
  // another vertex) was refused; empty otherwise.
  std::string refusal;
  // What a piece dragged by hand left crossing on a kept-apart sheet; empty
  // otherwise.
  std::string crossings;
};

// Whether vertex i was drawn within the 9 x 9 pixel box centred on (px, py).
inline bool vertex_under(const Store& s, int i, int px, int py) {
  return s.gx[i] > px - 5 && s.gx[i] < px + 5 && s.gy[i] > py - 5 && s.gy[i] < py + 5;
}

// Handles one mouse event with the pointer at (px, py).
void mouse_event(Store& s, MouseKind k, int px, int py, MouseEffects& out);

}  // namespace brimoss
