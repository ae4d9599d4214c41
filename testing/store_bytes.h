// Whole stores as bytes, for checking that a refused operation changed
// nothing at all: surface, counters, snapshot, labels, settings and scratch
// alike. Copies are made with memcpy so that padding bytes are copied too and
// compare equal.
#pragma once

#include <cstddef>
#include <memory>
#include <type_traits>

#include "model/store.h"

namespace brimoss::testing {

static_assert(std::is_trivially_copyable_v<Store>, "stores are compared and copied as bytes");

std::unique_ptr<Store> byte_copy(const Store& s);
void byte_copy_into(Store& to, const Store& from);

// The offset of the first byte in which the two stores differ, or -1.
std::ptrdiff_t first_different_byte(const Store& a, const Store& b);

// The member that holds byte `offset`, as far as the list in store_bytes.cpp
// knows (a member added later shows as the last listed one before it).
const char* member_at(std::size_t offset);

}  // namespace brimoss::testing
