// The canvas's own pixel drawing: which pixels a triangle and a line cover,
// clipping and moving the picture, and the scene the drawing walk paints.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "model/samples.h"
#include "model/store.h"
#include "ops/load.h"
#include "testing/workloads.h"
#include "view/draw.h"
#include "view/raster.h"

using namespace brimoss;
using brimoss::testing::build_grown_surface;

namespace {

constexpr std::uint32_t kPaper = 0x12345678u;  // not a pixel the painter writes

// A small image of w x h pixels, all kPaper; '.' = untouched, letters for
// known colours.
struct Image {
  int w, h;
  std::vector<std::uint32_t> px;
  Image(int w_, int h_) : w(w_), h(h_), px(static_cast<size_t>(w_) * h_, kPaper) {}
  PixelTarget target() {
    PixelTarget t;
    t.pixels = px.data();
    t.width = w;
    t.height = h;
    t.stride = w;
    return t;
  }
  std::uint32_t word(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
  bool untouched(int x, int y) const { return word(x, y) == kPaper; }
  RGB at(int x, int y) const {
    const std::uint32_t p = word(x, y);
    return {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
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
  long count(RGB c) const {
    long n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += !untouched(x, y) && at(x, y) == c;
    return n;
  }
  // Every pixel written is opaque: cairo's images with an alpha channel hold
  // premultiplied colours, which a see-through pixel would misread.
  bool written_opaque() const {
    for (std::uint32_t p : px)
      if (p != kPaper && (p >> 24) != 0xFF) return false;
    return true;
  }
};

constexpr RGB kFill{200, 100, 50};
constexpr RGB kInk{10, 20, 30};

}  // namespace

TEST(Raster, TriangleCoversPixelCentresInsideItInEitherOrientation) {
  const char* want[6] = {"ffff..", "fff...", "ff....", "f.....", "......", "......"};
  const int xs[2][3] = {{0, 4, 0}, {0, 0, 4}}, ys[2][3] = {{0, 0, 4}, {0, 4, 0}};
  for (int o = 0; o < 2; ++o) {
    Image img(6, 6);
    RasterPainter p(img.target());
    p.fill_triangle(xs[o], ys[o], kFill);
    for (int y = 0; y < 6; ++y) EXPECT_EQ(img.row(y), want[y]) << o << ": row " << y;
    EXPECT_TRUE(img.written_opaque());
  }
  // A larger one against the rule itself: (2,3), (12,3), (2,13) covers the
  // pixels whose centres (x + 0.5, y + 0.5) satisfy x >= 2, y >= 3 and
  // (x - 2) + (y - 3) <= 9.
  Image big(20, 20);
  RasterPainter p(big.target());
  const int bx[3] = {2, 12, 2}, by[3] = {3, 3, 13};
  p.fill_triangle(bx, by, kFill);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= 2 && y >= 3 && (x - 2) + (y - 3) <= 9;
      ASSERT_EQ(!big.untouched(x, y), inside) << x << "," << y;
    }
  // A triangle of no area covers nothing.
  Image flat(20, 20);
  RasterPainter q(flat.target());
  const int fx[3] = {1, 5, 9}, fy[3] = {1, 5, 9};
  q.fill_triangle(fx, fy, kFill);
  EXPECT_EQ(flat.count(kFill), 0);
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

TEST(Raster, LinesCoverOnePixelPerStepTheSameFromEitherEnd) {
  const struct {
    int x0, y0, x1, y1;
  } lines[] = {{0, 0, 9, 0},  {0, 0, 0, 9},  {0, 0, 9, 9}, {9, 0, 0, 9},  {1, 2, 17, 7},
               {3, 18, 7, 1}, {18, 5, 2, 6}, {4, 4, 4, 4}, {0, 19, 19, 0}};
  for (const auto& l : lines) {
    Image a(20, 20), b(20, 20);
    RasterPainter pa(a.target()), pb(b.target());
    pa.line(l.x0, l.y0, l.x1, l.y1, kInk);
    pb.line(l.x1, l.y1, l.x0, l.y0, kInk);
    EXPECT_EQ(a.px, b.px) << l.x0 << "," << l.y0 << " " << l.x1 << "," << l.y1;
    EXPECT_EQ(a.at(l.x0, l.y0), kInk);
    EXPECT_EQ(a.at(l.x1, l.y1), kInk);
    const int steps = std::max(std::abs(l.x1 - l.x0), std::abs(l.y1 - l.y0)) + 1;
    EXPECT_EQ(a.count(kInk), steps);
  }
  // A shallow line rounds to the nearest row: (0,0)-(10,3) passes y = 1.5 at
  // x = 5, rounded up.
  Image r(12, 5);
  RasterPainter pr(r.target());
  pr.line(0, 0, 10, 3, kInk);
  const int want[11] = {0, 0, 1, 1, 1, 2, 2, 2, 2, 3, 3};
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(r.at(x, want[x]), kInk) << x;
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

TEST(Raster, ClippedOrMovedDrawingIsTheWholeDrawingCutOrShifted) {
  // Shapes reaching far beyond the image, drawn whole, clipped to a window,
  // and moved by an origin: the pixels agree wherever both are drawn.
  auto draw = [](RasterPainter& p) {
    const int ax[3] = {-300, 90, 40}, ay[3] = {20, -500, 70};
    p.fill_triangle(ax, ay, RGB{200, 0, 0});
    const int bx[3] = {10, 1000000000, 60}, by[3] = {60, 30, -1000000000};
    p.fill_triangle(bx, by, RGB{0, 200, 0});
    p.line(-1000000000, 5, 1000000000, 75, kInk);
    p.line(33, -70000, 47, 90000, kInk);
    const int cx[3] = {5, 50, 20}, cy[3] = {70, 45, 10};
    p.triangle(cx, cy, kFill, true);
  };
  Image whole(100, 80);
  RasterPainter pw(whole.target());
  draw(pw);
  EXPECT_GT(whole.count(kInk), 0);

  Image cut(100, 80);
  PixelTarget ct = cut.target();
  ct.clipX0 = 17, ct.clipY0 = 9, ct.clipX1 = 71, ct.clipY1 = 52;
  RasterPainter pc(ct);
  draw(pc);
  Image moved(100, 80);
  PixelTarget mt = moved.target();
  mt.originX = 13, mt.originY = -7;
  RasterPainter pm(mt);
  draw(pm);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool in = x >= 17 && x < 71 && y >= 9 && y < 52;
      ASSERT_EQ(cut.word(x, y), in ? whole.word(x, y) : kPaper) << x << "," << y;
      const int sx = x - 13, sy = y + 7;
      if (sx >= 0 && sx < 100 && sy >= 0 && sy < 80) {
        ASSERT_EQ(moved.word(x, y), whole.word(sx, sy)) << x << "," << y;
      }
    }
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

TEST(DrawScene, GrownSurfaceInPixelsIsTheSameTwiceCoversTheCanvasAndShowsTheTopFace) {
  auto s = make_store();
  build_grown_surface(*s);
  s->g_twincle = 0;
  s->g_centerx = 320, s->g_centery = 240;
  s->g_rate = 30;
  Image a(641, 481), b(641, 481);
  RasterPainter pa(a.target()), pb(b.target());
  draw_scene(*s, pa);
  draw_scene(*s, pb);
  EXPECT_EQ(a.px, b.px);
  EXPECT_TRUE(a.written_opaque());
  for (int y = 0; y < a.h; ++y)
    for (int x = 0; x < a.w; ++x) ASSERT_FALSE(a.untouched(x, y)) << "the background covers all";
  // The face drawn last shows its colour at its centre.
  const int f = s->order[s->NOS - 1];
  int cx = 0, cy = 0;
  for (int k = 0; k < 3; ++k) cx += s->gx[s->face[f][k]], cy += s->gy[s->face[f][k]];
  EXPECT_EQ(a.at(cx / 3, cy / 3), getcolor(*s, f));
}
