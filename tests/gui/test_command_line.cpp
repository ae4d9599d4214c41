// The program's arguments: how they are read, what the program answers
// without a window, and a file named on the command line opened at start-up.
#include <sys/wait.h>
#include <unistd.h>
#include <wx/filename.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/cmdline.h"
#include "gui_util.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "testing/workloads.h"
#include "view/draw.h"

using brimoss::app::CommandLine;
using brimoss::app::parse_command_line;

TEST(CommandLine, ArgumentsAreReadAsTheyAreMeant) {
  using A = CommandLine::Action;
  const struct {
    std::vector<std::string> args;
    A action;
    std::string file;
  } cases[] = {
      {{}, A::Run, ""},
      {{"a.brm"}, A::Run, "a.brm"},
      {{"/some/dir/a b.brm"}, A::Run, "/some/dir/a b.brm"},
      {{"-"}, A::Run, "-"},
      {{"--", "-odd.brm"}, A::Run, "-odd.brm"},
      {{"--help"}, A::Help, ""},
      {{"-h"}, A::Help, ""},
      {{"a.brm", "--help"}, A::Help, ""},
      {{"--version"}, A::Version, ""},
      {{"--version", "--help"}, A::Help, ""},
      {{"--bogus"}, A::Error, ""},
      {{"-x", "a.brm"}, A::Error, ""},
      {{"a.brm", "b.brm"}, A::Error, ""},
      {{"--", "--help"}, A::Run, "--help"},
      {{""}, A::Error, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& a : c.args) shown += "[" + a + "]";
    SCOPED_TRACE(shown);
    const CommandLine got = parse_command_line(c.args);
    EXPECT_EQ(got.action, c.action);
    EXPECT_EQ(got.file, c.file);
    EXPECT_EQ(got.error.empty(), c.action != A::Error);
  }
}

namespace {

struct Ran {
  int status = -1;
  std::string out, err;
};

// Runs the program with `args` (shell words) and no display at all.
Ran RunProgram(const std::string& args) {
  char errName[] = "/tmp/brimoss-cmdline-XXXXXX";
  const int fd = mkstemp(errName);
  EXPECT_GE(fd, 0);
  close(fd);
  const std::string cmd =
      "env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 " BRIMOSS_APP " " + args + " 2>" + errName;
  Ran r;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  std::ifstream e(errName);
  r.err.assign(std::istreambuf_iterator<char>(e), {});
  std::remove(errName);
  return r;
}

}  // namespace

TEST(CommandLine, HelpVersionAndMistakesAnswerWithoutAWindow) {
  const Ran help = RunProgram("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out, brimoss::app::usage_text());
  EXPECT_EQ(help.err, "");

  const Ran version = RunProgram("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("brimoss ", 0), 0u) << version.out;
  EXPECT_EQ(version.out.find("unknown"), std::string::npos) << version.out;

  const Ran bad = RunProgram("--bogus");
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.out, "");
  EXPECT_NE(bad.err.find("--bogus"), std::string::npos) << bad.err;
  EXPECT_NE(bad.err.find(brimoss::app::usage_text()), std::string::npos) << bad.err;
}

class StartupFileTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame->m_canvas->m_timer.Stop();
    char tmpl[] = "/tmp/brimoss-startfile-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
    WindowTest::TearDown();
  }
  std::string dir;
};

TEST_F(StartupFileTest, FileOnTheCommandLineIsOpenedAfterTheStartupSample) {
  const std::string startup = brimoss::surface_text(s());
  {
    NoDialogs none;
    OpenStartupFile(frame, {});
  }
  EXPECT_EQ(brimoss::surface_text(s()), startup) << "no file: sample 131 stays";

  const std::string path = dir + "/cell.brm";
  std::ofstream(path) << brimoss::sample_as_file_text(128);
  {
    NoDialogs none;
    OpenStartupFile(frame, {path});
  }
  EXPECT_EQ(s().NOV, 8);
  EXPECT_EQ(s().NOS, 7);
  EXPECT_EQ(s().undo.nov, 0) << "opening takes no snapshot";
}

TEST_F(StartupFileTest, RefusedFileIsReportedOverTheWindowOnceItIsOnTheScreen) {
  // The window has only just been shown, as in the program's start-up: under a
  // window manager, a box shown now would have no window on the screen to
  // centre on and would land in the screen's corner.
  const std::string startup = brimoss::surface_text(s());
  for (const std::string name : {"bad.brm", "missing.brm"}) {
    SCOPED_TRACE(name);
    const std::string path = dir + "/" + name;
    if (name == "bad.brm") std::ofstream(path) << "hello\n";
    auto box = std::make_shared<SeenMessage>();
    wxTEST_DIALOG(
        {
          OpenStartupFile(frame, {path});
          EXPECT_FALSE(box->shown) << "the box waits for the event loop";
          EXPECT_EQ(brimoss::surface_text(s()), startup);
          EXPECT_TRUE(Pump([box] { return box->shown; }, 5000));
        },
        ExpectMessage(box, wxID_OK));
    EXPECT_EQ(box->message.BeforeFirst('\n'), "The surface was not opened.");
    EXPECT_TRUE(box->style & wxICON_ERROR);
    EXPECT_EQ(wxGetTopLevelParent(box->parent), frame);
    EXPECT_TRUE(box->parentOnScreen);
    EXPECT_EQ(brimoss::surface_text(s()), startup);
    PumpFor(30);
  }
}

TEST_F(StartupFileTest, FileOnTheCommandLineOpensFittedToTheWindow) {
  // A full sheet overflows the window at the default zoom.
  auto sheet = brimoss::make_store();
  brimoss::initialize_store(*sheet);
  brimoss::testing::build_sewn_sheet(*sheet);
  const std::string path = dir + "/full.brm";
  std::ofstream(path) << brimoss::surface_text(*sheet);
  {
    NoDialogs none;
    OpenStartupFile(frame, {path});
  }
  ShowAndSettle();
  frame->m_canvas->Refresh(false);
  frame->m_canvas->Update();
  PumpFor(50);
  ASSERT_EQ(s().NOV, sheet->NOV);
  EXPECT_LT(s().g_rate, 100.0);
  const wxSize c = frame->m_canvas->GetClientSize();
  brimoss::project(s());
  int x0 = c.x, x1 = 0, y0 = c.y, y1 = 0;
  for (int v = 0; v < s().NOV; ++v) {
    x0 = std::min(x0, s().gx[v]);
    x1 = std::max(x1, s().gx[v]);
    y0 = std::min(y0, s().gy[v]);
    y1 = std::max(y1, s().gy[v]);
  }
  EXPECT_GE(x0, 0);
  EXPECT_LT(x1, c.x);
  EXPECT_GE(y0, 0);
  EXPECT_LT(y1, c.y);
  // Fitted, not merely small: it spans most of the canvas one way.
  EXPECT_TRUE(x1 - x0 > c.x * 3 / 4 || y1 - y0 > c.y * 3 / 4)
      << x1 - x0 << " x " << y1 - y0 << " in " << c.x << " x " << c.y;
}

TEST(RealProgram, StartsUnderAWindowManagerWithNothingOnStandardError) {
  // Only under a window manager does the toolkit wait for the manager's
  // borders before the first show; openbox is the one the setup installs.
  if (std::system("command -v openbox >/dev/null") != 0) GTEST_SKIP() << "openbox not installed";
  char errName[] = "/tmp/brimoss-start-XXXXXX";
  const int fd = mkstemp(errName);
  ASSERT_GE(fd, 0);
  close(fd);
  const std::string cmd = std::string("openbox --sm-disable >/dev/null 2>&1 & wm=$!; sleep 1; ") +
                          "timeout 4 " BRIMOSS_APP " 2>" + errName + "; kill $wm; wait $wm";
  std::system(cmd.c_str());
  std::ifstream e(errName);
  const std::string err(std::istreambuf_iterator<char>(e), {});
  std::remove(errName);
  EXPECT_EQ(err.find("CRITICAL"), std::string::npos) << err;
  EXPECT_EQ(err.find("Gtk-WARNING"), std::string::npos) << err;
}
