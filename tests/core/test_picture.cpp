// Pictures of the view: the pixels against the canvas's own drawing, the
// magnified picture against the plain one, the SVG drawing as a real
// renderer (rsvg-convert) draws it, and the batch tool's picture command (its
// command table run in this process).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "tests/core/png_reader.h"
#include "view/draw.h"
#include "view/fit.h"
#include "view/picture.h"
#include "view/raster.h"
#include "view/svg.h"

using namespace brimoss;
namespace {

std::string temp_name(const std::string& name) {
  return ::testing::TempDir() + "brimoss_picture_" + std::to_string(getpid()) + "_" + name;
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream o;
  o << in.rdbuf();
  return o.str();
}

// The batch tool's commands on a store as the tool starts it.
struct ScriptRun {
  int status = -1;
  std::string out, err;
};
ScriptRun run_script(const std::string& script, Store* after = nullptr) {
  auto s = make_store();
  initialize_store(*s);
  std::istringstream in(script);
  std::ostringstream out, err;
  ScriptRun r;
  r.status = cli::run_script(*s, in, out, err);
  r.out = out.str();
  r.err = err.str();
  if (after) *after = *s;
  return r;
}

// The start-up surface grown a little, with a current vertex that marks
// faces, one highlighted piece (white outlines) and the twinkle sweep under
// way, as the canvas would find it.
std::unique_ptr<Store> scene() {
  auto s = make_store();
  initialize_store(*s);
  grow_border(*s, 12);
  s->g_purtj = 3;
  s->hilighted[s->conn_comp[s->face[0][0]]] = true;
  s->g_twincle = s->NOS - 1;  // the front-most face, in sight
  return s;
}

// What the canvas's image holds after a paint: the scene drawn into a
// 1024 x 768 image of pixels, as the canvas draws it.
Picture canvas_image(Store& s) {
  Picture p;
  p.width = 1024;
  p.height = 768;
  p.pixels.assign(std::size_t(p.width) * p.height, 0xFF0000FFu);  // blue shows the unpainted
  PixelTarget t;
  t.pixels = p.pixels.data();
  t.width = p.width;
  t.height = p.height;
  t.stride = p.width;
  RasterPainter painter(t);
  draw_scene(s, painter);
  return p;
}

// Pixels whose 5 x 5 neighbourhood is one colour: inside a face (or the
// background), away from every outline and edge, where two renderers of the
// same shapes must agree exactly.
bool inside(const Picture& p, int x, int y) {
  if (x < 2 || y < 2 || x >= p.width - 2 || y >= p.height - 2) return false;
  const std::uint32_t c = p.at(x, y);
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx)
      if (p.at(x + dx, y + dy) != c) return false;
  return true;
}

std::uint32_t px(RGB c) { return pixel_of(c); }

long count(const Picture& p, std::uint32_t c) {
  long n = 0;
  for (std::uint32_t v : p.pixels) n += v == c;
  return n;
}

}  // namespace

TEST(Picture, AtTheCanvasSizeItIsTheCanvasImageWithoutTheTwinkle) {
  auto s = scene();
  s->g_centerx = 320;
  s->g_centery = 220;
  const auto before = make_store();
  *before = *s;
  const Picture p = render_picture(*s, {640, 440, 320, 220, 1});
  ASSERT_EQ(p.width, 640);
  ASSERT_EQ(p.height, 440);

  // The store is as it was: the sweep's place, the view, the screen positions
  // the mouse goes by.
  EXPECT_EQ(s->g_twincle, s->NOS - 1);
  EXPECT_EQ(s->g_rate, before->g_rate);
  EXPECT_EQ(s->g_centerx, 320);
  EXPECT_EQ(s->g_centery, 220);
  EXPECT_TRUE(s->gx == before->gx);
  EXPECT_TRUE(s->gy == before->gy);

  // The canvas draws the twinkling face; the picture leaves it out and is
  // otherwise the canvas's image, pixel for pixel.
  const Picture twinkling = canvas_image(*before);
  EXPECT_GT(count(twinkling, px(kTwinkleColour)), 0);
  EXPECT_EQ(count(p, px(kTwinkleColour)), 0);
  before->g_twincle = 0;
  const Picture canvas = canvas_image(*before);
  long differ = 0;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) differ += p.at(x, y) != canvas.at(x, y);
  EXPECT_EQ(differ, 0);
  // The canvas keeps its origin until it is next resized; a picture of a
  // canvas taller than twice the origin's height shows what the canvas
  // shows, and the background colour where the canvas's background
  // rectangle does not reach (and the canvas's image keeps older pixels).
  const Picture taller = render_picture(*s, {640, 460, 320, 220, 1});
  differ = 0;
  long unpainted = 0;
  for (int y = 0; y < taller.height; ++y)
    for (int x = 0; x < taller.width; ++x) {
      const bool old = canvas.at(x, y) == 0xFF0000FFu;
      unpainted += old;
      differ += taller.at(x, y) != (old ? 0xFFFFFFFFu : canvas.at(x, y));
    }
  EXPECT_EQ(differ, 0);
  EXPECT_GT(unpainted, 640);
  // Marked faces and white outlines are part of the picture.
  EXPECT_GT(count(p, 0xFFFFFFFFu), 0);
  EXPECT_GT(count(p, 0xFF000000u), 0);
}

TEST(Picture, TwiceTheSizeIsTheSameViewDrawnLargerWithThinOutlines) {
  auto s = scene();
  s->bgcolR = 40, s->bgcolG = 60, s->bgcolB = 200;
  const std::uint32_t bg = px({40, 60, 200});
  prepare_scene(*s);
  const auto gx = s->gx, gy = s->gy;
  // An odd size: the magnified background rectangle (outlined in white) falls
  // a pixel short of the right and bottom edges, which take the background
  // colour.
  const Picture one = render_picture(*s, PictureFrame::centred(321, 221, 1));
  const Picture two = render_picture(*s, PictureFrame::centred(321, 221, 2));
  ASSERT_EQ(two.width, 642);
  ASSERT_EQ(two.height, 442);
  EXPECT_EQ(two.at(641, 441), bg);
  EXPECT_EQ(two.at(641, 100), bg);
  EXPECT_EQ(two.at(640, 100), 0xFFFFFFFFu);
  // The mouse still finds the vertices where the canvas drew them.
  EXPECT_TRUE(s->gx == gx);
  EXPECT_TRUE(s->gy == gy);
  EXPECT_EQ(s->g_twincle, s->NOS - 1);

  // Inside every face and the background, the larger picture has the same
  // colour at the same place.
  long checked = 0, differ = 0;
  for (int y = 0; y < one.height; ++y)
    for (int x = 0; x < one.width; ++x) {
      if (!inside(one, x, y)) continue;
      ++checked;
      for (int k = 0; k < 4; ++k) differ += two.at(2 * x + k % 2, 2 * y + k / 2) != one.at(x, y);
    }
  EXPECT_GT(checked, 20000);
  EXPECT_EQ(differ, 0);

  // Faces are drawn at the larger scale with one-pixel outlines: twice the
  // length of outline, not four times its area as an enlarged image has.
  const long thin = count(one, 0xFF000000u), thick = count(two, 0xFF000000u);
  EXPECT_GT(thick, thin * 3 / 2);
  EXPECT_LT(thick, thin * 5 / 2);
}

TEST(Picture, SizesOutOfRangeGiveNoPicture) {
  auto s = scene();
  for (auto [w, h, m] :
       {std::array{0, 10, 1}, std::array{10, -1, 1}, std::array{10, 10, 0},
        std::array{kMaxPictureSide + 1, 10, 1}, std::array{kMaxPictureSide / 2 + 1, 10, 2}}) {
    const Picture p = render_picture(*s, PictureFrame::centred(w, h, m));
    EXPECT_EQ(p.width, 0) << w << " x " << h << " at " << m;
    EXPECT_TRUE(p.pixels.empty());
  }
  EXPECT_EQ(render_picture(*s, PictureFrame::centred(kMaxPictureSide / 2, 1, 2)).width,
            kMaxPictureSide);
  EXPECT_EQ(svg_picture(*s, PictureFrame::centred(0, 10)), "");
}

// The one composition both programs write through: the encoder is handed
// the rendered pixels as RGB rows, its refusal reaches the caller with no
// bytes, a drawing is never magnified, and a frame too large is refused
// before anything is drawn.
TEST(Picture, BytesComeFromTheRenderedRowsThroughTheEncoder) {
  auto s = scene();
  const PictureFrame frame = PictureFrame::centred(90, 70, 2);
  const Picture want = render_picture(*s, frame);
  int calls = 0;
  Picture seen;
  const PngEncoder keep = [&](std::uint8_t* rgb, int w, int h, std::string& bytes, std::string&) {
    ++calls;
    seen.width = w;
    seen.height = h;
    for (int i = 0; i < w * h; ++i, rgb += 3)
      seen.pixels.push_back(0xFF000000u | std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 |
                            rgb[2]);
    bytes = "encoded";
    return true;
  };
  std::string bytes, err;
  ASSERT_TRUE(picture_bytes(*s, PictureFormat::Png, frame, keep, bytes, err)) << err;
  EXPECT_EQ(bytes, "encoded");
  EXPECT_EQ(seen.width, 180);
  EXPECT_EQ(seen.height, 140);
  EXPECT_TRUE(seen.pixels == want.pixels);

  const PngEncoder refuse = [](std::uint8_t*, int, int, std::string& bytes, std::string& why) {
    bytes = "half";
    why = "the encoder gave up";
    return false;
  };
  EXPECT_FALSE(picture_bytes(*s, PictureFormat::Png, frame, refuse, bytes, err));
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(err, "the encoder gave up");

  ASSERT_TRUE(picture_bytes(*s, PictureFormat::Svg, frame, refuse, bytes, err)) << err;
  EXPECT_EQ(bytes, svg_picture(*s, PictureFrame::centred(90, 70, 1)));

  calls = 0;
  for (PictureFormat f : {PictureFormat::Png, PictureFormat::Svg}) {
    EXPECT_FALSE(
        picture_bytes(*s, f, PictureFrame::centred(kMaxPictureSide + 1, 5), keep, bytes, err));
    EXPECT_NE(err.find("at most 8192 a side"), std::string::npos) << err;
    EXPECT_EQ(bytes, "");
  }
  EXPECT_EQ(calls, 0);
}

TEST(Picture, FormatComesFromTheExtension) {
  const struct {
    const char* path;
    bool ok;
    PictureFormat format;
    const char* reason;
  } cases[] = {
      {"a.png", true, PictureFormat::Png, ""},
      {"dir/B.PNG", true, PictureFormat::Png, ""},
      {"c.svg", true, PictureFormat::Svg, ""},
      {"d.Svg", true, PictureFormat::Svg, ""},
      {"e", false, PictureFormat::Png, "no file type"},
      {"f.bmp", false, PictureFormat::Png, "unknown file type .bmp"},
      {"g.png/h", false, PictureFormat::Png, "no file type"},
  };
  for (const auto& c : cases) {
    PictureFormat f = c.format == PictureFormat::Png ? PictureFormat::Svg : PictureFormat::Png;
    std::string err;
    EXPECT_EQ(picture_format_for(c.path, f, err), c.ok) << c.path;
    if (c.ok)
      EXPECT_EQ(f, c.format) << c.path;
    else
      EXPECT_NE(err.find(c.reason), std::string::npos) << c.path << ": " << err;
  }
}

// The drawing as an independent renderer draws it: inside the faces it has
// the pixel picture's colours exactly; its polygons are the faces in drawing
// order with their outlines.
TEST(Picture, SvgDrawnByARealRendererHasTheFaceColours) {
  auto s = scene();
  const std::string svg = svg_picture(*s, PictureFrame::centred(640, 440));
  EXPECT_EQ(s->g_twincle, s->NOS - 1);
  const Picture pixels = render_picture(*s, PictureFrame::centred(640, 440));

  // One polygon a face, in drawing order with its fill and outline.
  prepare_scene(*s);
  std::istringstream lines(svg);
  int k = 0;
  for (std::string l; std::getline(lines, l);) {
    if (l.rfind("<polygon", 0) != 0) continue;
    ASSERT_LT(k, s->NOS);
    const int f = s->order[k++];
    const RGB c = getcolor(*s, f);
    char fill[32];
    std::snprintf(fill, sizeof fill, "fill=\"#%02x%02x%02x\"", c.r, c.g, c.b);
    EXPECT_NE(l.find(fill), std::string::npos) << l << " wants " << fill;
    EXPECT_EQ(l.find("stroke=\"#ffffff\"") != std::string::npos, outline_white(*s, f)) << l;
  }
  EXPECT_EQ(k, s->NOS);
  EXPECT_EQ(svg.find("#c0ffc0"), std::string::npos) << "no twinkle";

  const std::string in = temp_name("view.svg"), out = temp_name("view-svg.png");
  std::string err;
  ASSERT_TRUE(write_file_atomically(in, svg, err)) << err;
  const std::string cmd = "rsvg-convert -o '" + out + "' '" + in + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd << " (rsvg-convert is in librsvg2-bin)";
  Picture drawn;
  ASSERT_TRUE(testpng::read_png(out, drawn, err)) << err;
  std::remove(in.c_str());
  std::remove(out.c_str());
  ASSERT_EQ(drawn.width, 640);
  ASSERT_EQ(drawn.height, 440);

  long checked = 0, differ = 0, faces = 0;
  for (int y = 0; y < pixels.height; ++y)
    for (int x = 0; x < pixels.width; ++x) {
      if (!inside(pixels, x, y)) continue;
      ++checked;
      faces += pixels.at(x, y) != 0xFFFFFFFFu;
      if (drawn.at(x, y) != pixels.at(x, y) && ++differ <= 5)
        ADD_FAILURE() << "at (" << x << ", " << y << ") " << std::hex << drawn.at(x, y)
                      << " where the pixels have " << pixels.at(x, y);
    }
  EXPECT_GT(faces, 10000);
  EXPECT_GT(checked, 100000);
  EXPECT_EQ(differ, 0);
}

namespace {

std::uint32_t be32(const std::string& b, std::size_t at) {
  return std::uint32_t(std::uint8_t(b[at])) << 24 | std::uint32_t(std::uint8_t(b[at + 1])) << 16 |
         std::uint32_t(std::uint8_t(b[at + 2])) << 8 | std::uint8_t(b[at + 3]);
}

}  // namespace

TEST(CliPicture, WritesThePngOfTheRequestedSizeAsTheViewIsDrawn) {
  const std::string a = temp_name("a.png"), b = temp_name("b.PNG"), c = temp_name("c.svg");
  const std::string steps = "grow-border 12\ncurrent 3\nhighlight 1\n";
  // The store after the script: picture changes nothing, so it is the one
  // each picture was taken of.
  auto s = make_store();
  const ScriptRun r = run_script(
      steps + "picture " + a + " 320 200\npicture " + b + "\npicture " + c + " 100 80\n", s.get());
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // The header: the signature, then IHDR with the width and height.
  const std::string bytes = slurp(a);
  ASSERT_GT(bytes.size(), 33u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(bytes, 16), 320u);
  EXPECT_EQ(be32(bytes, 20), 200u);
  EXPECT_EQ(bytes[24], 8) << "8 bits a channel";
  EXPECT_EQ(bytes[25], 2) << "RGB";
  const std::string dflt = slurp(b);
  ASSERT_GT(dflt.size(), 24u);
  EXPECT_EQ(be32(dflt, 16), 640u);
  EXPECT_EQ(be32(dflt, 20), 480u);
  const std::string svg = slurp(c);
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find("width=\"100\" height=\"80\""), std::string::npos);

  // The file holds that view's pixels, centred on the picture.
  const Picture want = render_picture(*s, PictureFrame::centred(320, 200));
  Picture got;
  std::string why;
  ASSERT_TRUE(testpng::read_png(a, got, why)) << why;
  ASSERT_EQ(got.width, 320);
  ASSERT_EQ(got.height, 200);
  EXPECT_TRUE(got.pixels == want.pixels);
  // White background at the corners, pink front faces and green backs.
  EXPECT_EQ(got.at(3, 3), 0xFFFFFFFFu);
  EXPECT_EQ(got.at(316, 196), 0xFFFFFFFFu);
  long pink = 0, green = 0;
  for (std::uint32_t v : got.pixels) {
    const int R = v >> 16 & 0xFF, G = v >> 8 & 0xFF, B = v & 0xFF;
    pink += R > G + 60 && B > G;
    green += G > R + 60 && G > B;
  }
  EXPECT_GT(pink, 1000);
  EXPECT_GT(green, 100);
  std::remove(a.c_str());
  std::remove(b.c_str());
  std::remove(c.c_str());
}

TEST(CliPicture, RefusalsAndMalformedLines) {
  const std::string path = temp_name("refused.png");
  const struct {
    std::string line;
    int status;
    const char* says;
  } cases[] = {
      {"picture -", 1, "not to standard output"},
      {"picture " + temp_name("p.bmp"), 1, "unknown file type .bmp"},
      {"picture " + temp_name("nowhere/p.png"), 1, "nowhere"},
      {"picture " + path + " 640", 2, "both WIDTH and HEIGHT"},
      {"picture " + path + " 0 480", 2, "must be 1 to 8192"},
      {"picture " + path + " 640 8193", 2, "must be 1 to 8192"},
      {"picture " + path + " 640 x", 2, "not a whole number"},
      {"picture " + path + " 1 2 3", 2, "too many arguments"},
  };
  for (const auto& c : cases) {
    const ScriptRun r = run_script(c.line + "\n");
    EXPECT_EQ(r.status, c.status) << c.line;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.line << ": " << r.err;
    EXPECT_EQ(r.err.rfind("line 1: ", 0), 0u) << r.err;
    EXPECT_NE(access(path.c_str(), F_OK), 0) << c.line;
  }
}

// The batch tool's zoom to fit is the window's, for a picture of the size
// given; what it refuses matches picture's own sizes.
TEST(CliPicture, ZoomToFitFitsTheViewToThePictureSize) {
  auto s = make_store();
  ASSERT_EQ(run_script("grow-border 40\n", s.get()).status, 0);
  ASSERT_FALSE(in_view(*s, 320, 200, kFitMargin)) << "too large at the start-up zoom";
  ASSERT_EQ(run_script("zoom-to-fit 320 200\n", s.get()).status, 0);
  EXPECT_TRUE(in_view(*s, 320, 200, kFitMargin));
  auto want = make_store();
  *want = *s;
  ASSERT_TRUE(zoom_to_fit(*want, 320, 200));
  EXPECT_EQ(s->g_rate, want->g_rate) << "as large as the picture allows";
  ASSERT_EQ(run_script("zoom-to-fit\n", s.get()).status, 0);
  EXPECT_TRUE(in_view(*s, 640, 480, kFitMargin));
  EXPECT_GT(s->g_rate, want->g_rate) << "640 x 480 by default";

  const struct {
    const char* line;
    const char* says;
  } cases[] = {
      {"zoom-to-fit 640", "both WIDTH and HEIGHT"},
      {"zoom-to-fit 0 480", "must be 1 to 8192"},
      {"zoom-to-fit 640 x", "not a whole number"},
  };
  for (const auto& c : cases) {
    const ScriptRun r = run_script(std::string(c.line) + "\n");
    EXPECT_EQ(r.status, 2) << c.line;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << c.line << ": " << r.err;
  }
}
