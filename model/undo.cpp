#include "model/undo.h"

#include <algorithm>

namespace brimoss {

void makecopy(Store& s) {
  std::copy_n(s.x.begin(), s.NOV, s._x.begin());
  std::copy_n(s.y.begin(), s.NOV, s._y.begin());
  std::copy_n(s.z.begin(), s.NOV, s._z.begin());
  std::copy_n(s.edge.begin(), s.NOE, s._edge.begin());
  std::copy_n(s.phi.begin(), s.NOE, s._phi.begin());
  std::copy_n(s.face.begin(), s.NOS, s._face.begin());
  s._NOV = s.NOV;
  s._NOE = s.NOE;
  s._NOS = s.NOS;
}

void undopaste(Store& s) {
  if (s._NOV == 0) return;
  end_paste(s);
  std::copy_n(s._x.begin(), s._NOV, s.x.begin());
  std::copy_n(s._y.begin(), s._NOV, s.y.begin());
  std::copy_n(s._z.begin(), s._NOV, s.z.begin());
  std::copy_n(s._edge.begin(), s._NOE, s.edge.begin());
  std::copy_n(s._phi.begin(), s._NOE, s.phi.begin());
  std::copy_n(s._face.begin(), s._NOS, s.face.begin());
  s.NOV = s._NOV;
  s.NOE = s._NOE;
  s.NOS = s._NOS;
  s._NOV = 0;
}

}  // namespace brimoss
