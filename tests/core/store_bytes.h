// Byte-for-byte comparison of whole stores, for checking that a refused
// operation changed nothing at all: surface, counters, snapshot, labels,
// settings and scratch alike. Copies are made with memcpy so that padding
// bytes are copied too and compare equal.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <type_traits>

#include "model/store.h"

namespace brimoss::fixture {

static_assert(std::is_trivially_copyable_v<Store>, "stores are compared and copied as bytes");

inline std::unique_ptr<Store> byte_copy(const Store& s) {
  auto c = std::make_unique<Store>();
  std::memcpy(static_cast<void*>(c.get()), &s, sizeof(Store));
  return c;
}

// The member that holds byte `offset`, as far as the list below knows (a
// member added later shows as the last listed one before it).
inline const char* member_at(std::size_t offset) {
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
      BRIMOSS_MEMBER(_NOV),
      BRIMOSS_MEMBER(_NOE),
      BRIMOSS_MEMBER(_NOS),
      BRIMOSS_MEMBER(_x),
      BRIMOSS_MEMBER(_y),
      BRIMOSS_MEMBER(_z),
      BRIMOSS_MEMBER(_edge),
      BRIMOSS_MEMBER(_phi),
      BRIMOSS_MEMBER(_face),
      BRIMOSS_MEMBER(g_rate),
      BRIMOSS_MEMBER(g_purtj),
      BRIMOSS_MEMBER(g_twincle),
      BRIMOSS_MEMBER(g_pasteevent),
      BRIMOSS_MEMBER(messagetxt),
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

inline ::testing::AssertionResult same_store(const Store& a, const Store& b) {
  const auto* p = reinterpret_cast<const unsigned char*>(&a);
  const auto* q = reinterpret_cast<const unsigned char*>(&b);
  for (std::size_t i = 0; i < sizeof(Store); ++i)
    if (p[i] != q[i])
      return ::testing::AssertionFailure()
             << "stores differ first at byte " << i << " (in or after " << member_at(i) << ")";
  return ::testing::AssertionSuccess();
}

}  // namespace brimoss::fixture
