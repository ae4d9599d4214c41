#include "testing/grids.h"

#include <cmath>

namespace brimoss::testing {

void make_grid_surface(Store& s, int cols, int rows, std::uint64_t seed, double jitter) {
  Jitter r{seed};
  s.NOV = s.NOE = s.NOS = 0;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      s.x[s.NOV] = 0.85 * i + 0.425 * (j % 2) + jitter * r.next();
      s.y[s.NOV] = 0.75 * j + jitter * r.next();
      s.z[s.NOV] = jitter * r.next();
      ++s.NOV;
    }
  auto add_edge = [&](int a, int b) {
    s.edge[s.NOE] = {a < b ? a : b, a < b ? b : a};
    s.phi[s.NOE] = r.next() < 0.0 ? phi_a() : phi_b();
    ++s.NOE;
  };
  auto at = [cols](int i, int j) { return j * cols + i; };
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      if (i + 1 < cols) add_edge(at(i, j), at(i + 1, j));
      if (j + 1 < rows) add_edge(at(i, j), at(i, j + 1));
      if (i + 1 < cols && j + 1 < rows) add_edge(at(i + 1, j), at(i, j + 1));
    }
  for (int j = 0; j + 1 < rows; ++j)
    for (int i = 0; i + 1 < cols; ++i) {
      s.face[s.NOS++] = Face{{at(i, j), at(i + 1, j), at(i, j + 1)}};
      s.face[s.NOS++] = Face{{at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}};
    }
}

void rest_and_knock(Store& s, Jitter& r) {
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    s.phi[l] = std::hypot(s.x[e.second] - s.x[e.first], s.y[e.second] - s.y[e.first],
                          s.z[e.second] - s.z[e.first]);
  }
  for (int i = 0; i < s.NOV; i += 37) {
    s.x[i] += 0.3 * r.next();
    s.y[i] += 0.3 * r.next();
    s.z[i] += 0.3 * r.next();
  }
}

}  // namespace brimoss::testing
