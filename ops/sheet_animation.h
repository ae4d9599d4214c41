// Growing a sewn sheet one ring at a time on the animation timer, so that the
// user sees every cell appear and every paste pull its pair together.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "model/store.h"
#include "ops/grow_sheet.h"
#include "ops/tick.h"

namespace brimoss {

class SheetAnimation {
 public:
  SheetAnimation();
  ~SheetAnimation();

  // Starts growing the next ring, or with `until_full` ring after ring until
  // no cell fits. Each ring keeps the surface as it begins for the undo slot,
  // so that Undo after a ring (or after a ring that was stopped) goes back to
  // it (ops::HeldUndo). While a growth runs, one ring more does nothing, and
  // until_full lets the running growth go on to the end.
  void start(Store& s, bool until_full = false);

  // Asks the growth to stop between cells: the pastes owed to the cell grown
  // last are still made (unless the surface was changed under them), no new
  // cell is grown. `by` names what stopped it ("a click on the canvas") for
  // the message; the first request's stays.
  void stop(const std::string& by = std::string());

  bool running() const { return running_; }
  bool stopping() const { return stopping_; }
  bool until_full() const { return until_full_; }

  // One timer tick: timer_tick as ever, then, when no paste runs, the
  // grower's next step.
  TickBranch tick(Store& s);

  // The ring of the sheet being grown, or grown last: counted from the
  // sheet's middle (ops::sheet_rings), so it goes on across stops, Undo and
  // files opened again.
  int ring() const { return ring_; }
  // Cells grown and pastes made since the growth was started.
  int cells() const { return cells_done_ + (grower_ ? grower_->cells() : 0); }
  int pastes() const { return pastes_done_ + (grower_ ? grower_->pastes() : 0); }
  // Why the last growth ended early; empty when its ring closed or the user
  // stopped it.
  const std::string& why_stopped() const { return why_; }
  // What the growth has to say: its progress while it runs ("Growing sheet:
  // ring 2, 9 cells, 14 pastes"), and afterwards how and why it ended. Empty
  // before the first growth.
  const std::string& message() const { return message_; }
  // Kept apart: cells and pastes given up, their places left open.
  int given_up() const {
    return given_up_done_ + (grower_ ? grower_->cells_given_up() + grower_->pastes_given_up() : 0);
  }

 private:
  void begin_ring(Store& s);
  void finish(Store& s, const ops::SheetStep& last);
  void show_progress();

  ops::HeldUndo undo_;  // the surface as the ring began
  std::optional<ops::SheetGrower> grower_;
  bool running_ = false, stopping_ = false, until_full_ = false;
  int ring_ = 0, cells_done_ = 0, pastes_done_ = 0, given_up_done_ = 0;
  int begun_ring_ = 0;  // the ring the growth set out to close
  std::string stopped_by_, why_, message_;
  std::array<int, 5> shown_{-1, -1, -1, -1, -1};  // the figures message_ shows
};

}  // namespace brimoss
