// Help > Brimoss guide: a modeless window for first-time users.
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <functional>

#include "app/guide.h"
#include "app/menu_table.h"
#include "gui_util.h"

namespace {

int GuideWindowsOpen() {
  int n = 0;
  for (wxWindow* w : wxTopLevelWindows)
    if (dynamic_cast<GuideWindow*>(w) && !w->IsBeingDeleted()) ++n;
  return n;
}

}  // namespace

TEST_F(WindowTest, F1OpensOneGuideThatNamesTheGesturesAndCloses) {
  ShowAndSettle();
  frame->m_canvas->SetFocus();
  PumpFor(50);
  NoDialogs none;

  // A real F1 key press.
  wxUIActionSimulator sim;
  sim.Char(WXK_F1);
  ASSERT_TRUE(Pump([this] { return frame->m_guide && frame->m_guide->IsShownOnScreen(); }, 3000))
      << "F1 opened no guide";
  GuideWindow* guide = frame->m_guide;
  EXPECT_EQ(guide->GetParent(), frame);

  const wxString text = guide->m_text->GetValue();
  for (const char* gesture : {"Touch", "Flick to spin", "Right-drag", "Paste"})
    EXPECT_TRUE(text.Contains(gesture)) << gesture;
  EXPECT_FALSE(guide->m_text->IsEditable());

  // A second request raises the same window instead of opening another.
  Send(MenuId::Guide);
  PumpFor(50);
  EXPECT_EQ(frame->m_guide, guide);
  EXPECT_EQ(GuideWindowsOpen(), 1);

  // The main window keeps working while the guide is open.
  const double zoom = s().g_rate;
  Send(MenuId::ZoomIn);
  EXPECT_NE(s().g_rate, zoom);

  guide->Close();
  EXPECT_TRUE(Pump([this] { return frame->m_guide == nullptr && GuideWindowsOpen() == 0; }, 2000))
      << "the guide did not close";

  // And it opens again afterwards.
  Send(MenuId::Guide);
  EXPECT_NE(frame->m_guide, nullptr);
  EXPECT_EQ(GuideWindowsOpen(), 1);
}

namespace {

// The guide's row for a menu item: its label as read, its key and its help
// line, in that order on the lines of the guide's table.
bool GuideListsItem(const wxString& text, const wxString& label, const wxString& key,
                    const wxString& help) {
  // The help line may wrap: compare with the blanks squeezed out.
  wxString flat = text;
  flat.Replace("\n", " ");
  while (flat.Replace("  ", " ")) {
  }
  wxString row = " " + label + " ";
  if (!key.empty()) row += key + " ";
  row += help;
  return flat.Contains(row);
}

}  // namespace

TEST_F(WindowTest, TheGuideListsEveryMenuItemWithItsKeyAndHelp) {
  Send(MenuId::Guide);
  ASSERT_NE(frame->m_guide, nullptr);
  const wxString text = frame->m_guide->m_text->GetValue();
  // Walks the menu bar itself, so an item added without its row in the
  // guide's table is caught.
  std::function<void(wxMenu*, const wxString&)> walk = [&](wxMenu* menu, const wxString& where) {
    for (wxMenuItem* it : menu->GetMenuItems()) {
      if (it->IsSeparator()) continue;
      const wxString label = wxMenuItem::GetLabelText(it->GetItemLabel()).Trim();
      const wxString key = it->GetItemLabel().AfterFirst('\t');
      EXPECT_FALSE(it->GetHelp().empty()) << where << " > " << label;
      EXPECT_TRUE(GuideListsItem(text, label, key, it->GetHelp()))
          << where << " > " << label << " (" << key << ") is not in the guide";
      if (it->IsSubMenu()) walk(it->GetSubMenu(), label);
    }
  };
  wxMenuBar* bar = frame->GetMenuBar();
  for (size_t m = 0; m < bar->GetMenuCount(); ++m) {
    const wxString title = wxMenuItem::GetLabelText(bar->GetMenuLabel(m));
    EXPECT_TRUE(text.Contains("\n" + title + "\n")) << title;
    walk(bar->GetMenu(m), title);
  }
  // What no menu holds: the wheel, the arrows, Home, Escape; and a flick's
  // spin ends.
  for (const char* what : {"Wheel", "Arrow keys", "Home", "Escape", "within about a second"})
    EXPECT_TRUE(text.Contains(what)) << what;
  EXPECT_FALSE(text.Contains("keep turning")) << "the spin slows to rest";
  EXPECT_FALSE(text.Contains("keeps turning")) << "the spin slows to rest";
}

TEST_F(WindowTest, EscapeClosesTheGuide) {
  ShowAndSettle();
  NoDialogs none;
  Send(MenuId::Guide);
  ASSERT_TRUE(Pump([this] { return frame->m_guide && frame->m_guide->IsShownOnScreen(); }, 3000));
  frame->m_guide->Raise();
  frame->m_guide->m_text->SetFocus();
  ASSERT_TRUE(Pump(
      [this] { return frame->m_guide->IsActive() || frame->m_guide->m_text->HasFocus(); }, 2000));
  // A real Escape key press.
  wxUIActionSimulator sim;
  sim.Char(WXK_ESCAPE);
  EXPECT_TRUE(Pump([this] { return frame->m_guide == nullptr && GuideWindowsOpen() == 0; }, 3000))
      << "Escape left the guide open";
}
