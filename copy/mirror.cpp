#include "copy/mirror.h"

#include <utility>

#include "copy/paste.h"
#include "model/components.h"
#include "model/undo.h"
#include "sim/contacts.h"
#include "sim/relax.h"

namespace brimoss {

namespace {

bool any_highlighted(const Store& s) {
  for (int c = 1; c < MAXCONNCOMP; ++c)
    if (s.hilighted[c]) return true;
  return false;
}

}  // namespace

void mirror_image(Store& s) {
  forget_apart_positions(s);  // the user's move: what it leaves crossing is reported
  // Mirroring only moves vertices and flips faces, so a running paste keeps
  // its joining edge and its pair and may go on.
  if (!any_highlighted(s)) {
    for (int v = 0; v < s.NOV; ++v) s.x[v] = -s.x[v];
    for (int f = 0; f < s.NOS; ++f) std::swap(s.face[f][1], s.face[f][2]);
    return;
  }
  fill_center_conn_comp(s);
  for (int v = 0; v < s.NOV; ++v) {
    const int c = s.conn_comp[v];
    if (s.hilighted[c]) s.x[v] = 2 * s.comp_centerx[c] - s.x[v];
  }
  for (int f = 0; f < s.NOS; ++f)
    if (s.hilighted[s.conn_comp[s.face[f][0]]]) std::swap(s.face[f][1], s.face[f][2]);
}

const char* copy_refusal(const Store& s) {
  if (2 * s.NOV > MAXNOV || 4 * s.NOE > MAXNOE || 6 * s.NOS > MAXNOS)
    return "no room for a copy of the surface";
  // The copy numbers its components after the source's; every number must
  // index the per-component tables, and NOcomp, doubled, stays the next free
  // number.
  if (2 * s.NOcomp > MAXCONNCOMP - 1) return "too many component numbers for a copy";
  for (int v = 0; v < s.NOV; ++v)
    if (s.conn_comp[v] + s.NOcomp >= MAXCONNCOMP) return "too many component numbers for a copy";
  return nullptr;
}

bool add_copy(Store& s, bool mirrored) {
  if (copy_refusal(s)) return false;
  end_paste(s);
  makecopy(s);

  const int n = s.NOV, m = s.NOE, k = s.NOS;
  for (int v = 0; v < n; ++v) {
    s.x[n + v] = mirrored ? 2.0 - s.x[v] : s.x[v] + 2.0;
    s.y[n + v] = s.y[v];
    s.z[n + v] = s.z[v];
    s.conn_comp[n + v] = s.conn_comp[v] + s.NOcomp;
  }
  for (int l = 0; l < m; ++l) {
    s.edge[m + l] = Edge{s.edge[l].first + n, s.edge[l].second + n};
    s.phi[m + l] = s.phi[l];
  }
  for (int f = 0; f < k; ++f) {
    const Face& src = s.face[f];
    Face& dst = s.face[k + f];
    dst[0] = src[0] + n;
    dst[1] = (mirrored ? src[2] : src[1]) + n;
    dst[2] = (mirrored ? src[1] : src[2]) + n;
  }
  s.NOV = 2 * n;
  s.NOE = 2 * m;
  s.NOS = 2 * k;
  s.NOcomp *= 2;
  offsetpolygon(s);
  return true;
}

}  // namespace brimoss
