#include "view/wx/canvas.h"

#include <algorithm>

#include "model/store.h"
#include "view/wx/frame_rate.h"
#include "view/wx/scene.h"

namespace {

constexpr int kMinBitmapWidth = 1024;
constexpr int kMinBitmapHeight = 768;

wxBitmap*& screen_bitmap_slot() {
  static wxBitmap* bmp = nullptr;
  return bmp;
}

}  // namespace

wxBitmap& ScreenBitmap() {
  wxBitmap*& bmp = screen_bitmap_slot();
  // Made on first use rather than before the toolkit is up: a bitmap with the
  // screen's depth needs the display.
  if (!bmp) bmp = new wxBitmap(kMinBitmapWidth, kMinBitmapHeight, -1);
  return *bmp;
}

void EnsureScreenBitmap(int w, int h) {
  wxBitmap& bmp = ScreenBitmap();
  if (w <= bmp.GetWidth() && h <= bmp.GetHeight()) return;
  bmp = wxBitmap(std::max({w, bmp.GetWidth(), kMinBitmapWidth}),
                 std::max({h, bmp.GetHeight(), kMinBitmapHeight}), -1);
}

wxBEGIN_EVENT_TABLE(MyCanvas, wxWindow)
  EVT_PAINT(MyCanvas::OnPaint)
  EVT_ERASE_BACKGROUND(MyCanvas::OnErase)
  EVT_MOUSE_EVENTS(MyCanvas::OnMouseEvent)
  EVT_TIMER(kCanvasTimerId, MyCanvas::OnTimer)
  EVT_SIZE(MyCanvas::OnSize)
  EVT_KEY_DOWN(MyCanvas::OnKeyDown)
wxEND_EVENT_TABLE()

MyCanvas::MyCanvas(wxFrame* frame)
    : wxWindow(frame, wxID_ANY, wxPoint(0, 0), wxSize(640, 480), 0, wxPanelNameStr),
      m_owner(frame),
      m_timer(this, kCanvasTimerId) {
  m_timer.Start(20, wxTIMER_CONTINUOUS);
  Recentre();
}

void MyCanvas::Recentre() {
  const wxSize sz = GetClientSize();
  brimoss::Store& s = brimoss::the_store();
  s.g_centerx = sz.x / 2;
  s.g_centery = sz.y / 2;
}

void MyCanvas::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  PrepareDC(dc);
  m_owner->PrepareDC(dc);
  wxBitmap& bmp = ScreenBitmap();
  wxMemoryDC mdc;
  mdc.SelectObject(bmp);
  DrawPoly(mdc);
  dc.Blit(0, 0, bmp.GetWidth(), bmp.GetHeight(), &mdc, 0, 0, wxCOPY, false);
  mdc.SelectObject(wxNullBitmap);
  CountPaint();
  if (IsShownOnScreen()) m_fitUntilShown = false;
}

void MyCanvas::OnErase(wxEraseEvent&) {}

void MyCanvas::OnSize(wxSizeEvent&) {
  const wxSize sz = GetClientSize();
  EnsureScreenBitmap(sz.x, sz.y);
  if (m_fitUntilShown)
    m_nav.fit(brimoss::the_store(), sz.x, sz.y);
  else
    Recentre();
  Refresh(false);
}

void MyCanvas::ZoomToFit(bool untilShown) {
  const wxSize sz = GetClientSize();
  m_nav.fit(brimoss::the_store(), sz.x, sz.y);
  m_fitUntilShown = untilShown;
  Refresh(false);
}

void MyCanvas::GrowSheet(bool untilFull) {
  m_sheet.start(brimoss::the_store(), untilFull);
  if (m_sheet.running()) Say(wxString::FromUTF8(m_growthSaid = m_sheet.message()));
  Refresh(false);
}

void MyCanvas::StopGrowth(const std::string& by) { m_sheet.stop(by); }

void MyCanvas::DrawPoly(wxMemoryDC& dc) {
  brimoss::Store& s = brimoss::the_store();
  // The scene's background is the rectangle about the origin; once the wheel
  // or Zoom to fit has moved the origin off the middle, the rest of the canvas
  // gets the background colour too.
  const wxSize sz = GetClientSize();
  if (2 * s.g_centerx + 1 < sz.x || 2 * s.g_centery + 1 < sz.y) {
    dc.SetBackground(wxBrush(BackgroundColour(s), wxBRUSHSTYLE_SOLID));
    dc.Clear();
  }
  if (!m_feedback.enabled()) {
    DrawScene(dc, s, true);
    return;
  }
  // The ring goes over the faces and under the status line; it is the
  // canvas's alone, so the printed page never shows it.
  DrawScene(dc, s, false);
  DrawCurrentVertexMarker(dc, s);
  DrawStatus(dc, s);
}
