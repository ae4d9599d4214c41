#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "model/invariants.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

std::unique_ptr<Store> two_vertices(double x1, double phi, int first, int second) {
  auto s = make_store();
  s->NOV = 2;
  s->x[1] = x1;
  s->NOE = 1;
  s->edge[0] = {first, second};
  s->phi[0] = phi;
  return s;
}

double len01(const Store& s) {
  return std::hypot(s.x[1] - s.x[0], s.y[1] - s.y[0], s.z[1] - s.z[0]);
}

}  // namespace

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
  auto s_p = two_vertices(2, 1, 0, 1);
  Store& s = *s_p;
  modifyonce(s);
  EXPECT_DOUBLE_EQ(s.x[0], 0.2);
  EXPECT_DOUBLE_EQ(s.x[1], 1.8);
  EXPECT_DOUBLE_EQ(len01(s), 1.6);

  for (bool touch : {true, false}) {
    auto t_p = two_vertices(2, 1, 0, 1);
    Store& t = *t_p;
    t.touch_purturb = touch;
    EXPECT_TRUE(modify(t));
    EXPECT_EQ(last_modify_passes(t), 6);  // 0.6^5 > 0.05 > 0.6^6
    EXPECT_NEAR(len01(t) - 1, std::pow(0.6, 6), 1e-12);
  }
}

TEST(Relax, ReversedEdgeNeverMovesButCountsInTheStopTest) {
  for (bool touch : {true, false}) {
    auto s_p = two_vertices(2, 1, 1, 0);
    Store& s = *s_p;
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

  auto s_p = two_vertices(longer, p, 1, 0);

  Store& s = *s_p;
  EXPECT_TRUE(modify(s));
  EXPECT_EQ(last_modify_passes(s), 1);
  s = *two_vertices(shorter, q, 1, 0);
  EXPECT_TRUE(modify(s));
  s = *two_vertices(std::nextafter(longer, 1.0), p, 1, 0);
  EXPECT_FALSE(modify(s));
  s = *two_vertices(std::nextafter(shorter, 0.0), q, 1, 0);
  EXPECT_FALSE(modify(s));
}

TEST(Relax, EdgeListedTwiceIsCorrectedTwice) {
  auto s_p = two_vertices(2, 1, 0, 1);
  Store& s = *s_p;
  s.NOE = 2;
  s.edge[1] = s.edge[0];
  s.phi[1] = 1;
  modifyonce(s);
  EXPECT_DOUBLE_EQ(s.x[0], 0.4);
  EXPECT_DOUBLE_EQ(s.x[1], 1.6);
}

TEST(Relax, ZeroLengthEdgeIsSkippedAndNothingTurnsNaN) {
  auto s_p = make_store();
  Store& s = *s_p;
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
  auto t_p = make_store();
  Store& t = *t_p;
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
  auto s_p = make_store();
  Store& s = *s_p;
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
  const auto before_p = std::make_unique<Store>(s);
  const Store& before = *before_p;

  offsetpolygon(s);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.x[i], pos[i][0] - 1);
    EXPECT_EQ(s.y[i], pos[i][1] - 2);
    EXPECT_EQ(s.z[i], pos[i][2] - 3);
  }
  EXPECT_EQ(std::memcmp(&s.edge, &before.edge, sizeof s.edge), 0);
  EXPECT_EQ(std::memcmp(&s.phi, &before.phi, sizeof s.phi), 0);
  EXPECT_EQ(std::memcmp(&s.face, &before.face, sizeof s.face), 0);

  auto empty_p = make_store();

  Store& empty = *empty_p;
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
         Jitter r{7};
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
    make_grid_surface(s, 25, 40, 777);
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
      {"raw sample", [](Store& s) { build_raw_sample(s, 129); }, passes},
      {"raw sample, relaxed", [](Store& s) { build_raw_sample(s, 130); }, relax},
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
    EXPECT_TRUE(same_vertices(*vec, *sca));
    EXPECT_TRUE(same_edge_lengths(*vec, *sca, start->NOE));
    // Something moved, so the comparison means something.
    EXPECT_NE(std::memcmp(vec->x.data(), start->x.data(), sizeof(double) * start->NOV), 0);
  }
}

// Vertices that come without edges (a file of bare points appended, a copy of
// an edgeless surface) lie on no edge, so no pass may move them, whatever the
// relaxation remembers of the edge list from before they came.
// (The same store before its relaxation is held against the pair scan in
// test_literal.cpp.)
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
  }
}
