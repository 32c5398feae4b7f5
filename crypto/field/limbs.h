// Four 64-bit limbs, least significant first: the canonical form of 256-bit field integers.
#pragma once

#include <cstdint>

#include "crypto/base/bytes.h"

namespace tarvo {

using u128 = unsigned __int128;

// Adds with carry in and out: returns the low word, sets carry to 0 or 1.
inline uint64_t add_with_carry(uint64_t a, uint64_t b, uint64_t& carry) {
  const u128 sum = u128(a) + b + carry;
  carry = static_cast<uint64_t>(sum >> 64);
  return static_cast<uint64_t>(sum);
}

// Subtracts with borrow in and out: returns the low word, sets borrow to 0 or 1.
inline uint64_t sub_with_borrow(uint64_t a, uint64_t b, uint64_t& borrow) {
  const u128 diff = u128(a) - b - borrow;
  borrow = static_cast<uint64_t>(diff >> 127);
  return static_cast<uint64_t>(diff);
}

// a < b as 256-bit integers, in constant time: the borrow out of a − b.
inline bool limbs_less(const Limbs& a, const Limbs& b) {
  uint64_t borrow = 0;
  for (int i = 0; i < 4; ++i) sub_with_borrow(a[i], b[i], borrow);
  return borrow != 0;
}

// a < b as 256-bit integers. Variable time: only for public values (range checks of inputs).
inline bool limbs_less_var(const Limbs& a, const Limbs& b) {
  for (int i = 3; i >= 0; --i) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  return false;
}

}  // namespace tarvo
