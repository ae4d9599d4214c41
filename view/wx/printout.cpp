#include "view/wx/printout.h"

#include "model/store.h"
#include "view/page_layout.h"
#include "view/wx/scene.h"

MyPrintout::MyPrintout(const char* title, const wxPageSetupDialogData* pageSetup)
    : wxPrintout(title ? wxString::FromUTF8(title) : wxString()), m_pageSetup(pageSetup) {}

namespace {

bool HasMargins(const wxPageSetupDialogData& d) {
  return d.GetMarginTopLeft() != wxPoint(0, 0) || d.GetMarginBottomRight() != wxPoint(0, 0);
}

}  // namespace

bool MyPrintout::OnPrintPage(int) {
  wxDC* dc = GetDC();
  if (!dc) return false;
  brimoss::Store& s = brimoss::the_store();

  // The area the picture is fitted into, in device units.
  wxRect area(wxPoint(0, 0), dc->GetSize());
  if (m_pageSetup && HasMargins(*m_pageSetup)) {
    // Margins are measured from the paper's edges, which on a real printer lie
    // outside the printable area; never reach past that area.
    const wxRect r = GetLogicalPageMarginsRect(*m_pageSetup);
    const wxPoint tl = dc->LogicalToDevice(r.GetTopLeft());
    const wxPoint br = dc->LogicalToDevice(r.GetBottomRight());
    const wxRect margins(tl, br);
    if (margins.Intersects(area)) area.Intersect(margins);
  }

  const brimoss::PageLayout p =
      brimoss::fit_canvas_to_page(s.g_centerx, s.g_centery, area.width, area.height);
  dc->SetUserScale(p.scale, p.scale);
  dc->SetDeviceOrigin(area.x + p.originX, area.y + p.originY);
  DrawScene(*dc, s, false);
  dc->SetDeviceOrigin(0, 0);
  dc->SetUserScale(1.0, 1.0);
  return true;
}
