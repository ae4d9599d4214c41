// Colour choices and printing.
#include "app/frame.h"

void MyFrame::OnColor(wxCommandEvent&) {
  // filled in with the colour commands
}

wxColour MyFrame::SelectColour() {
  // filled in with the colour dialog
  return wxColour();
}

void MyFrame::OnPrint(wxCommandEvent&) {
  // filled in with printing
}

void MyFrame::OnPrintSetup(wxCommandEvent&) {
  // filled in with printing
}
