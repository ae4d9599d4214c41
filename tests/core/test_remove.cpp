#include <gtest/gtest.h>

#include <vector>

#include "model/samples.h"
#include "model/store.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/relax.h"
#include "sim/remove.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

TEST(Remove, SingleCell) {
  const double a = phi_a(), b = phi_b();
  struct Case {
    int v;
    std::vector<Edge> edges;
    std::vector<double> phi;
    std::vector<Face> faces;
  };
  const std::vector<Case> cases{
      {7, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {0, 6}}, {a, a, a, a, a, a, a}, {}},
      {0,
       {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {0, 6}, {1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}},
       {a, a, a, a, a, b, b, b, b, b, b},
       {{{0, 1, 6}}, {{1, 2, 6}}, {{2, 3, 6}}, {{3, 4, 6}}, {{4, 5, 6}}}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.v);
    auto s = make_store();
    ReadSampleData(*s, 128);
    auto old = make_store();
    *old = *s;
    s->g_purtj = k.v;
    ASSERT_TRUE(removevertex(*s));
    EXPECT_EQ(s->g_purtj, k.v);
    EXPECT_EQ(s->undo.nov, 8);
    ASSERT_EQ(s->NOV, 7);
    ASSERT_EQ(s->NOE, static_cast<int>(k.edges.size()));
    ASSERT_EQ(s->NOS, static_cast<int>(k.faces.size()));
    for (int i = 0; i < s->NOE; ++i) {
      EXPECT_EQ(s->edge[i], k.edges[i]) << "edge " << i;
      EXPECT_EQ(s->phi[i], k.phi[i]) << "edge " << i;
    }
    for (int i = 0; i < s->NOS; ++i) EXPECT_EQ(s->face[i], k.faces[i]) << "face " << i;
    for (int i = 0; i < 7; ++i) {
      const int from = i < k.v ? i : i + 1;
      EXPECT_EQ(s->x[i], old->x[from]);
      EXPECT_EQ(s->z[i], old->z[from]);
    }

    undopaste(*s);
    old->undo.nov = 0;
    EXPECT_TRUE(same_surface(*s, *old, Snapshot::same_size));
  }
}

TEST(Remove, NothingWhenTheCurrentVertexIsGone) {
  auto s = make_store();
  ReadSampleData(*s, 128);
  s->g_purtj = 7;
  ASSERT_TRUE(removevertex(*s));
  auto after_first = make_store();
  *after_first = *s;
  for (int v : {7, 8, -1}) {
    s->g_purtj = v;
    EXPECT_FALSE(removevertex(*s));
    EXPECT_TRUE(same_surface(*s, *after_first, Snapshot::same_size));
  }
}

// Pulling when the current vertex is gone still relaxes the surface, as every
// pull does; the lowering goes to the vertex's slot only while that lies in
// the arrays. Removing the start-up surface's last vertex leaves it unrelaxed.
TEST(Pull, RelaxesWhenTheCurrentVertexIsGone) {
  auto removed = make_store();
  initialize_store(*removed);
  removed->g_purtj = 28;
  ASSERT_TRUE(removevertex(*removed));
  ASSERT_EQ(removed->NOV, 28);
  auto at_rest = make_store();
  *at_rest = *removed;
  modify(*at_rest);
  ASSERT_FALSE(same_surface(*removed, *at_rest)) << "the removal left nothing to relax";

  struct Case {
    int v;
    bool in_capacity;
  };
  for (const Case c : {Case{28, true}, Case{MAXNOV - 1, true}, Case{MAXNOV, false}, Case{-1, false},
                       Case{1 << 30, false}}) {
    SCOPED_TRACE(c.v);
    auto s = make_store();
    *s = *removed;
    s->g_purtj = c.v;
    auto want = make_store();
    *want = *at_rest;
    want->g_purtj = c.v;
    if (c.in_capacity) want->z[c.v] = removed->z[c.v] - 0.3;
    EXPECT_FALSE(pullpoint(*s));
    EXPECT_TRUE(same_surface(*s, *want));
    EXPECT_EQ(s->undo.nov, removed->undo.nov);
    EXPECT_EQ(last_modify_passes(*s), last_modify_passes(*at_rest));
    // Nothing else in the slots past the surface changed.
    for (int i = s->NOV; i < MAXNOV; ++i) {
      EXPECT_EQ(s->x[i], removed->x[i]) << i;
      EXPECT_EQ(s->y[i], removed->y[i]) << i;
      EXPECT_EQ(s->z[i], want->z[i]) << i;
    }
  }
}

TEST(Pull, LowersThenRelaxesWithoutSnapshot) {
  auto s = make_store();
  ReadSampleData(*s, 131);
  s->g_purtj = 4;
  auto want = make_store();
  *want = *s;
  want->z[4] -= 0.3;
  modify(*want);
  ASSERT_TRUE(pullpoint(*s));
  EXPECT_TRUE(same_surface(*s, *want, Snapshot::same_size));
  EXPECT_EQ(s->undo.nov, 0);
}

TEST(Pull, RelaxationPassLimitFollowsTouchPerturbation) {
  // A triangle whose targets no triangle can meet never settles, so the
  // relaxation runs to its limit.
  for (bool touch : {false, true}) {
    auto s = make_store();
    s->NOV = 3;
    s->NOE = 3;
    s->x[1] = 1;
    s->y[2] = 1;
    s->edge[0] = {0, 1};
    s->edge[1] = {1, 2};
    s->edge[2] = {0, 2};
    s->phi[0] = s->phi[1] = 1;
    s->phi[2] = 5;
    s->touch_purturb = touch;
    s->g_purtj = 0;
    ASSERT_TRUE(pullpoint(*s));
    EXPECT_EQ(last_modify_passes(*s), touch ? 51 : 11);
  }
}
