#include "app/file_dialogs.h"

#include <wx/filename.h>
#include <wx/msgdlg.h>

std::string ToNative(const wxString& path) { return std::string(path.fn_str()); }

wxString ChosenPath(const wxFileDialog& dlg) {
  const wxString path = dlg.GetPath();
  if (!path.empty()) return path;
  return wxFileName(dlg.GetDirectory(), dlg.GetFilename()).GetFullPath();
}

bool MayOverwrite(wxWindow* parent, const wxString& path) {
  if (!wxFile::Access(path, wxFile::read)) return true;
  const wxFileName fn(path);
  wxMessageDialog ask(parent, wxString::Format("Replace %s?", fn.GetFullName()), "Brimoss",
                      wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
  ask.SetExtendedMessage(wxString::Format(
      "A file of that name is already in %s; replacing it writes over it.", fn.GetPath()));
  ask.SetYesNoLabels("&Replace", "Cancel");
  return ask.ShowModal() == wxID_YES;
}

wxString WithExtension(const wxString& name, const wxString& ext,
                       const std::vector<wxString>& known) {
  const wxFileName fn(name);
  wxString stem = name;
  for (const wxString& k : known)
    if (fn.GetExt().Lower() == k) {
      stem = name.Left(name.length() - fn.GetExt().length() - 1);
      break;
    }
  return stem + "." + ext;
}

ExtensionFollowsType::ExtensionFollowsType(wxFileDialog& dlg, std::vector<wxString> exts)
    : dlg_(dlg), exts_(std::move(exts)), kind_(dlg.GetFilterIndex()) {
  Start(50);
}

void ExtensionFollowsType::Notify() {
  const int kind = dlg_.GetFilterIndex();
  if (kind == kind_ || kind < 0 || kind >= static_cast<int>(exts_.size())) return;
  kind_ = kind;
  // The name as it stands in the field, with the folder it names: a path
  // typed there keeps its folder.
  const wxString path = dlg_.GetPath();
  const wxFileName fn(path);
  if (path.empty() || fn.GetFullName().empty()) return;
  const wxString renamed = WithExtension(fn.GetFullName(), exts_[kind], exts_);
  if (renamed != fn.GetFullName()) dlg_.SetPath(wxFileName(fn.GetPath(), renamed).GetFullPath());
}
