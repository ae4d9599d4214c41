#include <gtest/gtest.h>

#include "model/components.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

TEST(Undo, NothingToUndoChangesNothing) {
  auto s = make_store();
  initialize_store(*s);
  auto before = byte_copy(*s);
  undopaste(*s);
  EXPECT_TRUE(same_store(*s, *before));

  // A snapshot of an empty surface reads as none.
  auto e = make_store();
  makecopy(*e);
  EXPECT_EQ(e->undo.nov, 0);
  ParsedSurface p;
  std::string err;
  ASSERT_TRUE(parse_surface(sample_as_file_text(128), '\n', p, err));
  commit_surface(*e, p, false);
  before = byte_copy(*e);
  undopaste(*e);
  EXPECT_TRUE(same_store(*e, *before));
}

TEST(Undo, RestoresPositionsEdgesTargetsFacesOnceOnly) {
  auto s = make_store();
  initialize_store(*s);
  s->g_purtj = 0;
  auto before = std::make_unique<Store>(*s);
  ASSERT_TRUE(addnewpolygon(*s));
  ASSERT_GT(s->NOV, before->NOV);
  EXPECT_EQ(s->undo.nov, before->NOV);
  // Moves that take no snapshot are undone as well.
  s->x[3] += 1;
  modify(*s);

  undopaste(*s);
  EXPECT_TRUE(same_surface(*s, *before));
  EXPECT_EQ(s->undo.nov, 0);
  auto after_first = byte_copy(*s);
  undopaste(*s);
  EXPECT_TRUE(same_store(*s, *after_first));
}

TEST(Undo, OnlyTheLatestSnapshotIsKept) {
  auto s = make_store();
  initialize_store(*s);
  ASSERT_EQ(grow_border(*s, 1), 1);
  auto after_one = std::make_unique<Store>(*s);
  ASSERT_EQ(grow_border(*s, 1), 1);
  undopaste(*s);
  EXPECT_TRUE(same_surface(*s, *after_one));
}

TEST(Undo, LabelsHighlightsAndSettingsAreNotPartOfTheSnapshot) {
  auto s = make_store();
  initialize_store(*s);
  makecopy(*s);
  for (int i = 0; i < s->NOV; ++i) s->conn_comp[i] = 5;
  s->NOcomp = 7;
  s->hilighted[1] = true;
  s->g_purtj = 4;
  s->g_rate = 250;
  undopaste(*s);
  EXPECT_EQ(s->conn_comp[0], 5);
  EXPECT_EQ(s->NOcomp, 7);
  EXPECT_TRUE(s->hilighted[1]);
  EXPECT_EQ(s->g_purtj, 4);
  EXPECT_EQ(s->g_rate, 250);
}

TEST(Undo, CopyTouchesOnlyEntriesWithinTheCounts) {
  auto s = make_store();
  initialize_store(*s);
  s->undo.x[s->NOV] = 123;
  s->undo.edge[s->NOE] = {7, 8};
  s->undo.face[s->NOS] = Face{{1, 2, 3}};
  makecopy(*s);
  EXPECT_EQ(s->undo.x[s->NOV], 123);
  EXPECT_EQ(s->undo.edge[s->NOE], (Edge{7, 8}));
  EXPECT_EQ(s->undo.face[s->NOS], (Face{{1, 2, 3}}));
  EXPECT_EQ(s->undo.noe, s->NOE);
  EXPECT_EQ(s->undo.nos, s->NOS);
}

TEST(Undo, LoadingASampleDropsTheSnapshot) {
  auto s = make_store();
  initialize_store(*s);
  makecopy(*s);
  ReadSampleData(*s, 128);
  EXPECT_EQ(s->undo.nov, 0);
  auto before = byte_copy(*s);
  undopaste(*s);
  EXPECT_TRUE(same_store(*s, *before));
}
