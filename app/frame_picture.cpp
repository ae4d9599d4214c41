// Export... and Save picture...: the sheet for other programs (mesh editors,
// renderers, slicers) and a picture of the view, written by the same
// functions the batch tool's export, export-solid and picture commands use.
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include <memory>

#include "app/export_dialog.h"
#include "app/file_dialogs.h"
#include "app/frame.h"
#include "app/globals.h"
#include "model/crossings.h"
#include "model/export.h"
#include "model/store.h"
#include "model/surface_file.h"
#include "view/picture.h"
#include "view/wx/canvas.h"

using brimoss::Store;

struct FileChoices {
  int exportKind = 0;
  wxString exportName, exportDir;
  double thickness = 0.1;
  // Model units for a mesh editor; a centimetre a unit for a printed solid.
  double sheetScale = 1.0, solidScale = 10.0;
  int pictureKind = 0;
  wxString pictureName, pictureDir;
};

namespace {

// The file types of each dialog, in the order of its wildcard. The chosen
// entry decides what is written; a name typed with one of the dialog's own
// extensions decides the format instead.
struct ExportKind {
  const char* filter;
  const char* ext;
  bool solid;
};
const ExportKind kExportKinds[] = {
    {"Wavefront OBJ (*.obj)|*.obj", "obj", false},
    {"PLY (*.ply)|*.ply", "ply", false},
    {"STL sheet (*.stl)|*.stl", "stl", false},
    {"STL solid for 3D printing (*.stl)|*.stl", "stl", true},
};

struct PictureKind {
  const char* filter;
  const char* ext;
  int magnify;
};
const PictureKind kPictureKinds[] = {
    {"PNG image (*.png)|*.png", "png", 1},
    {"PNG image at twice the size (*.png)|*.png", "png", 2},
    {"SVG drawing (*.svg)|*.svg", "svg", 1},
};

template <class Kind, std::size_t N>
wxString Wildcard(const Kind (&kinds)[N]) {
  wxString w;
  for (const Kind& k : kinds) w += (w.empty() ? "" : "|") + wxString(k.filter);
  return w;
}

template <class Kind, std::size_t N>
bool KnownExt(const Kind (&kinds)[N], const wxString& ext) {
  for (const Kind& k : kinds)
    if (ext.Lower() == k.ext) return true;
  return false;
}

template <class Kind, std::size_t N>
std::vector<wxString> Extensions(const Kind (&kinds)[N]) {
  std::vector<wxString> exts;
  for (const Kind& k : kinds) exts.emplace_back(k.ext);
  return exts;
}

// The name offered: the last one written, or the surface file's, with the
// extension of the type the dialog opens on.
wxString Offered(const wxString& remembered, const char* ext) {
  return (remembered.empty() ? wxFileName(g_Filename).GetName() : remembered) + "." + ext;
}

// Asks for a file to write, in `dir` (empty: the working folder) with `name`
// and the file type `kind` offered; on OK gives the dialog's whole path and
// the file type chosen. Choosing a type while the dialog is open gives the
// name that type's extension.
template <class Kind, std::size_t N>
bool ChooseTarget(wxWindow* parent, const wxString& message, const Kind (&kinds)[N], int& kind,
                  const wxString& dir, const wxString& name, wxString& path) {
  wxFileDialog dlg(parent, message, dir, name, Wildcard(kinds), wxFD_SAVE);
  // The dialog gives a name without an extension the first type's; the
  // offered one carries the offered type's.
  dlg.SetFilterIndex(kind);
  ExtensionFollowsType follow(dlg, Extensions(kinds));
  if (dlg.ShowModal() != wxID_OK) return false;
  follow.Stop();
  path = ChosenPath(dlg);
  const int chosen = dlg.GetFilterIndex();
  if (chosen >= 0 && chosen < static_cast<int>(N)) kind = chosen;
  // A name without one of the dialog's extensions gets the chosen type's.
  if (!KnownExt(kinds, wxFileName(path).GetExt())) path += wxString(".") + kinds[kind].ext;
  return true;
}

// The toolkit's PNG writer, over the packed rows without a copy.
bool PngBytes(std::uint8_t* rgb, int width, int height, std::string& bytes, std::string& err) {
  wxImage img(width, height, rgb, true);
  if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryOutputStream out;
  if (!img.SaveFile(out, wxBITMAP_TYPE_PNG)) {
    err = "the image could not be encoded as PNG";
    return false;
  }
  bytes.resize(out.GetSize());
  out.CopyTo(bytes.data(), bytes.size());
  return true;
}

// The file's bytes: what the canvas of `size` shows of `scene`, drawn
// `magnify` times as large as PNG, or at its own size as SVG, as the path's
// extension says.
bool ComposePicture(Store& scene, const std::string& path, const wxSize& size, int magnify,
                    std::string& bytes, std::string& err) {
  brimoss::PictureFormat format;
  if (!brimoss::picture_format_for(path, format, err)) return false;
  const brimoss::PictureFrame frame{size.x, size.y, scene.g_centerx, scene.g_centery, magnify};
  return brimoss::picture_bytes(scene, format, frame, PngBytes, bytes, err);
}

}  // namespace

void MyFrame::OnExport(wxCommandEvent&) {
  // The sheet as it is now: the animation goes on while the dialogs are open.
  const auto sheet = std::make_unique<Store>(brimoss::the_store());
  if (!m_fileChoices) m_fileChoices = std::make_shared<FileChoices>();
  FileChoices& r = *m_fileChoices;
  int kind = r.exportKind;
  wxString path;
  if (!ChooseTarget(m_canvas, "Export the sheet", kExportKinds, kind, r.exportDir,
                    Offered(r.exportName, kExportKinds[kind].ext), path))
    return;
  r.exportKind = kind;
  r.exportName = wxFileName(path).GetName();
  r.exportDir = wxFileName(path).GetPath();
  const bool solid = kExportKinds[kind].solid;
  double& scale = solid ? r.solidScale : r.sheetScale;
  ExportOptionsDialog options(this, solid, r.thickness, scale);
  if (options.ShowModal() != wxID_OK) return;
  if (solid) r.thickness = options.Thickness();
  scale = options.Scale();
  ExportPath(path, *sheet, solid, r.thickness, scale);
}

bool MyFrame::ExportPath(const wxString& path, const Store& sheet, bool solid, double thickness,
                         double scale) {
  if (!MayOverwrite(this, path)) return false;
  std::string err;
  const std::string target = ToNative(path);
  brimoss::SolidReport report;
  const bool ok = solid ? brimoss::export_solid(sheet, target, thickness, scale, err, &report)
                        : brimoss::export_surface(sheet, target, scale, err);
  if (!ok) {
    wxMessageBox(wxString::Format("The sheet was not exported.\n%s", wxString::FromUTF8(err)),
                 "Brimoss", wxOK | wxICON_ERROR, this);
    return false;
  }
  // What was written, and what a printer would mind.
  wxString said =
      wxString::Format("Exported %s: %d vertices, %d faces%s", wxFileName(path).GetFullName(),
                       sheet.NOV, sheet.NOS, solid ? " as a solid" : "");
  if (solid && report.thinned > 0)
    said += wxString::Format(
        "; wall thinned at %d corners to keep the solid from crossing "
        "itself, thinnest %g",
        report.thinned, report.thinnest_wall);
  else if (!solid)
    if (const int n = brimoss::count_crossings(sheet))
      said += wxString::Format("; the sheet crosses itself at %d places", n);
  m_canvas->Say(said);
  return true;
}

void MyFrame::OnSavePicture(wxCommandEvent&) {
  // The view as the command was chosen, not as it has turned by the time the
  // dialog closes.
  const auto scene = std::make_unique<Store>(brimoss::the_store());
  if (!m_fileChoices) m_fileChoices = std::make_shared<FileChoices>();
  FileChoices& r = *m_fileChoices;
  int kind = r.pictureKind;
  wxString path;
  if (!ChooseTarget(m_canvas, "Save a picture of the view", kPictureKinds, kind, r.pictureDir,
                    Offered(r.pictureName, kPictureKinds[kind].ext), path))
    return;
  r.pictureKind = kind;
  r.pictureName = wxFileName(path).GetName();
  r.pictureDir = wxFileName(path).GetPath();
  SavePicturePath(path, *scene, kPictureKinds[kind].magnify);
}

bool MyFrame::SavePicturePath(const wxString& path, Store& scene, int magnify) {
  const std::string target = ToNative(path);
  const wxSize size = m_canvas->GetClientSize();
  std::string bytes, err;
  if (ComposePicture(scene, target, size, magnify, bytes, err)) {
    if (!MayOverwrite(this, path)) return false;
    if (brimoss::write_file_atomically(target, bytes, err)) {
      brimoss::PictureFormat format;
      std::string unused;
      const int m = brimoss::picture_format_for(target, format, unused) &&
                            format == brimoss::PictureFormat::Svg
                        ? 1
                        : magnify;
      m_canvas->Say(wxString::Format("Saved picture %s: %d x %d", wxFileName(path).GetFullName(),
                                     size.x * m, size.y * m));
      return true;
    }
  }
  wxMessageBox(wxString::Format("The picture was not saved.\n%s", wxString::FromUTF8(err)),
               "Brimoss", wxOK | wxICON_ERROR, this);
  return false;
}
