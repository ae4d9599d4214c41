// Mirror, copy and the joining of two vertices.
#include "app/frame.h"
#include "copy/paste.h"
#include "model/store.h"

void MyFrame::OnMirror(wxCommandEvent&) {
  // filled in with the mirror command
}

void MyFrame::OnAddSame(wxCommandEvent&) {
  // filled in with the copy command
}

void MyFrame::OnAddMirror(wxCommandEvent&) {
  // filled in with the mirror-copy command
}

bool MyFrame::pasteverticesP(int i, int j) {
  return brimoss::pasteverticesP(brimoss::the_store(), i, j);
}

void MyFrame::pastevertices1() { brimoss::pastevertices1(brimoss::the_store()); }

void MyFrame::pastevertices2() { brimoss::pastevertices2(brimoss::the_store()); }

void MyFrame::pastevertices3() { brimoss::pastevertices3(brimoss::the_store()); }
