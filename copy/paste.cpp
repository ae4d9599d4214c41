#include "copy/paste.h"

#include <cmath>
#include <cstdio>

#include "model/components.h"
#include "model/undo.h"
#include "sim/contacts.h"
#include "sim/relax.h"
#include "sim/spread.h"

namespace brimoss {

namespace {

constexpr double kPasteStep = 0.07;  // the joining edge shrinks by this much per step
constexpr double kLift = 0.03;       // g_paste_i1 rises by this much on every tick
constexpr int kMostSteps = 1 << 30;  // leaves the step counter room to pass it

// Corner counts of the three vertices the check asks about, in one pass over
// the faces.
void count_corners(const Store& s, int i, int j, int* ci, int* cj) {
  *ci = *cj = 0;
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) {
      const int v = s.face[f][k];
      if (v == i) ++*ci;
      if (v == j) ++*cj;
    }
}

bool joined(const Store& s, int i, int j) {
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if ((e.first == i && e.second == j) || (e.first == j && e.second == i)) return true;
  }
  return false;
}

// The lowest vertex v for which the edges joining v to i plus the edges
// joining v to j number exactly 2, or -1. The counts for all vertices are
// gathered in one pass over the edges; an edge counts once towards a vertex
// even when it joins that vertex to itself.
int common_neighbour(Store& s, int i, int j) {
  auto& cnt = s.scratch.paste.neighbours;
  for (int v = 0; v < s.NOV; ++v) cnt[v] = 0;
  for (int l = 0; l < s.NOE; ++l) {
    const int a = s.edge[l].first, b = s.edge[l].second;
    if (b == i) ++cnt[a];
    if (a == i && a != b) ++cnt[b];
    if (b == j) ++cnt[a];
    if (a == j && a != b) ++cnt[b];
  }
  for (int v = 0; v < s.NOV; ++v)
    if (cnt[v] == 2) return v;
  return -1;
}

// The fan rule for the common neighbour c: it must be a corner of 4 or 6
// faces, and 4 faces must not form an open fan (c on the border).
PasteCheck check_fan(const Store& s, int c) {
  int p[6], q[6];
  int n = 0;
  for (int f = 0; f < s.NOS; ++f) {
    const Face& t = s.face[f];
    int a, b;
    if (t[0] == c) {
      a = t[1], b = t[2];
    } else if (t[1] == c) {
      a = t[2], b = t[0];
    } else if (t[2] == c) {
      a = t[0], b = t[1];
    } else {
      continue;
    }
    if (n == 6) return PasteCheck::neighbour_corners;  // more than 6 faces
    p[n] = a;
    q[n] = b;
    ++n;
  }
  if (n != 4 && n != 6) return PasteCheck::neighbour_corners;
  if (n == 4) {
    // A pair whose first corner is no pair's second corner starts a chain of
    // faces round c; exactly one such start means the fan is open.
    int starts = 0;
    for (int k = 0; k < 4; ++k) {
      bool follows = false;
      for (int m = 0; m < 4; ++m)
        if (p[k] == q[m]) follows = true;
      if (!follows) ++starts;
    }
    if (starts == 1) return PasteCheck::neighbour_on_border;
  }
  return PasteCheck::ok;
}

// Removes repeated edges, keeping the first of each with its target and the
// order of the kept ones: the same result as repeatedly deleting the later of
// the first equal pair found, in linear time. Expects every edge stored with
// its lower index first and every index below NOV.
void remove_duplicate_edges(Store& s) {
  auto& count = s.scratch.paste.count;
  auto& tmp = s.scratch.paste.tmp;
  auto& order = s.scratch.paste.order;
  const int n = s.NOE;

  // Stable counting sorts by second, then by first: equal edges end up next
  // to each other in index order.
  for (int v = 0; v <= s.NOV; ++v) count[v] = 0;
  for (int l = 0; l < n; ++l) ++count[s.edge[l].second + 1];
  for (int v = 0; v < s.NOV; ++v) count[v + 1] += count[v];
  for (int l = 0; l < n; ++l) tmp[count[s.edge[l].second]++] = l;
  for (int v = 0; v <= s.NOV; ++v) count[v] = 0;
  for (int l = 0; l < n; ++l) ++count[s.edge[l].first + 1];
  for (int v = 0; v < s.NOV; ++v) count[v + 1] += count[v];
  for (int k = 0; k < n; ++k) order[count[s.edge[tmp[k]].first]++] = tmp[k];

  // tmp now marks the edges to drop.
  for (int l = 0; l < n; ++l) tmp[l] = 0;
  for (int k = 1; k < n; ++k)
    if (s.edge[order[k]] == s.edge[order[k - 1]]) tmp[order[k]] = 1;

  int m = 0;
  for (int l = 0; l < n; ++l) {
    if (tmp[l]) continue;
    s.edge[m] = s.edge[l];
    s.phi[m] = s.phi[l];
    ++m;
  }
  s.NOE = m;
}

}  // namespace

const char* paste_check_text(PasteCheck c) {
  switch (c) {
    case PasteCheck::ok:
      return "the vertices can be joined";
    case PasteCheck::no_such_vertex:
      return "no such vertex";
    case PasteCheck::same_vertex:
      return "a vertex cannot be joined to itself";
    case PasteCheck::bad_corners:
      return "each vertex must be a corner of exactly 2 or 4 faces";
    case PasteCheck::already_joined:
      return "an edge already joins the two vertices";
    case PasteCheck::neighbour_corners:
      return "their common neighbour must be a corner of exactly 4 or 6 faces";
    case PasteCheck::neighbour_on_border:
      return "their common neighbour lies on the border";
    case PasteCheck::no_room:
      return "no room for the joining edge";
  }
  return "unknown";
}

PasteCheck paste_check(Store& s, int i, int j) {
  if (i < 0 || i >= s.NOV || j < 0 || j >= s.NOV) return PasteCheck::no_such_vertex;
  if (i == j) return PasteCheck::same_vertex;
  if (s.conn_comp[i] != s.conn_comp[j]) fill_conn_comp(s);

  int ci, cj;
  count_corners(s, i, j, &ci, &cj);
  if ((ci != 2 && ci != 4) || (cj != 2 && cj != 4)) return PasteCheck::bad_corners;

  if (joined(s, i, j)) return PasteCheck::already_joined;

  const int c = common_neighbour(s, i, j);
  if (c >= 0) {
    const PasteCheck fan = check_fan(s, c);
    if (fan != PasteCheck::ok) return fan;
  }

  if (!(s.NOE + 1 < MAXNOE)) return PasteCheck::no_room;

  s.g_paste_i1 = i < j ? i : j;
  s.g_paste_i2 = i < j ? j : i;
  return PasteCheck::ok;
}

bool pasteverticesP(Store& s, int i, int j) { return paste_check(s, i, j) == PasteCheck::ok; }

void pastevertices1(Store& s) {
  const int a = s.g_paste_i1, b = s.g_paste_i2;
  const double ex = s.x[b] - s.x[a], ey = s.y[b] - s.y[a], ez = s.z[b] - s.z[a];
  s.g_norme = std::sqrt(ex * ex + ey * ey + ez * ez);
  // Vertices further apart than any surface of the store's size can reach
  // would need more steps than an int counts; such a paste simply never ends
  // unless something else ends it.
  const double steps = std::floor(s.g_norme / kPasteStep) + 1;
  s.g_pastestep = steps < kMostSteps ? static_cast<int>(steps) : kMostSteps;
  s.edge[s.NOE] = Edge{a, b};
  // The first tick asks for this same length; setting it now means a paste
  // ended before its first tick leaves a meaningful target behind.
  s.phi[s.NOE] = s.g_norme;
  ++s.NOE;
  if (s.apart.on) {
    // Kept apart, a paste the sheet blocks is given up and the sheet goes
    // back to where it began.
    ApartState& ap = s.apart;
    ap.paste_stall = 0;
    ap.paste_nov = s.NOV;
    for (int v = 0; v < s.NOV; ++v) ap.sx[v] = s.x[v], ap.sy[v] = s.y[v], ap.sz[v] = s.z[v];
  }
}

void give_up_paste(Store& s) {
  const int a = s.g_paste_i1, b = s.g_paste_i2;
  s.g_pasteevent = 0;
  const ApartState& ap = s.apart;
  if (ap.paste_nov == s.NOV)
    for (int v = 0; v < s.NOV; ++v) s.x[v] = ap.sx[v], s.y[v] = ap.sy[v], s.z[v] = ap.sz[v];
  if (s.NOE > 0 && s.edge[s.NOE - 1] == Edge{a, b}) --s.NOE;
  s.apart.paste_stall = 0;
  ++s.apart.pastes_given_up;
  forget_apart_positions(s);
  char text[128];
  std::snprintf(text, sizeof text, "paste of %d and %d given up: the sheet is in the way", a, b);
  set_message(s, text);
}

void pastevertices2(Store& s) {
  if (s.g_pasteevent <= 0) return;
  const int a = s.g_paste_i1, b = s.g_paste_i2;
  // The paste works on its joining edge by position. Should anything have
  // moved it or its pair without ending the paste, stop rather than shrink
  // some other edge and merge unrelated vertices.
  if (s.NOE < 1 || a < 0 || a >= b || b >= s.NOV || !(s.edge[s.NOE - 1] == Edge{a, b})) {
    end_paste(s);
    return;
  }

  double target = s.g_norme - (s.g_pasteevent - 1) * kPasteStep;
  if (target < 0) target = 0;
  s.phi[s.NOE - 1] = target;

  char text[64];
  std::snprintf(text, sizeof text, "Now pasting vertices...%d/%d", s.g_pasteevent, s.g_pastestep);
  set_message(s, text);

  s.z[a] += kLift;
  spread(s);
  if (!s.apart.on) {
    if (modify(s)) ++s.g_pasteevent;
  } else {
    // Kept apart, the surface may never settle everywhere while contacts
    // hold it; the paste steps on once its own joining edge has reached the
    // step's length, and is given up when it has not for many ticks.
    modify(s);
    const double ex = s.x[b] - s.x[a], ey = s.y[b] - s.y[a], ez = s.z[b] - s.z[a];
    const double d = std::sqrt(ex * ex + ey * ey + ez * ez) - target;
    if (d >= -0.05 && d <= 0.05) {
      ++s.g_pasteevent;
      s.apart.paste_stall = 0;
    } else if (++s.apart.paste_stall >= kPasteStallTicks) {
      give_up_paste(s);
      return;
    }
  }
  if (s.g_pasteevent > s.g_pastestep) {
    // Kept apart, the last step leaves the pair close but not on each other:
    // the merge moves b's faces to a's place, and must not take them through
    // the sheet on the way.
    if (s.apart.on && merge_would_cross(s, a, b)) {
      give_up_paste(s);
      return;
    }
    s.g_pasteevent = 0;
    pastevertices3(s);
  }
}

void pastevertices3(Store& s) {
  const int i1 = s.g_paste_i1, i2 = s.g_paste_i2;

  for (int v = i2 + 1; v < s.NOV; ++v) {
    s.x[v - 1] = s.x[v];
    s.y[v - 1] = s.y[v];
    s.z[v - 1] = s.z[v];
  }
  --s.NOV;
  --s.NOE;  // the joining edge

  auto renumber = [i1, i2](int v) { return v == i2 ? i1 : (v > i2 ? v - 1 : v); };
  for (int l = 0; l < s.NOE; ++l) {
    Edge& e = s.edge[l];
    e.first = renumber(e.first);
    e.second = renumber(e.second);
    if (e.first > e.second) {
      const int t = e.first;
      e.first = e.second;
      e.second = t;
    }
  }
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k) s.face[f][k] = renumber(s.face[f][k]);

  remove_duplicate_edges(s);
  modify(s);
  set_message(s, " ");
}

bool start_paste(Store& s, int i, int j, PasteCheck* why) {
  const PasteCheck c = paste_check(s, i, j);
  if (why) *why = c;
  if (c != PasteCheck::ok) return false;
  s.g_pasteevent = 1;
  s.g_purturb = 0;
  s.g_rotate = 0;
  makecopy(s);
  set_message(s, "Now pasting vertices...");
  pastevertices1(s);
  return true;
}

}  // namespace brimoss
