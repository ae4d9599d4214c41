#include "testing/store_bytes.h"

#include <cstddef>
#include <cstring>

namespace brimoss::testing {

std::unique_ptr<Store> byte_copy(const Store& s) {
  auto c = std::make_unique<Store>();
  byte_copy_into(*c, s);
  return c;
}

void byte_copy_into(Store& to, const Store& from) {
  std::memcpy(static_cast<void*>(&to), &from, sizeof(Store));
}

std::ptrdiff_t first_different_byte(const Store& a, const Store& b) {
  // The stores are alike far more often than not (every fuzz input checks
  // one), so compare them whole first and look for the byte only when they
  // differ.
  if (std::memcmp(&a, &b, sizeof(Store)) == 0) return -1;
  const auto* p = reinterpret_cast<const unsigned char*>(&a);
  const auto* q = reinterpret_cast<const unsigned char*>(&b);
  for (std::size_t i = 0; i < sizeof(Store); ++i)
    if (p[i] != q[i]) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

const char* member_at(std::size_t offset) {
#define BRIMOSS_MEMBER(m) \
  { offsetof(Store, m), #m }
  static const struct {
    std::size_t at;
    const char* name;
  } members[] = {
      BRIMOSS_MEMBER(NOV),
      BRIMOSS_MEMBER(NOE),
      BRIMOSS_MEMBER(NOS),
      BRIMOSS_MEMBER(NOcomp),
      BRIMOSS_MEMBER(filledconn_comp),
      BRIMOSS_MEMBER(x),
      BRIMOSS_MEMBER(y),
      BRIMOSS_MEMBER(z),
      BRIMOSS_MEMBER(dx),
      BRIMOSS_MEMBER(dy),
      BRIMOSS_MEMBER(dz),
      BRIMOSS_MEMBER(gx),
      BRIMOSS_MEMBER(gy),
      BRIMOSS_MEMBER(conn_comp),
      BRIMOSS_MEMBER(edge),
      BRIMOSS_MEMBER(phi),
      BRIMOSS_MEMBER(edgelength),
      BRIMOSS_MEMBER(face),
      BRIMOSS_MEMBER(center),
      BRIMOSS_MEMBER(order),
      BRIMOSS_MEMBER(hilighted),
      BRIMOSS_MEMBER(comp_centerx),
      BRIMOSS_MEMBER(comp_centery),
      BRIMOSS_MEMBER(comp_centerz),
      BRIMOSS_MEMBER(undo.nov),
      BRIMOSS_MEMBER(undo.noe),
      BRIMOSS_MEMBER(undo.nos),
      BRIMOSS_MEMBER(undo.x),
      BRIMOSS_MEMBER(undo.y),
      BRIMOSS_MEMBER(undo.z),
      BRIMOSS_MEMBER(undo.edge),
      BRIMOSS_MEMBER(undo.phi),
      BRIMOSS_MEMBER(undo.face),
      BRIMOSS_MEMBER(undo.saves),
      BRIMOSS_MEMBER(g_rate),
      BRIMOSS_MEMBER(g_purtj),
      BRIMOSS_MEMBER(g_twincle),
      BRIMOSS_MEMBER(g_pasteevent),
      BRIMOSS_MEMBER(messagetxt),
      BRIMOSS_MEMBER(edits),
      BRIMOSS_MEMBER(basecolR),
      BRIMOSS_MEMBER(relaxation),
      BRIMOSS_MEMBER(scratch),
  };
#undef BRIMOSS_MEMBER
  const char* best = "?";
  std::size_t best_at = 0;
  for (const auto& m : members)
    if (m.at <= offset && m.at >= best_at) best = m.name, best_at = m.at;
  return best;
}

}  // namespace brimoss::testing
