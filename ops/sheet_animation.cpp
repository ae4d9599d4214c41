#include "ops/sheet_animation.h"

#include <algorithm>
#include <array>

#include "ops/sheet_rings.h"

namespace brimoss {

SheetAnimation::SheetAnimation() = default;
SheetAnimation::~SheetAnimation() = default;

void SheetAnimation::start(Store& s, bool until_full) {
  if (running_) {
    // Asked to grow on to the end while a ring grows: it does, unless it is
    // already stopping.
    if (until_full && !stopping_) until_full_ = true;
    return;
  }
  until_full_ = until_full;
  cells_done_ = pastes_done_ = given_up_done_ = 0;
  running_ = true;
  stopping_ = false;
  stopped_by_.clear();
  why_.clear();
  begin_ring(s);
}

void SheetAnimation::begin_ring(Store& s) {
  undo_.begin(s);
  ring_ = begun_ring_ = ops::sheet_rings(s) + 1;
  grower_.emplace();
  grower_->stop_after_rings(1);
  show_progress();
}

void SheetAnimation::stop(const std::string& by) {
  if (!running_ || stopping_) return;
  stopping_ = true;
  stopped_by_ = by;
}

TickBranch SheetAnimation::tick(Store& s) {
  const TickBranch branch = timer_tick(s);
  if (!running_) return branch;
  if (s.g_pasteevent == 0) {
    undo_.before_step(s);
    const ops::SheetStep step = stopping_ ? grower_->finish_cell(s) : grower_->step(s);
    undo_.after_step(s);
    if (step.action == ops::SheetAction::Stopped) {
      finish(s, step);
      return branch;
    }
    // A ring resumed after a stop walks the whole border, and may go on into
    // the next ring of the sheet once it has closed this one.
    if (step.action == ops::SheetAction::Grew) ring_ = ops::sheet_rings(s) + 1;
  }
  show_progress();
  return branch;
}

namespace {

// Kept apart, the status line also counts the places left open.
std::string given_up_text(int n) {
  return n > 0 ? ", " + std::to_string(n) + " given up" : std::string();
}

}  // namespace

void SheetAnimation::finish(Store& s, const ops::SheetStep& last) {
  cells_done_ += grower_->cells();
  pastes_done_ += grower_->pastes();
  given_up_done_ += grower_->cells_given_up() + grower_->pastes_given_up();
  const bool closed = grower_->rings_closed() > 0;
  grower_.reset();
  // Until full, a closed ring is followed by the next, each its own undo.
  if (closed && until_full_ && !stopping_) {
    begin_ring(s);
    return;
  }
  running_ = false;
  shown_ = {-1, -1, -1, -1, -1};
  why_ = stopping_ ? std::string() : last.why;
  const std::string counts =
      std::to_string(cells_done_) + " cells, " + std::to_string(pastes_done_) + " pastes";
  const std::string ring = std::to_string(ring_);
  if (stopping_)
    message_ = "Sheet stopped in ring " + ring +
               (stopped_by_.empty() ? std::string() : " by " + stopped_by_) + ": " + counts;
  else if (closed)
    // The sheet's own count, unless places left open kept it below the
    // ring this growth set out to close.
    message_ = "Sheet grown: ring " + std::to_string(std::max(begun_ring_, ops::sheet_rings(s))) +
               " closed, " + counts;
  else
    message_ = "Sheet stopped in ring " + ring + ": " + (why_.empty() ? counts : why_);
  message_ += given_up_text(given_up_done_);
}

void SheetAnimation::show_progress() {
  // Written afresh only when a figure changed: the ticks that carry a paste
  // on allocate nothing.
  const std::array<int, 5> shown{ring_, cells(), pastes(), given_up(), until_full_ ? 1 : 0};
  if (shown == shown_ && !message_.empty()) return;
  shown_ = shown;
  message_ = std::string(until_full_ ? "Growing sheet until full: ring " : "Growing sheet: ring ") +
             std::to_string(ring_) + ", " + std::to_string(cells()) + " cells, " +
             std::to_string(pastes()) + " pastes" + given_up_text(given_up());
}

}  // namespace brimoss
