// Edit > Grow sheet in the window: the ring grows on the canvas's timer, and
// the user's next mouse press or menu command stops it between cells.
#include <wx/uiaction.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "gui_util.h"
#include "model/crossings.h"
#include "model/invariants.h"
#include "model/sheet_check.h"
#include "ops/load.h"
#include "testing/cli_run.h"
#include "testing/store_bytes.h"
#include "view/draw.h"
#include "view/fit.h"

namespace {

class SheetWindowTest : public WindowTest {
 protected:
  MyCanvas* canvas() { return frame->m_canvas; }

  // One tick of the canvas's timer, as the timer itself sends it; the real
  // timer is stopped so that only these ticks advance the ring.
  void Tick() {
    wxTimerEvent te(canvas()->m_timer);
    canvas()->ProcessWindowEvent(te);
  }

  // Ticks while the ring grows and `more` holds; false when it ran too long.
  template <class F>
  bool TickWhile(F more, long most = 40000) {
    for (long n = 0; n < most; ++n) {
      if (!canvas()->Growth().running() || !more()) return true;
      Tick();
    }
    return false;
  }

  void Press() {
    wxMouseEvent ev(wxEVT_LEFT_DOWN);
    ev.SetPosition(wxPoint(5, 5));
    ev.SetLeftDown(true);
    ev.SetEventObject(canvas());
    canvas()->ProcessWindowEvent(ev);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetPosition(wxPoint(5, 5));
    up.SetEventObject(canvas());
    canvas()->ProcessWindowEvent(up);
  }

  wxString Field() { return frame->GetStatusBar()->GetStatusText(1); }

  void StartFromSample128() {
    ShowAndSettle();
    canvas()->m_timer.Stop();
    Send(MenuId::Sample1);
    s().g_purturb = s().g_twincle = 0;
    start = brimoss::testing::byte_copy(s());
    Send(MenuId::GrowSheet);
    ASSERT_TRUE(canvas()->Growth().running());
  }

  void ExpectClean() {
    const brimoss::SheetFigures f = brimoss::check_sheet(s());
    EXPECT_EQ(f.components, 1);
    EXPECT_EQ(f.non_manifold_edges, 0);
    EXPECT_EQ(f.orientation_conflicts, 0);
    EXPECT_EQ(f.pinch_vertices, 0);
    std::string why;
    EXPECT_TRUE(brimoss::check_invariants(s(), &why)) << why;
  }

  std::unique_ptr<brimoss::Store> start;
};

TEST_F(SheetWindowTest, GrowsOneRingOnTheTimerAndUndoReturnsToTheSample) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  bool progress = false;
  ASSERT_TRUE(TickWhile([&] {
    progress |= Field().StartsWith("Growing sheet: ring 1, ");
    return true;
  }));
  EXPECT_TRUE(progress) << "the progress is in the status bar";
  // Seven places round the first cell; Grow sheet keeps the sheet apart, so
  // a place where a cell would cross the sheet is left open and counted.
  const int grown = canvas()->Growth().cells();
  EXPECT_GE(grown, 1);
  EXPECT_LE(grown, 7);
  if (grown < 7) {
    EXPECT_GT(canvas()->Growth().given_up(), 0);
  }
  EXPECT_TRUE(Field().StartsWith(wxString::Format("Sheet grown: ring 1 closed, %d cells, ", grown)))
      << Field();
  // And there it stays, long after the three seconds the canvas gave it.
  const wxString ended = Field();
  for (int k = 0; k < 400; ++k) Tick();
  EXPECT_EQ(Field(), ended);
  EXPECT_EQ(s().NOS, start->NOS + 7 * grown);
  ExpectClean();

  Send(MenuId::Undo);
  EXPECT_EQ(s().NOV, start->NOV);
  EXPECT_EQ(s().NOE, start->NOE);
  EXPECT_EQ(s().NOS, start->NOS);
  for (int v = 0; v < s().NOV; ++v) {
    EXPECT_EQ(s().x[v], start->x[v]);
    EXPECT_EQ(s().y[v], start->y[v]);
    EXPECT_EQ(s().z[v], start->z[v]);
  }
  for (int l = 0; l < s().NOE; ++l) EXPECT_EQ(s().edge[l], start->edge[l]);
  for (int f = 0; f < s().NOS; ++f) EXPECT_EQ(s().face[f], start->face[f]);
}

TEST_F(SheetWindowTest, AMousePressStopsItBetweenCells) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  ASSERT_TRUE(TickWhile([&] { return canvas()->Growth().cells() < 3 || s().g_pasteevent == 0; }));
  ASSERT_GT(s().g_pasteevent, 0);
  Press();
  EXPECT_TRUE(canvas()->Growth().stopping());
  ASSERT_TRUE(TickWhile([] { return true; }, 5000));
  EXPECT_EQ(canvas()->Growth().cells(), 3);
  EXPECT_TRUE(Field().StartsWith("Sheet stopped in ring 1 by a click on the canvas: 3 cells"))
      << Field();
  EXPECT_EQ(s().g_pasteevent, 0);
  ExpectClean();
}

TEST_F(SheetWindowTest, AMenuCommandStopsItAndLeavesASoundStore) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  ASSERT_TRUE(TickWhile([&] { return canvas()->Growth().cells() < 4 || s().g_pasteevent == 0; }));
  ASSERT_GT(s().g_pasteevent, 0);
  // Open Samples > 3, the changes not saved: replaces the surface mid-paste.
  auto ask = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(Send(MenuId::Sample3), ExpectMessage(ask, wxID_NO));
  EXPECT_EQ(ask->message, "Save the changes to the sheet?");
  EXPECT_TRUE(canvas()->Growth().stopping());
  const auto after = brimoss::testing::byte_copy(s());
  ASSERT_TRUE(TickWhile([] { return true; }, 5000));
  EXPECT_FALSE(canvas()->Growth().running());
  EXPECT_EQ(s().NOV, after->NOV);
  EXPECT_EQ(s().NOS, after->NOS);
  std::string why;
  EXPECT_TRUE(brimoss::check_invariants(s(), &why)) << why;
  canvas()->m_timer.Start(20, wxTIMER_CONTINUOUS);
  PumpFor(100);  // the real timer and repaints on what is left
}

// Every dialog is cancelled, and noted.
class CancelEveryDialog : public wxModalDialogHook {
 public:
  CancelEveryDialog() { Register(); }
  ~CancelEveryDialog() override { Unregister(); }
  int shown = 0;

 protected:
  int Enter(wxDialog*) override {
    ++shown;
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};

TEST_F(SheetWindowTest, CommandsThatLeaveTheSurfaceAloneLeaveItGrowing) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  ASSERT_TRUE(TickWhile([&] { return canvas()->Growth().cells() < 2; }));
  frame->m_askColour = [] { return wxColour(); };
  const struct {
    int id;
    const char* what;
    bool dialog;
  } leave[] = {
      {MenuId::Save, "Save, cancelled", true},
      {MenuId::Export, "Export..., cancelled", true},
      {MenuId::SavePicture, "Save picture..., cancelled", true},
      {MenuId::Print, "Print, cancelled", true},
      {MenuId::PrintSetup, "PrintSetUp, cancelled", true},
      {MenuId::ZoomIn, "Zoom In", false},
      {MenuId::ZoomOut, "Zoom Out", false},
      {MenuId::DefaultSize, "Default size", false},
      {MenuId::ZoomToFit, "Zoom to fit", false},
      {MenuId::FaceForeground, "a colour, cancelled", false},
      {MenuId::BackgroundColour, "a colour, cancelled", false},
      {MenuId::Guide, "the guide", false},
      {MenuId::Help, "Help", false},
      {MenuId::About, "About", true},
      {MenuId::ShowFeedback, "Show counts on", false},
      {MenuId::ShowFeedback, "Show counts off", false},
      {MenuId::Open, "Open, the question cancelled", true},
      {MenuId::Sample2, "Open Samples, the question cancelled", true},
      {MenuId::Append, "Open and append, cancelled", true},
      {MenuId::Quit, "Exit, the question cancelled", true},
  };
  for (const auto& c : leave) {
    SCOPED_TRACE(c.what);
    CancelEveryDialog hook;
    Send(c.id);
    EXPECT_EQ(hook.shown > 0, c.dialog);
    EXPECT_TRUE(canvas()->Growth().running());
    EXPECT_FALSE(canvas()->Growth().stopping());
    Tick();
  }
  EXPECT_FALSE(frame->IsBeingDeleted());
  // A command that changes the surface stops it.
  Send(MenuId::Mirror);
  EXPECT_TRUE(canvas()->Growth().stopping());
  ASSERT_TRUE(TickWhile([] { return true; }, 5000));
  ExpectClean();
}

TEST_F(SheetWindowTest, ATouchOrACommandThatStopsItSaysSoAndTheRingsCountOn) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  ASSERT_TRUE(TickWhile([&] { return canvas()->Growth().cells() < 2; }));
  // The pointer onto another vertex.
  const int v = s().g_purtj == 3 ? 4 : 3;
  canvas()->Refresh(false);
  canvas()->Update();
  brimoss::project(s());
  wxMouseEvent move(wxEVT_MOTION);
  move.SetPosition(wxPoint(s().gx[v], s().gy[v]));
  move.SetEventObject(canvas());
  canvas()->ProcessWindowEvent(move);
  ASSERT_EQ(s().g_purtj, v);
  ASSERT_TRUE(TickWhile([] { return true; }, 5000));
  EXPECT_TRUE(Field().StartsWith(
      wxString::Format("Sheet stopped in ring 1 by touching vertex %d: 2 cells", v)))
      << Field();

  // Resumed, the ring is still ring 1; a menu command stops it by name.
  Send(MenuId::GrowSheet);
  EXPECT_TRUE(Field().StartsWith("Growing sheet: ring 1, ")) << Field();
  ASSERT_TRUE(TickWhile([&] { return canvas()->Growth().cells() < 1; }));
  Send(MenuId::Mirror);
  ASSERT_TRUE(TickWhile([] { return true; }, 5000));
  EXPECT_TRUE(Field().StartsWith("Sheet stopped in ring 1 by Mirror image: ")) << Field();
}

TEST_F(SheetWindowTest, UntilFullGrowsInViewAndSaysWhyItEnded) {
  // Rings closing one after another are the core's to test; here, the key,
  // the view and the status line, from a sheet with room for a few cells so
  // that the kept-apart growth ends in seconds.
  ShowAndSettle();
  canvas()->m_timer.Stop();
  std::string err;
  ASSERT_TRUE(brimoss::open_surface_text(
      s(),
      brimoss::testing::slurp(BRIMOSS_SOURCE_DIR "/tests/fixtures/sheet-ring3-nearly-full.brm"),
      err))
      << err;
  const int nov = s().NOV;
  s().g_purturb = s().g_twincle = 0;
  // Zoomed in a little past the fit, the sheet reaches into the margin the
  // growth keeps clear: the growth has to zoom out.
  const wxSize c = canvas()->GetClientSize();
  ASSERT_TRUE(brimoss::zoom_to_fit(s(), c.x, c.y, brimoss::kFitMargin / 3));
  // A real Ctrl-Shift-G.
  canvas()->SetFocus();
  ASSERT_TRUE(Pump([this] { return canvas()->HasFocus(); }, 1000));
  wxUIActionSimulator sim;
  sim.Char('g', wxMOD_CONTROL | wxMOD_SHIFT);
  ASSERT_TRUE(Pump([this] { return canvas()->Growth().running(); }, 2000)) << "Ctrl-Shift-G";
  EXPECT_TRUE(canvas()->Growth().until_full());
  const int first = canvas()->Growth().ring();
  EXPECT_GE(first, 2);  // the sheet's own rings, not counted from 1
  EXPECT_TRUE(Field().StartsWith(wxString::Format("Growing sheet until full: ring %d, ", first)))
      << Field();
  double rate = s().g_rate;
  int rings = first;
  bool zoomed_out = false;
  ASSERT_TRUE(TickWhile(
      [&] {
        // Never zoomed in; the sheet in the canvas after every step.
        EXPECT_LE(s().g_rate, rate);
        zoomed_out |= s().g_rate < rate;
        rate = s().g_rate;
        rings = std::max(rings, canvas()->Growth().ring());
        brimoss::project(s());
        for (int v = 0; v < s().NOV; ++v)
          if (s().gx[v] < 0 || s().gx[v] >= c.x || s().gy[v] < 0 || s().gy[v] >= c.y) {
            ADD_FAILURE() << "vertex " << v << " left the canvas";
            return false;
          }
        return !HasFailure();
      },
      400000));
  EXPECT_FALSE(canvas()->Growth().running());
  EXPECT_TRUE(zoomed_out);
  EXPECT_GT(s().NOV, nov);
  EXPECT_GE(rings, first);
  EXPECT_TRUE(Field().StartsWith(wxString::Format("Sheet stopped in ring %d: store full", rings)))
      << Field();
  ExpectClean();
}

}  // namespace

// The sheet kept apart, a copy added over it is the user's: the status bar
// says how much it crosses, and the copy stays where it was put.
TEST_F(SheetWindowTest, ACopyOverAKeptApartSheetIsTold) {
  ASSERT_NO_FATAL_FAILURE(StartFromSample128());
  ASSERT_TRUE(TickWhile([] { return true; }));
  ASSERT_TRUE(frame->GetMenuBar()->IsChecked(MenuId::KeepApart));
  const int nov = s().NOV;
  Send(MenuId::AddCopy);
  ASSERT_EQ(s().NOV, 2 * nov);
  const int n = brimoss::count_crossings(s());
  ASSERT_GT(n, 0);
  EXPECT_EQ(Field(), wxString::Format("the sheet now crosses itself at %d places", n));
}
