// The one place the computational geometry library is compiled: its filtered
// kernel decides every orientation exactly (interval arithmetic first, exact
// rationals where the intervals cannot tell), and its box intersection finds
// the face pairs whose bounding boxes touch. Only those pairs are tested.
#include "model/crossings.h"

#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Polygon_mesh_processing/self_intersections.h>
#include <CGAL/Surface_mesh.h>
#include <CGAL/box_intersection_d.h>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace brimoss {

namespace {

using K = CGAL::Exact_predicates_inexact_constructions_kernel;
using Point = K::Point_3;
using Segment = K::Segment_3;
using Triangle = K::Triangle_3;
using Box =
    CGAL::Box_intersection_d::Box_with_info_d<double, 3, int,
                                              CGAL::Box_intersection_d::ID_FROM_BOX_ADDRESS>;

// Thrown out of the box search at the first crossing when only yes or no is
// wanted.
struct Found {};

struct Sheet {
  std::vector<Point> p;
  const Face* f = nullptr;
  std::vector<Box> boxes;
  std::vector<int> flat;  // faces without area
};

bool usable(const double* xyz, int nov, const Face& g) {
  for (int k = 0; k < 3; ++k) {
    const int v = g[k];
    if (v < 0 || v >= nov) return false;
    if (!std::isfinite(xyz[3 * v]) || !std::isfinite(xyz[3 * v + 1]) ||
        !std::isfinite(xyz[3 * v + 2]))
      return false;
  }
  return g[0] != g[1] && g[1] != g[2] && g[0] != g[2];
}

// The boxes of the faces with area; faces without area go to `flat`. With
// `stop_at_flat`, the first such face ends the work (it is a crossing).
bool prepare(const double* xyz, int nov, const Face* faces, int nos, Sheet& s, bool stop_at_flat) {
  s.f = faces;
  s.p.resize(nov > 0 ? nov : 0);
  for (int v = 0; v < nov; ++v) s.p[v] = Point(xyz[3 * v], xyz[3 * v + 1], xyz[3 * v + 2]);
  s.boxes.reserve(nos > 0 ? nos : 0);
  for (int i = 0; i < nos; ++i) {
    const Face& g = faces[i];
    if (!usable(xyz, nov, g)) continue;
    const Point &a = s.p[g[0]], &b = s.p[g[1]], &c = s.p[g[2]];
    if (CGAL::collinear(a, b, c)) {
      s.flat.push_back(i);
      if (stop_at_flat) return false;
      continue;
    }
    s.boxes.emplace_back(a.bbox() + b.bbox() + c.bbox(), i);
  }
  return true;
}

// Do faces i and j (both with area) meet other than where they share corners?
bool faces_cross(const Sheet& s, int i, int j) {
  const Face &a = s.f[i], &b = s.f[j];
  int in_b[3];  // for each corner of a, its position in b, or -1
  int shared = 0;
  for (int k = 0; k < 3; ++k) {
    in_b[k] = -1;
    for (int m = 0; m < 3; ++m)
      if (a[k] == b[m]) in_b[k] = m;
    if (in_b[k] >= 0) ++shared;
  }
  const auto P = [&](int v) -> const Point& { return s.p[v]; };
  if (shared == 3) return true;  // the same triangle twice
  if (shared == 2) {
    // Sharing the edge pq, they meet beyond it only when they lie in one plane
    // on the same side of it: folded flat onto each other.
    int r = 0;
    while (in_b[r] >= 0) ++r;
    const int p = a[(r + 1) % 3], q = a[(r + 2) % 3];
    int t = 0;
    while (b[t] == p || b[t] == q) ++t;
    return CGAL::coplanar(P(p), P(q), P(a[r]), P(b[t])) &&
           CGAL::coplanar_orientation(P(p), P(q), P(a[r]), P(b[t])) == CGAL::POSITIVE;
  }
  const Triangle ta(P(a[0]), P(a[1]), P(a[2])), tb(P(b[0]), P(b[1]), P(b[2]));
  if (shared == 1) {
    // Two triangles sharing one corner and meeting elsewhere meet in a convex
    // set reaching past that corner; its far end lies on the side of one
    // triangle opposite the corner, inside the other.
    int k = 0;
    while (in_b[k] < 0) ++k;
    const int m = in_b[k];
    const Segment sa(P(a[(k + 1) % 3]), P(a[(k + 2) % 3]));
    const Segment sb(P(b[(m + 1) % 3]), P(b[(m + 2) % 3]));
    return CGAL::do_intersect(ta, sb) || CGAL::do_intersect(tb, sa);
  }
  return CGAL::do_intersect(ta, tb);
}

// The search sorts what it is given and tells boxes apart by address, so it
// gets pointers: the boxes themselves stay where they are.
template <class OnPair>
void each_box_pair(Sheet& s, OnPair on_pair) {
  std::vector<const Box*> ptr;
  ptr.reserve(s.boxes.size());
  for (const Box& b : s.boxes) ptr.push_back(&b);
  CGAL::box_self_intersection_d<CGAL::Sequential_tag>(
      ptr.begin(), ptr.end(), [&](const Box* x, const Box* y) {
        const int i = std::min(x->info(), y->info()), j = std::max(x->info(), y->info());
        if (faces_cross(s, i, j)) on_pair(i, j);
      });
}

}  // namespace

std::vector<std::pair<int, int>> crossing_pairs(const double* xyz, int nov, const Face* faces,
                                                int nos) {
  Sheet s;
  prepare(xyz, nov, faces, nos, s, false);
  std::vector<std::pair<int, int>> out;
  for (int i : s.flat) out.emplace_back(i, i);
  each_box_pair(s, [&](int i, int j) { out.emplace_back(i, j); });
  std::sort(out.begin(), out.end());
  return out;
}

bool any_crossing(const double* xyz, int nov, const Face* faces, int nos) {
  Sheet s;
  if (!prepare(xyz, nov, faces, nos, s, true)) return true;
  try {
    each_box_pair(s, [](int, int) { throw Found{}; });
  } catch (const Found&) {
    return true;
  }
  return false;
}

namespace {

std::vector<double> store_positions(const Store& s) {
  std::vector<double> xyz(3 * static_cast<std::size_t>(s.NOV));
  for (int v = 0; v < s.NOV; ++v) {
    xyz[3 * v] = s.x[v];
    xyz[3 * v + 1] = s.y[v];
    xyz[3 * v + 2] = s.z[v];
  }
  return xyz;
}

}  // namespace

int count_crossings(const Store& s) {
  const std::vector<double> xyz = store_positions(s);
  return static_cast<int>(crossing_pairs(xyz.data(), s.NOV, s.face.data(), s.NOS).size());
}

bool any_crossing(const Store& s) {
  const std::vector<double> xyz = store_positions(s);
  return any_crossing(xyz.data(), s.NOV, s.face.data(), s.NOS);
}

bool library_crossing_pairs(const double* xyz, int nov, const Face* faces, int nos,
                            std::vector<std::pair<int, int>>& out) {
  using Mesh = CGAL::Surface_mesh<Point>;
  out.clear();
  Mesh mesh;
  std::vector<Mesh::Vertex_index> vs(nov > 0 ? nov : 0);
  for (int v = 0; v < nov; ++v)
    vs[v] = mesh.add_vertex(Point(xyz[3 * v], xyz[3 * v + 1], xyz[3 * v + 2]));
  std::vector<int> input_face;
  for (int i = 0; i < nos; ++i) {
    const Face& g = faces[i];
    if (!usable(xyz, nov, g)) return false;
    const Mesh::Face_index f = mesh.add_face(vs[g[0]], vs[g[1]], vs[g[2]]);
    if (f == Mesh::null_face()) return false;
    if (static_cast<std::size_t>(f) != input_face.size()) return false;
    input_face.push_back(i);
  }
  std::vector<std::pair<Mesh::Face_index, Mesh::Face_index>> pairs;
  CGAL::Polygon_mesh_processing::self_intersections(mesh, std::back_inserter(pairs));
  for (const auto& [f, g] : pairs) {
    const int i = input_face[static_cast<std::size_t>(f)],
              j = input_face[static_cast<std::size_t>(g)];
    out.emplace_back(std::min(i, j), std::max(i, j));
  }
  std::sort(out.begin(), out.end());
  return true;
}

}  // namespace brimoss
