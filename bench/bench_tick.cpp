// Every branch of the timer's tick without its repaint (bench/wx adds the
// repaint); of the repaint only the step it makes in the store is taken.
#include "bench/ticks.h"
#include "view/draw.h"

namespace {

const bool registered = [] {
  brimoss::bench::add_tick_benches("_norepaint", brimoss::twinkle_step);
  return true;
}();

}  // namespace
