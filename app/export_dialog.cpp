#include "app/export_dialog.h"

#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

namespace {

wxSpinCtrlDouble* AddRow(wxWindow* parent, wxFlexGridSizer* grid, const wxString& label, double lo,
                         double hi, double step, double value) {
  grid->Add(new wxStaticText(parent, wxID_ANY, label), 0, wxALIGN_CENTER_VERTICAL);
  auto* spin = new wxSpinCtrlDouble(parent, wxID_ANY, wxEmptyString, wxDefaultPosition,
                                    wxDefaultSize, wxSP_ARROW_KEYS, lo, hi, value, step);
  spin->SetDigits(3);
  grid->Add(spin, 0, wxEXPAND);
  return spin;
}

}  // namespace

ExportOptionsDialog::ExportOptionsDialog(wxWindow* parent, bool solid, double thickness,
                                         double scale)
    : wxDialog(parent, wxID_ANY, solid ? "Export a solid" : "Export the sheet") {
  auto* grid = new wxFlexGridSizer(2, wxSize(12, 8));
  grid->AddGrowableCol(1);
  // A slicer needs a wall of a millimetre or so: at 10 mm a unit that is a
  // thickness of 0.1.
  if (solid)
    m_thickness = AddRow(this, grid, "Thickness (model units; an edge is about 0.85):", 0.001, 10.0,
                         0.01, thickness);
  m_scale = AddRow(this, grid, "Scale (millimetres per model unit):", 0.001, 100000.0, 1.0, scale);

  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 0, wxEXPAND | wxALL, 12);
  top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM,
           12);
  SetSizerAndFit(top);
  CentreOnParent();
}

double ExportOptionsDialog::Thickness() const { return m_thickness ? m_thickness->GetValue() : 0; }

double ExportOptionsDialog::Scale() const { return m_scale->GetValue(); }

void ExportOptionsDialog::SetValues(double thickness, double scale) {
  if (m_thickness) m_thickness->SetValue(thickness);
  m_scale->SetValue(scale);
}
