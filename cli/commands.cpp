// The batch tool's commands, in the order --help lists them. Each one turns
// its words into a call on the code the window runs for the same thing: the
// user's commands and the timer's tick in ops/, the file writers of
// model/export.h and model/surface_file.h, and the picture of view/picture.h
// (through cli/picture_file.h, which encodes it). `spread` (one sweep of a
// sway) and `grow-border` have no menu of their own in the window and call the
// simulation directly. A refusal is reported as the operation words it.
#include "ops/commands.h"

#include <cstdio>
#include <string>

#include "cli/cli.h"
#include "cli/cmd_sheet.h"
#include "cli/picture_file.h"
#include "model/crossings.h"
#include "model/export.h"
#include "model/sheet_check.h"
#include "model/surface_file.h"
#include "ops/tick.h"
#include "sim/grow.h"
#include "sim/spread.h"
#include "view/draw.h"
#include "view/fit.h"

namespace brimoss::cli {

namespace {

void report(Context& c, const ops::Result& r) {
  if (!r) c.refuse(r.why);
}

// A move by hand carried out on a kept-apart sheet: what it left crossing.
void report_moved_by_hand(Context& c, const ops::Result& r) {
  report(c, r);
  if (!r) return;
  const std::string note = ops::crossings_left_by_hand(c.s);
  if (!note.empty()) c.err << "line " << c.line << ": warning: " << note << "\n";
}

// The optional WIDTH HEIGHT of a view, from argument `from` on: 640 x 480
// when neither is given.
struct PictureSize {
  int w = 640, h = 480;
};
PictureSize picture_size(const Args& a, std::size_t from, const char* command) {
  PictureSize size;
  if (a.size() == from) return size;
  if (a.size() == from + 1)
    throw UsageError{std::string(command) + " needs both WIDTH and HEIGHT, or neither"};
  size.w = int_arg(a, from);
  size.h = int_arg(a, from + 1);
  if (size.w < 1 || size.h < 1 || size.w > kMaxPictureSide || size.h > kMaxPictureSide)
    throw UsageError{std::string(command) + ": WIDTH and HEIGHT must be 1 to " +
                     std::to_string(kMaxPictureSide)};
  return size;
}

// "-" as a path is standard output, for what is written as text. Nothing is
// read from standard input: the script itself may be coming from there.
bool is_stdout(const std::string& path) { return path == "-"; }

bool refuse_stdin(Context& c, const std::string& path) {
  if (path != "-") return false;
  c.refuse(
      "cannot read a surface from standard input ('-'), which may hold the script; "
      "give a file");
  return true;
}

// The options after an export's fixed arguments, in any order: "--scale MM",
// and "--format obj|ply|stl" instead of the path's extension.
struct MeshOptions {
  double scale = 1.0;
  bool has_format = false;
  MeshFormat format = MeshFormat::Obj;
};

MeshOptions mesh_options(const Args& a, std::size_t from) {
  MeshOptions o;
  bool has_scale = false;
  for (std::size_t i = from; i < a.size(); i += 2) {
    const bool scale = a[i] == "--scale", format = a[i] == "--format";
    if (!scale && !format) throw UsageError{"unexpected argument '" + a[i] + "'"};
    if (scale ? has_scale : o.has_format) throw UsageError{a[i] + " given twice"};
    if (i + 1 == a.size())
      throw UsageError{scale ? "--scale needs a number of millimetres"
                             : "--format needs obj, ply or stl"};
    if (scale) {
      o.scale = double_arg(a, i + 1);
      if (!(o.scale > 0)) throw UsageError{"--scale must be a positive number of millimetres"};
      has_scale = true;
    } else {
      const std::string& f = a[i + 1];
      if (f == "obj")
        o.format = MeshFormat::Obj;
      else if (f == "ply")
        o.format = MeshFormat::Ply;
      else if (f == "stl")
        o.format = MeshFormat::Stl;
      else
        throw UsageError{"--format must be obj, ply or stl, not '" + f + "'"};
      o.has_format = true;
    }
  }
  return o;
}

// Writes an export's bytes, made by `bytes` in the chosen format, to the file
// or to standard output; STL is binary and goes only to files.
template <class Bytes>
void write_mesh(Context& c, const std::string& path, const MeshOptions& o, Bytes bytes) {
  std::string err, out;
  MeshFormat format = o.format;
  if (is_stdout(path) && !o.has_format)
    return c.refuse("writing to standard output ('-') needs --format obj or --format ply");
  if (!o.has_format && !mesh_format_for(path, format, err)) return c.refuse(err);
  if (is_stdout(path) && format == MeshFormat::Stl)
    return c.refuse("STL is binary and is not written to standard output ('-'); give a file");
  if (!bytes(format, out, err)) return c.refuse(err);
  if (is_stdout(path))
    c.out << out << std::flush;
  else if (!write_file_atomically(path, out, err))
    c.refuse(err);
}

// The pieces are counted afresh, as check-sheet counts them: the labels of the
// last labelling (Detect connected component) go stale with every growth,
// paste or removal after it.
void stats(Context& c) {
  c.out << "vertices " << c.s.NOV << " edges " << c.s.NOE << " faces " << c.s.NOS << " components "
        << check_sheet(c.s).components << "\n"
        << "status " << c.s.messagetxt << "\n";
}

void dump(Context& c) {
  char buf[128];
  const Store& s = c.s;
  for (int i = 0; i < s.NOV; ++i) {
    std::snprintf(buf, sizeof buf, "%.17g %.17g %.17g\n", s.x[i], s.y[i], s.z[i]);
    c.out << buf;
  }
  for (int i = 0; i < s.NOE; ++i) {
    std::snprintf(buf, sizeof buf, "%d %d %.17g\n", s.edge[i].first, s.edge[i].second, s.phi[i]);
    c.out << buf;
  }
  for (int i = 0; i < s.NOS; ++i) {
    std::snprintf(buf, sizeof buf, "%d %d %d\n", s.face[i][0], s.face[i][1], s.face[i][2]);
    c.out << buf;
  }
}

const char* const kFiles = "surfaces and files";
const char* const kShape = "growth and shape (at the current vertex)";
const char* const kCopies = "copies and pastes";
const char* const kAnimation = "the mouse and the animation";
const char* const kInspection = "inspection";

std::vector<Command> make_table() {
  return {
      {kFiles, "sample", "N", "load built-in sample N (128 to 131)", 1, 1,
       [](Context& c, const Args& a) { ops::load_sample(c.s, int_arg(a, 0)); }},
      {kFiles, "open", "PATH", "replace the surface by a surface file", 1, 1,
       [](Context& c, const Args& a) {
         if (!refuse_stdin(c, a[0])) report(c, ops::open_file(c.s, a[0]));
       }},
      {kFiles, "append", "PATH", "add a surface file beside the surface", 1, 1,
       [](Context& c, const Args& a) {
         if (!refuse_stdin(c, a[0])) report_moved_by_hand(c, ops::append_file(c.s, a[0]));
       }},
      {kFiles, "save", "PATH", "write the surface to a file (overwrites; - is standard output)", 1,
       1,
       [](Context& c, const Args& a) {
         if (is_stdout(a[0]))
           c.out << surface_text(c.s) << std::flush;
         else
           report(c, ops::save_file(c.s, a[0]));
       }},
      {kFiles, "export", "PATH [--scale MM] [--format F]",
       "write the sheet as .obj, .ply or .stl (MM millimetres per model unit; F obj, ply or "
       "stl instead of the extension; - is standard output, for obj and ply)",
       1, 5,
       [](Context& c, const Args& a) {
         const MeshOptions o = mesh_options(a, 1);
         write_mesh(c, a[0], o, [&](MeshFormat f, std::string& out, std::string& err) {
           return surface_bytes(c.s, f, o.scale, out, err);
         });
         // Written all the same (a renderer does not mind), but a printer would.
         if (const int n = count_crossings(c.s))
           c.err << "line " << c.line << ": warning: the sheet crosses itself at " << n
                 << (n == 1 ? " place" : " places") << "\n";
       }},
      {kFiles, "export-solid", "PATH THICKNESS [--scale MM] [--format F]",
       "write a closed solid THICKNESS thick (in model units; an edge is about 0.85) "
       "for 3D printing",
       2, 6,
       [](Context& c, const Args& a) {
         const double thickness = double_arg(a, 1);
         if (!(thickness > 0)) throw UsageError{"the thickness must be a positive number"};
         const MeshOptions o = mesh_options(a, 2);
         SolidReport report;
         bool made = false;
         write_mesh(c, a[0], o, [&](MeshFormat f, std::string& out, std::string& err) {
           return made = solid_bytes(c.s, f, thickness, o.scale, out, err, &report);
         });
         // Where the wall had to thin, by how much; on standard error when the
         // solid itself goes to standard output.
         if (made && report.thinned > 0) {
           std::ostream& note = is_stdout(a[0]) ? c.err : c.out;
           note << "wall thinned at " << report.thinned << " of " << report.corners
                << " corners to keep the solid from crossing itself: thinnest "
                << report.thinnest_wall << " of " << thickness;
           if (report.pinched > 0)
             note << " (" << report.pinched << " border corners come to an edge)";
           note << "\n";
         }
       }},
      {kFiles, "undo", "", "undo the last change that took a snapshot", 0, 0,
       [](Context& c, const Args&) { report(c, ops::undo(c.s)); }},

      {kShape, "current", "V", "make vertex V the current vertex", 1, 1,
       [](Context& c, const Args& a) { report(c, ops::set_current(c.s, int_arg(a, 0))); }},
      {kShape, "grow", "", "add a cell at the current vertex", 0, 0,
       [](Context& c, const Args&) { report(c, ops::grow(c.s)); }},
      {kShape, "grow-border", "N", "grow N cells, each at the lowest vertex that takes one", 1, 1,
       [](Context& c, const Args& a) {
         const int n = int_arg(a, 0);
         if (n < 0) throw UsageError{"grow-border needs a count of 0 or more"};
         const int grown = grow_border(c.s, n);
         if (grown < n)
           c.refuse("only " + std::to_string(grown) + " of " + std::to_string(n) +
                    " cells could be grown");
       }},
      {kShape, "remove", "", "remove the current vertex with its edges and faces", 0, 0,
       [](Context& c, const Args&) { report(c, ops::remove(c.s)); }},
      {kShape, "pull", "", "pull the current vertex down by 0.3 and relax", 0, 0,
       [](Context& c, const Args&) { report(c, ops::pull(c.s)); }},
      {kShape, "relax", "", "relax the surface once (as after every change)", 0, 0,
       [](Context& c, const Args&) { ops::relax(c.s); }},
      {kShape, "spread", "", "open the creases once (one sweep)", 0, 0,
       [](Context& c, const Args&) { spread(c.s); }},

      {kCopies, "mirror", "", "mirror the surface, or only the highlighted components, in x", 0, 0,
       [](Context& c, const Args&) {
         ops::mirror(c.s);
         report_moved_by_hand(c, ops::done());
       }},
      {kCopies, "add-copy", "", "add a copy of the surface 2.0 along x", 0, 0,
       [](Context& c, const Args&) { report_moved_by_hand(c, ops::add_copy(c.s, false)); }},
      {kCopies, "add-mirror", "", "add a mirror image of the surface beside it", 0, 0,
       [](Context& c, const Args&) { report_moved_by_hand(c, ops::add_copy(c.s, true)); }},
      // What the window does when the pointer touched J, the left button went
      // down and came up again over I: J becomes the current vertex and, if the
      // pair passes the check, the paste starts. The ticks then carry it out.
      {kCopies, "paste", "I J", "start joining vertex I onto vertex J (run it with tick)", 2, 2,
       [](Context& c, const Args& a) {
         const int i = int_arg(a, 0), j = int_arg(a, 1);
         const ops::Result r = ops::set_current(c.s, j);
         report(c, r ? ops::start_paste(c.s, i, j) : r);
       }},

      {kAnimation, "touch", "V",
       "the pointer reaches vertex V with no button held (makes it current, starts its "
       "perturbation, stops a spin)",
       1, 1, [](Context& c, const Args& a) { report(c, ops::touch(c.s, int_arg(a, 0))); }},
      {kAnimation, "spin", "H V", "start a spin at H and V radians per tick (as a flick)", 2, 2,
       [](Context& c, const Args& a) { ops::start_spin(c.s, double_arg(a, 0), double_arg(a, 1)); }},
      {kAnimation, "highlight", "C",
       "highlight component C as a right press on it does; 0 clears all", 1, 1,
       [](Context& c, const Args& a) {
         const int comp = int_arg(a, 0);
         if (comp == 0)
           ops::clear_highlights(c.s);
         else
           report(c, ops::highlight(c.s, comp));
       }},
      {kAnimation, "perturbation", "", "switch touch perturbation on or off", 0, 0,
       [](Context& c, const Args&) {
         c.out << "touch perturbation " << (ops::toggle_touch_perturbation(c.s) ? "on" : "off")
               << "\n";
       }},
      {kAnimation, "keep-apart", "on|off",
       "keep the sheet apart: no relaxation, sway, paste, new cell, pull or wave passes it "
       "through itself",
       1, 1,
       [](Context& c, const Args& a) {
         if (a[0] != "on" && a[0] != "off") throw UsageError{"keep-apart: say on or off"};
         ops::keep_apart(c.s, a[0] == "on");
       }},
      {kAnimation, "sway", "K", "sway once (1), some (2) or many (3) times", 1, 1,
       [](Context& c, const Args& a) {
         static const ops::Sway kinds[] = {ops::Sway::Once, ops::Sway::Some, ops::Sway::Many};
         const int k = int_arg(a, 0);
         if (k < 1 || k > 3) throw UsageError{"sway: K must be 1, 2 or 3"};
         ops::sway(c.s, kinds[k - 1]);
       }},
      {kAnimation, "tick", "N", "run N timer ticks, each with the repaint's twinkle step", 1, 1,
       [](Context& c, const Args& a) {
         const int n = int_arg(a, 0);
         if (n < 0) throw UsageError{"tick: N must not be negative"};
         for (int i = 0; i < n; ++i) {
           timer_tick(c.s);
           twinkle_step(c.s);
         }
       }},
      {kAnimation, "zoom-to-fit", "[WIDTH HEIGHT]",
       "zoom and centre the view so that the whole surface shows in WIDTH x HEIGHT pixels "
       "(640 x 480), as the window's Zoom to fit does",
       0, 2,
       [](Context& c, const Args& a) {
         const PictureSize size = picture_size(a, 0, "zoom-to-fit");
         if (!zoom_to_fit(c.s, size.w, size.h)) c.refuse("nothing to fit");
       }},
      {kAnimation, "picture", "PATH [WIDTH HEIGHT]",
       "write what the window shows, without the status line, as .png or .svg: WIDTH x HEIGHT "
       "pixels (640 x 480) round the view's centre",
       1, 3,
       [](Context& c, const Args& a) {
         const PictureSize size = picture_size(a, 1, "picture");
         std::string err;
         if (!write_picture(c.s, a[0], size.w, size.h, err)) c.refuse(err);
       }},

      {kInspection, "components", "", "detect connected components", 0, 0,
       [](Context& c, const Args&) { ops::detect_components(c.s); }},
      {kInspection, "stats", "", "print the counts and the status line", 0, 0,
       [](Context& c, const Args&) { stats(c); }},
      {kInspection, "dump", "", "print every vertex, edge and face", 0, 0,
       [](Context& c, const Args&) { dump(c); }},
  };
}

}  // namespace

const std::vector<Command>& commands() {
  static const std::vector<Command> table = [] {
    std::vector<Command> t = make_table();
    for (Command& c : sheet_commands()) t.push_back(std::move(c));
    return t;
  }();
  return table;
}

}  // namespace brimoss::cli
