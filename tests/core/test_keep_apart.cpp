// Keeping the sheet apart: the side-face test the guard relies on, a probe
// driven against a plate by pulls and by a paste, growth of a sewn sheet and
// the motions after it, the contact lists kept through growth, and the batch
// command.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "copy/paste.h"
#include "model/components.h"
#include "model/crossings.h"
#include "model/store.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/tick.h"
#include "sim/contacts.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "testing/cli_run.h"
#include "view/mouse.h"

using namespace brimoss;

namespace {

TEST(KeepApart, SideAgainstFace) {
  // Face (0,0,0) (2,0,0) (0,2,0); the side runs from p to q.
  struct Case {
    const char* what;
    double p[3], q[3];
    bool crosses;
  };
  const Case cases[] = {
      {"through the middle", {0.5, 0.5, -1}, {0.5, 0.5, 1}, true},
      {"slanted through", {-0.5, 0.2, -1}, {1.5, 0.6, 1}, true},
      {"ending on the face", {0.5, 0.5, 0}, {0.5, 0.5, 1}, true},
      {"lying in the face", {0.2, 0.2, 0}, {0.8, 0.3, 0}, true},
      {"through a corner", {0, 0, -1}, {0, 0, 1}, true},
      {"above it", {0.5, 0.5, 0.1}, {0.5, 0.5, 1}, false},
      {"past the long side", {1.2, 1.2, -1}, {1.2, 1.2, 1}, false},
      {"a hair past the long side",
       {1.0 + 1e-6, 1.0 + 1e-6, -1},
       {1.0 + 1e-6, 1.0 + 1e-6, 1},
       false},
      {"parallel just above", {-1, 0.5, 1e-6}, {3, 0.5, 1e-6}, false},
  };
  for (const Case& c : cases) {
    const double x[5] = {0, 2, 0, c.p[0], c.q[0]};
    const double y[5] = {0, 0, 2, c.p[1], c.q[1]};
    const double z[5] = {0, 0, 0, c.p[2], c.q[2]};
    EXPECT_EQ(side_crosses_face(x, y, z, 3, 4, Face{{0, 1, 2}}), c.crosses) << c.what;
  }
}

// A flat plate of n x n vertices 0.85 apart at z = 0, each edge at rest,
// and two small triangles centred over and under it at height +-lift.
struct PlateAndProbes {
  std::unique_ptr<Store> s = make_store();
  int upper = 0, lower = 0;  // first vertices of the two triangles

  explicit PlateAndProbes(int n = 8, double lift = 0.7) {
    Store& t = *s;
    const double h = 0.85;
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        const int v = j * n + i;
        t.x[v] = (i - (n - 1) / 2.0) * h;
        t.y[v] = (j - (n - 1) / 2.0) * h;
        t.z[v] = 0;
      }
    t.NOV = n * n;
    for (int j = 0; j + 1 < n; ++j)
      for (int i = 0; i + 1 < n; ++i) {
        const int a = j * n + i, b = a + 1, c = a + n, d = c + 1;
        t.face[t.NOS++] = Face{{a, b, d}};
        t.face[t.NOS++] = Face{{a, d, c}};
        edge(a, b);
        edge(a, c);
        edge(a, d);
      }
    for (int j = 0; j + 1 < n; ++j) edge(j * n + n - 1, (j + 1) * n + n - 1);
    for (int i = 0; i + 1 < n; ++i) edge((n - 1) * n + i, (n - 1) * n + i + 1);
    upper = triangle(lift);
    lower = triangle(-lift);
  }

  int triangle(double z) {
    Store& t = *s;
    const int v = t.NOV;
    const double r = 0.45;
    for (int k = 0; k < 3; ++k) {
      t.x[v + k] = 0.1 + r * std::cos(2 * M_PI * k / 3);
      t.y[v + k] = 0.05 + r * std::sin(2 * M_PI * k / 3);
      t.z[v + k] = z;
    }
    t.NOV += 3;
    t.face[t.NOS++] = Face{{v, v + 1, v + 2}};
    edge(v, v + 1);
    edge(v + 1, v + 2);
    edge(v, v + 2);
    return v;
  }

  void edge(int a, int b) {
    Store& t = *s;
    t.edge[t.NOE] = Edge{a, b};
    const double dx = t.x[b] - t.x[a], dy = t.y[b] - t.y[a], dz = t.z[b] - t.z[a];
    t.phi[t.NOE++] = std::sqrt(dx * dx + dy * dy + dz * dz);
  }
};

TEST(KeepApart, PullsDoNotPushAProbeThroughThePlate) {
  // Each pull lowers the upper triangle by 0.3 and relaxes, as Pull does.
  // Without the setting the probe goes through; with it, it stays above.
  for (const bool apart : {false, true}) {
    PlateAndProbes f;
    Store& s = *f.s;
    ops::keep_apart(s, apart);
    int most = 0;
    for (int pull = 0; pull < 8; ++pull) {
      for (int k = 0; k < 3; ++k) s.z[f.upper + k] -= 0.3;
      modify(s);
      most = std::max(most, count_crossings(s));
    }
    EXPECT_EQ(most, 0) << "a small piece jumps, it never lies across the plate";
    // Without the setting the probe ends up under the plate; with it, its
    // path is held above. The pushes bend the plate too, so each corner is
    // measured against the plate vertex nearest to it across the plate.
    for (int k = 0; k < 3; ++k) {
      const int p = f.upper + k;
      int nearest = 0;
      double best = 1e300;
      for (int v = 0; v < f.upper; ++v) {
        const double d = std::hypot(s.x[v] - s.x[p], s.y[v] - s.y[p]);
        if (d < best) best = d, nearest = v;
      }
      if (apart)
        EXPECT_GT(s.z[p], s.z[nearest]) << "corner " << k;
      else
        EXPECT_LT(s.z[p], s.z[nearest]) << "corner " << k;
    }
  }
}

TEST(KeepApart, APasteThroughThePlateIsGivenUp) {
  PlateAndProbes f;
  Store& s = *f.s;
  ops::keep_apart(s, true);
  modify(s);
  const int nov = s.NOV, noe = s.NOE;
  s.g_paste_i1 = f.upper;
  s.g_paste_i2 = f.lower;
  s.g_pasteevent = 1;
  pastevertices1(s);
  const double x0 = s.x[f.upper], z0 = s.z[f.upper];
  int ticks = 0;
  while (s.g_pasteevent > 0 && ticks < 1000) {
    pastevertices2(s);
    ++ticks;
    ASSERT_EQ(count_crossings(s), 0) << "tick " << ticks;
  }
  EXPECT_EQ(s.g_pasteevent, 0);
  EXPECT_LE(ticks, 200);
  EXPECT_EQ(s.NOV, nov) << "no merge";
  EXPECT_EQ(s.NOE, noe) << "the joining edge goes";
  EXPECT_EQ(s.apart.pastes_given_up, 1);
  EXPECT_NE(std::strstr(s.messagetxt, "given up"), nullptr) << s.messagetxt;
  EXPECT_EQ(s.x[f.upper], x0) << "back where the paste began";
  EXPECT_EQ(s.z[f.upper], z0);
}

// The last step of a paste leaves its pair close, not on each other; kept
// apart, a merge that would take the higher vertex's faces through the sheet
// gives the paste up instead.
TEST(KeepApart, AMergeThatWouldCrossTheSheetIsGivenUp) {
  {
    PlateAndProbes f;
    Store& s = *f.s;
    s.edge[s.NOE++] = Edge{f.upper, f.lower};
    EXPECT_TRUE(merge_would_cross(s, f.upper, f.lower)) << "from under the plate to over it";
    for (int k = 0; k < 3; ++k) s.z[f.lower + k] += 2.1;
    EXPECT_FALSE(merge_would_cross(s, f.upper, f.lower)) << "both over the plate";
  }
  // A paste whose only step is already made: its tick steps on and comes to
  // the merge.
  PlateAndProbes f;
  Store& s = *f.s;
  ops::keep_apart(s, true);
  const int nov = s.NOV, noe = s.NOE;
  s.g_paste_i1 = f.upper;
  s.g_paste_i2 = f.lower;
  s.g_pasteevent = 1;
  pastevertices1(s);
  s.g_pastestep = 1;
  pastevertices2(s);
  EXPECT_EQ(s.g_pasteevent, 0);
  EXPECT_EQ(s.NOV, nov) << "no merge";
  EXPECT_EQ(s.NOE, noe) << "the joining edge goes";
  EXPECT_EQ(s.apart.pastes_given_up, 1);
  EXPECT_EQ(count_crossings(s), 0);
}

// Grows sample n kept apart, then sways, touches and pulls it; the sheet
// never crosses itself, and the same run gives the same positions.
std::unique_ptr<Store> grown_and_moved(int n, int cells) {
  auto s = make_store();
  ops::load_sample(*s, n);
  ops::keep_apart(*s, true);
  const ops::SheetReport r = ops::grow_sheet(*s, cells);
  EXPECT_EQ(r.cells, cells) << r.why;
  EXPECT_EQ(count_crossings(*s), 0) << "after growth";
  for (int i = 0; i < 3; ++i) spread(*s);
  EXPECT_EQ(count_crossings(*s), 0) << "after spreading";
  ops::sway(*s, ops::Sway::Once);
  for (int t = 0; t < 20; ++t) timer_tick(*s);
  EXPECT_EQ(count_crossings(*s), 0) << "after swaying";
  for (int v : {5, 40, 90}) {
    ops::touch(*s, v);
    for (int t = 0; t < 10; ++t) timer_tick(*s);
  }
  EXPECT_EQ(count_crossings(*s), 0) << "after touches";
  for (int v : {7, 60}) {
    ops::set_current(*s, v);
    ops::pull(*s);
  }
  EXPECT_EQ(count_crossings(*s), 0) << "after pulls";
  return s;
}

TEST(KeepApart, GrownSheetStaysApartThroughEveryMotion) {
  for (int n : {129, 130}) {
    SCOPED_TRACE("sample " + std::to_string(n));
    const auto a = grown_and_moved(n, 24);
    const auto b = grown_and_moved(n, 24);
    ASSERT_EQ(a->NOV, b->NOV);
    EXPECT_EQ(std::memcmp(a->x.data(), b->x.data(), sizeof(double) * a->NOV), 0);
    EXPECT_EQ(std::memcmp(a->z.data(), b->z.data(), sizeof(double) * a->NOV), 0);
  }
}

TEST(KeepApart, ContactListsFollowCellsPastesAndMerges) {
  // The lists are kept through growth, not made afresh: a new cell adds to
  // them, a paste's joining edge drops the pairs it joins, a merge renumbers
  // them, and vertices that move far are searched again. After each of
  // these they hold every pair they should, and no pair wrongly.
  auto s = make_store();
  ops::load_sample(*s, 128);
  ops::keep_apart(*s, true);
  ops::SheetGrower grower(24);
  int cells = 0, starts = 0, merges = 0;
  for (;;) {
    while (s->g_pasteevent > 0) {
      const int nov = s->NOV, step = s->g_pasteevent;
      pastevertices2(*s);
      if (s->NOV < nov) {
        ++merges;
        ASSERT_EQ(contact_pairs_missing(*s), 0) << "after a merge, at " << s->NOV << " vertices";
      } else if (step == 1) {
        ++starts;
        ASSERT_EQ(contact_pairs_missing(*s), 0) << "after a paste's first step";
      }
    }
    const int nov = s->NOV;
    if (grower.step(*s).action == ops::SheetAction::Stopped) break;
    if (s->NOV > nov) {
      ++cells;
      modify(*s);
      ASSERT_EQ(contact_pairs_missing(*s), 0) << "after a new cell, at " << s->NOV << " vertices";
    }
  }
  spread(*s);
  EXPECT_EQ(contact_pairs_missing(*s), 0) << "after a sweep";
  EXPECT_GE(cells, 24);  // and any cell given up after it was placed
  EXPECT_GT(starts, 30);
  EXPECT_GT(merges, 30);
  EXPECT_LT(s->scratch.contacts.rebuilds, merges / 4) << "the lists were kept, not made afresh";
}

TEST(KeepApart, BatchCommand) {
  const brimoss::testing::CliResult on =
      brimoss::testing::run_cli("keep-apart on\nsample 128\ngrow-sheet 12\n");
  EXPECT_EQ(on.status, 0) << on.err;
  EXPECT_NE(on.out.find("given up: cells"), std::string::npos) << on.out;
  // A sheet that already crosses itself is grown without it, and told so.
  const brimoss::testing::CliResult tangled =
      brimoss::testing::run_cli("sample 128\ngrow-border 60\ngrow-sheet 3\n");
  EXPECT_NE(tangled.err.find("line 3: warning: the sheet crosses itself, so it is grown without "
                             "keeping it apart"),
            std::string::npos)
      << tangled.err;
  const brimoss::testing::CliResult bad = brimoss::testing::run_cli("keep-apart maybe\n");
  EXPECT_EQ(bad.status, 2);
  EXPECT_NE(bad.err.find("keep-apart: say on or off"), std::string::npos) << bad.err;
}

// Moves the user makes by hand are the user's: kept apart, what they leave
// crossing is told, with the count the exact check finds.
TEST(KeepApart, MovesByHandThatLeaveTheSheetCrossingAreTold) {
  const std::string grown = "keep-apart on\nsample 128\ngrow-sheet 12\n";
  const std::string told = "line 4: warning: the sheet now crosses itself at ";
  struct Case {
    const char* what;
    std::string script;
    bool crossing;
  };
  const Case cases[] = {
      {"a copy over the sheet", grown + "add-copy\ncheck-sheet\n", true},
      {"a mirror image over the sheet", grown + "add-mirror\ncheck-sheet\n", true},
      {"the whole sheet mirrored", grown + "mirror\ncheck-sheet\n", false},
      {"a copy with the setting off", grown + "keep-apart off\nadd-copy\ncheck-sheet\n", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const brimoss::testing::CliResult r = brimoss::testing::run_cli(c.script);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::size_t at = r.err.find(told);
    ASSERT_EQ(at != std::string::npos, c.crossing) << r.err;
    if (!c.crossing) continue;
    const std::string n =
        r.err.substr(at + told.size(), r.err.find(' ', at + told.size()) - at - told.size());
    EXPECT_NE(r.out.find("\ncrossings " + n + "\n"), std::string::npos) << r.out << r.err;
    EXPECT_NE(n, "0");
  }

  // A piece dragged clear is not told; dragged back through the sheet, it is.
  auto s = make_store();
  ops::load_sample(*s, 128);
  ops::keep_apart(*s, true);
  ops::SheetGrower grower(12);
  while (grower.step(*s).action != ops::SheetAction::Stopped)
    while (s->g_pasteevent > 0) pastevertices2(*s);
  const int nov = s->NOV;
  ASSERT_TRUE(ops::add_copy(*s, false));
  fill_conn_comp(*s);
  s->gx.fill(-1000);
  s->gy.fill(-1000);
  s->gx[nov] = s->gy[nov] = 300;
  s->g_rate = 10;  // pixels a unit
  auto drag = [&](int to_x) -> std::string {
    MouseEffects e;
    mouse_event(*s, MouseKind::RightDown, s->gx[nov], s->gy[nov], e);
    if (s->g_dragcomponent != s->conn_comp[nov]) return "the copy was not grabbed";
    mouse_event(*s, MouseKind::RightUp, to_x, s->gy[nov], e);
    s->gx[nov] = to_x;
    return e.crossings;
  };
  ASSERT_GT(count_crossings(*s), 0);
  EXPECT_EQ(drag(300 + 400), "") << "40 units along x is clear of the sheet";
  EXPECT_EQ(count_crossings(*s), 0);
  const std::string back = drag(300);
  EXPECT_EQ(back,
            "the sheet now crosses itself at " + std::to_string(count_crossings(*s)) + " places");
  EXPECT_GT(count_crossings(*s), 0);
}

}  // namespace
