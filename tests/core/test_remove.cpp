#include <gtest/gtest.h>

#include <vector>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/store.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/remove.h"

using namespace brimoss;

namespace {

bool same_surface(const Store& a, const Store& b) {
  if (a.NOV != b.NOV || a.NOE != b.NOE || a.NOS != b.NOS || a._NOV != b._NOV) return false;
  for (int i = 0; i < a.NOV; ++i)
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i]) return false;
  for (int i = 0; i < a.NOE; ++i)
    if (!(a.edge[i] == b.edge[i]) || a.phi[i] != b.phi[i]) return false;
  for (int i = 0; i < a.NOS; ++i)
    if (!(a.face[i] == b.face[i])) return false;
  return true;
}

// Removal done the slow way, one shift of the whole tail per removed entry.
void remove_by_shifting(Store& s, int v) {
  for (int l = 0; l < s.NOE;) {
    if (s.edge[l].first == v || s.edge[l].second == v) {
      for (int k = l; k + 1 < s.NOE; ++k) {
        s.edge[k] = s.edge[k + 1];
        s.phi[k] = s.phi[k + 1];
      }
      --s.NOE;
    } else {
      ++l;
    }
  }
  for (int l = 0; l < s.NOE; ++l) {
    if (s.edge[l].first > v) --s.edge[l].first;
    if (s.edge[l].second > v) --s.edge[l].second;
  }
  for (int f = 0; f < s.NOS;) {
    if (s.face[f][0] == v || s.face[f][1] == v || s.face[f][2] == v) {
      for (int k = f; k + 1 < s.NOS; ++k) s.face[k] = s.face[k + 1];
      --s.NOS;
    } else {
      ++f;
    }
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] > v) --s.face[f][k];
  for (int i = v; i + 1 < s.NOV; ++i) {
    s.x[i] = s.x[i + 1];
    s.y[i] = s.y[i + 1];
    s.z[i] = s.z[i + 1];
  }
  --s.NOV;
}

}  // namespace

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
    EXPECT_EQ(s->_NOV, 8);
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
    old->_NOV = 0;
    EXPECT_TRUE(same_surface(*s, *old));
  }
}

TEST(Remove, MatchesRemovalByShifting) {
  auto s = make_store();
  build_grown_surface(*s);
  auto ref = make_store();
  *ref = *s;
  // Eat into the surface at a few places, including where the indices are
  // highest and where a vertex has taken over a removed one's index.
  for (int v : {0, 0, 5, 500, 981, 700, 3}) {
    SCOPED_TRACE(v);
    s->g_purtj = v;
    ASSERT_TRUE(removevertex(*s));
    makecopy(*ref);
    remove_by_shifting(*ref, v);
    ASSERT_TRUE(same_surface(*s, *ref));
  }
  for (int i = 0; i < s->NOE; ++i) EXPECT_LT(s->edge[i].first, s->edge[i].second);
  std::string why;
  EXPECT_TRUE(check_invariants(*s, &why)) << why;
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
    EXPECT_TRUE(same_surface(*s, *after_first));
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
    EXPECT_EQ(s->_NOV, removed->_NOV);
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
  EXPECT_TRUE(same_surface(*s, *want));
  EXPECT_EQ(s->_NOV, 0);
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
