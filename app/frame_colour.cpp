// Colour choices and printing.
#include <wx/colordlg.h>
#include <wx/printdlg.h>

#include "app/frame.h"
#include "app/globals.h"
#include "app/ids.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/printout.h"

namespace {

// The colour dialog's title: which colour the user is changing.
wxString ColourTitle(int id) {
  switch (id) {
    case MenuId::FaceForeground:
      return "Front face colour";
    case MenuId::FaceBackground:
      return "Back face colour";
    default:
      return "Background colour";
  }
}

}  // namespace

void MyFrame::OnColor(wxCommandEvent& event) {
  const wxColour c = m_askColour ? m_askColour() : SelectColour(ColourTitle(event.GetId()));
  // A cancelled dialog gives an unset colour: the colours stay as they were
  // rather than turning black.
  if (!c.IsOk()) {
    Refresh(false);
    return;
  }
  namespace ops = brimoss::ops;
  ops::ColourSetting which = ops::ColourSetting::Background;
  switch (event.GetId()) {
    case MenuId::FaceForeground:
      which = ops::ColourSetting::FaceForeground;
      break;
    case MenuId::FaceBackground:
      which = ops::ColourSetting::FaceBackground;
      break;
    case MenuId::BackgroundColour:
      break;
    default:
      return;
  }
  ops::set_colour(brimoss::the_store(), which, c.Red(), c.Green(), c.Blue());
  Refresh(false);
}

wxColour MyFrame::SelectColour() { return SelectColour(wxString()); }

wxColour MyFrame::SelectColour(const wxString& title) {
  wxColourData data;
  wxColourDialog dialog(this, &data);
  if (!title.empty()) dialog.SetTitle(title);
  if (dialog.ShowModal() != wxID_OK) return wxColour();
  return dialog.GetColourData().GetColour();
}

void MyFrame::OnPrint(wxCommandEvent&) {
  wxPrintDialogData printDialogData(*g_printData);
  wxPrinter printer(&printDialogData);
  RunPrintJob(printer, true);
}

bool MyFrame::RunPrintJob(wxPrinterBase& printer, bool prompt) {
  MyPrintout printout("My printout", g_pageSetupData);
  if (printer.Print(this, &printout, prompt)) {
    *g_printData = printer.GetPrintDialogData().GetPrintData();
    g_pageSetupData->SetPrintData(*g_printData);
    return true;
  }
  if (wxPrinter::GetLastError() == wxPRINTER_ERROR)
    wxMessageBox(
        "There was a problem printing.\nPerhaps your current printer is not set correctly?",
        "Printing", wxOK);
  else
    wxMessageBox("You canceled printing", "Printing", wxOK);
  return false;
}

void MyFrame::OnPrintSetup(wxCommandEvent&) {
  // Opens on the current printer settings: a print may have changed them since.
  g_pageSetupData->SetPrintData(*g_printData);
  wxPageSetupDialog dialog(this, g_pageSetupData);
  if (dialog.ShowModal() != wxID_OK) return;
  *g_pageSetupData = dialog.GetPageSetupDialogData();
  *g_printData = g_pageSetupData->GetPrintData();
}
