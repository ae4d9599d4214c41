// The three sway commands.
#include "app/frame.h"
#include "model/store.h"
#include "view/tick.h"

void MyFrame::OnBuru(wxCommandEvent& event) {
  brimoss::sway_command(brimoss::the_store(), event.GetId());
}
