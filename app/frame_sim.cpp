// Growth, pulling, removal, the sway and the touch perturbation switch.
#include "app/frame.h"
#include "app/ids.h"
#include "model/store.h"
#include "ops/commands.h"

namespace ops = brimoss::ops;
using brimoss::the_store;

void MyFrame::OnAddNewCell(wxCommandEvent&) {
  ops::grow(the_store());
  Refresh(false);
}

void MyFrame::OnPullPoint(wxCommandEvent&) {
  ops::pull(the_store());
  Refresh(false);
}

void MyFrame::OnRemoveCell(wxCommandEvent&) {
  ops::remove(the_store());
  Refresh(false);
}

void MyFrame::OnTouchPurturb(wxCommandEvent&) {
  m_swayMenu->Check(MenuId::TouchPerturbation, ops::toggle_touch_perturbation(the_store()));
}

void MyFrame::OnBuru(wxCommandEvent& event) {
  switch (event.GetId()) {
    case MenuId::SwayOnce:
      ops::sway(the_store(), ops::Sway::Once);
      break;
    case MenuId::SwaySome:
      ops::sway(the_store(), ops::Sway::Some);
      break;
    case MenuId::SwayMany:
      ops::sway(the_store(), ops::Sway::Many);
      break;
  }
}
