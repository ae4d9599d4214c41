// Open, Open and append, Save and Export... through the toolkit's own file
// dialog, shown on screen and typed into as a user would (xdotool): a full
// path typed into the dialog must be the file read or written, whatever
// folder it shows, and a file type chosen in it must be the name's.
#include <wx/dir.h>
#include <wx/filename.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "gui_util.h"
#include "model/samples.h"
#include "model/surface_file.h"

namespace {

std::string ReadAll(const wxString& path) {
  std::ifstream in(path.fn_str(), std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteAll(const wxString& path, const std::string& text) {
  std::ofstream out(path.fn_str(), std::ios::binary);
  out << text;
}

// Lets the file dialog show itself and remembers it; any other dialog (such as
// the question before an overwrite) is recorded and answered No.
class ShowFileDialog : public wxModalDialogHook {
 public:
  ShowFileDialog() { Register(); }
  ~ShowFileDialog() override { Unregister(); }

  wxDialog* fileDialog = nullptr;
  int others = 0;

 protected:
  // dynamic_cast, not wxDynamicCast: the toolkit's macro static_casts to the
  // asked-for class before it checks, which is undefined for other dialogs.
  int Enter(wxDialog* dlg) override {
    if (dynamic_cast<wxFileDialog*>(dlg)) {
      fileDialog = dlg;
      return wxID_NONE;
    }
    ++others;
    return wxID_NO;
  }
  void Exit(wxDialog* dlg) override {
    if (dlg == fileDialog) fileDialog = nullptr;
  }
};

class RealFileDialogTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame->m_canvas->m_timer.Stop();
    ShowAndSettle();
    char tmpl[] = "/tmp/brimoss-realdlg-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    shown = root + "/shown";
    other = root + "/other";
    ASSERT_TRUE(wxFileName::Mkdir(shown));
    ASSERT_TRUE(wxFileName::Mkdir(other));
    // The dialog opens on the working folder: that is the folder it shows.
    oldCwd = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory(shown));
  }
  void TearDown() override {
    wxSetWorkingDirectory(oldCwd);
    wxFileName::Rmdir(root, wxPATH_RMDIR_RECURSIVE);
    WindowTest::TearDown();
  }

  // Sends the menu command `id` and, once its file dialog is on screen, types
  // `typed` into it and presses Return. Every wait is bounded: the typing
  // gives up after 20 s, and a dialog still open after 30 s is cancelled.
  // True when the dialog was answered by the keys.
  bool TypeIntoDialog(int id, const wxString& typed, bool locationEntry) {
    ShowFileDialog hook;
    std::atomic<bool> typedOk{false};
    // In Open the name is typed into the location entry (Ctrl-L); in Save the
    // name field has the focus with the offered name selected.
    const std::string keys = locationEntry ? "ctrl+l" : "ctrl+a";
    // The dialog before this one may still be mapped for a moment: the newest
    // window of the name is taken, and the focusing tried again (each try
    // bounded) until one takes.
    const std::string script =
        "timeout 20 sh -c 'until w=$(xdotool search --onlyvisible --name \"^Choose a file$\" "
        "| tail -n1) && [ -n \"$w\" ] && timeout 2 xdotool windowfocus --sync \"$w\"; "
        "do sleep 0.3; done && sleep 0.5 && xdotool key " +
        keys + " && sleep 0.2 && xdotool type --delay 15 \"" + std::string(typed.utf8_str()) +
        "\" && sleep 0.3 && xdotool key Return' >/dev/null 2>&1";
    std::thread typist([&] { typedOk = std::system(script.c_str()) == 0; });

    bool timedOut = false;
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (hook.fileDialog) {
        timedOut = true;
        hook.fileDialog->EndModal(wxID_CANCEL);
      }
    });
    guard.StartOnce(30000);
    Send(id);
    guard.Stop();
    typist.join();
    EXPECT_FALSE(timedOut) << "the dialog was still open after 30 s";
    EXPECT_EQ(hook.others, 0) << "an unexpected question was asked";
    return typedOk && !timedOut;
  }

  wxString root, shown, other, oldCwd;
};

}  // namespace

TEST_F(RealFileDialogTest, TypedPathIntoAnotherFolderIsTheFileUsed) {
  // A file of the same name in the folder the dialog shows, and the one typed.
  const std::string decoy = brimoss::sample_as_file_text(128);
  const std::string wanted = brimoss::sample_as_file_text(130);
  WriteAll(shown + "/z.brm", decoy);
  WriteAll(other + "/z.brm", wanted);
  const wxString typed = other + "/z.brm";

  // Open.
  ASSERT_TRUE(TypeIntoDialog(MenuId::Open, typed, true));
  EXPECT_EQ(g_Path, typed);
  // A surface file starts with its vertex count.
  const int once = std::atoi(wanted.c_str());
  ASSERT_NE(once, std::atoi(decoy.c_str()));
  EXPECT_EQ(s().NOV, once) << "Open read the wrong file";

  // Open and append: the typed file again, added to the open one.
  ASSERT_TRUE(TypeIntoDialog(MenuId::Append, typed, true));
  EXPECT_EQ(g_Path, typed);
  EXPECT_EQ(s().NOV, 2 * once) << "Open and append read the wrong file";

  // Save: a new file in the other folder; the same-named file in the shown
  // folder stays as it was, and nothing asks about overwriting it.
  const wxString saved = other + "/y.brm";
  WriteAll(shown + "/y.brm", "keep me\n");
  const std::string text = brimoss::surface_text(s());
  ASSERT_TRUE(TypeIntoDialog(MenuId::Save, saved, false));
  EXPECT_EQ(g_Path, saved);
  EXPECT_EQ(ReadAll(saved), text);
  EXPECT_EQ(ReadAll(shown + "/y.brm"), "keep me\n");
}

namespace {

// Shows the file dialog of Export... for real, answers its settings with OK
// and any question (the one before an overwrite) with Yes, noting them.
class ShowExportDialog : public wxModalDialogHook {
 public:
  ShowExportDialog() { Register(); }
  ~ShowExportDialog() override { Unregister(); }

  wxDialog* fileDialog = nullptr;
  std::vector<wxString> questions;

 protected:
  int Enter(wxDialog* dlg) override {
    if (dynamic_cast<wxFileDialog*>(dlg)) {
      fileDialog = dlg;
      return wxID_NONE;
    }
    if (auto* m = dynamic_cast<wxMessageDialog*>(dlg)) {
      questions.push_back(m->GetMessage());
      return wxID_YES;
    }
    return wxID_OK;  // the export's settings
  }
  void Exit(wxDialog* dlg) override {
    if (dlg == fileDialog) fileDialog = nullptr;
  }
};

class RealExportDialogTest : public RealFileDialogTest {
 protected:
  // Export..., and in its dialog on screen the keys and clicks `steps` (an
  // xdotool command line run with the dialog's window id in $w and its size
  // in $WIDTH and $HEIGHT). Bounded and found like TypeIntoDialog.
  bool Export(const std::string& steps, ShowExportDialog& hook) {
    std::atomic<bool> done{false};
    const std::string script =
        "timeout 25 sh -c 'until w=$(xdotool search --onlyvisible --name \"^Export the sheet$\" "
        "| tail -n1) && [ -n \"$w\" ] && timeout 2 xdotool windowfocus --sync \"$w\"; "
        "do sleep 0.3; done && sleep 0.5 && "
        "eval $(xdotool getwindowgeometry --shell \"$w\") && " +
        steps + "' >/dev/null 2>&1";
    std::thread typist([&] { done = std::system(script.c_str()) == 0; });
    bool timedOut = false;
    wxTimer guard;
    guard.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
      if (hook.fileDialog) {
        timedOut = true;
        hook.fileDialog->EndModal(wxID_CANCEL);
      }
    });
    guard.StartOnce(35000);
    Send(MenuId::Export);
    guard.Stop();
    typist.join();
    EXPECT_FALSE(timedOut) << "the dialog was still open after 35 s";
    return done && !timedOut;
  }

  // Picks the file type `downs` entries below (negative: above) the one
  // shown, in the list at the dialog's lower right, as a user clicks it open
  // and steps through it.
  static std::string ChooseType(int downs) {
    std::string keys;
    for (int k = 0; k < std::abs(downs); ++k) keys += downs > 0 ? " Down" : " Up";
    return "xdotool mousemove --window \"$w\" $((WIDTH-115)) $((HEIGHT-67)) click 1 && sleep 0.7 "
           "&& xdotool key --delay 150" +
           keys + " Return && sleep 0.5";
  }
  // Back into the name field, and Save.
  static std::string ClickNameAndSave() {
    return "xdotool mousemove --window \"$w\" $((WIDTH/2)) 25 click 1 && sleep 0.3 && "
           "xdotool key End && sleep 0.2 && xdotool key Return";
  }
};

}  // namespace

TEST_F(RealExportDialogTest, ChoosingATypeChangesTheNameAndTheNextExportComesBackToIt) {
  const wxString sheet = other + "/sheet";
  // Typed as a whole path, then the type "STL sheet" (two below OBJ).
  {
    ShowExportDialog hook;
    ASSERT_TRUE(Export("xdotool key ctrl+a && sleep 0.2 && xdotool type --delay 15 \"" +
                           std::string(sheet.utf8_str()) + "\" && sleep 0.3 && " + ChooseType(2) +
                           " && " + ClickNameAndSave(),
                       hook));
    EXPECT_TRUE(hook.questions.empty());
  }
  ASSERT_TRUE(wxFileExists(sheet + ".stl"));
  // A binary STL: an 80-byte header, a count, 50 bytes a triangle.
  EXPECT_EQ(ReadAll(sheet + ".stl").size(), 84u + 50u * s().NOS);
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1).BeforeFirst(':'), "Exported sheet.stl");

  // Again, straight through: the same folder, name and type, so the same
  // file, replaced after the question that names it.
  WriteAll(sheet + ".stl", "earlier");
  {
    ShowExportDialog hook;
    ASSERT_TRUE(Export("xdotool key Return", hook));
    ASSERT_EQ(hook.questions.size(), 1u);
    EXPECT_EQ(hook.questions[0], "Replace sheet.stl?");
  }
  EXPECT_EQ(ReadAll(sheet + ".stl").size(), 84u + 50u * s().NOS);
  EXPECT_FALSE(wxFileExists(shown + "/sheet.obj")) << "written where the program started";
  EXPECT_FALSE(wxFileExists(other + "/sheet.obj"));

  // Once more, choosing PLY (one above): the name follows the type.
  {
    ShowExportDialog hook;
    ASSERT_TRUE(Export(ChooseType(-1) + " && " + ClickNameAndSave(), hook));
    EXPECT_TRUE(hook.questions.empty());
  }
  EXPECT_EQ(ReadAll(sheet + ".ply").substr(0, 4), "ply\n");
  wxArrayString files;
  wxDir::GetAllFiles(root, &files);
  EXPECT_EQ(files.size(), 2u) << "sheet.stl and sheet.ply, nothing else";
}
