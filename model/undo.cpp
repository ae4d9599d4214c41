#include "model/undo.h"

#include <algorithm>

#include "model/store.h"

namespace brimoss {

namespace {

template <class From, class To>
void copy_surface(const From& f, int nov, int noe, int nos, To& t) {
  std::copy_n(f.x.begin(), nov, t.x.begin());
  std::copy_n(f.y.begin(), nov, t.y.begin());
  std::copy_n(f.z.begin(), nov, t.z.begin());
  std::copy_n(f.edge.begin(), noe, t.edge.begin());
  std::copy_n(f.phi.begin(), noe, t.phi.begin());
  std::copy_n(f.face.begin(), nos, t.face.begin());
}

template <class From>
void take(UndoSnapshot& k, const From& f, int nov, int noe, int nos) {
  copy_surface(f, nov, noe, nos, k);
  k.nov = nov;
  k.noe = noe;
  k.nos = nos;
  ++k.saves;
}

}  // namespace

void UndoSnapshot::save(const Store& s) { take(*this, s, s.NOV, s.NOE, s.NOS); }

void UndoSnapshot::save(const UndoSnapshot& other) {
  take(*this, other, other.nov, other.noe, other.nos);
}

void UndoSnapshot::restore(Store& s) const {
  copy_surface(*this, nov, noe, nos, s);
  s.NOV = nov;
  s.NOE = noe;
  s.NOS = nos;
}

void makecopy(Store& s) { s.undo.save(s); }

void undopaste(Store& s) {
  if (s.undo.empty()) return;
  end_paste(s);
  s.undo.restore(s);
  s.undo.nov = 0;
}

}  // namespace brimoss
