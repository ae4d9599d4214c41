#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/store.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

void set_faces(Store& s, int nov, const std::vector<Face>& f) {
  s.NOV = nov;
  s.NOE = 0;
  s.NOS = static_cast<int>(f.size());
  for (int i = 0; i < nov; ++i) {
    s.x[i] = std::cos(i);
    s.y[i] = std::sin(i);
    s.z[i] = 0.1 * i;
  }
  for (int i = 0; i < s.NOS; ++i) s.face[i] = f[i];
}

// The store's standing rules, and every edge with its lower index first.
void expect_sound(const Store& s) {
  std::string why;
  EXPECT_TRUE(check_invariants(s, &why)) << why;
  for (int i = 0; i < s.NOE; ++i) EXPECT_LT(s.edge[i].first, s.edge[i].second) << "edge " << i;
}

}  // namespace

TEST(Grow, NewCellOnASingleCell) {
  // Vertex 0 meets its faces as (1, 7), (7, 6); vertex 1 as (7, 0), (2, 7),
  // which chain the other way round.
  struct Case {
    int c, before, after;
  };
  for (const Case& k : std::vector<Case>{{0, 1, 6}, {1, 2, 0}}) {
    SCOPED_TRACE(k.c);
    auto s = make_store();
    ReadSampleData(*s, 128);
    auto old = make_store();
    *old = *s;
    s->g_purtj = k.c;
    ASSERT_TRUE(attach_new_cell(*s));
    EXPECT_EQ(s->NOV, 15);
    EXPECT_EQ(s->NOE, 28);
    EXPECT_EQ(s->NOS, 14);
    EXPECT_EQ(s->undo.nov, 8);
    EXPECT_EQ(s->g_purtj, k.c);

    const Store& o = *old;
    const int c = k.c, N = 8;
    const double p[3] = {o.x[c], o.y[c], o.z[c]};
    const double q[3] = {o.x[7], o.y[7], o.z[7]};
    const double centre[3] = {s->x[N + 6], s->y[N + 6], s->z[N + 6]};
    double v[3] = {o.x[k.after] - o.x[k.before], o.y[k.after] - o.y[k.before],
                   o.z[k.after] - o.z[k.before]};
    const double len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (int d = 0; d < 3; ++d) {
      EXPECT_NEAR(centre[d], 2 * p[d] - q[d], 1e-15);
      v[d] *= phi_b() / len;
    }
    const double rim[3][7] = {
        {s->x[N], s->x[N + 1], s->x[N + 2], s->x[N + 3], s->x[N + 4], s->x[N + 5], o.x[c]},
        {s->y[N], s->y[N + 1], s->y[N + 2], s->y[N + 3], s->y[N + 4], s->y[N + 5], o.y[c]},
        {s->z[N], s->z[N + 1], s->z[N + 2], s->z[N + 3], s->z[N + 4], s->z[N + 5], o.z[c]}};
    for (int j = 1; j <= 6; ++j) {
      const double t = j * 6.28318 / 7;
      for (int d = 0; d < 3; ++d)
        EXPECT_NEAR(rim[d][j - 1], centre[d] + std::cos(t) * (q[d] - p[d]) + std::sin(t) * v[d],
                    1e-14)
            << "rim vertex " << j << " axis " << d;
    }

    const std::vector<Edge> edges{{c, 8},   {8, 9},   {9, 10},  {10, 11}, {11, 12},
                                  {12, 13}, {c, 13},  {c, 14},  {8, 14},  {9, 14},
                                  {10, 14}, {11, 14}, {12, 14}, {13, 14}};
    for (int i = 0; i < 14; ++i) {
      EXPECT_EQ(s->edge[14 + i], edges[i]) << "edge " << 14 + i;
      EXPECT_EQ(s->phi[14 + i], i < 7 ? phi_a() : phi_b()) << "edge " << 14 + i;
    }
    const std::vector<Face> faces{{{c, 8, 14}},   {{8, 9, 14}},   {{9, 10, 14}}, {{10, 11, 14}},
                                  {{11, 12, 14}}, {{12, 13, 14}}, {{13, c, 14}}};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(s->face[7 + i], faces[i]) << "face " << 7 + i;
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s->x[i], o.x[i]);
  }
}

TEST(Grow, FourFacesChainInAnyFaceOrder) {
  // Vertex 0 with the fan 1-2-3-4-5; whatever order the faces are stored in,
  // the cell goes opposite vertex 3, with the chord from 2 to 4.
  const std::vector<std::vector<Face>> orders{{{{0, 1, 2}}, {{0, 2, 3}}, {{0, 3, 4}}, {{0, 4, 5}}},
                                              {{{0, 3, 4}}, {{0, 4, 5}}, {{0, 1, 2}}, {{0, 2, 3}}},
                                              {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 4, 5}}, {{3, 4, 0}}},
                                              {{{4, 5, 0}}, {{2, 3, 0}}, {{3, 4, 0}}, {{1, 2, 0}}}};
  std::unique_ptr<Store> first;
  for (std::size_t k = 0; k < orders.size(); ++k) {
    SCOPED_TRACE(k);
    auto s = make_store();
    set_faces(*s, 6, orders[k]);
    s->g_purtj = 0;
    ASSERT_TRUE(can_grow_at(*s, 0));
    ASSERT_TRUE(attach_new_cell(*s));
    EXPECT_DOUBLE_EQ(s->x[12], 2 * s->x[0] - s->x[3]);
    EXPECT_DOUBLE_EQ(s->y[12], 2 * s->y[0] - s->y[3]);
    if (!first) {
      first = std::move(s);
      continue;
    }
    for (int i = 6; i < 13; ++i) {
      EXPECT_EQ(s->x[i], first->x[i]);
      EXPECT_EQ(s->y[i], first->y[i]);
      EXPECT_EQ(s->z[i], first->z[i]);
    }
  }
}

TEST(Grow, RefusalsChangeNothing) {
  struct Case {
    const char* what;
    int nov;
    std::vector<Face> faces;  // empty: sample 128
    int c;
    bool grow_first;  // grow once at c before the attempt
  };
  const std::vector<Case> cases{
      {"centre of a cell (7 faces)", 0, {}, 7, false},
      {"second growth at one rim vertex", 0, {}, 0, true},
      {"vertex on no face", 0, {}, 8, false},
      {"negative vertex", 0, {}, -1, false},
      {"two faces sharing only the vertex", 5, {{{0, 1, 2}}, {{0, 3, 4}}}, 0, false},
      {"face naming the vertex twice", 3, {{{0, 1, 0}}, {{1, 2, 1}}}, 0, false},
      {"three faces", 4, {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 3, 1}}}, 0, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto s = make_store();
    if (k.faces.empty())
      ReadSampleData(*s, 128);
    else
      set_faces(*s, k.nov, k.faces);
    s->g_purtj = k.c;
    if (k.grow_first) {
      ASSERT_TRUE(addnewpolygon(*s));
    }
    auto before = make_store();
    *before = *s;
    EXPECT_FALSE(can_grow_at(*s, k.c));
    EXPECT_FALSE(addnewpolygon(*s));
    EXPECT_TRUE(same_surface(*s, *before, Snapshot::same_size));
  }

  // A chord of zero length: the neighbours on either side of the middle one
  // lie at one point.
  auto s = make_store();
  set_faces(*s, 4, {{{0, 1, 2}}, {{0, 2, 3}}});
  s->x[3] = s->x[1];
  s->y[3] = s->y[1];
  s->z[3] = s->z[1];
  s->g_purtj = 0;
  auto before = make_store();
  *before = *s;
  EXPECT_FALSE(addnewpolygon(*s));
  EXPECT_TRUE(same_surface(*s, *before, Snapshot::same_size));
  s->z[3] += 1e-9;
  EXPECT_TRUE(addnewpolygon(*s));

  // A chord so short that the squares of its components vanish has no
  // length to scale by either: dividing by it would make the cell's vertices
  // non-finite.
  auto t = make_store();
  set_faces(*t, 4, {{{0, 1, 2}}, {{0, 2, 3}}});
  t->x[3] = t->x[1] + 1e-170;
  t->y[3] = t->y[1];
  t->z[3] = t->z[1];
  t->g_purtj = 0;
  *before = *t;
  EXPECT_FALSE(can_grow_at(*t, 0));
  EXPECT_FALSE(addnewpolygon(*t));
  EXPECT_TRUE(same_surface(*t, *before, Snapshot::same_size));
}

TEST(Grow, NeedsRoomForAWholeCell) {
  // Sample 128 padded with idle vertices, zero-length edges and faces away
  // from vertex 0 up to the given counts.
  struct Case {
    int nov, noe, nos;
    bool grows;
  };
  for (const Case& k : std::vector<Case>{{992, 2985, 5992, true},
                                         {993, 14, 7, false},
                                         {8, 2986, 7, false},
                                         {8, 14, 5993, false}}) {
    SCOPED_TRACE(::testing::Message() << k.nov << " " << k.noe << " " << k.nos);
    auto s = make_store();
    ReadSampleData(*s, 128);
    for (int i = 8; i < k.nov; ++i) s->x[i] = s->y[i] = s->z[i] = 5.0;
    for (int i = 14; i < k.noe; ++i) {
      s->edge[i] = {7, 7};
      s->phi[i] = 0;
    }
    for (int i = 7; i < k.nos; ++i) s->face[i] = {{3, 4, 7}};
    s->NOV = k.nov;
    s->NOE = k.noe;
    s->NOS = k.nos;
    s->g_purtj = 0;
    EXPECT_EQ(can_grow_at(*s, 0), k.grows);
    EXPECT_EQ(addnewpolygon(*s), k.grows);
    EXPECT_EQ(s->NOV, k.nov + (k.grows ? 7 : 0));
    EXPECT_EQ(s->NOE, k.noe + (k.grows ? 14 : 0));
    EXPECT_EQ(s->NOS, k.nos + (k.grows ? 7 : 0));
    EXPECT_EQ(s->undo.nov, k.grows ? k.nov : 0);
  }
}

TEST(Grow, UndoRestoresTheSurfaceBeforeGrowth) {
  auto s = make_store();
  ReadSampleData(*s, 131);
  auto before = make_store();
  *before = *s;
  int c = 0;
  while (!can_grow_at(*s, c)) ++c;
  s->g_purtj = c;
  ASSERT_TRUE(addnewpolygon(*s));
  EXPECT_EQ(s->NOV, before->NOV + 7);
  undopaste(*s);
  EXPECT_TRUE(same_surface(*s, *before, Snapshot::same_size));
}

TEST(Grow, BorderGrowthToNearlyFull) {
  auto s = make_store();
  ReadSampleData(*s, 128);
  EXPECT_EQ(grow_border(*s, kGrownCells), kGrownCells);
  EXPECT_EQ(s->NOV, 8 + 7 * kGrownCells);
  expect_sound(*s);

  auto built = make_store();
  build_grown_surface(*built);
  EXPECT_TRUE(same_surface(*s, *built, Snapshot::same_size));

  // One more cell fits (988 + 7 = 995), then the store is too full.
  EXPECT_EQ(grow_border(*s, 5), 1);
  EXPECT_EQ(s->NOV, 995);
  EXPECT_EQ(grow_border(*s, 1), 0);
  for (int v = 0; v < s->NOV; ++v) EXPECT_FALSE(can_grow_at(*s, v));

  // Spreading and relaxing the crowded surface keep it sound.
  for (int i = 0; i < 3; ++i) spread(*s);
  modify(*s);
  expect_sound(*s);
}
