// Whether the surface has changes no file holds: what the window asks about
// before it drops the sheet.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "testing/fixtures.h"

using namespace brimoss;

namespace {

std::unique_ptr<Store> start_up() {
  auto s = make_store();
  initialize_store(*s);
  s->g_purtj = 0;
  return s;
}

std::string temp_file(const std::string& text) {
  char name[] = "/tmp/brimoss-unsaved-XXXXXX";
  const int fd = mkstemp(name);
  EXPECT_GE(fd, 0);
  close(fd);
  std::string err;
  EXPECT_TRUE(write_file_atomically(name, text, err)) << err;
  return name;
}

}  // namespace

TEST(Unsaved, CommandsCarriedOutChangeTheSheetRefusedAndViewOnesDoNot) {
  const std::string file = temp_file(sample_as_file_text(129));
  struct Case {
    const char* what;
    std::function<void(Store&)> run;
    bool changes;
  };
  const Case cases[] = {
      {"Add new cells", [](Store& s) { ASSERT_TRUE(ops::grow(s)); }, true},
      {"Remove some cells", [](Store& s) { ASSERT_TRUE(ops::remove(s)); }, true},
      {"Pull one point", [](Store& s) { ASSERT_TRUE(ops::pull(s)); }, true},
      {"Mirror image", [](Store& s) { ops::mirror(s); }, true},
      {"Add copy image", [](Store& s) { ASSERT_TRUE(ops::add_copy(s, false)); }, true},
      {"Sway once", [](Store& s) { ops::sway(s, ops::Sway::Once); }, true},
      {"Open and append", [&](Store& s) { ASSERT_TRUE(ops::append_file(s, file)); }, true},
      {"a paste gesture",
       [](Store& s) {
         // The first pair the paste takes; the refused ones before it change
         // nothing.
         bool started = false;
         for (int i = 0; i < s.NOV && !started; ++i)
           for (int j = 0; j < s.NOV && !started; ++j) started = bool(ops::start_paste(s, i, j));
         ASSERT_TRUE(started);
       },
       true},
      {"Undo after a growth",
       [](Store& s) {
         ASSERT_TRUE(ops::grow(s));
         s.edits_saved = s.edits;
         ASSERT_TRUE(ops::undo(s));
       },
       true},
      {"Grow sheet", [](Store& s) { EXPECT_GT(ops::grow_sheet(s, 2).cells, 0); }, true},
      {"a refused growth",
       [](Store& s) {
         s.g_purtj = 999;
         ASSERT_FALSE(ops::grow(s));
       },
       false},
      {"a refused undo", [](Store& s) { ASSERT_FALSE(ops::undo(s)); }, false},
      {"a refused open", [](Store& s) { ASSERT_FALSE(ops::open_file(s, "/nonexistent.brm")); },
       false},
      {"zoom, spin, touch, highlight, components",
       [](Store& s) {
         ops::zoom_in(s);
         ops::default_size(s);
         ops::start_spin(s, 0.1, 0.1);
         ASSERT_TRUE(ops::touch(s, 3));
         ops::detect_components(s);
         ops::set_colour(s, ops::ColourSetting::Background, 1, 2, 3);
         ops::toggle_touch_perturbation(s);
       },
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = start_up();
    ASSERT_FALSE(ops::has_unsaved_edits(*s)) << "the start-up sheet is as loaded";
    c.run(*s);
    EXPECT_EQ(ops::has_unsaved_edits(*s), c.changes);
  }
  std::remove(file.c_str());
}

TEST(Unsaved, OpeningLoadingOrSavingMakesTheSheetTheFilesAgain) {
  const std::string file = temp_file(sample_as_file_text(130));
  struct Case {
    const char* what;
    std::function<void(Store&)> run;
  };
  const Case cases[] = {
      {"Open", [&](Store& s) { ASSERT_TRUE(ops::open_file(s, file)); }},
      {"Open Samples", [](Store& s) { ops::load_sample(s, 129); }},
      {"Save", [](Store& s) { ops::mark_saved(s, s.edits); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = start_up();
    ASSERT_TRUE(ops::grow(*s));
    ASSERT_TRUE(ops::has_unsaved_edits(*s));
    c.run(*s);
    EXPECT_FALSE(ops::has_unsaved_edits(*s));
    ops::mirror(*s);
    EXPECT_TRUE(ops::has_unsaved_edits(*s)) << "and the next change counts again";
  }
  // A save of the text composed before a change leaves that change unsaved.
  auto s = start_up();
  const unsigned composed = s->edits;
  ASSERT_TRUE(ops::grow(*s));
  ops::mark_saved(*s, composed);
  EXPECT_TRUE(ops::has_unsaved_edits(*s));
  std::remove(file.c_str());
}
