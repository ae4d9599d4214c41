// File > Export... and File > Save picture...: through their dialogs,
// answered by the test, and through their path steps. The files are read
// back: the exported mesh with its counts and its closed shell, the picture
// with the toolkit's PNG reader against the canvas's own image.
#include <wx/dir.h>
#include <wx/filename.h>

#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "app/export_dialog.h"
#include "gui_util.h"
#include "model/store.h"
#include "view/wx/frame_rate.h"

namespace {

std::string ReadAll(const wxString& path) {
  std::ifstream in(path.fn_str(), std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Answers a file dialog with a path and a file type (the wildcard's entry),
// and notes what it offered.
struct SeenTarget {
  bool shown = false;
  wxString message, wildcard, name, dir;
  int filter = -1;
  long style = 0;
};

// `meanwhile` runs while the dialog is open, as the animation would.
class ExpectTarget : public wxExpectModalBase<wxFileDialog, ExpectTarget> {
 public:
  ExpectTarget(std::shared_ptr<SeenTarget> seen, const wxString& path, int filter,
               int answer = wxID_OK, std::function<void()> meanwhile = nullptr)
      : seen_(std::move(seen)),
        path_(path),
        filter_(filter),
        answer_(answer),
        meanwhile_(std::move(meanwhile)) {}

 protected:
  int OnInvoked(wxFileDialog* dlg) const override {
    if (meanwhile_) meanwhile_();
    seen_->shown = true;
    seen_->message = dlg->GetMessage();
    seen_->wildcard = dlg->GetWildcard();
    seen_->name = dlg->GetFilename();
    seen_->dir = dlg->GetDirectory();
    seen_->filter = dlg->GetFilterIndex();
    seen_->style = dlg->GetWindowStyle();
    if (answer_ == wxID_OK) {
      dlg->SetPath(path_);
      dlg->SetFilterIndex(filter_);
    }
    return answer_;
  }

 private:
  std::shared_ptr<SeenTarget> seen_;
  wxString path_;
  int filter_, answer_;
  std::function<void()> meanwhile_;
};

// Answers the export settings as a user types them.
struct SeenOptions {
  bool shown = false;
  double thickness = -1, scale = -1;  // as offered
};

class ExpectOptions : public wxExpectModalBase<ExportOptionsDialog, ExpectOptions> {
 public:
  ExpectOptions(std::shared_ptr<SeenOptions> seen, double thickness, double scale,
                int answer = wxID_OK)
      : seen_(std::move(seen)), thickness_(thickness), scale_(scale), answer_(answer) {}

 protected:
  int OnInvoked(ExportOptionsDialog* dlg) const override {
    seen_->shown = true;
    seen_->thickness = dlg->Thickness();
    seen_->scale = dlg->Scale();
    dlg->SetValues(thickness_, scale_);
    return answer_;
  }

 private:
  std::shared_ptr<SeenOptions> seen_;
  double thickness_, scale_;
  int answer_;
};

// A binary STL's triangles, each corner as the three floats' bits.
using Corner = std::array<std::uint32_t, 3>;
std::vector<std::array<Corner, 3>> StlTriangles(const std::string& b) {
  std::vector<std::array<Corner, 3>> t;
  if (b.size() < 84) return t;
  std::uint32_t n = 0;
  std::memcpy(&n, b.data() + 80, 4);
  if (b.size() != 84 + 50 * std::size_t(n)) return t;
  for (std::uint32_t i = 0; i < n; ++i) {
    std::array<Corner, 3> tri;
    std::memcpy(tri.data(), b.data() + 84 + 50 * i + 12, 36);
    t.push_back(tri);
  }
  return t;
}

// Closed and consistently turned: every side is met once each way.
bool ClosedShell(const std::vector<std::array<Corner, 3>>& tris) {
  std::map<std::pair<Corner, Corner>, int> sides;
  for (const auto& t : tris)
    for (int k = 0; k < 3; ++k) ++sides[{t[k], t[(k + 1) % 3]}];
  for (const auto& [side, n] : sides)
    if (n != 1 || sides.count({side.second, side.first}) == 0 ||
        sides.at({side.second, side.first}) != 1)
      return false;
  return !tris.empty();
}

unsigned long RGBAt(const wxImage& img, int x, int y) {
  return (unsigned long)img.GetRed(x, y) << 16 | (unsigned long)img.GetGreen(x, y) << 8 |
         img.GetBlue(x, y);
}

int CountLines(const std::string& text, const char* start) {
  int n = 0;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) n += l.rfind(start, 0) == 0;
  return n;
}

class ExportPictureTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    frame->m_canvas->m_timer.Stop();
    char tmpl[] = "/tmp/brimoss-export-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override {
    wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE);
    WindowTest::TearDown();
  }
  wxString In(const char* name) const { return wxFileName(dir, name).GetFullPath(); }

  // A sheet that no closed solid can be made of: the same face twice.
  void MakeDoubledFace() {
    s().NOV = 3;
    s().x[0] = 0, s().y[0] = 0, s().z[0] = 0;
    s().x[1] = 1, s().y[1] = 0, s().z[1] = 0;
    s().x[2] = 0, s().y[2] = 1, s().z[2] = 0;
    s().NOE = 0;
    s().NOS = 2;
    s().face[0] = brimoss::Face{{0, 1, 2}};
    s().face[1] = brimoss::Face{{0, 2, 1}};
    s().g_purtj = 0;
  }

  wxString dir;
};

const char* const kExportWildcard =
    "Wavefront OBJ (*.obj)|*.obj|PLY (*.ply)|*.ply|STL sheet (*.stl)|*.stl|"
    "STL solid for 3D printing (*.stl)|*.stl";
const char* const kPictureWildcard =
    "PNG image (*.png)|*.png|PNG image at twice the size (*.png)|*.png|SVG drawing (*.svg)|*.svg";

}  // namespace

TEST_F(ExportPictureTest, TheTwoItemsFollowSaveInTheFileMenu) {
  wxMenu* file = frame->GetMenuBar()->GetMenu(0);
  int save = 0;
  while (save < int(file->GetMenuItemCount()) &&
         file->FindItemByPosition(save)->GetId() != MenuId::Save)
    ++save;
  ASSERT_LT(save + 3, int(file->GetMenuItemCount()));
  EXPECT_EQ(file->FindItemByPosition(save + 1)->GetId(), MenuId::Export);
  EXPECT_EQ(file->FindItemByPosition(save + 1)->GetItemLabel(), "Export...");
  EXPECT_EQ(file->FindItemByPosition(save + 2)->GetId(), MenuId::SavePicture);
  EXPECT_EQ(file->FindItemByPosition(save + 2)->GetItemLabel(), "Save picture...");
  EXPECT_TRUE(file->FindItemByPosition(save + 3)->IsSeparator());
}

TEST_F(ExportPictureTest, ExportWritesTheSheetAndTheClosedSolid) {
  // OBJ chosen, the name typed without an extension.
  auto seen = std::make_shared<SeenTarget>();
  auto opts = std::make_shared<SeenOptions>();
  wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(seen, In("sheet"), 0),
                ExpectOptions(opts, 0, 1.0));
  EXPECT_EQ(seen->wildcard, kExportWildcard);
  EXPECT_EQ(seen->name, "untitled.obj") << "the name carries the type's extension";
  EXPECT_EQ(seen->dir, "") << "at first the working folder";
  EXPECT_TRUE(seen->style & wxFD_SAVE);
  EXPECT_EQ(opts->thickness, 0) << "a sheet is not thickened";
  EXPECT_EQ(opts->scale, 1.0);
  const std::string obj = ReadAll(In("sheet.obj"));
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1),
            wxString::Format("Exported sheet.obj: %d vertices, %d faces", s().NOV, s().NOS))
      << "the status bar says what was written";
  EXPECT_EQ(CountLines(obj, "v "), s().NOV);
  EXPECT_EQ(CountLines(obj, "f "), s().NOS);

  // The STL solid, 10 mm a unit: a closed shell of twice the faces and the
  // border's walls. The next dialog offers the last type and name.
  auto again = std::make_shared<SeenTarget>();
  auto solid = std::make_shared<SeenOptions>();
  wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(again, In("solid"), 3),
                ExpectOptions(solid, 0.1, 10.0));
  EXPECT_EQ(again->filter, 0);
  EXPECT_EQ(again->name, "sheet.obj");
  EXPECT_EQ(again->dir, dir) << "the folder of the last export";
  EXPECT_EQ(solid->thickness, 0.1);
  EXPECT_EQ(solid->scale, 10.0) << "a solid starts at a centimetre a unit";
  const auto tris = StlTriangles(ReadAll(In("solid.stl")));
  EXPECT_GT(static_cast<int>(tris.size()), 2 * s().NOS);
  EXPECT_TRUE(ClosedShell(tris));
}

TEST_F(ExportPictureTest, ATypedExtensionChoosesTheFormatAndAnyOtherNameGetsTheChosenOne) {
  const struct {
    const char* typed;
    int filter;
    const char* written;
    const char* starts;
  } cases[] = {
      {"a.ply", 0, "a.ply", "ply\n"}, {"b.OBJ", 1, "b.OBJ", "# "},
      {"c", 1, "c.ply", "ply\n"},     {"notes.txt", 0, "notes.txt.obj", "# "},
      {"d", 2, "d.stl", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    auto seen = std::make_shared<SeenTarget>();
    auto opts = std::make_shared<SeenOptions>();
    wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(seen, In(c.typed), c.filter),
                  ExpectOptions(opts, 0, 1.0));
    const std::string text = ReadAll(In(c.written));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.rfind(c.starts, 0), 0u) << text.substr(0, 20);
  }
  // The binary STL sheet: one triangle a face.
  EXPECT_EQ(static_cast<int>(StlTriangles(ReadAll(In("d.stl"))).size()), s().NOS);
}

TEST_F(ExportPictureTest, ARefusedSolidShowsWhyAndWritesNothing) {
  MakeDoubledFace();
  auto box = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(EXPECT_FALSE(frame->ExportPath(In("bad.stl"), s(), true, 0.1, 1.0)),
                ExpectMessage(box, wxID_OK));
  EXPECT_TRUE(box->style & wxICON_ERROR);
  EXPECT_TRUE(box->message.Contains("same corners")) << box->message;
  EXPECT_FALSE(wxFileExists(In("bad.stl")));

  // Through the dialogs, onto an earlier file: asked, then refused, and the
  // earlier file stays.
  std::ofstream(In("old.stl").fn_str()) << "earlier";
  auto seen = std::make_shared<SeenTarget>();
  auto opts = std::make_shared<SeenOptions>();
  auto ask = std::make_shared<SeenMessage>();
  auto refused = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(seen, In("old.stl"), 3),
                ExpectOptions(opts, 0.1, 1.0), ExpectMessage(ask, wxID_YES),
                ExpectMessage(refused, wxID_OK));
  EXPECT_EQ(ask->message, "Replace old.stl?");
  EXPECT_TRUE(ask->style & wxICON_WARNING);
  EXPECT_TRUE(refused->message.StartsWith("The sheet was not exported.")) << refused->message;
  EXPECT_EQ(ReadAll(In("old.stl")), "earlier");
  wxArrayString files;
  wxDir::GetAllFiles(dir, &files);
  EXPECT_EQ(files.size(), 1u) << "nothing left beside it";
}

TEST_F(ExportPictureTest, CancelledDialogsAndDeclinedOverwritesWriteNothing) {
  auto seen = std::make_shared<SeenTarget>();
  wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(seen, In("x.obj"), 0, wxID_CANCEL));
  auto opts = std::make_shared<SeenOptions>();
  wxTEST_DIALOG(Send(MenuId::Export), ExpectTarget(seen, In("x.obj"), 0),
                ExpectOptions(opts, 0, 1.0, wxID_CANCEL));
  wxTEST_DIALOG(Send(MenuId::SavePicture), ExpectTarget(seen, In("x.png"), 0, wxID_CANCEL));
  EXPECT_FALSE(wxFileExists(In("x.obj")));
  EXPECT_FALSE(wxFileExists(In("x.png")));

  std::ofstream(In("keep.png").fn_str()) << "keep";
  auto no = std::make_shared<SeenMessage>();
  wxTEST_DIALOG(EXPECT_FALSE(frame->SavePicturePath(In("keep.png"), s(), 1)),
                ExpectMessage(no, wxID_NO));
  EXPECT_EQ(no->message, "Replace keep.png?");
  EXPECT_TRUE(no->style & wxICON_WARNING);
  EXPECT_EQ(ReadAll(In("keep.png")), "keep");
}

TEST_F(ExportPictureTest, SavePictureIsTheCanvasImageAtItsSizeOrTwice) {
  ShowAndSettle();
  frame->m_canvas->m_timer.Stop();
  // The picture leaves out the status line and the twinkle; so does this
  // canvas.
  brimoss::set_message(s(), "");
  s().g_twincle = 0;
  s().hilighted[s().conn_comp[s().face[0][0]]] = true;
  const long paints = PaintCount();
  frame->m_canvas->Refresh(false);
  frame->m_canvas->Update();
  ASSERT_TRUE(Pump([&] { return PaintCount() > paints; }, 3000));
  const wxSize size = frame->m_canvas->GetClientSize();
  const wxImage canvas = ScreenBitmap().ConvertToImage().GetSubImage(wxRect(size));

  // While the dialog is open the sheet moves on; the picture is of the
  // moment the command was chosen.
  auto seen = std::make_shared<SeenTarget>();
  const auto xs = s().x;
  auto move = [this] {
    for (int i = 0; i < s().NOV; ++i) s().x[i] += 0.5;
  };
  wxTEST_DIALOG(Send(MenuId::SavePicture), ExpectTarget(seen, In("view"), 0, wxID_OK, move));
  EXPECT_EQ(seen->wildcard, kPictureWildcard);
  EXPECT_EQ(seen->name, "untitled.png");
  wxImage png;
  ASSERT_TRUE(png.LoadFile(In("view.png"), wxBITMAP_TYPE_PNG));
  ASSERT_EQ(png.GetSize(), size);
  EXPECT_EQ(frame->GetStatusBar()->GetStatusText(1),
            wxString::Format("Saved picture view.png: %d x %d", size.x, size.y));
  long differ = 0;
  for (int y = 0; y < size.y; ++y)
    for (int x = 0; x < size.x; ++x)
      differ += png.GetRed(x, y) != canvas.GetRed(x, y) ||
                png.GetGreen(x, y) != canvas.GetGreen(x, y) ||
                png.GetBlue(x, y) != canvas.GetBlue(x, y);
  EXPECT_EQ(differ, 0);

  // Twice the size, and the SVG drawing at the canvas's size.
  s().x = xs;
  wxTEST_DIALOG(Send(MenuId::SavePicture), ExpectTarget(seen, In("large"), 1));
  EXPECT_EQ(seen->filter, 0);
  wxImage large;
  ASSERT_TRUE(large.LoadFile(In("large.png"), wxBITMAP_TYPE_PNG));
  EXPECT_EQ(large.GetSize(), 2 * size);
  // Inside a face far from any outline, both show the same colour.
  long same = 0, inside = 0;
  for (int y = 2; y < size.y - 2; y += 3)
    for (int x = 2; x < size.x - 2; x += 3) {
      bool flat = true;
      for (int dy = -2; dy <= 2 && flat; ++dy)
        for (int dx = -2; dx <= 2 && flat; ++dx)
          flat = RGBAt(canvas, x + dx, y + dy) == RGBAt(canvas, x, y);
      if (!flat) continue;
      ++inside;
      same += RGBAt(large, 2 * x, 2 * y) == RGBAt(canvas, x, y);
    }
  EXPECT_GT(inside, 1000);
  EXPECT_EQ(same, inside);

  wxTEST_DIALOG(Send(MenuId::SavePicture), ExpectTarget(seen, In("drawing"), 2));
  const std::string svg = ReadAll(In("drawing.svg"));
  EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
  EXPECT_NE(svg.find(wxString::Format("width=\"%d\" height=\"%d\"", size.x, size.y).ToStdString()),
            std::string::npos);
  int polygons = 0;
  for (std::size_t at = 0; (at = svg.find("<polygon", at)) != std::string::npos; ++at) ++polygons;
  EXPECT_EQ(polygons, s().NOS);
}
