#include "view/wx/scene.h"

#include <cairo.h>
#include <wx/brush.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/pen.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "view/draw.h"
#include "view/raster.h"

using brimoss::RGB;
using brimoss::Store;

namespace {

// Sends the scene's shapes to a device context.
class DcPainter : public brimoss::ScenePainter {
 public:
  explicit DcPainter(wxDC& dc) : dc_(dc) {
    // Flat faces with crisp one-pixel outlines, as on a plain raster context.
    if (wxGraphicsContext* gc = dc.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_NONE);
    black_.SetJoin(wxJOIN_BEVEL);
    white_.SetJoin(wxJOIN_BEVEL);
  }
  ~DcPainter() override {
    dc_.SetBrush(wxNullBrush);
    // Text drawn afterwards (the status line) keeps its usual smoothing.
    if (wxGraphicsContext* gc = dc_.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
  }

  void background(int w, int h, RGB fill) override {
    dc_.SetPen(*wxWHITE_PEN);
    dc_.SetBrush(wxBrush(wxColour(fill.r, fill.g, fill.b), wxBRUSHSTYLE_SOLID));
    dc_.DrawRectangle(0, 0, w, h);
    lastPen_ = -1;
    last_ = RGB{-1, -1, -1};
  }

  void triangle(const int xs[3], const int ys[3], RGB fill, bool whiteOutline) override {
    if (!(fill == last_)) {
      // Two brushes taken in turn: the one recoloured is never the one the
      // context still holds, so recolouring does not copy it.
      current_ ^= 1;
      brushes_[current_].SetColour(fill.r, fill.g, fill.b);
      dc_.SetBrush(brushes_[current_]);
      last_ = fill;
    }
    const int pen = whiteOutline ? 1 : 0;
    if (pen != lastPen_) {
      dc_.SetPen(pen ? white_ : black_);
      lastPen_ = pen;
    }
    const wxPoint pts[3] = {{xs[0], ys[0]}, {xs[1], ys[1]}, {xs[2], ys[2]}};
    dc_.DrawPolygon(3, pts, 0, 0, wxODDEVEN_RULE);
  }

 private:
  wxDC& dc_;
  wxBrush brushes_[2] = {wxBrush(*wxBLACK, wxBRUSHSTYLE_SOLID),
                         wxBrush(*wxBLACK, wxBRUSHSTYLE_SOLID)};
  int current_ = 0;
  RGB last_{-1, -1, -1};
  int lastPen_ = -1;
  // One-pixel outlines like the stock pens, with bevelled rather than round
  // corners, which cost the renderer an arc per corner.
  wxPen black_{*wxBLACK, 1, wxPENSTYLE_SOLID};
  wxPen white_{*wxWHITE, 1, wxPENSTYLE_SOLID};
};

bool Whole(double v) { return std::fabs(v) < 1e8 && v == std::floor(v); }

bool Blank(const char* text) {
  for (; *text; ++text)
    if (*text != ' ') return false;
  return true;
}

}  // namespace

wxColour BackgroundColour(const Store& s) { return wxColour(s.bgcolR, s.bgcolG, s.bgcolB); }

void DrawStatus(wxDC& dc, const Store& s) {
  // A blank line on a see-through text background leaves no mark; laying it
  // out would cost about as much as painting a thousand faces.
  if (Blank(s.messagetxt) && dc.GetBackgroundMode() == wxBRUSHSTYLE_TRANSPARENT) return;
  dc.DrawText(wxString::FromUTF8(s.messagetxt), 0, 0);
}

bool PaintScenePixels(wxDC& dc, Store& s) {
  // On GTK 3 a memory context is cairo drawing into an image surface whose
  // pixels can be written directly, with no copy in or out, provided the
  // context neither scales nor moves by part of a pixel and clips to at most
  // one rectangle.
  wxGraphicsContext* gc = dc.GetGraphicsContext();
  if (!gc || gc->GetRenderer() != wxGraphicsRenderer::GetCairoRenderer()) return false;
  cairo_t* cr = static_cast<cairo_t*>(gc->GetNativeContext());
  if (!cr || cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
  cairo_surface_t* target = cairo_get_target(cr);
  if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE) return false;
  const cairo_format_t format = cairo_image_surface_get_format(target);
  if (format != CAIRO_FORMAT_RGB24 && format != CAIRO_FORMAT_ARGB32) return false;
  double offX = 0, offY = 0;
  cairo_surface_get_device_offset(target, &offX, &offY);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  if (offX != 0 || offY != 0 || m.xx != 1 || m.yy != 1 || m.xy != 0 || m.yx != 0 || !Whole(m.x0) ||
      !Whole(m.y0))
    return false;

  cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
  const bool oneRect = clip->status == CAIRO_STATUS_SUCCESS && clip->num_rectangles == 1;
  cairo_rectangle_t r{};
  if (oneRect) r = clip->rectangles[0];
  cairo_rectangle_list_destroy(clip);
  if (!oneRect || !Whole(r.x) || !Whole(r.y) || !Whole(r.width) || !Whole(r.height)) return false;

  brimoss::PixelTarget t;
  t.width = cairo_image_surface_get_width(target);
  t.height = cairo_image_surface_get_height(target);
  t.stride = cairo_image_surface_get_stride(target) / 4;
  t.originX = static_cast<int>(m.x0);
  t.originY = static_cast<int>(m.y0);
  // The clip rectangle is in the context's coordinates.
  t.clipX0 = static_cast<int>(r.x) + t.originX;
  t.clipY0 = static_cast<int>(r.y) + t.originY;
  t.clipX1 = static_cast<int>(r.x + r.width) + t.originX;
  t.clipY1 = static_cast<int>(r.y + r.height) + t.originY;

  cairo_surface_flush(target);
  t.pixels = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(target));
  if (!t.pixels) return false;
  brimoss::RasterPainter painter(t);
  brimoss::draw_scene(s, painter);
  cairo_surface_mark_dirty(target);
  return true;
}

void DrawSceneShapes(wxDC& dc, Store& s) {
  DcPainter painter(dc);
  brimoss::draw_scene(s, painter);
}

void DrawScene(wxDC& dc, Store& s, bool withStatus) {
  if (!PaintScenePixels(dc, s)) DrawSceneShapes(dc, s);
  if (withStatus) DrawStatus(dc, s);
}

void RasterScene(wxBitmap& bmp, Store& s) {
  wxMemoryDC dc(bmp);
  if (!PaintScenePixels(dc, s)) DrawSceneShapes(dc, s);
  dc.SelectObject(wxNullBitmap);
}
