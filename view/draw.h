// The pure half of the drawing: depths, back-to-front order, screen positions,
// face colours and the twinkle sweep. The toolkit side (view/wx/scene.h) only
// turns these into pens, brushes and polygons.
#pragma once

#include "model/store.h"

namespace brimoss {

struct RGB {
  int r = 0, g = 0, b = 0;
  bool operator==(const RGB& o) const { return r == o.r && g == o.g && b == o.b; }
};

// The colour a twinkling face is painted in.
constexpr RGB kTwinkleColour{192, 255, 192};

// center[f] = mean z of face f; order[k] = the face drawn k-th: deepest first,
// and among equal depths the higher index first, so the lowest index ends on
// top. Sorts in place in the store's own arrays; allocates nothing.
void depth_order(Store& s);

// gx, gy of every vertex: floor(g_rate * coordinate) about the origin
// (g_centerx, g_centery), screen y pointing down.
void project(Store& s);

// Fill colour of face f (an index into the face table): front or back colour
// by the sign of the normal's z, shaded by the light, averaged with the mark
// colour when the face touches the current vertex.
RGB getcolor(const Store& s, int f);

// The fill of the face at draw position k: its colour, or the twinkle colour
// when the sweep is at k.
RGB draw_colour(const Store& s, int k);

// Whether face f is outlined in white: its first vertex's component is
// highlighted.
bool outline_white(const Store& s, int f);

// Advances the twinkle sweep by one draw; it ends once it has passed NOS.
void twinkle_step(Store& s);

// Everything a draw computes before painting: depth order and projection.
void prepare_scene(Store& s);

// Receives the scene's shapes in drawing order. The screen and the printer
// each have one; what is drawn, in which order and colour, is decided once,
// by draw_scene.
class ScenePainter {
 public:
  virtual ~ScenePainter() = default;
  // The rectangle at (0, 0), w x h, filled with `fill` and outlined in white.
  virtual void background(int w, int h, RGB fill) = 0;
  // A filled triangle with a one-pixel outline, white or black.
  virtual void triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) = 0;
};

// The whole picture but the status line: the background, every face from
// back to front with its colour and outline, then the twinkle step. Leaves
// the depth order in center/order and the screen positions in gx/gy.
void draw_scene(Store& s, ScenePainter& painter);

}  // namespace brimoss
