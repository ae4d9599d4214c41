#include <wx/image.h>

#include <cstdlib>
#include <string>

#include "gui_util.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/load.h"
#include "sim/remove.h"
#include "testing/workloads.h"

using brimoss::Store;

TEST_F(WindowTest, GrowPullAndRemoveCommandsActAtTheCurrentVertex) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  brimoss::ReadSampleData(s(), 128);
  s().g_purtj = 0;

  Send(MenuId::AddNewCell);  // grow
  EXPECT_EQ(s().NOV, 15);
  EXPECT_EQ(s().NOE, 28);
  EXPECT_EQ(s().NOS, 14);
  Send(MenuId::AddNewCell);  // vertex 0 now joins two separate fans
  EXPECT_EQ(s().NOV, 15);

  auto want = brimoss::make_store();
  *want = s();
  brimoss::pullpoint(*want);
  Send(MenuId::PullPoint);  // pull
  for (int i = 0; i < s().NOV; ++i) EXPECT_EQ(s().z[i], want->z[i]) << "vertex " << i;

  s().g_purtj = 14;
  Send(MenuId::RemoveCell);  // remove the new centre
  EXPECT_EQ(s().NOV, 14);
  EXPECT_EQ(s().NOE, 21);
  EXPECT_EQ(s().NOS, 7);
  Send(MenuId::RemoveCell);  // the current vertex no longer exists
  EXPECT_EQ(s().NOV, 14);
}

// Draws the surface grown to 988 vertices, opened from a file as the user
// would; set BRIMOSS_SHOT to a .png path to keep a picture of the canvas.
TEST_F(WindowTest, GrownSurfaceIsDrawn) {
  auto grown = brimoss::make_store();
  brimoss::testing::build_grown_surface(*grown);
  const std::string path = ::testing::TempDir() + "grown.brm";
  std::string err;
  ASSERT_TRUE(brimoss::save_surface_file(*grown, path, err)) << err;

  ShowAndSettle();
  ASSERT_TRUE(frame->OpenPath(path));
  EXPECT_EQ(s().NOV, 988);
  frame->m_canvas->m_timer.Stop();
  s().g_twincle = 0;
  frame->m_canvas->Refresh(false);
  frame->m_canvas->Update();
  PumpFor(200);

  const wxSize sz = frame->m_canvas->GetClientSize();
  ASSERT_GT(sz.x, 100);
  ASSERT_GT(sz.y, 100);
  const wxImage img = ScreenBitmap().GetSubBitmap(wxRect(wxPoint(0, 0), sz)).ConvertToImage();
  long painted = 0;
  for (int y = 0; y < sz.y; ++y)
    for (int x = 0; x < sz.x; ++x)
      if (img.GetRed(x, y) != 255 || img.GetGreen(x, y) != 255 || img.GetBlue(x, y) != 255)
        ++painted;
  // The grown sheet covers much of the view.
  EXPECT_GT(painted, static_cast<long>(sz.x) * sz.y / 10);

  if (const char* shot = std::getenv("BRIMOSS_SHOT")) {
    wxInitAllImageHandlers();
    EXPECT_TRUE(img.SaveFile(shot, wxBITMAP_TYPE_PNG));
  }
}
