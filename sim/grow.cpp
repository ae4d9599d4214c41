#include "sim/grow.h"

#include <cmath>
#include <string>
#include <vector>

#include "model/undo.h"
#include "sim/contacts.h"
#include "sim/relax.h"

namespace brimoss {

namespace {

struct Pair {
  int a, b;
};

// The two other corners of a face that contains c, in the face's own cyclic
// order starting after c.
Pair fan_pair(const Face& f, int c) {
  if (f[0] == c) return {f[1], f[2]};
  if (f[1] == c) return {f[2], f[0]};
  return {f[0], f[1]};
}

struct Place {
  int before, middle, after;
};

// Where the cell goes, from the corner count and the fan pairs of the vertex.
bool place_cell(int count, Pair* p, int npairs, Place* out) {
  // A face naming the vertex twice gives fewer pairs than corners; such a fan
  // has no sensible chain, and reading pairs that were never collected would
  // place the cell at random.
  if (npairs != count) return false;
  if (count == 2) {
    if (p[0].b == p[1].a) {
      *out = {p[0].a, p[0].b, p[1].b};
      return true;
    }
    if (p[0].a == p[1].b) {
      *out = {p[1].a, p[0].a, p[0].b};
      return true;
    }
    return false;
  }
  if (count != 4) return false;
  // Bring a pair that starts the chain to the front, then its successor
  // second.
  for (int i = 1; i < 4; ++i) {
    bool continues = false;
    for (int j = 0; j < 4; ++j)
      if (p[i].a == p[j].b) continues = true;
    if (!continues) {
      std::swap(p[i], p[0]);
      break;
    }
  }
  for (int i = 2; i < 4; ++i) {
    if (p[i].a == p[0].b) {
      std::swap(p[i], p[1]);
      break;
    }
  }
  int after;
  if (p[1].b == p[2].a)
    after = p[2].b;
  else if (p[1].b == p[3].a)
    after = p[3].b;
  else
    return false;
  *out = {p[1].a, p[1].b, after};
  return true;
}

bool has_room(const Store& s) {
  return s.NOV + 7 < MAXNOV && s.NOE + 14 < MAXNOE && s.NOS + 7 < MAXNOS;
}

// The chord across the fan gives the new cell its width. One whose length
// comes out as zero (all components zero, or so small that their squares
// vanish) has no direction to scale, and dividing by it would make the new
// vertices non-finite.
bool chord_is_zero(const Store& s, const Place& pl) {
  const double vx = s.x[pl.after] - s.x[pl.before], vy = s.y[pl.after] - s.y[pl.before],
               vz = s.z[pl.after] - s.z[pl.before];
  if (vx == 0 && vy == 0 && vz == 0) return true;
  const double len = std::sqrt(vx * vx + vy * vy + vz * vz);
  return !(len > 0) || !std::isfinite(len);
}

// The fan of c by scanning every face; false when c is not on 2 or 4 corners.
bool collect_fan(const Store& s, int c, Pair* pairs, int* count, int* npairs) {
  if (c < 0 || c >= s.NOV) return false;
  *count = 0;
  for (int f = 0; f < s.NOS; ++f)
    for (int k = 0; k < 3; ++k)
      if (s.face[f][k] == c) ++*count;
  if (*count != 2 && *count != 4) return false;
  *npairs = 0;
  for (int f = 0; f < s.NOS && *npairs < 4; ++f) {
    const Face& fc = s.face[f];
    if (fc[0] == c || fc[1] == c || fc[2] == c) pairs[(*npairs)++] = fan_pair(fc, c);
  }
  return true;
}

bool find_place(const Store& s, int c, Place* pl) {
  Pair pairs[4] = {};
  int count = 0, npairs = 0;
  return collect_fan(s, c, pairs, &count, &npairs) && place_cell(count, pairs, npairs, pl) &&
         !chord_is_zero(s, *pl) && has_room(s);
}

void append_cell(Store& s, int c, const Place& pl) {
  const int N = s.NOV, E = s.NOE, S = s.NOS;
  const double ux = s.x[pl.middle] - s.x[c], uy = s.y[pl.middle] - s.y[c],
               uz = s.z[pl.middle] - s.z[c];
  double vx = s.x[pl.after] - s.x[pl.before], vy = s.y[pl.after] - s.y[pl.before],
         vz = s.z[pl.after] - s.z[pl.before];
  const double len = std::sqrt(vx * vx + vy * vy + vz * vz);
  const double spoke = std::sin(mypi / 180 * 63);
  vx = vx * spoke / len;
  vy = vy * spoke / len;
  vz = vz * spoke / len;

  for (int k = 1; k <= 6; ++k) {
    const double t = k * 6.28318 / 7;
    const double ct = std::cos(t), st = std::sin(t);
    s.x[N + k - 1] = s.x[c] - ux + ct * ux + st * vx;
    s.y[N + k - 1] = s.y[c] - uy + ct * uy + st * vy;
    s.z[N + k - 1] = s.z[c] - uz + ct * uz + st * vz;
  }
  s.x[N + 6] = s.x[c] - ux;
  s.y[N + 6] = s.y[c] - uy;
  s.z[N + 6] = s.z[c] - uz;
  // Unlabelled until the next component detection.
  for (int k = 0; k < 7; ++k) s.conn_comp[N + k] = 0;

  const double a = phi_a(), b = phi_b();
  s.edge[E] = {c, N};
  s.phi[E] = a;
  for (int j = 0; j <= 4; ++j) {
    s.edge[E + 1 + j] = {N + j, N + j + 1};
    s.phi[E + 1 + j] = a;
  }
  s.edge[E + 6] = {c, N + 5};
  s.phi[E + 6] = a;
  s.edge[E + 7] = {c, N + 6};
  s.phi[E + 7] = b;
  for (int j = 0; j <= 5; ++j) {
    s.edge[E + 8 + j] = {N + j, N + 6};
    s.phi[E + 8 + j] = b;
  }

  const GrownCell at_c = grown_cell(N);
  s.face[S] = {{c, at_c.after, at_c.centre}};
  for (int j = 1; j <= 5; ++j) s.face[S + j] = {{N + j - 1, N + j, N + 6}};
  s.face[S + 6] = {{at_c.before, c, at_c.centre}};

  s.NOV += 7;
  s.NOE += 14;
  s.NOS += 7;
}

}  // namespace

std::string why_no_cell(const Store& s, int c) {
  if (c < 0 || c >= s.NOV) return "no vertex " + std::to_string(c);
  // A full store refuses every vertex, so say that first.
  if (s.NOV + 7 >= MAXNOV) return "store full: " + std::to_string(s.NOV) + " vertices";
  if (s.NOE + 14 >= MAXNOE) return "store full: " + std::to_string(s.NOE) + " edges";
  if (s.NOS + 7 >= MAXNOS) return "store full: " + std::to_string(s.NOS) + " faces";
  const std::string head = "no cell fits at vertex " + std::to_string(c) + ": ";
  Pair pairs[4] = {};
  int count = 0, npairs = 0;
  if (!collect_fan(s, c, pairs, &count, &npairs))
    return head + "it is on " + std::to_string(count) + (count == 1 ? " face" : " faces");
  Place pl;
  if (!place_cell(count, pairs, npairs, &pl)) return head + "its faces do not form one fan";
  if (chord_is_zero(s, pl)) return head + "its fan has no width";
  if (s.apart.on) return head + "it would cross the sheet";
  return {};
}

bool can_grow_at(const Store& s, int c) {
  Place pl;
  return find_place(s, c, &pl);
}

namespace {

// Kept apart, the cell is tried on first: turned and shrunk until it crosses
// nothing. Its new positions go to xyz; false, and the surface as it was,
// when no placement crosses nothing.
bool find_apart_placement(Store& s, int c, const Place& pl, double (*xyz)[3]) {
  const int nov = s.NOV, noe = s.NOE, nos = s.NOS;
  append_cell(s, c, pl);
  const bool ok = place_new_cell_apart(s, c);
  for (int k = 0; k < 7; ++k) {
    xyz[k][0] = s.x[nov + k];
    xyz[k][1] = s.y[nov + k];
    xyz[k][2] = s.z[nov + k];
  }
  s.NOV = nov;
  s.NOE = noe;
  s.NOS = nos;
  return ok;
}

}  // namespace

bool attach_new_cell(Store& s) {
  const int c = s.g_purtj;
  Place pl;
  if (!find_place(s, c, &pl)) return false;
  double placed[7][3];
  if (s.apart.on && !find_apart_placement(s, c, pl, placed)) return false;
  end_paste(s);
  makecopy(s);
  const int n = s.NOV;
  append_cell(s, c, pl);
  if (s.apart.on)
    for (int k = 0; k < 7; ++k) {
      s.x[n + k] = placed[k][0];
      s.y[n + k] = placed[k][1];
      s.z[n + k] = placed[k][2];
    }
  return true;
}

bool addnewpolygon(Store& s) {
  if (!attach_new_cell(s)) return false;
  modify(s);
  return true;
}

int grow_border(Store& s, int n) {
  // The faces of every vertex, in face order, rebuilt after each cell, so
  // finding the lowest vertex that takes a cell costs one pass over the faces
  // rather than one per vertex tried.
  std::vector<int> start, faces;
  int grown = 0;
  for (; grown < n; ++grown) {
    if (!has_room(s)) break;
    start.assign(s.NOV + 1, 0);
    for (int f = 0; f < s.NOS; ++f)
      for (int k = 0; k < 3; ++k) {
        const int v = s.face[f][k];
        if (v >= 0 && v < s.NOV) ++start[v + 1];
      }
    for (int v = 0; v < s.NOV; ++v) start[v + 1] += start[v];
    faces.assign(start[s.NOV], 0);
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (int f = 0; f < s.NOS; ++f)
      for (int k = 0; k < 3; ++k) {
        const int v = s.face[f][k];
        if (v >= 0 && v < s.NOV) faces[fill[v]++] = f;
      }

    int found = -1;
    for (int v = 0; v < s.NOV && found < 0; ++v) {
      const int count = start[v + 1] - start[v];
      if (count != 2 && count != 4) continue;
      Pair pairs[4] = {};
      int npairs = 0;
      // A face naming v twice is listed twice; its pair counts once.
      for (int i = start[v]; i < start[v + 1]; ++i)
        if (i == start[v] || faces[i] != faces[i - 1])
          pairs[npairs++] = fan_pair(s.face[faces[i]], v);
      Place pl;
      if (place_cell(count, pairs, npairs, &pl) && !chord_is_zero(s, pl)) found = v;
    }
    if (found < 0) break;
    s.g_purtj = found;
    if (!addnewpolygon(s)) break;
  }
  return grown;
}

}  // namespace brimoss
