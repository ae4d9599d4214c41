#include "cli/cmd_sheet.h"

#include <string>

#include "model/crossings.h"
#include "model/sheet_check.h"
#include "ops/commands.h"
#include "ops/grow_sheet.h"

namespace brimoss::cli {

namespace {

const char* const kSheets = "sewn sheets";

void grow_sheet_command(Context& c, const Args& a) {
  const int n = int_arg(a, 0);
  if (n < 0) throw UsageError{"grow-sheet needs a count of 0 or more"};
  // A grown sheet is kept apart, and stays so for what follows.
  if (!ops::keep_apart_for_growth(c.s))
    c.err << "line " << c.line
          << ": warning: the sheet crosses itself, so it is grown without keeping it apart\n";
  const ops::SheetReport r = ops::grow_sheet(c.s, n);
  c.out << "cells " << r.cells << " pastes " << r.pastes << " rings " << r.rings << " ticks "
        << r.ticks << " given up: cells " << r.cells_given_up << " pastes " << r.pastes_given_up
        << "\n";
  if (r.cells < n)
    c.refuse("only " + std::to_string(r.cells) + " of " + std::to_string(n) +
             " cells could be grown: " + r.why);
  else if (!r.why.empty())
    c.refuse(r.why);
}

}  // namespace

std::vector<Command> sheet_commands() {
  return {
      {kSheets, "grow-sheet", "N",
       "grow up to N cells round the border, sewing each to its neighbours (runs the "
       "pastes' ticks)",
       1, 1, grow_sheet_command},
      {kSheets, "check-sheet", "",
       "print the sheet's figures: pieces, torn or flipped edges, pinches, closed vertices, "
       "angle sums, face pairs that cross",
       0, 0,
       [](Context& c, const Args&) {
         write_sheet_figures(c.out, check_sheet(c.s));
         c.out << "crossings " << count_crossings(c.s) << "\n";
       }},
  };
}

}  // namespace brimoss::cli
