// What the tests share: comparisons of whole stores and of their surfaces,
// small hand-made surfaces, temporary folders, and the loop that runs a table
// of batch-tool scripts. Includes the workloads, the grids, the store's bytes and the batch
// tool's runner, so that a test needs this header alone.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "model/invariants.h"
#include "model/store.h"
#include "testing/cli_run.h"
#include "testing/grids.h"
#include "testing/store_bytes.h"
#include "testing/workloads.h"

namespace brimoss::testing {

// ---- Comparisons ----------------------------------------------------------

// Every byte of the two stores.
inline ::testing::AssertionResult same_store(const Store& a, const Store& b) {
  const std::ptrdiff_t i = first_different_byte(a, b);
  if (i < 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "stores differ first at byte " << i << " (in or after "
                                       << member_at(static_cast<std::size_t>(i)) << ")";
}

// Whether the undo snapshot counts in a surface comparison: by its size only,
// which tells whether a snapshot was taken.
enum class Snapshot { ignored, same_size };

// The surface part of the store: counts, positions, edges with their targets,
// faces (numbers compared by value, so 0 and -0 are the same).
inline ::testing::AssertionResult same_surface(const Store& a, const Store& b,
                                               Snapshot snapshot = Snapshot::ignored) {
  auto differ = [] { return ::testing::AssertionFailure(); };
  if (a.NOV != b.NOV || a.NOE != b.NOE || a.NOS != b.NOS)
    return differ() << "counts " << a.NOV << "/" << a.NOE << "/" << a.NOS << " against " << b.NOV
                    << "/" << b.NOE << "/" << b.NOS;
  if (snapshot == Snapshot::same_size && a.undo.nov != b.undo.nov)
    return differ() << "snapshot of " << a.undo.nov << " vertices against " << b.undo.nov;
  for (int i = 0; i < a.NOV; ++i)
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i])
      return differ() << "vertex " << i << " differs";
  for (int l = 0; l < a.NOE; ++l)
    if (!(a.edge[l] == b.edge[l]) || a.phi[l] != b.phi[l]) return differ() << "edge " << l;
  for (int f = 0; f < a.NOS; ++f)
    if (!(a.face[f] == b.face[f])) return differ() << "face " << f;
  return ::testing::AssertionSuccess();
}

// The number of vertices and their positions (by value).
inline ::testing::AssertionResult same_positions(const Store& a, const Store& b) {
  if (a.NOV != b.NOV)
    return ::testing::AssertionFailure() << a.NOV << " vertices against " << b.NOV;
  for (int i = 0; i < a.NOV; ++i)
    if (a.x[i] != b.x[i] || a.y[i] != b.y[i] || a.z[i] != b.z[i])
      return ::testing::AssertionFailure()
             << "vertex " << i << " at (" << a.x[i] << ", " << a.y[i] << ", " << a.z[i]
             << ") against (" << b.x[i] << ", " << b.y[i] << ", " << b.z[i] << ")";
  return ::testing::AssertionSuccess();
}

// Positions and the relaxation's displacements, bit for bit.
inline ::testing::AssertionResult same_vertices(const Store& a, const Store& b) {
  if (a.NOV != b.NOV)
    return ::testing::AssertionFailure() << a.NOV << " vertices against " << b.NOV;
  const std::size_t n = sizeof(double) * a.NOV;
  const struct {
    const char* name;
    const double *p, *q;
  } arrays[] = {{"x", a.x.data(), b.x.data()},    {"y", a.y.data(), b.y.data()},
                {"z", a.z.data(), b.z.data()},    {"dx", a.dx.data(), b.dx.data()},
                {"dy", a.dy.data(), b.dy.data()}, {"dz", a.dz.data(), b.dz.data()}};
  for (const auto& r : arrays)
    if (std::memcmp(r.p, r.q, n) != 0) {
      int i = 0;
      while (std::memcmp(r.p + i, r.q + i, sizeof(double)) == 0) ++i;
      return ::testing::AssertionFailure() << r.name << " of vertex " << i << " differs first";
    }
  return ::testing::AssertionSuccess();
}

// The relaxation's edge lengths of the first `noe` edges, bit for bit.
inline ::testing::AssertionResult same_edge_lengths(const Store& a, const Store& b, int noe) {
  for (int l = 0; l < noe; ++l)
    if (std::memcmp(&a.edgelength[l], &b.edgelength[l], sizeof(double)) != 0)
      return ::testing::AssertionFailure() << "length of edge " << l << " differs first";
  return ::testing::AssertionSuccess();
}

// ---- Small hand-made surfaces ---------------------------------------------

using EdgeList = std::vector<std::pair<int, int>>;

// A surface of `nov` vertices on a circle of radius 2 with the given faces and
// edges (each stored lower index first, all of kind a). Components numbered 1
// for every vertex, nothing highlighted.
inline std::unique_ptr<Store> surface(int nov, const std::vector<Face>& faces,
                                      const EdgeList& edges) {
  auto s = make_store();
  s->NOV = nov;
  for (int v = 0; v < nov; ++v) {
    s->x[v] = 2 * std::cos(v * 0.5);
    s->y[v] = 2 * std::sin(v * 0.5);
    s->z[v] = 0.01 * v;
    s->conn_comp[v] = 1;
  }
  for (const Face& f : faces) s->face[s->NOS++] = f;
  for (auto [a, b] : edges) {
    s->edge[s->NOE] = Edge{std::min(a, b), std::max(a, b)};
    s->phi[s->NOE] = phi_a();
    ++s->NOE;
  }
  s->NOcomp = 2;
  return s;
}

// The edges of the given faces, each once, lower index first, in order of
// first appearance.
inline EdgeList edges_of(const std::vector<Face>& faces) {
  EdgeList out;
  for (const Face& f : faces)
    for (int k = 0; k < 3; ++k) {
      const int a = std::min(f[k], f[(k + 1) % 3]), b = std::max(f[k], f[(k + 1) % 3]);
      if (std::find(out.begin(), out.end(), std::make_pair(a, b)) == out.end())
        out.emplace_back(a, b);
    }
  return out;
}

// A surface made of the given faces and their edges.
inline std::unique_ptr<Store> from_faces(int nov, const std::vector<Face>& faces) {
  return surface(nov, faces, edges_of(faces));
}

// The store's invariants, plus the two the joining relies on: every edge
// stored lower index first, and a running paste's joining edge last. An empty
// string when they hold.
inline std::string broken_invariant(const Store& s) {
  std::string why;
  if (!check_invariants(s, &why)) return why;
  for (int l = 0; l < s.NOE; ++l)
    if (s.edge[l].first > s.edge[l].second) return "edge " + std::to_string(l) + " reversed";
  if (s.g_pasteevent > 0 && (s.NOE < 1 || !(s.edge[s.NOE - 1] == Edge{s.g_paste_i1, s.g_paste_i2})))
    return "running paste without its joining edge last";
  return "";
}

inline int duplicate_edges(const Store& s) {
  std::set<std::pair<int, int>> seen;
  int dup = 0;
  for (int l = 0; l < s.NOE; ++l)
    if (!seen.insert({s.edge[l].first, s.edge[l].second}).second) ++dup;
  return dup;
}

// ---- Files -----------------------------------------------------------------

// A fresh folder under the system's temporary folder, removed afterwards
// (even when a test took its permissions away).
class TempDir {
 public:
  TempDir() {
    std::string t = (std::filesystem::temp_directory_path() / "brimoss-test-XXXXXX").string();
    if (!mkdtemp(&t[0])) throw std::runtime_error("mkdtemp failed");
    path_ = t;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  // Names in the folder, to see that no temporary file was left behind.
  std::vector<std::string> names() const {
    std::vector<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(path_))
      n.push_back(e.path().filename());
    std::sort(n.begin(), n.end());
    return n;
  }

 private:
  std::filesystem::path path_;
};

// ---- Tables of batch-tool scripts -----------------------------------------

// One script run by the batch tool on its start-up surface: the exit status,
// a text that must appear on standard output ("" for anything), and what
// standard error must say ("" for nothing at all).
struct CliCase {
  const char* name;
  std::string script;
  int status;
  std::string out;
  std::string err;
};

// How a case's standard error is matched: all of it, or a part of it.
enum class ErrMatch { whole, part };

inline void expect_cli_cases(const std::vector<CliCase>& cases, ErrMatch err_match) {
  for (const CliCase& c : cases) {
    SCOPED_TRACE(c.name);
    const CliResult r = run_cli(c.script);
    const std::string both = "standard output:\n" + r.out + "standard error:\n" + r.err;
    EXPECT_EQ(r.status, c.status) << both;
    EXPECT_NE(r.out.find(c.out), std::string::npos) << both;
    if (c.err.empty() || err_match == ErrMatch::whole) {
      EXPECT_EQ(r.err, c.err);
    } else {
      EXPECT_NE(r.err.find(c.err), std::string::npos) << both;
    }
  }
}

}  // namespace brimoss::testing
