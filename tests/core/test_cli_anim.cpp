#include <gtest/gtest.h>

#include "testing/fixtures.h"

using namespace brimoss::testing;

TEST(CliAnim, CommandsDriveTheTimerAsTheWindowDoes) {
  expect_cli_cases(
      {
          // Start-up: the wave at vertex 1 and the twinkle run together; the
          // twinkle of 42 faces ends first.
          {"startup", "tick 48\nstats\ntick 1\nstats\ntick 1\nstats\n", 0,
           "status Now purturbing..\nvertices 29 edges 72 faces 42 components 1\n"
           "status Now purturbing..\nvertices 29 edges 72 faces 42 components 1\nstatus  \n",
           ""},
          {"touch", "tick 60\ntouch 7\ntick 1\nstats\n", 0, "status Now purturbing..", ""},
          {"spin", "tick 60\nspin 0 0.1\ntick 1\nstats\n", 0, "status Now rotating..", ""},
          {"sway", "tick 60\nsway 1\ntick 3\nstats\ntick 1\nstats\n", 0,
           "status Now swaying..\nvertices 29 edges 72 faces 42 components 1\nstatus  \n", ""},
          {"touch-range", "touch 29\ntouch -1\n", 1, "",
           "line 1: no vertex 29\nline 2: no vertex -1\n"},
          {"highlight-range", "highlight 5\nhighlight 0\nhighlight 100\n", 1, "",
           "line 3: no component number 100\n"},
          {"sway-kind", "sway 4\n", 2, "", "line 1: sway: K must be 1, 2 or 3"},
          {"tick-count", "tick -1\n", 2, "", "line 1: tick: N must not be negative"},
      },
      ErrMatch::part);
}
