#include "ops/capacity_surface.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

#include "model/surface_file.h"
#include "ops/load.h"

namespace brimoss {

namespace {

constexpr int kAround = 25;  // vertices round the tube
constexpr int kAlong = 40;   // vertices along it
constexpr int kLayers = 3;   // copies of every triangle

static_assert(kAround * kAlong == MAXNOV, "one vertex per store slot");
static_assert(3 * kAround * kAlong == MAXNOE, "three edges per vertex on a torus");
static_assert(2 * kAround * kAlong * kLayers == MAXNOS, "two triangles per vertex per layer");

int at(int i, int j) { return (j % kAlong) * kAround + (i % kAround); }

}  // namespace

std::string capacity_surface_text() {
  // Radii chosen so that the edges round the tube and the average edge along
  // it come out near the target lengths; the inner side is squeezed and the
  // outer side stretched, so the relaxation has work everywhere.
  const double two_pi = 2 * mypi;
  const double r = kAround * 0.85 / two_pi;
  const double R = kAlong * 0.85 / two_pi;
  std::string out;
  // Written with to_chars: the toolkit may have switched the process to a
  // locale with a decimal comma.
  auto num = [&out](auto v, char end) {
    char buf[64];
    std::to_chars_result r;
    if constexpr (std::is_floating_point_v<decltype(v)>)
      r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 5);
    else
      r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
    out += end;
  };

  num(MAXNOV, '\n');
  for (int j = 0; j < kAlong; ++j)
    for (int i = 0; i < kAround; ++i) {
      const double u = two_pi * i / kAround, v = two_pi * j / kAlong;
      const double w = R + r * std::cos(u);
      num(w * std::cos(v), ',');
      num(w * std::sin(v), ',');
      num(r * std::sin(u), '\n');
    }

  num(MAXNOE, '\n');
  auto edge = [&](int a, int b, char kind) {
    num(a < b ? a : b, ',');
    num(a < b ? b : a, ',');
    out += kind;
    out += '\n';
  };
  for (int j = 0; j < kAlong; ++j)
    for (int i = 0; i < kAround; ++i) {
      edge(at(i, j), at(i + 1, j), 'a');
      edge(at(i, j), at(i, j + 1), 'b');
      edge(at(i + 1, j), at(i, j + 1), 'b');
    }

  num(MAXNOS, '\n');
  for (int layer = 0; layer < kLayers; ++layer)
    for (int j = 0; j < kAlong; ++j)
      for (int i = 0; i < kAround; ++i) {
        const int t[2][3] = {{at(i, j), at(i + 1, j), at(i, j + 1)},
                             {at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}};
        for (const auto& c : t) {
          num(c[layer % 3], ',');
          num(c[(layer + 1) % 3], ',');
          num(c[(layer + 2) % 3], '\n');
        }
      }
  return out;
}

void build_capacity_surface(Store& s) {
  std::string err;
  if (!open_surface_text(s, capacity_surface_text(), err)) {
    // The text is made here and known to be good; a refusal is a programming
    // error that must not pass silently.
    std::fprintf(stderr, "capacity surface refused: %s\n", err.c_str());
    std::abort();
  }
}

}  // namespace brimoss
