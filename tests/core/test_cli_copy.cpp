#include <gtest/gtest.h>

#include <string>

#include "testing/fixtures.h"

using namespace brimoss::testing;

TEST(CliCopy, Commands) {
  expect_cli_cases(
      {
          {"add_copy", "sample 128\nadd-copy\nstats\n", 0,
           "vertices 16 edges 28 faces 14 components 2", ""},
          {"add_mirror_undo", "sample 128\nadd-mirror\nundo\nstats\n", 0,
           "vertices 8 edges 14 faces 7", ""},
          {"add_refused", "sample 128\ngrow-border 71\nadd-mirror\nstats\n", 1,
           "vertices 505 edges 1008 faces 504", "line 3: no room for a copy of the surface\n"},
          {"paste", "sample 128\nadd-mirror\npaste 8 0\nstats\n", 0,
           "vertices 16 edges 29 faces 14 components 1\nstatus Now pasting vertices...\n", ""},
          {"paste_ticks", "sample 128\nadd-copy\npaste 12 0\ntick 40\npaste 11 1\ntick 40\nstats\n",
           0, "vertices 14 edges 27 faces 14 components 1", ""},
          {"paste_joined", "sample 128\npaste 1 0\nstats\n", 1, "edges 14",
           "line 2: cannot join 1 to 0: an edge already joins the two vertices\n"},
          {"paste_centre", "sample 128\nadd-copy\npaste 7 8\n", 1, "",
           "line 3: cannot join 7 to 8: each vertex must be a corner of exactly 2 or 4 faces\n"},
          {"paste_same", "sample 128\npaste 3 3\n", 1, "",
           "line 2: cannot join 3 to 3: a vertex cannot be joined to itself\n"},
          {"paste_no_vertex", "sample 128\npaste 3 8\npaste 8 3\n", 1, "",
           "line 2: no vertex 8\nline 3: cannot join 8 to 3: no such vertex\n"},
      },
      ErrMatch::whole);
  // Mirroring twice gives back the same surface, to the last digit.
  const CliResult r = run_cli("sample 129\ndump\nmirror\nmirror\ndump\n");
  ASSERT_EQ(r.status, 0);
  const std::string& o = r.out;
  ASSERT_EQ(o.size() % 2, 0u);
  EXPECT_EQ(o.substr(0, o.size() / 2), o.substr(o.size() / 2));
}
