// Draws the whole scene into a device context. The canvas and the printout
// share it, so the screen and the page always agree.
#pragma once

#include <wx/dc.h>

#include "model/store.h"

// Background, faces back to front with their outlines, then the twinkle step;
// the status line on top when `withStatus`. Leaves every vertex's screen
// position in gx, gy.
void DrawScene(wxDC& dc, brimoss::Store& s, bool withStatus);

// The background colour held in the store, as a toolkit colour.
wxColour BackgroundColour(const brimoss::Store& s);
