// The three sway commands.
#include "app/frame.h"

void MyFrame::OnBuru(wxCommandEvent&) {
  // filled in with the sway commands
}
