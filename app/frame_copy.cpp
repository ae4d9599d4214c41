// Mirror, copy and the joining of two vertices.
#include "app/frame.h"
#include "copy/paste.h"
#include "model/store.h"
#include "ops/commands.h"

namespace ops = brimoss::ops;
using brimoss::the_store;

void MyFrame::OnMirror(wxCommandEvent&) {
  ops::mirror(the_store());
  Refresh(false);
}

// A copy that does not fit is refused silently, like every command that
// cannot be carried out; the picture simply stays as it was.
void MyFrame::OnAddSame(wxCommandEvent&) {
  ops::add_copy(the_store(), false);
  Refresh(false);
}

void MyFrame::OnAddMirror(wxCommandEvent&) {
  ops::add_copy(the_store(), true);
  Refresh(false);
}

bool MyFrame::pasteverticesP(int i, int j) { return brimoss::pasteverticesP(the_store(), i, j); }

void MyFrame::pastevertices1() { brimoss::pastevertices1(the_store()); }

void MyFrame::pastevertices2() { brimoss::pastevertices2(the_store()); }

void MyFrame::pastevertices3() { brimoss::pastevertices3(the_store()); }
