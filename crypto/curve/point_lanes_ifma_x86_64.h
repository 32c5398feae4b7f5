// The doublings and additions of the variable-base multiplications (scalar_mul.cpp) with AVX-512 IFMA: one
// extended point (X, Y, T, Z) in lanes 0..3 of crypto/field/fr_lanes_ifma_x86_64.h, so that one product of
// the lanes makes the four squarings or the four multiplications of a formula's step at once. A single
// chain of doublings waits on each product; a product of the lanes takes about twice a scalar
// multiplication's latency and replaces four of them. Lanes 4..7 start at zero and carry nothing read.
// Their twins are the formulas of edwards.h and cached.h on Fr.
//
// The additions are those of the fixed-base IFMA kernel (first_factors, second_factors), with the addend
// (y − x, y + x, 2d·t, 2z) of a prepared point in place of a table entry. The doubling squares
// (X, Y, Z, X + Y) into (A, B, Z², S) and multiplies (E, G, E, −F) by (−F, −H, −H, G), which gives
// (−X3, −Y3, −T3, −Z3): the same point, with
//   E = S − A − B + 4r,  G = B − A + 2r,  −F = 2Z² + A − B + 2r,  −H = A + B.
// Scale: as in the fixed-base kernel, every product leaves one factor 2^-4 common to the four coordinates,
// which extended coordinates allow.
// Bounds, as multiples of r (a product of factors below a·r and b·r is below (1 + 0.012·a·b)·r): the
// coordinates stay below 1.4r. A doubling's squares are below (1 + 0.012·2.8²)·r < 1.1r, its factors below
// 5.3r (E ≥ 0 as A + B < 4r, −F ≥ 0 as B < 2r), its results below (1 + 0.012·5.1·5.3)·r < 1.4r; an
// addition's first factors are below 3.4r, A, B, C, D below 1.1r (the addend is below 2r), E..H below
// 3.2r and its results below 1.2r.
// Constant time: straight-line code; the only addresses are the arguments' and the stack's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "crypto/curve/cached.h"
#include "crypto/curve/fixed_base_ifma_x86_64.h"
#include "crypto/field/op_counts.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::edwards::point_lanes {

using namespace fr_lanes;

inline constexpr size_t POINT_LANES = 4;

// Four integers below 2^260 as 52-bit limbs: limb k of lane i at limb[k][i].
struct alignas(32) Lanes4 {
  std::array<std::array<uint64_t, POINT_LANES>, LIMBS> limb{};
};

// The four values in lanes 0..3 (each below 2^256), the others zero.
constexpr Lanes4 lanes_of(const std::array<Limbs, POINT_LANES>& values) {
  Lanes4 out;
  for (size_t i = 0; i < POINT_LANES; ++i) {
    const Limbs52 limbs = to_limbs52(values[i]);
    for (size_t k = 0; k < LIMBS; ++k) out.limb[k][i] = limbs[k];
  }
  return out;
}

// Lane i's value, from normalised limbs of a value below 2^256.
constexpr Limbs lane_value(const Lanes4& lanes, size_t i) {
  Limbs52 x;
  for (size_t k = 0; k < LIMBS; ++k) x[k] = lanes.limb[k][i];
  return from_limbs52(x);
}

TARVO_IFMA_AVX512 Vector load(const Lanes4& lanes) {
  Vector v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    v.limb[k] = _mm512_maskz_loadu_epi64(0x0f, lanes.limb[k].data());
  }
  return v;
}

TARVO_IFMA_AVX512 void store(const Vector& v, Lanes4& lanes) {
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    _mm512_mask_storeu_epi64(lanes.limb[k].data(), 0x0f, v.limb[k]);
  }
}

// The carries moved up with their signs, for limbs that went negative in a sum of differences whose value
// is not: every limb then holds 52 bits.
TARVO_IFMA_AVX512 Vector signed_normalised(Vector v) {
  const __m512i mask = _mm512_set1_epi64(static_cast<long long>(LIMB_MASK));
#pragma GCC unroll 4
  for (size_t k = 0; k + 1 < LIMBS; ++k) {
    const __m512i carry = reinterpret_cast<__m512i>(reinterpret_cast<I64x8>(v.limb[k]) >> 52);
    v.limb[k + 1] = _mm512_add_epi64(v.limb[k + 1], carry);
    v.limb[k] = _mm512_and_si512(v.limb[k], mask);
  }
  return v;
}

// Limb k of the multiples (m0·r, m1·r, m2·r, m3·r) in lanes 0..3.
TARVO_IFMA_AVX512 __m512i multiples_of_r(size_t k, long long m0, long long m1, long long m2, long long m3) {
  const long long r = static_cast<long long>(MODULUS52[k]);
  return _mm512_set_epi64(0, 0, 0, 0, m3 * r, m2 * r, m1 * r, m0 * r);
}

// 2·p from p = (X, Y, T, Z), as (−X3, −Y3, −T3, −Z3).
TARVO_IFMA_AVX512 Vector doubled(const Vector& xytz) {
  using fixed_base::ifma::per_accumulator, fixed_base::ifma::permuted;
  Vector squared;  // (X, Y, Z, X + Y)
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m512i xyzx = permuted(per_accumulator(0, 1, 3, 0), xytz.limb[k]);
    const __m512i y = permuted(per_accumulator(1, 1, 1, 1), xytz.limb[k]);
    squared.limb[k] = _mm512_mask_add_epi64(xyzx, 0x08, xyzx, y);
  }
  squared = normalised(squared);
  const Vector squares = montgomery_product(squared, squared);  // (A, B, Z², S)
  Vector left, right;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m512i u = squares.limb[k];
    const __m512i sbsz = permuted(per_accumulator(3, 1, 3, 2), u);
    const __m512i sbs_twice_z = _mm512_mask_add_epi64(sbsz, 0x08, sbsz, sbsz);  // (S, B, S, 2Z²)
    const __m512i aaab = permuted(per_accumulator(0, 0, 0, 1), u);
    const __m512i bbba = permuted(per_accumulator(1, 1, 1, 0), u);
    __m512i l = _mm512_sub_epi64(sbs_twice_z, aaab);
    l = _mm512_mask_sub_epi64(l, 0x05, l, bbba);
    l = _mm512_mask_add_epi64(l, 0x08, l, bbba);
    left.limb[k] = _mm512_add_epi64(l, multiples_of_r(k, 4, 2, 4, 2));  // (E, G, E, −F)
    const __m512i zaab = permuted(per_accumulator(2, 0, 0, 1), u);
    const __m512i twice_z_aab = _mm512_mask_add_epi64(zaab, 0x01, zaab, zaab);  // (2Z², A, A, B)
    const __m512i abba = permuted(per_accumulator(0, 1, 1, 0), u);
    __m512i r = _mm512_mask_add_epi64(twice_z_aab, 0x07, twice_z_aab, abba);
    r = _mm512_mask_sub_epi64(r, 0x08, r, abba);
    r = _mm512_mask_sub_epi64(r, 0x01, r, bbba);
    right.limb[k] = _mm512_add_epi64(r, multiples_of_r(k, 2, 0, 0, 2));  // (−F, −H, −H, G)
  }
  return montgomery_product(signed_normalised(left), signed_normalised(right));
}

// p + q from p = (X, Y, T, Z) and the addend (y − x, y + x, 2d·t, 2z) of q.
TARVO_IFMA_AVX512 Vector sum(const Vector& xytz, const Vector& addend) {
  using namespace fixed_base::ifma;
  const SecondFactors second = second_factors(montgomery_product(first_factors(xytz), addend), 0);
  return montgomery_product(second.left, second.right);
}

// The addend's lanes: (y − x, y + x, 2d·t, 2z), for an affine point z = 1 as the unreduced Montgomery form
// of 2 that the fixed-base kernel uses (below 2r).
inline Lanes4 addend_lanes(const CachedPoint& q) {
  return lanes_of({q.y_minus_x.montgomery_form(), q.y_plus_x.montgomery_form(), q.t2d.montgomery_form(),
                   q.z2.montgomery_form()});
}
inline Lanes4 addend_lanes(const AffineCachedPoint& q) {
  return lanes_of({q.y_minus_x.montgomery_form(), q.y_plus_x.montgomery_form(), q.t2d.montgomery_form(),
                   fixed_base::ifma::kTwo});
}

// Out of line, with the instructions these need: p doubled, and p + q.
void double_in_lanes(Lanes4& p);
void add_in_lanes(Lanes4& p, const Lanes4& addend);

// The accumulator of the multiplications' loops (scalar_mul.cpp): x, y, t, z in lanes 0..3.
struct LanePoint {
  Lanes4 lanes;

  template <typename Order>
  explicit LanePoint(const Point<Order>& p)
      : lanes(lanes_of(
            {p.x.montgomery_form(), p.y.montgomery_form(), p.t.montgomery_form(), p.z.montgomery_form()})) {}
};

// The formulas' counts, as the scalar ones tally theirs: the lanes compute t anyway.
template <bool ComputeT = true>
LanePoint doubled(LanePoint p) {
  TARVO_COUNT(squarings, 4);
  TARVO_COUNT(multiplications, ComputeT ? 4 : 3);
  double_in_lanes(p.lanes);
  return p;
}

template <bool ComputeT = true, typename Addend>
LanePoint add(LanePoint p, const Addend& q) {
  TARVO_COUNT(multiplications, (std::is_same_v<Addend, CachedPoint> ? 4 : 3) + (ComputeT ? 4 : 3));
  add_in_lanes(p.lanes, addend_lanes(q));
  return p;
}

template <typename Order = PrimeOrder>
Point<Order> to_point(const LanePoint& p) {
  return {partly_reduced::reduced(lane_value(p.lanes, 0)), partly_reduced::reduced(lane_value(p.lanes, 1)),
          partly_reduced::reduced(lane_value(p.lanes, 2)), partly_reduced::reduced(lane_value(p.lanes, 3))};
}

}  // namespace tarvo::edwards::point_lanes

#endif
