#include "ops/sheet_animation.h"

#include <algorithm>
#include <cstdio>

#include "model/undo.h"

namespace brimoss {

namespace {
constexpr int kLingerTicks = 150;  // three seconds on the 20 ms timer
}  // namespace

struct SheetAnimation::Snapshot {
  int nov = 0, noe = 0, nos = 0;
  std::array<double, MAXNOV> x{}, y{}, z{};
  std::array<Edge, MAXNOE> edge{};
  std::array<double, MAXNOE> phi{};
  std::array<Face, MAXNOS> face{};
};

SheetAnimation::SheetAnimation() = default;
SheetAnimation::~SheetAnimation() = default;

void SheetAnimation::keep_snapshot(const Store& s) {
  Snapshot& k = *snapshot_;
  k.nov = s._NOV;
  k.noe = s._NOE;
  k.nos = s._NOS;
  std::copy_n(s._x.begin(), k.nov, k.x.begin());
  std::copy_n(s._y.begin(), k.nov, k.y.begin());
  std::copy_n(s._z.begin(), k.nov, k.z.begin());
  std::copy_n(s._edge.begin(), k.noe, k.edge.begin());
  std::copy_n(s._phi.begin(), k.noe, k.phi.begin());
  std::copy_n(s._face.begin(), k.nos, k.face.begin());
}

void SheetAnimation::put_back_snapshot(Store& s) const {
  const Snapshot& k = *snapshot_;
  std::copy_n(k.x.begin(), k.nov, s._x.begin());
  std::copy_n(k.y.begin(), k.nov, s._y.begin());
  std::copy_n(k.z.begin(), k.nov, s._z.begin());
  std::copy_n(k.edge.begin(), k.noe, s._edge.begin());
  std::copy_n(k.phi.begin(), k.noe, s._phi.begin());
  std::copy_n(k.face.begin(), k.nos, s._face.begin());
  s._NOV = k.nov;
  s._NOE = k.noe;
  s._NOS = k.nos;
}

void SheetAnimation::start(Store& s) {
  if (running_) return;
  // The ring's own snapshot: every growth and paste inside the ring takes
  // one, and each is replaced by this one straight after, so that one Undo
  // takes back the whole ring.
  if (!snapshot_) snapshot_ = std::make_unique<Snapshot>();
  makecopy(s);
  keep_snapshot(s);
  if (std::array<int, 3>{s.NOV, s.NOE, s.NOS} != left_) ring_ = cells_done_ = pastes_done_ = 0;
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
    const ops::SheetStep step = stopping_ ? grower_->finish_cell(s) : grower_->step(s);
    switch (step.action) {
      case ops::SheetAction::Grew:
      case ops::SheetAction::Sewing:
        put_back_snapshot(s);
        break;
      case ops::SheetAction::Waiting:
        break;
      case ops::SheetAction::Stopped:
        finish(s, step);
        return branch;
    }
  }
  show_progress(s);
  return branch;
}

void SheetAnimation::finish(Store& s, const ops::SheetStep& last) {
  running_ = false;
  cells_done_ += grower_->cells();
  pastes_done_ += grower_->pastes();
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
  set_message(s, text);
  linger_ = kLingerTicks;
  // Only a ring that closed is followed on by the next one.
  left_ = closed ? std::array<int, 3>{s.NOV, s.NOE, s.NOS} : std::array<int, 3>{-1, -1, -1};
}

void SheetAnimation::show_progress(Store& s) const {
  char text[96];
  std::snprintf(text, sizeof text, "Growing sheet: ring %d, cell %d, %d pastes", ring_, cells(),
                pastes());
  set_message(s, text);
}

}  // namespace brimoss
