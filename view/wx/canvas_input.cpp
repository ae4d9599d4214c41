// The canvas's timer tick and mouse handling.
#include "view/wx/canvas.h"

void MyCanvas::OnTimer(wxTimerEvent&) {
  // filled in with the animation step; until then every tick only repaints
  Refresh(false);
}

void MyCanvas::OnMouseEvent(wxMouseEvent&) {
  // filled in with the mouse handling
}
