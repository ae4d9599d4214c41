// The user's commands, each written once: the window's menu handlers, the
// mouse, and the batch tool's commands all come here. A command either is
// carried out or says why not; the callers decide how to show the reason (the
// window mostly does not, the batch tool prints it).
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss::ops {

// What a command came to: empty `why` when it was carried out.
struct Result {
  std::string why;
  bool ok() const { return why.empty(); }
  explicit operator bool() const { return ok(); }
};

inline Result done() { return {}; }
inline Result refused(std::string why) { return {std::move(why)}; }

// Surfaces and files.
void load_sample(Store& s, int n);  // 128..131; any other number means 131
Result open_file(Store& s, const std::string& path);
Result append_file(Store& s, const std::string& path);
Result save_file(const Store& s, const std::string& path);
Result undo(Store& s);
// Whether the surface differs from what was last opened, loaded or saved: a
// command has changed it since (see Store::edits). The batch tool never asks.
bool has_unsaved_edits(const Store& s);
// The surface as it was when s.edits was `edits` has been written to a file.
void mark_saved(Store& s, unsigned edits);

// Growth and shape, at the current vertex g_purtj.
Result set_current(Store& s, int v);
Result grow(Store& s);
Result remove(Store& s);
Result pull(Store& s);
void relax(Store& s);

// The Sway menu: the number of sweeps each command asks for.
enum class Sway { Once = 3, Some = 7, Many = 15 };
// Replaces a sway still running.
void sway(Store& s, Sway how);
// Touch perturbation on or off; returns the new setting.
bool toggle_touch_perturbation(Store& s);
// Keep the sheet apart on or off (off at start): while on, no motion of the
// program passes the sheet through itself.
void keep_apart(Store& s, bool on);
bool keeps_apart(const Store& s);
// Growth keeps the sheet apart from then on, unless the sheet already crosses
// itself: the contacts hold a clean sheet apart, they do not untangle one, and
// on a tangled sheet every pass would meet crowds of pairs already through
// each other. True when the setting is on.
bool keep_apart_for_growth(Store& s);
// After a move the user makes by hand (a piece dragged or mirrored, a copy
// added, a file appended beside the sheet) while the sheet is kept apart:
// what the move left crossing, to be told, since keeping apart does not undo
// it. Empty when the setting is off or nothing crosses.
std::string crossings_left_by_hand(const Store& s);

// Copies and pastes.
void mirror(Store& s);
Result add_copy(Store& s, bool mirrored);
// Joins vertex i onto vertex j step by step (the ticks carry it out).
Result start_paste(Store& s, int i, int j);

// Handling the view.
// The pointer, no button held, reaches vertex v: v becomes current, starts
// its perturbation wave (if touch perturbation is on) and a spin stops.
// Nothing happens while a button is held or when v is already current.
Result touch(Store& s, int v);
// Turns the sheet h radians about the x axis and v about the y axis per tick,
// slowing to rest over 49 ticks; stops a perturbation wave.
void start_spin(Store& s, double h, double v);
// Marks component c (0..MAXCONNCOMP-1) as highlighted.
Result highlight(Store& s, int c);
void clear_highlights(Store& s);
void detect_components(Store& s);
void zoom_in(Store& s);
void zoom_out(Store& s);
// Zoom back to 100 pixels a unit, with the surface centred on the origin.
void default_size(Store& s);

// The Colour menu's three settings. A picked face colour also sets the
// matching mark colour: the front one turned round and halved, the back one
// turned round.
enum class ColourSetting { FaceForeground, FaceBackground, Background };
void set_colour(Store& s, ColourSetting which, int r, int g, int b);

}  // namespace brimoss::ops
