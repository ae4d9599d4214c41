// A long run of random user actions on the real window: every menu command as
// a menu event with its dialogs answered, touches, flicks, grabs and drags,
// paste gestures, loads, saves, re-opens and appends of files this run wrote
// itself, exports and pictures, undo and resizing, interleaved with timer ticks, both sent and from
// the running timer. After every action the store must keep its rules.
//
// SOAK_SECONDS bounds the run (120 by default), SOAK_SEED picks the sequence;
// a failure names the seed, the action's number and the last actions taken.
#include <wx/colordlg.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/printdlg.h>
#include <wx/uiaction.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/export_dialog.h"
#include "gui_util.h"
#include "model/invariants.h"
#include "model/samples.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

namespace {

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* v = std::getenv(name);
  if (!v || !*v) return fallback;
  char* end = nullptr;
  const unsigned long n = std::strtoul(v, &end, 10);
  return end && *end == '\0' ? n : fallback;
}

std::string ReadAll(const wxString& path) {
  std::string text, err;
  brimoss::read_whole_file(std::string(path.fn_str()), text, err);
  return text;
}

// Runs the event loop for `ms`, one dispatch at a time. (Yield would go on as
// long as anything is pending, and a timer whose ticks take longer than its
// period always has a tick pending.)
void RunFor(long ms) {
  wxGUIEventLoop loop;
  wxEventLoopActivator active(&loop);
  wxStopWatch sw;
  while (sw.Time() < ms) {
    loop.DispatchTimeout(5);
    wxTheApp->ProcessPendingEvents();
  }
  wxTheApp->ProcessIdle();
}

// Answers every modal dialog the actions bring up and notes what it saw.
class Answerer : public wxModalDialogHook {
 public:
  explicit Answerer(std::mt19937& rng) : rng_(rng) { Register(); }
  ~Answerer() override { Unregister(); }

  // The file the next file dialog picks; empty cancels it.
  wxString path;
  // What each dialog since the last Clear() was, in order, and the message
  // boxes' texts.
  std::vector<std::string> seen;
  bool declinedOverwrite = false;
  // How "Save the changes to the sheet?" was answered (Don't save or
  // Cancel), or 0 when it was not asked; `dropAnswer` forces an answer.
  int dropAnswered = 0;
  int dropAnswer = 0;

  void Clear() {
    seen.clear();
    declinedOverwrite = false;
    dropAnswered = 0;
  }
  bool DropCancelled() const { return dropAnswered == wxID_CANCEL; }
  bool Saw(const std::string& what) const {
    for (const std::string& s : seen)
      if (s.find(what) != std::string::npos) return true;
    return false;
  }

 protected:
  int Enter(wxDialog* dlg) override {
    if (auto* fd = dynamic_cast<wxFileDialog*>(dlg)) {
      seen.push_back("file dialog");
      if (path.empty()) return wxID_CANCEL;
      fd->SetPath(path);
      return wxID_OK;
    }
    if (auto* md = dynamic_cast<wxMessageDialog*>(dlg)) {
      seen.push_back("message \"" + std::string(md->GetCaption().utf8_str()) + ": " +
                     std::string(md->GetMessage().utf8_str()) + "\"");
      if (md->GetMessage() == "Save the changes to the sheet?") {
        dropAnswered = dropAnswer ? dropAnswer : rng_() % 3 == 0 ? wxID_CANCEL : wxID_NO;
        return dropAnswered;
      }
      if (md->GetMessageDialogStyle() & wxYES_NO) {
        declinedOverwrite = rng_() % 3 == 0;
        return declinedOverwrite ? wxID_NO : wxID_YES;
      }
      return wxID_OK;
    }
    if (dynamic_cast<wxPrintDialogBase*>(dlg)) {
      seen.push_back("print dialog");
      return wxID_CANCEL;
    }
    if (dynamic_cast<wxPageSetupDialogBase*>(dlg)) {
      seen.push_back("page setup dialog");
      return wxID_CANCEL;
    }
    if (dynamic_cast<ExportOptionsDialog*>(dlg)) {
      seen.push_back("export settings");
      return wxID_OK;
    }
    if (dynamic_cast<wxColourDialog*>(dlg)) {
      seen.push_back("colour dialog");
      return wxID_CANCEL;
    }
    seen.push_back("unexpected dialog \"" + std::string(dlg->GetTitle().utf8_str()) + "\"");
    return wxID_CANCEL;
  }
  void Exit(wxDialog*) override {}

 private:
  std::mt19937& rng_;
};

// A small surface of random triangles among random points, with the edges of
// its faces and a few more, each listed once and lower index first.
std::string RandomSurfaceText(std::mt19937& r) {
  std::uniform_real_distribution<double> coord(-3, 3);
  const int nov = 3 + static_cast<int>(r() % 30);
  std::ostringstream t;
  t.precision(17);
  t << nov << "\n";
  for (int i = 0; i < nov; ++i) t << coord(r) << "," << coord(r) << "," << coord(r) << "\n";
  std::vector<std::vector<bool>> joined(nov, std::vector<bool>(nov, false));
  std::vector<std::pair<int, int>> edges;
  auto join = [&](int a, int b) {
    if (a == b) return;
    if (a > b) std::swap(a, b);
    if (joined[a][b]) return;
    joined[a][b] = true;
    edges.emplace_back(a, b);
  };
  std::vector<std::array<int, 3>> faces;
  const int nos = static_cast<int>(r() % (2 * nov));
  for (int f = 0; f < nos; ++f) {
    const int a = r() % nov, b = r() % nov, c = r() % nov;
    if (a == b || b == c || a == c) continue;
    faces.push_back({a, b, c});
    join(a, b);
    join(b, c);
    join(a, c);
  }
  for (int k = static_cast<int>(r() % 5); k > 0; --k) join(r() % nov, r() % nov);
  t << edges.size() << "\n";
  for (auto [a, b] : edges) t << a << "," << b << "," << (r() % 2 ? "a" : "b") << "\n";
  t << faces.size() << "\n";
  for (auto& f : faces) t << f[0] << "," << f[1] << "," << f[2] << "\n";
  return t.str();
}

class Soak : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    char tmpl[] = "/tmp/brimoss-soak-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
    WindowTest::TearDown();
  }

  MyCanvas* canvas() { return frame->m_canvas; }

  wxString NewFile(const char* stem) {
    return wxFileName(dir, wxString::Format("%s-%d.brm", stem, fileCount++)).GetFullPath();
  }
  void Write(const wxString& path, const std::string& text) {
    std::string err;
    ASSERT_TRUE(brimoss::write_file_atomically(std::string(path.fn_str()), text, err)) << err;
    files.push_back(path);
  }

  void Note(const std::string& what) {
    log.push_back(std::to_string(actions) + ": " + what);
    if (trace) std::fprintf(stderr, "%s\n", log.back().c_str());
    if (log.size() > 40) log.pop_front();
  }
  std::string Tail() const {
    std::string t;
    for (const std::string& l : log) t += "  " + l + "\n";
    return t;
  }

  // --- mouse -------------------------------------------------------------

  void Mouse(wxEventType type, wxPoint p, bool left = false, bool right = false) {
    wxMouseEvent ev(type);
    ev.SetPosition(p);
    ev.SetLeftDown(left);
    ev.SetRightDown(right);
    if (type == wxEVT_MOUSEWHEEL) {
      ev.m_wheelRotation = rng() % 2 ? 120 : -120;
      ev.m_wheelDelta = 120;
    }
    ev.SetEventObject(canvas());
    canvas()->ProcessWindowEvent(ev);
  }

  // Somewhere on the canvas: mostly on a drawn vertex, sometimes anywhere,
  // now and then far outside the window.
  wxPoint Somewhere() {
    const int n = s().NOV;
    const unsigned pick = rng() % 10;
    if (n > 0 && pick < 7) {
      const int v = static_cast<int>(rng() % n);
      return wxPoint(s().gx[v] + static_cast<int>(rng() % 9) - 4,
                     s().gy[v] + static_cast<int>(rng() % 9) - 4);
    }
    if (pick < 9) {
      const wxSize c = canvas()->GetClientSize();
      return wxPoint(static_cast<int>(rng() % (c.x + 1)), static_cast<int>(rng() % (c.y + 1)));
    }
    return wxPoint(static_cast<int>(rng() % 20000) - 10000,
                   static_cast<int>(rng() % 20000) - 10000);
  }
  wxPoint At(int v) { return wxPoint(s().gx[v], s().gy[v]); }
  std::string Where(wxPoint p) {
    return "(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
  }

  void Touch() {
    const wxPoint p = Somewhere();
    Note("touch " + Where(p));
    Mouse(wxEVT_MOTION, p);
  }

  void Flick() {
    const wxPoint a = Somewhere(), b = Somewhere();
    Note("flick " + Where(a) + " to " + Where(b));
    Mouse(wxEVT_LEFT_DOWN, a, true);
    for (int k = static_cast<int>(rng() % 4); k > 0; --k) Mouse(wxEVT_MOTION, Somewhere(), true);
    Mouse(wxEVT_LEFT_UP, b);
  }

  void RightDrag() {
    const wxPoint a = Somewhere();
    std::string what = "right grab " + Where(a);
    Mouse(wxEVT_RIGHT_DOWN, a, false, true);
    for (int k = static_cast<int>(rng() % 6); k > 0; --k) {
      const wxPoint p = Somewhere();
      what += " " + Where(p);
      Mouse(wxEVT_MOTION, p, false, true);
      if (rng() % 3 == 0) Tick();
    }
    const wxPoint b = Somewhere();
    Note(what + " release " + Where(b));
    Mouse(wxEVT_RIGHT_UP, b);
  }

  // Touch A, press, drag to B and release there; A and B are picked among the
  // vertices that a join could take (corners of 2 or 4 faces), B near A.
  void PasteGesture() {
    const int n = s().NOV;
    if (n < 2) return Flick();
    std::vector<int> corners(n, 0), cand;
    for (int f = 0; f < s().NOS; ++f)
      for (int k = 0; k < 3; ++k) ++corners[s().face[f][k]];
    for (int v = 0; v < n; ++v)
      if (corners[v] == 2 || corners[v] == 4) cand.push_back(v);
    if (cand.size() < 2) return Flick();
    const int a = cand[rng() % cand.size()];
    int b = cand[rng() % cand.size()];
    for (int k = 0; k < 8; ++k) {
      const int c = cand[rng() % cand.size()];
      const auto d = [&](int v) {
        return std::abs(s().gx[v] - s().gx[a]) + std::abs(s().gy[v] - s().gy[a]);
      };
      if (c != a && (b == a || d(c) < d(b))) b = c;
    }
    Note("paste gesture " + std::to_string(a) + Where(At(a)) + " to " + std::to_string(b) +
         Where(At(b)));
    Mouse(wxEVT_MOTION, At(a));
    Mouse(wxEVT_LEFT_DOWN, At(a), true);
    Mouse(wxEVT_MOTION, (At(a) + At(b)) / 2, true);
    Mouse(wxEVT_LEFT_UP, At(b));
  }

  void MouseNoise() {
    static const wxEventType kinds[] = {wxEVT_ENTER_WINDOW, wxEVT_LEAVE_WINDOW, wxEVT_MOUSEWHEEL,
                                        wxEVT_MIDDLE_DOWN,  wxEVT_MIDDLE_UP,    wxEVT_LEFT_DCLICK,
                                        wxEVT_RIGHT_DCLICK};
    const wxEventType k = kinds[rng() % std::size(kinds)];
    const wxPoint p = Somewhere();
    Note("mouse event " + std::to_string(k) + " " + Where(p));
    Mouse(k, p);
  }

  // The pointer itself, through the X server. The simulator waits for its
  // event with Yield, which never returns while ticks take longer than the
  // timer's period (a paste on a large surface under the sanitizers), so the
  // timer rests meanwhile.
  void RealPointer() {
    const wxPoint p = Somewhere();
    const bool click = rng() % 2 == 0;
    Note("real pointer to " + Where(p) + (click ? " and left click" : ""));
    canvas()->m_timer.Stop();
    sim.MouseMove(canvas()->ClientToScreen(p));
    if (click) sim.MouseClick();
    canvas()->m_timer.Start(20, wxTIMER_CONTINUOUS);
    RunFor(20);
  }

  // The wheel (sent, any amount either way, parts of notches too), the arrows
  // and Home (sent as the canvas receives them).
  void Navigate() {
    if (rng() % 2) {
      const wxPoint p = Somewhere();
      const int rotation = static_cast<int>(rng() % 721) - 360;
      Note("wheel " + std::to_string(rotation) + " at " + Where(p));
      wxMouseEvent ev(wxEVT_MOUSEWHEEL);
      ev.SetEventObject(canvas());
      ev.SetPosition(p);
      ev.m_wheelRotation = rotation;
      ev.m_wheelDelta = 120;
      ev.m_wheelAxis = wxMOUSE_WHEEL_VERTICAL;
      canvas()->ProcessWindowEvent(ev);
      return;
    }
    static const int kKeys[] = {WXK_LEFT, WXK_RIGHT, WXK_UP, WXK_DOWN, WXK_HOME};
    const int key = kKeys[rng() % std::size(kKeys)];
    Note("key " + std::to_string(key));
    wxKeyEvent ev(wxEVT_KEY_DOWN);
    ev.SetEventObject(canvas());
    ev.m_keyCode = key;
    canvas()->ProcessWindowEvent(ev);
  }

  // --- time --------------------------------------------------------------

  void Tick() {
    wxStopWatch sw;
    wxTimerEvent te(canvas()->m_timer);
    canvas()->ProcessWindowEvent(te);
    slowestTick = std::max(slowestTick, sw.Time());
  }

  void LetTimePass() {
    switch (rng() % 4) {
      case 0: {
        const int n = 1 + static_cast<int>(rng() % 4);
        Note(std::to_string(n) + " sent ticks");
        for (int k = 0; k < n; ++k) Tick();
        break;
      }
      case 1: {
        const long ms = 5 + static_cast<long>(rng() % 60);
        Note("running " + std::to_string(ms) + " ms");
        RunFor(ms);
        break;
      }
      case 2:
        Note("repaint");
        canvas()->Refresh(false);
        canvas()->Update();
        break;
      default:
        Note("idle");
        wxTheApp->ProcessIdle();
        break;
    }
  }

  // --- menu --------------------------------------------------------------

  void Menu(int id, const std::string& what) {
    Note("menu " + std::to_string(id) + " " + what);
    answerer->Clear();
    Send(id);
  }

  // Problems with a command's dialogs, or an empty string.
  std::string MenuCommand() {
    static const int kIds[] = {MenuId::About,
                               MenuId::Open,
                               MenuId::OpenSamples,
                               MenuId::Save,
                               MenuId::Export,
                               MenuId::SavePicture,
                               MenuId::Append,
                               MenuId::Print,
                               MenuId::PrintSetup,
                               MenuId::Sample1,
                               MenuId::Sample2,
                               MenuId::Sample3,
                               MenuId::Sample4,
                               MenuId::Undo,
                               MenuId::ZoomIn,
                               MenuId::ZoomOut,
                               MenuId::DefaultSize,
                               MenuId::AddNewCell,
                               MenuId::AddNewCell,
                               MenuId::AddNewCell,
                               MenuId::Mirror,
                               MenuId::AddCopy,
                               MenuId::AddMirror,
                               MenuId::PullPoint,
                               MenuId::DetectComponents,
                               MenuId::RemoveCell,
                               MenuId::TouchPerturbation,
                               MenuId::SwayOnce,
                               MenuId::SwaySome,
                               MenuId::SwayMany,
                               MenuId::Help,
                               MenuId::FaceForeground,
                               MenuId::FaceBackground,
                               MenuId::BackgroundColour,
                               MenuId::Open,
                               MenuId::Append,
                               MenuId::Save,
                               MenuId::Undo,
                               MenuId::AddNewCell,
                               MenuId::PullPoint,
                               MenuId::RemoveCell,
                               MenuId::SwayOnce,
                               MenuId::SwayMany,
                               MenuId::Sample1,
                               MenuId::Sample4,
                               MenuId::AddCopy,
                               MenuId::ShowFeedback,
                               MenuId::GrowSheet,
                               MenuId::GrowSheetUntilFull,
                               MenuId::ZoomToFit};
    const int id = kIds[rng() % std::size(kIds)];
    Answerer& a = *answerer;
    switch (id) {
      case MenuId::Open:
      case MenuId::Append: {
        const bool cancel = files.empty() || rng() % 10 == 0;
        a.path = cancel ? wxString() : files[rng() % files.size()];
        const std::string before = brimoss::surface_text(s());
        const int nov = s().NOV;
        const bool unsaved = brimoss::ops::has_unsaved_edits(s());
        Menu(id, (id == MenuId::Open ? "open " : "append ") +
                     (cancel ? std::string("(cancelled)") : std::string(a.path.utf8_str())));
        // Open asks first about a changed sheet; Open and append adds to it.
        const bool asks = id == MenuId::Open && unsaved;
        if (asks != a.Saw("Save the changes")) return "the question about the changes wrong";
        if (a.DropCancelled()) {
          if (brimoss::surface_text(s()) != before) return "Cancel changed the surface";
          return a.seen.size() == 1 ? "" : "more than the question: " + a.seen.back();
        }
        if (asks) a.seen.erase(a.seen.begin());
        if (!a.Saw("file dialog")) return "no file dialog";
        if (cancel) {
          if (brimoss::surface_text(s()) != before) return "a cancelled dialog changed the surface";
          return a.seen.size() == 1 ? "" : "more than the file dialog: " + a.seen.back();
        }
        if (a.seen.size() == 1) {
          // Read as it was written: the counts of the file arrived.
          brimoss::ParsedSurface p;
          std::string err;
          if (!brimoss::parse_surface(ReadAll(a.path), '\n', p, err)) return "reread: " + err;
          if (s().NOV != (id == MenuId::Open ? 0 : nov) + p.nov())
            return "vertex count not the file's";
          return "";
        }
        // Only a file that does not fit may be refused.
        const std::string& m = a.seen.back();
        if (a.seen.size() == 2 && (m.find("do not fit") != std::string::npos ||
                                   m.find("separate pieces") != std::string::npos)) {
          if (brimoss::surface_text(s()) != before) return "a refused file changed the surface";
          return "";
        }
        return "file this run wrote refused: " + m;
      }
      case MenuId::Save: {
        const bool cancel = rng() % 10 == 0;
        const bool existing = !files.empty() && rng() % 3 == 0;
        a.path = cancel ? wxString() : existing ? files[rng() % files.size()] : NewFile("saved");
        const std::string text = brimoss::surface_text(s());
        const unsigned edits = s().edits;
        const std::string old = cancel ? "" : ReadAll(a.path);
        Menu(id, "save " + (cancel ? std::string("(cancelled)") : std::string(a.path.utf8_str())));
        if (!a.Saw("file dialog")) return "no file dialog";
        if (cancel) return "";
        if (existing !=
            a.Saw("Replace " + std::string(wxFileName(a.path).GetFullName().utf8_str()) + "?"))
          return "overwrite question wrong";
        if (a.declinedOverwrite) return ReadAll(a.path) == old ? "" : "declined but written";
        if (ReadAll(a.path) != text) return "the file is not the surface as it was";
        if (!frame->GetStatusBar()->GetStatusText(1).StartsWith("Saved " +
                                                                wxFileName(a.path).GetFullName()))
          return "the status bar does not say what was saved";
        if (brimoss::ops::has_unsaved_edits(s()) && s().edits == edits)
          return "saved, yet the sheet counts as changed";
        if (!existing) files.push_back(a.path);
        return "";
      }
      case MenuId::Export:
      case MenuId::SavePicture: {
        // Named without a type: the dialog's first entry, OBJ or PNG, adds it.
        const bool cancel = rng() % 10 == 0;
        const bool picture = id == MenuId::SavePicture;
        const wxString stem = NewFile(picture ? "picture" : "export").BeforeLast('.');
        const wxString written = stem + (picture ? ".png" : ".obj");
        a.path = cancel ? wxString() : stem;
        const int nov = s().NOV;
        const wxSize size = canvas()->GetClientSize();
        Menu(id, (picture ? "picture " : "export ") +
                     (cancel ? std::string("(cancelled)") : std::string(written.utf8_str())));
        if (!a.Saw("file dialog")) return "no file dialog";
        if (cancel) return a.seen.size() == 1 ? "" : "more than the file dialog: " + a.seen.back();
        if (!picture && !a.Saw("export settings")) return "no export settings";
        if (a.seen.size() != (picture ? 1u : 2u)) return "unexpected " + a.seen.back();
        if (picture) {
          wxImage img;
          if (!img.LoadFile(written, wxBITMAP_TYPE_PNG)) return "the picture cannot be read";
          return img.GetSize() == size ? "" : "the picture is not the canvas's size";
        }
        int v = 0;
        std::istringstream obj(ReadAll(written));
        for (std::string l; std::getline(obj, l);) v += l.rfind("v ", 0) == 0;
        return v == nov ? "" : "the export does not have the sheet's vertices";
      }
      case MenuId::Print:
        Menu(id, "print");
        if (!a.Saw("print dialog") || !a.Saw("You canceled printing"))
          return "print cancel not reported";
        return "";
      case MenuId::PrintSetup:
        Menu(id, "page setup");
        return a.Saw("page setup dialog") ? "" : "no page setup dialog";
      case MenuId::About:
        Menu(id, "about");
        return a.Saw("About Brimoss") ? "" : "no about box";
      case MenuId::FaceForeground:
      case MenuId::FaceBackground:
      case MenuId::BackgroundColour: {
        const unsigned how = rng() % 3;
        const wxColour c(rng() % 256, rng() % 256, rng() % 256);
        if (how == 0)
          frame->m_askColour = [c] { return c; };
        else if (how == 1)
          frame->m_askColour = [] { return wxColour(); };
        else
          frame->m_askColour = nullptr;
        Menu(id, how == 0   ? "colour " + std::string(c.GetAsString().utf8_str())
                 : how == 1 ? "colour (cancelled)"
                            : "colour (dialog cancelled)");
        if (how == 2 && !a.Saw("colour dialog")) return "no colour dialog";
        return "";
      }
      case MenuId::Sample1:
      case MenuId::Sample2:
      case MenuId::Sample3:
      case MenuId::Sample4: {
        const bool unsaved = brimoss::ops::has_unsaved_edits(s());
        const std::string before = brimoss::surface_text(s());
        Menu(id, "");
        if (unsaved != a.Saw("Save the changes")) return "the question about the changes wrong";
        if (a.seen.size() > (unsaved ? 1u : 0u)) return "unexpected " + a.seen.back();
        if (a.DropCancelled())
          return brimoss::surface_text(s()) == before ? "" : "Cancel changed the surface";
        return brimoss::ops::has_unsaved_edits(s()) ? "a sample loaded counts as changed" : "";
      }
      default:
        Menu(id, "");
        return a.seen.empty() ? "" : "unexpected " + a.seen.front();
    }
  }

  // --- the rest ------------------------------------------------------------

  void Resize() {
    const wxSize sz(250 + static_cast<int>(rng() % 900), 200 + static_cast<int>(rng() % 700));
    Note("resize to " + std::to_string(sz.x) + "x" + std::to_string(sz.y));
    frame->SetSize(sz);
    RunFor(10);
  }

  void WriteSomeFile() {
    const unsigned pick = rng() % 3;
    const wxString path = NewFile("made");
    if (pick == 0) {
      const int n = 128 + static_cast<int>(rng() % 4);
      Note("write sample " + std::to_string(n));
      Write(path, brimoss::sample_as_file_text(n));
    } else {
      Note("write a random surface");
      Write(path, RandomSurfaceText(rng));
    }
  }

  // Why the window or the store is not sound, or an empty string.
  std::string Unsound() {
    std::string why;
    if (!brimoss::check_invariants(s(), &why)) return why;
    if (!brimoss::check_edges_ordered(s(), &why)) return why;
    if (!canvas()->m_timer.IsRunning()) return "the timer stopped";
    if (!ScreenBitmap().IsOk()) return "the canvas image is gone";
    const wxSize c = canvas()->GetClientSize();
    if (ScreenBitmap().GetWidth() < c.x || ScreenBitmap().GetHeight() < c.y)
      return "the canvas image is smaller than the canvas";
    const bool feedback = frame->GetMenuBar()->IsChecked(MenuId::ShowFeedback);
    if (feedback != canvas()->FeedbackShown()) return "the item's mark and the feedback differ";
    // While the item is off the field says only what the program itself
    // has to say (what was written, how a growth goes), never the counts.
    const wxString field = frame->GetStatusBar()->GetStatusText(1);
    if (feedback && field.empty()) return "the counts are missing";
    if (!feedback && field.Matches("* vertices, * edges, * faces"))
      return "the counts show while the item is off";
    return "";
  }

  std::mt19937 rng;
  std::unique_ptr<Answerer> answerer;
  wxUIActionSimulator sim;
  wxString dir;
  std::vector<wxString> files;
  int fileCount = 0;
  long actions = 0;
  long slowestTick = 0;
  std::deque<std::string> log;
  // SOAK_TRACE=1 prints every action as it is taken.
  const bool trace = EnvNumber("SOAK_TRACE", 0) != 0;
};

}  // namespace

TEST_F(Soak, RandomUserActionsKeepTheStoreSound) {
  const unsigned seed = static_cast<unsigned>(EnvNumber("SOAK_SEED", 20261210));
  const unsigned long seconds = EnvNumber("SOAK_SECONDS", 120);
  rng.seed(seed);
  ShowAndSettle();
  answerer = std::make_unique<Answerer>(rng);
  for (int n = 128; n <= 131; ++n) Write(NewFile("sample"), brimoss::sample_as_file_text(n));

  wxStopWatch clock;
  long menus = 0, gestures = 0, pastes = 0;
  bool pasting = false;
  int largest = 0;
  while (clock.Time() < static_cast<long>(seconds) * 1000) {
    ++actions;
    std::string problem;
    const unsigned pick = rng() % 100;
    if (pick < 30) {
      problem = MenuCommand();
      ++menus;
    } else if (pick < 40) {
      Touch();
      ++gestures;
    } else if (pick < 48) {
      Flick();
      ++gestures;
    } else if (pick < 56) {
      RightDrag();
      ++gestures;
    } else if (pick < 66) {
      PasteGesture();
      ++gestures;
    } else if (pick < 70) {
      MouseNoise();
    } else if (pick < 72) {
      RealPointer();
    } else if (pick < 74) {
      Resize();
    } else if (pick < 77) {
      WriteSomeFile();
    } else if (pick < 82) {
      Navigate();
      ++gestures;
    } else {
      LetTimePass();
    }
    if (problem.empty() && rng() % 2) LetTimePass();
    if (problem.empty()) problem = Unsound();
    if (s().g_pasteevent > 0 && !pasting) ++pastes;
    pasting = s().g_pasteevent > 0;
    largest = std::max(largest, s().NOV);
    if (!problem.empty()) {
      FAIL() << "seed " << seed << ", action " << actions << ": " << problem << "\nlast actions:\n"
             << Tail();
    }
  }

  // Exit, last of all: the window goes at once, the changes not saved.
  answerer->dropAnswer = wxID_NO;
  Menu(1, "exit");
  for (int k = 0; k < 300 && !wxTopLevelWindows.IsEmpty(); ++k) RunFor(10);
  EXPECT_TRUE(wxTopLevelWindows.IsEmpty());
  frame = nullptr;
  answerer.reset();
  std::printf(
      "soak: %ld actions (%ld menu commands, %ld gestures, %ld pastes begun, at most %d vertices, "
      "slowest sent tick %ld ms) in %.0f s, seed %u\n",
      actions, menus, gestures, pastes, largest, slowestTick, clock.Time() / 1000.0, seed);
}
