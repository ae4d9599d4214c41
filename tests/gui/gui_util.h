// Shared pieces of the window tests: pumping events and a fresh main window.
#pragma once

#include <gtest/gtest.h>
#include <wx/stopwatch.h>
#include <wx/testing.h>
#include <wx/wx.h>

#include <functional>
#include <memory>
#include <ostream>

#include "app/app.h"
#include "app/frame.h"
#include "app/globals.h"
#include "app/ids.h"
#include "model/store.h"
#include "view/wx/canvas.h"

// Colours in failure messages as (r, g, b).
inline void PrintTo(const wxColour& c, std::ostream* os) {
  *os << "(" << int(c.Red()) << ", " << int(c.Green()) << ", " << int(c.Blue()) << ")";
}

// Runs the event loop until `done` or `ms` have passed; true when done.
inline bool Pump(const std::function<bool()>& done, long ms) {
  wxStopWatch sw;
  while (!done() && sw.Time() < ms) {
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    wxMilliSleep(2);
  }
  return done();
}

inline void PumpFor(long ms) {
  Pump([] { return false; }, ms);
}

// A main window brought up as the program does, on a store reset to the
// state before start-up and with the file names as at start-up.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    brimoss::reset_store(brimoss::the_store());
    g_Filename = "untitled";
    g_Path.clear();
    frame = CreateMainWindow();
    InitializeData();
  }
  // Waits until the window is on screen and its first size has arrived.
  void ShowAndSettle() {
    frame->Raise();
    ASSERT_TRUE(Pump([this] { return frame->IsShownOnScreen(); }, 3000));
    PumpFor(100);
  }
  void TearDown() override {
    if (frame) frame->Destroy();
    // Gone from the screen too, so the next test's window is the only one.
    Pump([] { return wxTopLevelWindows.IsEmpty(); }, 2000);
    PumpFor(30);
  }
  void Send(int id) {
    wxCommandEvent ev(wxEVT_MENU, id);
    ev.SetEventObject(frame);
    frame->ProcessWindowEvent(ev);
  }
  brimoss::Store& s() { return brimoss::the_store(); }

  MyFrame* frame = nullptr;
};

// What a message box showed, as seen by ExpectMessage.
struct SeenMessage {
  bool shown = false;
  wxString caption, message;
  long style = 0;
  wxWindow* parent = nullptr;
  bool parentOnScreen = false;  // the parent was on the screen as the box came up
};

// Expects a message box, records what it showed and answers it with `answer`.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
 public:
  ExpectMessage(std::shared_ptr<SeenMessage> seen, int answer)
      : seen_(std::move(seen)), answer_(answer) {}

 protected:
  int OnInvoked(wxMessageDialog* dlg) const override {
    seen_->shown = true;
    seen_->caption = dlg->GetCaption();
    seen_->message = dlg->GetMessage();
    seen_->style = dlg->GetMessageDialogStyle();
    seen_->parent = dlg->GetParent();
    seen_->parentOnScreen = seen_->parent && seen_->parent->IsShownOnScreen();
    return answer_;
  }

 private:
  std::shared_ptr<SeenMessage> seen_;
  int answer_;
};

// While alive, any modal dialog fails the test and is answered with Cancel.
class NoDialogs : public wxModalDialogHook {
 public:
  NoDialogs() { Register(); }
  ~NoDialogs() override { Unregister(); }

 protected:
  int Enter(wxDialog* dlg) override {
    ADD_FAILURE() << "unexpected dialog \"" << dlg->GetTitle().utf8_str() << "\"";
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}
};
