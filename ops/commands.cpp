#include "ops/commands.h"

#include "copy/mirror.h"
#include "copy/paste.h"
#include "model/components.h"
#include "model/crossings.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/contacts.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/remove.h"

namespace brimoss::ops {

namespace {

std::string no_vertex(int v, const char* what) { return "no vertex " + std::to_string(v) + what; }

Result from_error(bool ok, std::string& err) { return ok ? done() : refused(std::move(err)); }

// A command carried out has changed the surface; a refused one changed nothing.
Result edited(Store& s, Result r) {
  if (r) ++s.edits;
  return r;
}

}  // namespace

bool has_unsaved_edits(const Store& s) { return s.edits != s.edits_saved; }

void mark_saved(Store& s, unsigned edits) { s.edits_saved = edits; }

void load_sample(Store& s, int n) {
  ReadSampleData(s, n);
  s.edits_saved = s.edits;
}

Result open_file(Store& s, const std::string& path) {
  std::string err;
  const Result r = from_error(open_surface_file(s, path, err), err);
  if (r) s.edits_saved = s.edits;
  return r;
}

Result append_file(Store& s, const std::string& path) {
  std::string err;
  return edited(s, from_error(append_surface_file(s, path, err), err));
}

Result save_file(const Store& s, const std::string& path) {
  std::string err;
  return from_error(save_surface_file(s, path, err), err);
}

Result undo(Store& s) {
  if (s.undo.empty()) return refused("nothing to undo");
  undopaste(s);
  return edited(s, done());
}

Result set_current(Store& s, int v) {
  if (v < 0 || v >= s.NOV) return refused(no_vertex(v, ""));
  s.g_purtj = v;
  return done();
}

Result grow(Store& s) {
  if (addnewpolygon(s)) return edited(s, done());
  return refused(why_no_cell(s, s.g_purtj));
}

Result remove(Store& s) {
  if (removevertex(s)) return edited(s, done());
  return refused(no_vertex(s.g_purtj, " to remove"));
}

Result pull(Store& s) {
  if (pullpoint(s)) return edited(s, done());
  return refused(no_vertex(s.g_purtj, " to pull"));
}

void relax(Store& s) { modify(s); }

void sway(Store& s, Sway how) {
  s.g_buru = static_cast<int>(how);
  ++s.edits;
}

bool toggle_touch_perturbation(Store& s) {
  s.touch_purturb = !s.touch_purturb;
  return s.touch_purturb;
}

void mirror(Store& s) {
  mirror_image(s);
  ++s.edits;
}
void keep_apart(Store& s, bool on) {
  if (on != s.apart.on) set_keep_apart(s, on);
}

bool keeps_apart(const Store& s) { return s.apart.on; }

bool keep_apart_for_growth(Store& s) {
  if (!s.apart.on && !any_crossing(s)) keep_apart(s, true);
  return s.apart.on;
}

std::string crossings_left_by_hand(const Store& s) {
  if (!s.apart.on) return {};
  const int n = count_crossings(s);
  if (n == 0) return {};
  // Short enough for the status bar's field at the window's first size; the
  // guide says that keeping apart leaves it so.
  return "the sheet now crosses itself at " + std::to_string(n) + (n == 1 ? " place" : " places");
}

Result add_copy(Store& s, bool mirrored) {
  if (const char* why = copy_refusal(s)) return refused(why);
  if (!brimoss::add_copy(s, mirrored)) return refused("the copy could not be added");
  return edited(s, done());
}

Result start_paste(Store& s, int i, int j) {
  PasteCheck why = PasteCheck::ok;
  if (brimoss::start_paste(s, i, j, &why)) return edited(s, done());
  return refused("cannot join " + std::to_string(i) + " to " + std::to_string(j) + ": " +
                 paste_check_text(why));
}

Result touch(Store& s, int v) {
  if (v < 0 || v >= s.NOV) return refused(no_vertex(v, ""));
  if (s.g_Lmousedown || s.g_Rmousedown || v == s.g_purtj) return done();
  s.g_purtj = v;
  if (s.touch_purturb) s.g_purturb = 1;
  s.g_rotate = 0;
  return done();
}

void start_spin(Store& s, double h, double v) {
  s.g_hangle = h;
  s.g_vangle = v;
  s.g_rotate = 1;
  s.g_purturb = 0;
}

Result highlight(Store& s, int c) {
  if (c < 0 || c >= MAXCONNCOMP) return refused("no component number " + std::to_string(c));
  s.hilighted[c] = true;
  return done();
}

void clear_highlights(Store& s) { s.hilighted.fill(false); }

void detect_components(Store& s) {
  fill_conn_comp(s);
  fill_center_conn_comp(s);
}

void zoom_in(Store& s) {
  if (s.g_rate < 400.0) s.g_rate *= 1.25;
}

void zoom_out(Store& s) {
  if (s.g_rate > 25.0) s.g_rate /= 1.25;
}

void default_size(Store& s) {
  s.g_rate = 100.0;
  offsetpolygon(s);
}

void set_colour(Store& s, ColourSetting which, int r, int g, int b) {
  switch (which) {
    case ColourSetting::FaceForeground:
      s.basecolR = r;
      s.basecolG = g;
      s.basecolB = b;
      // The mark colour turns the channels round and dims them, so the faces
      // at the current vertex stand out against any front colour.
      s.modifycolR = b / 2;
      s.modifycolG = r / 2;
      s.modifycolB = g / 2;
      break;
    case ColourSetting::FaceBackground:
      s.backcolR = r;
      s.backcolG = g;
      s.backcolB = b;
      s.backmodifycolR = b;
      s.backmodifycolG = r;
      s.backmodifycolB = g;
      break;
    case ColourSetting::Background:
      s.bgcolR = r;
      s.bgcolG = g;
      s.bgcolB = b;
      break;
  }
}

}  // namespace brimoss::ops
