// Drawing: the back-to-front order against the counting rank that compares
// every face with every face, and one whole scene drawn into the 1024 x 768
// off-screen image, for sample 131 and for a surface of 6000 faces.
//
// The scene benchmarks need the toolkit and a display: run the benchmarks
// under a virtual X server, e.g.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/brimoss_bench
// Without a display they report an error and the order benchmarks still run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "model/samples.h"
#include "model/store.h"
#include "view/draw.h"

#ifdef BRIMOSS_BENCH_GUI
#include <wx/wx.h>

#include "view/wx/scene.h"
#endif

using namespace brimoss;

namespace {

// The order by counting: for each face, how many faces lie deeper, or as deep
// with a higher index.
void counting_order(Store& s) {
  for (int i = 0; i < s.NOS; ++i) {
    const Face& f = s.face[i];
    s.order[i] = 0;
    s.center[i] = (s.z[f[0]] + s.z[f[1]] + s.z[f[2]]) / 3.0;
  }
  for (int i = 0; i < s.NOS; ++i) {
    int r = 0;
    for (int j = 0; j < s.NOS; ++j)
      if (s.center[j] > s.center[i] || (s.center[j] == s.center[i] && j > i)) ++r;
    s.order[r] = i;
  }
}

// 1000 vertices on a crinkled 25 x 40 grid and 6000 faces over its cells, in
// seven shapes per cell so that faces overlap and show both sides. The same
// surface on every run.
std::unique_ptr<Store> surface_6000() {
  auto s = make_store();
  std::uint64_t st = 12345;
  auto rnd = [&st] {
    st = st * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(st >> 11) * (1.0 / 9007199254740992.0) - 0.5;
  };
  const int cols = 25, rows = 40;
  for (int j = 0; j < rows; ++j)
    for (int i = 0; i < cols; ++i) {
      const int v = s->NOV++;
      s->x[v] = -2.4 + 0.2 * i + 0.05 * rnd();
      s->y[v] = -1.8 + 0.09 * j + 0.05 * rnd();
      s->z[v] = 0.6 * std::sin(0.7 * i) * std::cos(0.4 * j) + 0.1 * rnd();
      s->conn_comp[v] = 1;
    }
  const int cells = (cols - 1) * (rows - 1);
  for (int k = 0; k < MAXNOS; ++k) {
    const int c = k % cells, shape = (k / cells) % 7;
    const int i = c % (cols - 1), j = c / (cols - 1);
    const int a = j * cols + i, b = a + 1, d = a + cols, e = d + 1;
    const int tri[7][3] = {{a, b, d}, {b, e, d}, {a, e, d}, {a, b, e},
                           {d, b, a}, {d, e, b}, {e, a, b}};
    s->face[s->NOS++] = Face{{tri[shape][0], tri[shape][1], tri[shape][2]}};
  }
  s->g_purtj = 500;
  return s;
}

std::unique_ptr<Store> sample_131() {
  auto s = make_store();
  initialize_store(*s);
  s->g_twincle = 0;
  return s;
}

void BM_order_literal(benchmark::State& state, std::unique_ptr<Store> (*make)()) {
  auto s = make();
  for (auto _ : state) {
    counting_order(*s);
    benchmark::DoNotOptimize(s->order.data());
  }
  state.counters["faces"] = s->NOS;
}

void BM_order_fast(benchmark::State& state, std::unique_ptr<Store> (*make)()) {
  auto s = make();
  for (auto _ : state) {
    depth_order(*s);
    benchmark::DoNotOptimize(s->order.data());
  }
  state.counters["faces"] = s->NOS;
}

BENCHMARK_CAPTURE(BM_order_literal, sample131, sample_131)->Name("DepthOrder131/literal");
BENCHMARK_CAPTURE(BM_order_fast, sample131, sample_131)->Name("DepthOrder131/fast");
BENCHMARK_CAPTURE(BM_order_literal, faces6000, surface_6000)->Name("DepthOrder6000/literal");
BENCHMARK_CAPTURE(BM_order_fast, faces6000, surface_6000)->Name("DepthOrder6000/fast");

#ifdef BRIMOSS_BENCH_GUI

// Brings the toolkit up once, on first use; false without a display.
bool toolkit_ready() {
  static const bool ready = [] {
    static char arg0[] = "brimoss_bench";
    static char* argv[] = {arg0, nullptr};
    int argc = 1;
    wxApp::SetInstance(new wxApp);
    return wxEntryStart(argc, argv);
  }();
  return ready;
}

enum class Way { Context, Pixels, Canvas };

// One paint's worth of drawing into the 1024 x 768 image: through the device
// context (as a printout draws), into the pixels, or as MyCanvas::DrawPoly
// does (whichever of the two suits the number of faces), status line included.
void BM_draw(benchmark::State& state, std::unique_ptr<Store> (*make)(), Way way) {
  if (!toolkit_ready()) {
    state.SkipWithError("needs a display: run under xvfb-run");
    return;
  }
  auto s = make();
  s->g_centerx = 512;
  s->g_centery = 384;
  wxBitmap bmp(1024, 768, -1);
  for (auto _ : state) {
    wxMemoryDC dc;
    dc.SelectObject(bmp);
    switch (way) {
      case Way::Context:
        DrawScene(dc, *s, true);
        break;
      case Way::Pixels:
        dc.SelectObject(wxNullBitmap);
        RasterScene(bmp, *s);
        dc.SelectObject(bmp);
        DrawStatus(dc, *s);
        break;
      case Way::Canvas:
        DrawCanvasScene(dc, bmp, *s);
        break;
    }
    dc.SelectObject(wxNullBitmap);
  }
  state.counters["faces"] = s->NOS;
  state.counters["draws_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// "literal" is the device context, "fast" the pixels: the printed ratio is
// what writing the pixels gains (below 1: what it loses) at that size.
BENCHMARK_CAPTURE(BM_draw, sample131, sample_131, Way::Context)
    ->Name("DrawScene131/literal")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_draw, sample131, sample_131, Way::Pixels)
    ->Name("DrawScene131/fast")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_draw, faces6000, surface_6000, Way::Context)
    ->Name("DrawScene6000/literal")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_draw, faces6000, surface_6000, Way::Pixels)
    ->Name("DrawScene6000/fast")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_draw, sample131, sample_131, Way::Canvas)
    ->Name("DrawPoly131")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_draw, faces6000, surface_6000, Way::Canvas)
    ->Name("DrawPoly6000")
    ->Unit(benchmark::kMillisecond);

#endif

}  // namespace
