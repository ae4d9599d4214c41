// Open, Open and append and Save: through their path steps and through their
// dialogs, answered by the test.
#include <wx/filename.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>

#include "gui_util.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "ops/commands.h"

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

// What a file dialog was asked to show, as seen by ExpectFile.
struct SeenFile {
  bool shown = false;
  wxString message, wildcard, defaultFile;
  long style = 0;
  wxWindow* parent = nullptr;
};

// Expects a file dialog, records it and answers `path` with `answer`.
class ExpectFile : public wxExpectModalBase<wxFileDialog, ExpectFile> {
 public:
  ExpectFile(std::shared_ptr<SeenFile> seen, const wxString& path, int answer = wxID_OK)
      : seen_(std::move(seen)), path_(path), answer_(answer) {}

 protected:
  int OnInvoked(wxFileDialog* dlg) const override {
    seen_->shown = true;
    seen_->message = dlg->GetMessage();
    seen_->wildcard = dlg->GetWildcard();
    seen_->defaultFile = dlg->GetFilename();
    seen_->style = dlg->GetWindowStyle();
    seen_->parent = dlg->GetParent();
    if (answer_ == wxID_OK) dlg->SetPath(path_);
    return answer_;
  }

 private:
  std::shared_ptr<SeenFile> seen_;
  wxString path_;
  int answer_;
};

class FileTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame->m_canvas->m_timer.Stop();
    char tmpl[] = "/tmp/brimoss-files-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
    WindowTest::TearDown();
  }
  wxString In(const char* name) const { return wxFileName(dir, name).GetFullPath(); }

  wxString dir;
};

}  // namespace

TEST_F(FileTest, OpenAndAppendThroughTheirPathSteps) {
  const wxString path = In("cell.brm");
  WriteAll(path, brimoss::sample_as_file_text(128));
  s().undo.nov = 0;
  s().g_twincle = 0;
  EXPECT_TRUE(frame->OpenPath(path));
  EXPECT_EQ(s().NOV, 8);
  EXPECT_EQ(s().NOE, 14);
  EXPECT_EQ(s().NOS, 7);
  EXPECT_EQ(s().undo.nov, 0) << "Open takes no snapshot";
  EXPECT_EQ(s().g_twincle, 1);

  EXPECT_TRUE(frame->AppendPath(path));
  EXPECT_EQ(s().NOV, 16);
  EXPECT_EQ(s().NOE, 28);
  EXPECT_EQ(s().NOS, 14);
  EXPECT_EQ(s().undo.nov, 8) << "Append takes a snapshot";
  Send(MenuId::Undo);  // Undo
  EXPECT_EQ(s().NOV, 8);
  EXPECT_EQ(s().NOS, 7);
}

TEST_F(FileTest, DialogsOfferTheLastNameAndSetNameAndPathOnOk) {
  const wxString path = In("cell.brm");
  WriteAll(path, brimoss::sample_as_file_text(128));

  auto seen = std::make_shared<SeenFile>();
  wxTEST_DIALOG(Send(MenuId::Open), ExpectFile(seen, path));
  EXPECT_EQ(seen->message, "Choose a file");
  EXPECT_EQ(seen->wildcard, "Brimoss files(*.brm)|*.brm");
  EXPECT_EQ(seen->defaultFile, "untitled");
  EXPECT_TRUE(seen->style & wxFD_OPEN);
  EXPECT_FALSE(seen->style & wxFD_OVERWRITE_PROMPT);
  EXPECT_EQ(wxGetTopLevelParent(seen->parent), frame);
  EXPECT_EQ(g_Filename, "cell.brm");
  EXPECT_EQ(g_Path, path);
  EXPECT_EQ(s().NOV, 8);

  // The next dialog offers that name; appending through it adds the file.
  auto again = std::make_shared<SeenFile>();
  wxTEST_DIALOG(Send(MenuId::Append), ExpectFile(again, path));
  EXPECT_EQ(again->defaultFile, "cell.brm");
  EXPECT_TRUE(again->style & wxFD_OPEN);
  EXPECT_EQ(s().NOV, 16);

  // Cancelled: nothing changes, the names included. (The appended sheet is
  // a change: Open asks first.)
  auto cancelled = std::make_shared<SeenFile>();
  auto ask = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(Send(MenuId::Open), ExpectMessage(ask, wxID_NO),
                ExpectFile(cancelled, In("other.brm"), wxID_CANCEL));
  EXPECT_EQ(g_Filename, "cell.brm");
  EXPECT_EQ(g_Path, path);
  EXPECT_EQ(s().NOV, 16);
}

TEST_F(FileTest, SaveWritesTheSurfaceAsItWasWhenChosen) {
  const wxString path = In("saved.brm");
  const std::string want = brimoss::surface_text(s());
  auto seen = std::make_shared<SeenFile>();
  wxTEST_DIALOG(Send(MenuId::Save), ExpectFile(seen, path));
  EXPECT_TRUE(seen->style & wxFD_SAVE);
  EXPECT_FALSE(seen->style & wxFD_OVERWRITE_PROMPT);
  EXPECT_EQ(wxGetTopLevelParent(seen->parent), frame);
  EXPECT_EQ(ReadAll(path), want);
  EXPECT_EQ(g_Filename, "saved.brm");
  EXPECT_EQ(g_Path, path);

  // The path step writes the text it is given, even if the surface has moved
  // on since (the animation runs while the dialog is open).
  const wxString second = In("second.brm");
  for (int i = 0; i < s().NOV; ++i) s().x[i] += 1.0;
  EXPECT_TRUE(frame->SavePath(second, want));
  EXPECT_EQ(ReadAll(second), want);
}

TEST_F(FileTest, OverwriteAskedAndNoWritesNothing) {
  const wxString path = In("old.brm");
  WriteAll(path, "keep me\n");
  const std::string text = brimoss::surface_text(s());

  auto asked = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(EXPECT_FALSE(frame->SavePath(path, text)), ExpectMessage(asked, wxID_NO));
  // The question names the file and warns.
  EXPECT_EQ(asked->caption, "Brimoss");
  EXPECT_EQ(asked->message, "Replace old.brm?");
  EXPECT_TRUE(asked->style & wxYES_NO);
  EXPECT_TRUE(asked->style & wxICON_WARNING);
  EXPECT_TRUE(asked->style & wxNO_DEFAULT) << "Return keeps the file";
  EXPECT_EQ(wxGetTopLevelParent(asked->parent), frame);
  EXPECT_EQ(ReadAll(path), "keep me\n");

  // Through the dialog, answered Yes: overwritten.
  auto seen = std::make_shared<SeenFile>();
  auto yes = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(Send(MenuId::Save), ExpectFile(seen, path), ExpectMessage(yes, wxID_YES));
  EXPECT_TRUE(yes->shown);
  EXPECT_EQ(ReadAll(path), text);

  // A new file is written without a question.
  NoDialogs none;
  EXPECT_TRUE(frame->SavePath(In("new.brm"), text));
  EXPECT_EQ(ReadAll(In("new.brm")), text);
}

TEST_F(FileTest, RefusedFilesAreReportedAndChangeNothing) {
  const std::string good = brimoss::sample_as_file_text(128);
  const struct {
    const char* what;
    std::string text;
  } bad[] = {
      {"not a surface", "hello\n"},
      {"index beyond the vertices", "1\n0,0,0\n1\n0,5,a\n0\n"},
      {"truncated", good.substr(0, good.size() / 2)},
      {"too many vertices", "1001\n"},
  };
  brimoss::makecopy(s());
  const std::string before = brimoss::surface_text(s());
  const int snapshot = s().undo.nov;
  for (const auto& b : bad) {
    SCOPED_TRACE(b.what);
    const wxString path = In("bad.brm");
    WriteAll(path, b.text);
    for (bool append : {false, true}) {
      auto box = std::make_shared<SeenMessage>();
      wxTEST_DIALOG(EXPECT_FALSE(append ? frame->AppendPath(path) : frame->OpenPath(path)),
                    ExpectMessage(box, wxID_OK));
      EXPECT_TRUE(box->style & wxICON_ERROR);
      EXPECT_TRUE(box->style & wxOK);
      EXPECT_FALSE(box->message.empty());
      EXPECT_EQ(brimoss::surface_text(s()), before);
      EXPECT_EQ(s().undo.nov, snapshot);
    }
  }

  // A file that cannot be read, chosen in the dialog: the names still change.
  auto seen = std::make_shared<SeenFile>();
  auto box = std::make_shared<SeenMessage>();
  const wxString missing = In("missing.brm");
  wxTEST_DIALOG(Send(MenuId::Open), ExpectFile(seen, missing), ExpectMessage(box, wxID_OK));
  EXPECT_TRUE(box->message.Contains("missing.brm")) << box->message;
  EXPECT_EQ(g_Filename, "missing.brm");
  EXPECT_EQ(g_Path, missing);
  EXPECT_EQ(brimoss::surface_text(s()), before);
}

TEST_F(FileTest, FailedSaveIsReported) {
  const wxString path = dir + "/no-such-folder/x.brm";
  auto box = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(EXPECT_FALSE(frame->SavePath(path, "0\n0\n0\n")), ExpectMessage(box, wxID_OK));
  EXPECT_TRUE(box->style & wxICON_ERROR);
  EXPECT_FALSE(wxFileExists(path));
}

namespace {

// Changes the sheet as a user does: a cell at vertex 0.
void ChangeTheSheet(MyFrame* frame) {
  brimoss::the_store().g_purtj = 0;
  wxCommandEvent ev(wxEVT_MENU, MenuId::AddNewCell);
  frame->ProcessWindowEvent(ev);
}

}  // namespace

TEST_F(FileTest, ExitCloseOpenAndSamplesAskToSaveAChangedSheet) {
  const wxString other = In("other.brm");
  WriteAll(other, brimoss::sample_as_file_text(130));
  // How each command shows that it went ahead.
  struct Command {
    const char* what;
    std::function<void()> run;  // sends the command
    int extraDialogs;           // the Open file dialog after the question
  };
  auto sent = [this](int id) { return [this, id] { Send(id); }; };
  const Command commands[] = {
      {"Exit", sent(MenuId::Quit), 0},
      {"closing the window", [this] { frame->Close(); }, 0},
      {"Open", sent(MenuId::Open), 1},
      {"Open Samples > 2", sent(MenuId::Sample2), 0},
  };
  for (const Command& c : commands) {
    for (int answer : {wxID_CANCEL, wxID_NO, wxID_YES}) {
      SCOPED_TRACE(std::string(c.what) + ", answered " + std::to_string(answer));
      if (!frame) {
        // The last case closed the window: a new one, as at start-up.
        frame = CreateMainWindow();
        InitializeData();
        frame->m_canvas->m_timer.Stop();
      }
      ChangeTheSheet(frame);
      ASSERT_TRUE(brimoss::ops::has_unsaved_edits(s()));
      const std::string changed = brimoss::surface_text(s());
      const wxString saved = In("saved.brm");
      wxRemoveFile(saved);
      auto ask = std::make_shared<SeenMessage>();
      auto save = std::make_shared<SeenFile>();
      auto open = std::make_shared<SeenFile>();
      if (answer == wxID_CANCEL) {
        wxTEST_DIALOG(c.run(), ExpectMessage(ask, wxID_CANCEL));
      } else if (answer == wxID_NO && c.extraDialogs) {
        wxTEST_DIALOG(c.run(), ExpectMessage(ask, wxID_NO), ExpectFile(open, other));
      } else if (answer == wxID_NO) {
        wxTEST_DIALOG(c.run(), ExpectMessage(ask, wxID_NO));
      } else if (c.extraDialogs) {
        wxTEST_DIALOG(c.run(), ExpectMessage(ask, wxID_YES), ExpectFile(save, saved),
                      ExpectFile(open, other));
      } else {
        wxTEST_DIALOG(c.run(), ExpectMessage(ask, wxID_YES), ExpectFile(save, saved));
      }
      EXPECT_EQ(ask->message, "Save the changes to the sheet?");
      EXPECT_TRUE(ask->style & wxCANCEL);
      EXPECT_EQ(wxGetTopLevelParent(ask->parent), frame);
      if (answer == wxID_YES) {
        EXPECT_TRUE(save->style & wxFD_SAVE);
        EXPECT_EQ(ReadAll(saved), changed) << "Save writes the changed sheet first";
      }
      const bool closes =
          std::string(c.what) == "Exit" || std::string(c.what) == "closing the window";
      if (answer == wxID_CANCEL) {
        EXPECT_FALSE(frame->IsBeingDeleted()) << "Cancel keeps the window";
        EXPECT_FALSE(wxPendingDelete.Member(frame));
        EXPECT_EQ(brimoss::surface_text(s()), changed) << "Cancel keeps the sheet";
        continue;
      }
      if (closes) {
        EXPECT_TRUE(wxPendingDelete.Member(frame)) << "the window closes";
        PumpFor(30);
        frame = nullptr;
        continue;
      }
      EXPECT_NE(brimoss::surface_text(s()), changed) << "the command went ahead";
      EXPECT_FALSE(brimoss::ops::has_unsaved_edits(s())) << "what was loaded is the file's";
    }
  }
  if (!frame) {
    frame = CreateMainWindow();
    InitializeData();
  }
}

TEST_F(FileTest, AnUnchangedSheetIsDroppedWithoutAQuestionAndSaveSaysWhatItWrote) {
  NoDialogs none;
  Send(MenuId::Sample4);
  ChangeTheSheet(frame);
  const std::string text = brimoss::surface_text(s());
  EXPECT_TRUE(frame->SavePath(In("sheet.brm"), text));
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1),
            wxString::Format("Saved sheet.brm: %d vertices", s().NOV));
  // Saved: nothing to ask about.
  Send(MenuId::Sample1);
  EXPECT_EQ(s().NOV, 8);
  // A message stays until the next change: a command carried out ends it.
  ChangeTheSheet(frame);
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1), "");
}
