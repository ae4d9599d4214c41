// A large test surface: a triangulated grid of cols x rows vertices with
// jittered positions and a deterministic mixture of edge kinds, so that the
// target lengths disagree with the grid and relaxation has real work to do.
#pragma once

#include <cstdint>

#include "model/store.h"

namespace brimoss::fixture {

// Uniform in [-1, 1), from a fixed 64-bit generator so that every platform
// builds the same surface.
struct Jitter {
  std::uint64_t state;
  double next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) * (1.0 / 9007199254740992.0) * 2.0 - 1.0;
  }
};

// Replaces the surface of `s` by the grid; every edge lower index first, every
// face oriented the same way. 25 x 40 gives 1000 vertices, 2871 edges and
// 1872 faces.
inline void make_grid_surface(Store& s, int cols, int rows, std::uint64_t seed,
                              double jitter = 0.15) {
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

}  // namespace brimoss::fixture
