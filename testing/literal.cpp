#include "testing/literal.h"

#include <cmath>
#include <utility>
#include <vector>

#include "sim/relax.h"
#include "sim/spread.h"

namespace brimoss::testing {

namespace {

// Four ints at a time, for the edge scan of the pair scan.
using Lanes = int __attribute__((vector_size(16)));

double length(const Store& s, int a, int b) {
  return std::sqrt((s.x[b] - s.x[a]) * (s.x[b] - s.x[a]) + (s.y[b] - s.y[a]) * (s.y[b] - s.y[a]) +
                   (s.z[b] - s.z[a]) * (s.z[b] - s.z[a]));
}

void flood(Store& s, int v) {
  s.conn_comp[v] = s.NOcomp;
  for (int l = 0; l < s.NOE; ++l) {
    int other = -1;
    if (s.edge[l].first == v) other = s.edge[l].second;
    if (s.edge[l].second == v) other = s.edge[l].first;
    if (other >= 0 && s.conn_comp[other] == 0) flood(s, other);
  }
}

}  // namespace

void literal_modifyonce(Store& s) {
  for (int i = 0; i < s.NOV; ++i) s.dx[i] = s.dy[i] = s.dz[i] = 0;
  for (int l = 0; l < s.NOE; ++l) s.edgelength[l] = length(s, s.edge[l].first, s.edge[l].second);
  // The ends of every edge, four edges a lane group, padded with -1 (which
  // matches no vertex). Only so that testing every edge against every vertex
  // pair stays affordable on a thousand vertices: a block of 64 edges is first
  // tested as a whole, and only a block that holds (j, k) is walked edge by
  // edge, in index order.
  const int groups = (s.NOE + 3) / 4;
  std::vector<Lanes> first(groups, Lanes{-1, -1, -1, -1}), second(first);
  for (int l = 0; l < s.NOE; ++l) {
    first[l / 4][l % 4] = s.edge[l].first;
    second[l / 4][l % 4] = s.edge[l].second;
  }
  const Lanes* fp = first.data();
  const Lanes* sp = second.data();
  const Edge* edges = s.edge.data();
  constexpr int kBlock = 16;  // lane groups per block
  for (int j = 0; j < s.NOV; ++j) {
    const Lanes jj = {j, j, j, j};
    for (int k = j + 1; k < s.NOV; ++k) {
      const Lanes kk = {k, k, k, k};
      for (int g0 = 0; g0 < groups; g0 += kBlock) {
        const int g1 = g0 + kBlock < groups ? g0 + kBlock : groups;
        Lanes hit = {0, 0, 0, 0};
        for (int g = g0; g < g1; ++g) hit |= (fp[g] == jj) & (sp[g] == kk);
        if (!(hit[0] | hit[1] | hit[2] | hit[3])) continue;
        const int l1 = 4 * g1 < s.NOE ? 4 * g1 : s.NOE;
        for (int l = 4 * g0; l < l1; ++l) {
          if (edges[l].first != j || edges[l].second != k) continue;
          if (!(s.edgelength[l] > 0)) continue;  // coincident ends: no direction
          const double c = 1 - s.phi[l] / s.edgelength[l];
          if (!std::isfinite(c)) continue;
          s.dx[j] += c * (s.x[k] - s.x[j]);
          s.dx[k] -= c * (s.x[k] - s.x[j]);
          s.dy[j] += c * (s.y[k] - s.y[j]);
          s.dy[k] -= c * (s.y[k] - s.y[j]);
          s.dz[j] += c * (s.z[k] - s.z[j]);
          s.dz[k] -= c * (s.z[k] - s.z[j]);
        }
      }
    }
  }
  for (int i = 0; i < s.NOV; ++i) {
    s.dx[i] *= 0.2;
    s.dy[i] *= 0.2;
    s.dz[i] *= 0.2;
    if (std::isfinite(s.x[i] + s.dx[i]) && std::isfinite(s.y[i] + s.dy[i]) &&
        std::isfinite(s.z[i] + s.dz[i])) {
      s.x[i] += s.dx[i];
      s.y[i] += s.dy[i];
      s.z[i] += s.dz[i];
    }
  }
}

bool literal_modify(Store& s, int* passes) {
  const int limit = s.touch_purturb ? 50 : 10;
  for (int count = 1;; ++count) {
    literal_modifyonce(s);
    bool out = false;
    for (int l = 0; l < s.NOE && !out; ++l) {
      const double d = length(s, s.edge[l].first, s.edge[l].second) - s.phi[l];
      out = d < -0.05 || d > 0.05;
    }
    if (passes) *passes = count;
    if (count > limit) return false;
    if (!out) return true;
  }
}

void literal_fill_conn_comp(Store& s) {
  if (s.NOV == 0 || s.NOE == 0) return;
  s.NOcomp = 1;
  s.filledconn_comp = true;
  for (int i = 0; i < s.NOV; ++i) s.conn_comp[i] = 0;
  for (int i = 0; i < s.NOV; ++i)
    if (s.conn_comp[i] == 0) {
      flood(s, i);
      ++s.NOcomp;
    }
  for (int c = 0; c <= s.NOcomp && c < MAXCONNCOMP; ++c) s.hilighted[c] = false;
}

void literal_depth_order(Store& s) {
  for (int i = 0; i < s.NOS; ++i) {
    s.order[i] = 0;
    s.center[i] = (s.z[s.face[i][0]] + s.z[s.face[i][1]] + s.z[s.face[i][2]]) / 3.0;
  }
  for (int i = 0; i < s.NOS; ++i) {
    int r = 0;
    for (int j = 0; j < s.NOS; ++j) {
      if (s.center[j] > s.center[i]) ++r;
      if (s.center[j] == s.center[i] && j > i) ++r;
    }
    s.order[r] = i;
  }
}

void literal_edge_faces(Store& s) {
  for (int e = 0; e < s.NOE; ++e)
    getsurface(s, e, &s.scratch.spread.s1[e], &s.scratch.spread.s2[e]);
}

void literal_spread(Store& s) {
  int P = 0, Q = 1, pushes = 0;
  for (int e = 0; e < s.NOE; ++e) {
    const int a = s.edge[e].first, b = s.edge[e].second;
    if (s.g_purtj == a || s.g_purtj == b) continue;
    int s1, s2;
    getsurface(s, e, &s1, &s2);
    if (s2 < 0) continue;
    const Face f1 = s.face[s1], f2 = s.face[s2];
    const double ax = s.x[f1[1]] - s.x[f1[0]], ay = s.y[f1[1]] - s.y[f1[0]],
                 az = s.z[f1[1]] - s.z[f1[0]];
    const double bx = s.x[f1[2]] - s.x[f1[0]], by = s.y[f1[2]] - s.y[f1[0]],
                 bz = s.z[f1[2]] - s.z[f1[0]];
    const double cx = s.x[f2[1]] - s.x[f2[0]], cy = s.y[f2[1]] - s.y[f2[0]],
                 cz = s.z[f2[1]] - s.z[f2[0]];
    const double dx = s.x[f2[2]] - s.x[f2[0]], dy = s.y[f2[2]] - s.y[f2[0]],
                 dz = s.z[f2[2]] - s.z[f2[0]];
    const double dot = (ay * bz - az * by) * (cy * dz - cz * dy) +
                       (az * bx - ax * bz) * (cz * dx - cx * dz) +
                       (ax * by - ay * bx) * (cx * dy - cy * dx);
    if (!(dot < 0.3)) continue;
    bool apex1 = false, apex2 = false;
    for (int j = 0; j < 3; ++j) {
      if (f1[j] != a && f1[j] != b) P = f1[j], apex1 = true;
      if (f2[j] != a && f2[j] != b) Q = f2[j], apex2 = true;
    }
    if (!apex1 || !apex2) continue;
    const double ux = s.x[P] - s.x[Q], uy = s.y[P] - s.y[Q], uz = s.z[P] - s.z[Q];
    const double dist = std::sqrt(ux * ux + uy * uy + uz * uz);
    if (!(dist > 0.0) || !std::isfinite(dist)) continue;
    const double f = 0.08 / dist;
    s.x[P] += f * ux;
    s.y[P] += f * uy;
    s.z[P] += f * uz;
    s.x[Q] -= f * ux;
    s.y[Q] -= f * uy;
    s.z[Q] -= f * uz;
    if (++pushes % 3 == 0) modify(s);
  }
  modify(s);
}

int literal_common_neighbour(const Store& s, int i, int j) {
  for (int v = 0; v < s.NOV; ++v) {
    int n = 0;
    for (int l = 0; l < s.NOE; ++l) {
      const Edge e = s.edge[l];
      if ((e.first == v && e.second == i) || (e.first == i && e.second == v)) ++n;
      if ((e.first == v && e.second == j) || (e.first == j && e.second == v)) ++n;
    }
    if (n == 2) return v;
  }
  return -1;
}

void literal_merge(Store& s) {
  const int i1 = s.g_paste_i1, i2 = s.g_paste_i2;
  for (int v = i2 + 1; v < s.NOV; ++v)
    s.x[v - 1] = s.x[v], s.y[v - 1] = s.y[v], s.z[v - 1] = s.z[v];
  --s.NOV;
  --s.NOE;
  auto renumber = [&](int& v) {
    if (v == i2)
      v = i1;
    else if (v > i2)
      --v;
  };
  for (int l = 0; l < s.NOE; ++l) {
    renumber(s.edge[l].first);
    renumber(s.edge[l].second);
    if (s.edge[l].first > s.edge[l].second) std::swap(s.edge[l].first, s.edge[l].second);
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) renumber(s.face[f][k]);
  for (bool found = true; found;) {
    found = false;
    for (int p = 0; p < s.NOE && !found; ++p)
      for (int q = p + 1; q < s.NOE && !found; ++q)
        if (s.edge[p] == s.edge[q]) {
          for (int r = q; r + 1 < s.NOE; ++r) s.edge[r] = s.edge[r + 1], s.phi[r] = s.phi[r + 1];
          --s.NOE;
          found = true;
        }
  }
  modify(s);
  set_message(s, " ");
}

void literal_cut_vertex(Store& s, int v) {
  for (int l = 0; l < s.NOE;) {
    if (s.edge[l].first == v || s.edge[l].second == v) {
      for (int k = l; k + 1 < s.NOE; ++k) {
        s.edge[k] = s.edge[k + 1];
        s.phi[k] = s.phi[k + 1];
      }
      --s.NOE;
    } else {
      ++l;
    }
  }
  for (int l = 0; l < s.NOE; ++l) {
    if (s.edge[l].first > v) --s.edge[l].first;
    if (s.edge[l].second > v) --s.edge[l].second;
  }
  for (int f = 0; f < s.NOS;) {
    if (s.face[f][0] == v || s.face[f][1] == v || s.face[f][2] == v) {
      for (int k = f; k + 1 < s.NOS; ++k) s.face[k] = s.face[k + 1];
      --s.NOS;
    } else {
      ++f;
    }
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] > v) --s.face[f][k];
  for (int i = v; i + 1 < s.NOV; ++i) {
    s.x[i] = s.x[i + 1];
    s.y[i] = s.y[i + 1];
    s.z[i] = s.z[i + 1];
  }
  --s.NOV;
}

}  // namespace brimoss::testing
