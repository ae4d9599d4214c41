// The main window: menus, status bar and the canvas, and every menu command.
#pragma once

#include <wx/wx.h>

#include <functional>
#include <memory>
#include <string>

class GuideWindow;
class MyCanvas;
struct FileChoices;
namespace brimoss {
struct Store;
}
class WXDLLIMPEXP_FWD_CORE wxPrinterBase;

// The name a menu command goes by in the window's messages ("Mirror image").
std::string CommandName(int id);

class MyFrame : public wxFrame {
 public:
  MyFrame(const wxString& title, const wxPoint& pos, const wxSize& size);
  ~MyFrame() override;

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
  // The same, for a file named when the program starts: a refusal is told
  // once the window is on the screen, so that its box sits over the window.
  bool OpenPathAtStart(const wxString& path);
  bool AppendPath(const wxString& path);
  // Writes `text` (composed before the dialog was shown) to `path`, asking
  // before it overwrites an existing file.
  bool SavePath(const wxString& path, const std::string& text);
  // The same for a text composed when the surface's change count was `edits`:
  // the surface as it was then is the one in a file now.
  bool SavePath(const wxString& path, const std::string& text, unsigned edits);
  // Save: composes the surface's text, asks for a path, writes it.
  bool SaveWithDialog();

  // Before the sheet is dropped (Exit, closing the window, Open, Open
  // Samples): when it has changes no file holds, asks "Save the changes to
  // the sheet?". True when the caller may go on: saved, not wanted, or
  // nothing to save; false on Cancel or when the save did not happen.
  bool MayDropSheet();
  void OnClose(wxCloseEvent& event);

  // Export... and Save picture... (app/frame_picture.cpp). Each dialog step
  // takes a copy of the store when the command is chosen, asks for a path and
  // the settings, and hands them to its path step. The path steps ask before
  // they overwrite a file and tell the user why a file was not written.
  void OnExport(wxCommandEvent& event);
  void OnSavePicture(wxCommandEvent& event);
  // The sheet of `sheet` in the format the path's extension names: as it is,
  // or thickened into a closed solid `thickness` model units thick; `scale`
  // millimetres per model unit.
  bool ExportPath(const wxString& path, const brimoss::Store& sheet, bool solid, double thickness,
                  double scale);
  // What the canvas shows of `scene`, without the status line, as .png
  // (`magnify` times the canvas's size) or .svg (the canvas's size).
  bool SavePicturePath(const wxString& path, brimoss::Store& scene, int magnify);
  // What those dialogs offer next: the last type, name and settings chosen
  // in this window.
  std::shared_ptr<FileChoices> m_fileChoices;

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
  void AddCopy(bool mirrored);
  void TellCrossingsLeftByHand();
  void OnPullPoint(wxCommandEvent& event);
  void OnRemoveCell(wxCommandEvent& event);
  void OnShowFeedback(wxCommandEvent& event);
  // The whole surface in the canvas, with a small margin.
  void OnZoomToFit(wxCommandEvent& event);
  // Grows the sheet's next ring (Grow sheet), or ring after ring until no
  // cell fits (Grow sheet until full), on the canvas's timer; a command that changes
  // the surface stops it between cells before it runs, while those that only
  // look at it, write it out or change the view leave it growing.
  void OnGrowSheet(wxCommandEvent& event);
  void BindSheetCommands();

  // Sway.
  void OnTouchPurturb(wxCommandEvent& event);
  void OnKeepApart(wxCommandEvent& event);
  void OnBuru(wxCommandEvent& event);

  // Help: the guide for first-time users, one window at a time.
  void OnGuide(wxCommandEvent& event);
  void OnGuideDestroyed(wxWindowDestroyEvent& event);
  GuideWindow* m_guide = nullptr;

  // Colour.
  void OnColor(wxCommandEvent& event);
  wxColour SelectColour();
  // The same dialog, titled with the colour it changes (empty: the toolkit's
  // own title).
  wxColour SelectColour(const wxString& title);
  // How OnColor asks for a colour; empty means SelectColour. Tests put their
  // answer here, since the toolkit's colour dialog cannot be answered from
  // outside.
  std::function<wxColour()> m_askColour;

  // The canvas hands every device context it makes to its frame; the frame
  // leaves it as it is.
  void PrepareDC(wxDC& dc) override;

  MyCanvas* m_canvas = nullptr;
  wxMenu* m_swayMenu = nullptr;

 private:
  // The surface file at `path` into the store; false with `why` when refused.
  bool LoadSurface(const wxString& path, std::string& why);
  void TellNotOpened(const std::string& why);
  // Tells the start-up file's refusal once the window is on the screen.
  void OnIdleTellRefusal(wxIdleEvent& event);
  std::string m_refusedAtStart;
  wxDECLARE_EVENT_TABLE();
};
