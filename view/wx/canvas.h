// The drawing window: fills the frame, owns the animation timer and paints
// through one off-screen bitmap.
#pragma once

#include <wx/wx.h>

#include "view/sheet_animation.h"

// Id of the canvas's animation timer.
constexpr int kCanvasTimerId = 34;

// The off-screen image of the canvas. At least 1024 x 768; it grows (on a
// size event, never while painting) when the canvas outgrows it.
wxBitmap& ScreenBitmap();
// Makes the off-screen image at least w x h.
void EnsureScreenBitmap(int w, int h);

class MyCanvas : public wxWindow {
 public:
  // `frame` is the main window, which the canvas fills.
  explicit MyCanvas(wxFrame* frame);

  void OnPaint(wxPaintEvent& event);
  void OnErase(wxEraseEvent& event);
  void OnMouseEvent(wxMouseEvent& event);
  void OnTimer(wxTimerEvent& event);
  void OnSize(wxSizeEvent& event);

  // The whole scene, status line included, into the off-screen image.
  void DrawPoly(wxMemoryDC& dc);

  // Puts the model origin at the centre of the client area.
  void Recentre();

  wxFrame* m_owner;
  wxTimer m_timer;
  // The sheet ring being grown, if any; the timer advances it.
  brimoss::SheetAnimation m_sheet;

 private:
  wxDECLARE_EVENT_TABLE();
};
