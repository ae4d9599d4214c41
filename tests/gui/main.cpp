// Runs the window tests inside one toolkit session. Failed toolkit assertions
// become test failures and log messages go to stderr, so that nothing waits
// for a modal box that no one will answer.
#include <gtest/gtest.h>
#include <wx/wx.h>

namespace {

class TestApp : public wxApp {
 public:
  bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond,
                        const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str(), line) << cond.utf8_str() << ": " << msg.utf8_str();
  });
  wxApp::SetInstance(new TestApp);
  if (!wxEntryStart(argc, argv)) return 2;
  if (!wxTheApp->CallOnInit()) {
    wxEntryCleanup();
    return 3;
  }
  wxInitAllImageHandlers();
  delete wxLog::SetActiveTarget(new wxLogStderr);
  const int rc = RUN_ALL_TESTS();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return rc;
}
