// Commands that change the surface at the current vertex.
#include <string>

#include "cli/cli.h"
#include "sim/grow.h"
#include "sim/remove.h"
#include "sim/spread.h"

namespace brimoss::cli {
namespace {

const Registrar grow_cmd({"grow", "", "add a cell at the current vertex", 0, 0,
                          [](Context& c, const Args&) {
                            if (!addnewpolygon(c.s))
                              c.refuse("no cell fits at vertex " + std::to_string(c.s.g_purtj));
                          }});

const Registrar spread_cmd({"spread", "", "open the creases once (one sweep)", 0, 0,
                            [](Context& c, const Args&) { spread(c.s); }});

const Registrar remove_cmd({"remove", "", "remove the current vertex with its edges and faces", 0,
                            0, [](Context& c, const Args&) {
                              if (!removevertex(c.s))
                                c.refuse("no vertex " + std::to_string(c.s.g_purtj) + " to remove");
                            }});

const Registrar pull_cmd({"pull", "", "pull the current vertex down by 0.3 and relax", 0, 0,
                          [](Context& c, const Args&) {
                            if (!pullpoint(c.s))
                              c.refuse("no vertex " + std::to_string(c.s.g_purtj) + " to pull");
                          }});

const Registrar perturbation_cmd({"perturbation", "", "switch touch perturbation on or off", 0, 0,
                                  [](Context& c, const Args&) {
                                    c.s.touch_purturb = !c.s.touch_purturb;
                                    c.out << "touch perturbation "
                                          << (c.s.touch_purturb ? "on" : "off") << "\n";
                                  }});

const Registrar grow_border_cmd({"grow-border", "N",
                                 "grow N cells, each at the lowest vertex that takes one", 1, 1,
                                 [](Context& c, const Args& a) {
                                   const int n = int_arg(a, 0);
                                   if (n < 0)
                                     throw UsageError{"grow-border needs a count of 0 or more"};
                                   const int grown = grow_border(c.s, n);
                                   if (grown < n)
                                     c.refuse("only " + std::to_string(grown) + " of " +
                                              std::to_string(n) + " cells could be grown");
                                 }});

}  // namespace
}  // namespace brimoss::cli
