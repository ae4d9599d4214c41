// The rings of a sewn sheet, read off the surface: they match the rings the
// grower closed, at every point of a ring's growth.
#include <gtest/gtest.h>

#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "ops/sheet_rings.h"

using namespace brimoss;

TEST(SheetRings, CountTheRingsClosedRoundTheMiddleAtAnyPointOfAGrowth) {
  // Cells grown from sample 128's one cell: 7 close the first ring.
  for (int cells : {0, 1, 3, 6, 7, 8, 15, 40, 120, 1000}) {
    SCOPED_TRACE(std::to_string(cells) + " cells");
    auto s = make_store();
    ReadSampleData(*s, 128);
    const ops::SheetReport r = ops::grow_sheet(*s, cells);
    EXPECT_EQ(ops::sheet_rings(*s), r.rings) << r.cells << " cells grown";
    if (cells == 1000) {
      EXPECT_GE(r.rings, 3) << "grown to the store's capacity";
    }
  }
  // Read back from its file, a sheet has the same rings.
  auto s = make_store();
  ReadSampleData(*s, 128);
  const ops::SheetReport r = ops::grow_sheet(*s, 60);
  auto again = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*again, surface_text(*s), err)) << err;
  EXPECT_EQ(ops::sheet_rings(*again), r.rings);
}

TEST(SheetRings, NoCellsNoRings) {
  auto s = make_store();
  EXPECT_EQ(ops::sheet_rings(*s), 0);
  for (int n : {128, 129, 130}) {
    ReadSampleData(*s, n);
    EXPECT_EQ(ops::sheet_rings(*s), 0) << "sample " << n << ": cells joined, no ring closed";
  }
}
