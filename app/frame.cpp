#include "app/frame.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/file_dialogs.h"
#include "app/globals.h"
#include "app/icon.xpm"
#include "app/ids.h"
#include "app/menu_table.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

using brimoss::Store;
using brimoss::the_store;

namespace {

// The menus, item for item as the table lists them.
wxMenu* BuildMenu(const std::string& name) {
  using brimoss::app::ItemKind;
  wxMenu* menu = new wxMenu;
  for (const brimoss::app::MenuItemRow& r : brimoss::app::menu_rows()) {
    if (name != r.menu) continue;
    const wxString text = wxString::FromUTF8(brimoss::app::item_text(r));
    const wxString help = wxString::FromUTF8(r.help);
    switch (r.kind) {
      case ItemKind::Normal:
        menu->Append(r.id, text, help);
        break;
      case ItemKind::Check:
        menu->AppendCheckItem(r.id, text, help);
        break;
      case ItemKind::Separator:
        menu->AppendSeparator();
        break;
      case ItemKind::Submenu:
        menu->Append(r.id, text, BuildMenu(brimoss::app::plain_label(r.label)), help);
        break;
    }
  }
  return menu;
}

wxMenuBar* BuildMenuBar() {
  wxMenuBar* bar = new wxMenuBar;
  for (const brimoss::app::MenuTitle& m : brimoss::app::menu_titles())
    bar->Append(BuildMenu(m.name), m.label);
  return bar;
}

}  // namespace

wxBEGIN_EVENT_TABLE(MyFrame, wxFrame)
  EVT_MENU(MenuId::Save, MyFrame::OnSave)
  EVT_MENU(MenuId::Export, MyFrame::OnExport)
  EVT_MENU(MenuId::SavePicture, MyFrame::OnSavePicture)
  EVT_MENU(MenuId::Open, MyFrame::OnOpen)
  EVT_MENU_RANGE(MenuId::Sample1, MenuId::Sample4, MyFrame::OnOpenSample)
  EVT_MENU(MenuId::Append, MyFrame::OnAppend)
  EVT_MENU(MenuId::About, MyFrame::OnAbout)
  EVT_MENU(MenuId::Quit, MyFrame::OnQuit)
  EVT_MENU(MenuId::Print, MyFrame::OnPrint)
  EVT_MENU(MenuId::PrintSetup, MyFrame::OnPrintSetup)
  EVT_MENU(MenuId::ZoomIn, MyFrame::OnZoomIn)
  EVT_MENU(MenuId::ZoomOut, MyFrame::OnZoomOut)
  EVT_MENU(MenuId::DefaultSize, MyFrame::OnDefaultSize)
  EVT_MENU_RANGE(MenuId::SwayOnce, MenuId::SwayMany, MyFrame::OnBuru)
  EVT_MENU_RANGE(MenuId::FaceForeground, MenuId::BackgroundColour, MyFrame::OnColor)
  EVT_MENU(MenuId::AddNewCell, MyFrame::OnAddNewCell)
  EVT_MENU(MenuId::Undo, MyFrame::OnUndo)
  EVT_MENU(MenuId::Mirror, MyFrame::OnMirror)
  EVT_MENU(MenuId::AddCopy, MyFrame::OnAddSame)
  EVT_MENU(MenuId::AddMirror, MyFrame::OnAddMirror)
  EVT_MENU(MenuId::PullPoint, MyFrame::OnPullPoint)
  EVT_MENU(MenuId::TouchPerturbation, MyFrame::OnTouchPurturb)
  EVT_MENU(MenuId::DetectComponents, MyFrame::OnDetectConnComp)
  EVT_MENU(MenuId::RemoveCell, MyFrame::OnRemoveCell)
  EVT_MENU(MenuId::Guide, MyFrame::OnGuide)
  EVT_MENU(MenuId::ShowFeedback, MyFrame::OnShowFeedback)
  EVT_MENU(MenuId::GrowSheet, MyFrame::OnGrowSheet)
  EVT_MENU(MenuId::GrowSheetUntilFull, MyFrame::OnGrowSheet)
  EVT_MENU(MenuId::ZoomToFit, MyFrame::OnZoomToFit)
  EVT_CLOSE(MyFrame::OnClose)
  EVT_MENU(MenuId::KeepApart, MyFrame::OnKeepApart)
wxEND_EVENT_TABLE()

MyFrame::MyFrame(const wxString& title, const wxPoint& pos, const wxSize& size) {
  Create(nullptr, wxID_ANY, title, pos, size, wxDEFAULT_FRAME_STYLE, wxFrameNameStr);
#ifdef __WXGTK__
  // Under a window manager the toolkit would otherwise hold the first Show
  // back until the manager reports its borders, and then show the window at
  // the 2 x 1 pixels it was realized with: the menu bar, asked to fit its
  // items into that, prints a Gtk-CRITICAL on every start. Shown at once, the
  // window is laid out at its own size from the first.
  m_deferShow = false;
#endif

  SetMenuBar(BuildMenuBar());
  m_swayMenu = GetMenuBar()->GetMenu(GetMenuBar()->FindMenu("Sway"));
  m_swayMenu->Check(MenuId::TouchPerturbation, true);

  CreateStatusBar(2);
  SetStatusText("Welcome to Brimoss!", 0);

  m_canvas = new MyCanvas(this);
  BindSheetCommands();
  SetIcon(wxIcon(icon1_xpm));
}

void MyFrame::PrepareDC(wxDC&) {}

void MyFrame::OnAbout(wxCommandEvent&) {
  wxMessageBox(wxString::Format("Brimoss.\n\nWritten with wxWidgets; a sheet of triangles that "
                                "cannot lie flat.\n\nVersion %s",
                                BRIMOSS_VERSION),
               "About Brimoss", wxOK | wxICON_INFORMATION, this);
}

// Not forced: the window may still ask whether to save the sheet, and Cancel
// keeps it open.
void MyFrame::OnQuit(wxCommandEvent&) { Close(); }

void MyFrame::OnClose(wxCloseEvent& event) {
  if (event.CanVeto() && !MayDropSheet()) {
    event.Veto();
    return;
  }
  event.Skip();
}

bool MyFrame::MayDropSheet() {
  if (!brimoss::ops::has_unsaved_edits(the_store())) return true;
  wxMessageDialog ask(this, "Save the changes to the sheet?", "Brimoss",
                      wxYES_NO | wxCANCEL | wxYES_DEFAULT | wxICON_QUESTION);
  ask.SetExtendedMessage(
      "Without saving, the changes since the sheet was last opened or saved "
      "are lost.");
  ask.SetYesNoCancelLabels("&Save", "&Don't save", "Cancel");
  switch (ask.ShowModal()) {
    case wxID_YES:
      return SaveWithDialog();
    case wxID_NO:
      return true;
    default:
      return false;
  }
}

void MyFrame::OnOpenSample(wxCommandEvent& event) {
  if (!MayDropSheet()) return;
  m_canvas->StopGrowth(CommandName(event.GetId()));
  brimoss::ops::load_sample(the_store(), 128 + event.GetId() - MenuId::Sample1);
  m_canvas->Report({});
  Refresh(false);
}

void MyFrame::OnUndo(wxCommandEvent&) {
  m_canvas->Report(brimoss::ops::undo(the_store()).why);
  Refresh(false);
}

void MyFrame::OnDetectConnComp(wxCommandEvent&) { brimoss::ops::detect_components(the_store()); }

void MyFrame::OnZoomIn(wxCommandEvent&) {
  brimoss::ops::zoom_in(the_store());
  Refresh(false);
}

void MyFrame::OnZoomOut(wxCommandEvent&) {
  brimoss::ops::zoom_out(the_store());
  Refresh(false);
}

void MyFrame::OnDefaultSize(wxCommandEvent&) {
  brimoss::ops::default_size(the_store());
  Refresh(false);
}

void MyFrame::OnZoomToFit(wxCommandEvent&) {
  m_canvas->ZoomToFit();
  Refresh(false);
}

namespace {

// Asks for a surface file; on OK remembers its name and returns its path.
bool ChooseFile(wxWindow* parent, long style, wxString& path) {
  wxFileDialog dlg(parent, "Choose a file", "", g_Filename, "Brimoss files(*.brm)|*.brm", style);
  if (dlg.ShowModal() != wxID_OK) return false;
  g_Filename = dlg.GetFilename();
  g_Path = ChosenPath(dlg);
  path = g_Path;
  return true;
}

}  // namespace

void MyFrame::OnOpen(wxCommandEvent&) {
  if (!MayDropSheet()) return;
  wxString path;
  if (!ChooseFile(m_canvas, wxFD_OPEN, path)) return;
  m_canvas->StopGrowth("Open");
  OpenPath(path);
}

void MyFrame::OnAppend(wxCommandEvent&) {
  wxString path;
  if (!ChooseFile(m_canvas, wxFD_OPEN, path)) return;
  m_canvas->StopGrowth("Open and append");
  AppendPath(path);
}

void MyFrame::OnSave(wxCommandEvent&) { SaveWithDialog(); }

bool MyFrame::SaveWithDialog() {
  // The surface as the command was chosen: a growing sheet goes on growing
  // while the dialog is open.
  const std::string text = brimoss::surface_text(the_store());
  const unsigned edits = the_store().edits;
  wxString path;
  return ChooseFile(m_canvas, wxFD_SAVE, path) && SavePath(path, text, edits);
}

bool MyFrame::LoadSurface(const wxString& path, std::string& why) {
  const brimoss::ops::Result r = brimoss::ops::open_file(the_store(), ToNative(path));
  if (!r) {
    why = r.why;
    return false;
  }
  m_canvas->Report({});
  Refresh(false);
  return true;
}

void MyFrame::TellNotOpened(const std::string& why) {
  wxMessageBox(wxString::Format("The surface was not opened.\n%s", wxString::FromUTF8(why)),
               "Brimoss", wxOK | wxICON_ERROR, this);
}

bool MyFrame::OpenPath(const wxString& path) {
  std::string why;
  if (LoadSurface(path, why)) return true;
  TellNotOpened(why);
  return false;
}

bool MyFrame::OpenPathAtStart(const wxString& path) {
  std::string why;
  if (LoadSurface(path, why)) return true;
  // Until the window manager has put the window on the screen, a box has no
  // window to centre on and lands in the screen's corner. Idle events come at
  // least with every tick of the canvas's timer.
  m_refusedAtStart = why;
  Bind(wxEVT_IDLE, &MyFrame::OnIdleTellRefusal, this);
  return false;
}

void MyFrame::OnIdleTellRefusal(wxIdleEvent& event) {
  event.Skip();
  if (!IsShownOnScreen()) return;
  Unbind(wxEVT_IDLE, &MyFrame::OnIdleTellRefusal, this);
  CallAfter([this] { TellNotOpened(m_refusedAtStart); });
}

bool MyFrame::AppendPath(const wxString& path) {
  const brimoss::ops::Result r = brimoss::ops::append_file(the_store(), ToNative(path));
  if (!r) {
    wxMessageBox(wxString::Format("The surface was not appended.\n%s", wxString::FromUTF8(r.why)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  m_canvas->Report({});
  TellCrossingsLeftByHand();
  Refresh(false);
  return true;
}

bool MyFrame::SavePath(const wxString& path, const std::string& text) {
  return SavePath(path, text, the_store().edits);
}

bool MyFrame::SavePath(const wxString& path, const std::string& text, unsigned edits) {
  if (!MayOverwrite(m_canvas, path)) return false;
  std::string err;
  if (!brimoss::write_file_atomically(ToNative(path), text, err)) {
    wxMessageBox(wxString::Format("The surface was not saved.\n%s", wxString::FromUTF8(err)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  brimoss::ops::mark_saved(the_store(), edits);
  // A surface file starts with its vertex count.
  m_canvas->Say(wxString::Format("Saved %s: %d vertices", wxFileName(path).GetFullName(),
                                 std::atoi(text.c_str())));
  return true;
}
