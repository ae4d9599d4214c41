// Sewing a copy onto its source in the window: menu commands, real pointer
// gestures through the X server, and the canvas's own timer carrying the
// pastes out.
#include <wx/uiaction.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "gui_util.h"
#include "model/components.h"
#include "model/invariants.h"

namespace {

class PasteWindowTest : public WindowTest {
 protected:
  wxPoint ScreenPos(int v) {
    return frame->m_canvas->ClientToScreen(wxPoint(s().gx[v], s().gy[v]));
  }

  // Waits for a few repaints, so that gx, gy show the surface as it is.
  void Repainted() { PumpFor(120); }

  // Touch vertex a with the pointer, press the left button, drag to vertex b
  // and release there: the gesture that asks to join b onto a.
  void Gesture(int a, int b) {
    wxUIActionSimulator sim;
    sim.MouseMove(ScreenPos(a));
    ASSERT_TRUE(Pump([&] { return s().g_purtj == a; }, 2000)) << "vertex " << a << " not touched";
    sim.MouseDown();
    ASSERT_TRUE(Pump([&] { return s().g_Lmousedown == 1; }, 2000));
    sim.MouseMove(ScreenPos(b));
    PumpFor(40);
    sim.MouseUp();
    ASSERT_TRUE(Pump([&] { return s().g_Lmousedown == 0; }, 2000));
  }

  // Runs the window until the paste in progress has ended.
  bool PasteFinishes() {
    const bool done = Pump([&] { return s().g_pasteevent == 0; }, 20000);
    Repainted();
    return done;
  }

  int DuplicateEdges() {
    std::set<std::pair<int, int>> seen;
    int dup = 0;
    for (int l = 0; l < s().NOE; ++l)
      if (!seen.insert({s().edge[l].first, s().edge[l].second}).second) ++dup;
    return dup;
  }
};

TEST_F(PasteWindowTest, SewsACopyOntoItsSourceWithTheMouse) {
  ShowAndSettle();
  Send(MenuId::Sample1);  // sample 128: one cell, vertices 0..6 round centre 7
  ASSERT_EQ(s().NOV, 8);
  Send(MenuId::AddCopy);  // Add copy image: vertices 8..15, 2.0 further along x
  ASSERT_EQ(s().NOV, 16);
  ASSERT_EQ(s().NOE, 28);
  // Let the start-up perturbation and the twinkle run out before pointing.
  ASSERT_TRUE(Pump([&] { return s().g_purturb == 0 && s().g_twincle == 0; }, 10000));
  Repainted();

  // The source's right-hand rim vertex 0 and the copy's left-hand rim vertex
  // 12 (the copy of 4) face each other a few pixels apart.
  const int before_vertices = s().NOV;
  ASSERT_NO_FATAL_FAILURE(Gesture(0, 12));
  EXPECT_TRUE(s().g_pasteevent > 0 || s().NOV < before_vertices) << "the first paste did not start";
  ASSERT_TRUE(PasteFinishes());
  EXPECT_EQ(s().NOV, 15);
  EXPECT_EQ(s().NOE, 28);

  // Their lower neighbours: 1 and 11 (the copy of 3). The merged vertex is
  // now their common neighbour, with two separate pairs of faces.
  ASSERT_NO_FATAL_FAILURE(Gesture(1, 11));
  ASSERT_TRUE(PasteFinishes());
  EXPECT_EQ(s().NOV, 14);
  EXPECT_EQ(s().NOE, 27);  // the edges from both to the merged vertex became one

  // Going on would close a fan of four faces round vertex 1: refused, the
  // release acts as an ordinary one and the surface stays as it is.
  ASSERT_NO_FATAL_FAILURE(Gesture(2, 10));
  PumpFor(200);
  EXPECT_EQ(s().NOV, 14);
  EXPECT_EQ(s().NOE, 27);

  std::string why;
  EXPECT_TRUE(brimoss::check_invariants(s(), &why)) << why;
  EXPECT_EQ(DuplicateEdges(), 0);
  brimoss::fill_conn_comp(s());
  EXPECT_EQ(s().NOcomp, 2) << "not one connected piece";

  if (const char* shot = std::getenv("BRIMOSS_PASTE_SHOT")) {
    PumpFor(300);
    std::system((std::string("import -window root '") + shot + "'").c_str());
  }

  // Undo takes the last paste back.
  Send(MenuId::Undo);
  EXPECT_EQ(s().NOV, 15);
}

TEST_F(PasteWindowTest, MirrorAndCopyCommands) {
  ShowAndSettle();
  Send(MenuId::Sample1);
  const double x0 = s().x[0];
  Send(MenuId::Mirror);  // Mirror image
  EXPECT_EQ(s().x[0], -x0);
  Send(MenuId::Mirror);
  EXPECT_EQ(s().x[0], x0);
  Send(MenuId::AddMirror);  // Add mirror image
  EXPECT_EQ(s().NOV, 16);
  EXPECT_EQ(s().face[7], (brimoss::Face{8, 15, 9}));
  Send(MenuId::Undo);  // Undo
  EXPECT_EQ(s().NOV, 8);
}

}  // namespace
