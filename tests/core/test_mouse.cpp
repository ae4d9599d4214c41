#include <gtest/gtest.h>

#include "model/store.h"
#include "ops/commands.h"
#include "ops/load.h"
#include "sim/relax.h"
#include "testing/fixtures.h"
#include "view/mouse.h"

using namespace brimoss;

namespace {

// The start-up surface with every vertex drawn far off the canvas, so that a
// test decides which vertices lie where.
class Mouse : public ::testing::Test {
 protected:
  void SetUp() override {
    s = make_store();
    initialize_store(*s);
    s->gx.fill(-1000);
    s->gy.fill(-1000);
  }
  MouseEffects send(MouseKind k, int px, int py) {
    MouseEffects e;
    mouse_event(*s, k, px, py, e);
    return e;
  }
  void place(int v, int px, int py) {
    s->gx[v] = px;
    s->gy[v] = py;
  }
  std::unique_ptr<Store> s;
};

TEST_F(Mouse, HitBoxIsStrictNineByNine) {
  struct Case {
    int dx, dy;
    bool hit;
  };
  const Case cases[] = {{0, 0, true},   {4, 0, true},   {-4, 0, true},  {0, 4, true},
                        {0, -4, true},  {4, -4, true},  {-4, 4, true},  {5, 0, false},
                        {-5, 0, false}, {0, 5, false},  {0, -5, false}, {4, 5, false},
                        {5, -4, false}, {-5, 5, false}, {9, 0, false}};
  for (const Case& c : cases) {
    SetUp();
    s->g_purtj = 0;
    s->g_purturb = 0;
    s->g_rotate = 7;
    place(12, 300, 200);
    const MouseEffects e = send(MouseKind::Other, 300 + c.dx, 200 + c.dy);
    SCOPED_TRACE(::testing::Message() << "offset " << c.dx << "," << c.dy);
    EXPECT_EQ(s->g_purtj, c.hit ? 12 : 0);
    EXPECT_EQ(s->g_purturb, c.hit ? 1 : 0);
    EXPECT_EQ(s->g_rotate, c.hit ? 0 : 7);
    EXPECT_FALSE(e.repaint);
  }
}

TEST_F(Mouse, TouchTakesTheFirstVertexOtherThanTheCurrentOne) {
  s->touch_purturb = false;
  s->g_purturb = 0;
  place(3, 200, 200);
  place(7, 202, 199);
  place(20, 198, 201);
  s->g_purtj = 3;
  // Each motion makes the next other vertex current: 7, then 3, then 7 ...
  const int expected[] = {7, 3, 7, 3};
  for (int v : expected) {
    send(MouseKind::Other, 200, 200);
    EXPECT_EQ(s->g_purtj, v);
  }
  EXPECT_EQ(s->g_purturb, 0) << "touch perturbation is off";

  // Hovering over the current vertex alone changes nothing.
  SetUp();
  place(5, 50, 60);
  s->g_purtj = 5;
  s->g_purturb = 0;
  s->g_rotate = 9;
  send(MouseKind::Other, 50, 60);
  EXPECT_EQ(s->g_purtj, 5);
  EXPECT_EQ(s->g_purturb, 0);
  EXPECT_EQ(s->g_rotate, 9);
}

TEST_F(Mouse, FlickSetsTheSpinFromTheDragVector) {
  struct Case {
    int dx, dy;
    double vangle, hangle;
  };
  const Case cases[] = {
      {100, 0, 0.1, 0.0}, {0, 50, 0.0, 0.05}, {-30, 20, -0.03, 0.02}, {0, 0, 0.0, 0.0}};
  for (const Case& c : cases) {
    SetUp();
    place(8, 160, 100);  // passed over while the button is held
    s->g_purturb = 12;
    send(MouseKind::LeftDown, 100, 100);
    EXPECT_EQ(s->g_Lmousedown, 1);
    send(MouseKind::Other, 160, 100);
    EXPECT_EQ(s->g_purtj, 1) << "no touch while the left button is held";
    send(MouseKind::LeftUp, 100 + c.dx, 100 + c.dy);
    SCOPED_TRACE(::testing::Message() << "drag " << c.dx << "," << c.dy);
    EXPECT_EQ(s->g_Lmousedown, 0);
    EXPECT_DOUBLE_EQ(s->g_vangle, c.vangle);
    EXPECT_DOUBLE_EQ(s->g_hangle, c.hangle);
    EXPECT_EQ(s->g_rotate, 1);
    EXPECT_EQ(s->g_purturb, 0);
    EXPECT_EQ(s->g_pasteevent, 0);
  }
}

TEST_F(Mouse, ReleaseOverAnotherVertexCancelsTheSpin) {
  // Vertices joined by an edge can never be pasted, so the release acts as an
  // ordinary release followed by the touch step at the same point.
  const int a = s->edge[0].first, b = s->edge[0].second;
  s->g_purtj = a;
  place(b, 300, 100);
  send(MouseKind::LeftDown, 200, 100);
  send(MouseKind::LeftUp, 300, 100);
  EXPECT_DOUBLE_EQ(s->g_vangle, 0.1);
  EXPECT_EQ(s->g_rotate, 0);
  EXPECT_EQ(s->g_purtj, b);
  EXPECT_EQ(s->g_purturb, 1);

  // Over the current vertex the spin survives.
  send(MouseKind::LeftDown, 200, 100);
  send(MouseKind::LeftUp, 300, 100);
  EXPECT_EQ(s->g_rotate, 1);
  EXPECT_EQ(s->g_purturb, 0);
  EXPECT_EQ(s->g_purtj, b);
}

TEST(MousePaste, ReleaseOnAJoinableVertexStartsAPasteInsteadOfASpin) {
  // Six faces in a closed ring round vertex 0: the rim vertices 1 and 3 are
  // not joined and share the interior neighbour 0, so they can be pasted.
  auto s = brimoss::testing::surface(
      7, {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 3, 4}}, {{0, 4, 5}}, {{0, 5, 6}}, {{0, 6, 1}}},
      {{0, 1},
       {0, 2},
       {0, 3},
       {0, 4},
       {0, 5},
       {0, 6},
       {1, 2},
       {2, 3},
       {3, 4},
       {4, 5},
       {5, 6},
       {1, 6}});
  s->gx.fill(-1000);
  s->gy.fill(-1000);
  s->gx[1] = 40;
  s->gy[1] = 50;
  s->g_purtj = 3;
  s->g_purturb = 0;
  s->g_rotate = 20;
  const int edges_before = s->NOE;

  MouseEffects e;
  mouse_event(*s, MouseKind::LeftDown, 200, 50, e);
  EXPECT_FALSE(e.repaint);
  mouse_event(*s, MouseKind::LeftUp, 41, 52, e);
  EXPECT_TRUE(e.repaint);
  EXPECT_EQ(s->g_pasteevent, 1);
  EXPECT_EQ(s->g_rotate, 0) << "no spin starts";
  EXPECT_EQ(s->g_vangle, 0.0);
  EXPECT_STREQ(s->messagetxt, "Now pasting vertices...");
  EXPECT_EQ(s->undo.nov, 7) << "the snapshot is taken";
  EXPECT_EQ(s->NOE, edges_before + 1);
  EXPECT_TRUE((s->edge[s->NOE - 1] == Edge{1, 3}));
  // The touch step at the same release makes the released-on vertex current.
  EXPECT_EQ(s->g_purtj, 1);
  EXPECT_EQ(s->g_purturb, 1);

  // A later release over empty canvas sets no spin while the paste runs.
  mouse_event(*s, MouseKind::LeftDown, 200, 50, e);
  mouse_event(*s, MouseKind::LeftUp, 300, 50, e);
  EXPECT_EQ(s->g_rotate, 0);
  EXPECT_EQ(s->g_vangle, 0.0);
}

TEST_F(Mouse, RightDragMovesTheGrabbedComponentOnly) {
  for (int i = 0; i < s->NOV; ++i) s->conn_comp[i] = i < 10 ? 2 : 1;
  place(4, 300, 300);
  auto before = make_store();
  *before = *s;

  send(MouseKind::RightDown, 301, 299);
  EXPECT_EQ(s->g_Rmousedown, 1);
  EXPECT_EQ(s->g_dragcomponent, 2);
  EXPECT_TRUE(s->hilighted[2]);
  EXPECT_FALSE(s->hilighted[1]);

  place(25, 306, 294);  // under the pointer on the way: no touch while held
  EXPECT_TRUE(send(MouseKind::Other, 306, 294).repaint);
  EXPECT_TRUE(send(MouseKind::Other, 311, 289).repaint);
  EXPECT_EQ(s->g_purtj, 1);
  for (int i = 0; i < s->NOV; ++i) {
    SCOPED_TRACE(i);
    // (+10, -10) pixels at zoom 100: +0.1 in x and +0.1 in y, z untouched, no
    // relaxation during the drag.
    EXPECT_NEAR(s->x[i], before->x[i] + (i < 10 ? 0.1 : 0.0), 1e-15);
    EXPECT_NEAR(s->y[i], before->y[i] + (i < 10 ? 0.1 : 0.0), 1e-15);
    EXPECT_EQ(s->z[i], before->z[i]);
  }

  // The release moves by what is left since the last motion and relaxes once.
  auto expected = make_store();
  *expected = *s;
  for (int i = 0; i < 10; ++i) expected->x[i] += 0.02;
  modify(*expected);
  EXPECT_TRUE(send(MouseKind::RightUp, 313, 289).repaint);
  EXPECT_EQ(s->g_Rmousedown, 0);
  for (int i = 0; i < s->NOV; ++i) {
    EXPECT_EQ(s->x[i], expected->x[i]);
    EXPECT_EQ(s->y[i], expected->y[i]);
    EXPECT_EQ(s->z[i], expected->z[i]);
  }
}

TEST_F(Mouse, RightPressHighlightsEveryComponentUnderThePointer) {
  for (int i = 0; i < s->NOV; ++i) s->conn_comp[i] = 1 + i % 3;
  place(4, 100, 100);  // component 2
  place(6, 101, 101);  // component 1
  place(8, 99, 100);   // component 3
  send(MouseKind::RightDown, 100, 100);
  EXPECT_TRUE(s->hilighted[1]);
  EXPECT_TRUE(s->hilighted[2]);
  EXPECT_TRUE(s->hilighted[3]);
  EXPECT_EQ(s->g_dragcomponent, 3) << "the highest-indexed vertex is grabbed";
}

TEST_F(Mouse, RightPressOnEmptyCanvasClearsAndTheReleaseStillRelaxes) {
  s->hilighted[1] = s->hilighted[5] = s->hilighted[99] = true;
  s->z[3] += 0.3;  // something for the relaxation to do
  auto expected = make_store();
  *expected = *s;
  modify(*expected);

  EXPECT_FALSE(send(MouseKind::RightDown, 100, 100).repaint);
  EXPECT_EQ(s->g_dragcomponent, 0);
  for (bool h : s->hilighted) EXPECT_FALSE(h);
  EXPECT_FALSE(send(MouseKind::Other, 150, 150).repaint);
  EXPECT_TRUE(send(MouseKind::RightUp, 150, 150).repaint);
  for (int i = 0; i < s->NOV; ++i) {
    EXPECT_EQ(s->x[i], expected->x[i]);
    EXPECT_EQ(s->y[i], expected->y[i]);
    EXPECT_EQ(s->z[i], expected->z[i]);
  }
}

TEST_F(Mouse, LabelsOutsideTheComponentTablesAreNeverUsedAsIndices) {
  // A corrupt label must neither index the highlight table nor be grabbed.
  for (int bad : {-3, MAXCONNCOMP, 150}) {
    SetUp();
    s->conn_comp[2] = bad;
    s->hilighted[4] = true;
    place(2, 100, 100);
    send(MouseKind::RightDown, 100, 100);
    EXPECT_EQ(s->g_dragcomponent, 0);
    EXPECT_FALSE(s->hilighted[4]);
  }
}

TEST_F(Mouse, EmptySurface) {
  s->NOV = s->NOE = s->NOS = 0;
  s->g_purtj = 1;
  s->hilighted[2] = true;
  send(MouseKind::RightDown, 10, 10);
  for (bool h : s->hilighted) EXPECT_FALSE(h);
  EXPECT_TRUE(send(MouseKind::RightUp, 10, 10).repaint);
  send(MouseKind::LeftDown, 10, 10);
  send(MouseKind::LeftUp, 60, 10);
  EXPECT_DOUBLE_EQ(s->g_vangle, 0.05);
  EXPECT_EQ(s->g_rotate, 1);
  send(MouseKind::Other, -1000, -1000);  // where the stale positions lie
  EXPECT_EQ(s->g_purtj, 1);
  EXPECT_EQ(s->g_pasteevent, 0);
}

TEST(TouchVertex, ActsLikeThePointerReachingIt) {
  auto s = make_store();
  initialize_store(*s);
  s->g_purturb = 0;
  s->g_rotate = 4;
  ops::touch(*s, 7);
  EXPECT_EQ(s->g_purtj, 7);
  EXPECT_EQ(s->g_purturb, 1);
  EXPECT_EQ(s->g_rotate, 0);

  // Not while a button is held, not for the current vertex, not outside.
  s->g_purturb = 0;
  s->g_rotate = 4;
  for (int v : {7, -1, s->NOV}) {
    ops::touch(*s, v);
    EXPECT_EQ(s->g_purtj, 7);
    EXPECT_EQ(s->g_rotate, 4);
  }
  s->g_Rmousedown = 1;
  ops::touch(*s, 3);
  EXPECT_EQ(s->g_purtj, 7);
  s->g_Rmousedown = 0;
  s->touch_purturb = false;
  ops::touch(*s, 3);
  EXPECT_EQ(s->g_purtj, 3);
  EXPECT_EQ(s->g_purturb, 0);
  EXPECT_EQ(s->g_rotate, 0);
}

}  // namespace
