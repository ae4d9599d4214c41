// The wheel, the arrows and Home on the real canvas, with real input (XTest,
// and xdotool for the wheel) where it is reliable.
#include <wx/uiaction.h>

#include <cmath>
#include <cstdlib>

#include "gui_util.h"
#include "sim/rotate.h"
#include "testing/workloads.h"
#include "view/draw.h"
#include "view/wx/frame_rate.h"

namespace {

class NavigationTest : public WindowTest {
 protected:
  MyCanvas* canvas() { return frame->m_canvas; }
  void Freeze() {
    ShowAndSettle();
    canvas()->m_timer.Stop();
    PumpFor(30);
    s().g_purturb = 0;
    s().g_rotate = 0;
    s().g_twincle = 0;
  }
  void Wheel(wxPoint p, int rotation) {
    wxMouseEvent ev(wxEVT_MOUSEWHEEL);
    ev.SetEventObject(canvas());
    ev.SetPosition(p);
    ev.m_wheelRotation = rotation;
    ev.m_wheelDelta = 120;
    ev.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
    canvas()->ProcessWindowEvent(ev);
  }
  void FocusCanvas() {
    canvas()->SetFocus();
    ASSERT_TRUE(Pump([this] { return canvas()->HasFocus(); }, 1000));
  }
  // Model point under pixel p, and how far from p it is drawn now.
  struct Under {
    double x, y;
  };
  Under At(wxPoint p) {
    return {(p.x - s().g_centerx) / s().g_rate, (s().g_centery - p.y) / s().g_rate};
  }
  double Off(const Under& u, wxPoint p) {
    return std::hypot(s().g_centerx + s().g_rate * u.x - p.x,
                      s().g_centery - s().g_rate * u.y - p.y);
  }

  wxUIActionSimulator sim;
};

TEST_F(NavigationTest, SentWheelEventsZoomByStepsAboutThePointer) {
  Freeze();
  const wxPoint p(150, 90);
  const Under u = At(p);
  double want = 100.0;
  for (int k = 1; k <= 8; ++k) {
    Wheel(p, 120);
    if (k <= 7) want *= 1.25;
    ASSERT_EQ(s().g_rate, want) << k;
    EXPECT_LE(Off(u, p), std::sqrt(0.5)) << k;
  }
  // Four quarter notches back out are one step.
  for (int k = 0; k < 4; ++k) Wheel(p, -30);
  EXPECT_EQ(s().g_rate, want / 1.25);
  EXPECT_LE(Off(u, p), std::sqrt(0.5));

  // Home: default size and the origin where it was.
  FocusCanvas();
  sim.Char(WXK_HOME);
  EXPECT_TRUE(Pump([this] { return s().g_rate == 100.0; }, 1000));
  EXPECT_EQ(s().g_centerx, 320);
  EXPECT_EQ(s().g_centery, 220);
}

TEST_F(NavigationTest, RealWheelZoomsAboutThePointer) {
  Freeze();
  const wxPoint p(480, 300);
  sim.MouseMove(canvas()->ClientToScreen(p));
  PumpFor(60);
  const Under u = At(p);
  // Buttons 4 and 5 are the wheel's notches away from and towards the user.
  ASSERT_EQ(std::system("xdotool click 4"), 0);
  EXPECT_TRUE(Pump([this] { return s().g_rate == 125.0; }, 1000));
  EXPECT_LE(Off(u, p), std::sqrt(0.5));
  ASSERT_EQ(std::system("xdotool click 5 click 5"), 0);
  EXPECT_TRUE(Pump([this] { return s().g_rate == 80.0; }, 1000));
  EXPECT_LE(Off(u, p), std::sqrt(0.5));
}

TEST_F(NavigationTest, ArrowKeysTurnTheSheetAsRotatepolyDoes) {
  Freeze();
  FocusCanvas();
  struct Case {
    int key;
    double a, b;
  };
  const Case cases[] = {{WXK_RIGHT, brimoss::kArrowStep, 0},
                        {WXK_LEFT, -brimoss::kArrowStep, 0},
                        {WXK_DOWN, 0, brimoss::kArrowStep},
                        {WXK_UP, 0, -brimoss::kArrowStep}};
  for (const Case& c : cases) {
    auto want = brimoss::make_store();
    *want = s();
    brimoss::rotatepoly(*want, c.a, c.b);
    const double x1 = s().x[1];
    sim.Char(c.key);
    ASSERT_TRUE(Pump([&] { return s().x[1] != x1 || s().y[1] != want->y[1]; }, 1000)) << c.key;
    PumpFor(30);
    for (int i = 0; i < s().NOV; ++i) {
      ASSERT_EQ(s().x[i], want->x[i]) << c.key << " vertex " << i;
      ASSERT_EQ(s().y[i], want->y[i]) << c.key << " vertex " << i;
      ASSERT_EQ(s().z[i], want->z[i]) << c.key << " vertex " << i;
    }
  }
}

TEST_F(NavigationTest, AcceleratorsStillWorkWhileTheCanvasHasTheKeys) {
  Freeze();
  FocusCanvas();
  ASSERT_TRUE(s().touch_purturb);
  sim.Char('1', wxMOD_CONTROL);
  EXPECT_TRUE(Pump([this] { return !s().touch_purturb; }, 1000));
  sim.Char('2', wxMOD_CONTROL);
  EXPECT_TRUE(Pump([this] { return s().g_buru == 7; }, 1000));
  const double rate = s().g_rate;
  const double x1 = s().x[1];
  sim.Char(WXK_HOME, wxMOD_CONTROL);  // not Home: a modifier leaves it alone
  sim.Char(WXK_RIGHT, wxMOD_SHIFT);
  PumpFor(100);
  EXPECT_EQ(s().g_rate, rate);
  EXPECT_EQ(s().x[1], x1);
  EXPECT_TRUE(canvas()->HasFocus());
}

TEST_F(NavigationTest, KeysAndWheelDoNothingWhileAMenuIsOpen) {
  Freeze();
  FocusCanvas();
  const double x1 = s().x[1];
  // Open the Edit menu with its mnemonic; the menu then has the keys.
  sim.Char('e', wxMOD_ALT);
  PumpFor(300);
  sim.Char(WXK_RIGHT);
  sim.Char(WXK_HOME);
  PumpFor(100);
  sim.Char(WXK_ESCAPE);
  sim.Char(WXK_ESCAPE);
  PumpFor(200);
  EXPECT_EQ(s().x[1], x1);
  EXPECT_EQ(s().g_rate, 100.0);
}

}  // namespace

TEST_F(NavigationTest, ZoomToFitShowsTheWholeSheetAndHomeGoesBack) {
  Freeze();
  brimoss::testing::build_sewn_sheet(s());
  s().g_twincle = 0;
  const int cx = s().g_centerx, cy = s().g_centery;
  // A real Ctrl-F: the item's key.
  FocusCanvas();
  sim.Char('f', wxMOD_CONTROL);
  ASSERT_TRUE(Pump([this] { return s().g_rate != 100.0; }, 2000)) << "Ctrl-F did not fit";
  canvas()->Refresh(false);
  canvas()->Update();
  const wxSize c = canvas()->GetClientSize();
  brimoss::project(s());
  for (int v = 0; v < s().NOV; ++v) {
    ASSERT_TRUE(s().gx[v] >= 0 && s().gx[v] < c.x && s().gy[v] >= 0 && s().gy[v] < c.y)
        << "vertex " << v << " at " << s().gx[v] << ", " << s().gy[v];
  }
  // The whole canvas has the background, not only the rectangle about the
  // origin, which Zoom to fit has moved off the middle.
  {
    wxMemoryDC dc(ScreenBitmap());
    dc.SetBackground(*wxBLACK_BRUSH);
    dc.Clear();
  }
  const long paints = PaintCount();
  canvas()->Refresh(false);
  canvas()->Update();
  ASSERT_TRUE(Pump([&] { return PaintCount() > paints; }, 2000));
  const wxImage img = ScreenBitmap().ConvertToImage();
  for (const wxPoint p : {wxPoint(c.x - 3, c.y - 3), wxPoint(c.x - 3, 3), wxPoint(3, c.y - 3)})
    EXPECT_EQ(wxColour(img.GetRed(p.x, p.y), img.GetGreen(p.x, p.y), img.GetBlue(p.x, p.y)),
              *wxWHITE)
        << p.x << ", " << p.y;

  Send(MenuId::ZoomIn);
  Send(MenuId::ZoomToFit);
  brimoss::project(s());
  for (int v = 0; v < s().NOV; ++v) ASSERT_LT(s().gx[v], c.x) << "fitted again after a zoom";
  // Home: the default size, the origin back in the middle.
  FocusCanvas();
  sim.Char(WXK_HOME);
  ASSERT_TRUE(Pump([this] { return s().g_rate == 100.0; }, 2000));
  EXPECT_EQ(s().g_centerx, cx);
  EXPECT_EQ(s().g_centery, cy);
}
