// The per-tick paths allocate nothing: relaxation, spreading, depth order,
// the pixel drawing and every branch of the timer's tick, on a warm store of
// full size, and on a sheet kept apart. Every form of the global operator new is replaced here by
// one that counts while a test asks it to (the test framework itself allocates, so only the
// measured calls are counted).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "copy/paste.h"
#include "model/components.h"
#include "model/store.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "ops/sheet_animation.h"
#include "ops/tick.h"
#include "sim/relax.h"
#include "sim/spread.h"
#include "testing/workloads.h"
#include "view/draw.h"
#include "view/mouse.h"
#include "view/raster.h"

namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

void* counted(std::size_t n, std::size_t align = 0) {
  if (g_counting.load(std::memory_order_relaxed))
    g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (n == 0) n = 1;
  void* p = nullptr;
  if (align > alignof(std::max_align_t)) {
    // aligned_alloc wants a size that is a multiple of the alignment.
    p = std::aligned_alloc(align, (n + align - 1) / align * align);
  } else {
    p = std::malloc(n);
  }
  return p;
}

void* counted_or_throw(std::size_t n, std::size_t align = 0) {
  void* p = counted(n, align);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t n) { return counted_or_throw(n); }
void* operator new[](std::size_t n) { return counted_or_throw(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return counted(n); }
void* operator new(std::size_t n, std::align_val_t a) {
  return counted_or_throw(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return counted_or_throw(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return counted(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return counted(n, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

using namespace brimoss;
using brimoss::testing::build_capacity_surface;
using brimoss::testing::build_grown_surface;

namespace {

// Allocations made by `f`.
template <class F>
long allocations_in(F&& f) {
  g_allocations = 0;
  g_counting = true;
  f();
  g_counting = false;
  return g_allocations.load();
}

struct Surfaces {
  std::unique_ptr<Store> grown = make_store(), capacity = make_store(), apart = make_store();
  Surfaces() {
    build_grown_surface(*grown);
    build_capacity_surface(*capacity);
    // A sewn sheet grown kept apart, the setting left on: its relaxation
    // carries the contacts, whose lists are searched again as vertices move.
    ReadSampleData(*apart, 128);
    ops::keep_apart(*apart, true);
    ops::grow_sheet(*apart, 40);
    for (Store* s : {grown.get(), capacity.get(), apart.get()}) {
      s->g_purturb = s->g_rotate = s->g_twincle = s->g_buru = 0;
      s->g_purtj = s->NOV / 2;
    }
  }
};

const Surfaces& surfaces() {
  static const Surfaces s;
  return s;
}

// Two vertices of the grown surface that a paste accepts, a little over an
// edge apart.
bool paste_pair(const Store& s, int* i, int* j) {
  auto t = std::make_unique<Store>(s);
  for (int a = 0; a < s.NOV; ++a)
    for (int b = a + 1; b < s.NOV; ++b) {
      const double d = std::hypot(s.x[b] - s.x[a], s.y[b] - s.y[a], s.z[b] - s.z[a]);
      if (d >= 1.0 && d <= 1.5 && paste_check(*t, a, b) == PasteCheck::ok) {
        *i = a;
        *j = b;
        return true;
      }
    }
  return false;
}

}  // namespace

TEST(NoAllocation, CountingSeesAllocationsMadeInsideTheRegion) {
  // The counter itself works: a vector that grows is seen, nothing else is.
  EXPECT_GE(allocations_in([] { std::vector<int> v(100); }), 1);
  EXPECT_EQ(allocations_in([] {}), 0);
}

TEST(NoAllocation, RelaxationSpreadingAndDrawingOnFullSizeSurfaces) {
  std::vector<std::uint32_t> pixels(640 * 480);
  PixelTarget t;
  t.pixels = pixels.data();
  t.width = t.stride = 640;
  t.height = 480;
  RasterPainter img(t);
  for (const Store* start :
       {surfaces().grown.get(), surfaces().capacity.get(), surfaces().apart.get()}) {
    auto s = std::make_unique<Store>(*start);
    // Once before counting, so that anything built on first use is built.
    modify(*s);
    spread(*s);
    draw_scene(*s, img);
    s->z[s->g_purtj] -= 0.3;  // something for the relaxation to do
    SCOPED_TRACE(start->NOS);
    EXPECT_EQ(allocations_in([&] { modifyonce(*s); }), 0) << "one pass";
    EXPECT_EQ(allocations_in([&] { modify(*s); }), 0) << "full relaxation";
    EXPECT_EQ(allocations_in([&] { spread(*s); }), 0) << "spreading sweep";
    EXPECT_EQ(allocations_in([&] { depth_order(*s); }), 0) << "depth order";
    EXPECT_EQ(allocations_in([&] { prepare_scene(*s); }), 0) << "depth order and projection";
    EXPECT_EQ(allocations_in([&] { draw_scene(*s, img); }), 0) << "drawing";
    EXPECT_EQ(allocations_in([&] {
                MouseEffects out;
                mouse_event(*s, MouseKind::Other, -100, -100, out);
              }),
              0)
        << "hit test";
  }
}

TEST(NoAllocation, EveryTickBranchToItsEnd) {
  struct Case {
    const char* name;
    TickBranch branch;
    void (*arm)(Store&);
  };
  const Case cases[] = {
      {"perturb", TickBranch::Perturb, [](Store& s) { s.g_purturb = 1; }},
      {"spin", TickBranch::Spin,
       [](Store& s) {
         s.g_rotate = 1;
         s.g_vangle = 0.1;
         s.g_hangle = 0.05;
       }},
      {"spin of a highlighted piece", TickBranch::Spin,
       [](Store& s) {
         s.g_rotate = 1;
         s.g_vangle = 0.1;
         s.hilighted[1] = true;
       }},
      {"twinkle", TickBranch::Twinkle, [](Store& s) { s.g_twincle = 1; }},
      {"sway", TickBranch::Sway, [](Store& s) { s.g_buru = 15; }},
      {"idle", TickBranch::Idle, [](Store&) {}},
  };
  for (const Store* start :
       {surfaces().grown.get(), surfaces().capacity.get(), surfaces().apart.get()})
    for (const Case& c : cases) {
      SCOPED_TRACE(c.name);
      auto s = std::make_unique<Store>(*start);
      c.arm(*s);
      // The first tick warms up; then a hundred more, in which every animation
      // but the twinkle (one tick per face) ends and the idle branch follows.
      ASSERT_EQ(timer_tick(*s), c.branch);
      twinkle_step(*s);
      long n = 0;
      int ticks = 0;
      n += allocations_in([&] {
        for (; ticks < 100; ++ticks) {
          timer_tick(*s);
          twinkle_step(*s);
        }
      });
      EXPECT_EQ(n, 0) << start->NOS << " faces";
    }
}

TEST(NoAllocation, WholePasteFromFirstStepToMerge) {
  // Kept apart, the paste's joining edge and its merge are followed in the
  // contact lists, and the vertices it moves searched again.
  for (const Store* start : {surfaces().grown.get(), surfaces().apart.get()}) {
    SCOPED_TRACE(start->apart.on ? "kept apart" : "grown");
    auto s = std::make_unique<Store>(*start);
    int i = -1, j = -1;
    ASSERT_TRUE(paste_pair(*s, &i, &j));
    ASSERT_TRUE(start_paste(*s, i, j));
    const int nov = s->NOV;
    int ticks = 0;
    const long n = allocations_in([&] {
      while (s->g_pasteevent > 0 && ticks < 500) {
        timer_tick(*s);
        twinkle_step(*s);
        ++ticks;
      }
    });
    EXPECT_EQ(s->g_pasteevent, 0) << "the paste ran to its merge";
    EXPECT_EQ(s->NOV, nov - 1);
    EXPECT_EQ(n, 0) << ticks << " ticks";
  }
}

TEST(NoAllocation, SheetRingTicksWhilePastesRun) {
  // The grower's own steps (a cell grown, a paste started) may allocate; the
  // ticks in between, which carry the pastes out and write the progress line,
  // must not.
  auto s = make_store();
  ReadSampleData(*s, 128);
  s->g_purturb = s->g_twincle = 0;
  SheetAnimation a;
  a.start(*s);
  long n = 0;
  int counted = 0, ticks = 0;
  while (a.running() && ticks++ < 20000) {
    const int step = s->g_pasteevent;
    const long k = allocations_in([&] { a.tick(*s); });
    // Only the ticks that moved the same paste on: one that merged a pair
    // went on to the grower's next step.
    if (step > 0 && s->g_pasteevent > step) {
      n += k;
      ++counted;
    }
  }
  EXPECT_FALSE(a.running());
  EXPECT_GT(counted, 50);
  EXPECT_EQ(n, 0) << counted << " ticks";
}
