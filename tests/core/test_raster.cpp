#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/samples.h"
#include "model/store.h"
#include "view/draw.h"
#include "view/raster.h"

using namespace brimoss;

namespace {

// A small image of 4-byte pixels (blue, green, red, pad), painted through a
// RasterPainter; '.' = untouched, letters for known colours.
struct Image {
  int w, h;
  std::vector<std::uint8_t> px;
  Image(int w_, int h_) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_ * 4, 7) {}
  PixelTarget target() {
    PixelTarget t;
    t.data = px.data();
    t.width = w;
    t.height = h;
    t.stride = w * 4;
    t.bytes = 4;
    t.red = 2, t.green = 1, t.blue = 0;
    return t;
  }
  RGB at(int x, int y) const {
    const std::uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    return {p[2], p[1], p[0]};
  }
  bool untouched(int x, int y) const {
    const std::uint8_t* p = &px[(static_cast<size_t>(y) * w + x) * 4];
    return p[0] == 7 && p[1] == 7 && p[2] == 7;
  }
  std::string row(int y) const {
    std::string s;
    for (int x = 0; x < w; ++x) {
      const RGB c = at(x, y);
      s += untouched(x, y)           ? '.'
           : c == RGB{0, 0, 0}       ? 'k'
           : c == RGB{255, 255, 255} ? 'w'
           : c == RGB{200, 100, 50}  ? 'f'
                                     : '?';
    }
    return s;
  }
  bool pads_untouched() const {
    for (size_t i = 3; i < px.size(); i += 4)
      if (px[i] != 7) return false;
    return true;
  }
};

constexpr RGB kFill{200, 100, 50};

}  // namespace

TEST(Raster, TriangleCoversPixelCentresInsideIt) {
  Image img(6, 6);
  RasterPainter p(img.target());
  const int xs[3] = {0, 4, 0}, ys[3] = {0, 0, 4};
  p.fill_triangle(xs, ys, kFill);
  const char* want[6] = {"ffff..", "fff...", "ff....", "f.....", "......", "......"};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(img.row(y), want[y]) << "row " << y;
  EXPECT_TRUE(img.pads_untouched());
}

TEST(Raster, OutlinedTriangleAndBackground) {
  Image img(7, 6);
  RasterPainter p(img.target());
  p.background(7, 5, RGB{200, 100, 50});
  const char* bg[6] = {"wwwwwww", "wfffffw", "wfffffw", "wfffffw", "wwwwwww", "......."};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(img.row(y), bg[y]) << "row " << y;

  Image tri(7, 6);
  RasterPainter q(tri.target());
  const int xs[3] = {1, 5, 1}, ys[3] = {1, 1, 5};
  q.triangle(xs, ys, kFill, false);
  const char* want[6] = {".......", ".kkkkk.", ".kffk..", ".kfk...", ".kk....", ".k....."};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(tri.row(y), want[y]) << "row " << y;
  q.triangle(xs, ys, kFill, true);
  EXPECT_EQ(tri.row(1), ".wwwww.");
}

TEST(Raster, FarCornersAreClippedQuickly) {
  Image img(20, 10);
  RasterPainter p(img.target());
  // A triangle reaching a billion pixels out covers the whole image and a
  // line across it is cut to the image, both without walking the far part.
  const int xs[3] = {-1000000000, 1000000000, 0}, ys[3] = {-1000000000, -1000000000, 1000000000};
  p.fill_triangle(xs, ys, kFill);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(img.row(y), std::string(20, 'f')) << "row " << y;
  p.line(-1000000000, 5, 1000000000, 5, RGB{0, 0, 0});
  EXPECT_EQ(img.row(5), std::string(20, 'k'));
  p.line(-50, -50, -10, 300, RGB{0, 0, 0});  // wholly outside
  p.line(5, -1000000000, 5, -3, RGB{0, 0, 0});
  EXPECT_EQ(img.row(0), std::string(20, 'f'));
  // Entirely off the image: nothing.
  Image off(4, 4);
  RasterPainter q(off.target());
  const int ox[3] = {10, 20, 10}, oy[3] = {10, 10, 20};
  q.triangle(ox, oy, kFill, false);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(off.row(y), "....");
}

namespace {

// Records what draw_scene asks for.
struct Recorder : ScenePainter {
  int bw = -1, bh = -1;
  RGB bg;
  struct Tri {
    int xs[3], ys[3];
    RGB fill;
    bool white;
  };
  std::vector<Tri> tris;
  void background(int w, int h, RGB fill) override { bw = w, bh = h, bg = fill; }
  void triangle(const int xs[3], const int ys[3], RGB fill, bool white) override {
    tris.push_back({{xs[0], xs[1], xs[2]}, {ys[0], ys[1], ys[2]}, fill, white});
  }
};

}  // namespace

TEST(DrawScene, WalksFacesBackToFrontWithTheirColoursAndOutlines) {
  auto s = make_store();
  ReadSampleData(*s, 131);
  s->g_centerx = 320, s->g_centery = 220;
  s->bgcolR = 1, s->bgcolG = 2, s->bgcolB = 3;
  s->hilighted[1] = true;
  ASSERT_EQ(s->g_twincle, 1);
  Recorder r;
  draw_scene(*s, r);
  EXPECT_EQ(r.bw, 641);
  EXPECT_EQ(r.bh, 441);
  EXPECT_EQ(r.bg, (RGB{1, 2, 3}));
  ASSERT_EQ(static_cast<int>(r.tris.size()), s->NOS);
  for (int k = 0; k < s->NOS; ++k) {
    const int f = s->order[k];
    if (k > 0) {
      EXPECT_GE(s->center[s->order[k - 1]], s->center[f]);
    }
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(r.tris[k].xs[j], s->gx[s->face[f][j]]);
      EXPECT_EQ(r.tris[k].ys[j], s->gy[s->face[f][j]]);
    }
    EXPECT_EQ(r.tris[k].fill, k == 1 ? kTwinkleColour : getcolor(*s, f)) << k;
    EXPECT_TRUE(r.tris[k].white);
  }
  EXPECT_EQ(s->g_twincle, 2);

  // Empty: the background and nothing else; the twinkle still moves on.
  s->NOS = 0;
  Recorder e;
  draw_scene(*s, e);
  EXPECT_EQ(e.bw, 641);
  EXPECT_TRUE(e.tris.empty());
  EXPECT_EQ(s->g_twincle, 0);
}
