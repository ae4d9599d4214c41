// Commands that stand in for the mouse and the animation timer.
#include <string>

#include "cli/cli.h"
#include "view/draw.h"
#include "view/mouse.h"
#include "view/tick.h"

namespace brimoss::cli {
namespace {

const Registrar touch_cmd({"touch", "V",
                           "the pointer reaches vertex V with no button held (makes it current, "
                           "starts its perturbation, stops a spin)",
                           1, 1, [](Context& c, const Args& a) {
                             const int v = int_arg(a, 0);
                             if (v < 0 || v >= c.s.NOV)
                               c.refuse("no vertex " + std::to_string(v));
                             else
                               touch_vertex(c.s, v);
                           }});

const Registrar spin_cmd({"spin", "H V", "start a spin at H and V radians per tick (as a flick)", 2,
                          2, [](Context& c, const Args& a) {
                            c.s.g_hangle = double_arg(a, 0);
                            c.s.g_vangle = double_arg(a, 1);
                            c.s.g_rotate = 1;
                            c.s.g_purturb = 0;
                          }});

const Registrar highlight_cmd({"highlight", "C",
                               "highlight component C as a right press on it does; 0 clears all", 1,
                               1, [](Context& c, const Args& a) {
                                 const int comp = int_arg(a, 0);
                                 if (comp < 0 || comp >= MAXCONNCOMP)
                                   c.refuse("no component number " + std::to_string(comp));
                                 else if (comp == 0)
                                   c.s.hilighted.fill(false);
                                 else
                                   c.s.hilighted[comp] = true;
                               }});

const Registrar sway_cmd({"sway", "K", "sway once (1), some (2) or many (3) times", 1, 1,
                          [](Context& c, const Args& a) {
                            const int k = int_arg(a, 0);
                            if (k < 1 || k > 3) throw UsageError{"sway: K must be 1, 2 or 3"};
                            sway_command(c.s, 26 + k);
                          }});

const Registrar tick_cmd({"tick", "N", "run N timer ticks, each with the repaint's twinkle step", 1,
                          1, [](Context& c, const Args& a) {
                            const int n = int_arg(a, 0);
                            if (n < 0) throw UsageError{"tick: N must not be negative"};
                            for (int i = 0; i < n; ++i) {
                              timer_tick(c.s);
                              twinkle_step(c.s);
                            }
                          }});

}  // namespace
}  // namespace brimoss::cli
