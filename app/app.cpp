#include "app/app.h"

#include "app/cmdline.h"
#include "app/frame.h"
#include "app/globals.h"
#include "model/store.h"
#include "ops/load.h"
#include "view/wx/canvas.h"

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

void OpenStartupFile(MyFrame* frame, const std::vector<std::string>& args) {
  const brimoss::app::CommandLine c = brimoss::app::parse_command_line(args);
  if (c.action != brimoss::app::CommandLine::Action::Run || c.file.empty()) return;
  // The bytes of the name as the system gave them; OpenPath turns them back.
  // The window may still be taking its size: the surface is fitted to each
  // new size until it is first shown.
  if (frame->OpenPathAtStart(wxString(c.file.c_str(), *wxConvFileName)))
    frame->m_canvas->ZoomToFit(true);
}

bool MyApp::OnInit() {
  // The base class is not asked to parse the command line: main has read it
  // already, and only a file name is left to act on.
  MyFrame* frame = CreateMainWindow();
  SetTopWindow(frame);
  if (!Initialize()) return false;
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i].fn_str());
  OpenStartupFile(frame, args);
  return true;
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
