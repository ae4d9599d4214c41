#include <gtest/gtest.h>

#include "model/store.h"
#include "ops/commands.h"
#include "ops/load.h"
#include "view/page_layout.h"

using namespace brimoss;

namespace {

struct Colours {
  int base[3], modify[3], back[3], backmodify[3], bg[3];
};

Colours read(const Store& s) {
  return {{s.basecolR, s.basecolG, s.basecolB},
          {s.modifycolR, s.modifycolG, s.modifycolB},
          {s.backcolR, s.backcolG, s.backcolB},
          {s.backmodifycolR, s.backmodifycolG, s.backmodifycolB},
          {s.bgcolR, s.bgcolG, s.bgcolB}};
}

#define EXPECT_RGB(arr, r, g, b) \
  EXPECT_EQ((arr)[0], r);        \
  EXPECT_EQ((arr)[1], g);        \
  EXPECT_EQ((arr)[2], b)

}  // namespace

TEST(Colours, StartWithTheirInitialValues) {
  auto s = make_store();
  initialize_store(*s);
  const Colours c = read(*s);
  EXPECT_RGB(c.base, 255, 0, 128);
  EXPECT_RGB(c.back, 0, 255, 127);
  // The initial marks are not derived from the face colours.
  EXPECT_RGB(c.modify, 0, 255, 0);
  EXPECT_RGB(c.backmodify, 255, 0, 255);
  EXPECT_RGB(c.bg, 255, 255, 255);
}

TEST(Colours, FaceForegroundSetsBaseAndHalvedRotatedMark) {
  struct Case {
    int r, g, b, mr, mg, mb;
  } cases[] = {
      {200, 100, 50, 25, 100, 50},
      {255, 255, 255, 127, 127, 127},  // halving rounds down
      {0, 0, 0, 0, 0, 0},
      {1, 3, 5, 2, 0, 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.r << "," << k.g << "," << k.b);
    auto s = make_store();
    ops::set_colour(*s, ops::ColourSetting::FaceForeground, k.r, k.g, k.b);
    const Colours c = read(*s);
    EXPECT_RGB(c.base, k.r, k.g, k.b);
    EXPECT_RGB(c.modify, k.mr, k.mg, k.mb);
    // The back side and the background are another command's.
    EXPECT_RGB(c.back, 0, 255, 127);
    EXPECT_RGB(c.backmodify, 255, 0, 255);
    EXPECT_RGB(c.bg, 255, 255, 255);
  }
}

TEST(Colours, FaceBackgroundSetsBackAndRotatedFullMark) {
  auto s = make_store();
  ops::set_colour(*s, ops::ColourSetting::FaceBackground, 200, 100, 50);
  Colours c = read(*s);
  EXPECT_RGB(c.back, 200, 100, 50);
  EXPECT_RGB(c.backmodify, 50, 200, 100);
  EXPECT_RGB(c.base, 255, 0, 128);
  EXPECT_RGB(c.modify, 0, 255, 0);
  EXPECT_RGB(c.bg, 255, 255, 255);

  ops::set_colour(*s, ops::ColourSetting::FaceBackground, 255, 255, 255);
  c = read(*s);
  EXPECT_RGB(c.backmodify, 255, 255, 255);  // the back mark keeps full strength
}

TEST(Colours, BackgroundTouchesOnlyTheBackground) {
  auto s = make_store();
  ops::set_colour(*s, ops::ColourSetting::Background, 10, 20, 30);
  const Colours c = read(*s);
  EXPECT_RGB(c.bg, 10, 20, 30);
  EXPECT_RGB(c.base, 255, 0, 128);
  EXPECT_RGB(c.modify, 0, 255, 0);
  EXPECT_RGB(c.back, 0, 255, 127);
  EXPECT_RGB(c.backmodify, 255, 0, 255);
}

TEST(PageLayout, FitsAndCentresTheCanvas) {
  struct Case {
    int cx, cy, w, h;
    float scale;
    int x, y;
  } cases[] = {
      // Portrait: the width limits; y = 1872.97 truncates, it is not rounded.
      {320, 220, 4800, 6600, 4800.0f / 740.0f, 324, 1872},
      // Landscape: the height limits.
      {320, 220, 6600, 4800, 4800.0f / 540.0f, 455, 444},
      // Square page, square canvas: both sides limit.
      {100, 100, 600, 600, 2.0f, 100, 100},
      // A canvas of no size still gets its 50-unit margin and sits centred.
      {0, 0, 300, 200, 2.0f, 150, 100},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.cx << "x" << k.cy << " on " << k.w << "x" << k.h);
    const PageLayout p = fit_canvas_to_page(k.cx, k.cy, k.w, k.h);
    EXPECT_EQ(p.scale, k.scale);
    EXPECT_EQ(p.originX, k.x);
    EXPECT_EQ(p.originY, k.y);
  }
}
