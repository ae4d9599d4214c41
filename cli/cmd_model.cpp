// Commands on the surface as a whole: loading, saving, undo, inspection.
#include <cstdio>
#include <set>

#include "cli/cli.h"
#include "model/components.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "sim/relax.h"

namespace brimoss::cli {
namespace {

const Registrar sample_cmd({"sample", "N", "load built-in sample N (128 to 131)", 1, 1,
                            [](Context& c, const Args& a) { ReadSampleData(c.s, int_arg(a, 0)); }});

const Registrar open_cmd({"open", "PATH", "replace the surface by a surface file", 1, 1,
                          [](Context& c, const Args& a) {
                            std::string err;
                            if (!open_surface_file(c.s, a[0], err)) c.refuse(err);
                          }});

const Registrar append_cmd({"append", "PATH", "add a surface file beside the surface", 1, 1,
                            [](Context& c, const Args& a) {
                              std::string err;
                              if (!append_surface_file(c.s, a[0], err)) c.refuse(err);
                            }});

const Registrar save_cmd({"save", "PATH", "write the surface to a file (overwrites)", 1, 1,
                          [](Context& c, const Args& a) {
                            std::string err;
                            if (!save_surface_file(c.s, a[0], err)) c.refuse(err);
                          }});

const Registrar current_cmd({"current", "V", "make vertex V the current vertex", 1, 1,
                             [](Context& c, const Args& a) {
                               const int v = int_arg(a, 0);
                               if (v < 0 || v >= c.s.NOV)
                                 c.refuse("no vertex " + std::to_string(v));
                               else
                                 c.s.g_purtj = v;
                             }});

const Registrar relax_cmd({"relax", "", "relax the surface once (as after every change)", 0, 0,
                           [](Context& c, const Args&) { modify(c.s); }});

const Registrar undo_cmd({"undo", "", "undo the last change that took a snapshot", 0, 0,
                          [](Context& c, const Args&) {
                            if (c.s._NOV == 0)
                              c.refuse("nothing to undo");
                            else
                              undopaste(c.s);
                          }});

const Registrar components_cmd({"components", "", "detect connected components", 0, 0,
                                [](Context& c, const Args&) {
                                  fill_conn_comp(c.s);
                                  fill_center_conn_comp(c.s);
                                }});

const Registrar stats_cmd({"stats", "", "print the counts and the status line", 0, 0,
                           [](Context& c, const Args&) {
                             std::set<int> labels;
                             for (int i = 0; i < c.s.NOV; ++i) labels.insert(c.s.conn_comp[i]);
                             c.out << "vertices " << c.s.NOV << " edges " << c.s.NOE << " faces "
                                   << c.s.NOS << " components " << labels.size() << "\n"
                                   << "status " << c.s.messagetxt << "\n";
                           }});

const Registrar dump_cmd(
    {"dump", "", "print every vertex, edge and face", 0, 0, [](Context& c, const Args&) {
       char buf[128];
       const Store& s = c.s;
       for (int i = 0; i < s.NOV; ++i) {
         std::snprintf(buf, sizeof buf, "%.17g %.17g %.17g\n", s.x[i], s.y[i], s.z[i]);
         c.out << buf;
       }
       for (int i = 0; i < s.NOE; ++i) {
         std::snprintf(buf, sizeof buf, "%d %d %.17g\n", s.edge[i].first, s.edge[i].second,
                       s.phi[i]);
         c.out << buf;
       }
       for (int i = 0; i < s.NOS; ++i) {
         std::snprintf(buf, sizeof buf, "%d %d %d\n", s.face[i][0], s.face[i][1], s.face[i][2]);
         c.out << buf;
       }
     }});

}  // namespace
}  // namespace brimoss::cli
