#include "view/colours.h"

namespace brimoss {

void apply_colour(Store& s, int id, int r, int g, int b) {
  switch (id) {
    case kFaceForegroundId:
      s.basecolR = r;
      s.basecolG = g;
      s.basecolB = b;
      // The mark colour turns the channels round and dims them, so the faces
      // at the current vertex stand out against any front colour.
      s.modifycolR = b / 2;
      s.modifycolG = r / 2;
      s.modifycolB = g / 2;
      break;
    case kFaceBackgroundId:
      s.backcolR = r;
      s.backcolG = g;
      s.backcolB = b;
      s.backmodifycolR = b;
      s.backmodifycolG = r;
      s.backmodifycolB = g;
      break;
    case kBackgroundColourId:
      s.bgcolR = r;
      s.bgcolG = g;
      s.bgcolB = b;
      break;
    default:
      break;
  }
}

}  // namespace brimoss
