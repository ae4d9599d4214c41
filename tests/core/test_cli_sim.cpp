#include <gtest/gtest.h>

#include "testing/fixtures.h"

using namespace brimoss::testing;

TEST(CliSim, Commands) {
  expect_cli_cases(
      {
          {"grow", "sample 128\ncurrent 0\ngrow\nstats\n", 0, "vertices 15 edges 28 faces 14", ""},
          {"grow_refused", "sample 128\ncurrent 7\ngrow\nstats\n", 1, "vertices 8 edges 14 faces 7",
           "line 3: no cell fits at vertex 7: it is on 7 faces\n"},
          {"remove", "sample 128\ncurrent 7\nremove\nstats\nremove\n", 1,
           "vertices 7 edges 7 faces 0", "line 5: no vertex 7 to remove\n"},
          {"pull_undo", "sample 128\ncurrent 7\npull\nremove\nundo\nstats\n", 0,
           "vertices 8 edges 14 faces 7", ""},
          {"perturbation", "perturbation\nperturbation\n", 0, "off\ntouch perturbation on\n", ""},
          {"grow_border", "sample 128\ngrow-border 3\nstats\nspread\ngrow-border 200\nstats\n", 1,
           "vertices 29 edges 56 faces 28", "line 5: only 138 of 200 cells could be grown\n"},
          {"grow_border_bad", "grow-border -1\n", 2, "", "line 1: grow-border needs a count"},
      },
      ErrMatch::part);
}

// stats counts the pieces the sheet has when it is asked, whatever the
// labels of the last labelling say: a cell grown on, a cell grown on a single
// border vertex, a copy beside the sheet, a paste's first edge joining the
// copy to it, and removals that cut a ring of edges in two.
TEST(CliSim, StatsCountsThePiecesOfTheSheetAsItIsNow) {
  expect_cli_cases(
      {
          {"grown", "sample 128\ncurrent 0\ngrow\nstats\n", 0, "faces 14 components 1\n", ""},
          {"grown_on_a_vertex", "sample 128\ngrow-border 1\nstats\n", 0,
           "vertices 15 edges 28 faces 14 components 1\n", ""},
          {"copy_beside", "sample 128\nadd-copy\nstats\n", 0, "faces 14 components 2\n", ""},
          {"paste_joins", "sample 128\nadd-mirror\npaste 8 0\nstats\n", 0,
           "edges 29 faces 14 components 1\n", ""},
          {"cut_in_two",
           "sample 128\ncurrent 7\nremove\ncurrent 0\nremove\ncurrent 2\nremove\nstats\n", 0,
           "vertices 5 edges 3 faces 0 components 2\n", ""},
      },
      ErrMatch::whole);
}

// pull after the current vertex was removed: refused with status 1, but the
// surface is relaxed as the window's pull relaxes it, the same as relax does.
TEST(CliSim, PullWithoutItsVertexStillRelaxes) {
  const std::string start = "sample 131\ncurrent 28\nremove\n";
  const CliResult pulled = run_cli(start + "pull\ndump\n");
  const CliResult relaxed = run_cli(start + "relax\ndump\n");
  const CliResult left = run_cli(start + "dump\n");
  EXPECT_EQ(pulled.status, 1);
  EXPECT_EQ(pulled.err, "line 4: no vertex 28 to pull\n");
  ASSERT_EQ(relaxed.status, 0) << relaxed.err;
  EXPECT_EQ(pulled.out, relaxed.out);
  EXPECT_NE(pulled.out, left.out);
}
