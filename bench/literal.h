// The relaxation written exactly as its steps read, as the reference the fast
// form is measured against: every vertex pair j < k, and for each pair every
// edge, looking for the edges stored as (j, k).
#pragma once

#include <cmath>

#include "model/store.h"

namespace brimoss::literal {

inline void modifyonce(Store& s) {
  for (int i = 0; i < s.NOV; ++i) s.dx[i] = s.dy[i] = s.dz[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const int a = s.edge[l].first, b = s.edge[l].second;
    s.edgelength[l] =
        std::sqrt((s.x[b] - s.x[a]) * (s.x[b] - s.x[a]) + (s.y[b] - s.y[a]) * (s.y[b] - s.y[a]) +
                  (s.z[b] - s.z[a]) * (s.z[b] - s.z[a]));
  }
  for (int j = 0; j < s.NOV; ++j)
    for (int k = j + 1; k < s.NOV; ++k)
      for (int l = 0; l < s.NOE; ++l) {
        if (s.edge[l].first != j || s.edge[l].second != k) continue;
        if (!(s.edgelength[l] > 0)) continue;  // coincident ends: no direction
        const double c = 1 - s.phi[l] / s.edgelength[l];
        if (!std::isfinite(c)) continue;
        s.dx[j] += c * (s.x[k] - s.x[j]);
        s.dx[k] -= c * (s.x[k] - s.x[j]);
        s.dy[j] += c * (s.y[k] - s.y[j]);
        s.dy[k] -= c * (s.y[k] - s.y[j]);
        s.dz[j] += c * (s.z[k] - s.z[j]);
        s.dz[k] -= c * (s.z[k] - s.z[j]);
      }
  for (int i = 0; i < s.NOV; ++i) {
    s.dx[i] *= 0.2;
    s.dy[i] *= 0.2;
    s.dz[i] *= 0.2;
    // A move that would leave the finite numbers is not made.
    if (std::isfinite(s.x[i] + s.dx[i]) && std::isfinite(s.y[i] + s.dy[i]) &&
        std::isfinite(s.z[i] + s.dz[i])) {
      s.x[i] += s.dx[i];
      s.y[i] += s.dy[i];
      s.z[i] += s.dz[i];
    }
  }
}

// Passes until every edge is within 0.05 of its target, or the limit.
inline bool modify(Store& s) {
  const int limit = s.touch_purturb ? 50 : 10;
  for (int count = 1;; ++count) {
    modifyonce(s);
    bool out = false;
    for (int l = 0; l < s.NOE && !out; ++l) {
      const int a = s.edge[l].first, b = s.edge[l].second;
      const double d =
          std::sqrt((s.x[b] - s.x[a]) * (s.x[b] - s.x[a]) + (s.y[b] - s.y[a]) * (s.y[b] - s.y[a]) +
                    (s.z[b] - s.z[a]) * (s.z[b] - s.z[a])) -
          s.phi[l];
      out = d < -0.05 || d > 0.05;
    }
    if (count > limit) return false;
    if (!out) return true;
  }
}

}  // namespace brimoss::literal
