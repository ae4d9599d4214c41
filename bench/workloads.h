// The surfaces every benchmark runs on, made in code so that each run
// measures the same work:
//   grown     sample 128 grown cell by cell round its border (988 vertices,
//             1974 edges, 987 faces), the size a user reaches by growing;
//   capacity  the store filled exactly: 1000 vertices, 3000 edges and 6000
//             faces, opened through the file reader;
//   sample131 the surface the program starts with.
// Each is built once, with no animation running, the current vertex in the
// middle of the vertex list and the view fitted to a 1024 x 768 canvas (the
// off-screen image's size), so the drawing fills the whole picture.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "model/store.h"

namespace brimoss::bench {

enum class Load { grown, capacity, sample131 };

constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 768;

const char* load_name(Load w);
const Store& workload(Load w);

// Zoom and origin that fit the surface's projection into a w x h canvas.
void fit_view(Store& s, int w, int h);

// Aborts the run, naming `what`, unless the two stores hold the same
// positions to the last bit: a fast form must give its reference's results.
void require_same_positions(const Store& a, const Store& b, const char* what);

// Two vertices of `s` that a paste accepts, a little over an edge apart, so
// that the paste runs through a dozen or more steps. False when there are none.
bool find_paste_pair(const Store& s, int* i, int* j);

// Registers `fn` as "<name>/<workload>/<form>" (form "fast" or "literal"),
// the naming the ratio table at the end pairs up.
benchmark::internal::Benchmark* add(const std::string& name, Load w, const char* form,
                                    std::function<void(benchmark::State&, Load)> fn);

}  // namespace brimoss::bench
