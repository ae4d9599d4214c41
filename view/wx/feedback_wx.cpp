// The canvas's side of the feedback the user can ask for: the status bar's
// second field and the ring at the current vertex.
#include "model/store.h"
#include "view/wx/canvas.h"
#include "view/wx/scene.h"

namespace {

// The field for the feedback and the commands' own messages: field 0 keeps
// the welcome and the menus' help lines.
constexpr int kFeedbackField = 1;

}  // namespace

void MyCanvas::ShowFeedback(bool on) {
  m_feedback.set_enabled(brimoss::the_store(), on);
  m_owner->SetStatusText(wxString::FromUTF8(m_feedback.text()), kFeedbackField);
  Refresh(false);
}

void MyCanvas::Report(const std::string& why) {
  if (m_feedback.report(brimoss::the_store(), why))
    m_owner->SetStatusText(wxString::FromUTF8(m_feedback.text()), kFeedbackField);
}

void MyCanvas::Say(const wxString& text) {
  if (m_feedback.say(brimoss::the_store(), text.utf8_string()))
    m_owner->SetStatusText(wxString::FromUTF8(m_feedback.text()), kFeedbackField);
}

void MyCanvas::PollFeedback() {
  if (m_feedback.poll(brimoss::the_store()))
    m_owner->SetStatusText(wxString::FromUTF8(m_feedback.text()), kFeedbackField);
}

wxColour MarkerColour(const brimoss::Store& s) {
  // Black on a light background, white on a dark one.
  const int light = 299 * s.bgcolR + 587 * s.bgcolG + 114 * s.bgcolB;
  return light >= 128 * 1000 ? *wxBLACK : *wxWHITE;
}

void DrawCurrentVertexMarker(wxDC& dc, const brimoss::Store& s) {
  const int v = s.g_purtj;
  if (v < 0 || v >= s.NOV) return;
  const wxPoint c(s.gx[v], s.gy[v]);
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  // A halo in the background colour keeps the ring apart from the black
  // outlines and the faces' colours beneath it.
  dc.SetPen(wxPen(BackgroundColour(s), 4, wxPENSTYLE_SOLID));
  dc.DrawCircle(c, kMarkerRadius);
  dc.SetPen(wxPen(MarkerColour(s), 2, wxPENSTYLE_SOLID));
  dc.DrawCircle(c, kMarkerRadius);
  dc.SetPen(wxNullPen);
  dc.SetBrush(wxNullBrush);
}
