#include "ops/load.h"

#include "model/components.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "sim/relax.h"

namespace brimoss {

namespace {

// What every load ends with: the user sees the new surface at rest, labelled,
// and twinkling once.
void settle_loaded(Store& s) {
  modify(s);
  fill_conn_comp(s);
  s.g_twincle = 1;
}

bool load_text(Store& s, std::string_view text, bool append, std::string& err) {
  ParsedSurface p;
  if (!parse_for_store(s, text, append, p, err)) return false;
  end_paste(s);
  if (append) makecopy(s);
  commit_surface(s, p, append);
  settle_loaded(s);
  return true;
}

bool load_file(Store& s, const std::string& path, bool append, std::string& err) {
  std::string text;
  if (!read_whole_file(path, text, err)) return false;
  if (load_text(s, text, append, err)) return true;
  err = path + ": " + err;
  return false;
}

}  // namespace

int ReadSampleData(Store& s, int n) {
  if (!load_sample_surface(s, n)) return 1;
  // Twice: a sample is written far enough from rest that one relaxation
  // leaves it visibly crumpled.
  modify(s);
  settle_loaded(s);
  s.NOcomp = 1;
  return 1;
}

void initialize_store(Store& s) {
  s.undo.nov = 0;
  s.g_centerx = 320;
  s.g_centery = 220;
  ReadSampleData(s, 131);
  s.NOcomp = 1;
  s.messagetxt[0] = '\0';
  s.hilighted.fill(false);
}

bool open_surface_text(Store& s, std::string_view text, std::string& err) {
  return load_text(s, text, false, err);
}

bool append_surface_text(Store& s, std::string_view text, std::string& err) {
  return load_text(s, text, true, err);
}

bool open_surface_file(Store& s, const std::string& path, std::string& err) {
  return load_file(s, path, false, err);
}

bool append_surface_file(Store& s, const std::string& path, std::string& err) {
  return load_file(s, path, true, err);
}

}  // namespace brimoss
