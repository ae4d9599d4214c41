// What the status bar's second field says: while the user asks for it, the
// surface's counts, or why the last command did nothing; and always what a
// command wrote or how a growth went. Each stays until the next change.
#pragma once

#include <string>

#include "model/store.h"

namespace brimoss {

// "995 vertices, 2004 edges, 1008 faces".
std::string counts_text(const Store& s);

class Feedback {
 public:
  // Off: the field is empty. On: it shows the counts.
  void set_enabled(const Store& s, bool on);
  bool enabled() const { return on_; }

  // A command's outcome: a refusal shows its reason, anything carried out the
  // counts. True when the text changed.
  bool report(const Store& s, const std::string& why);

  // After anything that may have changed the surface (a tick, a paste step):
  // counts that differ from the last seen replace the text (with nothing,
  // while the counts are not asked for). Compares three numbers and builds no
  // text unless they differ. True when the text changed.
  bool poll(const Store& s);

  // A message of the program's own ("Saved sheet.brm: 996 vertices"), shown
  // whether or not the counts are asked for, until the counts change or the
  // next report. True when the text changed.
  bool say(const Store& s, const std::string& text);

  // What the field shows.
  const std::string& text() const { return text_; }

 private:
  bool set(const std::string& t);
  void remember(const Store& s);

  bool on_ = false;
  int nov_ = -1, noe_ = -1, nos_ = -1;
  std::string text_;
};

}  // namespace brimoss
