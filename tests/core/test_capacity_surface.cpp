// The full-size surface the benchmarks and the allocation test run on: the
// file reader takes it whole, and it fills the store exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>

#include "model/invariants.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "testing/workloads.h"

using namespace brimoss;
using namespace brimoss::testing;

TEST(CapacitySurface, OpensWithoutRefusalAtExactlyTheCapacities) {
  const std::string text = capacity_surface_text();
  auto s = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*s, text, err)) << err;
  EXPECT_EQ(s->NOV, MAXNOV);
  EXPECT_EQ(s->NOE, MAXNOE);
  EXPECT_EQ(s->NOS, MAXNOS);
  EXPECT_EQ(s->NOcomp, 2) << "one piece";
  std::string why;
  EXPECT_TRUE(check_invariants(*s, &why)) << why;

  // Every edge distinct, lower index first, and on six faces (two triangles,
  // three layers); no face names a vertex twice.
  std::map<std::pair<int, int>, int> faces_on;
  for (int l = 0; l < s->NOE; ++l) {
    EXPECT_LT(s->edge[l].first, s->edge[l].second) << l;
    EXPECT_TRUE(faces_on.emplace(std::make_pair(s->edge[l].first, s->edge[l].second), 0).second)
        << "edge " << l << " repeated";
  }
  for (int f = 0; f < s->NOS; ++f)
    for (int k = 0; k < 3; ++k) {
      const int a = s->face[f][k], b = s->face[f][(k + 1) % 3];
      ASSERT_NE(a, b) << f;
      const auto it = faces_on.find({std::min(a, b), std::max(a, b)});
      ASSERT_NE(it, faces_on.end()) << "face " << f << " side without an edge";
      ++it->second;
    }
  for (const auto& [e, n] : faces_on) EXPECT_EQ(n, 6) << e.first << "," << e.second;

  // Made the same way every time, so every run measures the same work.
  EXPECT_EQ(capacity_surface_text(), text);
  auto t = make_store();
  build_capacity_surface(*t);
  EXPECT_EQ(surface_text(*s), surface_text(*t));
}
