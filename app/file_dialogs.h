// What the file commands share: the path a file dialog was answered with,
// the question before a file is replaced, the name's extension kept in step
// with the chosen file type, and paths in the system's own bytes.
#pragma once

#include <wx/filedlg.h>
#include <wx/timer.h>

#include <string>
#include <vector>

// The path in the bytes the system's file functions take.
std::string ToNative(const wxString& path);

// The whole path an answered dialog reports. A path typed into the name field
// may name another folder than the one shown, so the parts are read only from
// a dialog answered without being shown (in a test), which reports no path.
wxString ChosenPath(const wxFileDialog& dlg);

// Asks "Replace NAME?" when `path` exists; true when it may be written.
bool MayOverwrite(wxWindow* parent, const wxString& path);

// `name` with the extension `ext` in place of any of `known` (or added).
wxString WithExtension(const wxString& name, const wxString& ext,
                       const std::vector<wxString>& known);

// While a save dialog is shown, choosing another file type gives the name in
// its name field that type's extension. The toolkit's dialog tells nobody of
// a new type, so the watch looks at it a few times a second.
class ExtensionFollowsType : public wxTimer {
 public:
  // `exts[k]` is the extension of the dialog's k-th file type.
  ExtensionFollowsType(wxFileDialog& dlg, std::vector<wxString> exts);
  void Notify() override;

 private:
  wxFileDialog& dlg_;
  std::vector<wxString> exts_;
  int kind_;
};
