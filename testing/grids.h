// Surfaces made for a test: a triangulated grid of cols x rows vertices with
// jittered positions and a deterministic mixture of edge kinds, so that the
// target lengths disagree with the grid and relaxation has real work to do.
#pragma once

#include <cstdint>

#include "model/store.h"

namespace brimoss::testing {

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
void make_grid_surface(Store& s, int cols, int rows, std::uint64_t seed, double jitter = 0.15);

// Every edge's target set to its present length, then every 37th vertex moved
// by up to 0.3 along each axis: a surface that the relaxation settles in a few
// passes.
void rest_and_knock(Store& s, Jitter& r);

}  // namespace brimoss::testing
