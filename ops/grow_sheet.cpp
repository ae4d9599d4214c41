#include "ops/grow_sheet.h"

#include <algorithm>
#include <array>

#include "copy/paste.h"
#include "model/sheet_check.h"
#include "ops/commands.h"

namespace brimoss::ops {

namespace {

bool growable(int faces) { return faces == 2 || faces == 4; }

std::array<int, 3> counts(const Store& s) { return {s.NOV, s.NOE, s.NOS}; }

}  // namespace

SheetStep SheetGrower::stop(std::string why) {
  stopped_ = true;
  why_ = std::move(why);
  return {SheetAction::Stopped, -1, -1, why_};
}

void SheetGrower::renumber(int i1, int i2) {
  // The merge drops i2 into i1 and moves every later vertex down one place.
  auto moved = [i1, i2](int& v) { v = v == i2 ? i1 : (v > i2 ? v - 1 : v); };
  moved(front_);
  for (auto& [i, j] : sews_) {
    moved(i);
    moved(j);
  }
  for (int& v : ring_border_) moved(v);
}

void SheetGrower::lose_place() {
  sews_.clear();
  front_ = -1;
  ring_border_.clear();
  seen_ = {-1, -1, -1};
}

void SheetGrower::after_paste(const Store& s) {
  pasting_ = false;
  // A merge takes one vertex away and leaves the faces as they were.
  if (s.NOV == paste_nov_ - 1 && s.NOS == paste_nos_) {
    renumber(paste_i1_, paste_i2_);
    ++pastes_;
    seen_ = counts(s);
    return;
  }
  // The paste was ended before its merge, or the surface was replaced: the
  // vertices we followed may mean something else now.
  lose_place();
}

SheetStep SheetGrower::sew(Store& s) {
  const auto [i, j] = sews_.front();
  sews_.pop_front();
  const int nov = s.NOV, nos = s.NOS;
  // As the gesture: j was touched, the button came up over i.
  const Result r = set_current(s, j);
  const Result started = r ? ops::start_paste(s, i, j) : r;
  if (!started) return stop(started.why);
  pasting_ = true;
  paste_i1_ = s.g_paste_i1;
  paste_i2_ = s.g_paste_i2;
  paste_nov_ = nov;
  paste_nos_ = nos;
  return {SheetAction::Sewing, i, j, {}};
}

void SheetGrower::check_ring(const Store& s) {
  // The walk goes from one vertex of the ring's starting border to the next
  // until the ring closes; the vertex after the closing paste is one of the
  // ring's own, where the next ring begins.
  if (!ring_border_.empty()) {
    if (std::find(ring_border_.begin(), ring_border_.end(), front_) != ring_border_.end()) return;
    ++rings_;
  }
  ring_border_.clear();
  const std::vector<char> border = border_vertices(s);
  for (int v = 0; v < s.NOV; ++v)
    if (border[v]) ring_border_.push_back(v);
}

bool SheetGrower::find_front(Store& s) {
  // The current vertex when the walk can start there, else a vertex with the
  // most work waiting: a fan to close, then one with two cells.
  const std::vector<char> border = border_vertices(s);
  auto fits = [&](int v, int faces) {
    if (v < 0 || v >= s.NOV || !border[v]) return false;
    const VertexFan fan = vertex_fan(s, v);
    return fan.open() && (faces ? fan.faces == faces : fan.faces == 6 || growable(fan.faces));
  };
  if (fits(s.g_purtj, 0)) {
    front_ = s.g_purtj;
    return true;
  }
  for (int faces : {6, 4, 2})
    for (int v = 0; v < s.NOV; ++v)
      if (fits(v, faces)) {
        front_ = v;
        return true;
      }
  return false;
}

SheetStep SheetGrower::step(Store& s) {
  if (s.g_pasteevent > 0) return {SheetAction::Waiting, s.g_paste_i1, s.g_paste_i2, {}};
  if (pasting_)
    after_paste(s);
  else if (counts(s) != seen_)
    lose_place();  // something else grew, removed or replaced cells since our last step
  if (stopped_) return {SheetAction::Stopped, -1, -1, why_};
  if (!sews_.empty()) return sew(s);

  VertexFan fan;
  if (front_ >= 0 && front_ < s.NOV) fan = vertex_fan(s, front_);
  if (!fan.open()) {
    // Lost or not yet begun: start a ring afresh wherever the walk can.
    ring_border_.clear();
    if (!find_front(s)) return stop("no border vertex takes a cell");
    fan = vertex_fan(s, front_);
  }
  check_ring(s);
  const std::vector<int>& chain = fan.chains.front();
  const int first = chain.front(), last = chain.back();

  if (fan.faces == 6) {
    // Three cells in an open fan: close it.
    sews_.emplace_back(first, last);
    front_ = last;
    return sew(s);
  }
  if (!growable(fan.faces))
    return stop("no cell fits at vertex " + std::to_string(front_) + ": it is on " +
                std::to_string(fan.faces) + " faces");
  if (max_cells_ >= 0 && cells_ >= max_cells_) return stop("");

  const int c = front_, n = s.NOV;
  if (const Result r = set_current(s, c); !r) return stop(r.why);
  if (const Result r = grow(s); !r) return stop(r.why);
  ++cells_;
  // The new cell's faces at c chain n -> n+6 -> n+5, so with the fan's chain
  // first -> ... -> last the faces go round c in one direction when n becomes
  // last and n+5 becomes first.
  sews_.emplace_back(n, last);
  if (fan.faces == 4) sews_.emplace_back(n + 5, first);
  front_ = last;
  seen_ = counts(s);
  return {SheetAction::Grew, c, -1, {}};
}

SheetReport grow_sheet(Store& s, int max_cells, long most_ticks) {
  SheetGrower grower(max_cells);
  SheetReport r;
  for (;;) {
    long ticks = 0;
    while (s.g_pasteevent > 0 && ticks < most_ticks) {
      pastevertices2(s);
      ++ticks;
    }
    r.ticks += ticks;
    if (s.g_pasteevent > 0) {
      end_paste(s);
      r.why = "a paste did not merge within " + std::to_string(most_ticks) + " ticks";
      break;
    }
    const SheetStep step = grower.step(s);
    if (step.action == SheetAction::Stopped) {
      r.why = step.why;
      break;
    }
  }
  r.cells = grower.cells();
  r.pastes = grower.pastes();
  r.rings = grower.rings_closed();
  return r;
}

}  // namespace brimoss::ops
