// Zoom to fit: the zoom and origin that show the whole surface in a canvas
// with a small margin all round, and the growing sheet kept in view.
#pragma once

#include "model/store.h"

namespace brimoss {

// Pixels left clear between the surface and the canvas's edge.
constexpr int kFitMargin = 12;

// The zoom (pixels a unit) and the pixel of the model origin.
struct ViewPlace {
  double rate = 100.0;
  int centerx = 0, centery = 0;
};

// Where every vertex of `s` lies drawn inside a w x h canvas with `margin`
// pixels clear, the surface in the middle, as large as that allows (at most
// kMaxFitRate). False when there is no vertex or no room.
bool fit_place(const Store& s, int w, int h, int margin, ViewPlace& place);

// Whether every vertex, drawn at the store's zoom and origin, lies inside the
// canvas less the margin.
bool in_view(const Store& s, int w, int h, int margin);

// Zoom to fit: sets the store's zoom and origin to fit_place's. True when
// there was something to fit.
bool zoom_to_fit(Store& s, int w, int h, int margin = kFitMargin);

// While a sheet grows: when a vertex would be drawn outside the canvas less
// the margin, zooms out (never in) and centres the surface so that it all
// shows again. True when the view changed.
bool keep_in_view(Store& s, int w, int h, int margin = kFitMargin);

// The closest zoom to fit gives a surface that is only a point or a line.
constexpr double kMaxFitRate = 400.0;

}  // namespace brimoss
