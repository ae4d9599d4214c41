#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/relax.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

int count_kind_a(const Store& s) {
  int n = 0;
  for (int l = 0; l < s.NOE; ++l) n += s.phi[l] == phi_a();
  return n;
}

}  // namespace

TEST(Samples, CountsKindsAndShape) {
  struct Case {
    int n, nov, noe, kind_a, nos;
  };
  for (const Case& c : {Case{128, 8, 14, 7, 7}, Case{129, 19, 39, 18, 21},
                        Case{130, 30, 72, 30, 42}, Case{131, 29, 72, 39, 42}}) {
    SCOPED_TRACE(c.n);
    auto s = make_store();
    EXPECT_EQ(ReadSampleData(*s, c.n), 1);
    EXPECT_EQ(s->NOV, c.nov);
    EXPECT_EQ(s->NOE, c.noe);
    EXPECT_EQ(s->NOS, c.nos);
    EXPECT_EQ(count_kind_a(*s), c.kind_a);
    for (int l = 0; l < s->NOE; ++l) {
      EXPECT_TRUE(s->phi[l] == phi_a() || s->phi[l] == phi_b());
      EXPECT_LT(s->edge[l].first, s->edge[l].second) << l;
    }
    std::string why;
    EXPECT_TRUE(check_invariants(*s, &why)) << why;

    // Every face's sides are edges, and faces sharing a side run along it in
    // opposite directions (no directed side twice).
    std::set<std::pair<int, int>> edges, sides;
    for (int l = 0; l < s->NOE; ++l) edges.insert({s->edge[l].first, s->edge[l].second});
    for (int f = 0; f < s->NOS; ++f)
      for (int k = 0; k < 3; ++k) {
        const int a = s->face[f][k], b = s->face[f][(k + 1) % 3];
        EXPECT_TRUE(edges.count({std::min(a, b), std::max(a, b)})) << f;
        EXPECT_TRUE(sides.insert({a, b}).second) << "face " << f << " side " << a << "," << b;
      }
  }
}

TEST(Samples, Sample131FaceKinds) {
  auto s = make_store();
  ReadSampleData(*s, 131);
  std::map<std::pair<int, int>, double> phi;
  for (int l = 0; l < s->NOE; ++l) phi[{s->edge[l].first, s->edge[l].second}] = s->phi[l];
  int by_a[4] = {};
  for (int f = 0; f < s->NOS; ++f) {
    int a = 0;
    for (int k = 0; k < 3; ++k) {
      const int p = s->face[f][k], q = s->face[f][(k + 1) % 3];
      a += phi[{std::min(p, q), std::max(p, q)}] == phi_a();
    }
    ++by_a[a];
  }
  EXPECT_EQ(by_a[1], 29);
  EXPECT_EQ(by_a[2], 7);
  EXPECT_EQ(by_a[3], 6);
}

TEST(Samples, LoadingResetsSnapshotLabelsAndStartsTheTwinkle) {
  auto s = make_store();
  initialize_store(*s);
  makecopy(*s);
  s->NOcomp = 17;
  s->g_twincle = 0;
  s->hilighted[0] = s->hilighted[1] = s->hilighted[2] = s->hilighted[50] = true;
  s->g_purtj = 25;
  s->g_rate = 180;
  s->g_purturb = 4;
  s->basecolG = 99;
  ReadSampleData(*s, 128);
  EXPECT_EQ(s->undo.nov, 0);
  EXPECT_EQ(s->NOcomp, 1);
  EXPECT_EQ(s->g_twincle, 1);
  for (int i = 0; i < s->NOV; ++i) EXPECT_EQ(s->conn_comp[i], 1);
  EXPECT_FALSE(s->hilighted[0] || s->hilighted[1] || s->hilighted[2]);
  // Beyond what the labelling clears, and everything that is not surface,
  // stays as it was, even a current vertex that no longer exists.
  EXPECT_TRUE(s->hilighted[50]);
  EXPECT_EQ(s->g_purtj, 25);
  EXPECT_EQ(s->g_rate, 180);
  EXPECT_EQ(s->g_purturb, 4);
  EXPECT_EQ(s->basecolG, 99);
}

TEST(Samples, LoadingIsTheTextRelaxedTwice) {
  for (int n : {128, 131}) {
    auto s = make_store();
    ReadSampleData(*s, n);
    auto t = make_store();
    ParsedSurface p;
    std::string err;
    ASSERT_TRUE(parse_surface(sample_as_file_text(n), '\n', p, err)) << err;
    commit_surface(*t, p, false);
    EXPECT_NE(t->x[0], s->x[0]);
    modify(*t);
    modify(*t);
    for (int i = 0; i < s->NOV; ++i) {
      ASSERT_EQ(s->x[i], t->x[i]);
      ASSERT_EQ(s->y[i], t->y[i]);
      ASSERT_EQ(s->z[i], t->z[i]);
    }
  }
}

TEST(Samples, AnyOtherNumberLoadsSample131) {
  auto ref = make_store();
  ReadSampleData(*ref, 131);
  for (int n : {0, -1, 127, 132, 255}) {
    SCOPED_TRACE(n);
    auto s = make_store();
    EXPECT_EQ(ReadSampleData(*s, n), 1);
    EXPECT_TRUE(same_store(*s, *ref));
    EXPECT_EQ(s->NOV, 29);
    EXPECT_EQ(s->g_twincle, 1);
    EXPECT_EQ(s->NOcomp, 1);
    EXPECT_EQ(s->undo.nov, 0);
  }
}

TEST(Samples, FileTextIsTheSampleWithLineFeeds) {
  const std::string t = sample_as_file_text(128);
  EXPECT_EQ(t.substr(0, 12), "8\n1.0,0,0.1\n");
  EXPECT_EQ(t.find(':'), std::string::npos);
  EXPECT_EQ(t.back(), '\n');
}
