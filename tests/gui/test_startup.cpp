#include "gui_util.h"

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
  EXPECT_TRUE(frame->m_canvas->m_timer.IsRunning());
  EXPECT_EQ(frame->m_canvas->m_timer.GetInterval(), 20);
  EXPECT_EQ(frame->m_canvas->m_timer.GetId(), 34);
  EXPECT_NE(g_printData, nullptr);
}
