// The main window: menus, status bar and the canvas, and every menu command.
#pragma once

#include <wx/wx.h>

#include <functional>
#include <string>

class MyCanvas;
class WXDLLIMPEXP_FWD_CORE wxPrinterBase;

class MyFrame : public wxFrame {
 public:
  MyFrame(const wxString& title, const wxPoint& pos, const wxSize& size);

  // File.
  void OnSave(wxCommandEvent& event);
  void OnOpen(wxCommandEvent& event);
  void OnOpenSample(wxCommandEvent& event);
  void OnAppend(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnQuit(wxCommandEvent& event);
  void OnPrint(wxCommandEvent& event);
  void OnPrintSetup(wxCommandEvent& event);
  // The Print command's job on `printer` (made on the printer settings):
  // keeps the settings it ends with on success, tells the user on failure.
  bool RunPrintJob(wxPrinterBase& printer, bool prompt);

  // The file commands without their dialogs: each works on the given path
  // and tells the user when the file is refused. True when the surface was
  // loaded or the file written.
  bool OpenPath(const wxString& path);
  bool AppendPath(const wxString& path);
  // Writes `text` (composed before the dialog was shown) to `path`, asking
  // before it overwrites an existing file.
  bool SavePath(const wxString& path, const std::string& text);

  // Edit.
  void OnUndo(wxCommandEvent& event);
  void OnZoomIn(wxCommandEvent& event);
  void OnZoomOut(wxCommandEvent& event);
  void OnDefaultSize(wxCommandEvent& event);
  void OnMirror(wxCommandEvent& event);
  void OnDetectConnComp(wxCommandEvent& event);
  void OnAddNewCell(wxCommandEvent& event);
  void OnAddSame(wxCommandEvent& event);
  void OnAddMirror(wxCommandEvent& event);
  void OnPullPoint(wxCommandEvent& event);
  void OnRemoveCell(wxCommandEvent& event);
  // Grows the sheet's next ring on the canvas's timer; every other menu
  // command stops it between cells before it runs.
  void OnGrowSheet(wxCommandEvent& event);
  void BindSheetCommands();

  // Sway.
  void OnTouchPurturb(wxCommandEvent& event);
  void OnBuru(wxCommandEvent& event);

  // Colour.
  void OnColor(wxCommandEvent& event);
  wxColour SelectColour();
  // How OnColor asks for a colour; empty means SelectColour. Tests put their
  // answer here, since the toolkit's colour dialog cannot be answered from
  // outside.
  std::function<wxColour()> m_askColour;

  // Joining two vertices, on the program's store.
  bool pasteverticesP(int i, int j);
  void pastevertices1();
  void pastevertices2();
  void pastevertices3();

  // The canvas hands every device context it makes to its frame; the frame
  // leaves it as it is.
  void PrepareDC(wxDC& dc) override;

  MyCanvas* m_canvas = nullptr;
  wxMenu* m_swayMenu = nullptr;

 private:
  wxDECLARE_EVENT_TABLE();
};
