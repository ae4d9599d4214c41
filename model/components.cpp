#include "model/components.h"

namespace brimoss {

void fill_conn_comp(Store& s) {
  if (s.NOV == 0 || s.NOE == 0) return;
  s.NOcomp = 1;
  s.filledconn_comp = true;

  // Per-vertex edge lists in compressed form, in edge order.
  auto& start = s.scratch.components.start;
  auto& adj = s.scratch.components.adj;
  for (int i = 0; i <= s.NOV; ++i) start[i] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    ++start[s.edge[l].first + 1];
    ++start[s.edge[l].second + 1];
  }
  for (int i = 0; i < s.NOV; ++i) start[i + 1] += start[i];
  auto& fill = s.scratch.components.fill;
  for (int i = 0; i < s.NOV; ++i) fill[i] = start[i];
  for (int l = 0; l < s.NOE; ++l) {
    const int a = s.edge[l].first, b = s.edge[l].second;
    adj[fill[a]++] = b;
    adj[fill[b]++] = a;
  }

  for (int i = 0; i < s.NOV; ++i) s.conn_comp[i] = 0;
  auto& queue = s.scratch.components.queue;
  for (int i = 0; i < s.NOV; ++i) {
    if (s.conn_comp[i] != 0) continue;
    // A label depends only on which vertices are joined, so a breadth-first
    // walk gives the same labels as any other traversal.
    // Pieces beyond the last label that the per-component tables can hold
    // share that label, so that no label ever indexes past them.
    const int label = s.NOcomp < MAXCONNCOMP - 2 ? s.NOcomp : MAXCONNCOMP - 2;
    int head = 0, tail = 0;
    s.conn_comp[i] = label;
    queue[tail++] = i;
    while (head < tail) {
      const int v = queue[head++];
      for (int k = start[v]; k < start[v + 1]; ++k) {
        const int w = adj[k];
        if (s.conn_comp[w] == 0) {
          s.conn_comp[w] = label;
          queue[tail++] = w;
        }
      }
    }
    if (s.NOcomp < MAXCONNCOMP - 1) ++s.NOcomp;
  }
  for (int c = 0; c <= s.NOcomp && c < MAXCONNCOMP; ++c) s.hilighted[c] = false;
}

void fill_center_conn_comp(Store& s) {
  if (!s.filledconn_comp) fill_conn_comp(s);
  int count[MAXCONNCOMP] = {};
  for (int c = 0; c < MAXCONNCOMP; ++c)
    s.comp_centerx[c] = s.comp_centery[c] = s.comp_centerz[c] = 0.0;
  for (int i = 0; i < s.NOV; ++i) {
    const int c = s.conn_comp[i];
    if (c < 0 || c >= MAXCONNCOMP) continue;
    s.comp_centerx[c] += s.x[i];
    s.comp_centery[c] += s.y[i];
    s.comp_centerz[c] += s.z[i];
    ++count[c];
  }
  for (int c = 0; c < MAXCONNCOMP; ++c) {
    if (count[c] == 0) continue;
    s.comp_centerx[c] /= count[c];
    s.comp_centery[c] /= count[c];
    s.comp_centerz[c] /= count[c];
  }
}

}  // namespace brimoss
