// Draws the scene with the toolkit: into any device context (the printout),
// or straight into the pixels of an image in memory (the canvas). Both go
// through the one drawing walk, brimoss::draw_scene, so the screen and the
// page agree.
#pragma once

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>

#include "model/store.h"

// Background, faces back to front with their outlines, then the twinkle step;
// the status line on top when `withStatus`. Leaves every vertex's screen
// position in gx, gy. Writes the pixels itself where the context draws into
// an image in memory at the image's own scale (PaintScenePixels), and sends
// the context its shapes everywhere else (DrawSceneShapes).
void DrawScene(wxDC& dc, brimoss::Store& s, bool withStatus);

// The scene without the status line, written straight into the pixels of the
// image the context draws into: the canvas's way, fast enough for thousands of
// faces 50 times a second. False, with nothing drawn, when the context is not
// an image in memory drawn at scale 1 and moved by whole pixels (a printer, a
// scaled page).
bool PaintScenePixels(wxDC& dc, brimoss::Store& s);

// The scene without the status line as the context's own filled and outlined
// polygons: the way for printers and scaled pages. A one-pixel outline
// stroked by the context's renderer runs a little thicker on diagonals than
// the pixel drawing's.
void DrawSceneShapes(wxDC& dc, brimoss::Store& s);

// The scene without the status line into a bitmap that no device context
// holds.
void RasterScene(wxBitmap& bmp, brimoss::Store& s);

// The status line at (0, 0), in the context's current font and text colour.
void DrawStatus(wxDC& dc, const brimoss::Store& s);

// The background colour held in the store, as a toolkit colour.
wxColour BackgroundColour(const brimoss::Store& s);

// The ring the canvas draws round the current vertex (at gx, gy of the last
// drawing) while the user asks for it; never on a page.
constexpr int kMarkerRadius = 5;
wxColour MarkerColour(const brimoss::Store& s);
void DrawCurrentVertexMarker(wxDC& dc, const brimoss::Store& s);
