#include "sim/spread.h"

#include "sim/relax.h"

namespace brimoss {

// Placeholder until the sweep lands: finds faces, relaxes once.
void getsurface(const Store& s, int e, int* s1, int* s2) {
  *s1 = *s2 = -1;
  for (int f = 0; f < s.NOS; ++f) {
    int hits = 0;
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] == s.edge[e].first || s.face[f][k] == s.edge[e].second) ++hits;
    if (hits >= 2) (*s1 < 0 ? *s1 : *s2) = f;
  }
}

void spread(Store& s) { modify(s); }

}  // namespace brimoss
