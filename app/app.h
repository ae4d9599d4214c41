// The application object: brings the window up and the store with it.
#pragma once

#include <wx/wx.h>

class MyApp : public wxApp {
 public:
  bool OnInit() override;
  int OnExit() override;

  // Fills the store with the start-up surface and creates the printer
  // settings. Always succeeds.
  bool Initialize();
  void DeleteData();
};

class MyFrame;

// The start-up steps, shared with the window tests: the main window, built and
// shown; then the store and the printer settings.
MyFrame* CreateMainWindow();
void InitializeData();

wxDECLARE_APP(MyApp);
