// The application object: brings the window up and the store with it.
#pragma once

#include <wx/wx.h>

#include <string>
#include <vector>

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
// After start-up: opens the file named among the program's arguments (the
// program name left out), as File > Open does; a refused file is reported and
// the start-up surface stays.
void OpenStartupFile(MyFrame* frame, const std::vector<std::string>& args);

wxDECLARE_APP(MyApp);
