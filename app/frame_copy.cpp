// Mirror, copy and the joining of two vertices.
#include "app/frame.h"
#include "copy/paste.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

namespace ops = brimoss::ops;
using brimoss::the_store;

void MyFrame::OnMirror(wxCommandEvent&) {
  ops::mirror(the_store());
  m_canvas->Report({});
  Refresh(false);
}

// A copy that does not fit is refused silently, like every command that
// cannot be carried out; the picture simply stays as it was, and only the
// status bar's feedback, when the user asked for it, says why.
void MyFrame::OnAddSame(wxCommandEvent&) {
  m_canvas->Report(ops::add_copy(the_store(), false).why);
  Refresh(false);
}

void MyFrame::OnAddMirror(wxCommandEvent&) {
  m_canvas->Report(ops::add_copy(the_store(), true).why);
  Refresh(false);
}
