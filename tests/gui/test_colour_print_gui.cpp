// The Colour menu, the printed page and the Print and PrintSet&Up commands.
#include <wx/colordlg.h>
#include <wx/dcmemory.h>
#include <wx/filename.h>
#include <wx/generic/printps.h>
#include <wx/printdlg.h>
#include <wx/testing.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "gui_util.h"
#include "view/colours.h"
#include "view/wx/printout.h"
#include "view/wx/scene.h"

namespace {

const wxColour kTwinkle(192, 255, 192);

// What one message box showed; filled in by MessageBoxSeen.
struct ShownMessage {
  bool shown = false;
  wxString caption, message;
  long style = 0;
  wxWindow* parent = nullptr;
};

class MessageBoxSeen : public wxExpectModalBase<wxMessageDialog, MessageBoxSeen> {
 public:
  explicit MessageBoxSeen(std::shared_ptr<ShownMessage> seen) : seen_(std::move(seen)) {}

 protected:
  int OnInvoked(wxMessageDialog* dlg) const override {
    seen_->shown = true;
    seen_->caption = dlg->GetCaption();
    seen_->message = dlg->GetMessage();
    seen_->style = dlg->GetMessageDialogStyle();
    seen_->parent = dlg->GetParent();
    return wxID_OK;
  }

 private:
  std::shared_ptr<ShownMessage> seen_;
};

// Answers the colour dialog with `answer`, noting the window it belongs to.
class ColourDialogSeen : public wxExpectModalBase<wxColourDialog, ColourDialogSeen> {
 public:
  ColourDialogSeen(int answer, wxWindow** parent) : answer_(answer), parent_(parent) {}

 protected:
  int OnInvoked(wxColourDialog* dlg) const override {
    *parent_ = dlg->GetParent();
    return answer_;
  }

 private:
  int answer_;
  wxWindow** parent_;
};

// Every colour setting, in a form gtest can compare and print.
std::vector<int> AllColours(const brimoss::Store& s) {
  return {s.basecolR,       s.basecolG,       s.basecolB, s.modifycolR, s.modifycolG,
          s.modifycolB,     s.backcolR,       s.backcolG, s.backcolB,   s.backmodifycolR,
          s.backmodifycolG, s.backmodifycolB, s.bgcolR,   s.bgcolG,     s.bgcolB};
}

// The colour the X server shows at point p of `win`. Read through ImageMagick:
// the toolkit's screen context keeps answering with what it saw first.
wxColour ScreenPixel(wxWindow* win, const wxPoint& p) {
  const wxPoint at = win->ClientToScreen(p);
  const wxString cmd =
      wxString::Format("import -window root -crop 1x1+%d+%d -depth 8 rgb:-", at.x, at.y);
  FILE* in = popen(cmd.utf8_str(), "r");
  if (!in) return wxColour();
  unsigned char rgb[3];
  const size_t n = fread(rgb, 1, 3, in);
  pclose(in);
  return n == 3 ? wxColour(rgb[0], rgb[1], rgb[2]) : wxColour();
}

wxColour PixelAt(const wxImage& img, int x, int y) {
  return wxColour(img.GetRed(x, y), img.GetGreen(x, y), img.GetBlue(x, y));
}

// Prints page 1 on a bitmap of w x h filled with `paper`, going through the
// printout's steps in the order a printer takes them.
wxImage PrintOnBitmap(int w, int h, const wxColour& paper) {
  wxBitmap bmp(w, h, 24);
  {
    wxMemoryDC dc(bmp);
    dc.SetBackground(wxBrush(paper));
    dc.Clear();
    MyPrintout printout("My printout");
    printout.SetDC(&dc);
    printout.SetUp(dc);
    printout.OnPreparePrinting();
    printout.OnBeginPrinting();
    EXPECT_TRUE(printout.OnBeginDocument(1, 1));
    EXPECT_TRUE(printout.OnPrintPage(1));
    // The context is handed back as it came.
    double sx = 0, sy = 0;
    dc.GetUserScale(&sx, &sy);
    EXPECT_EQ(sx, 1.0);
    EXPECT_EQ(sy, 1.0);
    EXPECT_EQ(dc.GetDeviceOrigin(), wxPoint(0, 0));
    printout.OnEndDocument();
    printout.OnEndPrinting();
  }
  return bmp.ConvertToImage();
}

// Whatever a test does to the printer settings ends with the test.
void ResetPrintSettings() {
  *g_printData = wxPrintData();
  *g_pageSetupData = wxPageSetupDialogData(*g_printData);
}

class ColourPrintTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ResetPrintSettings();
    ShowAndSettle();
    // Repaints and twinkle steps happen only when a test asks for them.
    frame->m_canvas->m_timer.Stop();
    s().g_centerx = 320;
    s().g_centery = 220;
  }
  void TearDown() override {
    ResetPrintSettings();
    WindowTest::TearDown();
  }
  void AnswerColour(const wxColour& c) {
    frame->m_askColour = [c] { return c; };
  }
  void ClearSurface() {
    s().NOV = 0;
    s().NOE = 0;
    s().NOS = 0;
  }
};

TEST_F(ColourPrintTest, ColourMenuSetsTheSettingsOfEachCommand) {
  // Each row: the command, then all fifteen settings after it, in the order
  // base, front mark, back, back mark, background.
  struct Row {
    int id;
    std::vector<int> after;
  } rows[] = {
      {31, {200, 100, 50, 25, 100, 50, 0, 255, 127, 255, 0, 255, 255, 255, 255}},
      {32, {200, 100, 50, 25, 100, 50, 200, 100, 50, 50, 200, 100, 255, 255, 255}},
      {33, {200, 100, 50, 25, 100, 50, 200, 100, 50, 50, 200, 100, 200, 100, 50}},
  };
  AnswerColour(wxColour(200, 100, 50));
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    Send(r.id);
    EXPECT_EQ(AllColours(s()), r.after);
  }

  // A dialog closed without a choice leaves every colour as it was.
  const std::vector<int> before = AllColours(s());
  AnswerColour(wxColour());
  for (int id : {31, 32, 33}) Send(id);
  EXPECT_EQ(AllColours(s()), before);
}

TEST_F(ColourPrintTest, SelectColourGivesAColourOnlyWhenConfirmed) {
  wxWindow* parent = nullptr;
  wxColour c;
  wxTEST_DIALOG(c = frame->SelectColour(), ColourDialogSeen(wxID_OK, &parent));
  EXPECT_TRUE(c.IsOk());
  EXPECT_EQ(parent, frame);

  parent = nullptr;
  wxTEST_DIALOG(c = frame->SelectColour(), ColourDialogSeen(wxID_CANCEL, &parent));
  EXPECT_FALSE(c.IsOk());
  EXPECT_EQ(parent, frame);

  // Without a substitute, the command asks through that dialog; cancelled,
  // nothing changes.
  const std::vector<int> before = AllColours(s());
  wxTEST_DIALOG(Send(32), ColourDialogSeen(wxID_CANCEL, &parent));
  EXPECT_EQ(AllColours(s()), before);
}

TEST_F(ColourPrintTest, NewBackgroundShowsOnTheCanvasAndThePage) {
  const wxSize cs = frame->m_canvas->GetClientSize();
  const wxPoint corner(cs.x - 3, cs.y - 3);
  ASSERT_TRUE(Pump([&] { return ScreenPixel(frame->m_canvas, corner) == *wxWHITE; }, 2000));
  // The timer is stopped: a colour set without a repaint request stays off
  // the screen...
  brimoss::apply_colour(s(), brimoss::kBackgroundColourId, 200, 30, 30);
  PumpFor(300);
  EXPECT_EQ(ScreenPixel(frame->m_canvas, corner), *wxWHITE);

  // ...and the command's own request brings its colour on.
  const wxColour bg(30, 60, 200);
  AnswerColour(bg);
  Send(33);
  wxColour seen;
  EXPECT_TRUE(Pump([&] { return (seen = ScreenPixel(frame->m_canvas, corner)) == bg; }, 2000))
      << "canvas corner shows " << seen.GetAsString(wxC2S_CSS_SYNTAX).utf8_str();

  // The page's corner, inside the outline, takes the colour too.
  const wxImage page = PrintOnBitmap(740, 540, *wxBLACK);
  EXPECT_EQ(PixelAt(page, 50 + 636, 50 + 436), bg);
}

// With a page of 740 x 540 the canvas prints at scale 1 from (50, 50): the
// page must then be the canvas picture itself, pixel for pixel, less the
// status line.
TEST_F(ColourPrintTest, PageIsTheCanvasPictureWithoutTheStatusLine) {
  brimoss::Store& st = s();
  set_message(st, "Status lines are for the screen only");
  const int twinkle = st.NOS - 1;  // the face drawn last, so nothing covers it

  wxBitmap canvasBmp(640, 440, 24);
  wxImage withStatus, withoutStatus;
  {
    wxMemoryDC dc(canvasBmp);
    st.g_twincle = twinkle;
    frame->m_canvas->DrawPoly(dc);
    EXPECT_EQ(st.g_twincle, twinkle + 1);
  }
  withStatus = canvasBmp.ConvertToImage();
  {
    wxMemoryDC dc(canvasBmp);
    st.g_twincle = twinkle;
    DrawScene(dc, st, false);
  }
  withoutStatus = canvasBmp.ConvertToImage();
  const std::vector<int> gx(st.gx.begin(), st.gx.begin() + st.NOV),
      gy(st.gy.begin(), st.gy.begin() + st.NOV);

  st.g_twincle = twinkle;
  const wxImage page = PrintOnBitmap(740, 540, *wxBLACK);
  // The page advances the twinkle like a repaint, and leaves the same screen
  // positions behind.
  EXPECT_EQ(st.g_twincle, twinkle + 1);
  EXPECT_EQ(std::vector<int>(st.gx.begin(), st.gx.begin() + st.NOV), gx);
  EXPECT_EQ(std::vector<int>(st.gy.begin(), st.gy.begin() + st.NOV), gy);

  long differ = 0;
  for (int y = 0; y < 440; ++y)
    for (int x = 0; x < 640; ++x)
      if (PixelAt(page, 50 + x, 50 + y) != PixelAt(withoutStatus, x, y)) ++differ;
  EXPECT_EQ(differ, 0);
  // The comparison would have seen the status line: on the canvas it is there.
  long text = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 200; ++x)
      if (PixelAt(withStatus, x, y) != PixelAt(withoutStatus, x, y)) ++text;
  EXPECT_GT(text, 50);

  // The twinkling face is on the page in the twinkle colour.
  const int f = st.order[twinkle];
  int cx = 0, cy = 0;
  for (int j = 0; j < 3; ++j) {
    cx += st.gx[st.face[f][j]];
    cy += st.gy[st.face[f][j]];
  }
  EXPECT_EQ(PixelAt(page, 50 + cx / 3, 50 + cy / 3), kTwinkle);
  // The margin round the picture stays as the paper was.
  for (const wxPoint& p :
       {wxPoint(20, 270), wxPoint(720, 270), wxPoint(370, 20), wxPoint(370, 520)})
    EXPECT_EQ(PixelAt(page, p.x, p.y), *wxBLACK) << p.x << "," << p.y;
}

// A 640 x 440 canvas on a 4800 x 6600 page: scale 4800/740 and the canvas's
// corner at (324, 1872). An empty surface prints the background alone.
TEST_F(ColourPrintTest, TallPageScalesToTheWidthAndCentres) {
  ClearSurface();
  set_message(s(), "Status lines are for the screen only");
  brimoss::apply_colour(s(), brimoss::kBackgroundColourId, 0, 0, 255);
  const wxImage page = PrintOnBitmap(4800, 6600, *wxBLACK);

  const double scale = 4800.0 / 740.0;
  const int ox = 324, oy = 1872;
  // The background rectangle's outline runs along canvas units 0 and 640
  // across, 0 and 440 down, one unit wide: inside it only the background,
  // beyond it only the paper.
  auto device = [&](double units, int origin) { return origin + units * scale; };
  long wrong = 0;
  const unsigned char* px = page.GetData();
  for (int y = 0; y < 6600; ++y) {
    for (int x = 0; x < 4800; ++x, px += 3) {
      const bool inner =
          x > device(1, ox) && x < device(639, ox) && y > device(1, oy) && y < device(439, oy);
      const bool outer =
          x < device(-1, ox) || x > device(641, ox) || y < device(-1, oy) || y > device(441, oy);
      if (inner && !(px[0] == 0 && px[1] == 0 && px[2] == 255)) ++wrong;
      if (outer && !(px[0] == 0 && px[1] == 0 && px[2] == 0)) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);

  // The middle of the outline, found along the middle row and column, is
  // where the canvas's edges land on the page.
  auto outlineMiddle = [&](int x, int y, int dx, int dy) {
    while (PixelAt(page, x, y) == *wxBLACK) x += dx, y += dy;
    const int outside = dx ? x : y;
    while (PixelAt(page, x, y) != wxColour(0, 0, 255)) x += dx, y += dy;
    return (outside + (dx ? x : y)) / 2.0;
  };
  const double left = outlineMiddle(0, 3300, 1, 0);
  const double right = outlineMiddle(4799, 3300, -1, 0);
  const double top = outlineMiddle(2400, 0, 0, 1);
  const double bottom = outlineMiddle(2400, 6599, 0, -1);
  EXPECT_NEAR(left, ox, 0.5);
  EXPECT_NEAR(top, oy, 0.5);  // 1872.97 truncated, not rounded
  EXPECT_NEAR((right - left) / 640.0, scale, 0.003);
  EXPECT_NEAR((bottom - top) / 440.0, scale, 0.003);
}

TEST_F(ColourPrintTest, PrintoutWithoutDeviceContextDrawsNothing) {
  s().g_twincle = 1;
  MyPrintout printout("My printout");
  EXPECT_EQ(printout.GetTitle(), "My printout");
  EXPECT_FALSE(printout.OnPrintPage(1));
  EXPECT_EQ(s().g_twincle, 1);
  EXPECT_EQ(MyPrintout(nullptr).GetTitle(), "");
}

}  // namespace
