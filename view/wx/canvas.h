// The drawing window: fills the frame, owns the animation timer and paints
// through one off-screen bitmap.
#pragma once

#include <wx/wx.h>

#include <string>

#include "ops/sheet_animation.h"
#include "view/feedback.h"
#include "view/navigation.h"

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
  void OnKeyDown(wxKeyEvent& event);

  // The whole scene, status line included, into the off-screen image.
  void DrawPoly(wxMemoryDC& dc);

  // Zooms for a wheel event at (px, py); true when the zoom changed.
  bool OnWheel(const wxMouseEvent& event, int px, int py);

  // Counts and refusals in the frame's status bar, and the ring at the current
  // vertex, while `on`.
  void ShowFeedback(bool on);
  // A command's outcome (empty: carried out), for the status bar while the
  // feedback is on.
  void Report(const std::string& why);
  // After anything that may have changed the counts.
  void PollFeedback();

  // A message of the program's own in the status bar's second field (what a
  // command wrote, how a growth went), until the next change.
  void Say(const wxString& text);

  // The whole surface in the canvas with a small margin. With `untilShown`
  // the canvas fits it again at each new size until it is first painted, for
  // a surface opened while the window is still coming up.
  void ZoomToFit(bool untilShown = false);

  // Edit > Grow sheet (one ring) or Grow sheet until full, on the timer,
  // its progress in the status bar's second field.
  void GrowSheet(bool untilFull);
  // Asks a growing sheet to stop between cells; `by` names what stopped it,
  // for the status bar ("a click on the canvas").
  void StopGrowth(const std::string& by);

  // Puts the model origin at the centre of the client area.
  void Recentre();

  // Whether the counts and refusals are shown (Show counts and current vertex).
  bool FeedbackShown() const { return m_feedback.enabled(); }
  // The sheet being grown, if any, as far as it has come.
  const brimoss::SheetAnimation& Growth() const { return m_sheet; }

  wxFrame* m_owner;
  wxTimer m_timer;

 private:
  // The wheel's zoom about the pointer and the keys' turns and Home.
  brimoss::Navigation m_nav;
  brimoss::Feedback m_feedback;
  // The sheet ring being grown, if any; the timer advances it.
  brimoss::SheetAnimation m_sheet;
  bool m_fitUntilShown = false;
  std::string m_growthSaid;  // the growth's message last put in the status bar
  wxDECLARE_EVENT_TABLE();
};
