#include <gtest/gtest.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "model/invariants.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;
namespace fs = std::filesystem;

namespace {

void spit(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::unique_ptr<Store> sample(int n) {
  auto s = make_store();
  ReadSampleData(*s, n);
  return s;
}

std::string replace_all(std::string t, const std::string& from, const std::string& to) {
  for (std::size_t i = 0; (i = t.find(from, i)) != std::string::npos; i += to.size())
    t.replace(i, from.size(), to);
  return t;
}

// A store with exactly 100 vertices, 300 edges and 200 faces in one piece.
std::unique_ptr<Store> store_100_300_200() {
  auto s = make_store();
  s->NOV = 100;
  for (int i = 0; i < 100; ++i) {
    s->x[i] = std::cos(i * 0.3) * (1 + i * 0.05);
    s->y[i] = std::sin(i * 0.3) * (1 + i * 0.05);
    s->z[i] = 0.01 * i;
  }
  for (int d = 1; d <= 3; ++d)
    for (int i = 0; i < 100; ++i) {
      const int j = (i + d) % 100;
      s->edge[s->NOE] = {std::min(i, j), std::max(i, j)};
      s->phi[s->NOE++] = d == 1 ? phi_a() : phi_b();
    }
  for (int i = 0; i < 200; ++i) s->face[s->NOS++] = Face{{i % 100, (i + 1) % 100, (i + 2) % 100}};
  return s;
}

}  // namespace

// ---------------------------------------------------------------- writing

TEST(SurfaceFileWrite, ExactBytes) {
  auto empty = make_store();
  EXPECT_EQ(surface_text(*empty), "0\n0\n0\n");

  auto s_p = make_store();

  Store& s = *s_p;
  s.NOV = 3;
  s.x[0] = 1, s.y[0] = -0.5, s.z[0] = 0;
  s.x[1] = -0.000001, s.y[1] = 2.5, s.z[1] = -0.0;
  s.x[2] = 123456.789, s.y[2] = 0.000005, s.z[2] = -1e-300;
  s.NOE = 5;
  s.edge[0] = {3, 7}, s.phi[0] = phi_b();
  s.edge[1] = {0, 1}, s.phi[1] = 0.87;
  s.edge[2] = {1, 0}, s.phi[2] = 0.86;
  s.edge[3] = {1, 2}, s.phi[3] = phi_split();  // exactly the threshold: b
  s.edge[4] = {2, 2}, s.phi[4] = std::numeric_limits<double>::quiet_NaN();
  s.NOS = 1;
  s.face[0] = Face{{2, 0, 1}};
  EXPECT_EQ(surface_text(s),
            "3\n"
            "1.00000,-0.50000,0.00000\n"
            "-0.00000,2.50000,-0.00000\n"
            "123456.78900,0.00001,-0.00000\n"
            "5\n3,7,b\n0,1,b\n1,0,a\n1,2,b\n2,2,b\n"
            "1\n2,0,1\n");
}

TEST(SurfaceFileWrite, CoordinatesAsPrintfWritesThemAtAnyMagnitude) {
  // printf in the C locale is the definition of the format; the writer must
  // agree with it everywhere, roundings and huge values included.
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  Jitter r{77};
  std::vector<double> values = {
      0.000005, 0.000015, 2.675,    -2.675,  0.125, 1e15 + 0.3, -1.7976931348623157e308,
      5e-324,   1e22,     0.999995, 1.000005};
  for (int i = 0; i < 2000; ++i) values.push_back(r.next() * std::pow(10.0, i % 12 - 4));
  for (double v : values) {
    auto s_p = make_store();
    Store& s = *s_p;
    s.NOV = 1;
    s.x[0] = s.y[0] = s.z[0] = v;
    char want[1200];
    std::snprintf(want, sizeof want, "1\n%.5f,%.5f,%.5f\n0\n0\n", v, v, v);
    ASSERT_EQ(surface_text(s), want) << v;
  }
}

TEST(SurfaceFileWrite, DoesNotDependOnTheLocale) {
  auto s = sample(131);
  s->x[0] = -1234.5;
  const std::string in_c = surface_text(*s);
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE", "fr_FR"};
  const char* got = nullptr;
  for (const char* n : names)
    if ((got = std::setlocale(LC_ALL, n))) break;
  if (!got) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");
  const std::string in_de = surface_text(*s);
  // Reading under that locale too.
  auto t = make_store();
  std::string err;
  const bool opened = open_surface_text(*t, in_c, err);
  auto u = make_store();
  std::setlocale(LC_ALL, "C");
  ASSERT_TRUE(opened) << err;
  ASSERT_TRUE(open_surface_text(*u, in_c, err)) << err;
  EXPECT_EQ(in_de, in_c);
  EXPECT_NE(in_c.find("-1234.50000,"), std::string::npos);
  EXPECT_TRUE(same_store(*t, *u));
}

// ---------------------------------------------------------------- reading

TEST(SurfaceFileRead, CrLfAndMissingFinalLineFeedReadTheSame) {
  const std::string lf = sample_as_file_text(131);
  auto ref = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*ref, lf, err)) << err;
  const std::string variants[] = {
      replace_all(lf, "\n", "\r\n"), lf.substr(0, lf.size() - 1),  // no final line feed
      lf + "trailing words\n1,2,3\nanything",                      // ignored after the faces
      replace_all(replace_all(lf, ",", "\t,"), "\n", " \n"),       // blanks after each field
  };
  for (const std::string& v : variants) {
    SCOPED_TRACE(v.substr(0, 30));
    auto s = make_store();
    EXPECT_TRUE(open_surface_text(*s, v, err)) << err;
    EXPECT_TRUE(same_store(*s, *ref));
  }
}

TEST(SurfaceFileRead, OnlyALowerCaseAIsKindA) {
  struct Case {
    const char* token;
    bool kind_a;
  };
  const Case cases[] = {{"a", true},  {"abc", true}, {"a\r", true}, {"b", false},  {"B", false},
                        {"A", false}, {"x", false},  {"", false},   {" a", false}, {"1", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.token);
    ParsedSurface p;
    std::string err;
    ASSERT_TRUE(
        parse_surface(std::string("2\n0,0,0\n1,0,0\n1\n0,1,") + c.token + "\n0\n", '\n', p, err))
        << err;
    EXPECT_EQ(p.phi[0], c.kind_a ? phi_a() : phi_b());
    EXPECT_EQ(p.phi[0], c.kind_a ? 0.8090169942709459 : 0.8910065240946518);
  }
}

TEST(SurfaceFileRead, NumbersInTheFormsTheCConversionsAccept) {
  ParsedSurface p;
  std::string err;
  ASSERT_TRUE(parse_surface("+2\n+1.5,-.25,1e-3\n1.,0,-0\n1\n+0,1,b\n0\n", '\n', p, err)) << err;
  EXPECT_EQ(p.x[0], 1.5);
  EXPECT_EQ(p.y[0], -0.25);
  EXPECT_EQ(p.z[0], 0.001);
  EXPECT_EQ(p.x[1], 1.0);
  EXPECT_EQ(p.edge[0], (Edge{0, 1}));
}

TEST(SurfaceFileRead, ReversedEdgesStayReversed) {
  auto s = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*s, "3\n0,0,0\n1,0,0\n0,1,0\n2\n1,0,a\n1,2,b\n0\n", err)) << err;
  EXPECT_EQ(s->edge[0], (Edge{1, 0}));
  EXPECT_EQ(s->edge[1], (Edge{1, 2}));
}

TEST(SurfaceFileRead, EverySampleRoundTrips) {
  for (int n : {128, 129, 130, 131}) {
    SCOPED_TRACE(n);
    auto s = sample(n);
    s->x[2] = -0.000001;  // and a coordinate that rounds to minus zero
    const std::string text = surface_text(*s);
    ParsedSurface p;
    std::string err;
    ASSERT_TRUE(parse_surface(text, '\n', p, err)) << err;
    ASSERT_EQ(p.nov(), s->NOV);
    ASSERT_EQ(p.noe(), s->NOE);
    ASSERT_EQ(p.nos(), s->NOS);
    for (int i = 0; i < s->NOV; ++i) {
      EXPECT_NEAR(p.x[i], s->x[i], 5e-6);
      EXPECT_NEAR(p.y[i], s->y[i], 5e-6);
      EXPECT_NEAR(p.z[i], s->z[i], 5e-6);
    }
    for (int l = 0; l < s->NOE; ++l) {
      EXPECT_EQ(p.edge[l], s->edge[l]);
      EXPECT_EQ(p.phi[l], s->phi[l]);
    }
    for (int f = 0; f < s->NOS; ++f) EXPECT_EQ(p.face[f], s->face[f]);
    // Written again, the text is the same.
    auto t = make_store();
    commit_surface(*t, p, false);
    EXPECT_EQ(surface_text(*t), text);
  }
}

TEST(SurfaceFileRead, OpenReplacesRelaxesLabelsAndLeavesTheSnapshot) {
  auto s = sample(131);
  makecopy(*s);
  auto snap = byte_copy(*s);
  s->g_twincle = 0;
  s->hilighted[1] = true;
  std::string err;
  ASSERT_TRUE(open_surface_text(*s, sample_as_file_text(128), err)) << err;
  EXPECT_EQ(s->NOV, 8);
  EXPECT_EQ(s->g_twincle, 1);
  EXPECT_FALSE(s->hilighted[1]);
  EXPECT_EQ(s->NOcomp, 2);
  EXPECT_NE(s->x[0], 1.0);  // relaxed
  EXPECT_EQ(s->undo.nov, snap->undo.nov);
  EXPECT_EQ(std::memcmp(&s->undo.x, &snap->undo.x, sizeof s->undo.x), 0);
  EXPECT_EQ(std::memcmp(&s->undo.edge, &snap->undo.edge, sizeof s->undo.edge), 0);
  EXPECT_EQ(std::memcmp(&s->undo.face, &snap->undo.face, sizeof s->undo.face), 0);
}

// ---------------------------------------------------------------- appending

TEST(SurfaceFileAppend, GoesAfterTheSurfaceShiftedAlongX) {
  auto s = store_100_300_200();
  ParsedSurface p;
  std::string err;
  ASSERT_TRUE(parse_surface(sample_as_file_text(128), '\n', p, err)) << err;
  // Before the relaxation: where the file's items land.
  auto placed = byte_copy(*s);
  commit_surface(*placed, p, true);
  EXPECT_EQ(placed->NOV, 108);
  EXPECT_EQ(placed->NOE, 314);
  EXPECT_EQ(placed->NOS, 207);
  EXPECT_EQ(placed->edge[300], (Edge{100, 101}));
  EXPECT_EQ(placed->phi[300], phi_a());
  EXPECT_EQ(placed->x[100], 4.0);
  EXPECT_EQ(placed->y[100], 0.0);
  EXPECT_EQ(placed->z[100], 0.1);
  EXPECT_EQ(placed->face[200], (Face{{100, 101, 107}}));
  for (int i = 0; i < 100; ++i) ASSERT_EQ(placed->x[i], s->x[i]);

  // The whole command: snapshot, append, relax, label, twinkle.
  auto before = byte_copy(*s);
  ASSERT_TRUE(append_surface_text(*s, sample_as_file_text(128), err)) << err;
  EXPECT_EQ(s->NOV, 108);
  EXPECT_EQ(s->NOE, 314);
  EXPECT_EQ(s->NOS, 207);
  EXPECT_EQ(s->edge[300], (Edge{100, 101}));
  EXPECT_EQ(s->NOcomp, 3);
  EXPECT_EQ(s->conn_comp[99], 1);
  EXPECT_EQ(s->conn_comp[100], 2);
  EXPECT_EQ(s->g_twincle, 1);
  EXPECT_EQ(s->undo.nov, 100);
  EXPECT_NE(s->x[100], 4.0);  // relaxed

  undopaste(*s);
  EXPECT_EQ(s->NOV, 100);
  EXPECT_EQ(s->NOE, 300);
  EXPECT_EQ(s->NOS, 200);
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(s->x[i], before->x[i]);
    ASSERT_EQ(s->y[i], before->y[i]);
    ASSERT_EQ(s->z[i], before->z[i]);
  }
  EXPECT_EQ(std::memcmp(&s->edge, &before->edge, sizeof(Edge) * 300), 0);
  EXPECT_EQ(std::memcmp(&s->phi, &before->phi, sizeof(double) * 300), 0);
  EXPECT_EQ(std::memcmp(&s->face, &before->face, sizeof(Face) * 200), 0);
}

TEST(SurfaceFileAppend, FillsTheStoreExactly) {
  // 29 + 971 = 1000 vertices fit; one more does not.
  auto s = sample(131);
  std::ostringstream fits, over;
  fits << "971\n";
  for (int i = 0; i < 971; ++i) fits << i % 31 << "," << i / 31 << ",0\n";
  fits << "970\n";
  for (int i = 0; i < 970; ++i) fits << i << "," << i + 1 << ",b\n";
  fits << "0\n";
  std::string err;
  auto t = byte_copy(*s);
  EXPECT_TRUE(append_surface_text(*t, fits.str(), err)) << err;
  EXPECT_EQ(t->NOV, MAXNOV);
  std::string txt = fits.str();
  txt.replace(0, 3, "972");
  txt.insert(txt.find("\n970\n") + 1, "0,0,0\n");
  auto before = byte_copy(*s);
  EXPECT_FALSE(append_surface_text(*s, txt, err));
  EXPECT_EQ(err, "line 1: 972 vertices do not fit: room for 971");
  EXPECT_TRUE(same_store(*s, *before));
}

// ---------------------------------------------------------------- bad files

TEST(SurfaceFileRead, BadFilesAreRefusedLeavingEverythingAsItWas) {
  const std::string v2 = "2\n0,0,0\n1,0,0\n";  // two good vertices
  std::string many(150, ' ');
  std::ostringstream scattered;  // 150 vertices, one edge: 149 pieces
  scattered << "150\n";
  for (int i = 0; i < 150; ++i) scattered << i << ",0,0\n";
  scattered << "1\n0,1,a\n0\n";
  std::ostringstream big_count_ok;  // 98 pieces in the file: fit alone, not with one more
  big_count_ok << "99\n";
  for (int i = 0; i < 99; ++i) big_count_ok << i << ",0,0\n";
  big_count_ok << "1\n0,1,a\n0\n";

  struct Case {
    const char* name;
    std::string text;
    const char* want;  // the whole message, or the start of it
    bool open = true, append = true;
  };
  const Case cases[] = {
      {"empty file", "", "line 1: the file is empty"},
      {"blank file", "  \r", "line 1: the file is empty"},
      {"only line feeds", "\n\n", "line 1: vertex count \"\" is not a non-negative whole number"},
      {"negative vertex count", "-1\n0\n0\n", "line 1: vertex count \"-1\" is not a"},
      {"fractional vertex count", "1.5\n0,0,0\n0\n0\n", "line 1: vertex count \"1.5\" is not"},
      {"word for a count", "abc\n", "line 1: vertex count \"abc\" is not"},
      {"empty edge count", v2 + "\n0\n", "line 4: edge count \"\" is not"},
      {"negative face count", v2 + "0\n-1\n", "line 5: face count \"-1\" is not"},
      {"huge count", "99999999999999999999\n", "line 1: vertex count \"99999999999999999999\""},
      {"too many vertices", "1001\n", "line 1: 1001 vertices do not fit: room for 1000", true,
       false},
      {"too many edges", "0\n3001\n", "line 2: 3001 edges do not fit: room for 3000", true, false},
      {"too many faces", "0\n0\n6001\n", "line 3: 6001 faces do not fit: room for 6000", true,
       false},
      {"vertices over room when appended", "972\n", "line 1: 972 vertices do not fit: room for 971",
       false, true},
      {"edges over room when appended", "0\n2929\n", "line 2: 2929 edges do not fit: room for 2928",
       false, true},
      {"faces over room when appended", "0\n0\n5959\n",
       "line 3: 5959 faces do not fit: room for 5958", false, true},
      {"truncated in the vertices", "3\n0,0,0\n1,0,0\n", "line 4: unexpected end of file"},
      {"truncated inside a vertex", "2\n0,0,0\n1,0", "line 3: unexpected end of file"},
      {"no edge count", v2, "line 4: unexpected end of file"},
      {"truncated in the edges", v2 + "2\n0,1,a\n", "line 6: unexpected end of file"},
      {"no face count", v2 + "1\n0,1,a\n", "line 6: unexpected end of file"},
      {"truncated in the faces", v2 + "0\n2\n0,1,1\n1,0", "line 7: unexpected end of file"},
      {"edge to a vertex past the list", v2 + "1\n0,2,a\n0\n",
       "line 5: edge 0: vertex index 2 is outside the vertex list (0 to 1)"},
      {"negative edge end", v2 + "2\n0,1,a\n-1,1,b\n0\n",
       "line 6: edge 1: vertex index -1 is outside the vertex list (0 to 1)"},
      {"edge end not a number", v2 + "1\nx,1,a\n0\n",
       "line 5: edge 0: vertex index \"x\" is not a whole number"},
      {"edge end with a fraction", v2 + "1\n0,1.5,a\n0\n",
       "line 5: edge 0: vertex index \"1.5\" is not a whole number"},
      {"edge in a file without vertices", "0\n1\n0,0,a\n0\n",
       "line 3: edge 0: vertex index 0 refers to an empty vertex list"},
      {"face corner past the list", v2 + "0\n1\n0,1,2\n",
       "line 6: face 0: vertex index 2 is outside the vertex list (0 to 1)"},
      {"negative face corner", v2 + "0\n1\n-5,0,1\n",
       "line 6: face 0: vertex index -5 is outside the vertex list (0 to 1)"},
      {"nan coordinate", "1\nnan,0,0\n0\n0\n",
       "line 2: vertex 0: coordinate \"nan\" is not a finite number"},
      {"inf coordinate", "1\n0,-inf,0\n0\n0\n", "line 2: vertex 0: coordinate \"-inf\" is not"},
      {"coordinate too large", "1\n0,0,1e999\n0\n0\n", "line 2: vertex 0: coordinate \"1e999\""},
      {"word coordinate", v2 + "0\n0\n", nullptr},  // placeholder replaced below
      {"empty coordinate", "1\n0,,0\n0\n0\n", "line 2: vertex 0: coordinate \"\" is not a finite"},
      {"vertex with two fields", "1\n0,0\n0\n0\n", "line 2: too few fields"},
      {"edge with one field", v2 + "1\n0\n0\n", "line 5: too few fields"},
      {"face with two fields", v2 + "0\n1\n0,1\n", "line 6: too few fields"},
      {"more than 98 pieces", scattered.str(), "line 152: the 1 edges leave the surface"},
      {"too many pieces with the current surface", big_count_ok.str(),
       "line 101: the 1 edges leave the surface with the appended one in 99 separate pieces", false,
       true},
  };
  auto base = sample(131);
  makecopy(*base);  // a snapshot to keep
  base->x[0] += 0.25;
  base->hilighted[3] = true;
  base->NOcomp = 5;
  for (const Case& c0 : cases) {
    Case c = c0;
    if (!c.want) {
      c.text = "1\n0,abc,0\n0\n0\n";
      c.want = "line 2: vertex 0: coordinate \"abc\" is not a finite number";
    }
    for (int append = 0; append < 2; ++append) {
      if (append ? !c.append : !c.open) continue;
      SCOPED_TRACE(std::string(c.name) + (append ? " (append)" : " (open)"));
      auto s = byte_copy(*base);
      std::string err;
      const bool ok =
          append ? append_surface_text(*s, c.text, err) : open_surface_text(*s, c.text, err);
      EXPECT_FALSE(ok);
      EXPECT_EQ(err.rfind(c.want, 0), 0u) << err;
      EXPECT_TRUE(same_store(*s, *base));
    }
  }
  // The same texts where they fit are accepted, so the refusals above are
  // about what each case breaks.
  std::string err;
  auto s = make_store();
  EXPECT_TRUE(open_surface_text(*s, big_count_ok.str(), err)) << err;
  EXPECT_EQ(s->NOcomp, 99);
  EXPECT_TRUE(check_invariants(*s));
}

TEST(SurfaceFileRead, FilesThatCannotBeRead) {
  TempDir dir;
  auto s = sample(131);
  auto before = byte_copy(*s);
  std::string err;
  EXPECT_FALSE(open_surface_file(*s, dir.file("missing.brm"), err));
  EXPECT_NE(err.find("No such file"), std::string::npos) << err;
  EXPECT_FALSE(append_surface_file(*s, dir.path().string(), err));
  EXPECT_NE(err.find("folder"), std::string::npos) << err;
  EXPECT_TRUE(same_store(*s, *before));

  spit(dir.file("ok.brm"), sample_as_file_text(128));
  EXPECT_TRUE(open_surface_file(*s, dir.file("ok.brm"), err)) << err;
  EXPECT_EQ(s->NOV, 8);
}

// ---------------------------------------------------------------- saving

TEST(SurfaceFileSave, WritesTheTextAndKeepsTheMode) {
  TempDir dir;
  auto s = sample(131);
  std::string err;
  const std::string path = dir.file("a.brm");
  ASSERT_TRUE(save_surface_file(*s, path, err)) << err;
  EXPECT_EQ(slurp(path), surface_text(*s));
  const mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0666 & ~mask));

  chmod(path.c_str(), 0640);
  ReadSampleData(*s, 128);
  ASSERT_TRUE(save_surface_file(*s, path, err)) << err;
  EXPECT_EQ(slurp(path), surface_text(*s));
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));

  // Through a symbolic link the file it names is written, the link stays.
  fs::create_symlink(path, dir.file("link.brm"));
  ReadSampleData(*s, 129);
  ASSERT_TRUE(save_surface_file(*s, dir.file("link.brm"), err)) << err;
  EXPECT_TRUE(fs::is_symlink(dir.file("link.brm")));
  EXPECT_EQ(slurp(path), surface_text(*s));
  EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.brm", "link.brm"}));
}

TEST(SurfaceFileSave, FailuresAreReportedAndTheOldFileStays) {
  TempDir dir;
  auto s = sample(131);
  std::string err;

  EXPECT_FALSE(save_surface_file(*s, dir.path().string(), err));
  EXPECT_NE(err.find("folder"), std::string::npos) << err;

  const std::string old_text = "previous contents\n";
  const std::string path = dir.file("old.brm");
  spit(path, old_text);

  // Each failure runs in a child process: one cannot write in the folder, the
  // other may write no more than a few bytes per file.
  enum Limit { kReadOnlyFolder, kFileSizeLimit };
  for (Limit limit : {kReadOnlyFolder, kFileSizeLimit}) {
    SCOPED_TRACE(limit == kReadOnlyFolder ? "read-only folder" : "file size limit");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    if (limit == kReadOnlyFolder) {
      // Root writes anywhere, so the child gives its rights up first.
      chmod(dir.path().c_str(), 0555);
    }
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(fds[0]);
      if (limit == kReadOnlyFolder && geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        const uid_t uid = nobody ? nobody->pw_uid : 65534;
        if (setgid(nobody ? nobody->pw_gid : 65534) != 0 || setuid(uid) != 0) _exit(3);
      }
      if (limit == kFileSizeLimit) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit rl{64, 64};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0) _exit(3);
      }
      std::string e;
      const bool saved = save_surface_file(*s, path, e);
      if (write(fds[1], e.data(), e.size()) < 0) _exit(4);
      _exit(saved ? 1 : 0);
    }
    close(fds[1]);
    std::string msg;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) msg.append(buf, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    chmod(dir.path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "save reported success";
    EXPECT_EQ(msg.rfind("cannot save " + path + ": ", 0), 0u) << msg;
    EXPECT_NE(msg.find(limit == kReadOnlyFolder ? "Permission denied" : "File too large"),
              std::string::npos)
        << msg;
    EXPECT_EQ(slurp(path), old_text);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"old.brm"}));
  }
}
