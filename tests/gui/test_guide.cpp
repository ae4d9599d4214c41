// Help > Brimoss guide: a modeless window for first-time users.
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "app/guide.h"
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
  for (const char* menu : {"File", "Edit", "Sway", "Colour", "Ctrl-Z", "F1"})
    EXPECT_TRUE(text.Contains(menu)) << menu;
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
