// Growing a sewn sheet hands-free: cells are grown one by one round the
// border, ring after ring, and each is sewn to its neighbours with the same
// pair check and stepwise paste the mouse gesture uses, so that three cells
// meet at every vertex inside the sheet.
//
// The walk goes round the border in one direction (from each vertex towards
// the end of its chain of faces). At the vertex it has reached:
// - one cell or two (2 or 4 faces in an open fan): a cell is grown there;
//   its rim vertex next to the vertex is pasted onto the fan's last
//   neighbour and, when the vertex already had two cells, its other one onto
//   the fan's first neighbour, which closes the vertex on six faces. The walk
//   moves on to the fan's last neighbour, which now has one cell more.
// - three cells in an open fan (6 faces): the fan's two ends are pasted
//   together, which closes it; the walk moves on to the last neighbour.
// A lone cell at the very start can only be sewn on one side; the walk comes
// back to it at the end of the first ring and closes it then. Each ring ends
// where the next begins, like a crochet round.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/store.h"
#include "model/undo.h"

namespace brimoss::ops {

// What one step did.
enum class SheetAction {
  Grew,     // a cell was grown at `vertex`
  Sewing,   // a paste of `vertex` onto `other` was started; the ticks run it
  Waiting,  // a paste is still running: nothing was done
  Stopped,  // nothing more to do; `why` says why (empty: the cell limit)
};

struct SheetStep {
  SheetAction action = SheetAction::Stopped;
  int vertex = -1;
  int other = -1;
  std::string why;
};

// One sheet's growth, a step at a time. Between steps the paste ticks
// (pastevertices2, as the timer runs them) carry out a started paste; step()
// waits while g_pasteevent is not 0. The grower follows its vertices through
// the merges its own pastes make; should anything else change the surface in
// between, it finds its place again on the border as it is.
class SheetGrower {
 public:
  // Grows at most max_cells cells (negative: as many as fit); the pastes
  // that sew the last one are still made.
  explicit SheetGrower(int max_cells = -1) : max_cells_(max_cells) {}

  SheetStep step(Store& s);

  // Stops where a ring has closed, before the next ring's first cell, once
  // `rings` rings have closed (negative: never).
  void stop_after_rings(int rings) { max_rings_ = rings; }
  // Makes the pastes still owed to the cell grown last and then stops,
  // growing nothing more: Stopped once they are made, Waiting while one runs.
  // When the surface was changed by someone else meanwhile, the owed pastes
  // are dropped, since their vertices may mean something else now.
  SheetStep finish_cell(Store& s);

  int cells() const { return cells_; }
  int pastes() const { return pastes_; }
  // Kept apart: cells that crossed the sheet wherever they were placed, and
  // pastes the sheet blocked; their places are left open.
  int cells_given_up() const { return cells_given_up_; }
  int pastes_given_up() const { return pastes_given_up_; }
  int rings_closed() const { return rings_; }
  // The ring being grown, from 1.
  int ring() const { return rings_ + 1; }
  bool stopped() const { return stopped_; }
  const std::string& why_stopped() const { return why_; }

 private:
  SheetStep stop(std::string why);
  // Takes in what happened since the last step: a paste still running
  // (Waiting), our paste merged or ended, or the surface changed by someone
  // else. Returns the step to report when there is nothing to do but wait or
  // stop.
  std::optional<SheetStep> catch_up(Store& s);
  SheetStep sew(Store& s);
  void lose_place();
  void after_paste(Store& s);
  void renumber(int i1, int i2);
  void check_ring(const Store& s);
  bool find_front(Store& s);
  void given_up(Store& s);
  void block(int v);
  bool blocked(int v) const;
  SheetStep pass_by(Store& s, int next, const std::string& why);

  int max_cells_;
  int max_rings_ = -1;
  int cells_ = 0, pastes_ = 0, rings_ = 0;
  bool stopped_ = false;
  std::string why_;

  int front_ = -1;                        // the vertex the walk has reached
  std::deque<std::pair<int, int>> sews_;  // pastes still to make, in order
  std::vector<int> ring_border_;          // the border as the ring began
  bool pasting_ = false;                  // a paste of ours has been started
  int paste_i1_ = 0, paste_i2_ = 0, paste_nov_ = 0, paste_nos_ = 0;
  // The counts after our last change; other counts mean someone else changed
  // the surface, and the walk finds its place again.
  std::array<int, 3> seen_{-1, -1, -1};
  // Kept apart: what was given up, the vertices where a cell or a paste was
  // given up (the walk passes them by), the cell whose first paste runs, and
  // how many border vertices the walk has passed by in a row.
  int cells_given_up_ = 0, pastes_given_up_ = 0;
  int given_up_seen_ = 0;
  std::vector<int> blocked_;
  int cell_at_ = -1, cell_nov_ = 0;
  int passed_by_ = 0;
};

// The one undo of a growth that runs over many steps, each of which takes a
// snapshot of its own (a cell, a paste): the growth's start is kept as it
// begins and put in the store's undo slot after each of its steps that took
// one, so that one Undo takes back the whole growth. The slot is left alone
// until a step takes a snapshot, so a growth refused at once leaves the undo
// as it was; and once another command has taken a snapshot of its own
// meanwhile, the slot is that command's and stays so.
class HeldUndo {
 public:
  void begin(const Store& s);
  // Around each of the growth's own steps.
  void before_step(const Store& s);
  void after_step(Store& s);

 private:
  std::unique_ptr<UndoSnapshot> start_;
  unsigned long mine_ = 0;    // the slot's saves when it last held our start
  unsigned long before_ = 0;  // the slot's saves before the step
  bool lost_ = false;         // another command took the slot
};

// What grow_sheet came to.
struct SheetReport {
  int cells = 0;
  int pastes = 0;
  int rings = 0;                                // rings closed
  long ticks = 0;                               // paste ticks run
  int cells_given_up = 0, pastes_given_up = 0;  // kept apart: places left open
  std::string why;  // why it stopped before max_cells; empty when it did not
};

// Grows up to max_cells cells as a sewn sheet, running every paste's ticks
// itself; a paste already running is finished first. One Undo takes back
// everything it grew and sewed (HeldUndo). While the sheet is kept apart, a
// cell that fits nowhere without crossing and a paste the sheet blocks are
// given up, and growth goes on elsewhere. A paste that has not
// merged after most_ticks ticks is ended where it stands, and growth stops.
SheetReport grow_sheet(Store& s, int max_cells, long most_ticks = 10000);

}  // namespace brimoss::ops
