// Pictures of the view at the benchmarks' canvas size (1024 x 768): the
// pixels at that size and at twice it, the PNG file the batch tool writes
// (pixels and libpng's encoding), and the SVG drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/workloads.h"
#include "cli/picture_file.h"
#include "view/picture.h"
#include "view/svg.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

PictureFrame canvas(const Store& s, int magnify) {
  return {kCanvasWidth, kCanvasHeight, s.g_centerx, s.g_centery, magnify};
}

template <int Magnify>
void pixels_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    const Picture p = render_picture(*s, canvas(*s, Magnify));
    benchmark::DoNotOptimize(p.pixels.data());
  }
  st.counters["faces"] = s->NOS;
}

template <int Magnify>
void png_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  std::string bytes, err;
  for (auto _ : st) {
    if (!picture_bytes(*s, PictureFormat::Png, canvas(*s, Magnify), cli::png_bytes, bytes, err))
      st.SkipWithError(err.c_str());
    benchmark::DoNotOptimize(bytes.data());
  }
  st.counters["bytes"] = static_cast<double>(bytes.size());
}

void svg_bench(benchmark::State& st, Load w) {
  auto s = std::make_unique<Store>(workload(w));
  std::string svg;
  for (auto _ : st) {
    svg = svg_picture(*s, canvas(*s, 1));
    benchmark::DoNotOptimize(svg.data());
  }
  st.counters["bytes"] = static_cast<double>(svg.size());
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity}) {
    add("picture_pixels_1x", w, "fast", pixels_bench<1>)->Unit(benchmark::kMillisecond);
    add("picture_pixels_2x", w, "fast", pixels_bench<2>)->Unit(benchmark::kMillisecond);
    add("picture_png_1x", w, "fast", png_bench<1>)->Unit(benchmark::kMillisecond);
    add("picture_png_2x", w, "fast", png_bench<2>)->Unit(benchmark::kMillisecond);
    add("picture_svg", w, "fast", svg_bench)->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
