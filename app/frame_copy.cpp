// Mirror, copy and the joining of two vertices.
#include "app/frame.h"
#include "copy/paste.h"
#include "model/store.h"
#include "ops/commands.h"
#include "view/wx/canvas.h"

namespace ops = brimoss::ops;
using brimoss::the_store;

// Kept apart, a move by hand may leave the sheet crossing itself; the status
// bar says so, since the program will not undo it.
void MyFrame::TellCrossingsLeftByHand() {
  const std::string note = ops::crossings_left_by_hand(the_store());
  if (!note.empty()) m_canvas->Say(wxString::FromUTF8(note));
}

void MyFrame::OnMirror(wxCommandEvent&) {
  ops::mirror(the_store());
  m_canvas->Report({});
  TellCrossingsLeftByHand();
  Refresh(false);
}

// A copy that does not fit is refused silently, like every command that
// cannot be carried out; the picture simply stays as it was, and only the
// status bar's feedback, when the user asked for it, says why.
void MyFrame::OnAddSame(wxCommandEvent&) { AddCopy(false); }

void MyFrame::OnAddMirror(wxCommandEvent&) { AddCopy(true); }

void MyFrame::AddCopy(bool mirrored) {
  const ops::Result r = ops::add_copy(the_store(), mirrored);
  m_canvas->Report(r.why);
  if (r) TellCrossingsLeftByHand();
  Refresh(false);
}
