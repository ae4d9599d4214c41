#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/capacity_surface.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "tests/core/grid_surface.h"

using namespace brimoss;

namespace {

// The relaxation pass written the slow way: every vertex pair j < k, and for
// each pair every edge stored exactly as (j, k). The fast pass must add the
// same contributions in the same order, so the two agree to the last bit.
// Zero-length edges (and lengths so small that the correction overflows) are
// skipped, and a move that would leave the finite numbers is not made, as in
// the program.

// Four ints at a time, for the edge scan below.
using Lanes = int __attribute__((vector_size(16)));

// The scan tests about 1.5e9 vertex pairs against edges per pass on the large
// surfaces; unoptimised and instrumented (the sanitizer build) that takes
// minutes, so this one test helper is always compiled optimised and without
// the sanitizers, which the code under test keeps.
#if defined(__GNUC__) && !defined(__clang__)
#define BRIMOSS_REFERENCE_SPEED __attribute__((optimize("O2"), no_sanitize("address", "undefined")))
#else
#define BRIMOSS_REFERENCE_SPEED
#endif

BRIMOSS_REFERENCE_SPEED void literal_modifyonce(Store& s) {
  for (int i = 0; i < s.NOV; ++i) s.dx[i] = s.dy[i] = s.dz[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const int a = s.edge[l].first, b = s.edge[l].second;
    s.edgelength[l] =
        std::sqrt((s.x[b] - s.x[a]) * (s.x[b] - s.x[a]) + (s.y[b] - s.y[a]) * (s.y[b] - s.y[a]) +
                  (s.z[b] - s.z[a]) * (s.z[b] - s.z[a]));
  }
  // The ends of every edge, four edges a lane group, padded with -1 (which
  // matches no vertex). Only so that testing every edge against every vertex
  // pair stays affordable on a thousand vertices: a group of 64 edges is first
  // tested as a whole, and only a group that holds (j, k) is walked edge by
  // edge, in index order.
  const int groups = (s.NOE + 3) / 4;
  std::vector<Lanes> first(groups, Lanes{-1, -1, -1, -1}), second(first);
  for (int l = 0; l < s.NOE; ++l) {
    first[l / 4][l % 4] = s.edge[l].first;
    second[l / 4][l % 4] = s.edge[l].second;
  }
  // Plain pointers: in an unoptimised build every operator[] is a call.
  const Lanes* fp = first.data();
  const Lanes* sp = second.data();
  const Edge* edges = s.edge.data();
  constexpr int kBlock = 16;  // lane groups per block
  for (int j = 0; j < s.NOV; ++j) {
    const Lanes jj = {j, j, j, j};
    for (int k = j + 1; k < s.NOV; ++k) {
      const Lanes kk = {k, k, k, k};
      for (int g0 = 0; g0 < groups; g0 += kBlock) {
        const int g1 = g0 + kBlock < groups ? g0 + kBlock : groups;
        Lanes hit = {0, 0, 0, 0};
        for (int g = g0; g < g1; ++g) hit |= (fp[g] == jj) & (sp[g] == kk);
        if (!(hit[0] | hit[1] | hit[2] | hit[3])) continue;
        const int l1 = 4 * g1 < s.NOE ? 4 * g1 : s.NOE;
        for (int l = 4 * g0; l < l1; ++l) {
          if (edges[l].first != j || edges[l].second != k) continue;
          if (!(s.edgelength[l] > 0)) continue;
          const double c = 1 - s.phi[l] / s.edgelength[l];
          if (!std::isfinite(c)) continue;
          s.dx[j] += c * (s.x[k] - s.x[j]);
          s.dx[k] -= c * (s.x[k] - s.x[j]);
          s.dy[j] += c * (s.y[k] - s.y[j]);
          s.dy[k] -= c * (s.y[k] - s.y[j]);
          s.dz[j] += c * (s.z[k] - s.z[j]);
          s.dz[k] -= c * (s.z[k] - s.z[j]);
        }
      }
    }
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

bool literal_modify(Store& s, int* passes) {
  const int limit = s.touch_purturb ? 50 : 10;
  int count = 0;
  for (;;) {
    ++count;
    literal_modifyonce(s);
    bool out = false;
    for (int l = 0; l < s.NOE && !out; ++l) {
      const int a = s.edge[l].first, b = s.edge[l].second;
      const double len =
          std::sqrt((s.x[b] - s.x[a]) * (s.x[b] - s.x[a]) + (s.y[b] - s.y[a]) * (s.y[b] - s.y[a]) +
                    (s.z[b] - s.z[a]) * (s.z[b] - s.z[a]));
      out = len - s.phi[l] < -0.05 || len - s.phi[l] > 0.05;
    }
    *passes = count;
    if (count > limit) return false;
    if (!out) return true;
  }
}

// Positions and the scratch displacements, bit for bit.
void expect_same_vertices(const Store& a, const Store& b) {
  ASSERT_EQ(a.NOV, b.NOV);
  const std::size_t n = sizeof(double) * a.NOV;
  EXPECT_EQ(std::memcmp(a.x.data(), b.x.data(), n), 0);
  EXPECT_EQ(std::memcmp(a.y.data(), b.y.data(), n), 0);
  EXPECT_EQ(std::memcmp(a.z.data(), b.z.data(), n), 0);
  EXPECT_EQ(std::memcmp(a.dx.data(), b.dx.data(), n), 0);
  EXPECT_EQ(std::memcmp(a.dy.data(), b.dy.data(), n), 0);
  EXPECT_EQ(std::memcmp(a.dz.data(), b.dz.data(), n), 0);
  for (int i = 0; i < a.NOV; ++i) {
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i]) {
      ADD_FAILURE() << "vertex " << i << " differs first";
      return;
    }
  }
}

// A sample as written, before the relaxation that loading runs.
void raw_sample(Store& s, int n) {
  ParsedSurface p;
  std::string err;
  ASSERT_TRUE(parse_surface(sample_as_file_text(n), '\n', p, err)) << err;
  commit_surface(s, p, false);
}

// The fast and the literal relaxation from the same start: after single passes
// the positions, the scratch displacements and the edge lengths agree bit for
// bit.
void compare_passes(const Store& start, int passes) {
  auto fast = std::make_unique<Store>(start);
  auto slow = std::make_unique<Store>(start);
  for (int p = 0; p < passes; ++p) {
    modifyonce(*fast);
    literal_modifyonce(*slow);
  }
  expect_same_vertices(*fast, *slow);
  EXPECT_EQ(
      std::memcmp(fast->edgelength.data(), slow->edgelength.data(), sizeof(double) * start.NOE), 0);
}

// ...and a full modify gives the same result, pass count and positions.
void compare_modify(const Store& start, bool touch) {
  auto fast = std::make_unique<Store>(start);
  auto slow = std::make_unique<Store>(start);
  fast->touch_purturb = slow->touch_purturb = touch;
  const bool r_fast = modify(*fast);
  const int passes_fast = last_modify_passes(*fast);
  int passes = 0;
  const bool r_slow = literal_modify(*slow, &passes);
  EXPECT_EQ(r_fast, r_slow);
  EXPECT_EQ(passes_fast, passes);
  expect_same_vertices(*fast, *slow);
}

Store two_vertices(double x1, double phi, int first, int second) {
  Store s;
  s.NOV = 2;
  s.x[1] = x1;
  s.NOE = 1;
  s.edge[0] = {first, second};
  s.phi[0] = phi;
  return s;
}

double len01(const Store& s) {
  return std::hypot(s.x[1] - s.x[0], s.y[1] - s.y[0], s.z[1] - s.z[0]);
}

}  // namespace

TEST(Relax, FastPassIsBitIdenticalToPairScanOnSamples) {
  for (int n : {128, 129, 130, 131}) {
    SCOPED_TRACE(n);
    auto s = make_store();
    raw_sample(*s, n);  // large corrections
    compare_passes(*s, 5);
    compare_modify(*s, true);
    compare_modify(*s, false);
    ReadSampleData(*s, n);  // relaxed, then disturbed
    s->x[3] += 0.7;
    s->z[5] -= 0.4;
    compare_passes(*s, 5);
    compare_modify(*s, true);
  }
}

// A grid of 1000 vertices with its edge list shuffled, some edges listed twice
// and (for the single passes) some reversed, so the fast order has to be
// rebuilt from scratch and must still add every contribution where the pair
// scan does.
TEST(Relax, FastPassIsBitIdenticalOnLargeSurface) {
  auto s = make_store();
  fixture::make_grid_surface(*s, 25, 40, 12345);
  ASSERT_EQ(s->NOV, 1000);
  ASSERT_GT(s->NOE, 2800);
  fixture::Jitter r{99};
  for (int l = s->NOE - 1; l > 0; --l) {
    const int m = static_cast<int>((r.next() + 1) * 0.5 * (l + 1)) % (l + 1);
    std::swap(s->edge[l], s->edge[m]);
    std::swap(s->phi[l], s->phi[m]);
  }
  for (int l = 0; l < 40; ++l) {
    s->edge[s->NOE] = s->edge[l * 13];
    s->phi[s->NOE] = s->phi[l * 13];
    ++s->NOE;
  }
  auto reversed = std::make_unique<Store>(*s);
  for (int l = 0; l < reversed->NOE; l += 97)
    std::swap(reversed->edge[l].first, reversed->edge[l].second);
  compare_passes(*reversed, 3);

  // The targets of this grid disagree everywhere, so a full modify would run
  // eleven slow passes. Instead: targets equal to the current lengths, then a
  // few vertices knocked out of place, which modify settles in a few passes.
  for (int l = 0; l < s->NOE; ++l) {
    const Edge e = s->edge[l];
    s->phi[l] = std::hypot(s->x[e.second] - s->x[e.first], s->y[e.second] - s->y[e.first],
                           s->z[e.second] - s->z[e.first]);
  }
  for (int i = 0; i < s->NOV; i += 37) {
    s->x[i] += 0.3 * r.next();
    s->y[i] += 0.3 * r.next();
    s->z[i] += 0.3 * r.next();
  }
  compare_modify(*s, true);
  {
    auto probe = std::make_unique<Store>(*s);
    EXPECT_TRUE(modify(*probe));
    EXPECT_GT(last_modify_passes(*probe), 2);  // really several passes
  }
}

TEST(Relax, FastPassIsBitIdenticalOnGrownSurface) {
  auto s = make_store();
  build_grown_surface(*s);
  ASSERT_GT(s->NOV, 900);
  compare_passes(*s, 2);
  fixture::Jitter r{3};
  for (int i = 0; i < s->NOV; i += 29) {
    s->x[i] += 0.1 * r.next();
    s->y[i] += 0.1 * r.next();
    s->z[i] += 0.1 * r.next();
  }
  compare_modify(*s, true);
  auto probe = std::make_unique<Store>(*s);
  modify(*probe);
  EXPECT_GT(last_modify_passes(*probe), 2);
}

TEST(Relax, NoEdgesOnePassNothingMoves) {
  auto s = make_store();
  s->NOV = 3;
  s->x[1] = 1;
  s->y[2] = 2;
  EXPECT_TRUE(modify(*s));
  EXPECT_EQ(last_modify_passes(*s), 1);
  EXPECT_EQ(s->x[0], 0);
  EXPECT_EQ(s->x[1], 1);
  EXPECT_EQ(s->y[2], 2);
}

TEST(Relax, SingleEdgeLosesFortyPercentOfItsErrorPerPass) {
  Store s = two_vertices(2, 1, 0, 1);
  modifyonce(s);
  EXPECT_DOUBLE_EQ(s.x[0], 0.2);
  EXPECT_DOUBLE_EQ(s.x[1], 1.8);
  EXPECT_DOUBLE_EQ(len01(s), 1.6);

  for (bool touch : {true, false}) {
    Store t = two_vertices(2, 1, 0, 1);
    t.touch_purturb = touch;
    EXPECT_TRUE(modify(t));
    EXPECT_EQ(last_modify_passes(t), 6);  // 0.6^5 > 0.05 > 0.6^6
    EXPECT_NEAR(len01(t) - 1, std::pow(0.6, 6), 1e-12);
  }
}

TEST(Relax, ReversedEdgeNeverMovesButCountsInTheStopTest) {
  for (bool touch : {true, false}) {
    Store s = two_vertices(2, 1, 1, 0);
    s.touch_purturb = touch;
    EXPECT_FALSE(modify(s));
    EXPECT_EQ(last_modify_passes(s), touch ? 51 : 11);
    EXPECT_EQ(s.x[0], 0);
    EXPECT_EQ(s.x[1], 2);
  }
}

TEST(Relax, ToleranceBoundaryIsInclusive) {
  // Stored reversed so the pass leaves the length exactly as set; the numbers
  // make length - target exactly the double 0.05 (and -0.05).
  const double p = 0.0625, longer = p + 0.05;
  ASSERT_EQ(longer - p, 0.05);
  const double q = 0.125, shorter = q - 0.05;
  ASSERT_EQ(shorter - q, -0.05);

  Store s = two_vertices(longer, p, 1, 0);
  EXPECT_TRUE(modify(s));
  EXPECT_EQ(last_modify_passes(s), 1);
  s = two_vertices(shorter, q, 1, 0);
  EXPECT_TRUE(modify(s));
  s = two_vertices(std::nextafter(longer, 1.0), p, 1, 0);
  EXPECT_FALSE(modify(s));
  s = two_vertices(std::nextafter(shorter, 0.0), q, 1, 0);
  EXPECT_FALSE(modify(s));
}

TEST(Relax, EdgeListedTwiceIsCorrectedTwice) {
  Store s = two_vertices(2, 1, 0, 1);
  s.NOE = 2;
  s.edge[1] = s.edge[0];
  s.phi[1] = 1;
  modifyonce(s);
  EXPECT_DOUBLE_EQ(s.x[0], 0.4);
  EXPECT_DOUBLE_EQ(s.x[1], 1.6);
}

TEST(Relax, ZeroLengthEdgeIsSkippedAndNothingTurnsNaN) {
  Store s;
  s.NOV = 3;
  s.x[0] = s.x[1] = 1;  // vertices 0 and 1 coincide
  s.x[2] = 3;
  s.NOE = 2;
  s.edge[0] = {0, 1};
  s.phi[0] = phi_a();
  s.edge[1] = {1, 2};
  s.phi[1] = 1;
  modifyonce(s);
  EXPECT_EQ(s.x[0], 1);  // only on the skipped edge
  EXPECT_DOUBLE_EQ(s.x[1], 1.2);
  EXPECT_DOUBLE_EQ(s.x[2], 2.8);
  // After the first pass the pair is apart again and relaxes normally.
  modify(s);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(std::isfinite(s.x[i]) && std::isfinite(s.y[i]) && std::isfinite(s.z[i])) << i;
  }

  // A surface whose every edge has zero length stays put and finite.
  Store t;
  t.NOV = 2;
  t.NOE = 1;
  t.edge[0] = {0, 1};
  t.phi[0] = 1;
  EXPECT_FALSE(modify(t));
  EXPECT_EQ(t.x[0], 0);
  EXPECT_EQ(t.x[1], 0);
}

TEST(Relax, RunawayVerticesStayFinite) {
  // One edge listed 3000 times: each plain pass throws its ends 1200 times as
  // far past each other as they were apart. A single pass still does just that;
  // modify sees the error grow, holds its steps back and settles the edge.
  auto s = make_store();
  s->NOV = 2;
  s->x[1] = 2;
  for (; s->NOE < MAXNOE; ++s->NOE) {
    s->edge[s->NOE] = {0, 1};
    s->phi[s->NOE] = phi_a();
  }
  auto once = std::make_unique<Store>(*s);
  modifyonce(*once);
  EXPECT_GT(std::fabs(once->x[1] - once->x[0]), 1000);  // thrown far past
  EXPECT_TRUE(modify(*s));
  EXPECT_NEAR(std::fabs(s->x[1] - s->x[0]), phi_a(), 0.05);
  std::string why;
  EXPECT_TRUE(check_invariants(*s, &why)) << why;

  // Ends so far apart that their distance is not a finite number: no move.
  auto t = make_store();
  t->NOV = 2;
  t->x[0] = -1.5e308;
  t->x[1] = 1.5e308;
  t->NOE = 1;
  t->edge[0] = {0, 1};
  t->phi[0] = phi_b();
  EXPECT_FALSE(modify(*t));
  EXPECT_EQ(t->x[0], -1.5e308);
  EXPECT_EQ(t->x[1], 1.5e308);
}

TEST(Relax, OffsetPolygonMovesTheVertexMeanToTheOrigin) {
  Store s;
  s.NOV = 3;
  const double pos[3][3] = {{0, 1, 2}, {2, 3, 4}, {1, 2, 3}};  // mean (1, 2, 3)
  for (int i = 0; i < 3; ++i) s.x[i] = pos[i][0], s.y[i] = pos[i][1], s.z[i] = pos[i][2];
  s.NOE = 2;
  s.edge[0] = {0, 1};
  s.edge[1] = {1, 2};
  s.phi[0] = phi_a();
  s.phi[1] = phi_b();
  s.NOS = 1;
  s.face[0] = Face{{0, 1, 2}};
  const Store before = s;

  offsetpolygon(s);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.x[i], pos[i][0] - 1);
    EXPECT_EQ(s.y[i], pos[i][1] - 2);
    EXPECT_EQ(s.z[i], pos[i][2] - 3);
  }
  EXPECT_EQ(std::memcmp(&s.edge, &before.edge, sizeof s.edge), 0);
  EXPECT_EQ(std::memcmp(&s.phi, &before.phi, sizeof s.phi), 0);
  EXPECT_EQ(std::memcmp(&s.face, &before.face, sizeof s.face), 0);

  Store empty;
  offsetpolygon(empty);  // no vertices: nothing to divide by
  EXPECT_EQ(empty.x[0], 0);
  EXPECT_FALSE(std::isnan(empty.x[0]));
}

TEST(Relax, OvershootingStepsAreHeldBackSoThatNoErrorGrows) {
  // Where much stiffness meets at a vertex, a fifth of every edge's correction
  // adds up to more than the error: the plain step overshoots further each
  // pass and the positions end up infinite. Such surfaces must settle all the
  // same.
  struct Case {
    const char* what;
    std::function<void(Store&)> make;
  };
  const Case cases[] = {
      {"an edge listed ten times",
       [](Store& s) {
         s.NOV = 2;
         s.x[1] = 1.5;
         for (int k = 0; k < 10; ++k) s.edge[k] = {0, 1}, s.phi[k] = phi_a();
         s.NOE = 10;
       }},
      {"a grown surface dragged far from its new cells",
       [](Store& s) {
         // The start-up surface, bent, spread open and grown by fifteen cells:
         // dragging its component leaves the new, unlabelled cells behind.
         initialize_store(s);
         fixture::Jitter r{7};
         for (int v = 0; v < s.NOV; ++v) s.z[v] += 0.6 * r.next();
         for (int k = 0; k < 5; ++k) spread(s);
         grow_border(s, 15);
         for (int v = 0; v < s.NOV; ++v)
           if (s.conn_comp[v] == 1) s.x[v] += 200;
       }},
  };
  auto worst = [](const Store& s) {
    double w = 0;
    for (int l = 0; l < s.NOE; ++l) {
      const int a = s.edge[l].first, b = s.edge[l].second;
      const double d = std::hypot(s.x[b] - s.x[a], s.y[b] - s.y[a], s.z[b] - s.z[a]);
      w = std::max(w, std::fabs(d - s.phi[l]));
    }
    return w;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = make_store();
    c.make(*s);
    const double before = worst(*s);
    bool settled = false;
    for (int k = 0; k < 40 && !settled; ++k) {
      settled = modify(*s);
      for (int i = 0; i < s->NOV; ++i)
        ASSERT_TRUE(std::isfinite(s->x[i]) && std::isfinite(s->y[i]) && std::isfinite(s->z[i]))
            << "vertex " << i << " after " << k + 1 << " relaxations";
    }
    EXPECT_TRUE(settled);
    EXPECT_LT(worst(*s), before);
  }
}

// The vector passes and the scalar ones give the same bits: single passes,
// full relaxations (with and without the held-back step) and whole spreading
// sweeps, which relax hundreds of times over one edge list.
TEST(Relax, VectorAndScalarPathsAgreeToTheBit) {
  if (!relax_vector_supported()) GTEST_SKIP() << "no vector instructions here";
  struct Case {
    const char* what;
    std::function<void(Store&)> make;
    std::function<int(Store&)> run;  // what it returned, if anything
  };
  auto passes = [](Store& s) {
    for (int p = 0; p < 3; ++p) modifyonce(s);
    return 0;
  };
  auto relax = [](Store& s) { return 1000 * modify(s) + last_modify_passes(s); };
  auto sweep = [](Store& s) {
    spread(s);
    return 0;
  };
  auto reversed_grid = [](Store& s) {
    fixture::make_grid_surface(s, 25, 40, 777);
    for (int l = 0; l < s.NOE; l += 7) std::swap(s.edge[l].first, s.edge[l].second);
    s.edge[s.NOE] = s.edge[3];  // listed twice
    s.phi[s.NOE++] = s.phi[3];
  };
  // The start-up surface and then a single cell, both relaxed, so that the
  // relaxation keeps a walk of 8 vertices and old numbers past them; then
  // three bare vertices, no edges.
  auto grown_without_edges = [](Store& s) {
    initialize_store(s);
    ReadSampleData(s, 128);
    ParsedSurface p;
    std::string err;
    ASSERT_TRUE(parse_for_store(s, "3\n0,0,0\n1,0,0\n0,1,0\n0\n0\n", true, p, err)) << err;
    commit_surface(s, p, true);
    s.x[0] += 0.5;  // something for the passes to do
  };
  const Case cases[] = {
      {"raw sample", [](Store& s) { raw_sample(s, 129); }, passes},
      {"raw sample, relaxed", [](Store& s) { raw_sample(s, 130); }, relax},
      {"grid with reversed and repeated edges", reversed_grid, passes},
      {"grid with reversed and repeated edges, relaxed", reversed_grid, relax},
      {"edge listed 3000 times (held-back step)",
       [](Store& s) {
         s.NOV = 2;
         s.x[1] = 2;
         for (; s.NOE < MAXNOE; ++s.NOE) s.edge[s.NOE] = {0, 1}, s.phi[s.NOE] = phi_a();
       },
       relax},
      {"capacity surface, one sweep", [](Store& s) { build_capacity_surface(s); }, sweep},
      {"vertices added after a relaxation, edges unchanged", grown_without_edges, passes},
      {"vertices added after a relaxation, edges unchanged, relaxed", grown_without_edges, relax},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto start = make_store();
    c.make(*start);
    auto vec = std::make_unique<Store>(*start);
    auto sca = std::make_unique<Store>(*start);
    set_relax_vector_path(*vec, true);
    ASSERT_TRUE(relax_vector_path(*vec));
    const int got_vec = c.run(*vec);
    set_relax_vector_path(*sca, false);
    ASSERT_FALSE(relax_vector_path(*sca));
    const int got_sca = c.run(*sca);
    EXPECT_EQ(got_vec, got_sca);
    expect_same_vertices(*vec, *sca);
    EXPECT_EQ(
        std::memcmp(vec->edgelength.data(), sca->edgelength.data(), sizeof(double) * start->NOE),
        0);
    // Something moved, so the comparison means something.
    EXPECT_NE(std::memcmp(vec->x.data(), start->x.data(), sizeof(double) * start->NOV), 0);
  }
}

// Vertices that come without edges (a file of bare points appended, a copy of
// an edgeless surface) lie on no edge, so no pass may move them, whatever the
// relaxation remembers of the edge list from before they came.
TEST(Relax, VerticesAddedWithoutEdgesStayWhereTheyAre) {
  const char* points = "3\n0,0,0\n1,0,0\n0,1,0\n0\n0\n";
  for (bool vector : {true, false}) {
    SCOPED_TRACE(vector ? "vector path" : "scalar path");
    // A larger surface first, so that what the relaxation keeps for vertices
    // past the eighth is not all zero.
    auto s = make_store();
    initialize_store(*s);
    set_relax_vector_path(*s, vector);
    ReadSampleData(*s, 128);  // relaxes, so the edge walk of 8 vertices is made
    std::string err;
    ASSERT_TRUE(append_surface_text(*s, points, err)) << err;
    ASSERT_EQ(s->NOV, 11);
    const double want[3][3] = {{3, 0, 0}, {4, 0, 0}, {3, 1, 0}};
    for (int k = 0; k < 3; ++k) {
      EXPECT_EQ(s->x[8 + k], want[k][0]) << k;
      EXPECT_EQ(s->y[8 + k], want[k][1]) << k;
      EXPECT_EQ(s->z[8 + k], want[k][2]) << k;
    }

    // The same store before its relaxation, against the pair scan: the vertex
    // count changed, the edges did not.
    auto start = make_store();
    initialize_store(*start);
    set_relax_vector_path(*start, vector);
    ReadSampleData(*start, 128);
    ParsedSurface p;
    ASSERT_TRUE(parse_for_store(*start, points, true, p, err)) << err;
    commit_surface(*start, p, true);
    compare_passes(*start, 3);
    compare_modify(*start, true);
  }
}
