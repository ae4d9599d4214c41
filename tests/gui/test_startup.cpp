// The main window as it comes up, its menus, and the commands that need no
// surface: About, Exit and Help.
#include <wx/testing.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/cmdline.h"
#include "app/menu_table.h"
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

using brimoss::app::ItemKind;
using brimoss::app::MenuItemRow;

wxItemKind KindOf(ItemKind k) {
  switch (k) {
    case ItemKind::Check:
      return wxITEM_CHECK;
    case ItemKind::Separator:
      return wxITEM_SEPARATOR;
    default:
      return wxITEM_NORMAL;
  }
}

// The menu holds the table's rows for `name`, in order, and nothing else.
void ExpectMenu(const wxMenu* menu, const std::string& name) {
  std::vector<const MenuItemRow*> want;
  for (const MenuItemRow& r : brimoss::app::menu_rows())
    if (name == r.menu) want.push_back(&r);
  const wxMenuItemList& items = menu->GetMenuItems();
  ASSERT_EQ(items.GetCount(), want.size()) << name;
  size_t k = 0;
  for (const wxMenuItem* it : items) {
    const MenuItemRow& w = *want[k++];
    SCOPED_TRACE(name + " item " + std::to_string(k));
    EXPECT_EQ(it->GetKind(), KindOf(w.kind));
    EXPECT_EQ(it->IsSubMenu(), w.kind == ItemKind::Submenu);
    if (w.kind == ItemKind::Separator) continue;
    EXPECT_EQ(it->GetId(), w.id);
    EXPECT_EQ(it->GetItemLabel(), wxString::FromUTF8(brimoss::app::item_text(w)));
    EXPECT_EQ(it->GetHelp(), wxString::FromUTF8(w.help));
    EXPECT_FALSE(it->GetHelp().empty()) << "every item has its help line";
    if (w.kind == ItemKind::Submenu)
      ExpectMenu(it->GetSubMenu(), brimoss::app::plain_label(w.label));
  }
}

}  // namespace

TEST_F(WindowTest, MenusAreExactlyTheCommandTable) {
  wxMenuBar* bar = frame->GetMenuBar();
  ASSERT_NE(bar, nullptr);
  const auto& titles = brimoss::app::menu_titles();
  ASSERT_EQ(bar->GetMenuCount(), titles.size());
  for (size_t i = 0; i < titles.size(); ++i) {
    EXPECT_EQ(bar->GetMenuLabel(i), titles[i].label);
    ExpectMenu(bar->GetMenu(i), titles[i].name);
  }
  EXPECT_EQ(bar->GetMenu(2), frame->m_swayMenu);
}

TEST_F(WindowTest, TheTableKeepsTheProgramsOwnMenusTitlesIdsAndKeys) {
  // The items the program has always had, as the user knows them; the table
  // may add rows, never change these.
  const char* titles[] = {"&File", "&Edit", "&Sway", "&Colour", "&Help"};
  ASSERT_GE(brimoss::app::menu_titles().size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_STREQ(brimoss::app::menu_titles()[i].label, titles[i]);
  const struct {
    int id;
    const char* menu;
    const char* text;
  } fixed[] = {
      {5, "File", "&Open\tCtrl-O"},
      {6, "File", "Open Sa&mples"},
      {11, "Open Samples", "&1"},
      {12, "Open Samples", "&2"},
      {13, "Open Samples", "&3"},
      {14, "Open Samples", "&4"},
      {8, "File", "&Open and append\tCtrl-I"},
      {7, "File", "&Save\tCtrl-S"},
      {45, "File", "Export..."},
      {46, "File", "Save picture..."},
      {9, "File", "&Print\tCtrl-P"},
      {10, "File", "PrintSet&Up"},
      {2, "File", "&About...\tCtrl-A"},
      {1, "File", "E&xit\tAlt-X"},
      {15, "Edit", "&Undo\tCtrl-Z"},
      {16, "Edit", "Zoom &In"},
      {17, "Edit", "Zoom &Out"},
      {18, "Edit", "&Default size"},
      {20, "Edit", "&Mirror image\tCtrl-M"},
      {24, "Edit", "&Detect connected component\tCtrl-L"},
      {19, "Edit", "&Add new cells\tCtrl-C"},
      {21, "Edit", "&Add copy image\tCtrl-V"},
      {22, "Edit", "&Add mirror image \tCtrl-B"},
      {23, "Edit", "&Pull one point \tCtrl-N"},
      {25, "Edit", "&Remove some cells \tCtrl-R"},
      {50, "Edit", "Show &counts and current vertex"},
      {55, "Edit", "Grow sheet\tCtrl-G"},
      {26, "Sway", "Touch purturbation &1\tCtrl-1"},
      {27, "Sway", "Sway once &1\tCtrl-1"},
      {28, "Sway", "Sway some &2\tCtrl-2"},
      {29, "Sway", "Sway many &3\tCtrl-3"},
      {31, "Colour", "Face &foreground..."},
      {32, "Colour", "Face &background..."},
      {33, "Colour", "Background &color..."},
      {30, "Help", "&Help\tCtrl-H"},
      {40, "Help", "Brimoss &guide\tF1"},
  };
  for (const auto& f : fixed) {
    int found = 0;
    for (const MenuItemRow& r : brimoss::app::menu_rows())
      if (r.id == f.id && r.kind != ItemKind::Separator) {
        ++found;
        EXPECT_STREQ(r.menu, f.menu) << f.id;
        EXPECT_EQ(brimoss::app::item_text(r), f.text) << f.id;
      }
    EXPECT_EQ(found, 1) << "id " << f.id;
  }
  // The old items keep their order: the next one listed comes later.
  int last = -1;
  const auto& rows = brimoss::app::menu_rows();
  for (const auto& f : fixed) {
    const auto at =
        std::find_if(rows.begin(), rows.end(), [&](const MenuItemRow& r) { return r.id == f.id; });
    ASSERT_NE(at, rows.end());
    const int pos = static_cast<int>(at - rows.begin());
    EXPECT_GT(pos, last) << "id " << f.id;
    last = pos;
  }
  EXPECT_STREQ(
      std::find_if(rows.begin(), rows.end(), [](const MenuItemRow& r) { return r.id == 2; })->help,
      "Show about dialog");
  EXPECT_STREQ(
      std::find_if(rows.begin(), rows.end(), [](const MenuItemRow& r) { return r.id == 1; })->help,
      "Quit this program");
}

TEST_F(WindowTest, AHighlightedMenuItemShowsItsHelpLineInTheStatusBar) {
  ShowAndSettle();
  for (const MenuItemRow& r : brimoss::app::menu_rows()) {
    if (r.kind == ItemKind::Separator) continue;
    wxMenuEvent ev(wxEVT_MENU_HIGHLIGHT, r.id);
    ev.SetEventObject(frame);
    frame->ProcessWindowEvent(ev);
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), wxString::FromUTF8(r.help)) << r.id;
  }
}

TEST_F(WindowTest, EveryTableIdReachesAHandlerAndNoOtherIdDoes) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  // The commands that need no dialog. Those with one (Open, Save, Open and
  // append, About, Print, PrintSet&Up, the colours) are driven through their
  // dialogs elsewhere.
  for (int id :
       {11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 50, 56}) {
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
  // The same version --version prints ("brimoss 0.1.0").
  const wxString version = wxString(brimoss::app::version_text()).AfterFirst(' ').Trim();
  EXPECT_FALSE(version.empty());
  EXPECT_TRUE(seen->message.EndsWith("\n\nVersion " + version)) << seen->message;
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
