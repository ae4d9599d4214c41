// The view's own menu items.
#include "app/frame.h"
#include "app/ids.h"
#include "view/wx/canvas.h"

void MyFrame::OnShowFeedback(wxCommandEvent&) {
  // The mark follows the setting, whatever the toolkit did to it on the way,
  // as the touch perturbation item's does.
  const bool on = !m_canvas->FeedbackShown();
  m_canvas->ShowFeedback(on);
  GetMenuBar()->Check(MenuId::ShowFeedback, on);
}
