// A window for first-time users: what the mouse, the keys and the menus do.
#pragma once

#include <wx/frame.h>

class wxTextCtrl;

class GuideWindow : public wxFrame {
 public:
  explicit GuideWindow(wxWindow* parent);

  // The text the window shows.
  static wxString Text();

  wxTextCtrl* m_text = nullptr;
};
