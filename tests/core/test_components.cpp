#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model/components.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

std::unique_ptr<Store> with_edges(int nov, std::vector<Edge> edges) {
  auto s = make_store();
  s->NOV = nov;
  for (const Edge& e : edges) s->edge[s->NOE++] = e;
  return s;
}

std::vector<int> labels(const Store& s) {
  return std::vector<int>(s.conn_comp.begin(), s.conn_comp.begin() + s.NOV);
}

}  // namespace

TEST(Components, TwoTrianglesGetLabelsOneAndTwo) {
  auto s = with_edges(6, {{0, 1}, {1, 2}, {0, 2}, {3, 4}, {4, 5}, {3, 5}});
  s->hilighted.fill(true);
  fill_conn_comp(*s);
  EXPECT_EQ(labels(*s), (std::vector<int>{1, 1, 1, 2, 2, 2}));
  EXPECT_EQ(s->NOcomp, 3);
  EXPECT_TRUE(s->filledconn_comp);
  for (int c = 0; c <= 3; ++c) EXPECT_FALSE(s->hilighted[c]) << c;
  EXPECT_TRUE(s->hilighted[4]);  // only labels up to NOcomp are cleared
}

TEST(Components, LabelsFollowTheLowestVertexOfEachPiece) {
  struct Case {
    const char* name;
    int nov;
    std::vector<Edge> edges;
    std::vector<int> want;
    int nocomp;
  };
  const Case cases[] = {
      {"star from vertex 0", 3, {{0, 1}, {0, 2}}, {1, 1, 1}, 2},
      {"isolated vertex in the middle", 5, {{0, 2}, {3, 4}}, {1, 2, 1, 3, 3}, 4},
      {"isolated last vertex", 4, {{1, 2}, {0, 2}}, {1, 1, 1, 2}, 3},
      {"edges listed high to low", 6, {{4, 5}, {2, 5}, {1, 3}}, {1, 2, 3, 2, 3, 3}, 4},
      {"reversed and looped edges", 4, {{3, 1}, {2, 2}, {1, 0}}, {1, 1, 2, 1}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = with_edges(c.nov, c.edges);
    fill_conn_comp(*s);
    EXPECT_EQ(labels(*s), c.want);
    EXPECT_EQ(s->NOcomp, c.nocomp);
  }
}

TEST(Components, NoVerticesOrNoEdgesChangesNothing) {
  for (int nov : {0, 5}) {
    auto s = with_edges(nov, {});
    s->conn_comp.fill(7);
    s->NOcomp = 42;
    s->hilighted.fill(true);
    auto before = byte_copy(*s);
    fill_conn_comp(*s);
    EXPECT_TRUE(same_store(*s, *before));
    EXPECT_FALSE(s->filledconn_comp);
  }
}

TEST(Components, MoreThan98PiecesNeverGiveALabelOf100OrMore) {
  // 300 separate edges: 300 pieces, far more than the tables can number.
  auto s = make_store();
  s->NOV = 600;
  for (int i = 0; i < 300; ++i) s->edge[s->NOE++] = {2 * i, 2 * i + 1};
  s->hilighted.fill(true);
  fill_conn_comp(*s);
  EXPECT_EQ(s->NOcomp, MAXCONNCOMP - 1);
  for (int i = 0; i < s->NOV; ++i) {
    ASSERT_GE(s->conn_comp[i], 1);
    ASSERT_LE(s->conn_comp[i], MAXCONNCOMP - 2) << i;
  }
  // The first 97 pieces keep their own labels.
  for (int i = 0; i < 97; ++i) EXPECT_EQ(s->conn_comp[2 * i], i + 1);
  for (bool h : s->hilighted) EXPECT_FALSE(h);
  fill_center_conn_comp(*s);  // must stay inside the tables as well
  EXPECT_TRUE(std::isfinite(s->comp_centerx[MAXCONNCOMP - 2]));
}

TEST(Components, ThousandVertexChainIsOnePiece) {
  // A path listed from its far end: a recursive flood would go 1000 calls deep.
  auto s = make_store();
  s->NOV = MAXNOV;
  for (int i = MAXNOV - 1; i > 0; --i) s->edge[s->NOE++] = {i - 1, i};
  fill_conn_comp(*s);
  for (int i = 0; i < s->NOV; ++i) ASSERT_EQ(s->conn_comp[i], 1) << i;
  EXPECT_EQ(s->NOcomp, 2);

  auto grid = make_store();
  make_grid_surface(*grid, 25, 40, 1);
  fill_conn_comp(*grid);
  EXPECT_EQ(grid->NOcomp, 2);
}

TEST(Components, CentresArePlainVertexMeans) {
  auto s = with_edges(5, {{0, 1}, {1, 2}, {3, 4}});
  const double pos[5][3] = {{0, 0, 0}, {2, 0, 0}, {1, 3, 0}, {-1, 1, 1}, {-3, 1, 3}};
  for (int i = 0; i < 5; ++i) s->x[i] = pos[i][0], s->y[i] = pos[i][1], s->z[i] = pos[i][2];
  s->comp_centerx.fill(9);  // stale centres of unused labels are cleared
  ASSERT_FALSE(s->filledconn_comp);
  fill_center_conn_comp(*s);  // labels first, since none were computed
  EXPECT_TRUE(s->filledconn_comp);
  EXPECT_EQ(s->comp_centerx[1], 1);
  EXPECT_EQ(s->comp_centery[1], 1);
  EXPECT_EQ(s->comp_centerz[1], 0);
  EXPECT_EQ(s->comp_centerx[2], -2);
  EXPECT_EQ(s->comp_centery[2], 1);
  EXPECT_EQ(s->comp_centerz[2], 2);
  for (int c : {0, 3, 50, MAXCONNCOMP - 1}) EXPECT_EQ(s->comp_centerx[c], 0) << c;
}

TEST(Components, CentresAfterGrowthUseTheOldLabels) {
  auto s = make_store();
  ReadSampleData(*s, 128);
  fill_conn_comp(*s);
  const int old_nov = s->NOV;
  s->g_purtj = 0;
  ASSERT_TRUE(addnewpolygon(*s));
  ASSERT_GT(s->NOV, old_nov);
  // The new vertices carry whatever labels their slots held: here none (0).
  fill_center_conn_comp(*s);
  double mx = 0;
  for (int i = 0; i < old_nov; ++i) mx += s->x[i];
  EXPECT_DOUBLE_EQ(s->comp_centerx[1], mx / old_nov);
  for (int i = old_nov; i < s->NOV; ++i) EXPECT_EQ(s->conn_comp[i], 0);
}
