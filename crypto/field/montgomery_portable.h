// The portable Montgomery kernels for 4-limb moduli below 2^254: plain C++ (128-bit products, carries
// written out), which compilers turn into the target's multiply-high and add-with-carry instructions.
// They run on every target, and in unoptimised builds in place of the x86-64 assembly
// (montgomery_x86_64.h). Constant time: no branch or memory index depends on the operands.
#pragma once

#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/field/limbs.h"

// Loops over the limbs are unrolled at every optimisation level: straight-line code, no loop branches.
#define TARVO_UNROLLED _Pragma("GCC unroll 4")

namespace tarvo::montgomery {

// result = value - p when value >= p, else value (value < 2p).
TARVO_KERNEL void reduce_once(Limbs& value, const Limbs& p) {
  uint64_t borrow = 0;
  Limbs difference;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) difference[i] = sub_with_borrow(value[i], p[i], borrow);
  const uint64_t keep = uint64_t{0} - borrow;  // all ones when value < p
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) value[i] = (value[i] & keep) | (difference[i] & ~keep);
}

TARVO_KERNEL Limbs add_mod(const Limbs& a, const Limbs& b, const Limbs& p) {
  uint64_t carry = 0;  // a + b < 2p < 2^255: no carry out
  Limbs sum;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) sum[i] = add_with_carry(a[i], b[i], carry);
  reduce_once(sum, p);
  return sum;
}

TARVO_KERNEL Limbs sub_mod(const Limbs& a, const Limbs& b, const Limbs& p) {
  uint64_t borrow = 0;
  Limbs difference;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) difference[i] = sub_with_borrow(a[i], b[i], borrow);
  const uint64_t mask = uint64_t{0} - borrow;  // add p back when the difference went below zero
  uint64_t carry = 0;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) difference[i] = add_with_carry(difference[i], p[i] & mask, carry);
  return difference;
}

// a·b·2^-256 mod p, fully reduced, for a < p and any 256-bit b (every intermediate value stays below
// 2p); portable C++.
inline Limbs mul_portable(const Limbs& a, const Limbs& b, const Limbs& p, uint64_t inv) {
  uint64_t t[4] = {0, 0, 0, 0};
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) {
    u128 product = u128(a[0]) * b[i] + t[0];
    t[0] = static_cast<uint64_t>(product);
    uint64_t carry_a = static_cast<uint64_t>(product >> 64);
    const uint64_t m = t[0] * inv;
    uint64_t carry_m = static_cast<uint64_t>((u128(m) * p[0] + t[0]) >> 64);
    TARVO_UNROLLED
    for (int j = 1; j < 4; ++j) {
      product = u128(a[j]) * b[i] + t[j] + carry_a;
      carry_a = static_cast<uint64_t>(product >> 64);
      const u128 reduced = u128(m) * p[j] + static_cast<uint64_t>(product) + carry_m;
      t[j - 1] = static_cast<uint64_t>(reduced);
      carry_m = static_cast<uint64_t>(reduced >> 64);
    }
    t[3] = carry_a + carry_m;  // cannot overflow: the top limb of p has two clear bits
  }
  Limbs out = {t[0], t[1], t[2], t[3]};
  reduce_once(out, p);
  return out;
}

}  // namespace tarvo::montgomery
