// Eight elements of Fr side by side in the AVX-512 vector registers, with the IFMA instructions (52-bit
// multiply-accumulate): the arithmetic that Poseidon's permutation (crypto/poseidon/permute_ifma_x86_64.h)
// and the fixed-base multiplication (crypto/curve/fixed_base_ifma_x86_64.h) build on.
//
// A lane holds an integer below 2^260 as five 52-bit limbs, and a product reduces as a Montgomery product
// with R = 2^260. Fr's Montgomery form (R = 2^256) enters the lanes unchanged, re-cut into 52-bit limbs;
// the callers keep track of the powers of two this leaves on their values. A reduction leaves
// (t + m·r)/2^260 with m < 2^260, below t/2^260 + r: for factors below a·r and b·r the product is below
// (1 + 0.012·a·b)·r, as r < 2^253.6.
// Constant time: straight-line code; the only addresses are the arguments' and the stack's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/field/fr.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::fr_lanes {

inline constexpr size_t LANES = 8;
inline constexpr size_t LIMBS = 5;  // of 52 bits
inline constexpr uint64_t LIMB_MASK = (uint64_t{1} << 52) - 1;

using Limbs52 = std::array<uint64_t, LIMBS>;

// An integer below 2^256 re-cut into 52-bit limbs, and back (from normalised limbs of a value < 2^256).
constexpr Limbs52 to_limbs52(const Limbs& x) {
  return {x[0] & LIMB_MASK, (x[0] >> 52 | x[1] << 12) & LIMB_MASK, (x[1] >> 40 | x[2] << 24) & LIMB_MASK,
          (x[2] >> 28 | x[3] << 36) & LIMB_MASK, x[3] >> 16};
}
constexpr Limbs from_limbs52(const Limbs52& x) {
  return {x[0] | x[1] << 52, x[1] >> 12 | x[2] << 40, x[2] >> 24 | x[3] << 28, x[3] >> 36 | x[4] << 16};
}

inline constexpr Limbs52 MODULUS52 = to_limbs52(FrParams::MODULUS);
inline constexpr uint64_t INV52 = FrParams::INV & LIMB_MASK;  // -r^-1 mod 2^52
inline constexpr Limbs52 TWICE_MODULUS52 = to_limbs52(twice(FrParams::MODULUS));
// The factor 2 as 2·(2^256 mod r): the Montgomery form of 2, not reduced (below 2r).
inline constexpr Limbs TWO_UNREDUCED = twice(FrParams::R);
static_assert(FrParams::R[3] >> 63 == 0);

// N integers (8 for the 512-bit registers, 4 for the 256-bit ones), limb k of lane i at limb[k][i]: the
// layout of the vector registers.
template <size_t N>
struct alignas(8 * N) LaneLimbs {
  std::array<std::array<uint64_t, N>, LIMBS> limb;
};
using Lanes = LaneLimbs<LANES>;

// Lane i set to a value below 2^256.
template <size_t N>
TARVO_KERNEL void set_lane(LaneLimbs<N>& lanes, size_t i, const Limbs& value) {
  const Limbs52 x = to_limbs52(value);
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) lanes.limb[k][i] = x[k];
}

// Lane i's value, from normalised limbs of a value below 2^256.
template <size_t N>
TARVO_KERNEL Limbs lane_value(const LaneLimbs<N>& lanes, size_t i) {
  Limbs52 x;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) x[k] = lanes.limb[k][i];
  return from_limbs52(x);
}

// floor(tenths·r/10): the bounds the kernels state as multiples of r (1.2r as 12 tenths).
constexpr Limbs tenths_of_r(uint64_t tenths) {
  std::array<uint64_t, 5> x{};
  u128 carry = 0;
  for (size_t i = 0; i < 4; ++i) {
    const u128 t = u128(FrParams::MODULUS[i]) * tenths + carry;
    x[i] = static_cast<uint64_t>(t);
    carry = t >> 64;
  }
  x[4] = static_cast<uint64_t>(carry);
  Limbs out{};
  u128 remainder = x[4] % 10;
  for (size_t i = 4; i-- > 0;) {
    const u128 t = remainder << 64 | x[i];
    out[i] = static_cast<uint64_t>(t / 10);
    remainder = t % 10;
  }
  return out;
}

// Whether every lane holds normalised limbs (the top one of 48 bits) of a value at most `bound`: the
// checked build's test of the lanes' bounds (check.h), without a branch.
template <size_t N>
bool lanes_at_most(const LaneLimbs<N>& lanes, const Limbs& bound) {
  bool all = true;
  for (size_t i = 0; i < N; ++i) {
    uint64_t excess = lanes.limb[LIMBS - 1][i] >> 48;
    for (size_t k = 0; k + 1 < LIMBS; ++k) excess |= lanes.limb[k][i] >> 52;
    all &= (int{excess == 0} & int{!limbs_less(bound, lane_value(lanes, i))}) != 0;
  }
  return all;
}

// Shifts written as vector arithmetic: GCC 12's _mm512_srli_epi64 warns of an uninitialised operand.
using U64x8 = uint64_t __attribute__((vector_size(64)));
using I64x8 = int64_t __attribute__((vector_size(64)));

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m512i high_bits(__m512i x) {
  return reinterpret_cast<__m512i>(reinterpret_cast<U64x8>(x) >> 52);
}

struct Vector {
  __m512i limb[LIMBS];
};

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector load(const Lanes& lanes) {
  Vector v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) v.limb[k] = _mm512_load_si512(lanes.limb[k].data());
  return v;
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void store(const Vector& v, Lanes& lanes) {
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) _mm512_store_si512(lanes.limb[k].data(), v.limb[k]);
}

// The same for the lanes of a register set.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA bool lanes_at_most(const Vector& v, const Limbs& bound) {
  Lanes stored;
  store(v, stored);
  return lanes_at_most(stored, bound);
}

// A product's (or a sum of products') ten 52-bit columns, each a 64-bit sum of halves of products.
struct Columns {
  __m512i column[2 * LIMBS];
};

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Columns zero_columns() {
  Columns t;
#pragma GCC unroll 10
  for (size_t k = 0; k < 2 * LIMBS; ++k) t.column[k] = _mm512_setzero_si512();
  return t;
}

// t += a·b, lane by lane, unreduced.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void multiply_accumulate(Columns& t, const Vector& a, const Vector& b) {
#pragma GCC unroll 5
  for (size_t i = 0; i < LIMBS; ++i) {
#pragma GCC unroll 5
    for (size_t k = 0; k < LIMBS; ++k) {
      t.column[i + k] = _mm512_madd52lo_epu64(t.column[i + k], a.limb[i], b.limb[k]);
      t.column[i + k + 1] = _mm512_madd52hi_epu64(t.column[i + k + 1], a.limb[i], b.limb[k]);
    }
  }
}

// t·2^-260 mod r as (t + m·r)/2^260, limbs not yet normalised: each step adds m·r·2^(52i) with m chosen to
// clear column i, whose carry then moves up.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector montgomery_reduce(Columns t) {
  const __m512i inv = _mm512_set1_epi64(static_cast<long long>(INV52));
#pragma GCC unroll 5
  for (size_t i = 0; i < LIMBS; ++i) {
    const __m512i m = _mm512_madd52lo_epu64(_mm512_setzero_si512(), t.column[i], inv);
#pragma GCC unroll 5
    for (size_t k = 0; k < LIMBS; ++k) {
      const __m512i p = _mm512_set1_epi64(static_cast<long long>(MODULUS52[k]));
      t.column[i + k] = _mm512_madd52lo_epu64(t.column[i + k], m, p);
      t.column[i + k + 1] = _mm512_madd52hi_epu64(t.column[i + k + 1], m, p);
    }
    t.column[i + 1] = _mm512_add_epi64(t.column[i + 1], high_bits(t.column[i]));
  }
  Vector v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) v.limb[k] = t.column[LIMBS + k];
  return v;
}

// The carries moved up so that every limb holds 52 bits (the value stays below 2^260).
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector normalised(Vector v) {
  const __m512i mask = _mm512_set1_epi64(static_cast<long long>(LIMB_MASK));
#pragma GCC unroll 4
  for (size_t k = 0; k + 1 < LIMBS; ++k) {
    v.limb[k + 1] = _mm512_add_epi64(v.limb[k + 1], high_bits(v.limb[k]));
    v.limb[k] = _mm512_and_si512(v.limb[k], mask);
  }
  return v;
}

// a·b·2^-260 mod r plus a multiple of r (see above), normalised; for normalised a and b.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector montgomery_product(const Vector& a, const Vector& b) {
  Columns t = zero_columns();
  multiply_accumulate(t, a, b);
  return normalised(montgomery_reduce(t));
}

// v - q where v >= q, else v, for normalised v and q below 2^260.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector subtract_if_not_below(const Vector& v, const Limbs52& q) {
  const __m512i mask = _mm512_set1_epi64(static_cast<long long>(LIMB_MASK));
  Vector d;
  __m512i borrow = _mm512_setzero_si512();
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m512i raw = _mm512_add_epi64(
        _mm512_sub_epi64(v.limb[k], _mm512_set1_epi64(static_cast<long long>(q[k]))), borrow);
    borrow = reinterpret_cast<__m512i>(reinterpret_cast<I64x8>(raw) >> 52);  // 0 or -1
    d.limb[k] = _mm512_and_si512(raw, mask);
  }
  const __mmask8 below = _mm512_cmplt_epi64_mask(borrow, _mm512_setzero_si512());
  Vector out;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) out.limb[k] = _mm512_mask_blend_epi64(below, d.limb[k], v.limb[k]);
  return out;
}

}  // namespace tarvo::fr_lanes

#endif  // TARVO_X86_64
