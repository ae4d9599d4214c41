// Ids of the menu commands added beside the original ones; they start above
// every id in ids.h.
#pragma once

namespace ExtraId {
enum : int {
  Guide = 40,  // Help > Brimoss guide
};
}  // namespace ExtraId
