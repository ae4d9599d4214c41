// Edit > Grow sheet: the ring grows on the canvas's timer; the frame only
// starts it, and stops it when a command would change the surface under it.
#include "app/frame.h"
#include "app/ids.h"
#include "app/menu_table.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

namespace {

// Commands that leave the surface as it is: they write it out, look at it or
// change only the view, so a growing sheet goes on growing through them and
// through their dialogs. Open, Open Samples, Open and append and Exit stop
// it themselves, and only once they go ahead.
bool LeavesGrowthAlone(int id) {
  switch (id) {
    case MenuId::GrowSheet:
    case MenuId::GrowSheetUntilFull:
    case MenuId::Save:
    case MenuId::Export:
    case MenuId::SavePicture:
    case MenuId::Print:
    case MenuId::PrintSetup:
    case MenuId::ZoomIn:
    case MenuId::ZoomOut:
    case MenuId::DefaultSize:
    case MenuId::ZoomToFit:
    case MenuId::FaceForeground:
    case MenuId::FaceBackground:
    case MenuId::BackgroundColour:
    case MenuId::Guide:
    case MenuId::Help:
    case MenuId::About:
    case MenuId::ShowFeedback:
    case MenuId::Open:
    case MenuId::Sample1:
    case MenuId::Sample2:
    case MenuId::Sample3:
    case MenuId::Sample4:
    case MenuId::Append:
    case MenuId::Quit:
      return true;
    default:
      return false;
  }
}

}  // namespace

std::string CommandName(int id) {
  for (const brimoss::app::MenuItemRow& r : brimoss::app::menu_rows())
    if (r.id == id && r.kind != brimoss::app::ItemKind::Separator)
      return brimoss::app::plain_label(r.label);
  return "a command";
}

void MyFrame::BindSheetCommands() {
  // Bound handlers run before the event table, so the growth is asked to
  // stop before the command itself touches the surface.
  Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
    if (!LeavesGrowthAlone(event.GetId())) m_canvas->StopGrowth(CommandName(event.GetId()));
    event.Skip();
  });
}

void MyFrame::OnGrowSheet(wxCommandEvent& event) {
  // A grown sheet is kept apart, and stays so for what follows.
  m_swayMenu->Check(MenuId::KeepApart, brimoss::ops::keep_apart_for_growth(brimoss::the_store()));
  m_canvas->GrowSheet(event.GetId() == MenuId::GrowSheetUntilFull);
}
