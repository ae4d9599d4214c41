#include "model/sheet_check.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <string_view>
#include <tuple>

namespace brimoss {

namespace {

bool degenerate(const Face& f) { return f[0] == f[1] || f[1] == f[2] || f[0] == f[2]; }

bool in_range(const Store& s, const Face& f) {
  for (int k = 0; k < 3; ++k)
    if (f[k] < 0 || f[k] >= s.NOV) return false;
  return true;
}

struct UnionFind {
  std::vector<int> up;
  explicit UnionFind(int n) : up(n) { std::iota(up.begin(), up.end(), 0); }
  int find(int a) {
    while (up[a] != a) a = up[a] = up[up[a]];
    return a;
  }
  void join(int a, int b) { up[find(a)] = find(b); }
};

// The angle at corner p of the triangle (p, a, b), in degrees.
double corner_angle(const Store& s, int p, int a, int b) {
  const double ux = s.x[a] - s.x[p], uy = s.y[a] - s.y[p], uz = s.z[a] - s.z[p];
  const double vx = s.x[b] - s.x[p], vy = s.y[b] - s.y[p], vz = s.z[b] - s.z[p];
  const double lu = std::sqrt(ux * ux + uy * uy + uz * uz);
  const double lv = std::sqrt(vx * vx + vy * vy + vz * vz);
  if (!(lu > 0) || !(lv > 0)) return 0;
  const double c = std::clamp((ux * vx + uy * vy + uz * vz) / (lu * lv), -1.0, 1.0);
  return std::acos(c) * (180.0 / 3.14159265358979323846);
}

}  // namespace

VertexFan vertex_fan(const Store& s, int v) {
  VertexFan fan;
  std::vector<std::pair<int, int>> pairs;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& t = s.face[f];
    const int hits = (t[0] == v) + (t[1] == v) + (t[2] == v);
    if (hits == 0) continue;
    ++fan.faces;
    if (hits > 1) {
      fan.simple = false;
      continue;
    }
    if (t[0] == v)
      pairs.emplace_back(t[1], t[2]);
    else if (t[1] == v)
      pairs.emplace_back(t[2], t[0]);
    else
      pairs.emplace_back(t[0], t[1]);
  }
  const int n = static_cast<int>(pairs.size());
  for (int i = 0; i < n; ++i)
    for (int j = i + 1; j < n; ++j)
      if (pairs[i].first == pairs[j].first || pairs[i].second == pairs[j].second)
        fan.simple = false;
  if (!fan.simple) return fan;

  auto next_of = [&](int i) {
    for (int j = 0; j < n; ++j)
      if (pairs[j].first == pairs[i].second) return j;
    return -1;
  };
  std::vector<bool> used(n, false);
  for (int i = 0; i < n; ++i) {
    bool follows = false;
    for (int j = 0; j < n; ++j)
      if (pairs[j].second == pairs[i].first) follows = true;
    if (follows) continue;
    std::vector<int> chain{pairs[i].first};
    for (int k = i; k >= 0; k = next_of(k)) {
      used[k] = true;
      chain.push_back(pairs[k].second);
    }
    fan.chains.push_back(std::move(chain));
  }
  // What no chain reached goes round in rings.
  for (int i = 0; i < n; ++i) {
    if (used[i]) continue;
    ++fan.cycles;
    for (int k = i; !used[k]; k = next_of(k)) used[k] = true;
  }
  return fan;
}

std::vector<char> border_vertices(const Store& s) {
  std::vector<std::pair<int, int>> sides;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& t = s.face[f];
    if (!in_range(s, t) || degenerate(t)) continue;
    for (int k = 0; k < 3; ++k) {
      const int a = t[k], b = t[(k + 1) % 3];
      sides.emplace_back(std::min(a, b), std::max(a, b));
    }
  }
  std::sort(sides.begin(), sides.end());
  std::vector<char> out(s.NOV, 0);
  for (std::size_t i = 0; i < sides.size();) {
    std::size_t j = i;
    while (j < sides.size() && sides[j] == sides[i]) ++j;
    if (j - i == 1) out[sides[i].first] = out[sides[i].second] = 1;
    i = j;
  }
  return out;
}

SheetFigures check_sheet(const Store& s) {
  SheetFigures out;
  out.vertices = s.NOV;
  out.edges = s.NOE;
  out.faces = s.NOS;

  // Face sides as (low, high, runs low to high), one per side of every
  // proper face; sorted, the sides of one vertex pair come together.
  std::vector<std::tuple<int, int, bool>> sides;
  std::vector<int> proper;  // the faces every other figure looks at
  for (int f = 0; f < s.NOS; ++f) {
    const Face& t = s.face[f];
    if (!in_range(s, t)) continue;
    if (degenerate(t)) {
      ++out.degenerate_faces;
      continue;
    }
    proper.push_back(f);
    for (int k = 0; k < 3; ++k) {
      const int a = t[k], b = t[(k + 1) % 3];
      sides.emplace_back(std::min(a, b), std::max(a, b), a < b);
    }
  }
  std::sort(sides.begin(), sides.end());
  for (std::size_t i = 0; i < sides.size();) {
    std::size_t j = i;
    int up = 0;
    while (j < sides.size() && std::get<0>(sides[j]) == std::get<0>(sides[i]) &&
           std::get<1>(sides[j]) == std::get<1>(sides[i])) {
      up += std::get<2>(sides[j]);
      ++j;
    }
    const std::size_t n = j - i;
    if (n == 1) ++out.border_edges;
    if (n == 2 && up != 1) ++out.orientation_conflicts;
    if (n >= 3) ++out.non_manifold_edges;
    i = j;
  }

  UnionFind pieces(s.NOV);
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first >= 0 && e.first < s.NOV && e.second >= 0 && e.second < s.NOV)
      pieces.join(e.first, e.second);
  }
  for (const auto& [a, b, dir] : sides) pieces.join(a, b);
  for (int v = 0; v < s.NOV; ++v)
    if (pieces.find(v) == v) ++out.components;

  // The proper faces of every vertex.
  std::vector<int> start(s.NOV + 1, 0), at;
  for (int f : proper)
    for (int k = 0; k < 3; ++k) ++start[s.face[f][k] + 1];
  for (int v = 0; v < s.NOV; ++v) start[v + 1] += start[v];
  at.resize(start[s.NOV]);
  std::vector<int> fill(start.begin(), start.end() - 1);
  for (int f : proper)
    for (int k = 0; k < 3; ++k) at[fill[s.face[f][k]]++] = f;

  double angle_total = 0;
  for (int v = 0; v < s.NOV; ++v) {
    const int n = start[v + 1] - start[v];
    if (n == 0) continue;
    // Faces round v are in one fan when a chain of faces, each sharing a side
    // through v with the next, joins them. The other corners tell the sides.
    std::vector<std::pair<int, int>> corners;  // (other corner, face slot)
    for (int i = 0; i < n; ++i) {
      const Face& t = s.face[at[start[v] + i]];
      for (int k = 0; k < 3; ++k)
        if (t[k] != v) corners.emplace_back(t[k], i);
    }
    std::sort(corners.begin(), corners.end());
    UnionFind fans(n);
    bool every_side_twice = true;
    for (std::size_t i = 0; i < corners.size();) {
      std::size_t j = i;
      while (j < corners.size() && corners[j].first == corners[i].first) {
        fans.join(corners[i].second, corners[j].second);
        ++j;
      }
      if (j - i != 2) every_side_twice = false;
      i = j;
    }
    int nfans = 0;
    for (int i = 0; i < n; ++i)
      if (fans.find(i) == i) ++nfans;
    if (nfans > 1) {
      ++out.pinch_vertices;
      continue;
    }
    if (!every_side_twice) continue;
    ++out.closed_vertices;
    ++out.closed_by_faces[n];
    for (int i = 0; i < n; ++i) {
      const Face& t = s.face[at[start[v] + i]];
      const int k = t[0] == v ? 0 : (t[1] == v ? 1 : 2);
      angle_total += corner_angle(s, v, t[(k + 1) % 3], t[(k + 2) % 3]);
    }
  }
  if (out.closed_vertices > 0) out.mean_angle_sum = angle_total / out.closed_vertices;
  return out;
}

void write_sheet_figures(std::ostream& o, const SheetFigures& f) {
  o << "vertices " << f.vertices << "\n"
    << "edges " << f.edges << "\n"
    << "faces " << f.faces << "\n"
    << "components " << f.components << "\n"
    << "degenerate_faces " << f.degenerate_faces << "\n"
    << "non_manifold_edges " << f.non_manifold_edges << "\n"
    << "orientation_conflicts " << f.orientation_conflicts << "\n"
    << "border_edges " << f.border_edges << "\n"
    << "pinch_vertices " << f.pinch_vertices << "\n"
    << "closed_vertices " << f.closed_vertices << "\n";
  for (const auto& [faces, count] : f.closed_by_faces)
    o << "closed_on_" << faces << " " << count << "\n";
  // Written without the locale, so a decimal comma never creeps in.
  char angle[32];
  const auto r =
      std::to_chars(angle, angle + sizeof angle, f.mean_angle_sum, std::chars_format::fixed, 2);
  o << "mean_angle_sum " << std::string_view(angle, r.ptr - angle) << "\n";
}

}  // namespace brimoss
