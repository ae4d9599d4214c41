// Commands that mirror or copy the surface and join two of its vertices.
#include <string>

#include "cli/cli.h"
#include "copy/mirror.h"
#include "copy/paste.h"

namespace brimoss::cli {
namespace {

void add(Context& c, bool mirrored) {
  const char* why = copy_refusal(c.s);
  if (why || !add_copy(c.s, mirrored)) c.refuse(why ? why : "the copy could not be added");
}

const Registrar mirror_cmd({"mirror", "",
                            "mirror the surface, or only the highlighted components, in x", 0, 0,
                            [](Context& c, const Args&) { mirror_image(c.s); }});

const Registrar add_copy_cmd({"add-copy", "", "add a copy of the surface 2.0 along x", 0, 0,
                              [](Context& c, const Args&) { add(c, false); }});

const Registrar add_mirror_cmd({"add-mirror", "", "add a mirror image of the surface beside it", 0,
                                0, [](Context& c, const Args&) { add(c, true); }});

// What the window does when the pointer touched J, the left button went down
// and came up again over I: J becomes the current vertex and, if the pair
// passes the check, the paste starts. The ticks then carry it out.
const Registrar paste_cmd({"paste", "I J",
                           "start joining vertex I onto vertex J (run it with tick)", 2, 2,
                           [](Context& c, const Args& a) {
                             const int i = int_arg(a, 0), j = int_arg(a, 1);
                             if (j < 0 || j >= c.s.NOV) {
                               c.refuse("no vertex " + std::to_string(j));
                               return;
                             }
                             c.s.g_purtj = j;
                             PasteCheck why = PasteCheck::ok;
                             if (!start_paste(c.s, i, j, &why))
                               c.refuse("cannot join " + std::to_string(i) + " to " +
                                        std::to_string(j) + ": " + paste_check_text(why));
                           }});

}  // namespace
}  // namespace brimoss::cli
