// The component labelling as its steps read, the reference the fast labelling
// is measured against: a recursive flood that scans every edge at every
// vertex it reaches.
#pragma once

#include "model/store.h"

namespace brimoss::literal {

inline void fill_conn_comp1(Store& s, int v) {
  s.conn_comp[v] = s.NOcomp;
  for (int l = 0; l < s.NOE; ++l) {
    const int a = s.edge[l].first, b = s.edge[l].second;
    if (a == v && s.conn_comp[b] == 0) fill_conn_comp1(s, b);
    if (b == v && s.conn_comp[a] == 0) fill_conn_comp1(s, a);
  }
}

inline void fill_conn_comp(Store& s) {
  if (s.NOV == 0 || s.NOE == 0) return;
  s.NOcomp = 1;
  s.filledconn_comp = true;
  for (int i = 0; i < s.NOV; ++i) s.conn_comp[i] = 0;
  for (int i = 0; i < s.NOV; ++i) {
    if (s.conn_comp[i] != 0) continue;
    fill_conn_comp1(s, i);
    ++s.NOcomp;
  }
  for (int c = 0; c <= s.NOcomp && c < MAXCONNCOMP; ++c) s.hilighted[c] = false;
}

}  // namespace brimoss::literal
