#include "sim/remove.h"

#include "model/undo.h"
#include "sim/relax.h"

namespace brimoss {

bool removevertex(Store& s) {
  const int v = s.g_purtj;
  if (v < 0 || v >= s.NOV) return false;
  end_paste(s);
  makecopy(s);

  // One pass each with a write index: the survivors keep their order, and
  // nothing is shifted more than once.
  int w = 0;
  for (int l = 0; l < s.NOE; ++l) {
    Edge e = s.edge[l];
    if (e.first == v || e.second == v) continue;
    if (e.first > v) --e.first;
    if (e.second > v) --e.second;
    s.phi[w] = s.phi[l];
    s.edge[w++] = e;
  }
  s.NOE = w;

  w = 0;
  for (int f = 0; f < s.NOS; ++f) {
    Face fc = s.face[f];
    if (fc[0] == v || fc[1] == v || fc[2] == v) continue;
    for (int k = 0; k < 3; ++k)
      if (fc[k] > v) --fc[k];
    s.face[w++] = fc;
  }
  s.NOS = w;

  // Component labels stay where they are until the next labelling.
  for (int i = v; i + 1 < s.NOV; ++i) {
    s.x[i] = s.x[i + 1];
    s.y[i] = s.y[i + 1];
    s.z[i] = s.z[i + 1];
  }
  --s.NOV;
  return true;
}

bool pullpoint(Store& s) {
  const int v = s.g_purtj;
  // After a removal the current vertex may name a slot past the surface; the
  // lowering lands there harmlessly (the slot is overwritten when a vertex
  // comes to it), and the surface is relaxed all the same. Only an index
  // outside the arrays is left alone.
  if (v >= 0 && v < MAXNOV) s.z[v] -= 0.3;
  modify(s);
  return v >= 0 && v < s.NOV;
}

}  // namespace brimoss
