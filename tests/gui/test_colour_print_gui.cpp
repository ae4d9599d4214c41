// The Colour menu, the printed page and the Print and PrintSet&Up commands.
#include <wx/colordlg.h>
#include <wx/dcmemory.h>
#include <wx/file.h>
#include <wx/filename.h>
#include <wx/generic/printps.h>
#include <wx/printdlg.h>
#include <wx/testing.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gui_util.h"
#include "ops/commands.h"
#include "view/wx/printout.h"
#include "view/wx/scene.h"

namespace {

const wxColour kTwinkle(192, 255, 192);

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

// Cancels the colour dialog, noting its title.
class TitleSeen : public wxExpectModalBase<wxColourDialog, TitleSeen> {
 public:
  explicit TitleSeen(wxString* title) : title_(title) {}

 protected:
  int OnInvoked(wxColourDialog* dlg) const override {
    *title_ = dlg->GetTitle();
    return wxID_CANCEL;
  }

 private:
  wxString* title_;
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

// Files of one test, removed with it.
class TempFiles {
 public:
  TempFiles() : base_(wxFileName::CreateTempFileName("brimoss-print")) {}
  ~TempFiles() {
    for (const wxString& f : made_) wxRemoveFile(f);
    wxRemoveFile(base_);
  }
  wxString Path(const wxString& ext) {
    made_.push_back(wxString::Format("%s-%zu.%s", base_, made_.size(), ext));
    return made_.back();
  }

 private:
  wxString base_;
  std::vector<wxString> made_;
};

// Prints through the PostScript printer into `ps`, as the Print command does
// but without a dialog.
bool PrintToPostScript(MyFrame* frame, const wxString& ps) {
  // Only the job's copy of the settings is pointed at the file: the program's
  // own settings take it over only if the job succeeds.
  wxPrintDialogData data(*g_printData);
  data.GetPrintData().SetPrintMode(wxPRINT_MODE_FILE);
  data.GetPrintData().SetFilename(ps);
  // Without a page range the PostScript printer reports success and prints
  // nothing.
  data.SetFromPage(1);
  data.SetToPage(1);
  wxPostScriptPrinter printer(&data);
  return frame->RunPrintJob(printer, false);
}

// The first page of `ps` as Ghostscript renders it at 50 dots per inch.
wxImage RenderPostScript(const wxString& ps, const wxString& png) {
  const wxString cmd = wxString::Format(
      "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=png16m -r50 -sOutputFile='%s' '%s'", png, ps);
  EXPECT_EQ(std::system(cmd.utf8_str()), 0) << cmd.utf8_str();
  wxImage img;
  EXPECT_TRUE(img.LoadFile(png, wxBITMAP_TYPE_PNG));
  return img;
}

// The smallest rectangle holding every pixel of colour c.
wxRect BoundsOf(const wxImage& img, const wxColour& c) {
  int x0 = img.GetWidth(), y0 = img.GetHeight(), x1 = -1, y1 = -1;
  for (int y = 0; y < img.GetHeight(); ++y)
    for (int x = 0; x < img.GetWidth(); ++x)
      if (PixelAt(img, x, y) == c) {
        x0 = std::min(x0, x), x1 = std::max(x1, x);
        y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  return x1 < 0 ? wxRect() : wxRect(wxPoint(x0, y0), wxPoint(x1, y1));
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
      {MenuId::FaceForeground,
       {200, 100, 50, 25, 100, 50, 0, 255, 127, 255, 0, 255, 255, 255, 255}},
      {MenuId::FaceBackground,
       {200, 100, 50, 25, 100, 50, 200, 100, 50, 50, 200, 100, 255, 255, 255}},
      {MenuId::BackgroundColour,
       {200, 100, 50, 25, 100, 50, 200, 100, 50, 50, 200, 100, 200, 100, 50}},
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
  for (int id : {MenuId::FaceForeground, MenuId::FaceBackground, MenuId::BackgroundColour})
    Send(id);
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
  wxTEST_DIALOG(Send(MenuId::FaceBackground), ColourDialogSeen(wxID_CANCEL, &parent));
  EXPECT_EQ(AllColours(s()), before);
}

TEST_F(ColourPrintTest, ColourDialogTitleNamesTheColourBeingChanged) {
  const struct {
    int id;
    const char* title;
  } items[] = {
      {MenuId::FaceForeground, "Front face colour"},
      {MenuId::FaceBackground, "Back face colour"},
      {MenuId::BackgroundColour, "Background colour"},
  };
  const std::vector<int> before = AllColours(s());
  for (const auto& item : items) {
    SCOPED_TRACE(item.title);
    wxString title;
    wxTEST_DIALOG(Send(item.id), TitleSeen(&title));
    EXPECT_EQ(title, item.title);
  }
  EXPECT_EQ(AllColours(s()), before) << "cancelled: nothing changes";
}

TEST_F(ColourPrintTest, NewBackgroundShowsOnTheCanvasAndThePage) {
  // Counts the canvas's repaints while the test runs.
  struct PaintCounter {
    wxWindow* w;
    int n = 0;
    explicit PaintCounter(wxWindow* win) : w(win) { w->Bind(wxEVT_PAINT, &PaintCounter::On, this); }
    ~PaintCounter() { w->Unbind(wxEVT_PAINT, &PaintCounter::On, this); }
    void On(wxPaintEvent& e) {
      ++n;
      e.Skip();
    }
  } paints(frame->m_canvas);
  // The timer is stopped; wait for the window's own repaints to die down.
  for (int i = 0; i < 10; ++i) {
    paints.n = 0;
    PumpFor(300);
    if (paints.n == 0) break;
  }
  ASSERT_EQ(paints.n, 0);

  // The command's own repaint request brings its colour onto the screen.
  const wxSize cs = frame->m_canvas->GetClientSize();
  const wxPoint corner(cs.x - 3, cs.y - 3);
  const wxColour bg(30, 60, 200);
  AnswerColour(bg);
  Send(MenuId::BackgroundColour);
  wxColour seen;
  Pump([&] { return (seen = ScreenPixel(frame->m_canvas, corner)) == bg; }, 2000);
  EXPECT_EQ(seen, bg);
  EXPECT_GT(paints.n, 0);

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
  brimoss::ops::set_colour(s(), brimoss::ops::ColourSetting::Background, 0, 0, 255);
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

TEST_F(ColourPrintTest, PostScriptJobPrintsTheViewAndKeepsItsSettings) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  TempFiles files;
  const wxString ps = files.Path("ps");
  g_printData->SetPrinterName("brimoss-test-printer");
  ASSERT_TRUE(PrintToPostScript(frame, ps));
  // A print that went through keeps the settings it ran with, in both places.
  EXPECT_EQ(g_printData->GetFilename(), ps);
  EXPECT_EQ(g_printData->GetPrintMode(), wxPRINT_MODE_FILE);
  EXPECT_EQ(g_pageSetupData->GetPrintData().GetFilename(), ps);
  EXPECT_EQ(g_pageSetupData->GetPrintData().GetPrinterName(), "brimoss-test-printer");

  const wxImage page = RenderPostScript(ps, files.Path("png"));
  ASSERT_TRUE(page.IsOk());
  // The start-up surface shows its front in pinks and its back in greens.
  long pink = 0, green = 0;
  for (int y = 0; y < page.GetHeight(); ++y) {
    for (int x = 0; x < page.GetWidth(); ++x) {
      const int r = page.GetRed(x, y), g = page.GetGreen(x, y), b = page.GetBlue(x, y);
      if (r > 100 && r > g + 80 && b > g && r > b) ++pink;
      if (g > 100 && g > r + 80 && g >= b) ++green;
    }
  }
  EXPECT_GT(pink, 2000);
  EXPECT_GT(green, 2000);
}

TEST_F(ColourPrintTest, PageSetupChoicesShapeTheNextPrint) {
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  TempFiles files;
  const wxColour bg(0, 0, 255);
  brimoss::ops::set_colour(s(), brimoss::ops::ColourSetting::Background, 0, 0, 255);
  // 50 dots per inch on A4, 210 x 297 mm.
  const double dotsPerMm = 50 / 25.4;

  // No margins: the canvas fills the width less 100 units.
  ASSERT_TRUE(PrintToPostScript(frame, files.Path("ps")));
  wxImage page = RenderPostScript(g_printData->GetFilename(), files.Path("png"));
  wxRect r = BoundsOf(page, bg);
  EXPECT_NEAR(r.width, 210.0 * 640 / 740 * dotsPerMm, 3);
  EXPECT_NEAR(r.height, 210.0 * 440 / 740 * dotsPerMm, 3);

  // 30 mm margins all round, confirmed in PrintSet&Up: the picture fits the
  // 150 mm between the side margins instead, still centred.
  g_pageSetupData->SetMarginTopLeft(wxPoint(30, 30));
  g_pageSetupData->SetMarginBottomRight(wxPoint(30, 30));
  wxTEST_DIALOG(Send(MenuId::PrintSetup), wxExpectDismissableModal<wxPageSetupDialogBase>(wxID_OK));
  EXPECT_EQ(g_pageSetupData->GetMarginTopLeft(), wxPoint(30, 30));
  ASSERT_TRUE(PrintToPostScript(frame, files.Path("ps")));
  page = RenderPostScript(g_printData->GetFilename(), files.Path("png"));
  r = BoundsOf(page, bg);
  EXPECT_NEAR(r.width, 150.0 * 640 / 740 * dotsPerMm, 3);
  EXPECT_NEAR(r.height, 150.0 * 440 / 740 * dotsPerMm, 3);
  EXPECT_NEAR(r.x + r.width / 2.0, page.GetWidth() / 2.0, 2);
  EXPECT_NEAR(r.y + r.height / 2.0, page.GetHeight() / 2.0, 2);

  // The page set-up opens on the printer settings as they are now, and what
  // it confirms is what the next print is made with.
  g_printData->SetOrientation(wxLANDSCAPE);
  wxTEST_DIALOG(Send(MenuId::PrintSetup), wxExpectDismissableModal<wxPageSetupDialogBase>(wxID_OK));
  EXPECT_EQ(g_pageSetupData->GetPrintData().GetOrientation(), wxLANDSCAPE);
  EXPECT_EQ(g_printData->GetOrientation(), wxLANDSCAPE);
  const wxString ps = files.Path("ps");
  ASSERT_TRUE(PrintToPostScript(frame, ps));
  wxString text;
  wxFile(ps).ReadAll(&text);
  EXPECT_TRUE(text.Contains("%%Orientation: Landscape"));
}

TEST_F(ColourPrintTest, FailedJobReportsAProblemAndKeepsTheSettings) {
  g_printData->SetPrinterName("kept");
  auto seen = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(EXPECT_FALSE(PrintToPostScript(frame, "/nonexistent-brimoss-dir/page.ps")),
                ExpectMessage(seen, wxID_OK));
  EXPECT_EQ(wxPrinter::GetLastError(), wxPRINTER_ERROR);
  EXPECT_EQ(seen->message,
            "There was a problem printing.\nPerhaps your current printer is not set correctly?");
  EXPECT_EQ(seen->caption, "Printing");
  EXPECT_TRUE(seen->style & wxOK);
  EXPECT_FALSE(seen->style & wxCANCEL);
  EXPECT_EQ(g_printData->GetFilename(), wxPrintData().GetFilename());
  EXPECT_EQ(g_printData->GetPrintMode(), wxPrintData().GetPrintMode());
  EXPECT_EQ(g_printData->GetPrinterName(), "kept");
  EXPECT_EQ(g_pageSetupData->GetPrintData().GetFilename(), wxPrintData().GetFilename());
}

TEST_F(ColourPrintTest, CancelledPrintDialogSaysSoAndKeepsTheSettings) {
  g_printData->SetOrientation(wxLANDSCAPE);
  g_printData->SetNoCopies(3);
  auto seen = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(Send(MenuId::Print), wxExpectDismissableModal<wxPrintDialogBase>(wxID_CANCEL),
                ExpectMessage(seen, wxID_OK));
  EXPECT_EQ(wxPrinter::GetLastError(), wxPRINTER_CANCELLED);
  EXPECT_EQ(seen->message, "You canceled printing");
  EXPECT_EQ(seen->caption, "Printing");
  EXPECT_TRUE(seen->style & wxOK);
  EXPECT_EQ(g_printData->GetOrientation(), wxLANDSCAPE);
  EXPECT_EQ(g_printData->GetNoCopies(), 3);
}

}  // namespace
