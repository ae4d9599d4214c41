// One level of undo: a copy of the surface's counters, positions, edges,
// targets and faces. The store holds one, the undo slot; a command that runs
// over many steps (a ring of the sheet) holds another for its own start.
#pragma once

#include <array>

#include "model/mesh.h"

namespace brimoss {

struct Store;

struct UndoSnapshot {
  int nov = 0, noe = 0, nos = 0;  // nov == 0: there is no snapshot
  std::array<double, MAXNOV> x{}, y{}, z{};
  std::array<Edge, MAXNOE> edge{};
  std::array<double, MAXNOE> phi{};
  std::array<Face, MAXNOS> face{};
  // How many times this snapshot was filled: a holder that put its own copy
  // here tells from it whether another command has taken one since.
  unsigned long saves = 0;

  bool empty() const { return nov == 0; }
  // Copies the store's surface in, replacing what was here.
  void save(const Store& s);
  // Copies another snapshot's surface in, as a save would have.
  void save(const UndoSnapshot& other);
  // Puts the copy back as the store's surface; the copy stays.
  void restore(Store& s) const;
};

// Takes the store's snapshot, replacing any earlier one.
void makecopy(Store& s);

// Puts the store's snapshot back and drops it; does nothing when there is none.
void undopaste(Store& s);

}  // namespace brimoss
