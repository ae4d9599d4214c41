// Growth, pulling, removal and the touch perturbation switch.
#include "app/frame.h"
#include "model/store.h"

void MyFrame::OnAddNewCell(wxCommandEvent&) {
  // filled in with the growth command
}

void MyFrame::OnPullPoint(wxCommandEvent&) {
  // filled in with the pull command
}

void MyFrame::OnRemoveCell(wxCommandEvent&) {
  // filled in with the removal command
}

void MyFrame::OnTouchPurturb(wxCommandEvent&) {
  brimoss::Store& s = brimoss::the_store();
  s.touch_purturb = !s.touch_purturb;
  m_swayMenu->Check(26, s.touch_purturb);
}
