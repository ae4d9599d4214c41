// Draws the scene with the toolkit: into any device context (the printout),
// or straight into the canvas's off-screen image. Both go through the one
// drawing walk, brimoss::draw_scene, so the screen and the page agree.
#pragma once

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/dcmemory.h>

#include "model/store.h"

// Background, faces back to front with their outlines, then the twinkle step;
// the status line on top when `withStatus`. Leaves every vertex's screen
// position in gx, gy.
void DrawScene(wxDC& dc, brimoss::Store& s, bool withStatus);

// The same into a bitmap that no device context holds, its pixels written
// directly (fast enough for thousands of faces 50 times a second). The status
// line is not drawn: see DrawStatus.
void RasterScene(wxBitmap& bmp, brimoss::Store& s);

// From this many faces on, the canvas writes the faces into its image's pixels
// instead of drawing them through the context. Each face costs the toolkit's
// renderer several microseconds, while handing the image's pixels out and
// back costs a few milliseconds once per frame: below about a thousand faces
// the context is cheaper, above it the pixels (see bench/bench_draw.cpp).
constexpr int kPixelPathFaces = 1000;

// The canvas's drawing: the scene and the status line into `dc`, which holds
// `bmp`; through the pixels or the context by the number of faces.
void DrawCanvasScene(wxMemoryDC& dc, wxBitmap& bmp, brimoss::Store& s);

// The status line at (0, 0), in the context's current font and text colour.
void DrawStatus(wxDC& dc, const brimoss::Store& s);

// The background colour held in the store, as a toolkit colour.
wxColour BackgroundColour(const brimoss::Store& s);
