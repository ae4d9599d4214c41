#include "testing/workloads.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <type_traits>
#include <vector>

#include "model/crossings.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "sim/grow.h"

namespace brimoss::testing {

namespace {

constexpr int kAround = 25;  // vertices round the tube
constexpr int kAlong = 40;   // vertices along it
constexpr int kLayers = 3;   // copies of every triangle

static_assert(kAround * kAlong == MAXNOV, "one vertex per store slot");
static_assert(3 * kAround * kAlong == MAXNOE, "three edges per vertex on a torus");
static_assert(2 * kAround * kAlong * kLayers == MAXNOS, "two triangles per vertex per layer");

int at(int i, int j) { return (j % kAlong) * kAround + (i % kAround); }

}  // namespace

std::string capacity_surface_text() {
  // Radii chosen so that the edges round the tube and the average edge along
  // it come out near the target lengths; the inner side is squeezed and the
  // outer side stretched, so the relaxation has work everywhere.
  const double two_pi = 2 * mypi;
  const double r = kAround * 0.85 / two_pi;
  const double R = kAlong * 0.85 / two_pi;
  std::string out;
  // Written with to_chars: the toolkit may have switched the process to a
  // locale with a decimal comma.
  auto num = [&out](auto v, char end) {
    char buf[64];
    std::to_chars_result r;
    if constexpr (std::is_floating_point_v<decltype(v)>)
      r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 5);
    else
      r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
    out += end;
  };

  num(MAXNOV, '\n');
  for (int j = 0; j < kAlong; ++j)
    for (int i = 0; i < kAround; ++i) {
      const double u = two_pi * i / kAround, v = two_pi * j / kAlong;
      const double w = R + r * std::cos(u);
      num(w * std::cos(v), ',');
      num(w * std::sin(v), ',');
      num(r * std::sin(u), '\n');
    }

  num(MAXNOE, '\n');
  auto edge = [&](int a, int b, char kind) {
    num(a < b ? a : b, ',');
    num(a < b ? b : a, ',');
    out += kind;
    out += '\n';
  };
  for (int j = 0; j < kAlong; ++j)
    for (int i = 0; i < kAround; ++i) {
      edge(at(i, j), at(i + 1, j), 'a');
      edge(at(i, j), at(i, j + 1), 'b');
      edge(at(i + 1, j), at(i, j + 1), 'b');
    }

  num(MAXNOS, '\n');
  for (int layer = 0; layer < kLayers; ++layer)
    for (int j = 0; j < kAlong; ++j)
      for (int i = 0; i < kAround; ++i) {
        const int t[2][3] = {{at(i, j), at(i + 1, j), at(i, j + 1)},
                             {at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)}};
        for (const auto& c : t) {
          num(c[layer % 3], ',');
          num(c[(layer + 1) % 3], ',');
          num(c[(layer + 2) % 3], '\n');
        }
      }
  return out;
}

void build_capacity_surface(Store& s) {
  std::string err;
  if (!open_surface_text(s, capacity_surface_text(), err)) {
    // The text is made here and known to be good; a refusal is a programming
    // error that must not pass silently.
    std::fprintf(stderr, "capacity surface refused: %s\n", err.c_str());
    std::abort();
  }
}

void build_raw_sample(Store& s, int n) {
  ParsedSurface p;
  std::string err;
  if (!parse_surface(sample_as_file_text(n), '\n', p, err)) {
    std::fprintf(stderr, "sample %d refused: %s\n", n, err.c_str());
    std::abort();
  }
  commit_surface(s, p, false);
}

void build_grown_surface(Store& s) {
  ReadSampleData(s, 128);
  grow_border(s, kGrownCells);
}

void build_sewn_sheet(Store& s) {
  ReadSampleData(s, 128);
  ops::grow_sheet(s, -1);
}

void build_sewn_apart_sheet(Store& s) {
  ReadSampleData(s, 128);
  ops::keep_apart(s, true);
  ops::grow_sheet(s, -1);
}

void build_tangled_sheet(Store& s) {
  ReadSampleData(s, 128);
  ops::keep_apart(s, true);
  ops::grow_sheet(s, kTangledCells);
  if (!ops::add_copy(s, false) || !any_crossing(s)) std::abort();
  ops::relax(s);
}

const char* load_name(Load w) {
  switch (w) {
    case Load::grown:
      return "grown";
    case Load::capacity:
      return "capacity";
    case Load::sample131:
      return "sample131";
    case Load::sewn:
      return "sewn";
    case Load::sewn_apart:
      return "sewn_apart";
    case Load::tangled:
      return "tangled";
  }
  return "?";
}

void fit_view(Store& s, int w, int h) {
  s.g_centerx = w / 2;
  s.g_centery = h / 2;
  double reach = 0;
  for (int i = 0; i < s.NOV; ++i)
    reach = std::max({reach, std::fabs(s.x[i]) * h / w, std::fabs(s.y[i])});
  // A small margin so that the outermost outlines stay inside.
  s.g_rate = reach > 0 ? 0.95 * (h / 2) / reach : 100.0;
}

void build_workload(Store& s, Load w) {
  switch (w) {
    case Load::grown:
      build_grown_surface(s);
      break;
    case Load::capacity:
      build_capacity_surface(s);
      if (s.NOV != MAXNOV || s.NOE != MAXNOE || s.NOS != MAXNOS) std::abort();
      break;
    case Load::sample131:
      initialize_store(s);
      break;
    case Load::sewn:
      build_sewn_sheet(s);
      break;
    case Load::sewn_apart:
      build_sewn_apart_sheet(s);
      break;
    case Load::tangled:
      build_tangled_sheet(s);
      break;
  }
  s.g_purturb = 0;
  s.g_rotate = 0;
  s.g_twincle = 0;
  s.g_buru = 0;
  s.g_pasteevent = 0;
  s.g_purtj = s.NOV / 2;
  set_message(s, " ");
  fit_view(s, kCanvasWidth, kCanvasHeight);
}

bool find_pair_with_common_neighbour(const Store& s, int* i, int* j) {
  std::vector<int> corners(s.NOV, 0);
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) ++corners[s.face[f][k]];
  std::vector<std::set<int>> adj(s.NOV);
  for (int l = 0; l < s.NOE; ++l) {
    adj[s.edge[l].first].insert(s.edge[l].second);
    adj[s.edge[l].second].insert(s.edge[l].first);
  }
  auto border = [&](int v) { return corners[v] == 2 || corners[v] == 4; };
  for (int c = s.NOV - 1; c >= 0; --c)
    for (int a : adj[c])
      for (int b : adj[c])
        if (a < b && border(a) && border(b) && !adj[a].count(b)) {
          *i = a;
          *j = b;
          return true;
        }
  return false;
}

bool prepare_merge(Store& s) {
  if (s.NOE < 1 || s.NOE >= MAXNOE) return false;
  const Edge e0 = s.edge[0];
  int other = -1;
  for (int l = 1; l < s.NOE && other < 0; ++l) {
    const Edge e = s.edge[l];
    const int w = e.first == e0.second ? e.second : (e.second == e0.second ? e.first : -1);
    if (w < 0 || w == e0.first) continue;
    bool joined = false;
    for (int k = 0; k < s.NOE; ++k)
      if ((s.edge[k] == Edge{std::min(w, e0.first), std::max(w, e0.first)})) joined = true;
    if (!joined) other = w;
  }
  if (other < 0) return false;
  s.g_paste_i1 = std::min(e0.first, other);
  s.g_paste_i2 = std::max(e0.first, other);
  s.edge[s.NOE] = Edge{s.g_paste_i1, s.g_paste_i2};
  s.phi[s.NOE++] = 0.01;
  return true;
}

}  // namespace brimoss::testing
