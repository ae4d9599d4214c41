// Where the canvas picture goes on a printed page: scaled uniformly to fit
// with a 50-unit margin round it on the limiting side, and centred.
#pragma once

namespace brimoss {

struct PageLayout {
  float scale = 1.0f;  // device units per canvas pixel
  int originX = 0;     // device position of the canvas's top-left corner
  int originY = 0;
};

// The layout of a canvas of 2*centerx by 2*centery pixels on an area of
// w by h device units. Single-precision, with the origin truncated toward
// zero, so that the page matches to the device unit whatever prints it.
PageLayout fit_canvas_to_page(int centerx, int centery, int w, int h);

}  // namespace brimoss
