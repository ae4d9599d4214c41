// Growth, pulling, removal and the touch perturbation switch.
#include "app/frame.h"
#include "model/store.h"
#include "sim/grow.h"
#include "sim/remove.h"

void MyFrame::OnAddNewCell(wxCommandEvent&) {
  brimoss::addnewpolygon(brimoss::the_store());
  Refresh(false);
}

void MyFrame::OnPullPoint(wxCommandEvent&) {
  brimoss::pullpoint(brimoss::the_store());
  Refresh(false);
}

void MyFrame::OnRemoveCell(wxCommandEvent&) {
  brimoss::removevertex(brimoss::the_store());
  Refresh(false);
}

void MyFrame::OnTouchPurturb(wxCommandEvent&) {
  brimoss::Store& s = brimoss::the_store();
  s.touch_purturb = !s.touch_purturb;
  m_swayMenu->Check(26, s.touch_purturb);
}
