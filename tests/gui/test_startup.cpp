// The main window as it comes up, its menus, and the commands that need no
// surface: About, Exit and Help.
#include <wx/testing.h>

#include <memory>
#include <vector>

#include "gui_util.h"
#include "model/surface_file.h"

TEST_F(WindowTest, StartsWithTitlePlaceStatusAndDefaultSurface) {
  // Before any event is handled, the origin is the one start-up sets.
  EXPECT_EQ(s().g_centerx, 320);
  EXPECT_EQ(s().g_centery, 220);
  ShowAndSettle();
  EXPECT_EQ(frame->GetTitle(), "Brimoss");
  EXPECT_EQ(frame->GetPosition(), wxPoint(50, 50));
  EXPECT_EQ(frame->GetSize(), wxSize(640, 480));
  ASSERT_NE(frame->GetStatusBar(), nullptr);
  EXPECT_EQ(frame->GetStatusBar()->GetFieldsCount(), 2);
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "Welcome to Brimoss!");
  EXPECT_TRUE(frame->m_swayMenu->IsChecked(26));
  EXPECT_EQ(s().NOV, 29);
  EXPECT_EQ(s().NOE, 72);
  EXPECT_EQ(s().NOS, 42);
  EXPECT_EQ(s().g_rate, 100.0);
  EXPECT_NE(g_printData, nullptr);

  // The canvas fills the client area and ticks every 20 ms.
  EXPECT_EQ(frame->m_canvas->GetParent(), frame);
  EXPECT_EQ(frame->m_canvas->GetSize(), frame->GetClientSize());
  EXPECT_TRUE(frame->m_canvas->m_timer.IsRunning());
  EXPECT_FALSE(frame->m_canvas->m_timer.IsOneShot());
  EXPECT_EQ(frame->m_canvas->m_timer.GetInterval(), 20);
  EXPECT_EQ(frame->m_canvas->m_timer.GetId(), 34);
  EXPECT_EQ(frame->m_canvas->m_owner, frame);
  EXPECT_TRUE(frame->GetIcon().IsOk());
  EXPECT_EQ(frame->GetIcon().GetWidth(), 32);
}

TEST_F(WindowTest, OriginStaysAtStartUpValueUntilTheCanvasIsResized) {
  ShowAndSettle();
  // Shown at its own size, the canvas has had no new size since start-up.
  EXPECT_EQ(s().g_centerx, 320);
  EXPECT_EQ(s().g_centery, 220);
  frame->SetSize(700, 500);
  ASSERT_TRUE(Pump([this] { return s().g_centerx != 320; }, 2000));
  const wxSize c = frame->m_canvas->GetClientSize();
  EXPECT_EQ(s().g_centerx, c.x / 2);
  EXPECT_EQ(s().g_centery, c.y / 2);
}

namespace {

struct Item {
  int id;  // wxID_SEPARATOR for a separator, -100 for the submenu
  const char* label;
  wxItemKind kind;
  const char* help;
};

const wxItemKind N = wxITEM_NORMAL;
const wxItemKind C = wxITEM_CHECK;
const wxItemKind S = wxITEM_SEPARATOR;

void ExpectMenu(const wxMenu* menu, const std::vector<Item>& want, const char* which) {
  const wxMenuItemList& items = menu->GetMenuItems();
  ASSERT_EQ(items.GetCount(), want.size()) << which;
  size_t k = 0;
  for (const wxMenuItem* it : items) {
    const Item& w = want[k++];
    SCOPED_TRACE(std::string(which) + " item " + std::to_string(k));
    EXPECT_EQ(it->GetKind(), w.kind);
    if (w.kind == S) continue;
    EXPECT_EQ(it->GetId(), w.id);
    EXPECT_EQ(it->GetItemLabel(), wxString(w.label));
    EXPECT_EQ(it->GetHelp(), wxString(w.help));
  }
}

}  // namespace

TEST_F(WindowTest, MenusAreExactlyTheCommandTable) {
  wxMenuBar* bar = frame->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->GetMenuCount(), 5u);
  const char* titles[] = {"&File", "&Edit", "&Sway", "&Colour", "&Help"};
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(bar->GetMenuLabel(i), titles[i]);
  EXPECT_EQ(bar->GetMenu(2), frame->m_swayMenu);

  ExpectMenu(bar->GetMenu(0),
             {{5, "&Open\tCtrl-O", N, ""},
              {6, "Open Sa&mples", N, ""},
              {8, "&Open and append\tCtrl-I", N, ""},
              {7, "&Save\tCtrl-S", N, ""},
              {45, "Export...", N, ""},
              {46, "Save picture...", N, ""},
              {0, "", S, ""},
              {9, "&Print\tCtrl-P", N, ""},
              {10, "PrintSet&Up", N, ""},
              {0, "", S, ""},
              {2, "&About...\tCtrl-A", N, "Show about dialog"},
              {0, "", S, ""},
              {1, "E&xit\tAlt-X", N, "Quit this program"}},
             "File");
  const wxMenuItem* samples = bar->GetMenu(0)->FindItem(6);
  ASSERT_NE(samples, nullptr);
  ASSERT_TRUE(samples->IsSubMenu());
  ExpectMenu(samples->GetSubMenu(),
             {{11, "&1", N, ""}, {12, "&2", N, ""}, {13, "&3", N, ""}, {14, "&4", N, ""}},
             "Open Samples");
  ExpectMenu(bar->GetMenu(1),
             {{15, "&Undo\tCtrl-Z", N, ""},
              {16, "Zoom &In", N, ""},
              {17, "Zoom &Out", N, ""},
              {18, "&Default size", N, ""},
              {0, "", S, ""},
              {20, "&Mirror image\tCtrl-M", N, ""},
              {24, "&Detect connected component\tCtrl-L", N, ""},
              {0, "", S, ""},
              {19, "&Add new cells\tCtrl-C", N, ""},
              {21, "&Add copy image\tCtrl-V", N, ""},
              {22, "&Add mirror image \tCtrl-B", N, ""},
              {23, "&Pull one point \tCtrl-N", N, ""},
              {25, "&Remove some cells \tCtrl-R", N, ""},
              {0, "", S, ""},
              {50, "Show &counts and current vertex", C, ""},
              {0, "", S, ""},
              {55, "Grow sheet\tCtrl-G", N, ""}},
             "Edit");
  ExpectMenu(bar->GetMenu(2),
             {{26, "Touch purturbation &1\tCtrl-1", C, ""},
              {0, "", S, ""},
              {27, "Sway once &1\tCtrl-1", N, ""},
              {28, "Sway some &2\tCtrl-2", N, ""},
              {29, "Sway many &3\tCtrl-3", N, ""}},
             "Sway");
  ExpectMenu(bar->GetMenu(3),
             {{31, "Face &foreground...", N, ""},
              {32, "Face &background...", N, ""},
              {33, "Background &color...", N, ""}},
             "Colour");
  ExpectMenu(bar->GetMenu(4), {{30, "&Help\tCtrl-H", N, ""}, {40, "Brimoss &guide\tF1", N, ""}},
             "Help");
}

TEST_F(WindowTest, EveryTableIdReachesAHandlerAndNoOtherIdDoes) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  // The commands that need no dialog. Those with one (Open, Save, Open and
  // append, About, Print, PrintSet&Up, the colours) are driven through their
  // dialogs elsewhere.
  for (int id : {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 50}) {
    wxCommandEvent ev(wxEVT_MENU, id);
    NoDialogs none;
    EXPECT_TRUE(frame->ProcessWindowEvent(ev)) << "id " << id;
  }
  for (int id : {3, 4, 6, 30, 34, 35}) {
    wxCommandEvent ev(wxEVT_MENU, id);
    EXPECT_FALSE(frame->ProcessWindowEvent(ev)) << "id " << id;
  }
}

TEST_F(WindowTest, HelpChangesNothingAndShowsNothing) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  const std::string before = brimoss::surface_text(s());
  const double rate = s().g_rate;
  const int purtj = s().g_purtj;
  wxCommandEvent ev(wxEVT_MENU, MenuId::Help);
  {
    NoDialogs none;
    EXPECT_FALSE(frame->ProcessWindowEvent(ev));
  }
  EXPECT_EQ(brimoss::surface_text(s()), before);
  EXPECT_EQ(s().g_rate, rate);
  EXPECT_EQ(s().g_purtj, purtj);
  EXPECT_FALSE(frame->IsBeingDeleted());
}

TEST_F(WindowTest, SamplesLoadInMenuOrder) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  const struct {
    int id, nov, nos;
  } cases[] = {{11, 8, 7}, {12, 19, 21}, {13, 30, 42}, {14, 29, 42}};
  for (const auto& c : cases) {
    s().g_twincle = 0;
    Send(c.id);
    EXPECT_EQ(s().NOV, c.nov) << "id " << c.id;
    EXPECT_EQ(s().NOS, c.nos) << "id " << c.id;
    EXPECT_EQ(s().g_twincle, 1) << "id " << c.id;
  }
}

TEST_F(WindowTest, AboutShowsItsBoxAndChangesNothing) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  const std::string before = brimoss::surface_text(s());
  auto seen = std::make_shared<SeenMessage>();
  wxCommandEvent ev(wxEVT_MENU, MenuId::About);
  wxTEST_DIALOG(frame->ProcessWindowEvent(ev), ExpectMessage(seen, wxID_OK));
  EXPECT_EQ(seen->caption, "About Brimoss");
  EXPECT_TRUE(seen->message.StartsWith("Brimoss.\n\n")) << seen->message;
  EXPECT_GT(seen->message.length(), wxString("Brimoss.\n\n").length());
  EXPECT_TRUE(seen->style & wxOK);
  EXPECT_TRUE(seen->style & wxICON_INFORMATION);
  EXPECT_EQ(seen->parent, frame);
  EXPECT_EQ(brimoss::surface_text(s()), before);
}

TEST_F(WindowTest, ExitClosesTheWindowWithoutAsking) {
  ShowAndSettle();
  s().g_buru = 5;  // even while an animation runs
  wxCommandEvent ev(wxEVT_MENU, MenuId::Quit);
  {
    NoDialogs none;
    frame->ProcessWindowEvent(ev);
  }
  EXPECT_TRUE(wxPendingDelete.Member(frame));
  PumpFor(30);
  EXPECT_EQ(wxTopLevelWindows.Find(frame), nullptr);
  frame = nullptr;  // gone already
}

TEST_F(WindowTest, TouchPerturbationToggleKeepsMarkAndFlagTogether) {
  for (bool want : {false, true, false}) {
    Send(MenuId::TouchPerturbation);
    EXPECT_EQ(s().touch_purturb, want);
    EXPECT_EQ(frame->m_swayMenu->IsChecked(26), want);
  }
}

TEST_F(WindowTest, DetectConnectedComponentRelabelsAndCentres) {
  frame->m_canvas->m_timer.Stop();
  for (int i = 0; i < s().NOV; ++i) s().conn_comp[i] = 7;
  s().hilighted[1] = true;
  s().comp_centerx[1] = 99.0;
  Send(MenuId::DetectComponents);
  for (int i = 0; i < s().NOV; ++i) ASSERT_EQ(s().conn_comp[i], 1) << "vertex " << i;
  EXPECT_EQ(s().NOcomp, 2);
  EXPECT_FALSE(s().hilighted[1]);
  double mx = 0;
  for (int i = 0; i < s().NOV; ++i) mx += s().x[i];
  EXPECT_DOUBLE_EQ(s().comp_centerx[1], mx / s().NOV);
}
