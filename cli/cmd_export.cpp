// Commands that write the sheet for other programs: renderers, mesh editors
// and slicers.
#include "cli/cli.h"
#include "model/export.h"

namespace brimoss::cli {
namespace {

// The optional "--scale MM" after the fixed arguments.
double scale_arg(const Args& a, std::size_t from) {
  if (a.size() == from) return 1.0;
  if (a[from] != "--scale") throw UsageError{"unexpected argument '" + a[from] + "'"};
  if (a.size() != from + 2) throw UsageError{"--scale needs a number of millimetres"};
  const double mm = double_arg(a, from + 1);
  if (!(mm > 0)) throw UsageError{"--scale must be a positive number of millimetres"};
  return mm;
}

const Registrar export_cmd({"export", "PATH [--scale MM]",
                            "write the sheet as .obj, .ply or .stl (MM millimetres per model unit)",
                            1, 3, [](Context& c, const Args& a) {
                              const double scale = scale_arg(a, 1);
                              std::string err;
                              if (!export_surface(c.s, a[0], scale, err)) c.refuse(err);
                            }});

const Registrar export_solid_cmd(
    {"export-solid", "PATH THICKNESS [--scale MM]",
     "write a closed solid THICKNESS thick (in model units; an edge is about 0.85) "
     "for 3D printing",
     2, 4, [](Context& c, const Args& a) {
       const double thickness = double_arg(a, 1);
       if (!(thickness > 0)) throw UsageError{"the thickness must be a positive number"};
       const double scale = scale_arg(a, 2);
       std::string err;
       if (!export_solid(c.s, a[0], thickness, scale, err)) c.refuse(err);
     }});

}  // namespace
}  // namespace brimoss::cli
