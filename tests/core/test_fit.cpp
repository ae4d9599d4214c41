// Zoom to fit and the growing sheet kept in view, without the window.
#include <gtest/gtest.h>

#include <algorithm>

#include "model/store.h"
#include "ops/load.h"
#include "testing/workloads.h"
#include "view/draw.h"
#include "view/fit.h"
#include "view/navigation.h"

using namespace brimoss;

namespace {

// The pixels the drawing gives the vertices.
struct Extent {
  int x0, x1, y0, y1;
};
Extent drawn(Store& s) {
  project(s);
  Extent e{s.gx[0], s.gx[0], s.gy[0], s.gy[0]};
  for (int i = 1; i < s.NOV; ++i) {
    e.x0 = std::min(e.x0, s.gx[i]);
    e.x1 = std::max(e.x1, s.gx[i]);
    e.y0 = std::min(e.y0, s.gy[i]);
    e.y1 = std::max(e.y1, s.gy[i]);
  }
  return e;
}

std::unique_ptr<Store> surface(bool sewn) {
  auto s = make_store();
  initialize_store(*s);
  if (sewn) brimoss::testing::build_sewn_sheet(*s);
  return s;
}

}  // namespace

TEST(Fit, WholeSurfaceInsideTheMarginAndAsLargeAsItAllows) {
  struct Case {
    bool sewn;
    int w, h;
  };
  const Case cases[] = {{false, 640, 433}, {true, 640, 433}, {true, 300, 900},
                        {true, 1900, 120}, {false, 64, 48},  {true, 1280, 1000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h) + (c.sewn ? " sewn" : ""));
    auto s = surface(c.sewn);
    // From a view that shows next to nothing of it.
    s->g_rate = 400;
    s->g_centerx = -3000;
    s->g_centery = 9000;
    ASSERT_TRUE(zoom_to_fit(*s, c.w, c.h));
    EXPECT_TRUE(in_view(*s, c.w, c.h, kFitMargin));
    const Extent e = drawn(*s);
    EXPECT_GE(e.x0, kFitMargin);
    EXPECT_LE(e.x1, c.w - 1 - kFitMargin);
    EXPECT_GE(e.y0, kFitMargin);
    EXPECT_LE(e.y1, c.h - 1 - kFitMargin);
    // It fills the room along one side, within the rounding, and sits in the
    // middle along both.
    const int room_x = c.w - 2 * kFitMargin, room_y = c.h - 2 * kFitMargin;
    EXPECT_TRUE(e.x1 - e.x0 >= room_x - 6 || e.y1 - e.y0 >= room_y - 6)
        << e.x1 - e.x0 << " of " << room_x << ", " << e.y1 - e.y0 << " of " << room_y;
    EXPECT_LE(std::abs((e.x0 - kFitMargin) - (c.w - 1 - kFitMargin - e.x1)), 3);
    EXPECT_LE(std::abs((e.y0 - kFitMargin) - (c.h - 1 - kFitMargin - e.y1)), 3);
  }
}

TEST(Fit, NothingToFitOrNoRoomLeavesTheViewAlone) {
  auto s = surface(false);
  const double rate = s->g_rate;
  EXPECT_FALSE(zoom_to_fit(*s, 20, 400)) << "narrower than the margins";
  EXPECT_EQ(s->g_rate, rate);
  EXPECT_EQ(s->g_centerx, 320);
  auto empty = make_store();
  EXPECT_FALSE(zoom_to_fit(*empty, 640, 480));
  EXPECT_EQ(empty->g_rate, 100.0);

  // One vertex, or a line of them: the closest zoom, not a division by zero.
  auto one = surface(false);
  one->NOV = 1;
  ASSERT_TRUE(zoom_to_fit(*one, 640, 480));
  EXPECT_EQ(one->g_rate, kMaxFitRate);
  EXPECT_TRUE(in_view(*one, 640, 480, kFitMargin));
}

TEST(Fit, AGrowingSheetIsKeptInViewByZoomingOutNeverIn) {
  struct Case {
    const char* what;
    double rate;
    int cx, cy;
    bool changes;
    bool zooms_out;
  };
  // The start-up surface spans about 3 units: in view at 100 pixels a unit
  // in the middle of 640 x 433, over the edges at 300.
  const Case cases[] = {
      {"in view: left alone, not zoomed in", 100, 320, 216, false, false},
      {"over the edges: zoomed out to fit", 300, 320, 216, true, true},
      {"fits at its zoom but half off the canvas: moved back, same zoom", 100, 620, 216, true,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = surface(false);
    s->g_rate = c.rate;
    s->g_centerx = c.cx;
    s->g_centery = c.cy;
    EXPECT_EQ(keep_in_view(*s, 640, 433), c.changes);
    EXPECT_TRUE(in_view(*s, 640, 433, kFitMargin));
    if (c.zooms_out)
      EXPECT_LT(s->g_rate, c.rate);
    else
      EXPECT_EQ(s->g_rate, c.rate);
    if (!c.changes) {
      EXPECT_EQ(s->g_centerx, c.cx);
      EXPECT_EQ(s->g_centery, c.cy);
    }
  }
}

TEST(Fit, HomeAfterZoomToFitPutsTheOriginBackInTheMiddle) {
  auto s = surface(true);
  s->g_centerx = 320;
  s->g_centery = 216;
  Navigation nav;
  ASSERT_TRUE(nav.fit(*s, 640, 433));
  ASSERT_NE(s->g_rate, 100.0);
  EXPECT_TRUE(nav.key(*s, NavKey::Home));
  EXPECT_EQ(s->g_rate, 100.0);
  EXPECT_EQ(s->g_centerx, 320);
  EXPECT_EQ(s->g_centery, 216);
}
