// The pair check (pasteverticesP) and the merge of a paste on the grown
// surface, against their literal forms: a scan over all edges for every vertex to find
// the common neighbour, and a duplicate search restarted from the start after
// every removal.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "bench/workloads.h"
#include "copy/paste.h"
#include "model/store.h"
#include "sim/relax.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

// The common-neighbour search as literally described: for every vertex, a
// pass over all edges.
int common_neighbour_literal(const Store& s, int i, int j) {
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

void merge_literal(Store& s) {
  const int i1 = s.g_paste_i1, i2 = s.g_paste_i2;
  for (int v = i2 + 1; v < s.NOV; ++v)
    s.x[v - 1] = s.x[v], s.y[v - 1] = s.y[v], s.z[v - 1] = s.z[v];
  --s.NOV;
  --s.NOE;
  auto renumber = [&](int& v) {
    if (v == i2) v = i1;
    if (v > i2) --v;
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

struct Setup {
  std::unique_ptr<Store> s;
  int i = -1, j = -1;  // a pair that reaches the common-neighbour rule
};

// The grown surface, a pair for the check, and the same surface ready to
// merge two vertices with two common neighbours (the joining edge appended).
const Setup& check_setup() {
  static const Setup setup = [] {
    Setup st{make_store()};
    Store& s = *st.s;
    s = workload(Load::grown);
    // Two border vertices (corners of 2 or 4 faces) that share a neighbour
    // without being joined, so that their check runs every rule; the shared
    // neighbour the highest-numbered one possible, where the literal search,
    // which stops at the first match, costs most.
    std::vector<int> corners(s.NOV, 0);
    for (int f = 0; f < s.NOS; ++f)
      for (int k = 0; k < 3; ++k) ++corners[s.face[f][k]];
    std::vector<std::set<int>> adj(s.NOV);
    for (int l = 0; l < s.NOE; ++l) {
      adj[s.edge[l].first].insert(s.edge[l].second);
      adj[s.edge[l].second].insert(s.edge[l].first);
    }
    auto border = [&](int v) { return corners[v] == 2 || corners[v] == 4; };
    for (int c = s.NOV - 1; c >= 0 && st.i < 0; --c)
      for (int a : adj[c])
        for (int b : adj[c])
          if (st.i < 0 && a < b && border(a) && border(b) && !adj[a].count(b)) st.i = a, st.j = b;
    if (st.i < 0) std::abort();
    return st;
  }();
  return setup;
}

const Store& merge_setup() {
  static const std::unique_ptr<Store> s = [] {
    auto m = make_store();
    *m = *check_setup().s;
    // Two vertices at either end of a path of two edges: the merge makes the
    // edges to their common neighbours duplicates.
    const Edge e0 = m->edge[0];
    int other = -1;
    for (int l = 1; l < m->NOE && other < 0; ++l) {
      const Edge e = m->edge[l];
      const int w = e.first == e0.second ? e.second : (e.second == e0.second ? e.first : -1);
      if (w < 0 || w == e0.first) continue;
      bool joined = false;
      for (int k = 0; k < m->NOE; ++k)
        if ((m->edge[k] == Edge{std::min(w, e0.first), std::max(w, e0.first)})) joined = true;
      if (!joined) other = w;
    }
    if (other < 0) std::abort();
    m->g_paste_i1 = std::min(e0.first, other);
    m->g_paste_i2 = std::max(e0.first, other);
    m->edge[m->NOE] = Edge{m->g_paste_i1, m->g_paste_i2};
    m->phi[m->NOE++] = 0.01;
    // Both merges must leave the same surface behind.
    auto a = make_store(), b = make_store();
    *a = *m;
    *b = *m;
    pastevertices3(*a);
    merge_literal(*b);
    if (a->NOE != b->NOE || a->NOE >= m->NOE - 1) std::abort();
    for (int l = 0; l < a->NOE; ++l)
      if (!(a->edge[l] == b->edge[l]) || a->phi[l] != b->phi[l]) std::abort();
    for (int v = 0; v < a->NOV; ++v)
      if (a->x[v] != b->x[v]) std::abort();
    return m;
  }();
  return *s;
}

// The whole fast check against the literal common-neighbour search alone, so
// the ratio understates the gain.
void BM_CheckFast(benchmark::State& state, Load) {
  const Setup& st = check_setup();
  auto s = make_store();
  *s = *st.s;
  for (auto _ : state) {
    const PasteCheck c = paste_check(*s, st.i, st.j);
    benchmark::DoNotOptimize(c);
  }
  state.counters["vertices"] = s->NOV;
}

void BM_CheckLiteral(benchmark::State& state, Load) {
  const Setup& st = check_setup();
  for (auto _ : state) benchmark::DoNotOptimize(common_neighbour_literal(*st.s, st.i, st.j));
}

template <void (*Merge)(Store&)>
void BM_Merge(benchmark::State& state, Load) {
  auto s = make_store();
  for (auto _ : state) {
    state.PauseTiming();
    *s = merge_setup();
    state.ResumeTiming();
    Merge(*s);
    benchmark::DoNotOptimize(s->NOE);
  }
  state.counters["edges"] = merge_setup().NOE;
}

const bool registered = [] {
  add("paste_check", Load::grown, "fast", BM_CheckFast)->Unit(benchmark::kMicrosecond);
  add("paste_check", Load::grown, "literal", BM_CheckLiteral)->Unit(benchmark::kMicrosecond);
  add("paste_merge", Load::grown, "fast", BM_Merge<pastevertices3>)->Unit(benchmark::kMillisecond);
  add("paste_merge", Load::grown, "literal", BM_Merge<merge_literal>)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

}  // namespace
