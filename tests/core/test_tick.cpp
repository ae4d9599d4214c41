#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "copy/paste.h"
#include "model/samples.h"
#include "model/store.h"
#include "ops/commands.h"
#include "ops/load.h"
#include "ops/tick.h"
#include "sim/relax.h"
#include "sim/rotate.h"
#include "sim/spread.h"
#include "testing/fixtures.h"
#include "view/draw.h"
#include "view/mouse.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<Store> start_up() {
  auto s = make_store();
  initialize_store(*s);
  return s;
}

std::unique_ptr<Store> clone(const Store& s) {
  auto c = make_store();
  *c = s;
  return c;
}

// A tick as the window runs it: the tick, then the repaint's twinkle step.
TickBranch tick_and_draw(Store& s) {
  const TickBranch b = timer_tick(s);
  twinkle_step(s);
  return b;
}

// Angle of a point about the y axis, as a rotation by a about y adds a to it.
double angle_about_y(double x, double z) { return std::atan2(z, x); }

double wrap(double a) { return std::remainder(a, 2 * kPi); }

TEST(Tick, StartUpPerturbsVertexOneFor49TicksWhileTheTwinkleRuns) {
  auto s = start_up();
  const int faces = s->NOS;
  ASSERT_LT(faces, 49) << "the twinkle should end inside the wave";
  for (int p = 1; p <= 49; ++p) {
    SCOPED_TRACE(p);
    // What the tick must do: relax, then lift vertex 1 alone.
    auto expected = clone(*s);
    modify(*expected);
    expected->z[1] += 0.16 * std::sin(0.4 * p) * (1 - 0.02 * p) * (1 - 0.02 * p);
    const int twinkle = s->g_twincle;
    ASSERT_EQ(tick_and_draw(*s), TickBranch::Perturb);
    EXPECT_STREQ(s->messagetxt, "Now purturbing..");
    EXPECT_TRUE(same_positions(*s, *expected));
    EXPECT_EQ(s->g_purturb, p < 49 ? p + 1 : 0);
    EXPECT_EQ(s->g_twincle, twinkle == 0 || twinkle == faces ? 0 : twinkle + 1);
  }
  EXPECT_EQ(s->g_twincle, 0);
  EXPECT_EQ(tick_and_draw(*s), TickBranch::Idle);
  EXPECT_STREQ(s->messagetxt, " ");
}

TEST(Tick, TwinkleAfterALoadShowsUntilItPassesTheLastFace) {
  auto s = start_up();
  s->g_purturb = 0;
  ReadSampleData(*s, 128);
  ASSERT_EQ(s->g_twincle, 1);
  for (int k = 1; k <= s->NOS; ++k) {
    ASSERT_EQ(tick_and_draw(*s), TickBranch::Twinkle) << k;
    EXPECT_STREQ(s->messagetxt, "Now twincling..");
  }
  EXPECT_EQ(tick_and_draw(*s), TickBranch::Idle);
  EXPECT_STREQ(s->messagetxt, " ");
}

TEST(Tick, FlickSpinTurnsAboutTheYAxisBy245Hundredths) {
  auto s = start_up();
  s->gx.fill(-1000);
  s->gy.fill(-1000);
  MouseEffects e;
  mouse_event(*s, MouseKind::LeftDown, 100, 200, e);
  mouse_event(*s, MouseKind::LeftUp, 200, 200, e);
  ASSERT_DOUBLE_EQ(s->g_vangle, 0.1);
  ASSERT_EQ(s->g_hangle, 0.0);

  const int v = 5;
  const double y0 = s->y[v], a0 = angle_about_y(s->x[v], s->z[v]);
  const double r0 = std::hypot(s->x[v], s->z[v]);
  double turned = 0;
  for (int k = 1; k <= 49; ++k) {
    const double before = angle_about_y(s->x[v], s->z[v]);
    ASSERT_EQ(tick_and_draw(*s), TickBranch::Spin) << k;
    EXPECT_STREQ(s->messagetxt, "Now rotating..");
    const double step = wrap(angle_about_y(s->x[v], s->z[v]) - before);
    EXPECT_NEAR(step, 0.02 * (50 - k) * 0.1, 1e-12) << k;
    turned += step;
  }
  EXPECT_EQ(s->g_rotate, 0);
  EXPECT_NEAR(turned, 2.45, 1e-10);
  EXPECT_NEAR(wrap(angle_about_y(s->x[v], s->z[v]) - a0), wrap(2.45), 1e-10);
  EXPECT_NEAR(s->y[v], y0, 1e-12);
  EXPECT_NEAR(std::hypot(s->x[v], s->z[v]), r0, 1e-12);
  EXPECT_NE(tick_and_draw(*s), TickBranch::Spin);
}

TEST(Tick, SpinWithAHighlightTurnsOnlyThatComponentAboutItsCentre) {
  auto s = start_up();
  for (int i = 0; i < s->NOV; ++i) s->conn_comp[i] = i < 12 ? 1 : 2;
  s->hilighted[2] = true;
  s->g_purturb = 0;
  s->g_rotate = 1;
  s->g_vangle = 0.3;
  s->g_hangle = -0.2;
  const auto before = clone(*s);
  double c[3] = {0, 0, 0};
  for (int i = 12; i < s->NOV; ++i) {
    c[0] += s->x[i];
    c[1] += s->y[i];
    c[2] += s->z[i];
  }
  for (double& v : c) v /= s->NOV - 12;

  for (int k = 0; k < 49; ++k) tick_and_draw(*s);
  EXPECT_EQ(s->g_rotate, 0);

  double m[3] = {0, 0, 0};
  bool moved = false;
  for (int i = 0; i < s->NOV; ++i) {
    if (i < 12) {
      EXPECT_EQ(s->x[i], before->x[i]);
      EXPECT_EQ(s->y[i], before->y[i]);
      EXPECT_EQ(s->z[i], before->z[i]);
      continue;
    }
    m[0] += s->x[i];
    m[1] += s->y[i];
    m[2] += s->z[i];
    const double r0 = std::hypot(before->x[i] - c[0], before->y[i] - c[1], before->z[i] - c[2]);
    const double r1 = std::hypot(s->x[i] - c[0], s->y[i] - c[1], s->z[i] - c[2]);
    EXPECT_NEAR(r1, r0, 1e-12) << i;
    moved = moved || std::abs(s->x[i] - before->x[i]) > 1e-3;
  }
  EXPECT_TRUE(moved);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(m[k] / (s->NOV - 12), c[k], 1e-12);
}

TEST(Rotatepoly, TurnsAboutYThenAboutX) {
  auto s = make_store();
  s->NOV = 3;
  const double p[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i) {
    s->x[i] = p[i][0];
    s->y[i] = p[i][1];
    s->z[i] = p[i][2];
  }
  rotatepoly(*s, kPi / 2, kPi / 2);
  // x goes to z by the turn about y, then z goes to y by the turn about x.
  const double want[3][3] = {{0, 1, 0}, {0, 0, -1}, {-1, 0, 0}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(s->x[i], want[i][0], 1e-15) << i;
    EXPECT_NEAR(s->y[i], want[i][1], 1e-15) << i;
    EXPECT_NEAR(s->z[i], want[i][2], 1e-15) << i;
  }
}

TEST(Tick, PriorityRunsOneBranchAndSuspendsTheOthers) {
  struct Case {
    int paste, purturb, rotate, twincle, buru;
    TickBranch branch;
    const char* message;  // nullptr: the paste step writes its own
  };
  const Case cases[] = {
      {1, 5, 5, 5, 5, TickBranch::Paste, nullptr},
      {0, 5, 5, 5, 5, TickBranch::Perturb, "Now purturbing.."},
      {0, 0, 5, 5, 5, TickBranch::Spin, "Now rotating.."},
      {0, 0, 0, 5, 5, TickBranch::Twinkle, "Now twincling.."},
      {0, 0, 0, 0, 5, TickBranch::Sway, "Now swaying.."},
      {0, 0, 0, 0, 0, TickBranch::Idle, " "},
      {0, -2, -1, -3, -4, TickBranch::Idle, " "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.branch));
    auto s = start_up();
    if (c.paste) {
      // A paste of two vertices that share no edge, set up as the mouse does.
      s->g_paste_i1 = 0;
      s->g_paste_i2 = s->NOV - 1;
      pastevertices1(*s);
    }
    s->g_pasteevent = c.paste;
    s->g_purturb = c.purturb;
    s->g_rotate = c.rotate;
    s->g_twincle = c.twincle;
    s->g_buru = c.buru;
    set_message(*s, "before");
    EXPECT_EQ(timer_tick(*s), c.branch);
    if (c.message) {
      EXPECT_STREQ(s->messagetxt, c.message);
    }
    // Only the branch that ran moves its own counter.
    EXPECT_EQ(s->g_purturb, c.purturb + (c.branch == TickBranch::Perturb));
    EXPECT_EQ(s->g_rotate, c.rotate + (c.branch == TickBranch::Spin));
    EXPECT_EQ(s->g_twincle, c.twincle);
    EXPECT_EQ(s->g_buru, c.buru - (c.branch == TickBranch::Sway));
  }
}

TEST(Tick, SwayManyRunsFifteenSpreadingTicks) {
  auto s = start_up();
  s->g_purturb = 0;
  s->g_twincle = 0;
  s->z[4] += 0.4;  // a crease for the sweep to work on
  ops::sway(*s, ops::Sway::Many);
  for (int k = 1; k <= 15; ++k) {
    SCOPED_TRACE(k);
    auto expected = clone(*s);
    spread(*expected);
    ASSERT_EQ(tick_and_draw(*s), TickBranch::Sway);
    EXPECT_STREQ(s->messagetxt, "Now swaying..");
    EXPECT_TRUE(same_positions(*s, *expected));
    EXPECT_EQ(s->g_buru, 15 - k);
  }
  EXPECT_EQ(tick_and_draw(*s), TickBranch::Idle);
}

TEST(Tick, SwayCommandsReplaceTheRunningSway) {
  struct Case {
    ops::Sway how;
    int buru;
  };
  const Case cases[] = {{ops::Sway::Once, 3}, {ops::Sway::Some, 7}, {ops::Sway::Many, 15}};
  for (const Case& c : cases) {
    auto s = start_up();
    s->g_purturb = 0;
    s->g_twincle = 0;
    ops::sway(*s, ops::Sway::Many);
    for (int k = 0; k < 5; ++k) ASSERT_EQ(tick_and_draw(*s), TickBranch::Sway);
    ASSERT_EQ(s->g_buru, 10);
    ops::sway(*s, c.how);
    EXPECT_EQ(s->g_buru, c.buru);
  }
}

TEST(Tick, TwinkleHoldsTheSwayUntilItEnds) {
  auto s = start_up();
  s->g_purturb = 0;
  s->g_twincle = s->NOS - 2;
  ops::sway(*s, ops::Sway::Once);
  const TickBranch want[] = {TickBranch::Twinkle, TickBranch::Twinkle, TickBranch::Twinkle,
                             TickBranch::Sway,    TickBranch::Sway,    TickBranch::Sway,
                             TickBranch::Idle};
  for (TickBranch b : want) EXPECT_EQ(tick_and_draw(*s), b);
}

TEST(Tick, PerturbationOfAVertexThatIsGoneMovesNothing) {
  for (int v : {-1, 29, 5000}) {
    auto s = start_up();
    s->g_purtj = v;
    auto expected = clone(*s);
    modify(*expected);
    EXPECT_EQ(timer_tick(*s), TickBranch::Perturb);
    EXPECT_TRUE(same_positions(*s, *expected));
    EXPECT_EQ(s->g_purturb, 2);
  }
}

TEST(Tick, EmptySurface) {
  auto s = make_store();
  s->g_purtj = 1;
  s->g_purturb = 1;
  for (int k = 0; k < 49; ++k) EXPECT_EQ(tick_and_draw(*s), TickBranch::Perturb);
  s->g_rotate = 1;
  s->g_vangle = 0.5;
  EXPECT_EQ(tick_and_draw(*s), TickBranch::Spin);
  s->g_rotate = 0;
  ops::sway(*s, ops::Sway::Some);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(tick_and_draw(*s), TickBranch::Sway);
  EXPECT_EQ(tick_and_draw(*s), TickBranch::Idle);
  EXPECT_EQ(s->NOV, 0);
}

}  // namespace
