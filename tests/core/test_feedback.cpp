// The status bar's second field, apart from the window: counts, refusals and
// when they give way; and the paste gesture's refusal handed out by the mouse.
#include <gtest/gtest.h>

#include "model/store.h"
#include "ops/commands.h"
#include "ops/load.h"
#include "view/feedback.h"
#include "view/mouse.h"

using namespace brimoss;

namespace {

std::unique_ptr<Store> start_up() {
  auto s = make_store();
  initialize_store(*s);
  return s;
}

TEST(Feedback, CountsTextNamesEachCount) {
  auto s = make_store();
  struct Case {
    int nov, noe, nos;
    const char* text;
  };
  const Case cases[] = {{995, 2004, 1008, "995 vertices, 2004 edges, 1008 faces"},
                        {0, 0, 0, "0 vertices, 0 edges, 0 faces"},
                        {1, 1, 1, "1 vertex, 1 edge, 1 face"}};
  for (const Case& c : cases) {
    s->NOV = c.nov;
    s->NOE = c.noe;
    s->NOS = c.nos;
    EXPECT_EQ(counts_text(*s), c.text);
  }
}

TEST(Feedback, ReasonStaysUntilTheCountsChangeOrACommandIsCarriedOut) {
  auto s = start_up();
  Feedback f;
  EXPECT_FALSE(f.report(*s, "nothing to undo")) << "off: says nothing";
  EXPECT_EQ(f.text(), "");
  f.set_enabled(*s, true);
  EXPECT_EQ(f.text(), counts_text(*s));
  EXPECT_FALSE(f.poll(*s)) << "no change, no new text";

  EXPECT_TRUE(f.report(*s, "nothing to undo"));
  EXPECT_EQ(f.text(), "nothing to undo");
  EXPECT_FALSE(f.poll(*s));
  EXPECT_EQ(f.text(), "nothing to undo");
  s->NOS -= 1;  // a paste's merge inside a tick
  EXPECT_TRUE(f.poll(*s));
  EXPECT_EQ(f.text(), counts_text(*s));

  EXPECT_TRUE(f.report(*s, "store full: 993 vertices"));
  EXPECT_TRUE(f.report(*s, ""));  // the next command was carried out
  EXPECT_EQ(f.text(), counts_text(*s));
  f.set_enabled(*s, false);
  EXPECT_EQ(f.text(), "");
  s->NOV -= 1;
  EXPECT_FALSE(f.poll(*s));
  EXPECT_EQ(f.text(), "");
}

TEST(Feedback, MouseHandsOutThePasteRefusalOnlyForADragFromTheCurrentVertex) {
  auto s = start_up();
  s->gx.fill(-1000);
  s->gy.fill(-1000);
  s->g_purtj = 3;
  s->gx[3] = 100;
  s->gy[3] = 100;
  s->gx[5] = 300;
  s->gy[5] = 100;
  const std::string want = ops::start_paste(*start_up(), 5, 3).why;
  ASSERT_FALSE(want.empty()) << "vertices 5 and 3 of the start-up sheet cannot be joined";

  struct Case {
    int fromx;
    bool told;
  };
  for (const Case& c : {Case{100, true}, Case{102, true}, Case{200, false}}) {
    MouseEffects e;
    s->g_purtj = 3;
    mouse_event(*s, MouseKind::LeftDown, c.fromx, 100, e);
    mouse_event(*s, MouseKind::LeftUp, 300, 100, e);
    EXPECT_EQ(s->g_pasteevent, 0);
    EXPECT_EQ(e.refusal, c.told ? want : "") << c.fromx;
  }
}

}  // namespace
