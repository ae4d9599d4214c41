// The window under its own timer: with the grown surface of about a thousand
// vertices loaded and a spin followed by a 15-tick sway running, the canvas is
// repainted on every tick. The measured rate is printed, not judged: a timed
// test would only measure how busy the machine is. BRIMOSS_FPS_SECONDS sets
// how long to measure (default 1; README's "Performance" uses 3), and
// BRIMOSS_FPS_SURFACE=capacity measures on the store's full size instead.
#include <cstdlib>
#include <string>

#include "gui_util.h"
#include "ops/load.h"
#include "ops/tick.h"
#include "testing/workloads.h"
#include "view/wx/frame_rate.h"

TEST_F(WindowTest, RealTimerRepaintsWhileTheGrownSurfaceSpinsAndSways) {
  ShowAndSettle();
  brimoss::Store& st = s();
  const char* which = std::getenv("BRIMOSS_FPS_SURFACE");
  if (which && std::string(which) == "capacity")
    brimoss::testing::build_capacity_surface(st);
  else
    brimoss::testing::build_grown_surface(st);
  st.g_purturb = 0;
  st.g_twincle = 0;
  ASSERT_TRUE(frame->m_canvas->m_timer.IsRunning());

  const char* env = std::getenv("BRIMOSS_FPS_SECONDS");
  const double seconds = env && std::atof(env) > 0 ? std::atof(env) : 1.0;
  auto animate = [&st, this] {
    st.g_rotate = 1;
    st.g_vangle = 0.05;
    st.g_hangle = 0.02;
    Send(MenuId::SwayMany);  // Sway many: 15 ticks once the spin has run its 49
  };
  animate();
  ASSERT_EQ(st.g_buru, 15);

  const long paints0 = PaintCount();
  int restarts = 0, swayTicksSeen = 0, lastBuru = st.g_buru, spinTicksSeen = 0,
      lastRotate = st.g_rotate;
  wxStopWatch sw;
  while (sw.Time() < seconds * 1000) {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    if (st.g_buru < lastBuru) swayTicksSeen += lastBuru - st.g_buru;
    lastBuru = st.g_buru;
    if (st.g_rotate != lastRotate) ++spinTicksSeen;
    lastRotate = st.g_rotate;
    if (st.g_rotate == 0 && st.g_buru == 0) {
      animate();
      lastBuru = st.g_buru;
      lastRotate = st.g_rotate;
      ++restarts;
    }
    wxMilliSleep(1);
  }
  const long paints = PaintCount() - paints0;
  const double rate = paints / (sw.Time() / 1000.0);
  std::printf(
      "[ frames   ] %ld paints in %.2f s: %.1f a second (%d spin and %d sway ticks, "
      "%d vertices, %d faces)\n",
      paints, sw.Time() / 1000.0, rate, spinTicksSeen, swayTicksSeen, st.NOV, st.NOS);
  RecordProperty("paints_per_second", static_cast<int>(rate + 0.5));
  EXPECT_GT(paints, 0) << "the timer's repaints reach the canvas";
  EXPECT_GT(spinTicksSeen, 0) << "the timer's ticks turned the surface";
}
