#include "app/frame.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

#include "app/globals.h"
#include "model/components.h"
#include "model/samples.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "model/undo.h"
#include "sim/relax.h"
#include "view/wx/canvas.h"

using brimoss::Store;
using brimoss::the_store;

wxBEGIN_EVENT_TABLE(MyFrame, wxFrame) EVT_MENU(7, MyFrame::OnSave) EVT_MENU(5, MyFrame::OnOpen)
    EVT_MENU_RANGE(11, 14, MyFrame::OnOpenSample) EVT_MENU(8, MyFrame::OnAppend)
        EVT_MENU(2, MyFrame::OnAbout) EVT_MENU(1, MyFrame::OnQuit) EVT_MENU(9, MyFrame::OnPrint)
            EVT_MENU(10, MyFrame::OnPrintSetup) EVT_MENU(16, MyFrame::OnZoomIn)
                EVT_MENU(17, MyFrame::OnZoomOut) EVT_MENU(18, MyFrame::OnDefaultSize)
                    EVT_MENU_RANGE(27, 29, MyFrame::OnBuru) EVT_MENU_RANGE(31, 33, MyFrame::OnColor)
                        EVT_MENU(19, MyFrame::OnAddNewCell) EVT_MENU(15, MyFrame::OnUndo)
                            EVT_MENU(20, MyFrame::OnMirror) EVT_MENU(21, MyFrame::OnAddSame)
                                EVT_MENU(22, MyFrame::OnAddMirror)
                                    EVT_MENU(23, MyFrame::OnPullPoint)
                                        EVT_MENU(26, MyFrame::OnTouchPurturb)
                                            EVT_MENU(24, MyFrame::OnDetectConnComp)
                                                EVT_MENU(25, MyFrame::OnRemoveCell)
                                                    wxEND_EVENT_TABLE()

                                                        MyFrame::MyFrame(const wxString& title,
                                                                         const wxPoint& pos,
                                                                         const wxSize& size) {
  Create(nullptr, wxID_ANY, title, pos, size, wxDEFAULT_FRAME_STYLE, wxFrameNameStr);

  wxMenu* samples = new wxMenu;
  samples->Append(11, "&1");
  samples->Append(12, "&2");
  samples->Append(13, "&3");
  samples->Append(14, "&4");

  wxMenu* file = new wxMenu;
  file->Append(5, "&Open\tCtrl-O");
  file->Append(6, "Open Sa&mples", samples);
  file->Append(8, "&Open and append\tCtrl-I");
  file->Append(7, "&Save\tCtrl-S");
  file->AppendSeparator();
  file->Append(9, "&Print\tCtrl-P");
  file->Append(10, "PrintSet&Up");
  file->AppendSeparator();
  file->Append(2, "&About...\tCtrl-A", "Show about dialog");
  file->AppendSeparator();
  file->Append(1, "E&xit\tAlt-X", "Quit this program");

  wxMenu* edit = new wxMenu;
  edit->Append(15, "&Undo\tCtrl-Z");
  edit->Append(16, "Zoom &In");
  edit->Append(17, "Zoom &Out");
  edit->Append(18, "&Default size");
  edit->AppendSeparator();
  edit->Append(20, "&Mirror image\tCtrl-M");
  edit->Append(24, "&Detect connected component\tCtrl-L");
  edit->AppendSeparator();
  edit->Append(19, "&Add new cells\tCtrl-C");
  edit->Append(21, "&Add copy image\tCtrl-V");
  edit->Append(22, "&Add mirror image \tCtrl-B");
  edit->Append(23, "&Pull one point \tCtrl-N");
  edit->Append(25, "&Remove some cells \tCtrl-R");

  m_swayMenu = new wxMenu;
  m_swayMenu->AppendCheckItem(26, "Touch purturbation &1\tCtrl-1");
  m_swayMenu->Check(26, true);
  m_swayMenu->AppendSeparator();
  m_swayMenu->Append(27, "Sway once &1\tCtrl-1");
  m_swayMenu->Append(28, "Sway some &2\tCtrl-2");
  m_swayMenu->Append(29, "Sway many &3\tCtrl-3");

  wxMenu* colour = new wxMenu;
  colour->Append(31, "Face &foreground...");
  colour->Append(32, "Face &background...");
  colour->Append(33, "Background &color...");

  wxMenu* help = new wxMenu;
  help->Append(30, "&Help\tCtrl-H");

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
}

void MyFrame::PrepareDC(wxDC&) {}

void MyFrame::OnAbout(wxCommandEvent&) {
  wxMessageBox("Brimoss.\n\nWritten with wxWidgets; a sheet of triangles that cannot lie flat.",
               "About Brimoss", wxOK | wxICON_INFORMATION, this);
}

void MyFrame::OnQuit(wxCommandEvent&) { Close(true); }

void MyFrame::OnOpenSample(wxCommandEvent& event) {
  brimoss::ReadSampleData(the_store(), event.GetId() + 117);
  Refresh(false);
}

void MyFrame::OnUndo(wxCommandEvent&) {
  brimoss::undopaste(the_store());
  Refresh(false);
}

void MyFrame::OnDetectConnComp(wxCommandEvent&) {
  Store& s = the_store();
  brimoss::fill_conn_comp(s);
  brimoss::fill_center_conn_comp(s);
}

void MyFrame::OnZoomIn(wxCommandEvent&) {
  Store& s = the_store();
  if (s.g_rate < 400.0) s.g_rate *= 1.25;
  Refresh(false);
}

void MyFrame::OnZoomOut(wxCommandEvent&) {
  Store& s = the_store();
  if (s.g_rate > 25.0) s.g_rate /= 1.25;
  Refresh(false);
}

void MyFrame::OnDefaultSize(wxCommandEvent&) {
  Store& s = the_store();
  s.g_rate = 100.0;
  brimoss::offsetpolygon(s);
  Refresh(false);
}

namespace {

// Asks for a surface file; on OK remembers its name and returns its path.
bool ChooseFile(wxWindow* parent, long style, wxString& path) {
  wxFileDialog dlg(parent, "Choose a file", "", g_Filename, "Brimoss files(*.brm)|*.brm", style);
  if (dlg.ShowModal() != wxID_OK) return false;
  g_Filename = dlg.GetFilename();
  // Built from its parts: a dialog answered without being shown has no path.
  g_Path = wxFileName(dlg.GetDirectory(), dlg.GetFilename()).GetFullPath();
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
  std::string err;
  if (!brimoss::open_surface_file(the_store(), ToNative(path), err)) {
    wxMessageBox(wxString::Format("The surface was not opened.\n%s", wxString::FromUTF8(err)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  Refresh(false);
  return true;
}

bool MyFrame::AppendPath(const wxString& path) {
  std::string err;
  if (!brimoss::append_surface_file(the_store(), ToNative(path), err)) {
    wxMessageBox(wxString::Format("The surface was not appended.\n%s", wxString::FromUTF8(err)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
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
