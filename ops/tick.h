// The animation timer's step: at most one animation advances per tick, chosen
// by a fixed priority, and every tick ends with a repaint.
#pragma once

#include "model/store.h"

namespace brimoss {

// Which animation a tick advanced.
enum class TickBranch { Paste, Perturb, Spin, Twinkle, Sway, Idle };

// One tick: a paste step, else a perturbation step, else a spin step, else
// the twinkle's status text, else a sway step, else a blank status line. The
// caller repaints after every tick (that repaint advances the twinkle).
TickBranch timer_tick(Store& s);

}  // namespace brimoss
