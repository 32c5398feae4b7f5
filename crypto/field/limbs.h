// Four 64-bit limbs, least significant first: the canonical form of 256-bit field integers.
#pragma once

#include <cstdint>

#include "crypto/base/bytes.h"
#include "crypto/base/target.h"

#if TARVO_X86_64
#include <x86intrin.h>
#endif

namespace tarvo {

using u128 = unsigned __int128;

// The two carry primitives below are 128-bit C++ arithmetic, which compilers turn into the target's
// add-with-carry instructions; on x86-64 they use the carry intrinsics instead, as GCC makes a chain of
// them into flag-free code about twice as long there.

// Adds with carry in and out (0 or 1): returns the low word.
inline uint64_t add_with_carry(uint64_t a, uint64_t b, uint64_t& carry) {
#if TARVO_X86_64
  unsigned long long sum;
  carry = _addcarry_u64(static_cast<unsigned char>(carry), a, b, &sum);
  return sum;
#else
  const u128 sum = u128(a) + b + carry;
  carry = static_cast<uint64_t>(sum >> 64);
  return static_cast<uint64_t>(sum);
#endif
}

// Subtracts with borrow in and out (0 or 1): returns the low word.
inline uint64_t sub_with_borrow(uint64_t a, uint64_t b, uint64_t& borrow) {
#if TARVO_X86_64
  unsigned long long difference;
  borrow = _subborrow_u64(static_cast<unsigned char>(borrow), a, b, &difference);
  return difference;
#else
  const u128 difference = u128(a) - b - borrow;
  borrow = static_cast<uint64_t>(difference >> 127);
  return static_cast<uint64_t>(difference);
#endif
}

// 2a, for a < 2^255.
constexpr Limbs twice(const Limbs& a) {
  return {a[0] << 1, a[1] << 1 | a[0] >> 63, a[2] << 1 | a[1] >> 63, a[3] << 1 | a[2] >> 63};
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
