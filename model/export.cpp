#include "model/export.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <unordered_map>

#include "model/crossings.h"
#include "model/surface_file.h"

namespace brimoss {

namespace {

using Vec = std::array<double, 3>;

Vec sub(const Vec& a, const Vec& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Vec cross(const Vec& a, const Vec& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double norm(const Vec& a) { return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]); }

std::string lower(std::string t) {
  for (char& c : t)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return t;
}

// Undirected edge key.
std::uint64_t edge_key(int a, int b) {
  if (a > b) std::swap(a, b);
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) |
         static_cast<std::uint32_t>(b);
}

int find(std::vector<int>& parent, int v) {
  while (parent[v] != v) {
    parent[v] = parent[parent[v]];
    v = parent[v];
  }
  return v;
}

void unite(std::vector<int>& parent, int a, int b) {
  a = find(parent, a);
  b = find(parent, b);
  if (a != b) parent[std::max(a, b)] = std::min(a, b);
}

// Does the face run from a to b (rather than from b to a)?
bool runs(const std::array<int, 3>& f, int a, int b) {
  for (int k = 0; k < 3; ++k)
    if (f[k] == a && f[(k + 1) % 3] == b) return true;
  return false;
}

// Nine significant digits, as "%.9g" writes them in the C locale: enough for
// a float to come back exactly and plenty for a printer or a renderer.
void put_number(std::string& out, double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
  out.append(buf, r.ptr);
}

void put_int(std::string& out, long long v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void put_u32le(std::string& out, std::uint32_t u) {
  for (int k = 0; k < 4; ++k) out += static_cast<char>((u >> (8 * k)) & 0xffu);
}

void put_f32le(std::string& out, double v) {
  const float f = static_cast<float>(v);
  std::uint32_t u = 0;
  std::memcpy(&u, &f, sizeof u);
  put_u32le(out, u);
}

std::string obj_bytes(const TriMesh& m) {
  std::string out = "# Brimoss sheet: ";
  put_int(out, static_cast<long long>(m.v.size()));
  out += " vertices, ";
  put_int(out, static_cast<long long>(m.f.size()));
  out += " faces\n";
  for (const Vec& p : m.v) {
    out += 'v';
    for (double c : p) {
      out += ' ';
      put_number(out, c);
    }
    out += '\n';
  }
  for (const auto& f : m.f) {
    out += 'f';
    for (int i : f) {
      out += ' ';
      put_int(out, static_cast<long long>(i) + 1);
    }
    out += '\n';
  }
  return out;
}

std::string ply_bytes(const TriMesh& m) {
  std::string out = "ply\nformat ascii 1.0\ncomment Brimoss sheet\nelement vertex ";
  put_int(out, static_cast<long long>(m.v.size()));
  out +=
      "\nproperty double x\nproperty double y\nproperty double z\n"
      "element face ";
  put_int(out, static_cast<long long>(m.f.size()));
  out += "\nproperty list uchar int vertex_indices\nend_header\n";
  for (const Vec& p : m.v) {
    put_number(out, p[0]);
    out += ' ';
    put_number(out, p[1]);
    out += ' ';
    put_number(out, p[2]);
    out += '\n';
  }
  for (const auto& f : m.f) {
    out += '3';
    for (int i : f) {
      out += ' ';
      put_int(out, i);
    }
    out += '\n';
  }
  return out;
}

std::string stl_bytes(const TriMesh& m) {
  std::string out;
  out.reserve(84 + 50 * m.f.size());
  // The header must not begin with "solid", or readers take the file for text.
  std::string header = "Brimoss sheet, binary STL";
  header.resize(80, ' ');
  out += header;
  put_u32le(out, static_cast<std::uint32_t>(m.f.size()));
  for (const auto& f : m.f) {
    const Vec& a = m.v[f[0]];
    const Vec& b = m.v[f[1]];
    const Vec& c = m.v[f[2]];
    Vec n = cross(sub(b, a), sub(c, a));
    const double len = norm(n);
    if (len > 0 && std::isfinite(len))
      for (double& k : n) k /= len;
    else
      n = {0, 0, 0};
    for (double k : n) put_f32le(out, k);
    for (const Vec* p : {&a, &b, &c})
      for (double k : *p) put_f32le(out, k);
    out += '\0';
    out += '\0';
  }
  return out;
}

// Every coordinate must survive as a number in the file, as a float for STL.
bool positions_fit(const TriMesh& m, std::string& err) {
  for (std::size_t i = 0; i < m.v.size(); ++i)
    for (double c : m.v[i])
      if (!std::isfinite(c) || !std::isfinite(static_cast<float>(c))) {
        err =
            "vertex " + std::to_string(i) +
            (std::isfinite(c) ? " has a coordinate too large to write" : " has no finite position");
        return false;
      }
  return true;
}

bool check_factor(double v, const char* what, std::string& err) {
  if (!(v > 0) || !std::isfinite(v)) {
    err = std::string(what) + " must be a positive number";
    return false;
  }
  return true;
}

}  // namespace

bool mesh_format_for(const std::string& path, MeshFormat& format, std::string& err) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const std::string ext = (dot == std::string::npos || (slash != std::string::npos && dot < slash))
                              ? std::string()
                              : lower(path.substr(dot));
  if (ext == ".obj")
    format = MeshFormat::Obj;
  else if (ext == ".ply")
    format = MeshFormat::Ply;
  else if (ext == ".stl")
    format = MeshFormat::Stl;
  else {
    err = "cannot export to " + path + ": " +
          (ext.empty() ? std::string("no file type") : "unknown file type " + ext) +
          " (use .obj, .ply or .stl)";
    return false;
  }
  return true;
}

TriMesh surface_mesh(const Store& s, double scale) {
  TriMesh m;
  m.v.resize(s.NOV);
  for (int i = 0; i < s.NOV; ++i) m.v[i] = {s.x[i] * scale, s.y[i] * scale, s.z[i] * scale};
  m.f.resize(s.NOS);
  for (int i = 0; i < s.NOS; ++i) m.f[i] = {s.face[i][0], s.face[i][1], s.face[i][2]};
  return m;
}

namespace {

// The faces on one edge of the sheet, by their index among the kept faces.
struct EdgeFaces {
  int a = -1, b = -1;
};

// The sheet's faces as a solid is made of them: every face with three
// different corners, in the store's order (and the store's index of each,
// for messages), and the faces on each edge.
struct SheetFaces {
  std::vector<std::array<int, 3>> f;
  std::vector<int> stored;
  std::unordered_map<std::uint64_t, EdgeFaces> on_edge;

  int size() const { return static_cast<int>(f.size()); }
  const EdgeFaces& on(int i, int k) const {
    return on_edge.at(edge_key(f[i][k], f[i][(k + 1) % 3]));
  }
  // The other face on the side of face i from its corner k to the next, or
  // -1 where that side is on the border.
  int across(int i, int k) const {
    const EdgeFaces& e = on(i, k);
    return e.a == i ? e.b : e.a;
  }
};

// Keeps the faces a solid can be made of and refuses a sheet with two faces
// on the same corners or an edge on three faces. Faces with a repeated corner
// are segments or points: they cover nothing and would only put one edge
// twice into the same face.
bool collect_faces(const Store& s, SheetFaces& sh, std::string& err) {
  for (int i = 0; i < s.NOS; ++i) {
    const Face& g = s.face[i];
    if (g[0] == g[1] || g[1] == g[2] || g[0] == g[2]) continue;
    sh.f.push_back({g[0], g[1], g[2]});
    sh.stored.push_back(i);
  }
  const int nf = sh.size();
  if (nf == 0) {
    err = "the surface has no faces to thicken";
    return false;
  }

  // Two faces on the same three corners close on themselves with no inside.
  static_assert(MAXNOV <= (1 << 21), "three vertex indices must fit one key");
  {
    std::unordered_map<std::uint64_t, int> seen;
    seen.reserve(nf);
    for (int i = 0; i < nf; ++i) {
      std::array<int, 3> c = sh.f[i];
      std::sort(c.begin(), c.end());
      const std::uint64_t key = (static_cast<std::uint64_t>(c[0]) << 42) |
                                (static_cast<std::uint64_t>(c[1]) << 21) |
                                static_cast<std::uint64_t>(c[2]);
      auto [it, fresh] = seen.emplace(key, i);
      if (!fresh) {
        err = "faces " + std::to_string(sh.stored[it->second]) + " and " +
              std::to_string(sh.stored[i]) + " have the same corners; such a sheet has no inside";
        return false;
      }
    }
  }

  // A third face on an edge makes a fin no closed shell can have.
  sh.on_edge.reserve(3 * nf);
  for (int i = 0; i < nf; ++i)
    for (int k = 0; k < 3; ++k) {
      const int p = sh.f[i][k], q = sh.f[i][(k + 1) % 3];
      EdgeFaces& e = sh.on_edge[edge_key(p, q)];
      if (e.a < 0) {
        e.a = i;
      } else if (e.b < 0) {
        e.b = i;
      } else {
        err = "edge " + std::to_string(std::min(p, q)) + "-" + std::to_string(std::max(p, q)) +
              " lies on three or more faces (" + std::to_string(sh.stored[e.a]) + ", " +
              std::to_string(sh.stored[e.b]) + ", " + std::to_string(sh.stored[i]) +
              "); a sheet with such an edge cannot be made solid";
        return false;
      }
    }
  return true;
}

// The solid needs every piece of the sheet consistently oriented, not any
// particular side in front: turns faces over to agree with the first face of
// their piece, and refuses a piece that has only one side.
bool orient_pieces(SheetFaces& sh, std::string& err) {
  const int nf = sh.size();
  std::vector<signed char> flip(nf, -1);
  std::vector<int> queue;
  queue.reserve(nf);
  for (int start = 0; start < nf; ++start) {
    if (flip[start] >= 0) continue;
    flip[start] = 0;
    queue.assign(1, start);
    for (std::size_t qi = 0; qi < queue.size(); ++qi) {
      const int i = queue[qi];
      for (int k = 0; k < 3; ++k) {
        const int j = sh.across(i, k);
        if (j < 0) continue;
        // Neighbours agree when they run along their shared edge in opposite
        // directions; face i, as it will be written, runs p->q unless flipped.
        const bool same_way = runs(sh.f[j], sh.f[i][k], sh.f[i][(k + 1) % 3]);
        const signed char want = static_cast<signed char>(flip[i] ^ (same_way ? 1 : 0));
        if (flip[j] < 0) {
          flip[j] = want;
          queue.push_back(j);
        } else if (flip[j] != want) {
          err = "the piece of the sheet with face " + std::to_string(sh.stored[start]) +
                " is one-sided, like a Moebius strip, so it has no outside to thicken";
          return false;
        }
      }
    }
  }
  for (int i = 0; i < nf; ++i)
    if (flip[i]) std::swap(sh.f[i][1], sh.f[i][2]);
  return true;
}

// A sheet that passes through itself gives a solid that does too, at any
// thickness. (A face without area is no crossing of the sheet by itself.)
bool refuse_crossing_sheet(const Store& s, std::string& err) {
  std::vector<double> at(3 * static_cast<std::size_t>(s.NOV));
  for (int v = 0; v < s.NOV; ++v) {
    at[3 * v] = s.x[v];
    at[3 * v + 1] = s.y[v];
    at[3 * v + 2] = s.z[v];
  }
  int n = 0;
  for (const auto& [i, j] : crossing_pairs(at.data(), s.NOV, s.face.data(), s.NOS)) n += i != j;
  if (n == 0) return true;
  err = "the sheet crosses itself at " + std::to_string(n) + " places, so a solid of it would too";
  return false;
}

// The fans of faces round each vertex: the shell's corners.
struct Fans {
  std::vector<int> of_corner;  // the fan of each face corner (3 * face + k)
  std::vector<int> vertex;     // the store's vertex of each fan
  int size() const { return static_cast<int>(vertex.size()); }
};

// A vertex where separate fans of faces meet (as where a new cell was grown
// on a single vertex) gets one corner per fan, each moved along its own fan's
// normal: otherwise the walls of both fans would share one edge there.
// Corners of faces are united across the interior edges they share.
Fans split_fans(const SheetFaces& sh) {
  const int nf = sh.size();
  std::vector<int> corner(3 * nf);
  std::iota(corner.begin(), corner.end(), 0);
  for (int i = 0; i < nf; ++i)
    for (int k = 0; k < 3; ++k) {
      const int p = sh.f[i][k], q = sh.f[i][(k + 1) % 3];
      const int j = sh.across(i, k);
      if (j < i) continue;  // border edge, or the pair already joined from j
      for (int m = 0; m < 3; ++m) {
        if (sh.f[j][m] == p) unite(corner, 3 * i + k, 3 * j + m);
        if (sh.f[j][m] == q) unite(corner, 3 * i + (k + 1) % 3, 3 * j + m);
      }
    }
  Fans fans;
  fans.of_corner.assign(3 * nf, -1);  // by its root corner first
  for (int c = 0; c < 3 * nf; ++c) {
    const int r = find(corner, c);
    if (fans.of_corner[r] < 0) {
      fans.of_corner[r] = fans.size();
      fans.vertex.push_back(sh.f[c / 3][c % 3]);
    }
    fans.of_corner[c] = fans.of_corner[r];
  }
  return fans;
}

Vec position(const Store& s, int v) { return Vec{s.x[v], s.y[v], s.z[v]}; }

bool positions_finite(const Store& s, const Fans& fans, std::string& err) {
  for (int v : fans.vertex)
    if (!std::isfinite(s.x[v]) || !std::isfinite(s.y[v]) || !std::isfinite(s.z[v])) {
      err = "vertex " + std::to_string(v) + " has no finite position";
      return false;
    }
  return true;
}

// The unit normal of each fan, the direction its corner is moved in.
std::vector<Vec> fan_normals(const Store& s, const SheetFaces& sh, const Fans& fans) {
  const int nf = sh.size(), ng = fans.size();
  // Area-weighted normals: the sum of the faces' cross products. Where they
  // cancel, or every face is a sliver, the largest face of the fan decides,
  // and a fan of faces without area points along z.
  std::vector<Vec> fn(nf);
  for (int i = 0; i < nf; ++i) {
    const Vec a = position(s, sh.f[i][0]);
    fn[i] = cross(sub(position(s, sh.f[i][1]), a), sub(position(s, sh.f[i][2]), a));
  }
  std::vector<Vec> sum(ng, Vec{0, 0, 0});
  std::vector<double> mass(ng, 0.0);
  std::vector<int> largest(ng, -1);
  for (int c = 0; c < 3 * nf; ++c) {
    const int g = fans.of_corner[c], i = c / 3;
    for (int k = 0; k < 3; ++k) sum[g][k] += fn[i][k];
    const double a = norm(fn[i]);
    if (!std::isfinite(a)) continue;
    mass[g] += a;
    if (a > 0 && (largest[g] < 0 || a > norm(fn[largest[g]]))) largest[g] = i;
  }
  std::vector<Vec> normal(ng);
  for (int g = 0; g < ng; ++g) {
    Vec n = sum[g];
    double len = norm(n);
    if (!(len > 1e-9 * mass[g]) || !std::isfinite(len)) {
      n = largest[g] >= 0 ? fn[largest[g]] : Vec{0, 0, 1};
      len = norm(n);
    }
    for (int k = 0; k < 3; ++k) normal[g][k] = n[k] / len;
  }

  // Where a fan is folded sharply, its summed normal can lean below some of
  // its faces, and a corner moved along it passes through them: the shell
  // turns inside out there at any thickness. Tilt such a normal towards the
  // face it leans below most, until it stands above every face of the fan or
  // no tilt helps any more; keep the best found.
  std::vector<std::vector<int>> fan_faces(ng);
  for (int c = 0; c < 3 * nf; ++c) fan_faces[fans.of_corner[c]].push_back(c / 3);
  std::vector<Vec> unit(nf, Vec{0, 0, 0});
  for (int i = 0; i < nf; ++i) {
    const double a = norm(fn[i]);
    if (a > 0 && std::isfinite(a)) unit[i] = {fn[i][0] / a, fn[i][1] / a, fn[i][2] / a};
  }
  auto lowest = [&](int g, const Vec& d, int& worst) {
    double m = 2;
    for (int i : fan_faces[g]) {
      if (unit[i] == Vec{0, 0, 0}) continue;
      const double c = d[0] * unit[i][0] + d[1] * unit[i][1] + d[2] * unit[i][2];
      if (c < m) {
        m = c;
        worst = i;
      }
    }
    return m;
  };
  constexpr double kStands = 0.2;  // cosine a normal keeps to every face of its fan
  for (int g = 0; g < ng; ++g) {
    int worst = -1;
    double best = lowest(g, normal[g], worst);
    Vec d = normal[g];
    for (int step = 0; step < 64 && best < kStands && worst >= 0; ++step) {
      Vec t;
      for (int k = 0; k < 3; ++k) t[k] = d[k] + 0.5 * unit[worst][k];
      const double len = norm(t);
      if (!(len > 0)) break;
      for (int k = 0; k < 3; ++k) d[k] = t[k] / len;
      const double m = lowest(g, d, worst);
      if (m > best) {
        best = m;
        normal[g] = d;
      }
    }
  }
  return normal;
}

// The closed shell: each fan's corner moved up (shell vertex g) and down
// (ng + g) along its normal, each copy by its own distance (half the
// thickness, less where the shell would otherwise cross itself); the sheet's
// faces on top, turned over below, and walls along the border. A pinched
// border corner has only its copy above: the wall comes to an edge there.
struct Shell {
  const Store& s;
  const SheetFaces& sh;
  const Fans& fans;
  const std::vector<Vec>& normal;
  double scale;
  int ng;
  std::vector<double> reach;
  std::vector<char> pinched, on_border;

  Shell(const Store& s_, const SheetFaces& sh_, const Fans& fans_, const std::vector<Vec>& normal_,
        double thickness, double scale_)
      : s(s_),
        sh(sh_),
        fans(fans_),
        normal(normal_),
        scale(scale_),
        ng(fans_.size()),
        reach(2 * ng, thickness / 2),
        pinched(ng, 0),
        on_border(ng, 0) {}

  int below(int g) const { return pinched[g] ? g : ng + g; }

  void place(TriMesh& m) const {
    m.v.resize(2 * ng);
    for (int g = 0; g < ng; ++g) {
      const Vec p = position(s, fans.vertex[g]);
      for (int k = 0; k < 3; ++k) {
        m.v[g][k] = (p[k] + reach[g] * normal[g][k]) * scale;
        m.v[ng + g][k] = (p[k] - reach[ng + g] * normal[g][k]) * scale;
      }
    }
  }

  void build_faces(TriMesh& m) {
    const int nf = sh.size();
    const std::vector<int>& group = fans.of_corner;
    m.f.clear();
    m.f.reserve(2 * nf + 2 * nf);
    for (int i = 0; i < nf; ++i) m.f.push_back({group[3 * i], group[3 * i + 1], group[3 * i + 2]});
    for (int i = 0; i < nf; ++i)
      m.f.push_back({below(group[3 * i]), below(group[3 * i + 2]), below(group[3 * i + 1])});
    // Walls along the border: the top runs a->b there, so the wall runs b->a
    // on top and a->b at the bottom, and faces away from the sheet. At a
    // pinched corner the wall is one triangle, or none.
    for (int i = 0; i < nf; ++i)
      for (int k = 0; k < 3; ++k) {
        if (sh.on(i, k).b >= 0) continue;
        const int a = group[3 * i + k], b = group[3 * i + (k + 1) % 3];
        on_border[a] = on_border[b] = 1;
        if (!pinched[a]) m.f.push_back({b, a, below(a)});
        if (!pinched[b]) m.f.push_back({b, below(a), below(b)});
      }
  }
};

// Every face pair of the shell that meets other than at shared corners and
// edges, at the positions as written: as doubles (OBJ and PLY carry nine
// digits) and as the floats of STL, where slicers also match corners by
// position, so two corners on one point glue the shell together there.
std::vector<std::pair<int, int>> shell_crossings(const TriMesh& m, int nverts) {
  std::vector<Face> shell(m.f.size());
  for (std::size_t i = 0; i < m.f.size(); ++i)
    for (int k = 0; k < 3; ++k) shell[i][k] = m.f[i][k];
  const int nshell = static_cast<int>(shell.size());
  std::vector<double> xyz(3 * m.v.size());
  for (std::size_t v = 0; v < m.v.size(); ++v)
    for (int k = 0; k < 3; ++k) xyz[3 * v + k] = m.v[v][k];
  auto pairs = crossing_pairs(xyz.data(), nverts, shell.data(), nshell);
  // The floats only once the doubles are clear: they seldom differ.
  if (std::all_of(pairs.begin(), pairs.end(), [](const auto& p) { return p.first == p.second; })) {
    for (double& c : xyz) c = static_cast<float>(c);
    const auto as_floats = crossing_pairs(xyz.data(), nverts, shell.data(), nshell);
    pairs.insert(pairs.end(), as_floats.begin(), as_floats.end());
  }
  // A face without area crosses nothing by itself (the sheet's slivers
  // give such faces); only pairs of faces count.
  pairs.erase(std::remove_if(pairs.begin(), pairs.end(),
                             [](const std::pair<int, int>& p) { return p.first == p.second; }),
              pairs.end());
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  return pairs;
}

// Where the shell crosses itself (in a sharp fold the layers on its inner
// side run into each other), the corners of the faces involved come nearer
// the sheet, a step at a time, until nothing crosses: the wall thins there
// and only there, and not below a sixty-fourth of the thickness. Where a
// border corner's fan of faces overlaps itself seen along its normal (more
// than a full turn of faces at a crinkled border), a layer above one end of
// the fan meets the layer below the other however thin the wall: there the
// two copies of the corner become one, and the wall comes to an edge. Gives
// how many face pairs crossed before any thinning; false when some still
// cross.
bool thin_where_crossing(Shell& shell, TriMesh& out, double thickness, int& at_full) {
  const int ng = shell.ng;
  std::vector<std::pair<int, int>> pairs = shell_crossings(out, 2 * ng);
  at_full = static_cast<int>(pairs.size());
  constexpr double kStep = 0.7;
  const double least = thickness / 2 / 64;
  for (int round = 0; round < 60 && !pairs.empty(); ++round) {
    std::vector<char> near(2 * ng, 0);
    for (const auto& [i, j] : pairs)
      for (int k = 0; k < 3; ++k) near[out.f[i][k]] = near[out.f[j][k]] = 1;
    bool moved = false, rebuilt = false;
    for (int w = 0; w < 2 * ng; ++w) {
      if (!near[w]) continue;
      const int g = w % ng;
      if (shell.reach[w] > least) {
        shell.reach[w] = std::max(shell.reach[w] * kStep, least);
        moved = true;
      } else if (shell.on_border[g] && !shell.pinched[g]) {
        shell.pinched[g] = 1;
        shell.reach[g] = shell.reach[ng + g] = 0;
        moved = rebuilt = true;
      }
    }
    if (!moved) break;
    if (rebuilt) shell.build_faces(out);
    shell.place(out);
    pairs = shell_crossings(out, 2 * ng);
  }
  return pairs.empty();
}

// The lower copies of pinched corners are on no face any more: leave them
// out and number the rest anew.
void drop_pinched_copies(TriMesh& m, const std::vector<char>& pinched) {
  const int ng = static_cast<int>(pinched.size());
  if (std::find(pinched.begin(), pinched.end(), 1) == pinched.end()) return;
  std::vector<int> index(2 * ng, -1);
  int kept = 0;
  for (int w = 0; w < 2 * ng; ++w)
    if (w < ng || !pinched[w - ng]) {
      index[w] = kept;
      m.v[kept++] = m.v[w];
    }
  m.v.resize(kept);
  for (auto& face : m.f)
    for (int& w : face) w = index[w];
}

SolidReport report_of(const Shell& shell, double thickness, int at_full) {
  SolidReport r;
  const int ng = shell.ng;
  r.corners = ng;
  r.crossings_at_full = at_full;
  r.thinnest_wall = thickness;
  for (int g = 0; g < ng; ++g) {
    const double wall = shell.reach[g] + shell.reach[ng + g];
    r.pinched += shell.pinched[g];
    if (wall < thickness) {
      ++r.thinned;
      r.thinnest_wall = std::min(r.thinnest_wall, wall);
    }
  }
  return r;
}

}  // namespace

bool solid_mesh(const Store& s, double thickness, double scale, TriMesh& out, std::string& err,
                SolidReport* report) {
  out = TriMesh();
  if (!check_factor(thickness, "the thickness", err) || !check_factor(scale, "the scale", err))
    return false;
  SheetFaces sh;
  if (!collect_faces(s, sh, err) || !orient_pieces(sh, err) || !refuse_crossing_sheet(s, err))
    return false;
  const Fans fans = split_fans(sh);
  if (!positions_finite(s, fans, err)) return false;
  const std::vector<Vec> normal = fan_normals(s, sh, fans);

  Shell shell(s, sh, fans, normal, thickness, scale);
  shell.place(out);
  shell.build_faces(out);
  if (!positions_fit(out, err)) return false;
  int at_full = 0;
  if (!thin_where_crossing(shell, out, thickness, at_full)) {
    err = "the solid would cross itself at " + std::to_string(at_full) +
          " places: try a thinner solid";
    out = TriMesh();
    return false;
  }
  drop_pinched_copies(out, shell.pinched);
  if (report) *report = report_of(shell, thickness, at_full);
  return true;
}

std::string mesh_bytes(const TriMesh& m, MeshFormat format) {
  switch (format) {
    case MeshFormat::Obj:
      return obj_bytes(m);
    case MeshFormat::Ply:
      return ply_bytes(m);
    case MeshFormat::Stl:
      return stl_bytes(m);
  }
  return std::string();
}

bool surface_bytes(const Store& s, MeshFormat format, double scale, std::string& bytes,
                   std::string& err) {
  if (!check_factor(scale, "the scale", err)) return false;
  const TriMesh m = surface_mesh(s, scale);
  if (!positions_fit(m, err)) return false;
  bytes = mesh_bytes(m, format);
  return true;
}

bool solid_bytes(const Store& s, MeshFormat format, double thickness, double scale,
                 std::string& bytes, std::string& err, SolidReport* report) {
  TriMesh m;
  if (!solid_mesh(s, thickness, scale, m, err, report)) return false;
  bytes = mesh_bytes(m, format);
  return true;
}

bool export_surface(const Store& s, const std::string& path, double scale, std::string& err) {
  MeshFormat format;
  std::string bytes;
  return mesh_format_for(path, format, err) && surface_bytes(s, format, scale, bytes, err) &&
         write_file_atomically(path, bytes, err);
}

bool export_solid(const Store& s, const std::string& path, double thickness, double scale,
                  std::string& err, SolidReport* report) {
  MeshFormat format;
  std::string bytes;
  return mesh_format_for(path, format, err) &&
         solid_bytes(s, format, thickness, scale, bytes, err, report) &&
         write_file_atomically(path, bytes, err);
}

}  // namespace brimoss
