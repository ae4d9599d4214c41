// Numerical health: whatever the surface and whatever is done to it, every
// coordinate stays finite and every count and index stays in range. Degenerate
// surfaces, most of them as a surface file could bring them, go through every
// operation that moves, adds, copies, joins, draws or writes vertices. (The
// sanitizer build also traps any division by zero and any float-to-int
// conversion that overflows on the way.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "copy/mirror.h"
#include "copy/paste.h"
#include "model/components.h"
#include "model/invariants.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/load.h"
#include "ops/tick.h"
#include "sim/grow.h"
#include "sim/relax.h"
#include "sim/remove.h"
#include "sim/rotate.h"
#include "sim/spread.h"
#include "view/draw.h"
#include "view/mouse.h"

using namespace brimoss;

namespace {

// A built-in sample as a surface that a test may bend out of shape before it
// is written out as file text.
ParsedSurface sample_surface(int n) {
  ParsedSurface p;
  std::string err;
  EXPECT_TRUE(parse_surface(sample_as_file_text(n), '\n', p, err)) << err;
  return p;
}

// File text for a parsed surface; coordinates in full precision, so that 1e150
// and 1e-200 arrive as they are.
std::string file_text(const ParsedSurface& p) {
  std::string t = std::to_string(p.nov()) + "\n";
  char buf[96];
  for (int i = 0; i < p.nov(); ++i) {
    std::snprintf(buf, sizeof buf, "%.17g,%.17g,%.17g\n", p.x[i], p.y[i], p.z[i]);
    t += buf;
  }
  t += std::to_string(p.noe()) + "\n";
  for (int l = 0; l < p.noe(); ++l)
    t += std::to_string(p.edge[l].first) + "," + std::to_string(p.edge[l].second) +
         (p.phi[l] < phi_split() ? ",a\n" : ",b\n");
  t += std::to_string(p.nos()) + "\n";
  for (const Face& f : p.face)
    t += std::to_string(f[0]) + "," + std::to_string(f[1]) + "," + std::to_string(f[2]) + "\n";
  return t;
}

std::unique_ptr<Store> opened(const ParsedSurface& p) {
  auto s = make_store();
  std::string err;
  EXPECT_TRUE(open_surface_text(*s, file_text(p), err)) << err;
  return s;
}

void add_edge(ParsedSurface& p, int a, int b) {
  p.edge.push_back(Edge{a, b});
  p.phi.push_back(phi_a());
}

struct Fixture {
  const char* name;
  // The program made this surface itself, so its edges keep their order.
  bool own;
  std::function<std::unique_ptr<Store>()> make;
};

const Fixture kFixtures[] = {
    {"start-up surface crumpled", true,
     [] {
       auto s = make_store();
       initialize_store(*s);
       std::mt19937 r(7);
       std::uniform_real_distribution<double> d(-0.6, 0.6);
       for (int i = 0; i < s->NOV; ++i) s->z[i] += d(r);
       for (int k = 0; k < 5; ++k) spread(*s);
       return s;
     }},
    {"grown to capacity", true,
     [] {
       auto s = make_store();
       ReadSampleData(*s, 128);
       grow_border(*s, MAXNOV);
       EXPECT_GT(s->NOV, MAXNOV - 8);
       return s;
     }},
    {"every vertex at one point", false,
     [] {
       ParsedSurface p = sample_surface(131);
       for (int i = 0; i < p.nov(); ++i) p.x[i] = p.y[i] = p.z[i] = 0.25;
       return opened(p);
     }},
    {"pairs of coincident vertices", false,
     [] {
       ParsedSurface p = sample_surface(131);
       for (int i = 0; i + 1 < p.nov(); i += 2) {
         p.x[i + 1] = p.x[i];
         p.y[i + 1] = p.y[i];
         p.z[i + 1] = p.z[i];
       }
       return opened(p);
     }},
    {"zero-area faces on a line", false,
     [] {
       ParsedSurface p = sample_surface(128);
       for (int i = 0; i < p.nov(); ++i) p.y[i] = p.z[i] = 0;
       return opened(p);
     }},
    {"loops", false,
     [] {
       ParsedSurface p = sample_surface(128);
       for (int v : {0, 3, 7}) add_edge(p, v, v);
       return opened(p);
     }},
    {"an edge listed ten times", false,
     [] {
       ParsedSurface p = sample_surface(128);
       for (int k = 0; k < 10; ++k) add_edge(p, 0, 1);
       return opened(p);
     }},
    {"coincident ends of many edges", false,
     [] {
       // A hub joined to twelve vertices that sit at one point.
       ParsedSurface p = sample_surface(128);
       const int hub = p.nov();
       p.x.push_back(0), p.y.push_back(0), p.z.push_back(0);
       for (int k = 0; k < 12; ++k) {
         p.x.push_back(3), p.y.push_back(0), p.z.push_back(0);
         add_edge(p, hub, hub + 1 + k);
       }
       add_edge(p, 0, hub);
       return opened(p);
     }},
    {"every edge reversed", false,
     [] {
       ParsedSurface p = sample_surface(131);
       for (Edge& e : p.edge) std::swap(e.first, e.second);
       return opened(p);
     }},
    {"faces with a repeated vertex", false,
     [] {
       ParsedSurface p = sample_surface(128);
       p.face.push_back(Face{{0, 1, 0}});
       p.face.push_back(Face{{2, 2, 2}});
       p.face.push_back(Face{{6, 7, 7}});
       return opened(p);
     }},
    {"vertices on no edge", false,
     [] {
       ParsedSurface p = sample_surface(128);
       for (int k = 0; k < 5; ++k) p.x.push_back(0.5), p.y.push_back(-1), p.z.push_back(k % 2);
       return opened(p);
     }},
    {"huge coordinates", false,
     [] {
       ParsedSurface p = sample_surface(131);
       for (int i = 0; i < p.nov(); ++i) {
         p.x[i] *= 1e150 / 4, p.y[i] *= 1e150 / 4, p.z[i] *= 1e150 / 4;
       }
       p.x[3] = -1e150, p.y[5] = 1e150, p.z[7] = -1e150;
       return opened(p);
     }},
    {"vanishing separations", false,
     [] {
       ParsedSurface p = sample_surface(128);
       for (int i = 0; i < p.nov(); ++i) p.x[i] *= 1e-200, p.y[i] *= 1e-200, p.z[i] *= 1e-200;
       return opened(p);
     }},
};

// Up to `n` vertices that are a corner of 2 or 4 faces: the ones growth and
// pasting can use.
std::vector<int> border_vertices(const Store& s, int n) {
  std::vector<int> corners(s.NOV, 0), out;
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) ++corners[s.face[f][k]];
  for (int v = 0; v < s.NOV && static_cast<int>(out.size()) < n; ++v)
    if (corners[v] == 2 || corners[v] == 4) out.push_back(v);
  return out;
}

void run_ticks(Store& s, int n) {
  for (int k = 0; k < n; ++k) {
    timer_tick(s);
    prepare_scene(s);
    twinkle_step(s);
  }
}

// Starts the first paste that the check accepts among the border vertices,
// preferring the pair farthest apart when `far`.
bool start_some_paste(Store& s, bool far) {
  const std::vector<int> cand = border_vertices(s, 24);
  int bi = -1, bj = -1;
  double best = -1;
  for (int i : cand)
    for (int j : cand) {
      if (paste_check(s, i, j) != PasteCheck::ok) continue;
      const double d = std::hypot(s.x[i] - s.x[j], s.y[i] - s.y[j], s.z[i] - s.z[j]);
      if (!far) return start_paste(s, i, j);
      if (d > best) best = d, bi = i, bj = j;
    }
  return bi >= 0 && start_paste(s, bi, bj);
}

struct Step {
  const char* name;
  std::function<void(Store&, std::mt19937&)> run;
};

const Step kSteps[] = {
    {"relax",
     [](Store& s, std::mt19937&) {
       modify(s);
       modifyonce(s);
       offsetpolygon(s);
     }},
    {"spread",
     [](Store& s, std::mt19937&) {
       s.g_purtj = 0;
       spread(s);
       s.g_purtj = -1;
       spread(s);
     }},
    {"growth",
     [](Store& s, std::mt19937&) {
       for (int v : border_vertices(s, 3)) {
         s.g_purtj = v;
         addnewpolygon(s);
       }
       grow_border(s, 1);
     }},
    {"paste",
     [](Store& s, std::mt19937&) {
       if (start_some_paste(s, false))
         for (int k = 0; k < 4 && s.g_pasteevent > 0; ++k) run_ticks(s, 1);
     }},
    {"paste far apart",
     [](Store& s, std::mt19937&) {
       // Throws the upper half of the vertices far off first (not on the
       // largest surfaces, which take long to pull back together).
       if (s.NOV <= 600)
         for (int i = s.NOV / 2; i < s.NOV; ++i) s.x[i] += 1e3;
       if (start_some_paste(s, true)) run_ticks(s, 2);
       end_paste(s);
     }},
    {"mirror",
     [](Store& s, std::mt19937&) {
       mirror_image(s);
       s.hilighted[1] = true;
       mirror_image(s);
       s.hilighted.fill(false);
     }},
    {"copy",
     [](Store& s, std::mt19937&) {
       // One copy a round keeps the surfaces small; the refusal of a copy
       // that does not fit is met on the surface grown to capacity.
       add_copy(s, s.NOcomp % 2 == 0);
     }},
    {"draw order and colour",
     [](Store& s, std::mt19937&) {
       s.g_twincle = 1;
       prepare_scene(s);
       for (int f = 0; f < s.NOS; ++f) getcolor(s, f);
       for (int k = 0; k < s.NOS; ++k) draw_colour(s, k);
       twinkle_step(s);
       std::vector<int> seen(s.order.begin(), s.order.begin() + s.NOS);
       std::sort(seen.begin(), seen.end());
       for (int k = 0; k < s.NOS; ++k) ASSERT_EQ(seen[k], k) << "draw order is no permutation";
       for (int f = 0; f < s.NOS; ++f) ASSERT_TRUE(std::isfinite(s.center[f])) << "depth of " << f;
     }},
    {"rotate by huge angles",
     [](Store& s, std::mt19937&) {
       rotatepoly(s, 1e300, -1e300);
       rotatepoly(s, 7e9, 1e-300);
       s.hilighted[1] = true;
       rotatepoly(s, 1e17, 2);
       s.hilighted.fill(false);
     }},
    {"timer",
     [](Store& s, std::mt19937& r) {
       s.g_purtj = s.NOV > 0 ? static_cast<int>(r() % s.NOV) : 0;
       s.g_purturb = 40;
       run_ticks(s, 10);
       s.g_rotate = 40;
       s.g_vangle = 1e6;
       s.g_hangle = -3e5;
       run_ticks(s, 10);
       s.g_buru = 2;
       run_ticks(s, 2);
     }},
    {"mouse",
     [](Store& s, std::mt19937& r) {
       prepare_scene(s);
       MouseEffects fx;
       const MouseKind kinds[] = {MouseKind::LeftDown, MouseKind::LeftUp, MouseKind::RightDown,
                                  MouseKind::RightUp, MouseKind::Other};
       for (int k = 0; k < 30; ++k) {
         int px = static_cast<int>(r() % 2000) - 500, py = static_cast<int>(r() % 2000) - 500;
         if (s.NOV > 0 && r() % 3 != 0) {
           const int v = static_cast<int>(r() % s.NOV);
           px = s.gx[v] + static_cast<int>(r() % 7) - 3;
           py = s.gy[v] + static_cast<int>(r() % 7) - 3;
         }
         mouse_event(s, kinds[r() % 5], px, py, fx);
         if (k % 10 == 0) run_ticks(s, 1);
       }
       s.g_Lmousedown = s.g_Rmousedown = 0;
     }},
    {"save and open",
     [](Store& s, std::mt19937&) {
       const std::string text = surface_text(s);
       std::string err;
       // Either read back, or refused (too many pieces, no room) with the
       // store as it was.
       open_surface_text(s, text, err);
       append_surface_text(s, text, err);
     }},
    {"remove and pull",
     [](Store& s, std::mt19937&) {
       s.g_purtj = 0;
       removevertex(s);
       pullpoint(s);
       s.g_purtj = s.NOV - 1;
       removevertex(s);
       removevertex(s);
       pullpoint(s);
     }},
    {"undo", [](Store& s, std::mt19937&) { undopaste(s); }},
};

// What is wrong with the store, or an empty string.
std::string unhealthy(const Store& s, bool own) {
  std::string why;
  if (!check_invariants(s, &why)) return why;
  if (own && !check_edges_ordered(s, &why)) return why;
  for (int c = 0; c < MAXCONNCOMP; ++c)
    if (!std::isfinite(s.comp_centerx[c]) || !std::isfinite(s.comp_centery[c]) ||
        !std::isfinite(s.comp_centerz[c]))
      return "centre of component " + std::to_string(c) + " is not finite";
  return "";
}

}  // namespace

class Numerics : public ::testing::TestWithParam<int> {};

TEST_P(Numerics, EveryOperationKeepsTheSurfaceFinite) {
  const Fixture& fx = kFixtures[GetParam()];
  std::unique_ptr<Store> s = fx.make();
  ASSERT_EQ(unhealthy(*s, fx.own), "") << "as made";
  std::mt19937 r(2024);
  // Twice round, so that every operation also meets what the others left.
  for (int round = 0; round < 2; ++round)
    for (const Step& st : kSteps) {
      st.run(*s, r);
      ASSERT_EQ(unhealthy(*s, fx.own), "") << "after " << st.name << " in round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(DegenerateSurfaces, Numerics,
                         ::testing::Range(0, static_cast<int>(std::size(kFixtures))),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string name;
                           bool up = true;
                           for (const char* c = kFixtures[info.param].name; *c; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) {
                               name += up ? static_cast<char>(std::toupper(*c)) : *c;
                               up = false;
                             } else {
                               up = true;
                             }
                           }
                           return name;
                         });

TEST(NumericsFile, CoordinatesTooLargeToComputeWithAreRefused) {
  // Up to 1e150 the squares of distances stay finite; a file beyond that
  // would turn the surface into infinities at the first relaxation (two
  // vertices at -1e308 and 1e308 are an infinite distance apart).
  ParsedSurface p = sample_surface(128);
  p.x[0] = 12345.5;  // stands for the coordinate under test
  const std::string base = file_text(p);
  for (const char* coord : {"1e308", "-1.0000001e150", "1e151"}) {
    SCOPED_TRACE(coord);
    std::string text = base;
    text.replace(text.find("12345.5"), 7, coord);
    auto s = make_store();
    initialize_store(*s);
    const std::string before = surface_text(*s);
    std::string err;
    EXPECT_FALSE(open_surface_text(*s, text, err));
    EXPECT_EQ(err, "line 2: vertex 0: coordinate \"" + std::string(coord) + "\" is too large");
    EXPECT_EQ(surface_text(*s), before);
  }
  p.x[0] = -1e150;
  p.y[1] = 1e150;
  auto s = make_store();
  std::string err;
  ASSERT_TRUE(open_surface_text(*s, file_text(p), err)) << err;
  std::string why;
  EXPECT_TRUE(check_invariants(*s, &why)) << why;
}
