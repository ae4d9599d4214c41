// The settings of Export...: the millimetres per model unit, and for the
// solid its thickness.
#pragma once

#include <wx/dialog.h>

class wxSpinCtrlDouble;

class ExportOptionsDialog : public wxDialog {
 public:
  // The thickness is asked only for the solid.
  ExportOptionsDialog(wxWindow* parent, bool solid, double thickness, double scale);

  // In model units; 0 when the dialog does not ask for it.
  double Thickness() const;
  double Scale() const;  // millimetres per model unit
  // What a user would type; values outside the fields' ranges are brought
  // into them.
  void SetValues(double thickness, double scale);

 private:
  wxSpinCtrlDouble* m_thickness = nullptr;
  wxSpinCtrlDouble* m_scale = nullptr;
};
