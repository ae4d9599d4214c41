#include <gtest/gtest.h>

#include <vector>

#include "model/store.h"
#include "view/draw.h"

using namespace brimoss;

namespace {

// One face with P0 at the origin, P1 = a and P2 = b, so its normal is a x b.
std::unique_ptr<Store> one_face(double ax, double ay, double az, double bx, double by, double bz) {
  auto s = make_store();
  s->NOV = 3;
  s->x[1] = ax, s->y[1] = ay, s->z[1] = az;
  s->x[2] = bx, s->y[2] = by, s->z[2] = bz;
  s->NOS = 1;
  s->face[0] = Face{{0, 1, 2}};
  s->g_purtj = 99;  // away from the face unless a case says otherwise
  return s;
}

}  // namespace

// a = (1, 0, 0), b = (0, -1, t) gives N = (0, -t, -1): a front face whose
// light is s = -0.9 t. Swapping to a = (0, -1, t), b = (1, 0, 0) flips N.
TEST(FaceColour, ShadingSidesAndClamping) {
  struct Case {
    const char* what;
    bool flip;
    double t;
    RGB want;
  };
  const Case cases[] = {
      {"front, light 0.5 lightens", false, -5.0 / 9.0, {255, 127, 191}},
      {"front, light -0.5 darkens", false, 5.0 / 9.0, {127, 0, 64}},
      {"front, no light keeps the colour", false, 0.0, {255, 0, 128}},
      {"front, light clamped to 1 is white", false, -50.0, {255, 255, 255}},
      {"front, light clamped to -1 is black", false, 50.0, {0, 0, 0}},
      {"back, no light keeps the back colour", true, 0.0, {0, 255, 127}},
      {"back, light 0.5 lightens", true, 5.0 / 9.0, {127, 255, 191}},
  };
  for (const Case& c : cases) {
    auto s = c.flip ? one_face(0, -1, c.t, 1, 0, 0) : one_face(1, 0, 0, 0, -1, c.t);
    EXPECT_EQ(getcolor(*s, 0), c.want) << c.what;
  }
}

TEST(FaceColour, EdgeOnFaceTakesTheBackColour) {
  // a = (1, 0, 0), b = (2, 0, 1): N = (0, -1, 0), seen exactly edge-on;
  // light -0.9 darkens the back colour.
  auto s = one_face(1, 0, 0, 2, 0, 1);
  EXPECT_EQ(getcolor(*s, 0), (RGB{0, static_cast<int>(255 * 0.1), static_cast<int>(127 * 0.1)}));
}

TEST(FaceColour, MarkAveragesWithIntegerDivisionOnEitherSide) {
  auto front = one_face(1, 0, 0, 0, -1, 0);  // N = (0, 0, -1), no light
  auto back = one_face(0, -1, 0, 1, 0, 0);   // N = (0, 0, 1)
  for (int v = 0; v < 3; ++v) {
    front->g_purtj = back->g_purtj = v;
    EXPECT_EQ(getcolor(*front, 0), (RGB{127, 127, 64})) << "vertex " << v;
    EXPECT_EQ(getcolor(*back, 0), (RGB{127, 127, 191})) << "vertex " << v;
  }
  // Mark colours follow the settings.
  front->modifycolR = 1, front->modifycolG = 2, front->modifycolB = 3;
  EXPECT_EQ(getcolor(*front, 0), (RGB{128, 1, 65}));
}

TEST(FaceColour, TwinkleReplacesEvenTheMark) {
  auto s = one_face(1, 0, 0, 0, -1, 0);
  s->NOS = 2;
  s->face[1] = s->face[0];
  s->g_purtj = 0;
  depth_order(*s);
  s->g_twincle = 1;
  EXPECT_EQ(draw_colour(*s, 1), kTwinkleColour);
  EXPECT_EQ(draw_colour(*s, 0), (RGB{127, 127, 64}));
  s->g_twincle = 0;  // off: position 0 is never twinkled
  EXPECT_EQ(draw_colour(*s, 0), (RGB{127, 127, 64}));
}

TEST(FaceColour, OutlineFollowsTheFirstVertexsComponent) {
  auto s = one_face(1, 0, 0, 0, -1, 0);
  s->conn_comp[0] = 2, s->conn_comp[1] = 3, s->conn_comp[2] = 3;
  EXPECT_FALSE(outline_white(*s, 0));
  s->hilighted[3] = true;
  EXPECT_FALSE(outline_white(*s, 0));
  s->hilighted[2] = true;
  EXPECT_TRUE(outline_white(*s, 0));
}

TEST(Twinkle, SweepsPastTheLastFaceThenStops) {
  auto s = make_store();
  s->NOS = 3;
  s->g_twincle = 1;
  std::vector<int> seen;
  for (int i = 0; i < 5; ++i) {
    twinkle_step(*s);
    seen.push_back(s->g_twincle);
  }
  EXPECT_EQ(seen, (std::vector<int>{2, 3, 0, 0, 0}));
  s->NOS = 0;
  s->g_twincle = 1;
  twinkle_step(*s);
  EXPECT_EQ(s->g_twincle, 0);
}

TEST(Projection, FloorsBeforeTheOffset) {
  auto s = make_store();
  s->g_centerx = 320, s->g_centery = 220;
  struct Case {
    double rate, v;
    int off;  // floor(rate * v)
  };
  const Case cases[] = {{1.0, -0.5, -1}, {1.0, 0.5, 0},   {100.0, -1.0, -100},
                        {1.0, 1.999, 1}, {100.0, 0.0, 0}, {125.0, -0.0041, -1}};
  for (const Case& c : cases) {
    s->g_rate = c.rate;
    s->NOV = 1;
    s->x[0] = s->y[0] = c.v;
    project(*s);
    EXPECT_EQ(s->gx[0], 320 + c.off) << c.rate << " x " << c.v;
    EXPECT_EQ(s->gy[0], 220 - c.off) << c.rate << " x " << c.v;
  }
}

TEST(Projection, FarPointsDoNotOverflow) {
  auto s = make_store();
  s->NOV = 2;
  s->x[0] = 1e300, s->y[0] = -1e300;
  s->x[1] = -1e300, s->y[1] = 1e300;
  project(*s);
  EXPECT_GT(s->gx[0], 100000000);
  EXPECT_GT(s->gy[0], 100000000);
  EXPECT_LT(s->gx[1], -100000000);
  EXPECT_LT(s->gy[1], -100000000);
}

TEST(DepthOrder, DeepestFirstAndEqualDepthsByDescendingIndex) {
  auto s = make_store();
  s->NOV = 4;
  s->z[0] = 0.0, s->z[1] = 3.0, s->z[2] = -3.0, s->z[3] = 0.0;
  s->NOS = 5;
  s->face[0] = Face{{0, 3, 0}};  // depth 0
  s->face[1] = Face{{1, 1, 1}};  // depth 3
  s->face[2] = Face{{0, 0, 3}};  // depth 0
  s->face[3] = Face{{2, 2, 2}};  // depth -3
  s->face[4] = Face{{3, 3, 0}};  // depth 0
  depth_order(*s);
  EXPECT_EQ(s->center[1], 3.0);
  EXPECT_EQ(s->center[3], -3.0);
  const int want[] = {1, 4, 2, 0, 3};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(s->order[k], want[k]) << "draw position " << k;
}
