// One batch-tool script, run line by line on the start-up surface and judged:
// shared by the script fuzzer and by the core test that replays its corpus.
//
// Whatever the commands and their arguments, every line must leave a store
// that keeps every invariant. Commands that reach the file system (open,
// append, save, export, picture) are left out: a fuzzer must not read or
// write files it names itself, and the reader has a fuzzer of its own. The
// number of ticks and grown cells an input may ask for is bounded so that one
// input stays quick. Growing a sewn sheet on a surface that is one clean sheet
// (no torn, flipped or pinched place), with no paste in hand, must leave a
// clean sheet. While the sheet is kept apart, no command but the user's own
// moves (a new surface, undo, a mirror or a copy) may make a sheet that does
// not cross itself cross itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>

#include "cli/cli.h"
#include "model/crossings.h"
#include "model/invariants.h"
#include "model/sheet_check.h"
#include "model/store.h"
#include "ops/load.h"
#include "testing/store_bytes.h"

namespace brimoss::testing {

constexpr long kMostTicks = 300;
constexpr long kMostCells = 60;
// A sewn cell costs some twenty paste ticks, each a sweep with its
// relaxations, and kept apart (as grow-sheet grows) more where contacts
// crowd it, as round a pinch the input made: the sheet grower gets fewer
// cells than the border grower.
constexpr long kMostSheetCells = 10;

// The whole-number argument of a line such as "tick 40" (at least what its
// leading digits say), or -1 when it does not start with one.
inline long count_of(std::string_view rest) {
  long n = 0;
  bool digits = false;
  for (char c : rest) {
    if (c >= '0' && c <= '9') {
      digits = true;
      n = n * 10 + (c - '0');
      if (n > 1000000) return 1000000;
    } else if (c != ' ' && c != '\t' && c != '+') {
      break;
    }
  }
  return digits ? n : -1;
}

inline std::string check_script(const std::uint8_t* data, std::size_t size) {
  static const std::unique_ptr<Store> start = [] {
    auto s = make_store();
    initialize_store(*s);
    return s;
  }();
  static const std::unique_ptr<Store> work = make_store();
  Store& s = *work;
  byte_copy_into(s, *start);

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  long ticks = 0, cells = 0, sheet_cells = 0;
  std::size_t at = 0;
  for (int line = 1; at < text.size(); ++line) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view l = text.substr(at, end - at);
    at = end + 1;

    std::istringstream words{std::string(l)};
    std::string name;
    if (!(words >> name)) continue;
    if (name == "open" || name == "append" || name == "save" || name == "export" ||
        name == "export-solid" || name == "picture")
      continue;
    const std::string_view rest = l.substr(l.find(name) + name.size());
    if (name == "tick" || name == "grow-border" || name == "grow-sheet") {
      const bool sheet = name == "grow-sheet";
      long& used = name == "tick" ? ticks : sheet ? sheet_cells : cells;
      const long most = name == "tick" ? kMostTicks : sheet ? kMostSheetCells : kMostCells;
      // A count that is not a plain whole number is for the command to refuse.
      const long n = count_of(rest);
      if (n > 0 && used + n > most) continue;
      if (n > 0) used += n;
    }

    auto clean = [](const Store& st) {
      const SheetFigures f = check_sheet(st);
      return f.degenerate_faces == 0 && f.non_manifold_edges == 0 && f.orientation_conflicts == 0 &&
             f.pinch_vertices == 0;
    };
    // A paste in hand is the user's join: grow-sheet lets it finish first, and
    // the join may well pinch the sheet (two border vertices that are not
    // neighbours); only a growth that starts from a settled sheet is judged.
    const bool clean_sheet = name == "grow-sheet" && s.g_pasteevent == 0 && clean(s);
    const bool users_move = name == "sample" || name == "undo" || name == "mirror" ||
                            name == "add-copy" || name == "add-mirror";
    const bool kept_apart = !users_move && s.apart.on && !any_crossing(s);

    std::istringstream in{std::string(l)};
    std::ostringstream out, err;
    cli::run_script(s, in, out, err);
    std::string why;
    if (clean_sheet && !clean(s))
      return "line " + std::to_string(line) + " '" + std::string(l) +
             "' tore, flipped or pinched a clean sheet";
    if (kept_apart && s.apart.on && any_crossing(s))
      return "line " + std::to_string(line) + " '" + std::string(l) +
             "' made a sheet kept apart cross itself";
    if (!check_invariants(s, &why))
      return "line " + std::to_string(line) + " '" + std::string(l) +
             "' broke an invariant: " + why;
    if (!check_edges_ordered(s, &why))
      return "line " + std::to_string(line) + " '" + std::string(l) +
             "' broke the edge order: " + why;
  }
  return "";
}

}  // namespace brimoss::testing
