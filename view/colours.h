// The Colour menu's rule: a picked face colour also sets the matching mark
// colour, the front one halved; the background is taken as it is.
#pragma once

#include "model/store.h"

namespace brimoss {

// Menu ids of the three colour commands.
constexpr int kFaceForegroundId = 31;
constexpr int kFaceBackgroundId = 32;
constexpr int kBackgroundColourId = 33;

// Stores the colour (r, g, b), each 0 to 255, as the setting the command `id`
// chooses. Face foreground: base colour, and the mark colour (b/2, r/2, g/2).
// Face background: back colour, and the back mark colour (b, r, g).
// Background: the background colour. Any other id changes nothing.
void apply_colour(Store& s, int id, int r, int g, int b);

}  // namespace brimoss
