// The additions of the fixed-base multiplication (fixed_base.cpp) with AVX-512 IFMA: two accumulators,
// each summing half of the windows, side by side in the eight lanes of crypto/field/fr_lanes_ifma_x86_64.h
// (the first in lanes 0..3, the second in lanes 4..7), so that one product of the lanes makes four
// multiplications of an addition for both. The lanes only pay with all eight busy: a product of four
// lanes takes longer than one scalar multiplication. Their twin is add_signed of fixed_base_portable.h.
//
// One addition of an entry (y + x, y − x, 2d·x·y) to an accumulator (X, Y, T, Z), as in add_signed:
// - the first factors (Y − X, Y + X, T, Z) times the entry's (y − x, y + x, 2d·x·y, 2) give A, B, C, D;
// - E = B − A, F = D − C, G = D + C and H = B + A, placed as (E, G, E, F) and (F, H, H, G), whose
//   product is the sum (E·F, G·H, E·H, F·G) = (X3, Y3, T3, Z3);
// - the next first factors (Y3 − X3, Y3 + X3, T3, Z3).
// A negative digit's entry comes with y + x and y − x exchanged and F and G exchanged, which negates C as
// negating 2d·x·y would; masks choose the permutations, nothing branches.
// Scale: an entry is an Fr Montgomery form, the element times 2^256, and a product of the lanes takes off
// 2^260, so each product leaves the same factor on the four values of an accumulator: its coordinates
// carry a common factor, which extended coordinates allow, and leave the lanes as an extended point.
// Bounds, as multiples of r (a product of factors below a·r and b·r is below (1 + 0.012·a·b)·r):
// the sums below 1.2r; the first factors below 3.2r, the entries below r, and the constant 2 as 2·2^256
// (below 2r, not reduced); so A, B, C, D below 2r; E and F below 4r (2r added before subtracting), G and
// H below 4r; the sums below (1 + 0.012·16)·r < 1.2r again.
// Constant time: straight-line code; the digits steer masks and permutations, not branches or addresses.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/window_scan_avx512_x86_64.h"
#include "crypto/field/fr_lanes_ifma_x86_64.h"
#include "crypto/field/partly_reduced_x86_64.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::edwards::fixed_base::ifma {

using namespace fr_lanes;

// 2r with 2^52 borrowed from every limb but the top one: v + this − u leaves no lower limb negative for
// normalised u, and the sum's carries put the top limb right (it may wrap around meanwhile).
inline constexpr Limbs52 kTwiceRBorrowed = {TWICE_MODULUS52[0] + (uint64_t{1} << 52),
                                            TWICE_MODULUS52[1] + LIMB_MASK, TWICE_MODULUS52[2] + LIMB_MASK,
                                            TWICE_MODULUS52[3] + LIMB_MASK, TWICE_MODULUS52[4] - 1};

inline constexpr Limbs SUM_BOUND = tenths_of_r(12);  // 1.2r

// Lanes as masks: the first accumulator's and the second's, and each accumulator's lane of Y − X (0 and
// 4), Y + X (1 and 5), T (2 and 6) and Z (3 and 7), or of the factors these lanes meet.
inline constexpr __mmask8 kFirst = 0x0f, kSecond = 0xf0;
inline constexpr __mmask8 kLaneYMinusX = 0x11, kLaneYPlusX = 0x22, kLaneT = 0x44, kLaneZ = 0x88;

// An index vector with the same pattern for both accumulators: i0..i3 for lanes 0..3, plus 4 for lanes
// 4..7 (the same lanes of the second accumulator, of either source of a two-source permutation).
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m512i per_accumulator(long long i0, long long i1, long long i2,
                                                              long long i3) {
  return _mm512_set_epi64(i3 + 4, i2 + 4, i1 + 4, i0 + 4, i3, i2, i1, i0);
}

// GCC 12 warns of an uninitialised operand in the unmasked _mm512_permutexvar_epi64.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m512i permuted(__m512i index, __m512i x) {
  return _mm512_maskz_permutexvar_epi64(0xff, index, x);
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m512i shifted_right(__m512i x, int bits) {
  return reinterpret_cast<__m512i>(reinterpret_cast<U64x8>(x) >> bits);
}
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m512i shifted_left(__m512i x, int bits) {
  return reinterpret_cast<__m512i>(reinterpret_cast<U64x8>(x) << bits);
}

// Two windows' scans, one per accumulator, run in steps between the products of an addition.
struct Scans {
  WindowScanAvx512 first, second;

  TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Scans(const Window& first_window, int first_digit,
                                              const Window& second_window, int second_digit)
      : first(first_window, first_digit), second(second_window, second_digit) {}

  template <size_t Step>
  TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void step() {
    first.template step<Step>();
    second.template step<Step>();
  }

  TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void all_steps() {
    first.all_steps();
    second.all_steps();
  }

  // The lanes whose accumulator adds the negative of its entry.
  TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __mmask8 negative() const {
    return static_cast<__mmask8>((kFirst & (0 - first.negative())) | (kSecond & (0 - second.negative())));
  }

  // After all steps, the entries in the lanes as second factors of the first products: (y − x, y + x,
  // 2d·x·y, 2) of each, y + x and y − x exchanged for a negative digit.
  TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector entries() const {
    const __m512i sums_first = first.sum_and_difference(), sums_second = second.sum_and_difference();
    // Masked inserts, as GCC 12 warns of an uninitialised operand in the unmasked ones.
    const __m512i t2d = _mm512_maskz_inserti64x4(
        0xff, _mm512_maskz_inserti64x4(0xff, _mm512_setzero_si512(), first.t2d(), 0), second.t2d(), 1);
    // Word j of y − x and y + x: words 4 + j and j of the first scan's, 12 + j and 8 + j of the second's
    // (the second source of the permutation); exchanged for a negative digit.
    const __m512i from_sums = _mm512_mask_blend_epi64(negative(), _mm512_set_epi64(0, 0, 8, 12, 0, 0, 0, 4),
                                                      _mm512_set_epi64(0, 0, 12, 8, 0, 0, 4, 0));
    const __m512i from_t2d = _mm512_set_epi64(0, 4, 0, 0, 0, 0, 0, 0);
    __m512i words[4];
#pragma GCC unroll 4
    for (size_t j = 0; j < 4; ++j) {
      const __m512i word = _mm512_set1_epi64(static_cast<long long>(j));
      const __m512i sums =
          _mm512_permutex2var_epi64(sums_first, _mm512_add_epi64(from_sums, word), sums_second);
      const __m512i with_t2d =
          _mm512_mask_permutexvar_epi64(sums, kLaneT, _mm512_add_epi64(from_t2d, word), t2d);
      words[j] = _mm512_mask_mov_epi64(with_t2d, kLaneZ,
                                       _mm512_set1_epi64(static_cast<long long>(TWO_UNREDUCED[j])));
    }
    // Re-cut into 52-bit limbs, as to_limbs52.
    const __m512i mask = _mm512_set1_epi64(static_cast<long long>(LIMB_MASK));
    Vector v;
    v.limb[0] = _mm512_and_si512(words[0], mask);
    v.limb[1] =
        _mm512_and_si512(_mm512_or_si512(shifted_right(words[0], 52), shifted_left(words[1], 12)), mask);
    v.limb[2] =
        _mm512_and_si512(_mm512_or_si512(shifted_right(words[1], 40), shifted_left(words[2], 24)), mask);
    v.limb[3] =
        _mm512_and_si512(_mm512_or_si512(shifted_right(words[2], 28), shifted_left(words[3], 36)), mask);
    v.limb[4] = shifted_right(words[3], 16);
    return v;
  }
};

// The second products' factors (E, G, E, F) and (F, H, H, G) from A, B, C, D, with F and G exchanged in
// the lanes of a negative digit.
struct SecondFactors {
  Vector left, right;
};

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA SecondFactors second_factors(const Vector& abcd, __mmask8 negative) {
  const __m512i take_bd = per_accumulator(1, 3, 1, 3), take_ac = per_accumulator(0, 2, 0, 2);
  // From the differences (E, F, E, F) as indices 0..3 and the sums (H, G, H, G) as 8..11.
  const __m512i left =
      _mm512_mask_blend_epi64(negative, per_accumulator(0, 9, 0, 1), per_accumulator(0, 1, 0, 9));
  const __m512i right =
      _mm512_mask_blend_epi64(negative, per_accumulator(1, 8, 8, 9), per_accumulator(9, 8, 8, 1));
  Vector differences, sums;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m512i bd = permuted(take_bd, abcd.limb[k]);
    const __m512i ac = permuted(take_ac, abcd.limb[k]);
    const __m512i twice_r = _mm512_set1_epi64(static_cast<long long>(kTwiceRBorrowed[k]));
    differences.limb[k] = _mm512_sub_epi64(_mm512_add_epi64(bd, twice_r), ac);
    sums.limb[k] = _mm512_add_epi64(bd, ac);
  }
  differences = normalised(differences);
  sums = normalised(sums);
  SecondFactors out;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    out.left.limb[k] = _mm512_permutex2var_epi64(differences.limb[k], left, sums.limb[k]);
    out.right.limb[k] = _mm512_permutex2var_epi64(differences.limb[k], right, sums.limb[k]);
  }
  return out;
}

// The first factors (Y − X, Y + X, T, Z) of the next addition from a sum (X, Y, T, Z).
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector first_factors(const Vector& xytz) {
  const __m512i exchange = per_accumulator(1, 0, 2, 3);
  Vector v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m512i yxtz = permuted(exchange, xytz.limb[k]);
    const __m512i twice_r = _mm512_set1_epi64(static_cast<long long>(kTwiceRBorrowed[k]));
    const __m512i plus_twice_r = _mm512_mask_add_epi64(yxtz, kLaneYMinusX, yxtz, twice_r);
    const __m512i difference = _mm512_mask_sub_epi64(plus_twice_r, kLaneYMinusX, plus_twice_r, xytz.limb[k]);
    v.limb[k] = _mm512_mask_add_epi64(difference, kLaneYPlusX, difference, xytz.limb[k]);
  }
  return normalised(v);
}

// The sums (X3, Y3, T3, Z3) from A, B, C, D; the next scans run between the products.
template <typename NextScans>
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector sums_of(const Vector& abcd, __mmask8 negative, NextScans& next) {
  next.template step<0>(), next.template step<1>(), next.template step<2>(), next.template step<3>();
  const SecondFactors second = second_factors(abcd, negative);
  const Vector sums = montgomery_product(second.left, second.right);
  next.template step<4>(), next.template step<5>(), next.template step<6>(), next.template step<7>();
  return sums;
}

// The sums of both accumulators after adding the entries `scans` selected to those whose first factors
// are given.
template <typename NextScans>
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector add_entries(const Vector& first, const Scans& scans,
                                                         NextScans& next) {
  return sums_of(montgomery_product(first, scans.entries()), scans.negative(), next);
}

// The same for accumulators at the neutral point (0, 1, 0, 1), taken with the factor 2^260: the first
// products would return the entries with C = 0, so they are left out.
template <typename NextScans>
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector add_entries_to_neutral(const Scans& scans, NextScans& next) {
  const Vector entries = scans.entries();
  Vector abcd;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k)
    abcd.limb[k] = _mm512_maskz_mov_epi64(static_cast<__mmask8>(~kLaneT), entries.limb[k]);
  return sums_of(abcd, scans.negative(), next);
}

// Both accumulators as extended points with reduced coordinates, from their sums.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA std::array<Point<PrimeOrder>, 2> accumulators(const Vector& xytz) {
  Lanes stored;
  store(xytz, stored);
  std::array<Fr, LANES> values;
#pragma GCC unroll 8
  for (size_t i = 0; i < LANES; ++i) values[i] = ::tarvo::partly_reduced::reduced(lane_value(stored, i));
  return {Point<PrimeOrder>{values[0], values[1], values[2], values[3]},
          Point<PrimeOrder>{values[4], values[5], values[6], values[7]}};
}

}  // namespace tarvo::edwards::fixed_base::ifma

#endif
