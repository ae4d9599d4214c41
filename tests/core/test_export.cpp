// The exported files are read back with Assimp, a reader that owes nothing to
// our writers, with no post-processing that would join, drop or reorder
// vertices or faces. The solids are also checked by hand, the way a slicer
// sees an STL: corners matched by exact float position.
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <array>
#include <assimp/Importer.hpp>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/crossings.h"
#include "model/export.h"
#include "model/samples.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "ops/grow_sheet.h"
#include "ops/load.h"
#include "testing/fixtures.h"

using namespace brimoss;
using namespace brimoss::testing;

namespace {

using V3 = std::array<double, 3>;
using F3 = std::array<float, 3>;
using Tri = std::array<F3, 3>;

V3 sub(const V3& a, const V3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
V3 cross(const V3& a, const V3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double norm(const V3& a) { return std::sqrt(dot(a, a)); }
V3 as_v3(const F3& p) { return {p[0], p[1], p[2]}; }

V3 vertex(const Store& s, int v) { return {s.x[v], s.y[v], s.z[v]}; }
V3 face_cross(const Store& s, int f) {
  const V3 a = vertex(s, s.face[f][0]);
  return cross(sub(vertex(s, s.face[f][1]), a), sub(vertex(s, s.face[f][2]), a));
}
double sheet_area(const Store& s) {
  double a = 0;
  for (int f = 0; f < s.NOS; ++f) a += norm(face_cross(s, f)) / 2;
  return a;
}

// A mesh as Assimp reads it.
struct Loaded {
  std::vector<V3> v;
  std::vector<std::array<unsigned, 3>> f;
  std::vector<V3> n;  // per-vertex normals, where the format has them
  std::vector<Tri> triangles() const {
    std::vector<Tri> t;
    for (const auto& face : f) {
      Tri tri;
      for (int k = 0; k < 3; ++k)
        for (int c = 0; c < 3; ++c) tri[k][c] = static_cast<float>(v[face[k]][c]);
      t.push_back(tri);
    }
    return t;
  }
};

bool is_identity(const aiMatrix4x4& m) { return m.IsIdentity(); }

void load_with_assimp(const std::string& path, Loaded& out) {
  Assimp::Importer importer;
  // Validation only: nothing that joins vertices, triangulates or reorders.
  const aiScene* scene = importer.ReadFile(path, aiProcess_ValidateDataStructure);
  ASSERT_NE(scene, nullptr) << path << ": " << importer.GetErrorString();
  ASSERT_EQ(scene->mNumMeshes, 1u) << path;
  std::function<void(const aiNode*)> walk = [&](const aiNode* node) {
    EXPECT_TRUE(is_identity(node->mTransformation)) << path;
    for (unsigned i = 0; i < node->mNumChildren; ++i) walk(node->mChildren[i]);
  };
  walk(scene->mRootNode);
  const aiMesh* m = scene->mMeshes[0];
  for (unsigned i = 0; i < m->mNumVertices; ++i) {
    const aiVector3D& p = m->mVertices[i];
    out.v.push_back({p.x, p.y, p.z});
    if (m->HasNormals()) out.n.push_back({m->mNormals[i].x, m->mNormals[i].y, m->mNormals[i].z});
  }
  for (unsigned i = 0; i < m->mNumFaces; ++i) {
    ASSERT_EQ(m->mFaces[i].mNumIndices, 3u) << path << " face " << i;
    out.f.push_back({m->mFaces[i].mIndices[0], m->mFaces[i].mIndices[1], m->mFaces[i].mIndices[2]});
  }
}

std::uint32_t u32le(const std::string& b, std::size_t at) {
  std::uint32_t u = 0;
  for (int k = 0; k < 4; ++k)
    u |= static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + k])) << (8 * k);
  return u;
}
float f32le(const std::string& b, std::size_t at) {
  const std::uint32_t u = u32le(b, at);
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

// A binary STL read byte by byte, as laid down by the format.
struct Stl {
  std::vector<F3> normal;
  std::vector<Tri> tri;
};
void read_stl(const std::string& path, Stl& out) {
  const std::string b = slurp(path);
  ASSERT_GE(b.size(), 84u);
  EXPECT_NE(b.compare(0, 5, "solid"), 0) << "a binary header starting with solid reads as text";
  const std::uint32_t n = u32le(b, 80);
  ASSERT_EQ(b.size(), 84u + 50u * n);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::size_t at = 84 + 50 * i;
    out.normal.push_back({f32le(b, at), f32le(b, at + 4), f32le(b, at + 8)});
    Tri t;
    for (int k = 0; k < 3; ++k)
      for (int c = 0; c < 3; ++c) t[k][c] = f32le(b, at + 12 + 12 * k + 4 * c);
    out.tri.push_back(t);
    EXPECT_EQ(b[at + 48], 0);
    EXPECT_EQ(b[at + 49], 0);
  }
}

// What a slicer asks of a triangle soup: corners that share a position are
// one corner; every edge then lies on exactly two triangles, once in each
// direction; and the enclosed volume is positive (the faces point outward).
struct Closure {
  int corners = 0;
  int bad_edges = 0;  // on one triangle, three or more, or twice the same way
  int degenerate = 0;
  double volume = 0;
};
Closure closure(const std::vector<Tri>& tris) {
  Closure c;
  std::map<F3, int> id;
  std::map<std::pair<int, int>, int> directed;
  for (const Tri& t : tris) {
    int v[3];
    for (int k = 0; k < 3; ++k) {
      F3 p = t[k];
      for (float& x : p) x += 0.0f;  // -0 and +0 are one position
      v[k] = id.emplace(p, static_cast<int>(id.size())).first->second;
    }
    if (v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) ++c.degenerate;
    for (int k = 0; k < 3; ++k) ++directed[{v[k], v[(k + 1) % 3]}];
    c.volume += dot(as_v3(t[0]), cross(as_v3(t[1]), as_v3(t[2]))) / 6;
  }
  c.corners = static_cast<int>(id.size());
  for (const auto& [e, n] : directed) {
    auto back = directed.find({e.second, e.first});
    if (n != 1 || back == directed.end() || back->second != 1) ++c.bad_edges;
  }
  return c;
}

std::unique_ptr<Store> sample(int n) {
  auto s = make_store();
  ReadSampleData(*s, n);
  return s;
}

// A store holding exactly the given sheet.
std::unique_ptr<Store> sheet(const std::vector<V3>& v, const std::vector<std::array<int, 3>>& f) {
  auto s = make_store();
  s->NOV = static_cast<int>(v.size());
  for (int i = 0; i < s->NOV; ++i) {
    s->x[i] = v[i][0];
    s->y[i] = v[i][1];
    s->z[i] = v[i][2];
  }
  s->NOE = 0;
  s->NOS = static_cast<int>(f.size());
  for (int i = 0; i < s->NOS; ++i)
    for (int k = 0; k < 3; ++k) s->face[i][k] = f[i][k];
  return s;
}

// The number of separate fans of faces round each vertex: faces round a
// vertex are in one fan when a chain of faces sharing edges at it joins them.
void fan_counts(const Store& s, std::vector<int>& fans) {
  for (int v = 0; v < s.NOV; ++v) {
    std::vector<int> round;
    for (int f = 0; f < s.NOS; ++f)
      for (int k = 0; k < 3; ++k)
        if (s.face[f][k] == v) round.push_back(f);
    std::vector<int> fan(round.size(), -1);
    int n = 0;
    for (std::size_t i = 0; i < round.size(); ++i) {
      if (fan[i] >= 0) continue;
      fan[i] = n;
      for (bool grew = true; grew;) {
        grew = false;
        for (std::size_t j = 0; j < round.size(); ++j) {
          if (fan[j] >= 0) continue;
          for (std::size_t k = 0; k < round.size(); ++k) {
            if (fan[k] != n) continue;
            int shared = 0;
            for (int p = 0; p < 3; ++p)
              for (int q = 0; q < 3; ++q) shared += s.face[round[j]][p] == s.face[round[k]][q];
            if (shared == 2) {
              fan[j] = n;
              grew = true;
              break;
            }
          }
        }
      }
      ++n;
    }
    fans[v] = n;
  }
}

struct Fixture {
  const char* name;
  std::function<std::unique_ptr<Store>()> make;
};
const std::vector<Fixture>& sheets() {
  static const std::vector<Fixture> f = {
      {"sample 131", [] { return sample(131); }},
      {"sample 129", [] { return sample(129); }},
      {"grown surface",
       [] {
         auto s = make_store();
         build_grown_surface(*s);
         return s;
       }},
  };
  return f;
}

std::unique_ptr<Store> sewn(int cells) {
  auto s = sample(128);
  EXPECT_EQ(ops::grow_sheet(*s, cells).cells, cells);
  return s;
}

std::unique_ptr<Store> opened(const char* fixture) {
  auto s = make_store();
  std::string err;
  EXPECT_TRUE(
      open_surface_file(*s, std::string(BRIMOSS_SOURCE_DIR) + "/tests/fixtures/" + fixture, err))
      << err;
  return s;
}

// Sheets whose solid at 0.1 needs no thinning anywhere, small enough that a
// float read back (as Assimp reads PLY) is within 1e-7 of the double written.
const std::vector<Fixture>& solid_sheets() {
  static const std::vector<Fixture> f = {
      {"sample 131", [] { return sample(131); }},
      {"sample 129", [] { return sample(129); }},
  };
  return f;
}

// The face pairs that cross in an STL as a slicer reads it: corners on the
// same float position are one corner.
std::vector<std::pair<int, int>> stl_crossings(const Stl& stl) {
  std::map<F3, int> id;
  std::vector<double> xyz;
  std::vector<Face> faces;
  for (const Tri& t : stl.tri) {
    Face f;
    for (int k = 0; k < 3; ++k) {
      F3 p = t[k];
      for (float& x : p) x += 0.0f;
      auto [it, fresh] = id.emplace(p, static_cast<int>(id.size()));
      if (fresh) xyz.insert(xyz.end(), {p[0], p[1], p[2]});
      f[k] = it->second;
    }
    faces.push_back(f);
  }
  return crossing_pairs(xyz.data(), static_cast<int>(id.size()), faces.data(),
                        static_cast<int>(faces.size()));
}

}  // namespace

TEST(Export, SurfaceReadsBackWithTheSameVerticesFacesAndOrientation) {
  TempDir dir;
  for (const Fixture& fx : sheets()) {
    auto s = fx.make();
    for (const char* name : {"sheet.obj", "sheet.ply", "sheet.stl"}) {
      SCOPED_TRACE(std::string(fx.name) + " " + name);
      const std::string path = dir.file(name);
      std::string err;
      ASSERT_TRUE(export_surface(*s, path, 1.0, err)) << err;
      Loaded m;
      load_with_assimp(path, m);
      if (HasFatalFailure()) return;
      ASSERT_EQ(static_cast<int>(m.f.size()), s->NOS);
      const bool indexed = std::string(name) == "sheet.ply";
      // OBJ and STL come back with a vertex per corner, PLY as written.
      ASSERT_EQ(static_cast<int>(m.v.size()), indexed ? s->NOV : 3 * s->NOS);
      for (int f = 0; f < s->NOS; ++f)
        for (int k = 0; k < 3; ++k) {
          const unsigned i = m.f[f][k];
          if (indexed) {
            ASSERT_EQ(static_cast<int>(i), s->face[f][k]) << "face " << f;
          }
          const V3 want = vertex(*s, s->face[f][k]);
          ASSERT_LT(norm(sub(m.v[i], want)), 1e-6 * (1 + norm(want))) << "face " << f << "," << k;
        }
      const V3 n0 = cross(sub(m.v[m.f[0][1]], m.v[m.f[0][0]]), sub(m.v[m.f[0][2]], m.v[m.f[0][0]]));
      const V3 want0 = face_cross(*s, 0);
      EXPECT_GT(dot(n0, want0), 0.99 * norm(n0) * norm(want0));
      if (std::string(name) == "sheet.stl") {
        // The facet normals are the faces' unit normals.
        for (int f = 0; f < s->NOS; ++f) {
          const V3 want = face_cross(*s, f);
          EXPECT_GT(dot(m.n[3 * f], want) / norm(want), 0.9999) << "face " << f;
        }
      }
    }
  }
}

TEST(Export, ScaleMultipliesEveryCoordinate) {
  TempDir dir;
  auto s = sample(131);
  for (double scale : {25.4, 0.5, 1000.0}) {
    for (const char* name : {"scaled.ply", "scaled.stl", "scaled.obj"}) {
      SCOPED_TRACE(std::string(name) + " x" + std::to_string(scale));
      std::string err;
      ASSERT_TRUE(export_surface(*s, dir.file(name), scale, err)) << err;
      Loaded m;
      load_with_assimp(dir.file(name), m);
      if (HasFatalFailure()) return;
      ASSERT_EQ(static_cast<int>(m.f.size()), s->NOS);
      for (int f = 0; f < s->NOS; ++f)
        for (int k = 0; k < 3; ++k) {
          V3 want = vertex(*s, s->face[f][k]);
          for (double& c : want) c *= scale;
          ASSERT_LT(norm(sub(m.v[m.f[f][k]], want)), 1e-6 * (1 + norm(want)));
        }
    }
  }
  // The solid scales as a whole: its volume grows with the cube.
  std::string err;
  ASSERT_TRUE(export_solid(*s, dir.file("one.stl"), 0.1, 1.0, err)) << err;
  ASSERT_TRUE(export_solid(*s, dir.file("ten.stl"), 0.1, 10.0, err)) << err;
  Stl one, ten;
  read_stl(dir.file("one.stl"), one);
  read_stl(dir.file("ten.stl"), ten);
  EXPECT_NEAR(closure(ten.tri).volume / closure(one.tri).volume, 1000.0, 1e-3);
}

TEST(Export, NumbersAreWrittenWithNineSignificantDigits) {
  TempDir dir;
  auto s = sheet({{0.123456789012, -1e-7, 12345.6789012}, {1, 0, 0}, {0, 1, 0}}, {{0, 1, 2}});
  std::string err;
  ASSERT_TRUE(export_surface(*s, dir.file("n.obj"), 1.0, err)) << err;
  ASSERT_TRUE(export_surface(*s, dir.file("n.ply"), 1.0, err)) << err;
  EXPECT_NE(slurp(dir.file("n.obj")).find("\nv 0.123456789 -1e-07 12345.6789\n"), std::string::npos)
      << slurp(dir.file("n.obj"));
  EXPECT_NE(slurp(dir.file("n.obj")).find("\nf 1 2 3\n"), std::string::npos);
  EXPECT_NE(slurp(dir.file("n.ply")).find("\n0.123456789 -1e-07 12345.6789\n"), std::string::npos);
  EXPECT_NE(slurp(dir.file("n.ply")).find("\n3 0 1 2\n"), std::string::npos);
}

TEST(Export, SolidIsClosedOutwardAndOffsetByHalfTheThickness) {
  TempDir dir;
  const double t = 0.1;
  for (const Fixture& fx : solid_sheets()) {
    SCOPED_TRACE(fx.name);
    auto s = fx.make();
    std::string err;
    SolidReport report;
    ASSERT_TRUE(export_solid(*s, dir.file("solid.stl"), t, 1.0, err, &report)) << err;
    EXPECT_EQ(report.thinned, 0);
    EXPECT_EQ(report.thinnest_wall, t);
    Stl stl;
    read_stl(dir.file("solid.stl"), stl);
    const Closure c = closure(stl.tri);
    EXPECT_EQ(c.bad_edges, 0);
    EXPECT_EQ(c.degenerate, 0);
    // A thin slab: its volume is the sheet's area times the thickness where
    // the sheet is flat, and a little less where the vertex normals lean away
    // from the faces' own.
    EXPECT_LT(c.volume, sheet_area(*s) * t * 1.0001);
    EXPECT_GT(c.volume, sheet_area(*s) * t * 0.7);
    for (std::size_t i = 0; i < stl.tri.size(); ++i) {
      const Tri& q = stl.tri[i];
      const V3 n = cross(sub(as_v3(q[1]), as_v3(q[0])), sub(as_v3(q[2]), as_v3(q[0])));
      EXPECT_GT(dot(as_v3(stl.normal[i]), n), 0) << "triangle " << i;
    }

    // The same solid through Assimp, from STL and from OBJ.
    for (const char* name : {"solid.stl", "solid.obj"}) {
      ASSERT_TRUE(export_solid(*s, dir.file(name), t, 1.0, err)) << err;
      Loaded m;
      load_with_assimp(dir.file(name), m);
      if (HasFatalFailure()) return;
      const Closure a = closure(m.triangles());
      EXPECT_EQ(a.bad_edges, 0) << name;
      EXPECT_EQ(a.corners, c.corners) << name;
      EXPECT_NEAR(a.volume, c.volume, 1e-4 * c.volume) << name;
    }

    // Every corner of the shell lies half the thickness from a vertex of the
    // sheet: one copy above and one below for each fan of faces round it
    // (where a cell was grown on a single vertex, that vertex has two fans).
    ASSERT_TRUE(export_solid(*s, dir.file("solid.ply"), t, 1.0, err)) << err;
    Loaded m;
    load_with_assimp(dir.file("solid.ply"), m);
    if (HasFatalFailure()) return;
    std::vector<int> copies(s->NOV, 0);
    for (const V3& p : m.v) {
      int source = -1, sources = 0;
      for (int v = 0; v < s->NOV; ++v)
        if (std::fabs(norm(sub(p, vertex(*s, v))) - t / 2) < 1e-7) {
          source = v;
          ++sources;
        }
      ASSERT_EQ(sources, 1) << "a shell corner at " << p[0] << " " << p[1] << " " << p[2];
      ++copies[source];
    }
    std::vector<int> fans(s->NOV, 0);
    fan_counts(*s, fans);
    for (int v = 0; v < s->NOV; ++v) EXPECT_EQ(copies[v], 2 * fans[v]) << "vertex " << v;
  }
}

TEST(Export, SolidCopesWithAwkwardButClosableSheets) {
  // Corners of a square with its diagonal point lifted a little.
  const V3 a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0.2}, d{0, 1, 0};
  struct Case {
    const char* what;
    std::vector<V3> v;
    std::vector<std::array<int, 3>> f;
    int corners;  // shell corners expected
  };
  const std::vector<Case> cases = {
      {"a face stored turned over", {a, b, c, d}, {{0, 1, 2}, {0, 3, 2}}, 8},
      {"a face with a repeated corner", {a, b, c, d}, {{0, 1, 2}, {0, 2, 3}, {1, 1, 2}}, 8},
      // Vertex 4 lies only on a face without area: its normal has to come
      // from somewhere other than its faces.
      {"a face without area", {a, b, c, d, {1, 0.5, 0.1}}, {{0, 1, 2}, {0, 2, 3}, {1, 4, 2}}, 10},
  };
  TempDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    auto s = sheet(k.v, k.f);
    std::string err;
    TriMesh m;
    ASSERT_TRUE(solid_mesh(*s, 0.1, 1.0, m, err)) << err;
    for (const auto& p : m.v)
      for (double x : p) ASSERT_TRUE(std::isfinite(x));
    ASSERT_TRUE(export_solid(*s, dir.file("awkward.stl"), 0.1, 1.0, err)) << err;
    Stl stl;
    read_stl(dir.file("awkward.stl"), stl);
    const Closure cl = closure(stl.tri);
    EXPECT_EQ(cl.bad_edges, 0);
    EXPECT_EQ(cl.corners, k.corners);
    EXPECT_GT(cl.volume, 0);
  }
}

TEST(Export, SolidRefusesSheetsThatCannotBeClosedAndWritesNothing) {
  const V3 a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0.2}, d{0, 1, 0}, e{0.5, -1, 0.5};
  // A twisted band of six triangles: one-sided.
  std::vector<V3> band;
  for (int i = 0; i < 3; ++i) {
    const double t = 2 * 3.141592653589793 * i / 3;
    band.push_back({std::cos(t) * 2, std::sin(t) * 2, 0.3});
    band.push_back({std::cos(t) * 2.5, std::sin(t) * 2.5, -0.3});
  }
  struct Case {
    const char* what;
    std::vector<V3> v;
    std::vector<std::array<int, 3>> f;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {"an edge on three faces",
       {a, b, c, d, e},
       {{0, 1, 2}, {0, 2, 3}, {2, 0, 4}},
       "three or more"},
      {"a one-sided band",
       band,
       {{0, 1, 2}, {1, 3, 2}, {2, 3, 4}, {3, 5, 4}, {4, 5, 1}, {5, 0, 1}},
       "one-sided"},
      {"the same face twice", {a, b, c}, {{0, 1, 2}, {0, 2, 1}}, "same corners"},
      {"no faces", {a, b, c}, {}, "no faces"},
      {"a sheet folded flat onto itself",
       {a, b, c, c},
       {{0, 1, 2}, {1, 0, 3}},
       "the sheet crosses itself at 1 places"},
      // Where a cell was grown on a single vertex, the slabs of the two fans
      // meeting there would overlap round it: a slicer would weld them.
      {"two fans meeting at one vertex",
       {a, b, c, {-1, 0, 0.3}, {-1, -1, -0.4}},
       {{0, 1, 2}, {0, 3, 4}},
       "the solid would cross itself at "},
      // Its slab has no inside: the walls round it lie on each other.
      {"a face without area on a vertex of its own",
       {a, b, c, d, {2, 0, 0}, {3, 0, 0}},
       {{0, 1, 2}, {0, 2, 3}, {1, 4, 5}},
       "the solid would cross itself at "},
      // Two pieces closer than the thinnest wall allowed.
      {"two faces a thousandth apart",
       {a, b, d, {0, 0, 0.001}, {1, 0, 0.001}, {0, 1, 0.001}},
       {{0, 1, 2}, {3, 4, 5}},
       "places: try a thinner solid"},
  };
  TempDir dir;
  const std::string path = dir.file("kept.stl");
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    { std::ofstream(path, std::ios::binary) << "earlier file"; }
    auto s = sheet(k.v, k.f);
    std::string err;
    EXPECT_FALSE(export_solid(*s, path, 0.1, 1.0, err));
    EXPECT_NE(err.find(k.reason), std::string::npos) << err;
    EXPECT_EQ(slurp(path), "earlier file");
  }
  // Nothing left beside it either.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(Export, VertexOnNoFaceIsKeptBySurfaceAndDroppedBySolid) {
  TempDir dir;
  auto s = sample(131);
  const int lone = s->NOV++;
  s->x[lone] = 40;
  s->y[lone] = 40;
  s->z[lone] = 40;
  std::string err;
  ASSERT_TRUE(export_surface(*s, dir.file("with.ply"), 1.0, err)) << err;
  ASSERT_TRUE(export_surface(*s, dir.file("with.obj"), 1.0, err)) << err;
  ASSERT_TRUE(export_solid(*s, dir.file("solid.ply"), 0.1, 1.0, err)) << err;
  Loaded with, solid;
  load_with_assimp(dir.file("with.ply"), with);
  load_with_assimp(dir.file("solid.ply"), solid);
  if (HasFatalFailure()) return;
  EXPECT_EQ(static_cast<int>(with.v.size()), s->NOV);
  EXPECT_EQ(static_cast<int>(solid.v.size()), 2 * (s->NOV - 1));
  // Assimp drops unused OBJ vertices, so count the lines.
  const std::string obj = slurp(dir.file("with.obj"));
  int vlines = 0;
  for (std::size_t at = 0; (at = obj.find("\nv ", at)) != std::string::npos; ++at) ++vlines;
  EXPECT_EQ(vlines, s->NOV);
}

TEST(Export, UnknownFileTypeAndBadFactorsAreRefused) {
  TempDir dir;
  auto s = sample(131);
  struct Case {
    std::string path;
    double thickness, scale;
    const char* reason;
  };
  const std::vector<Case> cases = {
      {dir.file("sheet.xyz"), 0.1, 1, "unknown file type .xyz"},
      {dir.file("sheet"), 0.1, 1, "no file type"},
      {dir.file("obj"), 0.1, 1, "no file type"},
      {dir.file("a.obj.d") + std::string("/sheet"), 0.1, 1, "no file type"},
      {dir.file("sheet.stl"), 0.1, 0, "scale"},
      {dir.file("sheet.stl"), 0.1, -2, "scale"},
      {dir.file("sheet.stl"), 0.1, 1e300, "too large"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.path + " x" + std::to_string(k.scale));
    std::string err;
    EXPECT_FALSE(export_surface(*s, k.path, k.scale, err));
    EXPECT_NE(err.find(k.reason), std::string::npos) << err;
    err.clear();
    EXPECT_FALSE(export_solid(*s, k.path, k.thickness, k.scale, err));
    EXPECT_NE(err.find(k.reason), std::string::npos) << err;
  }
  for (double t : {0.0, -0.1, std::nan("")}) {
    std::string err;
    EXPECT_FALSE(export_solid(*s, dir.file("sheet.stl"), t, 1.0, err));
    EXPECT_NE(err.find("thickness"), std::string::npos) << err;
  }
  // A vertex with no finite position would write "nan" or "inf" into the file.
  auto broken = sheet({{0, 0, 0}, {1, 0, 0}, {0, std::nan(""), 0}}, {{0, 1, 2}});
  for (const char* name : {"nan.obj", "nan.ply", "nan.stl"}) {
    std::string err;
    EXPECT_FALSE(export_surface(*broken, dir.file(name), 1.0, err)) << name;
    EXPECT_NE(err.find("vertex 2 has no finite position"), std::string::npos) << err;
    err.clear();
    EXPECT_FALSE(export_solid(*broken, dir.file(name), 0.1, 1.0, err)) << name;
    EXPECT_NE(err.find("vertex 2 has no finite position"), std::string::npos) << err;
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  // Letter case does not matter.
  std::string err;
  EXPECT_TRUE(export_surface(*s, dir.file("UPPER.STL"), 1.0, err)) << err;
  EXPECT_TRUE(export_surface(*s, dir.file("Mixed.Obj"), 1.0, err)) << err;
  Loaded m;
  load_with_assimp(dir.file("UPPER.STL"), m);
  EXPECT_EQ(static_cast<int>(m.f.size()), s->NOS);
}

TEST(ExportCli, CommandsWriteFilesAndRefuseUnknownTypes) {
  TempDir dir;
  const CliResult r = run_cli(
      "sample 131\n"
      "export sheet.OBJ\n"
      "export sheet.ply --scale 10\n"
      "export-solid solid.stl 0.1 --scale 10\n"
      "export sheet.dxf\n"
      "stats\n",
      {}, dir.path());
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "line 5: cannot export to sheet.dxf: unknown file type .dxf (use .obj, .ply "
            "or .stl)\n");
  EXPECT_NE(r.out.find("vertices 29 edges 72 faces 42"), std::string::npos) << r.out;
  auto s = sample(131);
  Loaded obj, ply;
  load_with_assimp(dir.file("sheet.OBJ"), obj);
  load_with_assimp(dir.file("sheet.ply"), ply);
  if (HasFatalFailure()) return;
  EXPECT_EQ(static_cast<int>(obj.f.size()), s->NOS);
  ASSERT_EQ(static_cast<int>(ply.v.size()), s->NOV);
  EXPECT_NEAR(ply.v[3][1], 10 * s->y[3], 1e-6);
  Stl stl;
  read_stl(dir.file("solid.stl"), stl);
  const Closure c = closure(stl.tri);
  EXPECT_EQ(c.bad_edges, 0);
  EXPECT_GT(c.volume, sheet_area(*s) * 0.1 * 1000 * 0.7);
}

TEST(ExportCli, MalformedArgumentsAreUsageErrors) {
  const std::vector<std::string> lines = {
      "export",
      "export a.obj --scale",
      "export a.obj --scale 0",
      "export a.obj --scale -3",
      "export a.obj --scale ten",
      "export a.obj --size 3",
      "export-solid a.stl",
      "export-solid a.stl 0",
      "export-solid a.stl -1",
      "export-solid a.stl thick",
      "export-solid a.stl 0.1 --scale",
      "export-solid a.stl 0.1 10",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    TempDir dir;
    const CliResult r = run_cli("sample 131\n" + line + "\n", {}, dir.path());
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.err.rfind("line 2: ", 0), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.obj")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.stl")));
  }
}

TEST(ExportCli, GrownSurfaceOpensInAssimpWithTheSameCounts) {
  TempDir dir;
  const CliResult r = run_cli(
      "grow-border 100\n"
      "stats\n"
      "export grown.obj\n"
      "export grown.ply\n"
      "export-solid grown-solid.stl 0.1 --scale 10\n",
      {}, dir.path());
  // Cells grown on single vertices overlap: the sheet is written with a
  // warning, its solid is refused.
  ASSERT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("line 3: warning: the sheet crosses itself at "), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("line 4: warning: the sheet crosses itself at "), std::string::npos)
      << r.err;
  EXPECT_NE(r.err.find("line 5: the sheet crosses itself at "), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.file("grown-solid.stl")));
  int nov = 0, noe = 0, nos = 0;
  ASSERT_EQ(std::sscanf(r.out.c_str(), "vertices %d edges %d faces %d", &nov, &noe, &nos), 3)
      << r.out;
  EXPECT_EQ(nov, 29 + 7 * 100);
  Loaded obj, ply;
  load_with_assimp(dir.file("grown.obj"), obj);
  load_with_assimp(dir.file("grown.ply"), ply);
  if (HasFatalFailure()) return;
  EXPECT_EQ(static_cast<int>(obj.f.size()), nos);
  // OBJ comes back with a vertex per corner; its distinct positions are the
  // sheet's vertices.
  std::map<std::array<double, 3>, int> distinct;
  for (const V3& p : obj.v) distinct.emplace(p, 0);
  EXPECT_EQ(static_cast<int>(distinct.size()), nov);
  EXPECT_EQ(static_cast<int>(ply.v.size()), nov);
  EXPECT_EQ(static_cast<int>(ply.f.size()), nos);
}

// Sheets that do not cross themselves give solids that do not either, closed
// and outward, as a slicer reads the STL; where the wall had to thin, the
// report says so. A sheet that crosses itself, and a solid thicker than its
// folds allow, are refused with the count and nothing is written.
TEST(Export, SolidsOfSheetsClearOfThemselvesDoNotCrossThemselves) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<Store>()> make;
    double thickness;
    bool thins;
  };
  const std::vector<Case> cases = {
      {"sewn sheet of 10 cells", [] { return sewn(10); }, 0.1, false},
      {"sewn sheet of 20 cells", [] { return sewn(20); }, 0.1, false},
      {"sewn sheet of 30 cells", [] { return sewn(30); }, 0.1, false},
      {"two-ring-crease", [] { return opened("two-ring-crease.brm"); }, 0.1, false},
      {"apart-full-sheet", [] { return opened("apart-full-sheet.brm"); }, 0.1, true},
      {"sample 131, thick", [] { return sample(131); }, 1.0, true},
  };
  TempDir dir;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    auto s = k.make();
    ASSERT_EQ(count_crossings(*s), 0);
    std::string err;
    SolidReport report;
    ASSERT_TRUE(export_solid(*s, dir.file("solid.stl"), k.thickness, 10.0, err, &report)) << err;
    EXPECT_EQ(report.thinned > 0, k.thins);
    EXPECT_EQ(report.crossings_at_full > 0, k.thins);
    EXPECT_GE(report.thinnest_wall, 0);
    EXPECT_LE(report.thinnest_wall, k.thickness);
    EXPECT_EQ(report.thinnest_wall < k.thickness, k.thins);
    Stl stl;
    read_stl(dir.file("solid.stl"), stl);
    const Closure c = closure(stl.tri);
    EXPECT_EQ(c.bad_edges, 0);
    EXPECT_EQ(c.degenerate, 0);
    EXPECT_GT(c.volume, 0);
    EXPECT_EQ(stl_crossings(stl), (std::vector<std::pair<int, int>>{}));
  }

  const std::string path = dir.file("kept.stl");
  { std::ofstream(path, std::ios::binary) << "earlier file"; }
  auto full = make_store();
  build_sewn_sheet(*full);
  std::string err;
  EXPECT_FALSE(export_solid(*full, path, 0.1, 1.0, err));
  EXPECT_EQ(err, "the sheet crosses itself at 294 places, so a solid of it would too");
  EXPECT_EQ(slurp(path), "earlier file");
}
