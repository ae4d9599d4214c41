// Keeping apart a sheet the user left crossing itself: pieces crossed by the
// user's move stay as the user left them (not untangled, not held), every
// other pair is kept apart as ever, a piece moved clear is kept apart again,
// and two crossing pieces pasted together stay free of each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "model/crossings.h"
#include "model/store.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"
#include "ops/tick.h"
#include "sim/contacts.h"
#include "sim/relax.h"
#include "sim/rotate.h"

using namespace brimoss;

namespace {

struct P3 {
  double x, y, z;
};
P3 sub(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
P3 at(const Store& s, int v) { return {s.x[v], s.y[v], s.z[v]}; }

double segment_point_distance(P3 p, P3 a, P3 b) {
  const P3 ab = sub(b, a);
  double t = dot(sub(p, a), ab) / dot(ab, ab);
  t = std::min(1.0, std::max(0.0, t));
  const P3 d = sub(p, {a.x + t * ab.x, a.y + t * ab.y, a.z + t * ab.z});
  return std::sqrt(dot(d, d));
}

// Distance from p to triangle abc: to its plane when p lies over it, else to
// its nearest side.
double point_face_distance(P3 p, P3 a, P3 b, P3 c) {
  const P3 ab = sub(b, a), ac = sub(c, a), ap = sub(p, a);
  const P3 n{ab.y * ac.z - ab.z * ac.y, ab.z * ac.x - ab.x * ac.z, ab.x * ac.y - ab.y * ac.x};
  const double n2 = dot(n, n), h = dot(ap, n) / n2;
  const P3 q = sub(ap, {h * n.x, h * n.y, h * n.z});
  // Barycentric weights of the projection.
  const double d00 = dot(ab, ab), d01 = dot(ab, ac), d11 = dot(ac, ac);
  const double d20 = dot(q, ab), d21 = dot(q, ac), den = d00 * d11 - d01 * d01;
  const double v = (d11 * d20 - d01 * d21) / den, w = (d00 * d21 - d01 * d20) / den;
  if (v >= 0 && w >= 0 && v + w <= 1) return std::fabs(h) * std::sqrt(n2);
  return std::min({segment_point_distance(p, a, b), segment_point_distance(p, b, c),
                   segment_point_distance(p, c, a)});
}

// The program's own motions after the user's move: touches at `touched`,
// each followed by `ticks` ticks, a sway of `sway_ticks` ticks and pulls at
// `pulled`, with `check` after each kind.
template <class Check>
void move_about(Store& s, std::initializer_list<int> touched, int ticks, int sway_ticks,
                std::initializer_list<int> pulled, Check check) {
  for (int v : touched) {
    ops::touch(s, v);
    for (int t = 0; t < ticks; ++t) timer_tick(s);
  }
  check("touches");
  ops::sway(s, ops::Sway::Once);
  for (int t = 0; t < sway_ticks; ++t) timer_tick(s);
  check("a sway");
  for (int v : pulled) {
    ops::set_current(s, v);
    ops::pull(s);
  }
  check(pulled.size() == 1 ? "a pull" : "pulls");
}

// Which piece each vertex was placed in.
using Pieces = std::vector<int>;

// Crossing face pairs counted by the pieces of their faces (a face in the
// piece of its first corner), as a pieces x pieces table.
std::vector<int> crossings_by_piece(const Store& s, const Pieces& piece, int pieces) {
  std::vector<double> xyz(3 * static_cast<std::size_t>(s.NOV));
  for (int v = 0; v < s.NOV; ++v)
    xyz[3 * v] = s.x[v], xyz[3 * v + 1] = s.y[v], xyz[3 * v + 2] = s.z[v];
  std::vector<int> table(static_cast<std::size_t>(pieces * pieces), 0);
  for (const auto& [f, g] : crossing_pairs(xyz.data(), s.NOV, s.face.data(), s.NOS)) {
    const int a = piece[s.face[f][0]], b = piece[s.face[g][0]];
    ++table[std::min(a, b) * pieces + std::max(a, b)];
  }
  return table;
}

// The least distance from a vertex of piece a to a face of piece b.
double piece_distance(const Store& s, const Pieces& piece, int a, int b) {
  double least = 1e300;
  for (int v = 0; v < s.NOV; ++v) {
    if (piece[v] != a) continue;
    for (int f = 0; f < s.NOS; ++f) {
      const Face& fc = s.face[f];
      if (piece[fc[0]] != b) continue;
      least =
          std::min(least, point_face_distance(at(s, v), at(s, fc[0]), at(s, fc[1]), at(s, fc[2])));
    }
  }
  return least;
}

// Flat plates of n x m vertices 0.85 apart from `origin` along the unit
// vectors u and v, every edge at rest.
struct Plates {
  std::unique_ptr<Store> s = make_store();
  Pieces piece;
  int count = 0;

  int plate(P3 origin, P3 u, P3 v, int n, int m) {
    Store& t = *s;
    const double h = 0.85;
    const int first = t.NOV;
    for (int j = 0; j < m; ++j)
      for (int i = 0; i < n; ++i) {
        const int k = first + j * n + i;
        t.x[k] = origin.x + h * (i * u.x + j * v.x);
        t.y[k] = origin.y + h * (i * u.y + j * v.y);
        t.z[k] = origin.z + h * (i * u.z + j * v.z);
        piece.push_back(count);
      }
    t.NOV += n * m;
    for (int j = 0; j + 1 < m; ++j)
      for (int i = 0; i + 1 < n; ++i) {
        const int a = first + j * n + i, b = a + 1, c = a + n, d = c + 1;
        t.face[t.NOS++] = Face{{a, b, d}};
        t.face[t.NOS++] = Face{{a, d, c}};
        edge(a, b);
        edge(a, c);
        edge(a, d);
      }
    for (int j = 0; j + 1 < m; ++j) edge(first + j * n + n - 1, first + (j + 1) * n + n - 1);
    for (int i = 0; i + 1 < n; ++i) edge(first + (m - 1) * n + i, first + (m - 1) * n + i + 1);
    return count++;
  }

  void edge(int a, int b) {
    Store& t = *s;
    t.edge[t.NOE] = Edge{a, b};
    const double dx = t.x[b] - t.x[a], dy = t.y[b] - t.y[a], dz = t.z[b] - t.z[a];
    t.phi[t.NOE++] = std::sqrt(dx * dx + dy * dy + dz * dz);
  }

  // The user moves piece p by d.
  void move(int p, P3 d) {
    Store& t = *s;
    forget_apart_positions(t);
    for (int v = 0; v < t.NOV; ++v)
      if (piece[v] == p) t.x[v] += d.x, t.y[v] += d.y, t.z[v] += d.z;
  }
};

// A floor, a wall standing through it and a lid over the floor beside the
// wall, nearer the floor than the clearance; placed by the user, kept apart.
struct FloorWallLid : Plates {
  int floor, wall, lid;
  FloorWallLid() {
    floor = plate({-3.4, -3.4, 0}, {1, 0, 0}, {0, 1, 0}, 9, 9);
    wall = plate({-1.0, 0.2, -1.2}, {1, 0, 0}, {0, 0, 1}, 4, 4);
    lid = plate({2.2, -0.8, 0.3}, {1, 0, 0}, {0, 1, 0}, 3, 3);
    ops::keep_apart(*s, true);
    forget_apart_positions(*s);
  }
};

TEST(KeepApartTangle, CrossedPiecesAreLeftAsTheyAreAndTheRestKeptApart) {
  FloorWallLid p;
  Store& s = *p.s;
  const int n = p.count;
  const std::vector<int> placed = crossings_by_piece(s, p.piece, n);
  ASSERT_GT(placed[p.floor * n + p.wall], 0) << "the wall stands through the floor";
  double longest_wall_edge = 0;
  auto check = [&](const std::string& after) {
    SCOPED_TRACE(after);
    const std::vector<int> now = crossings_by_piece(s, p.piece, n);
    for (int a = 0; a < n; ++a)
      for (int b = a; b < n; ++b) {
        if (placed[a * n + b] != 0) continue;
        EXPECT_EQ(now[a * n + b], 0) << "pieces " << a << " and " << b << " were apart";
      }
    EXPECT_GT(now[p.floor * n + p.wall], 0) << "the wall was taken out of the floor";
    // Nothing pushes the wall where it crosses the floor: its edges stay at
    // rest (the wall is touched by nothing else).
    for (int l = 0; l < s.NOE; ++l) {
      const Edge e = s.edge[l];
      if (p.piece[e.first] != p.wall) continue;
      const P3 d = sub(at(s, e.second), at(s, e.first));
      longest_wall_edge = std::max(longest_wall_edge, std::fabs(std::sqrt(dot(d, d)) - s.phi[l]));
    }
    EXPECT_LT(longest_wall_edge, 0.02) << "the wall was stretched";
  };
  ops::relax(s);
  check("a relaxation");
  move_about(s, {10, 40, 58, 70}, 15, 30, {30, 42, 50}, check);
  // The lid, placed nearer the floor than the clearance, was pushed off it.
  EXPECT_GT(piece_distance(s, p.piece, p.lid, p.floor), 0.45);
}

TEST(KeepApartTangle, APieceMovedClearIsKeptApartAgain) {
  FloorWallLid p;
  Store& s = *p.s;
  for (int t = 0; t < 5; ++t) ops::relax(s);
  // The wall lifted to stand on the floor, a little nearer than the
  // clearance: from then on the two are kept apart.
  double lowest = 1e300;
  for (int v = 0; v < s.NOV; ++v)
    if (p.piece[v] == p.wall) lowest = std::min(lowest, s.z[v]);
  p.move(p.wall, {0, 0, 0.25 - lowest});
  ASSERT_LT(piece_distance(s, p.piece, p.wall, p.floor), 0.3);
  for (int t = 0; t < 8; ++t) ops::relax(s);
  EXPECT_GT(piece_distance(s, p.piece, p.wall, p.floor), 0.45);
  EXPECT_EQ(count_crossings(s), 0);
  // Pushed back down through the floor by the user, it is left there again.
  p.move(p.wall, {0, 0, -1.2});
  const int through = count_crossings(s);
  ASSERT_GT(through, 0);
  for (int t = 0; t < 8; ++t) ops::relax(s);
  EXPECT_GT(count_crossings(s), 0);
  EXPECT_EQ(contact_pairs_missing(s), 0);
}

TEST(KeepApartTangle, ACopyOverItsSourceIsLeftCrossingThroughMotionsAndPastes) {
  auto sp = make_store();
  Store& s = *sp;
  ops::load_sample(s, 128);
  ops::keep_apart(s, true);
  ASSERT_EQ(ops::grow_sheet(s, 20).cells, 20);
  const int n = s.NOV;
  ASSERT_TRUE(ops::add_copy(s, false));
  Pieces piece(static_cast<std::size_t>(s.NOV));
  for (int v = 0; v < s.NOV; ++v) piece[v] = v < n ? 0 : 1;
  const std::vector<int> placed = crossings_by_piece(s, piece, 2);
  ASSERT_EQ(placed[0], 0);
  ASSERT_EQ(placed[3], 0);
  ASSERT_GT(placed[1], 0) << "the copy lies over its source";
  auto apart = [&](const std::string& after) {
    const std::vector<int> now = crossings_by_piece(s, piece, 2);
    EXPECT_EQ(now[0], 0) << "the source crosses itself after " << after;
    EXPECT_EQ(now[3], 0) << "the copy crosses itself after " << after;
    EXPECT_GT(now[1], 0) << "the copy was taken off its source after " << after;
    EXPECT_EQ(contact_pairs_missing(s), 0) << after;
  };
  move_about(s, {5, 30, n + 12, n + 60}, 20, 40, {n + 25}, apart);

  // Sewn onto its source by the user, the copy stays free to pass through
  // it: joined, the two are still two parts crossing each other, even after
  // the user turns the sheet.
  int pasted = -1;
  for (int v = n; v < s.NOV && pasted < 0; ++v)
    for (int w = 0; w < n && pasted < 0; ++w)
      if (ops::start_paste(s, v, w)) pasted = w;
  ASSERT_GE(pasted, 0);
  for (int t = 0; t < 2000 && s.g_pasteevent > 0; ++t) timer_tick(s);
  ASSERT_EQ(s.NOV, 2 * n - 1) << "the paste was not carried out";
  ops::relax(s);
  EXPECT_EQ(s.scratch.contacts.ntangled, 2);
  // New cells on the copy are in its part.
  const int sewn = s.NOV;
  for (int v = s.NOV - 1; v >= n && s.NOV < sewn + 14; --v)
    if (ops::set_current(s, v) && ops::grow(s)) ops::relax(s);
  ASSERT_EQ(s.NOV, sewn + 14) << "no two cells could be grown on the copy";
  EXPECT_EQ(contact_pairs_missing(s), 0);
  rotatepoly(s, 0.3, 0.2);
  ops::relax(s);
  EXPECT_EQ(s.scratch.contacts.ntangled, 2) << "the sewn pieces were looked at as one";
  EXPECT_GT(count_crossings(s), 0);
  EXPECT_EQ(contact_pairs_missing(s), 0);
}

}  // namespace
