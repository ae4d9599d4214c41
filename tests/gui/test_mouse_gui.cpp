// The mouse and the animation timer in the real window, driven by real input
// events (XTest) and the real 20 ms timer.
#include <wx/uiaction.h>

#include <cmath>

#include "gui_util.h"
#include "view/wx/scene.h"

namespace {

class MouseWindowTest : public WindowTest {
 protected:
  MyCanvas* canvas() { return frame->m_canvas; }

  // Stops the timer so that nothing moves between the steps of a test, and
  // lets one more paint put gx, gy where the surface now is.
  void Freeze() {
    ShowAndSettle();
    canvas()->m_timer.Stop();
    PumpFor(30);
    s().g_purturb = 0;
    s().g_rotate = 0;
    s().g_twincle = 0;
    Repaint();
  }
  void Repaint() {
    canvas()->Refresh(false);
    canvas()->Update();
    PumpFor(30);
  }
  wxPoint Drawn(int v) { return wxPoint(s().gx[v], s().gy[v]); }
  // A vertex that is alone in the pick box around its drawn position.
  int LoneVertex(int not_this = -1) {
    for (int v = 0; v < s().NOV; ++v) {
      if (v == not_this) continue;
      bool alone = true;
      for (int w = 0; w < s().NOV && alone; ++w)
        alone =
            w == v || std::abs(s().gx[w] - s().gx[v]) >= 5 || std::abs(s().gy[w] - s().gy[v]) >= 5;
      if (alone) return v;
    }
    return -1;
  }
  bool Empty(wxPoint p) {
    for (int v = 0; v < s().NOV; ++v)
      if (std::abs(s().gx[v] - p.x) < 5 && std::abs(s().gy[v] - p.y) < 5) return false;
    return true;
  }
  void MoveTo(wxPoint p) {
    sim.MouseMove(canvas()->ClientToScreen(p));
    PumpFor(40);
  }
  void Button(bool down, int button) {
    if (down)
      sim.MouseDown(button);
    else
      sim.MouseUp(button);
    PumpFor(40);
  }
  // Pure white and pure black pixels of the off-screen image in the box that
  // holds every drawn vertex.
  void CountOutlinePixels(int& white, int& black) {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;
    for (int v = 0; v < s().NOV; ++v) {
      x0 = std::min(x0, s().gx[v]);
      x1 = std::max(x1, s().gx[v]);
      y0 = std::min(y0, s().gy[v]);
      y1 = std::max(y1, s().gy[v]);
    }
    const wxImage img = ScreenBitmap().ConvertToImage();
    white = black = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const int r = img.GetRed(x, y), g = img.GetGreen(x, y), b = img.GetBlue(x, y);
        if (r == 255 && g == 255 && b == 255) ++white;
        if (r == 0 && g == 0 && b == 0) ++black;
      }
  }

  wxUIActionSimulator sim;
};

TEST_F(MouseWindowTest, MotionOntoAVertexMakesItCurrent) {
  Freeze();
  const int v = LoneVertex(1);
  ASSERT_GE(v, 0);
  s().g_rotate = 30;
  MoveTo(Drawn(v) + wxPoint(3, -2));
  EXPECT_EQ(s().g_purtj, v);
  EXPECT_EQ(s().g_purturb, 1);
  EXPECT_EQ(s().g_rotate, 0);
}

TEST_F(MouseWindowTest, RightPressHighlightsAndTheCanvasShowsWhiteOutlines) {
  Freeze();
  set_message(s(), "");
  Repaint();
  int white0, black0;
  CountOutlinePixels(white0, black0);

  const int v = LoneVertex();
  ASSERT_GE(v, 0);
  const wxPoint p = Drawn(v);
  MoveTo(p);
  Button(true, wxMOUSE_BTN_RIGHT);
  EXPECT_EQ(s().g_Rmousedown, 1);
  EXPECT_EQ(s().g_dragcomponent, s().conn_comp[v]);
  EXPECT_TRUE(s().hilighted[s().conn_comp[v]]);
  Button(false, wxMOUSE_BTN_RIGHT);
  EXPECT_EQ(s().g_Rmousedown, 0);
  EXPECT_TRUE(s().hilighted[s().conn_comp[v]]) << "the highlight outlasts the press";

  Repaint();
  int white1, black1;
  CountOutlinePixels(white1, black1);
  // Every outline of the one-piece surface turns from black to white.
  EXPECT_GT(black0, 300);
  EXPECT_LT(black1, black0 / 10);
  EXPECT_GT(white1, white0 + black0 / 2);

  // A right click on empty canvas clears it again.
  const wxPoint empty(15, 15);
  ASSERT_TRUE(Empty(empty));
  MoveTo(empty);
  Button(true, wxMOUSE_BTN_RIGHT);
  Button(false, wxMOUSE_BTN_RIGHT);
  for (bool h : s().hilighted) EXPECT_FALSE(h);
}

TEST_F(MouseWindowTest, LeftFlickSpinsTheSurface) {
  Freeze();
  const wxPoint from(20, 2 * s().g_centery - 20), to = from + wxPoint(100, 0);
  ASSERT_TRUE(Empty(from) && Empty(to));
  MoveTo(from);
  Button(true, wxMOUSE_BTN_LEFT);
  EXPECT_EQ(s().g_Lmousedown, 1);
  MoveTo(from + wxPoint(50, 0));
  MoveTo(to);
  Button(false, wxMOUSE_BTN_LEFT);
  EXPECT_EQ(s().g_Lmousedown, 0);
  EXPECT_DOUBLE_EQ(s().g_vangle, 0.1);
  EXPECT_EQ(s().g_hangle, 0.0);
  EXPECT_EQ(s().g_rotate, 1);

  // The timer's ticks, sent as the timer sends them, play the spin out.
  const double a0 = std::atan2(s().z[5], s().x[5]);
  for (int k = 0; k < 49; ++k) {
    wxTimerEvent te(canvas()->m_timer);
    canvas()->ProcessWindowEvent(te);
  }
  EXPECT_EQ(s().g_rotate, 0);
  EXPECT_NEAR(std::remainder(std::atan2(s().z[5], s().x[5]) - a0, 2 * M_PI),
              std::remainder(2.45, 2 * M_PI), 1e-9);
}

TEST_F(MouseWindowTest, RightDragMovesTheComponent) {
  Freeze();
  const int v = LoneVertex();
  ASSERT_GE(v, 0);
  const double x0 = s().x[v], y0 = s().y[v], z0 = s().z[v];
  const wxPoint p = Drawn(v);
  MoveTo(p);
  Button(true, wxMOUSE_BTN_RIGHT);
  MoveTo(p + wxPoint(5, -5));
  MoveTo(p + wxPoint(10, -10));
  // Pixels (+10, -10) at zoom 100, not relaxed while the button is held.
  EXPECT_NEAR(s().x[v] - x0, 0.1, 1e-12);
  EXPECT_NEAR(s().y[v] - y0, 0.1, 1e-12);
  EXPECT_EQ(s().z[v], z0);
  Button(false, wxMOUSE_BTN_RIGHT);
  EXPECT_EQ(s().g_Rmousedown, 0);
  // The release relaxes; the piece stays where it was dragged, roughly.
  EXPECT_NEAR(s().x[v] - x0, 0.1, 0.05);
  EXPECT_NEAR(s().y[v] - y0, 0.1, 0.05);
}

TEST_F(MouseWindowTest, TheRealTimerTicksFiftyTimesASecond) {
  ShowAndSettle();
  s().g_purturb = 1;
  s().g_twincle = 1;
  const double z0 = s().z[s().g_purtj];
  PumpFor(500);
  // About 25 ticks in half a second; a loaded machine may deliver fewer.
  EXPECT_GT(s().g_purturb, 8);
  EXPECT_STREQ(s().messagetxt, "Now purturbing..");
  EXPECT_NE(s().z[s().g_purtj], z0);
  EXPECT_GT(s().g_twincle, 4) << "each tick's repaint advances the twinkle";

  s().g_purturb = 0;
  s().g_twincle = 0;
  s().g_buru = 15;
  PumpFor(500);
  EXPECT_LT(s().g_buru, 15 - 8);
}

TEST_F(MouseWindowTest, ControlOneTogglesTouchPerturbationAndSwayCommandsSetTheSway) {
  Freeze();
  frame->SetFocus();
  PumpFor(30);
  ASSERT_TRUE(s().touch_purturb);
  // Two items declare Ctrl-1; the first one appended, the check item, gets
  // the key.
  sim.Char('1', wxMOD_CONTROL);
  EXPECT_TRUE(Pump([this] { return !s().touch_purturb; }, 1000));
  EXPECT_FALSE(frame->m_swayMenu->IsChecked(26));
  EXPECT_EQ(s().g_buru, 0);
  sim.Char('1', wxMOD_CONTROL);
  EXPECT_TRUE(Pump([this] { return s().touch_purturb; }, 1000));
  EXPECT_TRUE(frame->m_swayMenu->IsChecked(26));

  sim.Char('2', wxMOD_CONTROL);
  EXPECT_TRUE(Pump([this] { return s().g_buru == 7; }, 1000));
  struct Case {
    int id, buru;
  };
  for (const Case& c :
       {Case{MenuId::SwayMany, 15}, Case{MenuId::SwayOnce, 3}, Case{MenuId::SwaySome, 7}}) {
    Send(c.id);
    EXPECT_EQ(s().g_buru, c.buru) << c.id;
  }
}

}  // namespace
