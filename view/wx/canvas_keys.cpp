// The wheel and the keys on the canvas: the rules are the core's
// (view/navigation.h); this side converts the events.
#include "model/store.h"
#include "view/wx/canvas.h"

namespace {

brimoss::NavKey KeyOf(const wxKeyEvent& event) {
  using brimoss::NavKey;
  // With a modifier the key belongs to someone else (the menus' accelerators).
  if (event.GetModifiers() != wxMOD_NONE) return NavKey::None;
  switch (event.GetKeyCode()) {
    case WXK_LEFT:
    case WXK_NUMPAD_LEFT:
      return NavKey::Left;
    case WXK_RIGHT:
    case WXK_NUMPAD_RIGHT:
      return NavKey::Right;
    case WXK_UP:
    case WXK_NUMPAD_UP:
      return NavKey::Up;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
      return NavKey::Down;
    case WXK_HOME:
    case WXK_NUMPAD_HOME:
      return NavKey::Home;
    default:
      return NavKey::None;
  }
}

}  // namespace

bool MyCanvas::OnWheel(const wxMouseEvent& event, int px, int py) {
  // A dialog over the window leaves it disabled; the wheel then zooms nothing.
  if (event.GetWheelAxis() != wxMOUSE_WHEEL_VERTICAL || !IsEnabled()) return false;
  return m_nav.wheel(brimoss::the_store(), event.GetWheelRotation(), event.GetWheelDelta(), px, py);
}

void MyCanvas::OnKeyDown(wxKeyEvent& event) {
  const brimoss::NavKey k = KeyOf(event);
  if (k == brimoss::NavKey::None || !IsEnabled()) {
    event.Skip();
    return;
  }
  if (m_nav.key(brimoss::the_store(), k)) Refresh(false);
}
