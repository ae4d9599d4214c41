// Edit > Grow sheet: the ring grows on the canvas's timer; the frame only
// starts it, and stops it when any other command comes in.
#include "app/frame.h"
#include "app/ids.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

void MyFrame::BindSheetCommands() {
  // Bound handlers run before the event table, so the growth is asked to
  // stop before the command itself touches the surface.
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    if (event.GetId() != MenuId::GrowSheet) m_canvas->m_sheet.stop();
    event.Skip();
  });
}

void MyFrame::OnGrowSheet(wxCommandEvent&) {
  // A grown sheet is kept apart, and stays so for what follows.
  brimoss::ops::keep_apart(brimoss::the_store(), true);
  m_swayMenu->Check(MenuId::KeepApart, true);
  m_canvas->m_sheet.start(brimoss::the_store());
  Refresh(false);
}
