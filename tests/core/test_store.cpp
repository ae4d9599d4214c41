#include <gtest/gtest.h>

#include "model/samples.h"
#include "model/store.h"
#include "ops/load.h"

using namespace brimoss;

TEST(Store, StartUpState) {
  auto s = make_store();
  initialize_store(*s);
  EXPECT_EQ(s->NOV, 29);
  EXPECT_EQ(s->NOE, 72);
  EXPECT_EQ(s->NOS, 42);
  EXPECT_EQ(s->undo.nov, 0);
  EXPECT_EQ(s->NOcomp, 1);
  EXPECT_EQ(s->g_twincle, 1);
  EXPECT_EQ(s->g_purtj, 1);
  EXPECT_EQ(s->g_purturb, 1);
  EXPECT_EQ(s->g_centerx, 320);
  EXPECT_EQ(s->g_centery, 220);
  for (bool h : s->hilighted) EXPECT_FALSE(h);
  for (int i = 0; i < s->NOV; ++i) EXPECT_EQ(s->conn_comp[i], 1);
}

TEST(Store, KindLengthsUseTheProgramsPi) {
  EXPECT_EQ(phi_a(), 0.8090169942709459);
  EXPECT_EQ(phi_b(), 0.8910065240946518);
  EXPECT_EQ(phi_split(), 0.8660254036861398);
}
