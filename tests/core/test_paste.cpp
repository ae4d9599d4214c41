#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "copy/mirror.h"
#include "copy/paste.h"
#include "model/components.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "sim/grow.h"
#include "sim/remove.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

// Runs the timer's paste branch until the paste ends (or `limit` ticks).
int run_paste(Store& s, int limit = 1000) {
  int ticks = 0;
  while (s.g_pasteevent > 0 && ticks < limit) {
    pastevertices2(s);
    ++ticks;
  }
  return ticks;
}

std::vector<Face> fan(int n, bool closed) {
  std::vector<Face> f;
  for (int k = 1; k < n; ++k) f.push_back(Face{0, k, k + 1});
  if (closed) f.push_back(Face{0, n, 1});
  return f;
}

// Appends a two-face strip (a, a+1, a+2), (a, a+2, a+3): vertex a is a corner
// of two faces.
std::vector<Face> with_strip(std::vector<Face> f, int a) {
  f.push_back(Face{a, a + 1, a + 2});
  f.push_back(Face{a, a + 2, a + 3});
  return f;
}

// Vertex 0 is a corner of four faces in two separate chains; vertices 3 and 10
// are corners of two faces each and have 0 as their common neighbour.
const std::vector<Face> kTwoChains = {{0, 1, 2},  {0, 2, 3},  {3, 2, 4}, {0, 10, 9}, {0, 9, 8},
                                      {10, 7, 9}, {4, 5, 11}, {6, 7, 8}, {11, 6, 5}};

}  // namespace

TEST(PasteCheck, EachRuleRejectsOrPassesInOrder) {
  struct Case {
    const char* what;
    int nov;
    std::vector<Face> faces;
    int i, j;
    PasteCheck expected;
    std::function<void(Store&)> tweak;
  };
  const Case cases[] = {
      {"index below range", 8, fan(4, true), -1, 2, PasteCheck::no_such_vertex, {}},
      {"index past NOV", 8, fan(4, true), 2, 8, PasteCheck::no_such_vertex, {}},
      {"same vertex", 8, fan(4, true), 2, 2, PasteCheck::same_vertex, {}},
      {"i a corner of 1 face", 8, with_strip({{0, 1, 2}}, 3), 0, 3, PasteCheck::bad_corners, {}},
      {"i a corner of 3 faces", 9, with_strip(fan(4, false), 5), 0, 5, PasteCheck::bad_corners, {}},
      {"j a corner of 3 faces", 9, with_strip(fan(4, false), 5), 5, 0, PasteCheck::bad_corners, {}},
      {"j a corner of 5 faces",
       11,
       with_strip(fan(6, false), 7),
       7,
       0,
       PasteCheck::bad_corners,
       {}},
      {"joined by an edge", 5, fan(4, true), 1, 2, PasteCheck::already_joined, {}},
      {"joined by an edge stored backwards", 5, fan(4, true), 1, 2, PasteCheck::already_joined,
       [](Store& s) {
         for (int l = 0; l < s.NOE; ++l)
           if (s.edge[l] == Edge{1, 2}) s.edge[l] = Edge{2, 1};
       }},
      {"common neighbour with 5 faces", 7, fan(6, false), 2, 4, PasteCheck::neighbour_corners, {}},
      {"common neighbour with 3 faces",
       7,
       [] {
         auto f = fan(4, false);
         f.push_back(Face{4, 5, 6});
         return f;
       }(),
       2,
       4,
       PasteCheck::neighbour_corners,
       {}},
      {"common neighbour on the border, open fan of 4",
       6,
       fan(5, false),
       2,
       4,
       PasteCheck::neighbour_on_border,
       {}},
      {"common neighbour inside, closed ring of 4", 5, fan(4, true), 2, 4, PasteCheck::ok, {}},
      {"common neighbour with 6 faces", 7, fan(6, true), 2, 4, PasteCheck::ok, {}},
      {"common neighbour with 4 faces in two chains", 12, kTwoChains, 3, 10, PasteCheck::ok, {}},
      {"a corner of 4 faces, no common neighbour",
       9,
       with_strip(fan(4, true), 5),
       0,
       5,
       PasteCheck::ok,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = from_faces(c.nov, c.faces);
    if (c.tweak) c.tweak(*s);
    const auto before_p = std::make_unique<Store>(*s);
    const Store& before = *before_p;
    EXPECT_EQ(paste_check(*s, c.i, c.j), c.expected) << paste_check_text(paste_check(*s, c.i, c.j));
    // The check never touches the surface.
    EXPECT_EQ(s->NOE, before.NOE);
    if (c.expected == PasteCheck::ok) {
      EXPECT_EQ(s->g_paste_i1, std::min(c.i, c.j));
      EXPECT_EQ(s->g_paste_i2, std::max(c.i, c.j));
    } else {
      EXPECT_EQ(s->g_paste_i1, before.g_paste_i1);
      EXPECT_EQ(s->g_paste_i2, before.g_paste_i2);
    }
  }
}

TEST(PasteCheck, DifferentLabelsRelabelAndTheCheckGoesOn) {
  for (const bool differ : {false, true}) {
    auto s = from_faces(9, with_strip(fan(4, true), 5));
    s->hilighted[1] = true;
    if (differ) s->conn_comp[5] = 7;
    // (4, 5): vertex 4 is a corner of 2 faces, 5 of 2; fails nowhere.
    EXPECT_TRUE(pasteverticesP(*s, 4, 5));
    EXPECT_EQ(s->hilighted[1], !differ);
    EXPECT_EQ(s->conn_comp[5], differ ? 2 : 1);
    EXPECT_EQ(s->conn_comp[4], 1);
    // A pair refused later still leaves the new labels behind.
    s->conn_comp[6] = 9;
    EXPECT_EQ(paste_check(*s, 6, 0), PasteCheck::bad_corners);
    EXPECT_EQ(s->conn_comp[6], 2);
  }
}

TEST(PasteCheck, RoomForTheJoiningEdge) {
  for (const int noe : {MAXNOE - 2, MAXNOE - 1}) {
    auto s = from_faces(9, with_strip(fan(4, true), 5));
    // Padding edges between two vertices that neither end of the pair touches.
    for (int l = s->NOE; l < noe; ++l) s->edge[l] = Edge{6, 7}, s->phi[l] = 1.0;
    s->NOE = noe;
    EXPECT_EQ(paste_check(*s, 0, 5), noe == MAXNOE - 2 ? PasteCheck::ok : PasteCheck::no_room);
  }
}

// Two two-face strips whose first vertices, 0 and 4, lie `d` apart along x,
// each edge already at its target length.
std::unique_ptr<Store> strips_apart(double d) {
  auto s = from_faces(8, with_strip(with_strip({}, 0), 4));
  const double px[4] = {0, -0.8, -0.9, -0.3}, py[4] = {0, 0.5, -0.3, -0.8};
  for (int k = 0; k < 4; ++k) {
    s->x[k] = px[k], s->y[k] = py[k], s->z[k] = 0;
    s->x[4 + k] = d - px[k], s->y[4 + k] = py[k], s->z[4 + k] = 0;
  }
  for (int l = 0; l < s->NOE; ++l) {
    const int a = s->edge[l].first, b = s->edge[l].second;
    s->phi[l] = std::hypot(s->x[a] - s->x[b], s->y[a] - s->y[b]);
  }
  return s;
}

TEST(Paste, StepsShrinkTheJoiningEdgeThenMerge) {
  struct Case {
    double d;
    int steps;
    std::vector<double> targets;
  };
  const Case cases[] = {
      {0.5, 8, {0.5, 0.43, 0.36, 0.29, 0.22, 0.15, 0.08, 0.01}},
      {1.0,
       15,
       {1.0, 0.93, 0.86, 0.79, 0.72, 0.65, 0.58, 0.51, 0.44, 0.37, 0.30, 0.23, 0.16, 0.09, 0.02}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.d);
    auto s = strips_apart(c.d);
    ASSERT_TRUE(start_paste(*s, 4, 0));
    EXPECT_STREQ(s->messagetxt, "Now pasting vertices...");
    EXPECT_EQ(s->g_paste_i1, 0);
    EXPECT_EQ(s->g_paste_i2, 4);
    EXPECT_EQ(s->g_norme, c.d);
    EXPECT_EQ(s->g_pastestep, c.steps);
    EXPECT_EQ(s->NOE, 11);
    EXPECT_EQ(s->edge[10], (Edge{0, 4}));

    // Each tick's target and status, repeats (steps that did not settle at
    // once) folded. The last step merges within its tick, so its target is
    // read on a copy that is allowed one step more.
    std::vector<double> targets;
    std::vector<std::string> status;
    int ticks = 0;
    while (s->g_pasteevent > 0 && ticks < 500) {
      if (s->g_pasteevent == s->g_pastestep) {
        auto probe_p = std::make_unique<Store>(*s);
        Store& probe = *probe_p;
        ++probe.g_pastestep;
        pastevertices2(probe);
        if (targets.empty() || targets.back() != probe.phi[probe.NOE - 1])
          targets.push_back(probe.phi[probe.NOE - 1]);
      }
      pastevertices2(*s);
      ++ticks;
      if (s->g_pasteevent > 0) {
        if (targets.empty() || targets.back() != s->phi[s->NOE - 1])
          targets.push_back(s->phi[s->NOE - 1]);
      }
      if (status.empty() || status.back() != s->messagetxt) status.push_back(s->messagetxt);
    }
    ASSERT_EQ(targets.size(), c.targets.size());
    for (std::size_t k = 0; k < targets.size(); ++k) EXPECT_NEAR(targets[k], c.targets[k], 1e-12);
    // The last step's status shows only if that step took more than one tick.
    const std::size_t shown = status.size() - 1;
    ASSERT_TRUE(shown + 1 == static_cast<std::size_t>(c.steps) ||
                shown == static_cast<std::size_t>(c.steps));
    for (std::size_t k = 0; k < shown; ++k)
      EXPECT_EQ(status[k],
                "Now pasting vertices..." + std::to_string(k + 1) + "/" + std::to_string(c.steps));
    EXPECT_EQ(status.back(), " ");
    EXPECT_EQ(s->g_pasteevent, 0);
    EXPECT_EQ(s->NOV, 7);
    EXPECT_EQ(s->NOE, 10);
    EXPECT_EQ(s->NOS, 4);
    EXPECT_EQ(broken_invariant(*s), "");
  }
}

TEST(Paste, MergeRenumbersAndDropsTheDuplicateWhereverItIs) {
  for (const bool dup_last : {false, true}) {
    SCOPED_TRACE(dup_last ? "duplicate last" : "duplicate in the middle");
    EdgeList edges = edges_of(kTwoChains);
    if (dup_last) {
      edges.erase(std::find(edges.begin(), edges.end(), std::make_pair(0, 10)));
      edges.emplace_back(0, 10);
    }
    auto s = surface(12, kTwoChains, edges);
    for (int l = 0; l < s->NOE; ++l) s->phi[l] = 0.5 + 0.01 * l;
    const auto before_p = std::make_unique<Store>(*s);
    const Store& before = *before_p;
    ASSERT_TRUE(start_paste(*s, 10, 3));
    s->g_pasteevent = 0;  // as the last tick does before merging
    pastevertices3(*s);

    EXPECT_EQ(s->NOV, 11);
    EXPECT_EQ(s->NOE, before.NOE - 1);  // only (0, 10) became a copy of (0, 3)
    EXPECT_EQ(duplicate_edges(*s), 0);
    EXPECT_EQ(broken_invariant(*s), "");
    EXPECT_STREQ(s->messagetxt, " ");
    // The surviving edges, in their old order with their own targets.
    const auto renumber = [](int v) { return v == 10 ? 3 : (v > 10 ? v - 1 : v); };
    int k = 0;
    for (int l = 0; l < before.NOE; ++l) {
      const Edge e = before.edge[l];
      if (e == Edge{0, 10}) continue;
      const int a = renumber(e.first), b = renumber(e.second);
      EXPECT_EQ(s->edge[k], (Edge{std::min(a, b), std::max(a, b)})) << "edge " << k;
      EXPECT_EQ(s->phi[k], before.phi[l]);
      ++k;
    }
    const std::vector<Face> faces = {{0, 1, 2}, {0, 2, 3},  {3, 2, 4}, {0, 3, 9}, {0, 9, 8},
                                     {3, 7, 9}, {4, 5, 10}, {6, 7, 8}, {10, 6, 5}};
    for (int f = 0; f < s->NOS; ++f) EXPECT_EQ(s->face[f], faces[f]) << "face " << f;
  }
}

TEST(Paste, UndoAfterAFinishedPasteBringsBackTheSurfaceBefore) {
  auto s = strips_apart(0.5);
  makecopy(*s);  // an older snapshot the paste must replace
  s->x[1] += 0.1;
  const auto before_p = std::make_unique<Store>(*s);
  const Store& before = *before_p;
  ASSERT_TRUE(start_paste(*s, 0, 4));
  run_paste(*s);
  ASSERT_EQ(s->NOV, 7);
  undopaste(*s);
  EXPECT_EQ(s->NOV, 8);
  EXPECT_EQ(s->NOE, before.NOE);
  for (int v = 0; v < 8; ++v) EXPECT_EQ(s->x[v], before.x[v]);
  for (int l = 0; l < s->NOE; ++l) EXPECT_EQ(s->edge[l], before.edge[l]);
}

// Sample 128 with its mirror image beside it, and vertex 0 being pasted onto
// its mirror 8 for two ticks.
std::unique_ptr<Store> pasting_sample() {
  auto s = make_store();
  ReadSampleData(*s, 128);
  EXPECT_TRUE(add_copy(*s, true));
  EXPECT_TRUE(start_paste(*s, 8, 0));
  pastevertices2(*s);
  pastevertices2(*s);
  EXPECT_EQ(s->g_pasteevent, 3);
  return s;
}

TEST(Paste, CommandsDuringARunningPaste) {
  struct Case {
    const char* what;
    std::function<void(Store&)> command;
    bool running_after_command;
    bool merges;  // the paste goes on to merge its pair
    std::function<void(const Store& before, const Store& after)> check;
  };
  const auto joining_edge_kept = [](const Store& before, const Store& after) {
    EXPECT_EQ(after.edge[28], (Edge{0, 8}));
    EXPECT_EQ(after.phi[28], before.phi[28]);
  };
  const Case cases[] = {
      {"built-in sample", [](Store& s) { ReadSampleData(s, 129); }, false, false,
       [](const Store&, const Store& a) { EXPECT_EQ(a.NOV, 19); }},
      {"open",
       [](Store& s) {
         std::string err;
         EXPECT_TRUE(open_surface_text(s, sample_as_file_text(130), err)) << err;
       },
       false,
       false,
       {}},
      {"open of a bad file",
       [](Store& s) {
         std::string err;
         EXPECT_FALSE(open_surface_text(s, "3\nbad\n", err));
       },
       true,
       true,
       {}},
      {"open and append",
       [](Store& s) {
         std::string err;
         EXPECT_TRUE(append_surface_text(s, sample_as_file_text(128), err)) << err;
       },
       false, false, joining_edge_kept},
      {"undo", [](Store& s) { undopaste(s); }, false, false,
       [](const Store&, const Store& a) {
         EXPECT_EQ(a.NOE, 28);
         EXPECT_EQ(a.NOV, 16);
       }},
      {"add copy", [](Store& s) { EXPECT_TRUE(add_copy(s, false)); }, false, false,
       joining_edge_kept},
      {"add mirror", [](Store& s) { EXPECT_TRUE(add_copy(s, true)); }, false, false,
       joining_edge_kept},
      {"growth",
       [](Store& s) {
         s.g_purtj = 1;
         EXPECT_TRUE(addnewpolygon(s));
       },
       false, false, joining_edge_kept},
      {"growth that does not fit",
       [](Store& s) {
         s.g_purtj = 7;  // the centre of the cell: seven faces
         EXPECT_FALSE(addnewpolygon(s));
       },
       true,
       true,
       {}},
      {"removal",
       [](Store& s) {
         s.g_purtj = 1;
         EXPECT_TRUE(removevertex(s));
       },
       false, false,
       [](const Store& b, const Store& a) {
         EXPECT_EQ(a.edge[a.NOE - 1], (Edge{0, 7}));
         EXPECT_EQ(a.phi[a.NOE - 1], b.phi[28]);
       }},
      {"mirror", [](Store& s) { mirror_image(s); }, true, true, {}},
      {"a new paste",
       [](Store& s) {
         PasteCheck why;
         EXPECT_TRUE(start_paste(s, 9, 1, &why)) << paste_check_text(why);
       },
       true, true,
       [](const Store& b, const Store& a) {
         EXPECT_EQ(a.edge[a.NOE - 2], (Edge{0, 8}));
         EXPECT_EQ(a.phi[a.NOE - 2], b.phi[28]);
         EXPECT_EQ(a.edge[a.NOE - 1], (Edge{1, 9}));
       }},
      {"an edge appended without ending the paste",
       [](Store& s) {
         s.edge[s.NOE] = Edge{2, 12};
         s.phi[s.NOE++] = 1.0;
       },
       true,
       false,
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto s = pasting_sample();
    const auto before_p = std::make_unique<Store>(*s);
    const Store& before = *before_p;
    c.command(*s);
    if (c.check) c.check(before, *s);
    EXPECT_EQ(s->g_pasteevent > 0, c.running_after_command);
    const int nov = s->NOV, noe = s->NOE;
    // The timer goes on ticking; a command that did not end the paste and
    // broke its joining edge is caught by the first tick.
    run_paste(*s);
    EXPECT_EQ(s->g_pasteevent, 0);
    EXPECT_EQ(broken_invariant(*s), "");
    EXPECT_EQ(duplicate_edges(*s), 0);
    if (c.merges) {
      EXPECT_EQ(s->NOV, nov - 1);  // the pair merged
    } else {
      EXPECT_EQ(s->NOV, nov);
      EXPECT_EQ(s->NOE, noe);
    }
  }
}

TEST(Paste, EndedBeforeItsFirstTickTheJoiningEdgeKeepsItsLength) {
  auto s = make_store();
  ReadSampleData(*s, 128);
  ASSERT_TRUE(add_copy(*s, true));
  const double d = std::hypot(s->x[8] - s->x[0], s->y[8] - s->y[0], s->z[8] - s->z[0]);
  ASSERT_TRUE(start_paste(*s, 8, 0));
  ASSERT_TRUE(add_copy(*s, false));
  EXPECT_EQ(s->g_pasteevent, 0);
  EXPECT_EQ(s->edge[28], (Edge{0, 8}));
  EXPECT_DOUBLE_EQ(s->phi[28], d);
}

TEST(Paste, VerticesFarApartGetAStepCountThatFits) {
  // 2e150 apart, as a surface file may place them: the step count would not
  // fit an int. The paste starts, runs without turning anything non-finite,
  // and simply goes on until something ends it.
  auto s = make_store();
  ReadSampleData(*s, 128);
  ASSERT_TRUE(add_copy(*s, true));
  for (int v = 8; v < 16; ++v) s->x[v] += 2e150;
  ASSERT_TRUE(start_paste(*s, 8, 0));
  EXPECT_GE(s->g_pastestep, 1 << 30);
  for (int k = 0; k < 5; ++k) {
    pastevertices2(*s);
    ASSERT_EQ(broken_invariant(*s), "") << "tick " << k;
  }
  EXPECT_GT(s->g_pasteevent, 0);
}
