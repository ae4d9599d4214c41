#include "copy/paste.h"

namespace brimoss {

// Placeholders until joining lands: no pair is ever accepted.
bool pasteverticesP(Store&, int, int) { return false; }
void pastevertices1(Store&) {}
void pastevertices2(Store& s) { s.g_pasteevent = 0; }
void pastevertices3(Store& s) { s.g_pasteevent = 0; }

}  // namespace brimoss
