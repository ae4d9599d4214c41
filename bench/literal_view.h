// The drawing's depth ranking as its steps read, the reference the fast sort
// is measured against: every face compared with every face.
#pragma once

#include "model/store.h"

namespace brimoss::literal {

// center[i] = mean z; face i's rank = faces deeper than it + faces of equal
// depth with a higher index; order[rank] = i.
inline void depth_order(Store& s) {
  for (int i = 0; i < s.NOS; ++i) {
    s.order[i] = 0;
    s.center[i] = (s.z[s.face[i][0]] + s.z[s.face[i][1]] + s.z[s.face[i][2]]) / 3.0;
  }
  for (int i = 0; i < s.NOS; ++i) {
    int r = 0;
    for (int j = 0; j < s.NOS; ++j) {
      if (s.center[j] > s.center[i]) ++r;
      if (s.center[j] == s.center[i] && j > i) ++r;
    }
    s.order[r] = i;
  }
}

}  // namespace brimoss::literal
