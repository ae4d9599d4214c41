// Growth, pulling, removal, the sway and the touch perturbation switch.
#include "app/frame.h"
#include "app/ids.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

namespace ops = brimoss::ops;
using brimoss::the_store;

void MyFrame::OnAddNewCell(wxCommandEvent&) {
  m_canvas->Report(ops::grow(the_store()).why);
  Refresh(false);
}

void MyFrame::OnPullPoint(wxCommandEvent&) {
  m_canvas->Report(ops::pull(the_store()).why);
  Refresh(false);
}

void MyFrame::OnRemoveCell(wxCommandEvent&) {
  m_canvas->Report(ops::remove(the_store()).why);
  Refresh(false);
}

void MyFrame::OnTouchPurturb(wxCommandEvent&) {
  m_swayMenu->Check(MenuId::TouchPerturbation, ops::toggle_touch_perturbation(the_store()));
}

void MyFrame::OnKeepApart(wxCommandEvent& event) {
  ops::keep_apart(the_store(), event.IsChecked());
  m_swayMenu->Check(MenuId::KeepApart, ops::keeps_apart(the_store()));
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
