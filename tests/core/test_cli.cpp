#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

const char* kStats131 = "vertices 29 edges 72 faces 42 components 1\n";

}  // namespace

TEST(Cli, StatsOfTheStartingSurface) {
  const CliResult r = run_cli("stats\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(kStats131, 0), 0u) << r.out;
  EXPECT_EQ(r.err, "");
}

TEST(Cli, CommentsBlankLinesAndLineEnds) {
  const CliResult r =
      run_cli("# a comment\n\n   \n\tstats   # after a command\r\n  # indented\nstats");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::size_t n = 0;
  for (std::size_t i = 0; (i = r.out.find(kStats131, i)) != std::string::npos; ++i) ++n;
  EXPECT_EQ(n, 2u) << r.out;
}

TEST(Cli, ScriptFromAFileArgument) {
  const std::string script = temp_name("script");
  std::ofstream(script) << "sample 128\nstats\n";
  const CliResult r = run_cli("", {script});
  std::remove(script.c_str());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("vertices 8 edges 14 faces 7 components 1\n", 0), 0u) << r.out;

  const CliResult missing = run_cli("", {temp_name("no-such-script")});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("cannot open"), std::string::npos) << missing.err;
  EXPECT_EQ(run_cli("", {"a", "b"}).status, 2);
}

TEST(Cli, SaveOpenAppendUndoRoundTrip) {
  const std::string file = temp_name("surface.brm");
  const CliResult r = run_cli("sample 128\nsave " + file + "\nsample 130\nopen " + file +
                              "\nstats\nappend " + file + "\nstats\nundo\nstats\n");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "vertices 8 edges 14 faces 7 components 1\nstatus \n"
            "vertices 16 edges 28 faces 14 components 2\nstatus \n"
            "vertices 8 edges 14 faces 7 components 1\nstatus \n");
  auto s = make_store();
  ReadSampleData(*s, 128);
  EXPECT_EQ(slurp(file), surface_text(*s));
  std::remove(file.c_str());
}

TEST(Cli, RefusalsReportTheLineAndTheScriptGoesOn) {
  struct Case {
    const char* script;
    const char* err;  // the start of standard error
  };
  const std::string bad = temp_name("bad.brm");
  std::ofstream(bad) << "2\n0,0,0\n1,0,0\n1\n0,5,a\n0\n";
  const std::string open_bad = "\nopen " + bad + "\nstats\n";
  const Case cases[] = {
      {"current 29\nstats\n", "line 1: no vertex 29\n"},
      {"current -1\nstats\n", "line 1: no vertex -1\n"},
      {"undo\nstats\n", "line 1: nothing to undo\n"},
      {"\n\nopen /nonexistent/x.brm\nstats\n",
       "line 3: cannot open /nonexistent/x.brm: No such file or directory\n"},
      {open_bad.c_str(), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const CliResult r = run_cli(c.script);
    EXPECT_EQ(r.status, 1);
    if (c.err)
      EXPECT_EQ(r.err, c.err);
    else
      EXPECT_EQ(r.err,
                "line 2: " + bad +
                    ": line 5: edge 0: vertex index 5 is outside the vertex list (0 to 1)\n");
    // The next line still ran, on the surface as it was.
    EXPECT_EQ(r.out.rfind(kStats131, 0), 0u) << r.out;
  }
  std::remove(bad.c_str());
}

TEST(Cli, MalformedLinesStopTheScriptWithStatus2) {
  struct Case {
    const char* script;
    const char* err;
  };
  const Case cases[] = {
      {"stats\nfrobnicate\nstats\n", "line 2: unknown command 'frobnicate'"},
      {"stats\nopen\nstats\n", "line 2: open: missing argument"},
      {"stats\nstats now\nstats\n", "line 2: stats: too many arguments"},
      {"stats\ncurrent x\nstats\n", "line 2: 'x' is not a whole number"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    const CliResult r = run_cli(c.script);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
    EXPECT_EQ(r.out, std::string(kStats131) + "status \n");  // only the first line ran
  }
}

TEST(Cli, HelpListsTheCommands) {
  const CliResult r = run_cli("", {"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* name : {"sample N", "open PATH", "append PATH", "save PATH", "current V",
                           "relax", "undo", "components", "stats", "dump"})
    EXPECT_NE(r.out.find(std::string("\n  ") + name), std::string::npos) << name;

  // Grouped as a user reads them, loading first, each group once.
  std::size_t group_at = 0;
  for (const char* g : {"surfaces and files:", "growth and shape",
                        "copies and pastes:", "the mouse and the animation:", "inspection:"}) {
    const std::size_t h = r.out.find(std::string("\n") + g);
    ASSERT_NE(h, std::string::npos) << g;
    EXPECT_GT(h, group_at) << g;
    EXPECT_EQ(r.out.find(std::string("\n") + g, h + 1), std::string::npos) << g;
    group_at = h;
  }
  EXPECT_NE(r.out.find("surfaces and files:\n  sample N "), std::string::npos) << r.out;

  // In the table's order, each under its group's heading.
  std::size_t at = 0;
  for (const cli::Command& c : cli::commands()) {
    const std::size_t heading = r.out.find("\n" + c.group + ":\n");
    const std::size_t line = r.out.find("\n  " + c.name + " ", at);
    ASSERT_NE(line, std::string::npos) << c.name << " missing or out of order";
    EXPECT_LT(heading, line) << c.name;
    at = line;
  }
}

TEST(Cli, DumpPrintsEveryNumberExactly) {
  const CliResult r = run_cli("sample 129\ndump\n");
  ASSERT_EQ(r.status, 0) << r.err;
  auto s = make_store();
  ReadSampleData(*s, 129);
  std::istringstream in(r.out);
  std::string line;
  auto next_numbers = [&](int n) {
    std::vector<std::string> words;
    if (!std::getline(in, line)) return words;
    std::istringstream w(line);
    for (std::string t; w >> t;) words.push_back(t);
    EXPECT_EQ(static_cast<int>(words.size()), n) << line;
    return words;
  };
  for (int i = 0; i < s->NOV; ++i) {
    const auto w = next_numbers(3);
    ASSERT_EQ(w.size(), 3u);
    // %.17g: read back, every coordinate is the same double.
    EXPECT_EQ(std::strtod(w[0].c_str(), nullptr), s->x[i]);
    EXPECT_EQ(std::strtod(w[1].c_str(), nullptr), s->y[i]);
    EXPECT_EQ(std::strtod(w[2].c_str(), nullptr), s->z[i]);
  }
  for (int l = 0; l < s->NOE; ++l) {
    const auto w = next_numbers(3);
    ASSERT_EQ(w.size(), 3u);
    EXPECT_EQ(std::stoi(w[0]), s->edge[l].first);
    EXPECT_EQ(std::stoi(w[1]), s->edge[l].second);
    EXPECT_EQ(std::strtod(w[2].c_str(), nullptr), s->phi[l]);
  }
  for (int f = 0; f < s->NOS; ++f) {
    const auto w = next_numbers(3);
    ASSERT_EQ(w.size(), 3u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(std::stoi(w[k]), s->face[f][k]);
  }
  EXPECT_FALSE(std::getline(in, line)) << "more lines than vertices, edges and faces";
  EXPECT_NE(r.out.find("0.80901699427094587\n"), std::string::npos);  // 17 digits
}

// Bare vertices appended to a relaxed surface lie on no edge: the relaxation
// that follows the append must leave them exactly where the file and the
// shift beside the surface put them.
TEST(Cli, AppendedVerticesWithoutEdgesStayPut) {
  const std::string pts = temp_name("pts3.brm");
  std::ofstream(pts) << "3\n0,0,0\n1,0,0\n0,1,0\n0\n0\n";
  const CliResult r = run_cli("sample 128\nappend " + pts + "\ndump\n");
  std::remove(pts.c_str());
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream in(r.out);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 11u + 14u + 7u) << r.out;
  EXPECT_EQ(lines[8], "3 0 0");
  EXPECT_EQ(lines[9], "4 0 0");
  EXPECT_EQ(lines[10], "3 1 0");
}

// "-" as a path: the text formats go to standard output, byte for byte what
// the same command writes to a file; nothing is read from standard input
// (the script may be coming from there), and STL, being binary, is refused.
// No file named "-" is left behind either way.
TEST(Cli, DashIsStandardOutputForText) {
  ASSERT_FALSE(std::ifstream("-").good()) << "a file named - is in the way";
  struct Written {
    const char* to_stdout;  // the command with "-"
    const char* to_file;    // the same command with a file, "F" for its name
    const char* file;
  };
  const Written written[] = {
      {"save -", "save F", "dash.brm"},
      {"export - --format obj", "export F", "dash.obj"},
      {"export - --format ply --scale 10", "export F --scale 10", "dash.ply"},
      {"export - --scale 10 --format ply", "export F --format ply --scale 10", "dash.txt"},
      {"export-solid - 0.1 --format obj", "export-solid F 0.1", "dash_solid.obj"},
  };
  for (const Written& w : written) {
    SCOPED_TRACE(w.to_stdout);
    const std::string file = temp_name(w.file);
    std::string to_file = w.to_file;
    to_file.replace(to_file.find('F'), 1, file);
    const CliResult r = run_cli(std::string("sample 128\n") + w.to_stdout + "\n");
    const CliResult f = run_cli("sample 128\n" + to_file + "\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(f.status, 0) << f.err;
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(r.out.empty());
    EXPECT_EQ(r.out, slurp(file));
    std::remove(file.c_str());
  }
  auto s = make_store();
  ReadSampleData(*s, 128);
  EXPECT_EQ(run_cli("sample 128\nsave -\n").out, surface_text(*s));

  struct Refused {
    const char* command;
    const char* reason;
  };
  const Refused refused[] = {
      {"open -", "cannot read a surface from standard input ('-')"},
      {"append -", "cannot read a surface from standard input ('-')"},
      {"export -", "writing to standard output ('-') needs --format obj or --format ply"},
      {"export - --format stl", "STL is binary and is not written to standard output ('-')"},
      {"export-solid - 0.1 --format stl",
       "STL is binary and is not written to standard output ('-')"},
  };
  for (const Refused& c : refused) {
    SCOPED_TRACE(c.command);
    const CliResult r = run_cli(std::string("sample 128\n") + c.command + "\nstats\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind(std::string("line 2: ") + c.reason, 0), 0u) << r.err;
    // Nothing written, the surface as it was, and the script went on.
    EXPECT_EQ(r.out, "vertices 8 edges 14 faces 7 components 1\nstatus \n");
  }
  for (const char* bad : {"export - --format jpg", "export - --format obj --format ply",
                          "export - --format", "export-solid - 0.1 --scale 2 --scale 3"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(run_cli(std::string(bad) + "\n").status, 2);
  }
  EXPECT_FALSE(std::ifstream("-").good());
}
