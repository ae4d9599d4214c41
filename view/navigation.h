// Keys and the mouse wheel on the canvas, apart from the window: the wheel
// zooms about the pointer, the arrows turn the sheet, Home goes back to the
// default size. Positions are canvas pixels.
#pragma once

#include "model/store.h"

namespace brimoss {

enum class NavKey { None, Left, Right, Up, Down, Home };

// The turn of one arrow press, in radians: small enough to aim with, about
// three degrees.
constexpr double kArrowStep = 0.05;

class Navigation {
 public:
  // A wheel turn of `rotation` (in units where `delta` is one notch; positive
  // away from the user) with the pointer at (px, py). Each whole notch is one
  // Zoom In (away) or Zoom Out (towards) step, and the model point under the
  // pointer stays under it: the origin moves, the surface does not. Parts of
  // a notch (high-resolution wheels) are kept until they add up. True when
  // the zoom changed.
  bool wheel(Store& s, int rotation, int delta, int px, int py);

  // The arrows turn the sheet (only the highlighted pieces, while some are)
  // with the spin's rotation; Home is default_view. True when something
  // changed.
  bool key(Store& s, NavKey k);

  // Default size, and the origin back where it was before the wheel moved it.
  void default_view(Store& s);

  // Zoom to fit in a w x h canvas (view/fit.h); Home goes back from it as
  // from the wheel's zoom. True when there was something to fit.
  bool fit(Store& s, int w, int h);
  // keep_in_view for a growing sheet, remembered the same way.
  bool keep_in_view(Store& s, int w, int h);

 private:
  // Takes the origin as it stands when something else (a resize) moved it.
  void sync(const Store& s);
  bool zoom_step(Store& s, bool in, int px, int py);
  // The origin was moved by this view's own commands, not a resize.
  void moved_to(const Store& s);

  int rest_ = 0;                 // wheel rotation not yet a whole notch
  bool moved_ = false;           // the wheel has moved the origin
  double ox_ = 0, oy_ = 0;       // the origin without rounding, while moved_
  int home_x_ = 0, home_y_ = 0;  // the origin before the wheel moved it
};

}  // namespace brimoss
