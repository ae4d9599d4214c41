#include "view/wx/scene.h"

#include <wx/brush.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/pen.h>
#include <wx/rawbmp.h>

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
    if (wxGraphicsContext* gc = dc_.GetGraphicsContext())
      gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
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

template <class PixelData>
bool RasterInto(wxBitmap& bmp, Store& s) {
  PixelData data(bmp);
  if (!data) return false;
  typename PixelData::Iterator it(data);
  using Format = typename PixelData::Iterator::PixelFormat;
  brimoss::PixelTarget t;
  t.data = reinterpret_cast<std::uint8_t*>(it.m_ptr);
  t.width = data.GetWidth();
  t.height = data.GetHeight();
  t.stride = data.GetRowStride();
  t.bytes = Format::SizePixel;
  t.red = Format::RED;
  t.green = Format::GREEN;
  t.blue = Format::BLUE;
  brimoss::RasterPainter painter(t);
  brimoss::draw_scene(s, painter);
  return true;
}

}  // namespace

wxColour BackgroundColour(const Store& s) { return wxColour(s.bgcolR, s.bgcolG, s.bgcolB); }

void DrawStatus(wxDC& dc, const Store& s) { dc.DrawText(wxString::FromUTF8(s.messagetxt), 0, 0); }

void DrawScene(wxDC& dc, Store& s, bool withStatus) {
  {
    DcPainter painter(dc);
    brimoss::draw_scene(s, painter);
  }
  if (withStatus) DrawStatus(dc, s);
}

void RasterScene(wxBitmap& bmp, Store& s) {
  const bool done = bmp.GetDepth() == 32 ? RasterInto<wxAlphaPixelData>(bmp, s)
                                         : RasterInto<wxNativePixelData>(bmp, s);
  if (done) return;
  // A bitmap without direct pixel access: draw it the ordinary way.
  wxMemoryDC dc(bmp);
  DrawScene(dc, s, false);
}

void DrawCanvasScene(wxMemoryDC& dc, wxBitmap& bmp, Store& s) {
  if (s.NOS >= kPixelPathFaces) {
    // The pixels may only be written while no context holds the image.
    dc.SelectObject(wxNullBitmap);
    RasterScene(bmp, s);
    dc.SelectObject(bmp);
  } else {
    DrawScene(dc, s, false);
  }
  DrawStatus(dc, s);
}
