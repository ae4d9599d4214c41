// A full repaint into the off-screen image, against the drawing as its steps
// read (quadratic depth rank, a new brush for every face, pen set for every
// face), and every branch of the timer's tick followed by the repaint it
// requests.
#include <benchmark/benchmark.h>
#include <wx/dcmemory.h>
#include <wx/wx.h>

#include <memory>
#include <vector>

#include "bench/ticks.h"
#include "bench/workloads.h"
#include "bench/wx/display.h"
#include "testing/literal.h"
#include "view/draw.h"
#include "view/wx/canvas.h"
#include "view/wx/scene.h"

using namespace brimoss;
using namespace brimoss::bench;

namespace {

// The drawing as first written down: an array of NOS brushes made for every
// repaint, one per face, and the pen chosen anew for every face.
void DrawPolyLiteral(wxDC& dc, Store& s) {
  dc.SetPen(*wxWHITE_PEN);
  dc.SetBrush(wxBrush(BackgroundColour(s), wxBRUSHSTYLE_SOLID));
  dc.DrawRectangle(0, 0, 2 * s.g_centerx + 1, 2 * s.g_centery + 1);
  testing::literal_depth_order(s);
  project(s);
  std::vector<wxBrush> brushes(s.NOS);
  wxPoint pts[3];
  for (int k = 0; k < s.NOS; ++k) {
    const int f = s.order[k];
    for (int j = 0; j < 3; ++j) pts[j] = wxPoint(s.gx[s.face[f][j]], s.gy[s.face[f][j]]);
    const RGB c = draw_colour(s, k);
    brushes[k] = wxBrush(wxColour(c.r, c.g, c.b), wxBRUSHSTYLE_SOLID);
    dc.SetBrush(brushes[k]);
    dc.SetPen(outline_white(s, f) ? *wxWHITE_PEN : *wxBLACK_PEN);
    dc.DrawPolygon(3, pts, 0, 0, wxODDEVEN_RULE);
  }
  dc.SetBrush(wxNullBrush);
  twinkle_step(s);
  dc.DrawText(wxString::FromUTF8(s.messagetxt), 0, 0);
}

// What the canvas's paint handler does before its blit.
void Repaint(Store& s) {
  wxMemoryDC mdc;
  mdc.SelectObject(ScreenBitmap());
  DrawScene(mdc, s, true);
  mdc.SelectObject(wxNullBitmap);
}

// The same through the toolkit's polygons, as every repaint once went.
void RepaintShapes(Store& s) {
  wxMemoryDC mdc;
  mdc.SelectObject(ScreenBitmap());
  DrawSceneShapes(mdc, s);
  mdc.DrawText(wxString::FromUTF8(s.messagetxt), 0, 0);
  mdc.SelectObject(wxNullBitmap);
}

void RepaintLiteral(Store& s) {
  wxMemoryDC mdc;
  mdc.SelectObject(ScreenBitmap());
  DrawPolyLiteral(mdc, s);
  mdc.SelectObject(wxNullBitmap);
}

template <void (*Paint)(Store&)>
void draw_bench(benchmark::State& st, Load w) {
  if (!DisplayReady()) {
    st.SkipWithError("no display (run under xvfb-run)");
    return;
  }
  auto s = std::make_unique<Store>(workload(w));
  for (auto _ : st) {
    Paint(*s);
    benchmark::DoNotOptimize(s->gx[0]);
  }
  st.counters["faces"] = s->NOS;
}

const bool registered = [] {
  for (Load w : {Load::grown, Load::capacity, Load::sample131, Load::sewn, Load::sewn_apart}) {
    add("draw_scene", w, "fast", draw_bench<Repaint>)->Unit(benchmark::kMillisecond);
    add("draw_scene", w, "literal", draw_bench<RepaintLiteral>)->Unit(benchmark::kMillisecond);
    add("draw_scene_toolkit", w, "fast", draw_bench<RepaintShapes>)->Unit(benchmark::kMillisecond);
  }
  // Every branch of the timer's tick followed by the repaint it requests.
  add_tick_benches("", Repaint, DisplayReady);
  return true;
}();

}  // namespace
