// Turning the surface, or its highlighted pieces, about two axes.
#pragma once

#include "model/store.h"

namespace brimoss {

// Rotates by a about the y axis, then by b about the x axis: the whole surface
// about the origin, or, while any component is highlighted, only the
// highlighted components, each about its own centre.
void rotatepoly(Store& s, double a, double b);

}  // namespace brimoss
