// The canvas's timer tick and mouse handling: the decisions are the core's,
// this side only converts the event and repaints.
#include <string>

#include "model/store.h"
#include "ops/tick.h"
#include "view/mouse.h"
#include "view/wx/canvas.h"

void MyCanvas::OnTimer(wxTimerEvent&) {
  // The paste step runs inside the tick, through the same joining code the
  // mouse gesture starts; a sheet being grown takes its steps in between.
  const bool growing = m_sheet.running();
  m_sheet.tick(brimoss::the_store());
  // A growing sheet stays in view: the view zooms out as it grows past the
  // canvas's edges, never in.
  if (m_sheet.running()) {
    const wxSize sz = GetClientSize();
    m_nav.keep_in_view(brimoss::the_store(), sz.x, sz.y);
  }
  // The growth's progress, and in its last tick how it ended, take the
  // status bar's second field, where the ending stays until the next change;
  // otherwise a paste joins vertices inside the tick, and the counts follow.
  if (!growing)
    PollFeedback();
  else if (m_sheet.message() != m_growthSaid)
    Say(wxString::FromUTF8(m_growthSaid = m_sheet.message()));
  Refresh(false);
}

namespace {

brimoss::MouseKind KindOf(const wxMouseEvent& event) {
  using brimoss::MouseKind;
  if (event.LeftDown()) return MouseKind::LeftDown;
  if (event.LeftUp()) return MouseKind::LeftUp;
  if (event.RightDown()) return MouseKind::RightDown;
  if (event.RightUp()) return MouseKind::RightUp;
  return MouseKind::Other;
}

}  // namespace

void MyCanvas::OnMouseEvent(wxMouseEvent& event) {
  wxClientDC dc(this);
  PrepareDC(dc);
  m_owner->PrepareDC(dc);
  const int px = dc.DeviceToLogicalX(event.GetX());
  const int py = dc.DeviceToLogicalY(event.GetY());

  brimoss::Store& s = brimoss::the_store();
  const brimoss::MouseKind kind = KindOf(event);
  const int touched = s.g_purtj;
  brimoss::MouseEffects effects;
  brimoss::mouse_event(s, kind, px, py, effects);
  if (event.GetEventType() == wxEVT_MOUSEWHEEL) effects.repaint |= OnWheel(event, px, py);
  // A click gives the canvas the keys, so the arrows and Home reach it.
  if ((event.LeftDown() || event.RightDown()) && !HasFocus()) SetFocus();
  if (!effects.refusal.empty()) Report(effects.refusal);
  if (!effects.crossings.empty()) Say(wxString::FromUTF8(effects.crossings));
  // The user takes over: a press, or touching another vertex, ends the
  // sheet's growth at the next cell.
  if (kind == brimoss::MouseKind::LeftDown || kind == brimoss::MouseKind::RightDown)
    StopGrowth("a click on the canvas");
  else if (s.g_purtj != touched)
    StopGrowth("touching vertex " + std::to_string(s.g_purtj));
  if (effects.repaint) Refresh(false);
}
