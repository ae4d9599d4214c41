// Growing a sewn sheet one ring at a time on the animation timer, so that the
// user sees every cell appear and every paste pull its pair together.
#pragma once

#include <array>
#include <optional>

#include "model/store.h"
#include "ops/grow_sheet.h"
#include "ops/tick.h"

namespace brimoss {

class SheetAnimation {
 public:
  SheetAnimation();
  ~SheetAnimation();

  // Starts growing the next ring; does nothing while a ring is being grown.
  // Keeps the surface as it is now for the undo slot, so that Undo after the
  // ring (or after a ring that was stopped) goes back to it (ops::HeldUndo).
  void start(Store& s);

  // Asks the ring to stop between cells: the pastes owed to the cell grown
  // last are still made (unless the surface was changed under them), no new
  // cell is grown.
  void stop();

  bool running() const { return running_; }
  bool stopping() const { return stopping_; }

  // One timer tick: timer_tick as ever, then, when no paste runs, the
  // grower's next step, and the progress on the status line.
  TickBranch tick(Store& s);

  // Counted over the rings grown one after the other; they start again from
  // nothing when the surface is not the one the last ring left.
  int ring() const { return ring_; }
  int cells() const { return cells_done_ + (grower_ ? grower_->cells() : 0); }
  int pastes() const { return pastes_done_ + (grower_ ? grower_->pastes() : 0); }
  // Kept apart: cells and pastes given up, their places left open.
  int given_up() const {
    return given_up_done_ + (grower_ ? grower_->cells_given_up() + grower_->pastes_given_up() : 0);
  }
  // Why the last ring ended early; empty when it closed or was stopped.
  const char* why_stopped() const { return why_; }

 private:
  void finish(Store& s, const ops::SheetStep& last);
  void show_progress(Store& s) const;

  ops::HeldUndo undo_;  // the surface as the ring began
  std::optional<ops::SheetGrower> grower_;
  bool running_ = false, stopping_ = false;
  int ring_ = 0, cells_done_ = 0, pastes_done_ = 0, given_up_done_ = 0;
  // The counts the last ring left, to tell whether the next one follows on.
  std::array<int, 3> left_{-1, -1, -1};
  char why_[160] = {0};
  // How the last ring ended, kept on the status line for a few seconds of
  // idle ticks (an idle tick blanks the line).
  char ended_[256] = {0};
  int linger_ = 0;
};

}  // namespace brimoss
