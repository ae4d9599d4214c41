#include "bench/wx/display.h"

#include <wx/wx.h>

namespace {

class BenchApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

bool g_ready = false;

}  // namespace

bool StartDisplay(int& argc, char** argv) {
  wxApp::SetInstance(new BenchApp);
  if (!wxEntryStart(argc, argv)) return false;
  if (!wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    return false;
  }
  delete wxLog::SetActiveTarget(new wxLogStderr);
  g_ready = true;
  return true;
}

bool DisplayReady() { return g_ready; }

void StopDisplay() {
  if (!g_ready) return;
  wxTheApp->OnExit();
  wxEntryCleanup();
  g_ready = false;
}
