// The wheel's zoom about the pointer, the arrows' turns and Home, without the
// window.
#include <gtest/gtest.h>

#include <cmath>

#include "model/store.h"
#include "ops/commands.h"
#include "ops/load.h"
#include "sim/rotate.h"
#include "view/draw.h"
#include "view/navigation.h"

using namespace brimoss;

namespace {

std::unique_ptr<Store> start_up() {
  auto s = make_store();
  initialize_store(*s);
  return s;
}

// Where the model point under pixel (px, py) lies now, and where it is drawn.
struct Under {
  double mx, my;
};
Under under(const Store& s, int px, int py) {
  return {(px - s.g_centerx) / s.g_rate, (s.g_centery - py) / s.g_rate};
}
double drawn_x(const Store& s, const Under& u) { return s.g_centerx + s.g_rate * u.mx; }
double drawn_y(const Store& s, const Under& u) { return s.g_centery - s.g_rate * u.my; }

TEST(Navigation, WheelNotchesAreZoomStepsAboutThePointer) {
  auto s = start_up();
  Navigation nav;
  struct Case {
    int rotation, delta;
    double rate;  // the zoom afterwards, from 100
  };
  // One notch is one step; a high-resolution wheel's parts add up; a turn of
  // several notches at once takes as many steps.
  const Case cases[] = {{120, 120, 125.0}, {-120, 120, 80.0}, {360, 120, 100 * 1.25 * 1.25 * 1.25},
                        {-240, 120, 64.0}, {60, 120, 100.0},  {119, 120, 100.0},
                        {0, 120, 100.0},   {120, 0, 100.0}};
  for (const Case& c : cases) {
    s->g_rate = 100.0;
    s->g_centerx = 320;
    s->g_centery = 220;
    Navigation fresh;
    const Under u = under(*s, 100, 400);
    fresh.wheel(*s, c.rotation, c.delta, 100, 400);
    EXPECT_EQ(s->g_rate, c.rate) << c.rotation << "/" << c.delta;
    EXPECT_LE(std::fabs(drawn_x(*s, u) - 100), 0.5) << c.rotation;
    EXPECT_LE(std::fabs(drawn_y(*s, u) - 400), 0.5) << c.rotation;
  }

  // Parts of a notch: four quarter turns make one step, the fourth takes it.
  s->g_rate = 100.0;
  EXPECT_FALSE(nav.wheel(*s, 30, 120, 10, 10));
  EXPECT_FALSE(nav.wheel(*s, 30, 120, 10, 10));
  EXPECT_FALSE(nav.wheel(*s, 30, 120, 10, 10));
  EXPECT_TRUE(nav.wheel(*s, 30, 120, 10, 10));
  EXPECT_EQ(s->g_rate, 125.0);
  // A turn back does not first pay off what was left over.
  EXPECT_FALSE(nav.wheel(*s, 90, 120, 10, 10));
  EXPECT_TRUE(nav.wheel(*s, -120, 120, 10, 10));
  EXPECT_EQ(s->g_rate, 100.0);
}

TEST(Navigation, WheelStopsAtTheZoomBoundsAndKeepsThePointsUnderThePointer) {
  auto s = start_up();
  Navigation nav;
  const Under u = under(*s, 500, 37);
  double want = 100.0;
  for (int k = 1; k <= 9; ++k) {
    const bool took = nav.wheel(*s, 120, 120, 500, 37);
    if (k <= 7) want *= 1.25;
    EXPECT_EQ(took, k <= 7) << k;
    ASSERT_EQ(s->g_rate, want) << k;
    EXPECT_LE(std::fabs(drawn_x(*s, u) - 500), 0.5) << k;
    EXPECT_LE(std::fabs(drawn_y(*s, u) - 37), 0.5) << k;
  }
  // All the way out about another point: that point stays put instead. It
  // was read off the rounded origin, half a pixel from the kept one at most.
  const Under v = under(*s, 20, 300);
  for (int k = 1; k <= 16; ++k) {
    nav.wheel(*s, -120, 120, 20, 300);
    EXPECT_LE(std::fabs(drawn_x(*s, v) - 20), 1.0) << k;
    EXPECT_LE(std::fabs(drawn_y(*s, v) - 300), 1.0) << k;
  }
  EXPECT_EQ(s->g_rate, 100.0 / std::pow(1.25, 7));
  for (int i = 0; i < s->NOV; ++i) ASSERT_EQ(s->x[i], start_up()->x[i]) << "the surface stays";
}

TEST(Navigation, InAndOutAgainNeverDrifts) {
  auto s = start_up();
  Navigation nav;
  // Odd pointer positions make every step's origin fall between pixels.
  for (int round = 0; round < 50; ++round) {
    for (int k = 0; k < 5; ++k) nav.wheel(*s, 120, 120, 101 + k, 203 - 3 * k);
    for (int k = 4; k >= 0; --k) nav.wheel(*s, -120, 120, 101 + k, 203 - 3 * k);
  }
  EXPECT_EQ(s->g_rate, 100.0);
  EXPECT_EQ(s->g_centerx, 320);
  EXPECT_EQ(s->g_centery, 220);
}

TEST(Navigation, HomeIsDefaultSizeWithTheOriginBackAndAResizeIsTheNewHome) {
  auto s = start_up();
  Navigation nav;
  for (int k = 0; k < 3; ++k) nav.wheel(*s, 120, 120, 50, 60);
  ASSERT_NE(s->g_centerx, 320);
  for (int i = 0; i < s->NOV; ++i) s->x[i] += 1.5;
  EXPECT_TRUE(nav.key(*s, NavKey::Home));
  EXPECT_EQ(s->g_rate, 100.0);
  EXPECT_EQ(s->g_centerx, 320);
  EXPECT_EQ(s->g_centery, 220);
  double mx = 0;
  for (int i = 0; i < s->NOV; ++i) mx += s->x[i];
  EXPECT_NEAR(mx / s->NOV, 0.0, 1e-12) << "centred as Default size centres";

  // The canvas re-centres on a resize; that centre is where Home returns to.
  nav.wheel(*s, 120, 120, 50, 60);
  s->g_centerx = 400;
  s->g_centery = 300;
  nav.wheel(*s, -120, 120, 10, 10);
  nav.default_view(*s);
  EXPECT_EQ(s->g_centerx, 400);
  EXPECT_EQ(s->g_centery, 300);
  EXPECT_EQ(s->g_rate, 100.0);
}

TEST(Navigation, ArrowsTurnLikeTheSpinAndOnlyHighlightedPieces) {
  struct Case {
    NavKey key;
    double a, b;
  };
  const Case cases[] = {{NavKey::Left, -kArrowStep, 0},
                        {NavKey::Right, kArrowStep, 0},
                        {NavKey::Up, 0, -kArrowStep},
                        {NavKey::Down, 0, kArrowStep}};
  for (bool highlighted : {false, true}) {
    for (const Case& c : cases) {
      auto s = start_up();
      ops::add_copy(*s, false);  // two pieces, so a highlight turns only one
      ASSERT_GT(s->NOcomp, 1);
      if (highlighted) s->hilighted[2] = true;
      auto orig = make_store();
      *orig = *s;
      auto want = make_store();
      *want = *s;
      rotatepoly(*want, c.a, c.b);
      Navigation nav;
      EXPECT_TRUE(nav.key(*s, c.key));
      int moved = 0, still = 0;
      for (int i = 0; i < s->NOV; ++i) {
        ASSERT_EQ(s->x[i], want->x[i]) << i;
        ASSERT_EQ(s->y[i], want->y[i]) << i;
        ASSERT_EQ(s->z[i], want->z[i]) << i;
        const bool same = s->x[i] == orig->x[i] && s->y[i] == orig->y[i] && s->z[i] == orig->z[i];
        (same ? still : moved) += 1;
      }
      // With a highlight the other piece stays where it was.
      EXPECT_GT(moved, 0);
      EXPECT_EQ(still, highlighted ? s->NOV / 2 : 0);
    }
  }
  // A right arrow moves the near side of the sheet right, as a flick to the
  // right spins it.
  auto s = start_up();
  int near = 0;
  for (int i = 1; i < s->NOV; ++i)
    if (s->z[i] < s->z[near]) near = i;
  const double x0 = s->x[near];
  Navigation nav;
  nav.key(*s, NavKey::Right);
  EXPECT_GT(s->x[near], x0);
  EXPECT_FALSE(nav.key(*s, NavKey::None));
}

}  // namespace
