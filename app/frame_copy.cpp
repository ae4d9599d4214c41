// Mirror, copy and the joining of two vertices.
#include "app/frame.h"
#include "copy/mirror.h"
#include "copy/paste.h"
#include "model/store.h"

void MyFrame::OnMirror(wxCommandEvent&) {
  brimoss::mirror_image(brimoss::the_store());
  Refresh(false);
}

// A copy that does not fit is refused silently, like every command that
// cannot be carried out; the picture simply stays as it was.
void MyFrame::OnAddSame(wxCommandEvent&) {
  brimoss::add_copy(brimoss::the_store(), false);
  Refresh(false);
}

void MyFrame::OnAddMirror(wxCommandEvent&) {
  brimoss::add_copy(brimoss::the_store(), true);
  Refresh(false);
}

bool MyFrame::pasteverticesP(int i, int j) {
  return brimoss::pasteverticesP(brimoss::the_store(), i, j);
}

void MyFrame::pastevertices1() { brimoss::pastevertices1(brimoss::the_store()); }

void MyFrame::pastevertices2() { brimoss::pastevertices2(brimoss::the_store()); }

void MyFrame::pastevertices3() { brimoss::pastevertices3(brimoss::the_store()); }
