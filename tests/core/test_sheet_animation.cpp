// Growing a sheet ring by ring on the timer, without a window: the progress
// line, the undo snapshot held at the ring's start, and stopping between
// cells however the stop comes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/invariants.h"
#include "model/sheet_check.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "ops/sheet_animation.h"
#include "ops/sheet_rings.h"
#include "testing/store_bytes.h"

using namespace brimoss;

namespace {

// The surface itself: counts, positions, edges, targets and faces.
::testing::AssertionResult same_surface(const Store& a, const Store& b) {
  if (a.NOV != b.NOV || a.NOE != b.NOE || a.NOS != b.NOS)
    return ::testing::AssertionFailure() << "counts " << a.NOV << "/" << a.NOE << "/" << a.NOS
                                         << " against " << b.NOV << "/" << b.NOE << "/" << b.NOS;
  auto same = [](const auto& p, const auto& q, int n) {
    return std::memcmp(p.data(), q.data(), sizeof(p[0]) * n) == 0;
  };
  if (!same(a.x, b.x, a.NOV) || !same(a.y, b.y, a.NOV) || !same(a.z, b.z, a.NOV))
    return ::testing::AssertionFailure() << "positions differ";
  if (!same(a.edge, b.edge, a.NOE) || !same(a.phi, b.phi, a.NOE))
    return ::testing::AssertionFailure() << "edges differ";
  if (!same(a.face, b.face, a.NOS)) return ::testing::AssertionFailure() << "faces differ";
  return ::testing::AssertionSuccess();
}

void expect_clean_sheet(const Store& s) {
  const SheetFigures f = check_sheet(s);
  EXPECT_EQ(f.components, 1);
  EXPECT_EQ(f.degenerate_faces, 0);
  EXPECT_EQ(f.non_manifold_edges, 0);
  EXPECT_EQ(f.orientation_conflicts, 0);
  EXPECT_EQ(f.pinch_vertices, 0);
  std::string why;
  EXPECT_TRUE(check_invariants(s, &why)) << why;
}

// Ticks until the animation has ended (or `most` ticks), calling `each`
// after every tick; the number of ticks run.
long run(
    SheetAnimation& a, Store& s, long most = 40000, const std::function<void()>& each = [] {}) {
  long n = 0;
  while (a.running() && n < most) {
    a.tick(s);
    ++n;
    each();
  }
  return n;
}

std::unique_ptr<Store> sample128() {
  auto s = make_store();
  ops::load_sample(*s, 128);
  s->g_purturb = s->g_twincle = 0;
  return s;
}

}  // namespace

TEST(SheetAnimation, GrowsOneRingAtATimeAndUndoTakesBackTheWholeRing) {
  auto s = sample128();
  const auto start = brimoss::testing::byte_copy(*s);
  SheetAnimation a;
  a.start(*s);
  EXPECT_EQ(a.message(), "Growing sheet: ring 1, 0 cells, 0 pastes");
  bool saw_paste = false, saw_progress = false;
  const long ticks = run(a, *s, 40000, [&] {
    // Inside the ring the snapshot is still the ring's start, whatever each
    // growth and paste took for itself.
    ASSERT_EQ(s->undo.nov, start->NOV);
    ASSERT_EQ(s->undo.nos, start->NOS);
    saw_paste |= s->g_pasteevent > 0;
    saw_progress |= a.message().rfind("Growing sheet: ring 1, 4 cells, ", 0) == 0;
    // The canvas's own status line is left to the timer.
    ASSERT_EQ(std::strstr(s->messagetxt, "heet"), nullptr) << s->messagetxt;
  });
  ASSERT_FALSE(a.running()) << "still growing after " << ticks << " ticks";
  EXPECT_TRUE(saw_paste);
  EXPECT_TRUE(saw_progress);
  EXPECT_EQ(a.cells(), 7);
  EXPECT_EQ(a.ring(), 1);
  EXPECT_EQ(a.why_stopped(), "");
  EXPECT_EQ(a.message(),
            "Sheet grown: ring 1 closed, 7 cells, " + std::to_string(a.pastes()) + " pastes");
  EXPECT_EQ(s->NOS, start->NOS + 7 * 7);
  EXPECT_EQ(s->g_pasteevent, 0);
  // The ending stays until the next growth, however many ticks follow.
  const std::string ended = a.message();
  for (int k = 0; k < 400; ++k) a.tick(*s);
  EXPECT_EQ(a.message(), ended);
  expect_clean_sheet(*s);
  // A ring grown on the timer is the ring the batch grower makes.
  {
    auto batch = sample128();
    ops::grow_sheet(*batch, 7);
    EXPECT_TRUE(same_surface(*s, *batch)) << "not the batch grower's ring";
  }
  const auto ring1 = brimoss::testing::byte_copy(*s);

  // Chosen again, it grows the next ring of the sheet.
  a.start(*s);
  run(a, *s);
  ASSERT_FALSE(a.running());
  EXPECT_EQ(a.ring(), 2);
  EXPECT_EQ(a.cells(), 21);
  expect_clean_sheet(*s);
  EXPECT_EQ(s->NOS, start->NOS + 7 * 28);

  ASSERT_TRUE(ops::undo(*s));
  EXPECT_TRUE(same_surface(*s, *ring1));
  // The ring before was undone by the same one-level snapshot, now gone.
  EXPECT_FALSE(ops::undo(*s));
}

TEST(SheetAnimation, StopsBetweenCellsWithNoCellLeftHalfSewn) {
  // Asked to stop as a cell appears, or while one of its pastes runs: the
  // cell is sewn on and no further cell grows.
  for (int cells : {1, 2, 4, 6}) {
    for (bool mid_paste : {false, true}) {
      SCOPED_TRACE(std::to_string(cells) + (mid_paste ? " mid paste" : " as it grew"));
      auto s = sample128();
      const auto start = brimoss::testing::byte_copy(*s);
      SheetAnimation a;
      a.start(*s);
      while (a.running() && (a.cells() < cells || (mid_paste && s->g_pasteevent == 0))) a.tick(*s);
      ASSERT_TRUE(a.running());
      // Who stopped it is said, when known; a second request changes nothing.
      const std::string by = mid_paste ? "a click on the canvas" : "";
      a.stop(by);
      a.stop("touching vertex 3");
      EXPECT_TRUE(a.stopping());
      run(a, *s);
      ASSERT_FALSE(a.running());
      EXPECT_EQ(a.cells(), cells);
      EXPECT_EQ(s->g_pasteevent, 0);
      expect_clean_sheet(*s);
      EXPECT_EQ(a.message(), "Sheet stopped in ring 1" + (by.empty() ? "" : " by " + by) + ": " +
                                 std::to_string(cells) + " cells, " + std::to_string(a.pastes()) +
                                 " pastes");
      ASSERT_TRUE(ops::undo(*s));
      EXPECT_TRUE(same_surface(*s, *start));
    }
  }
}

TEST(SheetAnimation, ACommandThatChangesTheSurfaceMidPasteEndsItThere) {
  // The command comes first (and ends the paste through end_paste), then the
  // stop: the grower must not sew vertices that now mean something else.
  struct Case {
    const char* name;
    std::function<void(Store&)> command;
  };
  const std::vector<Case> cases = {
      {"open sample 130", [](Store& s) { ops::load_sample(s, 130); }},
      {"undo", [](Store& s) { ASSERT_TRUE(ops::undo(s)); }},
      {"add a cell", [](Store& s) { ASSERT_TRUE(ops::grow(s)); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto s = sample128();
    SheetAnimation a;
    a.start(*s);
    while (a.running() && (a.cells() < 3 || s->g_pasteevent == 0)) a.tick(*s);
    ASSERT_GT(s->g_pasteevent, 0);
    a.stop();
    c.command(*s);
    const auto after = brimoss::testing::byte_copy(*s);
    run(a, *s, 2000);
    ASSERT_FALSE(a.running());
    EXPECT_TRUE(same_surface(*s, *after)) << "the grower changed the surface after the command";
    std::string why;
    EXPECT_TRUE(check_invariants(*s, &why)) << why;
  }
}

TEST(SheetAnimation, StopsAtCapacityWithTheReason) {
  // A sheet grown until the store is full ends with the grower's reason on
  // the status line; the sheet is still clean.
  auto s = sample128();
  SheetAnimation a;
  int rings = 0;
  for (; rings < 20; ++rings) {
    a.start(*s);
    run(a, *s, 400000);
    ASSERT_FALSE(a.running());
    EXPECT_EQ(a.ring(), rings + 1) << "the rings of the sheet";
    if (!a.why_stopped().empty()) break;
  }
  ASSERT_LT(rings, 20) << "never stopped";
  EXPECT_EQ(a.message(),
            "Sheet stopped in ring " + std::to_string(a.ring()) + ": " + a.why_stopped());
  expect_clean_sheet(*s);
}

TEST(SheetAnimation, ARefusedRingLeavesTheUndoAsItWas) {
  // A full store refuses the next ring: the undo that was there before still
  // takes back what it took back before.
  auto s = sample128();
  const ops::SheetReport full = ops::grow_sheet(*s, -1);
  ASSERT_EQ(full.why.rfind("store full", 0), 0u) << full.why;
  auto want = brimoss::testing::byte_copy(*s);
  ASSERT_TRUE(ops::undo(*want));

  SheetAnimation a;
  a.start(*s);
  run(a, *s);
  ASSERT_FALSE(a.running());
  EXPECT_EQ(a.why_stopped().rfind("store full", 0), 0u) << a.why_stopped();
  ASSERT_TRUE(ops::undo(*s));
  EXPECT_TRUE(same_surface(*s, *want));
}

TEST(SheetAnimation, ACommandsOwnSnapshotIsKeptWhileTheRingFinishesItsCell) {
  // The command stops the ring, which finishes the cell in hand; Undo then
  // takes back the command, whose snapshot the ring must leave in place.
  struct Case {
    const char* name;
    std::function<void(Store&)> command;
  };
  const std::vector<Case> cases = {
      {"add mirror image", [](Store& s) { ASSERT_TRUE(ops::add_copy(s, true)); }},
      {"remove a cell", [](Store& s) { ASSERT_TRUE(ops::remove(s)); }},
  };
  for (const Case& c : cases) {
    for (bool mid_paste : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (mid_paste ? " mid paste" : " as a cell grew"));
      auto s = sample128();
      SheetAnimation a;
      a.start(*s);
      while (a.running() && (a.cells() < 2 || (mid_paste == (s->g_pasteevent == 0)))) a.tick(*s);
      ASSERT_TRUE(a.running());
      a.stop();
      auto before = brimoss::testing::byte_copy(*s);
      end_paste(*before);
      c.command(*s);
      run(a, *s, 2000);
      ASSERT_FALSE(a.running());
      ASSERT_TRUE(ops::undo(*s));
      EXPECT_TRUE(same_surface(*s, *before));
    }
  }
}

TEST(SheetAnimation, RingsAreTheSheetsAcrossAStopAndAFileOpenedAgain) {
  auto s = sample128();
  SheetAnimation a;
  a.start(*s);
  while (a.running() && a.cells() < 3) a.tick(*s);
  a.stop("a click on the canvas");
  run(a, *s);
  EXPECT_EQ(a.message().rfind("Sheet stopped in ring 1 by a click on the canvas: 3 cells", 0), 0u)
      << a.message();
  // Resumed, the half-grown ring is still ring 1, and it closes as ring 1.
  a.start(*s);
  EXPECT_EQ(a.message(), "Growing sheet: ring 1, 0 cells, 0 pastes");
  run(a, *s);
  EXPECT_EQ(a.message().rfind("Sheet grown: ring 1 closed, ", 0), 0u) << a.message();
  EXPECT_EQ(ops::sheet_rings(*s), 1);
  // The sheet read back from its file grows its second ring.
  auto again = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*again, surface_text(*s), err)) << err;
  SheetAnimation b;
  b.start(*again);
  EXPECT_EQ(b.ring(), 2);
  EXPECT_EQ(b.message().rfind("Growing sheet: ring 2, ", 0), 0u) << b.message();
}

TEST(SheetAnimation, UntilFullGrowsRingAfterRingAndUndoTakesBackTheLastRing) {
  auto s = sample128();
  SheetAnimation a;
  a.start(*s, true);
  EXPECT_EQ(a.message(), "Growing sheet until full: ring 1, 0 cells, 0 pastes");
  int ring = a.ring();
  std::unique_ptr<Store> ring_start;
  run(a, *s, 400000, [&] {
    if (a.running() && a.ring() != ring) {
      // A new ring begins each time the last one closed.
      ASSERT_EQ(a.ring(), ring + 1);
      ring = a.ring();
      ring_start = brimoss::testing::byte_copy(*s);
    }
  });
  ASSERT_FALSE(a.running());
  ASSERT_GE(a.ring(), 3);
  EXPECT_EQ(a.why_stopped().rfind("store full", 0), 0u) << a.why_stopped();
  EXPECT_EQ(a.message(),
            "Sheet stopped in ring " + std::to_string(a.ring()) + ": " + a.why_stopped());
  expect_clean_sheet(*s);

  // What Grow sheet chosen ring after ring makes.
  auto rings = sample128();
  SheetAnimation b;
  for (int k = 0; k < 20 && b.why_stopped().empty(); ++k) {
    b.start(*rings);
    run(b, *rings, 400000);
  }
  EXPECT_TRUE(same_surface(*s, *rings));

  ASSERT_NE(ring_start, nullptr);
  ASSERT_TRUE(ops::undo(*s));
  EXPECT_TRUE(same_surface(*s, *ring_start)) << "Undo takes back the last ring only";
}

TEST(SheetAnimation, UntilFullAskedWhileARingGrowsGoesOnToTheEnd) {
  auto s = sample128();
  SheetAnimation a;
  a.start(*s);
  while (a.running() && a.cells() < 2) a.tick(*s);
  a.start(*s, true);
  EXPECT_TRUE(a.until_full());
  run(a, *s, 400000);
  EXPECT_GE(a.ring(), 3);
  EXPECT_FALSE(a.why_stopped().empty());
}
