#include "app/frame.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/globals.h"
#include "app/icon.xpm"
#include "app/ids.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

using brimoss::Store;
using brimoss::the_store;

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
  EVT_MENU(MenuId::KeepApart, MyFrame::OnKeepApart)
wxEND_EVENT_TABLE()

MyFrame::MyFrame(const wxString& title, const wxPoint& pos, const wxSize& size) {
  Create(nullptr, wxID_ANY, title, pos, size, wxDEFAULT_FRAME_STYLE, wxFrameNameStr);

  wxMenu* samples = new wxMenu;
  samples->Append(MenuId::Sample1, "&1");
  samples->Append(MenuId::Sample2, "&2");
  samples->Append(MenuId::Sample3, "&3");
  samples->Append(MenuId::Sample4, "&4");

  wxMenu* file = new wxMenu;
  file->Append(MenuId::Open, "&Open\tCtrl-O");
  file->Append(MenuId::OpenSamples, "Open Sa&mples", samples);
  file->Append(MenuId::Append, "&Open and append\tCtrl-I");
  file->Append(MenuId::Save, "&Save\tCtrl-S");
  file->Append(MenuId::Export, "Export...");
  file->Append(MenuId::SavePicture, "Save picture...");
  file->AppendSeparator();
  file->Append(MenuId::Print, "&Print\tCtrl-P");
  file->Append(MenuId::PrintSetup, "PrintSet&Up");
  file->AppendSeparator();
  file->Append(MenuId::About, "&About...\tCtrl-A", "Show about dialog");
  file->AppendSeparator();
  file->Append(MenuId::Quit, "E&xit\tAlt-X", "Quit this program");

  wxMenu* edit = new wxMenu;
  edit->Append(MenuId::Undo, "&Undo\tCtrl-Z");
  edit->Append(MenuId::ZoomIn, "Zoom &In");
  edit->Append(MenuId::ZoomOut, "Zoom &Out");
  edit->Append(MenuId::DefaultSize, "&Default size");
  edit->AppendSeparator();
  edit->Append(MenuId::Mirror, "&Mirror image\tCtrl-M");
  edit->Append(MenuId::DetectComponents, "&Detect connected component\tCtrl-L");
  edit->AppendSeparator();
  edit->Append(MenuId::AddNewCell, "&Add new cells\tCtrl-C");
  edit->Append(MenuId::AddCopy, "&Add copy image\tCtrl-V");
  edit->Append(MenuId::AddMirror, "&Add mirror image \tCtrl-B");
  edit->Append(MenuId::PullPoint, "&Pull one point \tCtrl-N");
  edit->Append(MenuId::RemoveCell, "&Remove some cells \tCtrl-R");
  edit->AppendSeparator();
  edit->AppendCheckItem(MenuId::ShowFeedback, "Show &counts and current vertex");
  edit->AppendSeparator();
  edit->Append(MenuId::GrowSheet, "Grow sheet\tCtrl-G");

  m_swayMenu = new wxMenu;
  m_swayMenu->AppendCheckItem(MenuId::TouchPerturbation, "Touch purturbation &1\tCtrl-1");
  m_swayMenu->Check(MenuId::TouchPerturbation, true);
  m_swayMenu->AppendSeparator();
  m_swayMenu->Append(MenuId::SwayOnce, "Sway once &1\tCtrl-1");
  m_swayMenu->Append(MenuId::SwaySome, "Sway some &2\tCtrl-2");
  m_swayMenu->Append(MenuId::SwayMany, "Sway many &3\tCtrl-3");
  m_swayMenu->AppendSeparator();
  m_swayMenu->AppendCheckItem(MenuId::KeepApart, "Keep the sheet apart");

  wxMenu* colour = new wxMenu;
  colour->Append(MenuId::FaceForeground, "Face &foreground...");
  colour->Append(MenuId::FaceBackground, "Face &background...");
  colour->Append(MenuId::BackgroundColour, "Background &color...");

  wxMenu* help = new wxMenu;
  help->Append(MenuId::Help, "&Help\tCtrl-H");
  help->Append(MenuId::Guide, "Brimoss &guide\tF1");

  wxMenuBar* bar = new wxMenuBar;
  bar->Append(file, "&File");
  bar->Append(edit, "&Edit");
  bar->Append(m_swayMenu, "&Sway");
  bar->Append(colour, "&Colour");
  bar->Append(help, "&Help");
  SetMenuBar(bar);

  CreateStatusBar(2);
  SetStatusText("Welcome to Brimoss!", 0);

  m_canvas = new MyCanvas(this);
  BindSheetCommands();
  SetIcon(wxIcon(icon1_xpm));
}

void MyFrame::PrepareDC(wxDC&) {}

void MyFrame::OnAbout(wxCommandEvent&) {
  wxMessageBox("Brimoss.\n\nWritten with wxWidgets; a sheet of triangles that cannot lie flat.",
               "About Brimoss", wxOK | wxICON_INFORMATION, this);
}

void MyFrame::OnQuit(wxCommandEvent&) { Close(true); }

void MyFrame::OnOpenSample(wxCommandEvent& event) {
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

namespace {

// Asks for a surface file; on OK remembers its name and returns its path.
bool ChooseFile(wxWindow* parent, long style, wxString& path) {
  wxFileDialog dlg(parent, "Choose a file", "", g_Filename, "Brimoss files(*.brm)|*.brm", style);
  if (dlg.ShowModal() != wxID_OK) return false;
  g_Filename = dlg.GetFilename();
  // The dialog's whole path: a path typed into its name field may name another
  // folder than the one it shows, and joining that folder to the bare name
  // would read or overwrite the wrong file. Only a dialog answered without
  // being shown (in a test) reports no path; its parts are all there is.
  g_Path = dlg.GetPath();
  if (g_Path.empty()) g_Path = wxFileName(dlg.GetDirectory(), dlg.GetFilename()).GetFullPath();
  path = g_Path;
  return true;
}

std::string ToNative(const wxString& path) { return std::string(path.fn_str()); }

}  // namespace

void MyFrame::OnOpen(wxCommandEvent&) {
  wxString path;
  if (ChooseFile(m_canvas, wxFD_OPEN, path)) OpenPath(path);
}

void MyFrame::OnAppend(wxCommandEvent&) {
  wxString path;
  if (ChooseFile(m_canvas, wxFD_OPEN, path)) AppendPath(path);
}

void MyFrame::OnSave(wxCommandEvent&) {
  const std::string text = brimoss::surface_text(the_store());
  wxString path;
  if (ChooseFile(m_canvas, wxFD_SAVE, path)) SavePath(path, text);
}

bool MyFrame::OpenPath(const wxString& path) {
  const brimoss::ops::Result r = brimoss::ops::open_file(the_store(), ToNative(path));
  if (!r) {
    wxMessageBox(wxString::Format("The surface was not opened.\n%s", wxString::FromUTF8(r.why)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  m_canvas->Report({});
  Refresh(false);
  return true;
}

bool MyFrame::AppendPath(const wxString& path) {
  const brimoss::ops::Result r = brimoss::ops::append_file(the_store(), ToNative(path));
  if (!r) {
    wxMessageBox(wxString::Format("The surface was not appended.\n%s", wxString::FromUTF8(r.why)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  m_canvas->Report({});
  Refresh(false);
  return true;
}

bool MyFrame::SavePath(const wxString& path, const std::string& text) {
  if (wxFile::Access(path, wxFile::read)) {
    wxMessageDialog ask(m_canvas, "This file already exists.\nAre you sure to overwrite it?",
                        "Alert", wxYES_NO | wxICON_EXCLAMATION);
    if (ask.ShowModal() == wxID_NO) return false;
  }
  std::string err;
  if (!brimoss::write_file_atomically(ToNative(path), text, err)) {
    wxMessageBox(wxString::Format("The surface was not saved.\n%s", wxString::FromUTF8(err)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  return true;
}
