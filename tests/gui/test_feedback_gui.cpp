// Edit > Show counts and current vertex: the status bar's second field and the
// ring at the current vertex, on the canvas and never on the page.
#include <wx/filename.h>

#include <cmath>
#include <cstdlib>

#include "gui_util.h"
#include "ops/commands.h"
#include "sim/grow.h"
#include "view/feedback.h"
#include "view/wx/printout.h"
#include "view/wx/scene.h"

namespace {

class FeedbackTest : public WindowTest {
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
  wxString Field1() { return frame->GetStatusBar()->GetStatusText(1); }
  void Tick() {
    wxTimerEvent te(canvas()->m_timer);
    canvas()->ProcessWindowEvent(te);
  }
  void RepaintNow() {
    canvas()->Refresh(false);
    canvas()->Update();
    PumpFor(80);
  }
  // A vertex at which no cell fits, with the reason.
  int Refusing(std::string& why) {
    for (int v = 0; v < s().NOV; ++v) {
      why = brimoss::why_no_cell(s(), v);
      if (!why.empty()) return v;
    }
    return -1;
  }
};

// The canvas as the X server shows it, read back with ImageMagick's import.
bool CaptureCanvas(MyCanvas* canvas, wxImage& out) {
  const wxString file = wxFileName::CreateTempFileName("brimoss-ring");
  if (file.empty()) return false;
  const wxString png = file + ".png";
  const bool ok = std::system(("import -window root \"" + png + "\"").utf8_str()) == 0;
  wxImage full;
  const bool loaded = ok && full.LoadFile(png, wxBITMAP_TYPE_PNG);
  wxRemoveFile(file);
  wxRemoveFile(png);
  if (!loaded) return false;
  out = full.GetSubImage(wxRect(canvas->ClientToScreen(wxPoint(0, 0)), canvas->GetClientSize()));
  return out.IsOk();
}

// Pixels of colour c on the ring's circle (4 to 6 pixels from (x, y)).
int RingPixels(const wxImage& img, int x, int y, const wxColour& c) {
  int n = 0;
  for (int dy = -7; dy <= 7; ++dy)
    for (int dx = -7; dx <= 7; ++dx) {
      const double r = std::hypot(dx, dy);
      const int px = x + dx, py = y + dy;
      if (r < 4 || r > 6 || px < 0 || py < 0 || px >= img.GetWidth() || py >= img.GetHeight())
        continue;
      n += img.GetRed(px, py) == c.Red() && img.GetGreen(px, py) == c.Green() &&
           img.GetBlue(px, py) == c.Blue();
    }
  return n;
}

wxImage PrintPage(int w, int h) {
  wxBitmap bmp(w, h, 24);
  {
    wxMemoryDC dc(bmp);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    MyPrintout printout("page");
    printout.SetDC(&dc);
    printout.SetUp(dc);
    printout.OnPreparePrinting();
    printout.OnBeginPrinting();
    EXPECT_TRUE(printout.OnBeginDocument(1, 1));
    EXPECT_TRUE(printout.OnPrintPage(1));
  }
  return bmp.ConvertToImage();
}

TEST_F(FeedbackTest, OffAtStartThenCountsAndRefusalsUntilTheNextChange) {
  Freeze();
  EXPECT_FALSE(frame->GetMenuBar()->IsChecked(MenuId::ShowFeedback));
  EXPECT_EQ(Field1(), "");
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "Welcome to Brimoss!");
  std::string why;
  const int v = Refusing(why);
  ASSERT_GE(v, 0);
  s().g_purtj = v;
  Send(MenuId::AddNewCell);
  EXPECT_EQ(Field1(), "") << "refusals say nothing while the item is off";

  Send(MenuId::ShowFeedback);
  EXPECT_TRUE(frame->GetMenuBar()->IsChecked(MenuId::ShowFeedback));
  EXPECT_EQ(Field1(),
            wxString::Format("%d vertices, %d edges, %d faces", s().NOV, s().NOE, s().NOS));
  EXPECT_EQ(Field1(), brimoss::counts_text(s()));

  Send(MenuId::AddNewCell);
  EXPECT_EQ(Field1(), wxString::FromUTF8(why));
  EXPECT_NE(why.find("no cell fits at vertex " + std::to_string(v)), std::string::npos) << why;
  Tick();
  EXPECT_EQ(Field1(), wxString::FromUTF8(why)) << "a tick that changes nothing keeps the reason";

  // A change brings the counts back: a load, and growth elsewhere.
  Send(MenuId::Sample1);
  EXPECT_EQ(Field1(), brimoss::counts_text(s()));
  const int nov = s().NOV;
  for (int c = 0; c < s().NOV && s().NOV == nov; ++c) {
    s().g_purtj = c;
    if (brimoss::why_no_cell(s(), c).empty()) Send(MenuId::AddNewCell);
  }
  ASSERT_EQ(s().NOV, nov + 7);
  EXPECT_EQ(Field1(), brimoss::counts_text(s()));
  // Counts changed behind the commands' back (a paste's merge in a tick).
  s().NOS -= 1;
  Tick();
  EXPECT_EQ(Field1(), brimoss::counts_text(s()));
  s().NOS += 1;

  Send(MenuId::ShowFeedback);
  EXPECT_FALSE(frame->GetMenuBar()->IsChecked(MenuId::ShowFeedback));
  EXPECT_EQ(Field1(), "");
}

TEST_F(FeedbackTest, RingAtTheCurrentVertexOnTheCanvasOnly) {
  Freeze();
  set_message(s(), "");
  s().g_purtj = 3;
  RepaintNow();
  const int x = s().gx[3], y = s().gy[3];
  const wxColour ring = MarkerColour(s());
  EXPECT_EQ(ring, *wxBLACK) << "on the white background";

  wxImage off, on;
  ASSERT_TRUE(CaptureCanvas(canvas(), off));
  const wxImage pageOff = PrintPage(640, 480);
  Send(MenuId::ShowFeedback);
  RepaintNow();
  ASSERT_TRUE(CaptureCanvas(canvas(), on));
  const wxImage pageOn = PrintPage(640, 480);

  // The ring's colour on its circle.
  const int before = RingPixels(off, x, y, ring), after = RingPixels(on, x, y, ring);
  EXPECT_GT(after, 25) << "at (" << x << ", " << y << ")";
  EXPECT_GT(after, before + 15);
  // Nothing else of the picture changes.
  long elsewhere = 0;
  for (int py = 0; py < on.GetHeight(); ++py)
    for (int px = 0; px < on.GetWidth(); ++px)
      if (std::hypot(px - x, py - y) > 9 &&
          (on.GetRed(px, py) != off.GetRed(px, py) || on.GetGreen(px, py) != off.GetGreen(px, py) ||
           on.GetBlue(px, py) != off.GetBlue(px, py)))
        ++elsewhere;
  EXPECT_EQ(elsewhere, 0);
  // The page is the same with the item on or off.
  ASSERT_EQ(pageOn.GetSize(), pageOff.GetSize());
  EXPECT_EQ(memcmp(pageOn.GetData(), pageOff.GetData(), 640 * 480 * 3), 0);
}

}  // namespace
