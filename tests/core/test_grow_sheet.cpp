// The sewn sheet: the surface check on small hand-made surfaces, the grower
// step by step and as a batch, and the batch tool's two commands.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "model/export.h"
#include "model/invariants.h"
#include "model/sheet_check.h"
#include "model/store.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "ops/tick.h"
#include "sim/grow.h"
#include "testing/cli_run.h"

using namespace brimoss;

namespace {

// A surface of the given faces, no edges besides the faces' sides (added
// when asked): vertex 0 at the origin, the others on the unit circle in the
// plane z = 0, one sixth of a turn apart.
std::unique_ptr<Store> faces_only(int nov, const std::vector<Face>& faces, bool with_edges) {
  auto s = make_store();
  s->NOV = nov;
  for (int v = 1; v < nov; ++v) {
    s->x[v] = std::cos((v - 1) * M_PI / 3);
    s->y[v] = std::sin((v - 1) * M_PI / 3);
  }
  std::set<std::pair<int, int>> sides;
  for (const Face& f : faces) {
    s->face[s->NOS++] = f;
    for (int k = 0; k < 3; ++k)
      if (f[k] != f[(k + 1) % 3])
        sides.emplace(std::min(f[k], f[(k + 1) % 3]), std::max(f[k], f[(k + 1) % 3]));
  }
  if (with_edges)
    for (auto [a, b] : sides) {
      s->edge[s->NOE] = {a, b};
      s->phi[s->NOE++] = phi_a();
    }
  return s;
}

// The six faces round vertex 0 of a flat regular hexagon, all one way round.
std::vector<Face> hexagon_fan() {
  std::vector<Face> f;
  for (int i = 1; i <= 6; ++i) f.push_back({{0, i, i % 6 + 1}});
  return f;
}

void expect_sound(const Store& s) {
  std::string why;
  EXPECT_TRUE(check_invariants(s, &why)) << why;
  EXPECT_TRUE(check_edges_ordered(s, &why)) << why;
}

// Runs a started paste to its merge through the timer, as the window does.
void tick_until_merged(Store& s) {
  for (int t = 0; s.g_pasteevent > 0; ++t) {
    ASSERT_LT(t, 10000) << "the paste does not end";
    ASSERT_EQ(timer_tick(s), TickBranch::Paste);
  }
}

// One oriented piece with three cells round every vertex inside it: no torn,
// flipped or pinched place, every vertex either on the border or closed on 6
// faces (three cells) or 7 (a cell centre), every cell's centre closed.
void expect_sewn_sheet(const Store& s, int cells) {
  const SheetFigures f = check_sheet(s);
  EXPECT_EQ(f.components, 1);
  EXPECT_EQ(f.degenerate_faces, 0);
  EXPECT_EQ(f.non_manifold_edges, 0);
  EXPECT_EQ(f.orientation_conflicts, 0);
  EXPECT_EQ(f.pinch_vertices, 0);
  for (const auto& [faces, n] : f.closed_by_faces)
    EXPECT_TRUE(faces == 6 || faces == 7) << n << " closed vertices on " << faces << " faces";
  EXPECT_EQ(f.closed_by_faces.count(7) ? f.closed_by_faces.at(7) : 0, cells + 1);
  const std::vector<char> border = border_vertices(s);
  int on_border = 0;
  for (char b : border) on_border += b;
  EXPECT_EQ(f.closed_vertices + on_border, s.NOV) << "a vertex neither inside nor on the border";
  expect_sound(s);
}

}  // namespace

TEST(SheetCheck, FiguresOfSmallSurfaces) {
  struct Case {
    const char* tag;
    int nov;
    std::vector<Face> faces;
    bool with_edges;
    SheetFigures want;  // vertices, edges and faces are not compared
  };
  std::vector<Face> flipped = hexagon_fan();
  flipped[0] = {{0, 2, 1}};
  auto figures = [](int comps, int degenerate, int non_manifold, int conflicts, int border,
                    int pinches, std::map<int, int> closed, double angle) {
    SheetFigures f;
    f.components = comps;
    f.degenerate_faces = degenerate;
    f.non_manifold_edges = non_manifold;
    f.orientation_conflicts = conflicts;
    f.border_edges = border;
    f.pinch_vertices = pinches;
    for (auto [faces, n] : closed) f.closed_vertices += n;
    f.closed_by_faces = closed;
    f.mean_angle_sum = angle;
    return f;
  };
  const std::vector<Case> cases{
      {"flat hexagon, closed round its centre", 7, hexagon_fan(), true,
       figures(1, 0, 0, 0, 6, 0, {{6, 1}}, 360)},
      // The flipped face runs both of its sides through the centre the same
      // way as its neighbours; the centre is still closed all round.
      {"one face flipped", 7, flipped, true, figures(1, 0, 0, 2, 6, 0, {{6, 1}}, 360)},
      {"two faces meeting at one vertex",
       5,
       {{{0, 1, 2}}, {{0, 3, 4}}},
       true,
       figures(1, 0, 0, 0, 6, 1, {}, 0)},
      {"three faces on one side",
       5,
       {{{0, 1, 2}}, {{1, 0, 3}}, {{0, 1, 4}}},
       true,
       figures(1, 0, 1, 0, 6, 0, {}, 0)},
      // A face naming a corner twice joins nothing and is counted apart; the
      // vertices it names and a vertex on no face are pieces of their own.
      {"a degenerate face and a loose vertex",
       6,
       {{{0, 1, 2}}, {{3, 4, 3}}},
       false,
       figures(4, 1, 0, 0, 3, 0, {}, 0)},
      {"two triangles apart",
       6,
       {{{0, 1, 2}}, {{3, 4, 5}}},
       true,
       figures(2, 0, 0, 0, 6, 0, {}, 0)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    auto s = faces_only(c.nov, c.faces, c.with_edges);
    const SheetFigures f = check_sheet(*s);
    EXPECT_EQ(f.vertices, c.nov);
    EXPECT_EQ(f.faces, static_cast<int>(c.faces.size()));
    EXPECT_EQ(f.components, c.want.components);
    EXPECT_EQ(f.degenerate_faces, c.want.degenerate_faces);
    EXPECT_EQ(f.non_manifold_edges, c.want.non_manifold_edges);
    EXPECT_EQ(f.orientation_conflicts, c.want.orientation_conflicts);
    EXPECT_EQ(f.border_edges, c.want.border_edges);
    EXPECT_EQ(f.pinch_vertices, c.want.pinch_vertices);
    EXPECT_EQ(f.closed_vertices, c.want.closed_vertices);
    EXPECT_EQ(f.closed_by_faces, c.want.closed_by_faces);
    EXPECT_NEAR(f.mean_angle_sum, c.want.mean_angle_sum, 1e-9);
  }

  // Pieces are joined by edges as well as by faces.
  auto s = faces_only(6, {{{0, 1, 2}}, {{3, 4, 5}}}, true);
  s->edge[s->NOE] = {2, 3};
  s->phi[s->NOE++] = phi_a();
  EXPECT_EQ(check_sheet(*s).components, 1);
}

TEST(SheetCheck, AngleSumsAreTakenFromThePositions) {
  // Lifting the centre of the flat hexagon folds every face up: the corners
  // round the centre shrink, 6 x 2 asin(1 / (2 sqrt(1 + h^2))) for height h.
  auto s = faces_only(7, hexagon_fan(), true);
  s->z[0] = 0.75;
  const double want = 6 * 2 * std::asin(1 / (2 * std::sqrt(1 + 0.75 * 0.75))) * 180 / M_PI;
  EXPECT_NEAR(check_sheet(*s).mean_angle_sum, want, 1e-9);
  EXPECT_LT(want, 300);
}

TEST(SheetCheck, VertexFansChainTheFacesInTheirOwnOrder) {
  auto cell = make_store();
  ReadSampleData(*cell, 128);
  auto bowtie = faces_only(5, {{{0, 1, 2}}, {{0, 3, 4}}}, true);
  auto torn = faces_only(5, {{{0, 1, 2}}, {{1, 0, 3}}, {{0, 1, 4}}}, true);
  auto hexagon = faces_only(7, hexagon_fan(), true);
  struct Case {
    const char* tag;
    const Store& s;
    int v, faces;
    bool simple, open, closed;
    std::vector<std::vector<int>> chains;
  };
  const std::vector<Case> cases{
      {"rim of the lone cell", *cell, 0, 2, true, true, false, {{1, 7, 6}}},
      {"centre of the lone cell", *cell, 7, 7, true, false, true, {}},
      {"centre of the hexagon", *hexagon, 0, 6, true, false, true, {}},
      {"rim of the hexagon", *hexagon, 3, 2, true, true, false, {{4, 0, 2}}},
      {"pinch", *bowtie, 0, 2, true, false, false, {{1, 2}, {3, 4}}},
      {"torn side", *torn, 0, 3, false, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag);
    const VertexFan fan = vertex_fan(c.s, c.v);
    EXPECT_EQ(fan.faces, c.faces);
    EXPECT_EQ(fan.simple, c.simple);
    EXPECT_EQ(fan.open(), c.open);
    EXPECT_EQ(fan.closed(), c.closed);
    EXPECT_EQ(fan.chains, c.chains);
  }
}

TEST(SheetCheck, GrowthAloneLeavesAPinchAtEveryCell) {
  // Cells grown one at a vertex each, unsewn: every point of growth holds
  // two fans that share no side.
  auto s = make_store();
  ReadSampleData(*s, 128);
  ASSERT_EQ(grow_border(*s, 29), 29);
  const SheetFigures f = check_sheet(*s);
  EXPECT_EQ(f.pinch_vertices, 29);
  EXPECT_EQ(f.non_manifold_edges, 0);
  EXPECT_EQ(f.orientation_conflicts, 0);
}

TEST(GrowSheet, StepsGrowOneCellOrStartOnePasteAsTheUserWould) {
  // From the lone cell with vertex 0 current: the cell at 0 can be sewn on
  // one side only; the next at 6, where two cells meet, on both, closing 6.
  auto s = make_store();
  ReadSampleData(*s, 128);
  s->g_purtj = 0;
  ops::SheetGrower grower(2);
  struct Want {
    ops::SheetAction action;
    int vertex, other;
  };
  using A = ops::SheetAction;
  const std::vector<Want> wants{{A::Grew, 0, -1},
                                {A::Sewing, 8, 6},
                                {A::Grew, 6, -1},
                                {A::Sewing, 14, 5},
                                {A::Sewing, 18, 8}};
  for (const Want& w : wants) {
    const ops::SheetStep st = grower.step(*s);
    ASSERT_EQ(st.action, w.action) << st.why;
    EXPECT_EQ(st.vertex, w.vertex);
    EXPECT_EQ(st.other, w.other);
    if (st.action == A::Sewing) {
      // While the paste runs a step waits and changes nothing.
      const int nov = s->NOV, noe = s->NOE, pastes = grower.pastes();
      EXPECT_EQ(grower.step(*s).action, A::Waiting);
      EXPECT_EQ(s->NOV, nov);
      EXPECT_EQ(s->NOE, noe);
      EXPECT_EQ(grower.pastes(), pastes);
      tick_until_merged(*s);
    }
  }
  const ops::SheetStep last = grower.step(*s);
  EXPECT_EQ(last.action, A::Stopped);
  EXPECT_EQ(last.why, "");
  EXPECT_EQ(grower.cells(), 2);
  EXPECT_EQ(grower.pastes(), 3);
  EXPECT_TRUE(vertex_fan(*s, 6).closed());
  EXPECT_EQ(vertex_fan(*s, 6).faces, 6);
  EXPECT_TRUE(vertex_fan(*s, 0).open());
  EXPECT_EQ(vertex_fan(*s, 0).faces, 4);
  expect_sewn_sheet(*s, 2);

  // The same commands by hand, as the batch tool gives them, end in the same
  // surface to the last bit: the grower adds no moves of its own.
  auto hand = make_store();
  ReadSampleData(*hand, 128);
  for (const auto& [op, a, b] : std::vector<std::tuple<char, int, int>>{
           {'g', 0, 0}, {'p', 8, 6}, {'g', 6, 0}, {'p', 14, 5}, {'p', 18, 8}}) {
    if (op == 'g') {
      ASSERT_TRUE(ops::set_current(*hand, a));
      ASSERT_TRUE(ops::grow(*hand));
    } else {
      ASSERT_TRUE(ops::set_current(*hand, b));
      ASSERT_TRUE(ops::start_paste(*hand, a, b));
      tick_until_merged(*hand);
    }
  }
  ASSERT_EQ(hand->NOV, s->NOV);
  ASSERT_EQ(hand->NOE, s->NOE);
  ASSERT_EQ(hand->NOS, s->NOS);
  for (int v = 0; v < s->NOV; ++v) {
    EXPECT_EQ(hand->x[v], s->x[v]);
    EXPECT_EQ(hand->y[v], s->y[v]);
    EXPECT_EQ(hand->z[v], s->z[v]);
  }
  for (int l = 0; l < s->NOE; ++l) EXPECT_EQ(hand->edge[l], s->edge[l]);
  for (int f = 0; f < s->NOS; ++f) EXPECT_EQ(hand->face[f], s->face[f]);
}

TEST(GrowSheet, SheetsOfEverySizeStayOneOrientedPiece) {
  // The first ring round the lone cell has 7 cells, the second 21.
  struct Case {
    int cells, rings;
  };
  for (const Case& c : std::vector<Case>{{1, 0}, {2, 0}, {7, 1}, {8, 1}, {28, 2}, {30, 2}}) {
    SCOPED_TRACE(c.cells);
    auto s = make_store();
    ReadSampleData(*s, 128);
    const ops::SheetReport r = ops::grow_sheet(*s, c.cells);
    EXPECT_EQ(r.cells, c.cells);
    EXPECT_EQ(r.why, "");
    EXPECT_EQ(r.rings, c.rings);
    EXPECT_GT(r.ticks, r.pastes);
    // Every paste merged one pair of vertices.
    EXPECT_EQ(s->NOV, 8 + 7 * c.cells - r.pastes);
    EXPECT_EQ(s->NOS, 7 + 7 * c.cells);
    EXPECT_EQ(s->g_pasteevent, 0);
    expect_sewn_sheet(*s, c.cells);
  }
}

TEST(GrowSheet, ThirtyCellsCrinkleAndPrintAsASolid) {
  // Stepped as the window will, the surface kept as it was before each paste.
  auto s = make_store();
  ReadSampleData(*s, 128);
  auto before_paste = make_store();
  ops::SheetGrower grower(30);
  for (int n = 0; !grower.stopped(); ++n) {
    ASSERT_LT(n, 1000);
    auto before = make_store();
    *before = *s;
    if (grower.step(*s).action == ops::SheetAction::Sewing) std::swap(before, before_paste);
    tick_until_merged(*s);
  }
  EXPECT_EQ(grower.why_stopped(), "");
  EXPECT_EQ(grower.cells(), 30);
  expect_sewn_sheet(*s, 30);
  // Seven 54 degree corners round a centre and six 63 degree ones round a
  // rim vertex: more than a full turn, so the sheet cannot lie flat.
  const SheetFigures f = check_sheet(*s);
  EXPECT_GT(f.mean_angle_sum, 360);
  EXPECT_LT(f.mean_angle_sum, 390);
  TriMesh solid;
  std::string err;
  EXPECT_TRUE(solid_mesh(*s, 0.1, 1.0, solid, err)) << err;

  // Undo takes back the last paste, as after a paste by hand.
  ASSERT_TRUE(ops::undo(*s));
  const Store& b = *before_paste;
  ASSERT_EQ(s->NOV, b.NOV);
  ASSERT_EQ(s->NOE, b.NOE);
  ASSERT_EQ(s->NOS, b.NOS);
  for (int v = 0; v < b.NOV; ++v) {
    EXPECT_EQ(s->x[v], b.x[v]);
    EXPECT_EQ(s->y[v], b.y[v]);
    EXPECT_EQ(s->z[v], b.z[v]);
  }
  for (int l = 0; l < b.NOE; ++l) EXPECT_EQ(s->edge[l], b.edge[l]);
  for (int i = 0; i < b.NOS; ++i) EXPECT_EQ(s->face[i], b.face[i]);
}

TEST(GrowSheet, StopsCleanlyWhenTheStoreIsFullOrNoCellFits) {
  // Loose vertices far away fill the store up to a few cells' room.
  auto s = make_store();
  ReadSampleData(*s, 128);
  ASSERT_EQ(ops::grow_sheet(*s, 8).cells, 8);
  const int sheet_vertices = s->NOV;
  while (s->NOV < MAXNOV - 20) {
    s->x[s->NOV] = 100.0 + s->NOV;
    s->y[s->NOV] = s->z[s->NOV] = 0.0;
    ++s->NOV;
  }
  const int nov = s->NOV;
  const ops::SheetReport r = ops::grow_sheet(*s, 100);
  EXPECT_GT(r.cells, 0);
  EXPECT_LT(r.cells, 100);
  EXPECT_EQ(r.why, "store full: " + std::to_string(s->NOV) + " vertices");
  EXPECT_GE(s->NOV + 7, MAXNOV);
  EXPECT_EQ(s->NOV, nov + 7 * r.cells - r.pastes);
  const SheetFigures f = check_sheet(*s);
  EXPECT_EQ(f.components, 1 + (nov - sheet_vertices));
  EXPECT_EQ(f.non_manifold_edges, 0);
  EXPECT_EQ(f.orientation_conflicts, 0);
  EXPECT_EQ(f.pinch_vertices, 0);
  expect_sound(*s);

  // Without faces no vertex lies on a border.
  auto bare = make_store();
  ReadSampleData(*bare, 128);
  ASSERT_TRUE(ops::set_current(*bare, 7));
  ASSERT_TRUE(ops::remove(*bare));
  const int noe = bare->NOE;
  const ops::SheetReport none = ops::grow_sheet(*bare, 5);
  EXPECT_EQ(none.cells, 0);
  EXPECT_EQ(none.why, "no border vertex takes a cell");
  EXPECT_EQ(bare->NOE, noe);
}

TEST(GrowSheet, FindsItsPlaceAgainAfterTheSurfaceChangedBetweenSteps) {
  // The user undoes the cell the grower has just grown, before it is sewn:
  // the pastes it meant to make name vertices that are gone.
  auto s = make_store();
  ReadSampleData(*s, 128);
  ops::SheetGrower grower(3);
  ASSERT_EQ(grower.step(*s).action, ops::SheetAction::Grew);
  ASSERT_TRUE(ops::undo(*s));
  for (int n = 0; n < 100; ++n) {
    tick_until_merged(*s);
    const ops::SheetStep st = grower.step(*s);
    if (st.action == ops::SheetAction::Stopped) {
      EXPECT_EQ(st.why, "");
      break;
    }
  }
  ASSERT_TRUE(grower.stopped());
  EXPECT_EQ(grower.cells(), 3);
  expect_sewn_sheet(*s, 2);
}

TEST(GrowSheet, BatchCommands) {
  using brimoss::testing::run_cli;
  const std::string stl = brimoss::testing::temp_name("sheet.stl");
  const brimoss::testing::CliResult r =
      run_cli("sample 128\ngrow-sheet 30\ncheck-sheet\nexport-solid " + stl + " 0.1\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("cells 30 pastes ", 0), 0u) << r.out;
  EXPECT_TRUE(std::filesystem::exists(stl));
  std::remove(stl.c_str());

  // The figures one a line, names always in this order. The solid may add a
  // note after them where its wall had to thin, which the shape grown
  // decides (kept apart, growth is sensitive to the last bit of every step).
  std::vector<std::string> names;
  std::istringstream lines(r.out);
  std::string line;
  std::getline(lines, line);  // what grow-sheet did
  std::map<std::string, std::string> value;
  while (std::getline(lines, line)) {
    if (line.rfind("wall thinned at ", 0) == 0) continue;
    const auto space = line.find(' ');
    ASSERT_NE(space, std::string::npos) << line;
    ASSERT_EQ(line.find(' ', space + 1), std::string::npos) << line;
    names.push_back(line.substr(0, space));
    value[names.back()] = line.substr(space + 1);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{
                "vertices", "edges", "faces", "components", "degenerate_faces",
                "non_manifold_edges", "orientation_conflicts", "border_edges", "pinch_vertices",
                "closed_vertices", "closed_on_6", "closed_on_7", "mean_angle_sum", "crossings"}));
  EXPECT_EQ(value["faces"], "217");
  EXPECT_EQ(value["components"], "1");
  EXPECT_EQ(value["pinch_vertices"], "0");
  EXPECT_EQ(value["closed_on_7"], "31");
  EXPECT_EQ(value["mean_angle_sum"].find(','), std::string::npos);
  EXPECT_EQ(value["crossings"], "0");  // sewn this far, the sheet stays clear of itself

  struct Case {
    const char* script;
    int status;
    const char* err;
  };
  for (const Case& c : std::vector<Case>{
           {"sample 128\ncurrent 7\nremove\ngrow-sheet 5\nstats\n", 1,
            "line 4: only 0 of 5 cells could be grown: no border vertex takes a cell\n"},
           {"grow-sheet -1\nstats\n", 2, "line 1: grow-sheet needs a count of 0 or more\n"},
           {"grow-sheet many\n", 2, "line 1: 'many' is not a whole number\n"},
           {"check-sheet now\n", 2, "line 1: check-sheet: too many arguments: check-sheet \n"},
       }) {
    SCOPED_TRACE(c.script);
    const brimoss::testing::CliResult k = run_cli(c.script);
    EXPECT_EQ(k.status, c.status);
    EXPECT_EQ(k.err, c.err);
  }
}

TEST(GrowSheet, UndoTakesBackTheWholeRunAndARefusedRunLeavesIt) {
  using brimoss::testing::run_cli;
  // What `save -` prints after the script's lines that print nothing else.
  auto saved = [](const std::string& before) { return run_cli(before + "save -\n").out; };
  const std::string cell = saved("sample 128\n");
  // A run of many cells and pastes (grown kept apart, which takes a while
  // for each cell, so not to the full store here).
  const std::string undone = saved("sample 128\ngrow-sheet 16\nundo\n");
  EXPECT_TRUE(undone.substr(undone.find('\n') + 1) == cell) << "grow-sheet 16, undo";

  // Undo goes back to before the run; the next run grows from there.
  const brimoss::testing::CliResult r =
      run_cli("sample 128\ngrow-sheet 10\nundo\nsave -\ngrow-sheet 5\n");
  const std::size_t first = r.out.find('\n') + 1;
  EXPECT_TRUE(r.out.compare(first, cell.size(), cell) == 0) << "grow-sheet 10, undo";
  EXPECT_NE(r.out.find("cells 5 "), std::string::npos) << r.out << r.err;

  // A run the full store refuses leaves the undo that was there: the store is
  // filled with cells hung on single vertices, each growth its own undo.
  const std::string before = saved("sample 128\ngrow-border 1000\nundo\n");
  const brimoss::testing::CliResult k =
      run_cli("sample 128\ngrow-border 1000\ngrow-sheet 5\nundo\nsave -\n");
  EXPECT_NE(k.err.find("store full"), std::string::npos) << k.err;
  EXPECT_TRUE(k.out.substr(k.out.find('\n') + 1) == before) << "a refused grow-sheet, undo";
}
