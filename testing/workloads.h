// The surfaces the tests and the benchmarks run the program on, made in code so
// that every run sees the same work:
//   grown     sample 128 grown cell by cell round its border (988 vertices,
//             1974 edges, 987 faces), the size a user reaches by growing;
//   capacity  the store filled exactly: 1000 vertices, 3000 edges and 6000
//             faces, opened through the file reader;
//   sewn      sample 128 grown to capacity as a sewn sheet (grow_sheet: about
//             210 cells, 996 vertices, 2493 edges, 1498 faces), the realistic
//             full-size surface;
//   sample131 the surface the program starts with;
//   sewn_apart the sewn sheet grown kept apart;
//   tangled   a smaller sheet grown kept apart with a copy left crossing it.
// The batch tool reaches the grown surface with `sample 128` and
// `grow-border 140`.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss::testing {

// A torus of 25 x 40 vertices, each grid square cut into two triangles, every
// triangle listed three times (its corners rotated by one place each time, so
// the three copies face the same way). Every edge therefore lies on six
// faces. Edges round the tube are kind a, the rest kind b. One piece, all
// edges lower index first; coordinates written with five decimals.
std::string capacity_surface_text();

// Opens that text as File > Open would (relaxes, labels, starts the twinkle).
void build_capacity_surface(Store& s);

// Sample 128 loaded, then grown by grow_border with this many cells.
constexpr int kGrownCells = 140;
void build_grown_surface(Store& s);

// Sample n as written, without the relaxation that loading it runs.
void build_raw_sample(Store& s, int n);

enum class Load { grown, capacity, sample131, sewn, sewn_apart, tangled };

// Sample 128 grown as a sewn sheet until no cell fits.
void build_sewn_sheet(Store& s);

// The same grown kept apart (the store full, no two parts crossing), the
// setting left on.
void build_sewn_apart_sheet(Store& s);

// Sample 128 grown kept apart by kTangledCells cells, with a copy added over
// it (some 570 vertices, the two pieces crossing each other as the user left
// them), relaxed, the setting left on.
constexpr int kTangledCells = 58;
void build_tangled_sheet(Store& s);

const char* load_name(Load w);

// The off-screen image's size, which the benchmarks draw into.
constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 768;

// Zoom and origin that fit the surface's projection into a w x h canvas.
void fit_view(Store& s, int w, int h);

// The workload as the benchmarks run it: built, no animation running, the
// current vertex in the middle of the vertex list and the view fitted to the
// canvas, so that a drawing fills the whole picture.
void build_workload(Store& s, Load w);

// Two vertices of `s` that are corners of 2 or 4 faces each and share a
// neighbour without being joined, so that the paste check runs every rule on
// them; the shared neighbour the highest-numbered one possible, where a search
// that stops at the first match costs most. False when there are none.
bool find_pair_with_common_neighbour(const Store& s, int* i, int* j);

// Makes `s` ready for the merge that ends a paste: the two vertices at either
// end of a path of two edges from edge 0's first vertex become g_paste_i1 and
// g_paste_i2 and their joining edge is appended, so that the merge turns the
// edges to their common neighbours into duplicates. False (and nothing
// changed) when there is no such path or no room for the edge.
bool prepare_merge(Store& s);

}  // namespace brimoss::testing
