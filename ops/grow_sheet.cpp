#include "ops/grow_sheet.h"

#include <algorithm>
#include <array>
#include <optional>

#include "copy/paste.h"
#include "model/sheet_check.h"
#include "ops/commands.h"
#include "sim/contacts.h"
#include "sim/grow.h"

namespace brimoss::ops {

namespace {

// A border vertex with one cell or two: the only vertices a cell grows at,
// and the only ones the pair check joins.
bool one_or_two_cells(int faces) { return faces == 2 || faces == 4; }

std::array<int, 3> counts(const Store& s) { return {s.NOV, s.NOE, s.NOS}; }

int corners(const Store& s, int v) {
  int n = 0;
  for (int f = 0; f < s.NOS; ++f)
    n += (s.face[f][0] == v) + (s.face[f][1] == v) + (s.face[f][2] == v);
  return n;
}

// How many vertices an edge joins to both a and b.
int shared_neighbours(const Store& s, int a, int b) {
  std::vector<char> seen(s.NOV, 0);
  for (int l = 0; l < s.NOE; ++l) {
    const Edge e = s.edge[l];
    if (e.first == a && e.second != a) seen[e.second] |= 1;
    if (e.second == a && e.first != a) seen[e.first] |= 1;
    if (e.first == b && e.second != b) seen[e.second] |= 2;
    if (e.second == b && e.first != b) seen[e.first] |= 2;
  }
  return static_cast<int>(std::count(seen.begin(), seen.end(), 3));
}

std::string on_faces(int v, int faces) {
  return "its neighbour " + std::to_string(v) + " is on " + std::to_string(faces) + " faces";
}

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
  for (int& v : blocked_) moved(v);
  if (cell_at_ >= 0) moved(cell_at_);
}

void SheetGrower::block(int v) {
  if (!blocked(v)) blocked_.push_back(v);
}

bool SheetGrower::blocked(int v) const {
  return std::find(blocked_.begin(), blocked_.end(), v) != blocked_.end();
}

void SheetGrower::given_up(Store& s) {
  ++pastes_given_up_;
  // A cell whose first paste was given up would hang by one vertex: it goes.
  if (cell_at_ >= 0 && s.NOV == cell_nov_ + 7) {
    s.NOV -= 7;
    s.NOE -= 14;
    s.NOS -= 7;
    ++cells_given_up_;
    --cells_;
  }
  if (cell_at_ >= 0) block(cell_at_);
  block(paste_i1_);
  block(paste_i2_);
  cell_at_ = -1;
  sews_.clear();
  seen_ = counts(s);
}

SheetStep SheetGrower::pass_by(Store& s, int next, const std::string& why) {
  // Kept apart, a place that takes nothing is left open and the walk goes
  // on; once it has passed by every border vertex in a row, nothing fits.
  block(front_);
  const std::vector<char> border = border_vertices(s);
  const int nborder = static_cast<int>(std::count(border.begin(), border.end(), 1));
  if (++passed_by_ > nborder + 1)
    return stop("nothing more fits without crossing the sheet (last: " + why + ")");
  front_ = next;
  seen_ = counts(s);
  return {SheetAction::Waiting, -1, -1, {}};
}

void SheetGrower::lose_place() {
  sews_.clear();
  front_ = -1;
  ring_border_.clear();
  seen_ = {-1, -1, -1};
}

void SheetGrower::after_paste(Store& s) {
  pasting_ = false;
  // A merge takes one vertex away and leaves the faces as they were.
  if (s.NOV == paste_nov_ - 1 && s.NOS == paste_nos_) {
    renumber(paste_i1_, paste_i2_);
    ++pastes_;
    seen_ = counts(s);
    cell_at_ = -1;
    passed_by_ = 0;
    return;
  }
  if (s.apart.pastes_given_up > given_up_seen_ && s.NOV == paste_nov_ && s.NOS == paste_nos_) {
    given_up_seen_ = s.apart.pastes_given_up;
    given_up(s);
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
  given_up_seen_ = s.apart.pastes_given_up;
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
    if (v < 0 || v >= s.NOV || !border[v] || blocked(v)) return false;
    const VertexFan fan = vertex_fan(s, v);
    return fan.open() &&
           (faces ? fan.faces == faces : fan.faces == 6 || one_or_two_cells(fan.faces));
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

std::optional<SheetStep> SheetGrower::catch_up(Store& s) {
  if (s.g_pasteevent > 0) return SheetStep{SheetAction::Waiting, s.g_paste_i1, s.g_paste_i2, {}};
  if (pasting_)
    after_paste(s);
  else if (counts(s) != seen_)
    lose_place();  // something else grew, removed or replaced cells since our last step
  if (stopped_) return SheetStep{SheetAction::Stopped, -1, -1, why_};
  return std::nullopt;
}

SheetStep SheetGrower::step(Store& s) {
  if (std::optional<SheetStep> early = catch_up(s)) return *early;
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
  if (max_rings_ >= 0 && rings_ >= max_rings_) return stop("");
  const std::vector<int>& chain = fan.chains.front();
  const int first = chain.front(), last = chain.back();

  const bool apart = s.apart.on;
  if (apart && blocked(front_)) return pass_by(s, last, "vertex " + std::to_string(front_));
  if (fan.faces == 6) {
    // Three cells in an open fan: close it. Its two ends must share no
    // neighbour but the front, or joining them would pinch the sheet there.
    const std::string head = "the fan at vertex " + std::to_string(front_) + " cannot be closed: ";
    for (int v : {first, last})
      if (const int k = corners(s, v); !one_or_two_cells(k))
        return apart ? pass_by(s, last, head + on_faces(v, k)) : stop(head + on_faces(v, k));
    if (shared_neighbours(s, first, last) != 1) {
      const std::string why = head + "its ends " + std::to_string(first) + " and " +
                              std::to_string(last) + " have another neighbour in common";
      return apart ? pass_by(s, last, why) : stop(why);
    }
    sews_.emplace_back(first, last);
    front_ = last;
    return sew(s);
  }
  if (!one_or_two_cells(fan.faces)) {
    const std::string why = "no cell fits at vertex " + std::to_string(front_) + ": it is on " +
                            std::to_string(fan.faces) + " faces";
    return apart ? pass_by(s, last, why) : stop(why);
  }
  if (max_cells_ >= 0 && cells_ >= max_cells_) return stop("");

  // A cell that could not be sewn would hang from the sheet by one vertex.
  for (int v : fan.faces == 4 ? std::vector<int>{last, first} : std::vector<int>{last})
    if (const int k = corners(s, v); !one_or_two_cells(k)) {
      const std::string why =
          "no cell fits at vertex " + std::to_string(front_) + ": " + on_faces(v, k);
      return apart ? pass_by(s, last, why) : stop(why);
    }

  const int c = front_, n = s.NOV;
  const GrownCell cell = grown_cell(n);
  if (const Result r = set_current(s, c); !r) return stop(r.why);
  if (const Result r = grow(s); !r) {
    if (!apart || s.NOV + 7 >= MAXNOV || s.NOE + 14 >= MAXNOE || s.NOS + 7 >= MAXNOS)
      return stop(r.why);
    ++cells_given_up_;
    return pass_by(s, last, r.why);
  }
  ++cells_;
  cell_at_ = c;
  cell_nov_ = n;
  // The new cell's faces at c go round it from `after` to `before`, so with
  // the fan's chain first -> ... -> last the faces go round c in one
  // direction when `after` becomes last and `before` becomes first.
  sews_.emplace_back(cell.after, last);
  if (fan.faces == 4) sews_.emplace_back(cell.before, first);
  front_ = last;
  seen_ = counts(s);
  return {SheetAction::Grew, c, -1, {}};
}

SheetStep SheetGrower::finish_cell(Store& s) {
  if (std::optional<SheetStep> early = catch_up(s)) return *early;
  if (sews_.empty()) return stop("");
  return sew(s);
}

void HeldUndo::begin(const Store& s) {
  if (!start_) start_ = std::make_unique<UndoSnapshot>();
  start_->save(s);
  mine_ = s.undo.saves;
  lost_ = false;
}

void HeldUndo::before_step(const Store& s) {
  if (s.undo.saves != mine_) lost_ = true;
  before_ = s.undo.saves;
}

void HeldUndo::after_step(Store& s) {
  if (s.undo.saves == before_) return;  // the step took no snapshot
  if (!lost_) s.undo.save(*start_);
  mine_ = s.undo.saves;
}

SheetReport grow_sheet(Store& s, int max_cells, long most_ticks) {
  SheetGrower grower(max_cells);
  SheetReport r;
  HeldUndo undo;
  undo.begin(s);
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
    undo.before_step(s);
    const SheetStep step = grower.step(s);
    undo.after_step(s);
    if (step.action == SheetAction::Stopped) {
      r.why = step.why;
      break;
    }
  }
  r.cells = grower.cells();
  r.pastes = grower.pastes();
  r.rings = grower.rings_closed();
  r.cells_given_up = grower.cells_given_up();
  r.pastes_given_up = grower.pastes_given_up();
  return r;
}

}  // namespace brimoss::ops
