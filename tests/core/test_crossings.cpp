// The crossing check: small arrangements whose answer is known by hand, at the
// edge of touching (exactly touching counts, a hair apart does not), and the
// real sheets, where it must find exactly the pairs the geometry library's
// own self-intersection test finds.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "model/crossings.h"
#include "model/samples.h"
#include "model/store.h"
#include "ops/load.h"
#include "testing/fixtures.h"
#include "testing/workloads.h"

using namespace brimoss;

namespace {

using Pairs = std::vector<std::pair<int, int>>;

std::vector<double> positions(const Store& s) {
  std::vector<double> xyz;
  for (int v = 0; v < s.NOV; ++v) xyz.insert(xyz.end(), {s.x[v], s.y[v], s.z[v]});
  return xyz;
}

std::string fixture(const char* name) {
  return std::string(BRIMOSS_SOURCE_DIR) + "/tests/fixtures/" + name;
}

struct Arrangement {
  const char* name;
  std::vector<double> xyz;
  std::vector<Face> faces;
  Pairs want;
  bool library_can_read;  // a halfedge mesh can hold these faces
};

Face F(int a, int b, int c) {
  Face f;
  f[0] = a;
  f[1] = b;
  f[2] = c;
  return f;
}

const double hair = std::nextafter(0.0, 1.0);

}  // namespace

TEST(Crossings, SmallArrangementsAgreeWithTheirHandCount) {
  const std::vector<Arrangement> cases = {
      {"two faces on one corner, apart beyond it",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, -1, 0, 1},
       {F(0, 1, 2), F(0, 3, 4)},
       {},
       true},
      {"two faces on one corner that cross beyond it",
       {0, 0, 0, 2, 0, 0, 0, 2, 0, 1, 1, -1, 1, 1, 1},
       {F(0, 1, 2), F(0, 3, 4)},
       {{0, 1}},
       true},
      {"a face on one corner of another, its far side just touching it",
       {0, 0, 0, 2, 0, 0, 0, 2, 0, 1, 0, 1, 0.5, 0.5, 0},
       {F(0, 1, 2), F(0, 3, 4)},
       {{0, 1}},
       true},
      {"two faces on one edge, folded flat onto each other",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5, 0.5, 0},
       {F(0, 1, 2), F(1, 0, 3)},
       {{0, 1}},
       true},
      {"two faces on one edge, flat and side by side",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5, -0.5, 0},
       {F(0, 1, 2), F(1, 0, 3)},
       {},
       true},
      {"two faces on one edge, folded to a sharp crease but not through",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.5, 0.5, 1e-12},
       {F(0, 1, 2), F(1, 0, 3)},
       {},
       true},
      {"a corner exactly on another face",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.25, 0.25, 0, 0.25, 0.25, 1, 1, 1, 1},
       {F(0, 1, 2), F(3, 4, 5)},
       {{0, 1}},
       true},
      {"a corner the smallest number above another face",
       {0, 0, 0, 1, 0, 0, 0, 1, 0, 0.25, 0.25, hair, 0.25, 0.25, 1, 1, 1, 1},
       {F(0, 1, 2), F(3, 4, 5)},
       {},
       true},
      {"two faces through each other, no corner shared",
       {0, 0, 0, 2, 0, 0, 0, 2, 0, 0.5, 0.5, -1, 0.5, 0.5, 1, 3, 3, 0},
       {F(0, 1, 2), F(3, 4, 5)},
       {{0, 1}},
       true},
      {"a face without area, and a face crossing nothing",
       {0, 0, 0, 1, 0, 0, 2, 0, 0, 0, 1, 0},
       {F(0, 1, 2), F(0, 3, 1)},
       {{0, 0}},
       true},
      {"the same corners twice, and a face with a corner twice (skipped)",
       {0, 0, 0, 1, 0, 0, 0, 1, 0},
       {F(0, 1, 2), F(2, 1, 0), F(0, 0, 1)},
       {{0, 1}},
       false},
  };
  for (const Arrangement& c : cases) {
    SCOPED_TRACE(c.name);
    const int nov = static_cast<int>(c.xyz.size() / 3), nos = static_cast<int>(c.faces.size());
    const Pairs got = crossing_pairs(c.xyz.data(), nov, c.faces.data(), nos);
    EXPECT_EQ(got, c.want);
    EXPECT_EQ(any_crossing(c.xyz.data(), nov, c.faces.data(), nos), !c.want.empty());
    Pairs library;
    ASSERT_EQ(library_crossing_pairs(c.xyz.data(), nov, c.faces.data(), nos, library),
              c.library_can_read);
    if (c.library_can_read) {
      EXPECT_EQ(library, c.want);
    }
  }
}

// The real sheets: the start-up sample, the two fixtures kept apart, and the
// sheet sewn to the full store, which crosses itself.
TEST(Crossings, SheetsGiveTheLibrarysPairs) {
  struct Sheet {
    const char* name;
    void (*build)(Store&);
    bool crosses;
  };
  const std::vector<Sheet> sheets = {
      {"sample 131", [](Store& s) { ReadSampleData(s, 131); }, false},
      {"two-ring-crease",
       [](Store& s) {
         std::string err;
         ASSERT_TRUE(open_surface_file(s, fixture("two-ring-crease.brm"), err)) << err;
       },
       false},
      {"apart-full-sheet",
       [](Store& s) {
         std::string err;
         ASSERT_TRUE(open_surface_file(s, fixture("apart-full-sheet.brm"), err)) << err;
       },
       false},
      {"sewn to capacity", [](Store& s) { brimoss::testing::build_sewn_sheet(s); }, true},
  };
  for (const Sheet& sh : sheets) {
    SCOPED_TRACE(sh.name);
    auto s = make_store();
    sh.build(*s);
    const std::vector<double> xyz = positions(*s);
    const Pairs got = crossing_pairs(xyz.data(), s->NOV, s->face.data(), s->NOS);
    Pairs library;
    ASSERT_TRUE(library_crossing_pairs(xyz.data(), s->NOV, s->face.data(), s->NOS, library));
    EXPECT_EQ(got, library);
    EXPECT_EQ(count_crossings(*s), static_cast<int>(got.size()));
    EXPECT_EQ(any_crossing(*s), sh.crosses);
    EXPECT_EQ(!got.empty(), sh.crosses);
  }
}
