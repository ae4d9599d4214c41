#include "bench/ticks.h"

#include "bench/workloads.h"
#include "copy/paste.h"

namespace brimoss::bench {

const Branch kBranches[6] = {
    {"perturb", TickBranch::Perturb, [](Store& s) { s.g_purturb = 1; },
     [](const Store& s) { return s.g_purturb > 0; }},
    {"spin", TickBranch::Spin,
     [](Store& s) {
       s.g_rotate = 1;
       s.g_vangle = 0.1;
       s.g_hangle = 0.05;
     },
     [](const Store& s) { return s.g_rotate > 0; }},
    {"twinkle", TickBranch::Twinkle, [](Store& s) { s.g_twincle = 1; },
     [](const Store& s) { return s.g_twincle > 0; }},
    {"sway", TickBranch::Sway, [](Store& s) { s.g_buru = 15; },
     [](const Store& s) { return s.g_buru > 0; }},
    {"paste", TickBranch::Paste,
     [](Store& s) {
       int i, j;
       if (find_paste_pair(s, &i, &j)) start_paste(s, i, j);
     },
     [](const Store& s) { return s.g_pasteevent > 0; }},
    {"idle", TickBranch::Idle, [](Store&) {}, [](const Store&) { return true; }},
};

}  // namespace brimoss::bench
