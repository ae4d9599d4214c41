// The surface store: the one home of the surface and of the state that the
// commands, the mouse, the timer and the drawing share. Every array is sized to
// its capacity when the store is created and is never resized, so nothing on
// the animation path allocates.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

namespace brimoss {

constexpr int MAXNOV = 1000;
constexpr int MAXNOE = 3000;
constexpr int MAXNOS = 6000;
constexpr int MAXCONNCOMP = 100;

// The program's own pi; every degree conversion goes through it, so the target
// lengths below are not the sines of the exact angles.
constexpr double mypi = 3.141592653;

// Target lengths of the two edge kinds and the threshold that tells them apart
// when a surface is written back.
double phi_a();      // sin(mypi / 180 * 54)
double phi_b();      // sin(mypi / 180 * 63)
double phi_split();  // sin(mypi / 180 * 60)

struct Edge {
  int first = 0;
  int second = 0;
  bool operator==(const Edge& o) const { return first == o.first && second == o.second; }
};

struct Face {
  int v[3] = {0, 0, 0};
  int& operator[](int i) { return v[i]; }
  int operator[](int i) const { return v[i]; }
  bool operator==(const Face& o) const {
    return v[0] == o.v[0] && v[1] == o.v[1] && v[2] == o.v[2];
  }
};

struct Store {
  // Counters.
  int NOV = 0;
  int NOE = 0;
  int NOS = 0;
  int NOcomp = 0;
  bool filledconn_comp = false;

  // Vertices.
  std::array<double, MAXNOV> x{}, y{}, z{};
  std::array<double, MAXNOV> dx{}, dy{}, dz{};
  std::array<int, MAXNOV> gx{}, gy{};
  std::array<int, MAXNOV> conn_comp{};  // 0 until a labelling reaches the vertex

  // Edges.
  std::array<Edge, MAXNOE> edge{};
  std::array<double, MAXNOE> phi{};
  std::array<double, MAXNOE> edgelength{};

  // Faces.
  std::array<Face, MAXNOS> face{};
  std::array<double, MAXNOS> center{};
  std::array<int, MAXNOS> order{};

  // Components.
  std::array<bool, MAXCONNCOMP> hilighted{};
  std::array<double, MAXCONNCOMP> comp_centerx{}, comp_centery{}, comp_centerz{};

  // One-level undo snapshot; _NOV == 0 means there is none.
  int _NOV = 0, _NOE = 0, _NOS = 0;
  std::array<double, MAXNOV> _x{}, _y{}, _z{};
  std::array<Edge, MAXNOE> _edge{};
  std::array<double, MAXNOE> _phi{};
  std::array<Face, MAXNOS> _face{};

  // View and interaction settings.
  double g_rate = 100.0;
  int g_centerx = 320, g_centery = 220;
  double g_hangle = 0.0, g_vangle = 0.0;
  int g_rotate = 0;
  int g_purturb = 1;
  int g_purtj = 1;
  bool touch_purturb = true;
  int g_buru = 0;
  int g_twincle = 0;
  int g_pasteevent = 0;
  int g_paste_i1 = 0, g_paste_i2 = 0;
  double g_norme = 0.0;
  int g_pastestep = 0;
  int g_dragpointx = 0, g_dragpointy = 0;
  int g_dragcomponent = 0;
  int g_Lmousedown = 0, g_Rmousedown = 0;
  char messagetxt[256] = {0};

  // Colours, one int per channel.
  int basecolR = 255, basecolG = 0, basecolB = 128;
  int backcolR = 0, backcolG = 255, backcolB = 127;
  int modifycolR = 0, modifycolG = 255, modifycolB = 0;
  int backmodifycolR = 255, backmodifycolG = 0, backmodifycolB = 255;
  int bgcolR = 255, bgcolG = 255, bgcolB = 255;

  // Working storage of the fast relaxation and the component labelling:
  // sized once like everything else so that no pass allocates.
  std::array<int, MAXNOE> work_order{};
  std::array<int, MAXNOE> work_tmp{};
  std::array<int, MAXNOV + 1> work_count{};
  std::array<int, 2 * MAXNOE> work_adj{};
  std::array<int, MAXNOV + 1> work_adjstart{};
  std::array<int, MAXNOV> work_queue{};
  // The relaxation's walk: the movable edges (first < second) in the order a
  // scan over all vertex pairs meets them, the other edges apart, and the
  // edge list they were made from, so that passes over an unchanged edge list
  // reuse them.
  struct RelaxStep {
    int j, k, l;
  };
  std::array<RelaxStep, MAXNOE> relax_walk{};
  std::array<int, MAXNOE> relax_fixed{};
  std::array<Edge, MAXNOE> relax_edges{};
  int relax_noe = -1, relax_nov = -1, relax_moving = 0, relax_nfixed = 0;
  // For the vector passes: the same walk by columns (offsets 4 * j and 4 * k
  // of the lower and upper end's rows, and the edge), followed by the edges
  // that do not move (ends as stored); for each vertex, where its run of walk
  // edges as lower end starts, and its walk edges as upper end (offsets 4 * n
  // of their pulls, in walk order, from relax_in_start[v]); the targets and
  // lengths in walk order (and the lengths the tolerance check took from the
  // positions the next pass starts from); and rows of four doubles (x, y, z,
  // unused): the positions, each vertex's sum of pulls and each walk edge's
  // pull.
  std::array<std::uint32_t, MAXNOE> relax_j{}, relax_k{};
  std::array<int, MAXNOE> relax_l{};
  std::array<int, MAXNOV + 1> relax_out_start{}, relax_in_start{};
  std::array<std::uint32_t, MAXNOE> relax_in{};
  alignas(32) std::array<double, MAXNOE> relax_phi{}, relax_len{}, relax_next_len{};
  alignas(32) std::array<double, 4 * MAXNOV> relax_pos{};
  alignas(32) std::array<double, 4 * MAXNOV> relax_sum{};
  alignas(32) std::array<double, 4 * MAXNOE> relax_pull{};
  // Stiffness meeting at each vertex, for the relaxation's held-back step.
  std::array<double, MAXNOV> work_stiffness{};
  // Working storage of the spreading sweep: faces on each edge, and the
  // corner pairs of every face and the edges, both sorted by vertex pair.
  std::array<int, MAXNOE> work_s1{}, work_s2{};
  std::array<int, 3 * MAXNOS> work_pairs{}, work_pairs_tmp{};
  std::array<int, MAXNOE> work_edges_sorted{};
};

// A fresh store in the state the program has before start-up code runs.
std::unique_ptr<Store> make_store();

// Puts a store back into that state without reallocating it.
void reset_store(Store& s);

// The program's one store, created on first use.
Store& the_store();

// Writes the status line; the text is cut to fit.
void set_message(Store& s, const char* text);

// Ends a running paste where it stands: the joining edge stays as an ordinary
// edge with the target it has reached, and no later tick touches the surface.
// Every operation that replaces the surface or renumbers or appends vertices
// or edges calls this first, since the paste refers to its joining edge and its
// pair by position. Does nothing when no paste runs.
void end_paste(Store& s);

}  // namespace brimoss
