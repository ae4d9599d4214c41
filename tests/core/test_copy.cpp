#include <gtest/gtest.h>

#include <cmath>

#include "copy/mirror.h"
#include "model/components.h"
#include "model/samples.h"
#include "model/undo.h"
#include "ops/load.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

TEST(Mirror, WholeSurfaceNegatesXAndFlipsFacesAndAgainRestores) {
  auto s = surface(7, {{4, 5, 6}, {0, 1, 2}}, {{4, 5}, {5, 6}, {4, 6}});
  s->x[0] = 1, s->y[0] = 2, s->z[0] = 3;
  s->x[1] = 0.0;
  makecopy(*s);
  const auto before_p = std::make_unique<Store>(*s);
  const Store& before = *before_p;

  mirror_image(*s);
  EXPECT_EQ(s->x[0], -1.0);
  EXPECT_EQ(s->y[0], 2.0);
  EXPECT_EQ(s->z[0], 3.0);
  EXPECT_TRUE(std::signbit(s->x[1]));  // an exact sign change: 0 becomes -0
  EXPECT_EQ(s->face[0], (Face{4, 6, 5}));
  EXPECT_EQ(s->face[1], (Face{0, 2, 1}));
  EXPECT_EQ(s->undo.nov, before.undo.nov);  // no snapshot taken

  mirror_image(*s);
  EXPECT_TRUE(same_surface(*s, before));
  EXPECT_FALSE(std::signbit(s->x[1]));
}

TEST(Mirror, HighlightedComponentTurnsAboutItsOwnCentre) {
  // Component 1: vertices 0..2; component 2: vertices 3..5, centre x 0.5.
  auto s = surface(6, {{0, 1, 2}, {3, 4, 5}}, {{0, 1}, {1, 2}, {0, 2}, {3, 4}, {4, 5}, {3, 5}});
  const double xs[6] = {-3, -2, -4, 1.25, 0.25, 0.0};
  for (int v = 0; v < 6; ++v) s->x[v] = xs[v];
  fill_conn_comp(*s);
  s->hilighted[2] = true;
  const auto before_p = std::make_unique<Store>(*s);
  const Store& before = *before_p;

  mirror_image(*s);
  EXPECT_DOUBLE_EQ(s->comp_centerx[2], 0.5);
  EXPECT_DOUBLE_EQ(s->x[3], -0.25);
  EXPECT_DOUBLE_EQ(s->x[4], 0.75);
  EXPECT_DOUBLE_EQ(s->x[5], 1.0);
  for (int v = 0; v < 3; ++v) EXPECT_EQ(s->x[v], before.x[v]);
  for (int v = 0; v < 6; ++v) EXPECT_EQ(s->y[v], before.y[v]);
  EXPECT_EQ(s->face[0], (Face{0, 1, 2}));
  EXPECT_EQ(s->face[1], (Face{3, 5, 4}));
  EXPECT_TRUE(s->hilighted[2]);
  EXPECT_FALSE(s->hilighted[1]);

  mirror_image(*s);
  for (int v = 0; v < 6; ++v) EXPECT_DOUBLE_EQ(s->x[v], before.x[v]);
  EXPECT_EQ(s->face[1], (Face{3, 4, 5}));
}

TEST(AddCopy, Sample128CopyAndMirrorThenUndo) {
  for (const bool mirrored : {false, true}) {
    SCOPED_TRACE(mirrored ? "mirror image" : "copy image");
    auto s = make_store();
    ReadSampleData(*s, 128);
    const auto before_p = std::make_unique<Store>(*s);
    const Store& before = *before_p;
    const int nocomp = s->NOcomp;

    ASSERT_TRUE(add_copy(*s, mirrored));
    EXPECT_EQ(s->NOV, 16);
    EXPECT_EQ(s->NOE, 28);
    EXPECT_EQ(s->NOS, 14);
    EXPECT_EQ(s->edge[14], (Edge{8, 9}));
    EXPECT_EQ(s->phi[14], before.phi[0]);
    EXPECT_EQ(s->face[7], mirrored ? (Face{8, 15, 9}) : (Face{8, 9, 15}));
    EXPECT_EQ(s->NOcomp, 2 * nocomp);
    EXPECT_EQ(broken_invariant(*s), "");

    // The whole is centred; the copy sits 2.0 along x from its source, or
    // mirrored in a plane, both measured after the common shift.
    double mx = 0, my = 0, mz = 0;
    for (int v = 0; v < 16; ++v) mx += s->x[v], my += s->y[v], mz += s->z[v];
    EXPECT_NEAR(mx / 16, 0.0, 1e-12);
    EXPECT_NEAR(my / 16, 0.0, 1e-12);
    EXPECT_NEAR(mz / 16, 0.0, 1e-12);
    const double shift = (s->x[0] - before.x[0]);
    for (int v = 0; v < 8; ++v) {
      EXPECT_NEAR(s->x[v] - before.x[v], shift, 1e-12);
      EXPECT_NEAR(s->x[8 + v], (mirrored ? 2.0 - before.x[v] : before.x[v] + 2.0) + shift, 1e-12);
      EXPECT_EQ(s->y[8 + v] - s->y[v], 0.0);
      EXPECT_EQ(s->z[8 + v] - s->z[v], 0.0);
      EXPECT_EQ(s->conn_comp[8 + v], s->conn_comp[v] + nocomp);
    }

    undopaste(*s);
    EXPECT_EQ(s->NOV, 8);
    EXPECT_EQ(s->NOE, 14);
    EXPECT_EQ(s->NOS, 7);
    for (int v = 0; v < 8; ++v) EXPECT_EQ(s->x[v], before.x[v]);
  }
}

TEST(AddCopy, RefusedWithoutRoomChangingNothing) {
  struct Case {
    int nov, noe, nos;
    bool fits;
  };
  const Case cases[] = {
      {500, 750, 1000, true}, {501, 10, 10, false}, {10, 751, 10, false}, {10, 10, 1001, false}};
  for (const Case& c : cases)
    for (const bool mirrored : {false, true}) {
      SCOPED_TRACE(std::to_string(c.nov) + "/" + std::to_string(c.noe) + "/" +
                   std::to_string(c.nos) + (mirrored ? " mirror" : " copy"));
      auto s = make_store();
      s->NOV = c.nov, s->NOE = c.noe, s->NOS = c.nos, s->NOcomp = 2;
      for (int v = 0; v < c.nov; ++v) s->x[v] = v, s->conn_comp[v] = 1;
      for (int l = 0; l < c.noe; ++l) s->edge[l] = Edge{0, 1 + l % (c.nov - 1)};
      for (int f = 0; f < c.nos; ++f) s->face[f] = Face{0, 1, 2};
      const auto before_p = std::make_unique<Store>(*s);
      const Store& before = *before_p;
      EXPECT_EQ(add_copy(*s, mirrored), c.fits);
      if (c.fits) {
        EXPECT_EQ(s->NOV, 2 * c.nov);
      } else {
        EXPECT_TRUE(same_surface(*s, before));
        EXPECT_EQ(s->undo.nov, 0);
        EXPECT_EQ(s->NOcomp, 2);
      }
    }
}

// Component numbers index the per-component tables: a copy whose numbers
// would reach MAXCONNCOMP is refused, with or without relabelling between.
TEST(AddCopy, ComponentNumbersStayBelowTheirCapacity) {
  for (const bool relabel : {false, true}) {
    SCOPED_TRACE(relabel ? "relabelled between copies" : "copies only");
    auto s = surface(3, {{0, 1, 2}}, {{0, 1}, {1, 2}, {0, 2}});
    fill_conn_comp(*s);
    int copies = 0;
    const char* why = nullptr;
    while ((why = copy_refusal(*s)) == nullptr) {
      ASSERT_TRUE(add_copy(*s, copies % 2 == 1));
      ++copies;
      ASSERT_EQ(broken_invariant(*s), "");
      ASSERT_LE(s->NOcomp, MAXCONNCOMP - 1);
      if (relabel) fill_conn_comp(*s);
    }
    // The capacities would allow another copy; the numbers run out first.
    EXPECT_LE(2 * s->NOV, MAXNOV);
    EXPECT_STREQ(why, "too many component numbers for a copy");
    EXPECT_EQ(s->NOV, relabel ? 192 : 3 << copies);
    const auto before_p = std::make_unique<Store>(*s);
    const Store& before = *before_p;
    EXPECT_FALSE(add_copy(*s, false));
    EXPECT_TRUE(same_surface(*s, before));
    // Every piece still has a number of its own.
    fill_conn_comp(*s);
    EXPECT_EQ(s->NOcomp - 1, s->NOV / 3);
  }
}
