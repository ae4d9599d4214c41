#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "copy/paste.h"
#include "model/invariants.h"
#include "model/samples.h"
#include "model/undo.h"
#include "ops/load.h"

using namespace brimoss;

TEST(Invariants, HoldForFreshAndStartUpStores) {
  std::string why;
  auto s = make_store();
  EXPECT_TRUE(check_invariants(*s, &why)) << why;
  initialize_store(*s);
  EXPECT_TRUE(check_invariants(*s, &why)) << why;
  makecopy(*s);
  EXPECT_TRUE(check_invariants(*s, &why)) << why;
}

namespace {

// Starts a paste of the first pair of vertices that may be joined.
bool start_any_paste(Store& s) {
  for (int i = 0; i < s.NOV; ++i)
    for (int j = 0; j < s.NOV; ++j)
      if (start_paste(s, i, j)) return true;
  return false;
}

}  // namespace

TEST(Invariants, EachBrokenRuleIsReported) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::function<void(Store&)> breakit;
    const char* mentions;
  };
  const Case cases[] = {
      {"vertex count above capacity", [](Store& s) { s.NOV = MAXNOV + 1; }, "vertex count"},
      {"negative edge count", [](Store& s) { s.NOE = -1; }, "edge count"},
      {"face count above capacity", [](Store& s) { s.NOS = MAXNOS + 1; }, "face count"},
      {"edge end past the vertices", [](Store& s) { s.edge[5].second = s.NOV; }, "edge 5"},
      {"negative edge end", [](Store& s) { s.edge[0].first = -1; }, "edge 0"},
      {"face corner past the vertices", [](Store& s) { s.face[7][2] = s.NOV; }, "face 7"},
      {"infinite coordinate", [inf](Store& s) { s.y[3] = -inf; }, "vertex 3"},
      {"NaN coordinate", [nan](Store& s) { s.z[28] = nan; }, "vertex 28"},
      {"NaN target", [nan](Store& s) { s.phi[2] = nan; }, "edge 2"},
      {"component number 100", [](Store& s) { s.conn_comp[4] = MAXCONNCOMP; }, "vertex 4"},
      {"negative component number", [](Store& s) { s.conn_comp[0] = -1; }, "vertex 0"},
      {"NOcomp past the tables", [](Store& s) { s.NOcomp = MAXCONNCOMP; }, "NOcomp"},
      {"snapshot edge past its vertices",
       [](Store& s) {
         makecopy(s);
         s.undo.edge[1].second = s.undo.nov;
       },
       "snapshot edge 1"},
      {"snapshot NaN",
       [nan](Store& s) {
         makecopy(s);
         s.undo.x[0] = nan;
       },
       "snapshot vertex 0"},
      {"paste pair out of order",
       [](Store& s) {
         ASSERT_TRUE(start_any_paste(s));
         std::swap(s.g_paste_i1, s.g_paste_i2);
       },
       "paste pair"},
      {"paste without its joining edge",
       [](Store& s) {
         ASSERT_TRUE(start_any_paste(s));
         --s.NOE;
       },
       "joining edge"},
      {"paste step past its count",
       [](Store& s) {
         ASSERT_TRUE(start_any_paste(s));
         s.g_pasteevent = s.g_pastestep + 1;
       },
       "paste step"},
      {"zero zoom", [](Store& s) { s.g_rate = 0; }, "zoom"},
      {"NaN spin", [nan](Store& s) { s.g_hangle = nan; }, "spin"},
      {"unterminated status line",
       [](Store& s) { std::memset(s.messagetxt, 'x', sizeof s.messagetxt); }, "status line"},
  };
  auto base = make_store();
  initialize_store(*base);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = std::make_unique<Store>(*base);
    c.breakit(*s);
    std::string why;
    EXPECT_FALSE(check_invariants(*s, &why));
    EXPECT_NE(why.find(c.mentions), std::string::npos) << why;
  }
}

TEST(Invariants, EntriesBeyondTheCountsDoNotMatter) {
  auto s = make_store();
  initialize_store(*s);
  s->x[s->NOV] = std::numeric_limits<double>::quiet_NaN();
  s->edge[s->NOE] = {-5, 99999};
  s->conn_comp[s->NOV] = 12345;
  s->undo.noe = -3;  // no snapshot held: its counts mean nothing
  EXPECT_TRUE(check_invariants(*s));
}

TEST(Invariants, OrderedEdgesAreAskedOnlyOfTheProgramsOwnSurfaces) {
  auto base = make_store();
  initialize_store(*base);
  makecopy(*base);
  std::string why;
  ASSERT_TRUE(check_edges_ordered(*base, &why)) << why;

  struct Case {
    const char* name;
    std::function<void(Store&)> breakit;
    const char* mentions;
  };
  const Case cases[] = {
      {"reversed edge", [](Store& s) { std::swap(s.edge[3].first, s.edge[3].second); }, "edge 3"},
      {"loop", [](Store& s) { s.edge[4].second = s.edge[4].first; }, "edge 4"},
      {"edge listed twice", [](Store& s) { s.edge[9] = s.edge[70]; }, "listed twice"},
      {"reversed snapshot edge",
       [](Store& s) { std::swap(s.undo.edge[0].first, s.undo.edge[0].second); }, "snapshot edge 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = std::make_unique<Store>(*base);
    c.breakit(*s);
    EXPECT_FALSE(check_edges_ordered(*s, &why));
    EXPECT_NE(why.find(c.mentions), std::string::npos) << why;
    // A file may carry any of these: the general rules still hold.
    EXPECT_TRUE(check_invariants(*s, &why)) << why;
  }
}
