#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/store.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

struct V {
  double x, y, z;
};

// A small surface: edges as given (targets = their present lengths, so the
// relaxation only acts on what a push disturbs), faces as given.
void build(Store& s, const std::vector<V>& v, const std::vector<Edge>& e,
           const std::vector<Face>& f) {
  s.NOV = static_cast<int>(v.size());
  s.NOE = static_cast<int>(e.size());
  s.NOS = static_cast<int>(f.size());
  for (int i = 0; i < s.NOV; ++i) {
    s.x[i] = v[i].x;
    s.y[i] = v[i].y;
    s.z[i] = v[i].z;
  }
  for (int i = 0; i < s.NOE; ++i) {
    s.edge[i] = e[i];
    const int a = e[i].first, b = e[i].second;
    s.phi[i] =
        std::sqrt((s.x[a] - s.x[b]) * (s.x[a] - s.x[b]) + (s.y[a] - s.y[b]) * (s.y[a] - s.y[b]) +
                  (s.z[a] - s.z[b]) * (s.z[a] - s.z[b]));
  }
  for (int i = 0; i < s.NOS; ++i) s.face[i] = f[i];
}

// Two consistently oriented triangles on edge (o, o+1), bent so that their
// normals are 150 degrees apart: apexes o+2 and o+3.
void add_crease(std::vector<V>& v, std::vector<Edge>& e, std::vector<Face>& f, double shift) {
  const int o = static_cast<int>(v.size());
  const double t = 150.0 * M_PI / 180.0;
  v.push_back({shift, 0, 0});
  v.push_back({shift + 1, 0, 0});
  v.push_back({shift + 0.5, 0.8, 0});
  v.push_back({shift + 0.5, -0.8 * std::cos(t), -0.8 * std::sin(t)});
  e.insert(e.end(), {{o, o + 1}, {o, o + 2}, {o + 1, o + 2}, {o, o + 3}, {o + 1, o + 3}});
  f.push_back({{o, o + 1, o + 2}});
  f.push_back({{o + 1, o, o + 3}});
}

// Moves apexes p and q 0.08 apart each, along the line joining them.
void push_apart(Store& s, int p, int q) {
  const double ux = s.x[p] - s.x[q], uy = s.y[p] - s.y[q], uz = s.z[p] - s.z[q];
  const double f = 0.08 / std::sqrt(ux * ux + uy * uy + uz * uz);
  s.x[p] += f * ux;
  s.y[p] += f * uy;
  s.z[p] += f * uz;
  s.x[q] -= f * ux;
  s.y[q] -= f * uy;
  s.z[q] -= f * uz;
}

void expect_table_matches_scan(Store& s) {
  build_edge_faces(s);
  for (int l = 0; l < s.NOE; ++l) {
    int s1, s2;
    getsurface(s, l, &s1, &s2);
    EXPECT_EQ(s.scratch.spread.s1[l], s1) << "edge " << l;
    EXPECT_EQ(s.scratch.spread.s2[l], s2) << "edge " << l;
  }
}

}  // namespace

TEST(GetSurface, FirstAndLastLaterMatch) {
  auto s = make_store();
  // Edge 0 is on faces 0, 2 and 3 (non-manifold; face 3 names it in reverse);
  // edge 1 is stored larger index first; edge 2 is a border edge; edge 3 is on
  // no face; edge 4 is on the degenerate face 4 (a, b, a) once; edge 5 joins a
  // vertex to itself and lies only on the face that repeats that vertex.
  build(*s, {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {2, 2, 2}},
        {{0, 1}, {2, 1}, {0, 2}, {3, 5}, {1, 4}, {1, 1}},
        {{{0, 1, 2}}, {{1, 2, 3}}, {{1, 0, 3}}, {{4, 1, 0}}, {{1, 4, 1}}});
  struct Case {
    int e, s1, s2;
  };
  for (const Case& c :
       std::vector<Case>{{0, 0, 3}, {1, 0, 1}, {2, 0, -1}, {3, -1, -1}, {4, 3, 4}, {5, 4, -1}}) {
    int s1 = 7, s2 = 7;
    getsurface(*s, c.e, &s1, &s2);
    EXPECT_EQ(s1, c.s1) << "edge " << c.e;
    EXPECT_EQ(s2, c.s2) << "edge " << c.e;
  }
  expect_table_matches_scan(*s);
}

TEST(GetSurface, CellsOfAGrownSurfaceMeetOnlyAtSingleVertices) {
  auto s = make_store();
  build_grown_surface(*s);
  build_edge_faces(*s);
  // The spokes of every cell are interior, its rim edges border edges.
  int interior = 0;
  for (int l = 0; l < s->NOE; ++l) interior += s->scratch.spread.s2[l] >= 0;
  EXPECT_EQ(interior, 7 * (kGrownCells + 1));
}

TEST(Spread, CreaseIsPushedApartThenRelaxed) {
  std::vector<V> v;
  std::vector<Edge> e;
  std::vector<Face> f;
  add_crease(v, e, f, 0);
  auto s = make_store();
  build(*s, v, e, f);
  s->g_purtj = 2;
  auto want = make_store();
  *want = *s;

  const double before = std::hypot(s->x[2] - s->x[3], s->y[2] - s->y[3], s->z[2] - s->z[3]);
  push_apart(*want, 2, 3);
  const double pushed =
      std::hypot(want->x[2] - want->x[3], want->y[2] - want->y[3], want->z[2] - want->z[3]);
  EXPECT_NEAR(pushed - before, 0.16, 1e-12);
  modify(*want);

  spread(*s);
  EXPECT_TRUE(same_positions(*s, *want));
}

TEST(Spread, LeavesEdgesAtTheCurrentVertexAndUnfoldedEdgesAlone) {
  std::vector<V> v;
  std::vector<Edge> e;
  std::vector<Face> f;
  add_crease(v, e, f, 0);
  auto creased = make_store();
  build(*creased, v, e, f);
  // The same pair of triangles lying flat: apex 3 on the other side of edge 0-1.
  v[3] = {0.5, -0.8, 0};
  auto flat = make_store();
  build(*flat, v, e, f);
  flat->g_purtj = 2;

  for (int purtj : {0, 1}) {
    creased->g_purtj = purtj;
    auto want = make_store();
    *want = *creased;
    modify(*want);
    auto got = make_store();
    *got = *creased;
    spread(*got);
    EXPECT_TRUE(same_positions(*got, *want));
  }
  auto want = make_store();
  *want = *flat;
  modify(*want);
  spread(*flat);
  EXPECT_TRUE(same_positions(*flat, *want));
}

TEST(Spread, RelaxesAfterEveryThirdPushAndAtTheEnd) {
  std::vector<V> v;
  std::vector<Edge> e;
  std::vector<Face> f;
  for (int k = 0; k < 4; ++k) add_crease(v, e, f, 3.0 * k);
  auto s = make_store();
  build(*s, v, e, f);
  s->g_purtj = 2;
  auto want = make_store();
  *want = *s;
  for (int k = 0; k < 4; ++k) {
    push_apart(*want, 4 * k + 2, 4 * k + 3);
    if (k == 2) modify(*want);
  }
  modify(*want);

  spread(*s);
  EXPECT_TRUE(same_positions(*s, *want));
}

TEST(Spread, SkipsPushesWithoutDirection) {
  // (a) both faces have the same apex; (b) the two apexes lie at one point;
  // (c) the second face is degenerate and has no apex at all.
  const std::vector<V> v{{0, 0, 0}, {1, 0, 0}, {0.5, 0.8, 0}, {0.5, 0.8, 0}};
  const std::vector<Edge> e{{0, 1}, {0, 2}, {1, 2}, {0, 3}, {1, 3}};
  const std::vector<std::vector<Face>> cases{
      {{{0, 1, 2}}, {{1, 0, 2}}}, {{{0, 1, 2}}, {{1, 0, 3}}}, {{{0, 1, 2}}, {{1, 0, 1}}}};
  for (std::size_t k = 0; k < cases.size(); ++k) {
    SCOPED_TRACE(k);
    auto s = make_store();
    build(*s, v, e, cases[k]);
    s->g_purtj = 3;
    if (k == 1) s->g_purtj = 2;
    auto want = make_store();
    *want = *s;
    modify(*want);
    spread(*s);
    EXPECT_TRUE(same_positions(*s, *want));
    for (int i = 0; i < s->NOV; ++i)
      EXPECT_TRUE(std::isfinite(s->x[i]) && std::isfinite(s->y[i]) && std::isfinite(s->z[i]));
  }
}
