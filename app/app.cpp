#include "app/app.h"

#include "app/frame.h"
#include "app/globals.h"
#include "model/store.h"
#include "ops/load.h"

MyFrame* CreateMainWindow() {
  MyFrame* frame = new MyFrame("Brimoss", wxPoint(50, 50), wxSize(640, 480));
  frame->Show(true);
  return frame;
}

void InitializeData() {
  // After the canvas has centred itself on its first size: the origin stays at
  // (320, 220) until the canvas is next resized.
  brimoss::initialize_store(brimoss::the_store());
  if (!g_printData) g_printData = new wxPrintData;
  if (!g_pageSetupData) g_pageSetupData = new wxPageSetupDialogData(*g_printData);
}

bool MyApp::OnInit() {
  // The base class is not asked to parse a command line: the program takes
  // no arguments.
  SetTopWindow(CreateMainWindow());
  return Initialize();
}

bool MyApp::Initialize() {
  InitializeData();
  return true;
}

void MyApp::DeleteData() {
  delete g_printData;
  g_printData = nullptr;
  delete g_pageSetupData;
  g_pageSetupData = nullptr;
}

int MyApp::OnExit() {
  DeleteData();
  return 0;
}
