#include "ops/sheet_animation.h"

#include <cstdio>
#include <cstring>

namespace brimoss {

namespace {
constexpr int kLingerTicks = 150;  // three seconds on the 20 ms timer
}  // namespace

SheetAnimation::SheetAnimation() = default;
SheetAnimation::~SheetAnimation() = default;

void SheetAnimation::start(Store& s) {
  if (running_) return;
  undo_.begin(s);
  if (std::array<int, 3>{s.NOV, s.NOE, s.NOS} != left_)
    ring_ = cells_done_ = pastes_done_ = given_up_done_ = 0;
  ++ring_;
  grower_.emplace();
  grower_->stop_after_rings(1);
  running_ = true;
  stopping_ = false;
  linger_ = 0;
  why_[0] = 0;
  show_progress(s);
}

void SheetAnimation::stop() {
  if (running_) stopping_ = true;
}

TickBranch SheetAnimation::tick(Store& s) {
  const TickBranch branch = timer_tick(s);
  if (!running_) {
    if (linger_ > 0 && branch == TickBranch::Idle) {
      --linger_;
      set_message(s, ended_);
    }
    return branch;
  }
  if (s.g_pasteevent == 0) {
    undo_.before_step(s);
    const ops::SheetStep step = stopping_ ? grower_->finish_cell(s) : grower_->step(s);
    undo_.after_step(s);
    if (step.action == ops::SheetAction::Stopped) {
      finish(s, step);
      return branch;
    }
  }
  show_progress(s);
  return branch;
}

namespace {

// Kept apart, the status line also counts the places left open.
void add_given_up(char* text, std::size_t size, int n) {
  if (n <= 0) return;
  const std::size_t used = std::strlen(text);
  if (used + 1 < size) std::snprintf(text + used, size - used, ", %d given up", n);
}

}  // namespace

void SheetAnimation::finish(Store& s, const ops::SheetStep& last) {
  running_ = false;
  cells_done_ += grower_->cells();
  pastes_done_ += grower_->pastes();
  given_up_done_ += grower_->cells_given_up() + grower_->pastes_given_up();
  const bool closed = grower_->rings_closed() > 0;
  grower_.reset();
  std::snprintf(why_, sizeof why_, "%s", last.why.c_str());
  char* text = ended_;
  if (closed)
    std::snprintf(text, sizeof ended_, "Sheet grown: ring %d closed, %d cells, %d pastes", ring_,
                  cells_done_, pastes_done_);
  else if (why_[0])
    std::snprintf(text, sizeof ended_, "Sheet stopped in ring %d: %s", ring_, why_);
  else
    std::snprintf(text, sizeof ended_, "Sheet stopped in ring %d, %d cells, %d pastes", ring_,
                  cells_done_, pastes_done_);
  add_given_up(text, sizeof ended_, given_up_done_);
  set_message(s, text);
  linger_ = kLingerTicks;
  // Only a ring that closed is followed on by the next one.
  left_ = closed ? std::array<int, 3>{s.NOV, s.NOE, s.NOS} : std::array<int, 3>{-1, -1, -1};
}

void SheetAnimation::show_progress(Store& s) const {
  char text[96];
  std::snprintf(text, sizeof text, "Growing sheet: ring %d, cell %d, %d pastes", ring_, cells(),
                pastes());
  add_given_up(text, sizeof text, given_up());
  set_message(s, text);
}

}  // namespace brimoss
