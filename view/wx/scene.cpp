#include "view/wx/scene.h"

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/pen.h>

#include "view/draw.h"

using brimoss::RGB;
using brimoss::Store;

wxColour BackgroundColour(const Store& s) { return wxColour(s.bgcolR, s.bgcolG, s.bgcolB); }

void DrawScene(wxDC& dc, Store& s, bool withStatus) {
  // Flat faces with crisp one-pixel outlines, as on a plain raster context;
  // smoothing would also make every frame several times slower.
  if (wxGraphicsContext* gc = dc.GetGraphicsContext()) gc->SetAntialiasMode(wxANTIALIAS_NONE);

  dc.SetPen(*wxWHITE_PEN);
  dc.SetBrush(wxBrush(BackgroundColour(s), wxBRUSHSTYLE_SOLID));
  dc.DrawRectangle(0, 0, 2 * s.g_centerx + 1, 2 * s.g_centery + 1);

  brimoss::prepare_scene(s);

  // Two brushes taken in turn: the one being recoloured is never the one the
  // context still holds, so recolouring does not copy it.
  wxBrush brushes[2] = {wxBrush(*wxBLACK, wxBRUSHSTYLE_SOLID),
                        wxBrush(*wxBLACK, wxBRUSHSTYLE_SOLID)};
  int current = 0;
  RGB last{-1, -1, -1};
  int lastPen = -1;
  wxPoint pts[3];
  for (int k = 0; k < s.NOS; ++k) {
    const int f = s.order[k];
    for (int j = 0; j < 3; ++j) {
      const int v = s.face[f][j];
      pts[j] = wxPoint(s.gx[v], s.gy[v]);
    }
    const RGB c = brimoss::draw_colour(s, k);
    if (!(c == last)) {
      current ^= 1;
      brushes[current].SetColour(c.r, c.g, c.b);
      dc.SetBrush(brushes[current]);
      last = c;
    }
    const int white = brimoss::outline_white(s, f) ? 1 : 0;
    if (white != lastPen) {
      dc.SetPen(white ? *wxWHITE_PEN : *wxBLACK_PEN);
      lastPen = white;
    }
    dc.DrawPolygon(3, pts, 0, 0, wxODDEVEN_RULE);
  }
  dc.SetBrush(wxNullBrush);

  brimoss::twinkle_step(s);

  if (withStatus) dc.DrawText(wxString::FromUTF8(s.messagetxt), 0, 0);
}
