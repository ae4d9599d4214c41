// Shared pieces of the window tests: pumping events and a fresh main window.
#pragma once

#include <gtest/gtest.h>
#include <wx/stopwatch.h>
#include <wx/wx.h>

#include <functional>

#include "app/app.h"
#include "app/frame.h"
#include "app/globals.h"
#include "model/store.h"
#include "view/wx/canvas.h"

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
    frame->Destroy();
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
