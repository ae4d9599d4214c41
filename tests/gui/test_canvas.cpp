// The canvas: zoom, re-centring, the off-screen image and what reaches the
// screen.
#include <wx/filename.h>

#include <cmath>
#include <cstdlib>

#include "gui_util.h"
#include "model/samples.h"
#include "ops/load.h"
#include "view/draw.h"
#include "view/wx/scene.h"

namespace {

// The canvas as the X server shows it now, read back with ImageMagick's
// import: the toolkit's own screen context returns stale pixels under GTK 3.
bool CaptureCanvas(MyCanvas* canvas, wxImage& out) {
  const wxString file = wxFileName::CreateTempFileName("brimoss-shot");
  if (file.empty()) return false;
  const wxString png = file + ".png";
  const wxString cmd = "import -window root \"" + png + "\"";
  // std::system rather than wxExecute: the toolkit may miss the end of a child
  // whose exit it did not see coming, and then waits for ever.
  const bool ok = std::system(cmd.utf8_str()) == 0;
  wxImage full;
  const bool loaded = ok && full.LoadFile(png, wxBITMAP_TYPE_PNG);
  wxRemoveFile(file);
  wxRemoveFile(png);
  if (!loaded) return false;
  // Only a canvas wholly on the screen can be compared pixel for pixel.
  const wxRect r(canvas->ClientToScreen(wxPoint(0, 0)), canvas->GetClientSize());
  if (!wxRect(full.GetSize()).Contains(r)) {
    ADD_FAILURE() << "the canvas reaches beyond the screen";
    return false;
  }
  out = full.GetSubImage(r);
  return out.IsOk();
}

// The ways of drawing the scene: the context's own shapes (a printer, a
// scaled page), the image's pixels (DrawScene on any image in memory) and the
// canvas's paint (MyCanvas::DrawPoly, into the image the canvas copies to the
// screen).
enum class Via { Context, Pixels, Canvas };
const Via kBothWays[] = {Via::Context, Via::Pixels};
const char* Name(Via v) {
  return v == Via::Context ? "device context" : v == Via::Pixels ? "pixels" : "canvas";
}

// Draws the scene into a fresh image of the given size.
wxImage RenderScene(brimoss::Store& s, int w, int h, bool withStatus, Via via) {
  wxBitmap bmp(w, h, -1);
  wxMemoryDC mdc(bmp);
  mdc.SetBackground(*wxBLUE_BRUSH);  // anything the scene leaves unpainted shows
  mdc.Clear();
  if (via == Via::Context) {
    DrawSceneShapes(mdc, s);
    if (withStatus) DrawStatus(mdc, s);
  } else if (via == Via::Canvas) {
    // What MyCanvas::DrawPoly does with the program's store.
    EXPECT_TRUE(withStatus) << "the canvas always draws its status line";
    DrawScene(mdc, s, true);
  } else {
    mdc.SelectObject(wxNullBitmap);
    RasterScene(bmp, s);
    mdc.SelectObject(bmp);
    if (withStatus) DrawStatus(mdc, s);
  }
  mdc.SelectObject(wxNullBitmap);
  return bmp.ConvertToImage();
}

wxColour At(const wxImage& img, int x, int y) {
  return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

wxColour Of(const brimoss::RGB& c) { return wxColour(c.r, c.g, c.b); }

// The screen shows exactly what the canvas draws off screen. The context's
// shapes (a printed page on a scaled context) agree with it but for the
// outlines: a one-pixel line stroked by the context's renderer runs a little
// thicker on diagonals. Where neither picture has an outline, the two agree.
void ExpectScreenIsTheScene(const wxImage& img, brimoss::Store& s) {
  const int w = img.GetWidth(), h = img.GetHeight();
  for (Via via : {Via::Canvas, Via::Context}) {
    s.g_twincle = 0;
    const wxImage want = RenderScene(s, w, h, true, via);
    long differ = 0, fillDiffer = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const wxColour a = At(img, x, y), b = At(want, x, y);
        if (a == b) continue;
        ++differ;
        const bool outline = a == *wxBLACK || b == *wxBLACK;
        if (!outline) ++fillDiffer;
      }
    if (via == Via::Canvas) {
      EXPECT_EQ(differ, 0) << Name(via);
    } else {
      EXPECT_LT(differ, w * h / 20) << Name(via);
      EXPECT_LT(fillDiffer, w * h / 1000) << Name(via);
    }
  }
}

void RepaintNow(MyCanvas* canvas) {
  canvas->Refresh(false);
  canvas->Update();
  PumpFor(80);
}

}  // namespace

TEST_F(WindowTest, ZoomStopsBeyondItsBoundsAndDefaultSizeRestores) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  double want = 100.0;
  for (int k = 1; k <= 7; ++k) {
    Send(MenuId::ZoomIn);
    want *= 1.25;
    ASSERT_EQ(s().g_rate, want) << "zoom in step " << k;
  }
  EXPECT_GT(s().g_rate, 400.0);
  Send(MenuId::ZoomIn);
  EXPECT_EQ(s().g_rate, want) << "beyond the bound";

  // Move the surface off the origin; Default size brings it back.
  for (int i = 0; i < s().NOV; ++i) s().x[i] += 2.0, s().y[i] -= 1.0;
  const int cx = s().g_centerx, cy = s().g_centery;
  Send(MenuId::DefaultSize);
  EXPECT_EQ(s().g_rate, 100.0);
  double mx = 0, my = 0, mz = 0;
  for (int i = 0; i < s().NOV; ++i) mx += s().x[i], my += s().y[i], mz += s().z[i];
  EXPECT_NEAR(mx / s().NOV, 0.0, 1e-12);
  EXPECT_NEAR(my / s().NOV, 0.0, 1e-12);
  EXPECT_NEAR(mz / s().NOV, 0.0, 1e-12);
  EXPECT_EQ(frame->GetSize(), wxSize(640, 480));
  EXPECT_EQ(s().g_centerx, cx);
  EXPECT_EQ(s().g_centery, cy);

  want = 100.0;
  for (int k = 1; k <= 7; ++k) {
    Send(MenuId::ZoomOut);
    want /= 1.25;
    ASSERT_EQ(s().g_rate, want) << "zoom out step " << k;
  }
  EXPECT_LT(s().g_rate, 25.0);
  Send(MenuId::ZoomOut);
  EXPECT_EQ(s().g_rate, want) << "beyond the bound";
  Send(MenuId::DefaultSize);
  EXPECT_EQ(s().g_rate, 100.0);
}

TEST_F(WindowTest, ResizeRecentresAndTheImageGrowsWithTheCanvas) {
  ShowAndSettle();
  const struct { int w, h; } sizes[] = {{801, 601}, {1200, 950}, {500, 400}};
  for (const auto& c : sizes) {
    frame->SetClientSize(c.w, c.h);
    const wxSize want = frame->GetClientSize();
    ASSERT_TRUE(Pump([&] { return frame->m_canvas->GetClientSize() == want; }, 2000));
    PumpFor(50);
    const wxSize sz = frame->m_canvas->GetClientSize();
    EXPECT_EQ(s().g_centerx, sz.x / 2) << sz.x;
    EXPECT_EQ(s().g_centery, sz.y / 2) << sz.y;
    const wxBitmap& bmp = ScreenBitmap();
    EXPECT_GE(bmp.GetWidth(), std::max(sz.x, 1024));
    EXPECT_GE(bmp.GetHeight(), std::max(sz.y, 768));
  }
  // An odd width: the background covers exactly the client width.
  frame->SetClientSize(801, 601);
  ASSERT_TRUE(Pump([&] { return frame->m_canvas->GetClientSize().x == 801; }, 2000));
  PumpFor(50);
  EXPECT_EQ(s().g_centerx, 400);
  EXPECT_EQ(2 * s().g_centerx + 1, 801);
}

TEST_F(WindowTest, CanvasLargerThanTheDefaultImageIsPaintedToItsEdges) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  frame->SetClientSize(1150, 880);
  ASSERT_TRUE(Pump([&] { return frame->m_canvas->GetClientSize().y > 768; }, 2000));
  RepaintNow(frame->m_canvas);
  wxImage img;
  ASSERT_TRUE(CaptureCanvas(frame->m_canvas, img)) << "needs ImageMagick's import";
  const int w = img.GetWidth(), h = img.GetHeight();
  ASSERT_GT(w, 1024);
  ASSERT_GT(h, 768);
  // The corners beyond 1024 x 768 carry the background like the rest.
  EXPECT_EQ(At(img, w - 2, h - 2), *wxWHITE);
  EXPECT_EQ(At(img, w - 2, 10), *wxWHITE);
  EXPECT_EQ(At(img, 10, h - 2), *wxWHITE);
}

TEST_F(WindowTest, CanvasShowsTheShadedSurfaceWithOutlinesAndStatus) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  s().g_twincle = 0;
  brimoss::set_message(s(), "WWWWWWWWWWWW");
  RepaintNow(frame->m_canvas);
  wxImage img;
  ASSERT_TRUE(CaptureCanvas(frame->m_canvas, img)) << "needs ImageMagick's import";
  const int w = img.GetWidth(), h = img.GetHeight();
  ASSERT_GT(w * h, 0);

  long white = 0, pink = 0, green = 0, black = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int r = img.GetRed(x, y), g = img.GetGreen(x, y), b = img.GetBlue(x, y);
      if (r == 255 && g == 255 && b == 255)
        ++white;
      else if (r < 40 && g < 40 && b < 40)
        ++black;
      else if (r > g + 60 && r >= b)
        ++pink;
      else if (g > r + 60 && g >= b)
        ++green;
    }
  const double n = double(w) * h;
  EXPECT_GT(white / n, 0.4) << "background";
  EXPECT_GT(pink / n, 0.05) << "front faces";
  EXPECT_GT(green / n, 0.03) << "back faces";
  EXPECT_GT(black / n, 0.005) << "outlines and text";

  // The status line sits at the top left, dark on the background.
  long dark = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 60; ++x) dark += img.GetRed(x, y) < 128;
  EXPECT_GT(dark, 20);

  ExpectScreenIsTheScene(img, s());
}

TEST_F(WindowTest, LargeSurfaceReachesTheScreenThroughThePixels) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  // A crinkled grid of 1200 faces.
  brimoss::Store& t = s();
  const int cols = 21, rows = 31;
  t.NOV = t.NOE = t.NOS = 0;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      t.x[t.NOV] = -2.0 + 0.2 * i;
      t.y[t.NOV] = -1.5 + 0.1 * j;
      t.z[t.NOV] = 0.5 * std::sin(0.9 * i + 0.4 * j);
      t.conn_comp[t.NOV++] = 1;
    }
  for (int j = 0; j + 1 < rows; ++j)
    for (int i = 0; i + 1 < cols; ++i) {
      const int a = j * cols + i;
      t.face[t.NOS++] = brimoss::Face{{a, a + 1, a + cols}};
      t.face[t.NOS++] = brimoss::Face{{a + 1, a + cols + 1, a + cols}};
    }
  t.g_twincle = 0;
  brimoss::set_message(t, "WWWWWWWWWWWW");
  RepaintNow(frame->m_canvas);
  wxImage img;
  ASSERT_TRUE(CaptureCanvas(frame->m_canvas, img)) << "needs ImageMagick's import";
  ExpectScreenIsTheScene(img, t);
}

TEST_F(WindowTest, SceneDrawsLowestIndexOnTopAndOutlinesHighlightedComponents) {
  auto st = brimoss::make_store();
  brimoss::Store& t = *st;
  t.g_centerx = 50, t.g_centery = 50;
  t.NOV = 6;
  // Two triangles at the same depth, face 1 overlapping face 0.
  const double pos[6][2] = {{-0.3, -0.3},  {0.3, -0.3}, {0, 0.3},
                            {-0.25, 0.25}, {0, -0.35},  {0.25, 0.25}};
  for (int i = 0; i < 6; ++i) t.x[i] = pos[i][0], t.y[i] = pos[i][1], t.z[i] = 0.5;
  t.NOS = 2;
  t.face[0] = brimoss::Face{{0, 1, 2}};
  t.face[1] = brimoss::Face{{3, 4, 5}};
  t.g_purtj = 0;  // face 0 is marked, so the two differ in colour
  for (int i = 0; i < 6; ++i) t.conn_comp[i] = i < 3 ? 1 : 2;
  t.hilighted[2] = true;
  const brimoss::RGB c0 = brimoss::getcolor(t, 0), c1 = brimoss::getcolor(t, 1);
  ASSERT_FALSE(c0 == c1);

  for (Via via : kBothWays) {
    SCOPED_TRACE(Name(via));
    t.hilighted[1] = false;
    const wxImage img = RenderScene(t, 101, 101, false, via);
    EXPECT_EQ(At(img, 50, 50), Of(c0)) << "the lower index covers the higher";
    EXPECT_EQ(At(img, 50, 10), *wxWHITE) << "background";
    EXPECT_EQ(At(img, 100, 100), *wxWHITE) << "background reaches 2 * centre";
    EXPECT_EQ(At(img, 50 + 20, 50 - 24), Of(c1)) << "face 1 alone";
    EXPECT_EQ(At(img, 50, 50 + 25), Of(c0)) << "face 0 alone";
    long black = 0;
    for (int y = 0; y < 101; ++y)
      for (int x = 0; x < 101; ++x) black += At(img, x, y) == *wxBLACK;
    EXPECT_GT(black, 150) << "face 0's outline is black";
    EXPECT_LT(black, 400);
    EXPECT_EQ(t.gx[2], 50);
    EXPECT_EQ(t.gy[2], 50 - 30);

    // Highlight face 0's component too: no outline is black any more.
    t.hilighted[1] = true;
    const wxImage img2 = RenderScene(t, 101, 101, false, via);
    long black2 = 0;
    for (int y = 0; y < 101; ++y)
      for (int x = 0; x < 101; ++x) black2 += At(img2, x, y) == *wxBLACK;
    EXPECT_EQ(black2, 0);
  }
}

TEST_F(WindowTest, EmptySceneIsBackgroundAndStatusAndTwinkleAdvances) {
  auto st = brimoss::make_store();
  brimoss::Store& t = *st;
  t.g_centerx = 30, t.g_centery = 20;
  t.bgcolR = 10, t.bgcolG = 20, t.bgcolB = 30;
  for (Via via : kBothWays) {
    const wxImage img = RenderScene(t, 61, 41, false, via);
    for (int y = 0; y < 41; y += 5)
      for (int x = 0; x < 61; x += 5) {
        // The rectangle's outline is the white pen, its inside the background.
        const bool edge = x == 0 || y == 0 || x == 60 || y == 40;
        EXPECT_EQ(At(img, x, y), edge ? *wxWHITE : wxColour(10, 20, 30))
            << Name(via) << " at " << x << "," << y;
      }
  }

  // The twinkle paints draw position 1 and then moves on.
  brimoss::ReadSampleData(t, 128);
  t.g_centerx = 100, t.g_centery = 100;
  ASSERT_EQ(t.g_twincle, 1);
  RenderScene(t, 201, 201, false, Via::Context);
  EXPECT_EQ(t.g_twincle, 2);
  long twinkled = 0;
  for (int k = 0; k < 7; ++k) {
    const wxImage frameImg = RenderScene(t, 201, 201, false, k % 2 ? Via::Pixels : Via::Context);
    for (int y = 0; y < 201; ++y)
      for (int x = 0; x < 201; ++x) twinkled += At(frameImg, x, y) == wxColour(192, 255, 192);
  }
  EXPECT_GT(twinkled, 0);
  EXPECT_EQ(t.g_twincle, 0);
}
