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

}  // namespace

void UndoSnapshot::save(const Store& s) {
  copy_surface(s, s.NOV, s.NOE, s.NOS, *this);
  nov = s.NOV;
  noe = s.NOE;
  nos = s.NOS;
  ++saves;
}

void UndoSnapshot::save(const UndoSnapshot& other) {
  copy_surface(other, other.nov, other.noe, other.nos, *this);
  nov = other.nov;
  noe = other.noe;
  nos = other.nos;
  ++saves;
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
