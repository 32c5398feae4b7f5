// The doublings and additions of the variable-base multiplications (scalar_mul.cpp) with AVX-512 IFMA: one
// extended point (X, Y, T, Z) in four lanes of 52-bit limbs (the radix and Montgomery product of
// crypto/field/fr_lanes_ifma_x86_64.h, R = 2^260), so that one product of the lanes makes the four squarings
// or the four multiplications of a formula's step at once. A chain of doublings waits on each product: the
// product here is scheduled for latency, and a doubling or an addition is two of them.
// Their twins are the formulas of edwards.h and cached.h on Fr.
//
// The addition multiplies (Y − X, Y + X, T, Z) by the addend (y − x, y + x, 2d·t, 2z) into (A, B, C, D),
// then (E, G, E, F) by (F, H, H, G) into the sum (X3, Y3, T3, Z3). The doubling multiplies (X, Y, Z, T) by
// (X, Y, Z, Z) into (A, B, Z², W) and (E, G, E, −F) by (−F, −H, −H, G) into (−X3, −Y3, −T3, −Z3), the same
// point, with E = 2XY = 2W (as T·Z = X·Y), G = B − A + 2r, −F = 2Z² + A − B + 2r, −H = A + B.
// Scale: as in the fixed-base kernel, every product leaves one factor 2^-4 common to the four coordinates,
// which extended coordinates allow.
// Bounds, as multiples of r (a product of factors below a·r and b·r is below (1 + 0.012·a·b)·r): the
// coordinates stay below 1.2r. A doubling's first products are below 1.1r, its factors below 5.1r (−F ≥ 0
// as B < 2r), its results below (1 + 0.012·max(2.1·5.1, 5.1·3.1))·r < 1.2r; an addition's first factors are
// below 3.2r, A, B, C, D below 1.1r (the addend is at most 2r), E..H below 3.1r, its results below 1.2r.
// Sums with differences may leave limbs negative; their values are not, and the carries move with signs.
// Constant time: straight-line code; the only addresses are the arguments' and the stack's.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/cached.h"
#include "crypto/field/fr_lanes_ifma_x86_64.h"
#include "crypto/field/partly_reduced_x86_64.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::edwards::point_lanes {

using namespace fr_lanes;

inline constexpr size_t POINT_LANES = 4;

using Lanes4 = LaneLimbs<POINT_LANES>;
inline constexpr Limbs COORDINATE_BOUND = tenths_of_r(12);  // 1.2r

// The four values (each below 2^256) in the four lanes.
inline Lanes4 lanes_of(const std::array<Limbs, POINT_LANES>& values) {
  Lanes4 out;
  for (size_t i = 0; i < POINT_LANES; ++i) set_lane(out, i, values[i]);
  return out;
}

using I64x4 = int64_t __attribute__((vector_size(32)));
using U64x4 = uint64_t __attribute__((vector_size(32)));

// Four lanes of 52-bit limbs in 256-bit registers. A single chain of point operations waits on each
// product, and Zen 4 runs the 256-bit IFMA instructions two at a time where it runs the 512-bit ones one
// at a time: on an AMD EPYC the product below took 22 ns in 256-bit registers and 34 ns in 512-bit ones.
struct Vector4 {
  __m256i limb[LIMBS];
};

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 load(const Lanes4& lanes) {
  Vector4 v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k)
    v.limb[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes.limb[k].data()));
  return v;
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA void store(const Vector4& v, Lanes4& lanes) {
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(lanes.limb[k].data()), v.limb[k]);
}

TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m256i high_bits(__m256i x) {
  return reinterpret_cast<__m256i>(reinterpret_cast<U64x4>(x) >> 52);
}
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m256i broadcast(uint64_t x) {
  return _mm256_set1_epi64x(static_cast<long long>(x));
}

// Limb k of (m0·r, m1·r, m2·r, m3·r), unnormalised.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m256i multiples_of_r(size_t k, long long m0, long long m1,
                                                             long long m2, long long m3) {
  const long long r = static_cast<long long>(MODULUS52[k]);
  return _mm256_set_epi64x(m3 * r, m2 * r, m1 * r, m0 * r);
}

// The carries moved up with their signs, for limbs that may be negative in a sum of differences whose
// value is not: every limb then holds 52 bits.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 normalised(Vector4 v) {
  const __m256i mask = broadcast(LIMB_MASK);
#pragma GCC unroll 4
  for (size_t k = 0; k + 1 < LIMBS; ++k) {
    const __m256i carry = reinterpret_cast<__m256i>(reinterpret_cast<I64x4>(v.limb[k]) >> 52);
    v.limb[k + 1] = _mm256_add_epi64(v.limb[k + 1], carry);
    v.limb[k] = _mm256_and_si256(v.limb[k], mask);
  }
  return v;
}

// a·b·2^-260 mod r plus a multiple of r, normalised, for normalised a and b: the Montgomery product of
// fr_lanes with a schedule for latency. The low and high halves of the products sum in separate columns,
// and the carry out of column i, (t + lo(m·r0)) / 2^52, is taken from t alone: t + lo(m·r0) is a multiple
// of 2^52, so the carry is t's high bits plus one unless t's low 52 bits are zero. Only m·r1's low half
// and m·r0's high half then wait for m before the next column.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 product(const Vector4& a, const Vector4& b) {
  __m256i low[2 * LIMBS], high[2 * LIMBS];
#pragma GCC unroll 10
  for (size_t k = 0; k < 2 * LIMBS; ++k) low[k] = high[k] = _mm256_setzero_si256();
#pragma GCC unroll 5
  for (size_t i = 0; i < LIMBS; ++i) {
#pragma GCC unroll 5
    for (size_t k = 0; k < LIMBS; ++k) {
      low[i + k] = _mm256_madd52lo_epu64(low[i + k], a.limb[i], b.limb[k]);
      high[i + k + 1] = _mm256_madd52hi_epu64(high[i + k + 1], a.limb[i], b.limb[k]);
    }
  }
  const __m256i inv = broadcast(INV52), mask = broadcast(LIMB_MASK), one = broadcast(1);
#pragma GCC unroll 5
  for (size_t i = 0; i < LIMBS; ++i) {
    const __m256i t = _mm256_add_epi64(low[i], high[i]);
    const __m256i m = _mm256_madd52lo_epu64(_mm256_setzero_si256(), t, inv);
    const __m256i carry =
        _mm256_mask_add_epi64(high_bits(t), _mm256_test_epi64_mask(t, mask), high_bits(t), one);
#pragma GCC unroll 5
    for (size_t k = 1; k < LIMBS; ++k)
      low[i + k] = _mm256_madd52lo_epu64(low[i + k], m, broadcast(MODULUS52[k]));
#pragma GCC unroll 5
    for (size_t k = 0; k < LIMBS; ++k)
      high[i + k + 1] = _mm256_madd52hi_epu64(high[i + k + 1], m, broadcast(MODULUS52[k]));
    low[i + 1] = _mm256_add_epi64(low[i + 1], carry);
  }
  Vector4 v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) v.limb[k] = _mm256_add_epi64(low[LIMBS + k], high[LIMBS + k]);
  return normalised(v);
}

// Each limb's lanes rearranged: lane i takes lane (Lanes >> 2i) & 3.
template <int Lanes>
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA __m256i permuted(__m256i x) {
  return _mm256_permute4x64_epi64(x, Lanes);
}
constexpr int lanes(int i0, int i1, int i2, int i3) { return i0 | i1 << 2 | i2 << 4 | i3 << 6; }

// 2·p from p = (X, Y, T, Z), as (−X3, −Y3, −T3, −Z3). E = 2XY is taken as 2·T·Z, so that the first
// factors are the coordinates themselves: (X, Y, Z, T) times (X, Y, Z, Z) gives (A, B, Z², W = T·Z).
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 doubled(const Vector4& xytz) {
  Vector4 first, second;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    first.limb[k] = permuted<lanes(0, 1, 3, 2)>(xytz.limb[k]);
    second.limb[k] = permuted<lanes(0, 1, 3, 3)>(xytz.limb[k]);
  }
  const Vector4 squares = product(first, second);  // (A, B, Z², W)
  Vector4 left, right;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m256i u = squares.limb[k];
    const __m256i wbwz = permuted<lanes(3, 1, 3, 2)>(u);
    const __m256i doubled_wbwz = _mm256_mask_add_epi64(wbwz, 0xd, wbwz, wbwz);  // (2W, B, 2W, 2Z²)
    const __m256i aaab = permuted<lanes(0, 0, 0, 1)>(u);
    const __m256i bbba = permuted<lanes(1, 1, 1, 0)>(u);
    __m256i l = _mm256_mask_sub_epi64(doubled_wbwz, 0xa, doubled_wbwz, aaab);
    l = _mm256_mask_add_epi64(l, 0x8, l, bbba);
    left.limb[k] = _mm256_add_epi64(l, multiples_of_r(k, 0, 2, 0, 2));  // (E, G, E, −F)
    const __m256i zaab = permuted<lanes(2, 0, 0, 1)>(u);
    const __m256i twice_z_aab = _mm256_mask_add_epi64(zaab, 0x1, zaab, zaab);  // (2Z², A, A, B)
    const __m256i abba = permuted<lanes(0, 1, 1, 0)>(u);
    __m256i r = _mm256_mask_add_epi64(twice_z_aab, 0x7, twice_z_aab, abba);
    r = _mm256_mask_sub_epi64(r, 0x8, r, abba);
    r = _mm256_mask_sub_epi64(r, 0x1, r, bbba);
    right.limb[k] = _mm256_add_epi64(r, multiples_of_r(k, 2, 0, 0, 2));  // (−F, −H, −H, G)
  }
  return product(normalised(left), normalised(right));
}

// (Y − X, Y + X, T, Z) from p = (X, Y, T, Z), normalised: the first factors of an addition and of an
// addend's preparation; below 3.2r (Y − X with 2r added).
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 first_factors(const Vector4& xytz) {
  Vector4 first;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m256i yytz = permuted<lanes(1, 1, 2, 3)>(xytz.limb[k]);
    const __m256i xx = permuted<lanes(0, 0, 0, 0)>(xytz.limb[k]);
    const __m256i f = _mm256_mask_add_epi64(_mm256_mask_sub_epi64(yytz, 0x1, yytz, xx), 0x2, yytz, xx);
    first.limb[k] = _mm256_add_epi64(f, multiples_of_r(k, 2, 0, 0, 0));
  }
  return normalised(first);
}

// The addend of −q in the lanes of `negative` (all four or none), of q elsewhere: y − x and y + x
// exchanged and 2r − 2d·t, at most 2r for an addend whose 2d·t is at most 2r.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 signed_addend(const Vector4& addend, __mmask8 negative) {
  Vector4 v;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m256i exchanged = permuted<lanes(1, 0, 2, 3)>(addend.limb[k]);
    const __m256i negated = _mm256_mask_sub_epi64(exchanged, 0x4, multiples_of_r(k, 0, 0, 2, 0), exchanged);
    v.limb[k] = _mm256_mask_blend_epi64(negative, addend.limb[k], negated);
  }
  return normalised(v);
}

// p ± q from p = (X, Y, T, Z) and the addend (y − x, y + x, 2d·t, 2z) of q, −q in the lanes of `negative`:
// (Y − X, Y + X, T, Z) times the addend gives (A, B, C, D), then (E, G, E, F) times (F, H, H, G) the sum.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 sum(const Vector4& xytz, const Vector4& addend,
                                                  __mmask8 negative) {
  const Vector4 abcd = product(first_factors(xytz), signed_addend(addend, negative));
  Vector4 left, right;
#pragma GCC unroll 5
  for (size_t k = 0; k < LIMBS; ++k) {
    const __m256i bdbd = permuted<lanes(1, 3, 1, 3)>(abcd.limb[k]),
                  acac = permuted<lanes(0, 2, 0, 2)>(abcd.limb[k]);
    const __m256i egef = _mm256_mask_add_epi64(_mm256_sub_epi64(bdbd, acac), 0x2, bdbd, acac);
    left.limb[k] = _mm256_add_epi64(egef, multiples_of_r(k, 2, 0, 2, 2));  // (E, G, E, F)
    const __m256i dbbd = permuted<lanes(3, 1, 1, 3)>(abcd.limb[k]),
                  caac = permuted<lanes(2, 0, 0, 2)>(abcd.limb[k]);
    const __m256i fhhg = _mm256_mask_sub_epi64(_mm256_add_epi64(dbbd, caac), 0x1, dbbd, caac);
    right.limb[k] = _mm256_add_epi64(fhhg, multiples_of_r(k, 2, 0, 0, 0));  // (F, H, H, G)
  }
  return product(normalised(left), normalised(right));
}

// The addend (Y − X, Y + X, 2d·T, 2Z) of p = (X, Y, T, Z) with the factor a product leaves, common to the
// four: (Y − X, Y + X, T, Z) times `factors`, the Montgomery forms of (1, 1, 2d, 2). Below 1.1r.
TARVO_VECTOR_KERNEL TARVO_TARGET_IFMA Vector4 addend_of(const Vector4& xytz, const Vector4& factors) {
  return product(first_factors(xytz), factors);
}

// A point prepared as an addend of the lanes' additions: (y − x, y + x, 2d·t, 2z) times a factor common to
// the four, each at most 2r; Affine when z = 1 (an addition of an affine point, as the formulas on Fr count
// it). Made once per multiple and taken by every addition of it.
template <bool Affine>
struct LaneAddend {
  Lanes4 lanes;
};
inline constexpr Limbs ADDEND_BOUND = twice(FrParams::MODULUS);  // 2r
inline constexpr Limbs PREPARED_ADDEND_BOUND = tenths_of_r(11);  // 1.1r

// The addend's lanes from its field elements: for an affine point z = 1 as the unreduced Montgomery form of
// 2 that the fixed-base kernel uses (below 2r).
inline LaneAddend<false> lane_addend(const CachedPoint& q) {
  return {lanes_of({q.y_minus_x.montgomery_form(), q.y_plus_x.montgomery_form(), q.t2d.montgomery_form(),
                    q.z2.montgomery_form()})};
}
inline LaneAddend<true> lane_addend(const AffineCachedPoint& q) {
  return {lanes_of(
      {q.y_minus_x.montgomery_form(), q.y_plus_x.montgomery_form(), q.t2d.montgomery_form(), TWO_UNREDUCED})};
}

// Out of line, with the instructions these need: p doubled, p + q (p − q for `negative` 1) and p's addend;
// each writes every limb of its result, which may be where it reads p.
void double_in_lanes(const Lanes4& p, Lanes4& doubled);
void add_in_lanes(const Lanes4& p, const Lanes4& addend, uint64_t negative, Lanes4& sum);
void addend_in_lanes(const Lanes4& p, const Lanes4& factors, Lanes4& addend);

// The accumulator of the multiplications' loops (scalar_mul.cpp): x, y, t, z in the four lanes.
struct LanePoint {
  Lanes4 lanes;

  LanePoint() = default;  // for the kernels to write
  template <typename Order>
  explicit LanePoint(const Point<Order>& p)
      : lanes(lanes_of(
            {p.x.montgomery_form(), p.y.montgomery_form(), p.t.montgomery_form(), p.z.montgomery_form()})) {}
};

// Counted as the formulas on Fr count, although the lanes compute t anyway.
template <bool ComputeT = true>
LanePoint doubled(const LanePoint& p) {
  count_formula<ComputeT>(0, 4);
  LanePoint out;
  double_in_lanes(p.lanes, out.lanes);
  return out;
}

template <bool ComputeT = true, bool Affine>
LanePoint add(const LanePoint& p, const LaneAddend<Affine>& q) {
  count_formula<ComputeT>(Affine ? 3 : 4);
  LanePoint out;
  add_in_lanes(p.lanes, q.lanes, 0, out.lanes);
  return out;
}

// The same in place, for the multiplications' loops: the next step finds the point where a kernel wrote it
// (a copy between them would cost more than its moves, the wider loads waiting for the narrower stores).
// The addition adds −q where negative is 1, chosen without a branch.
template <bool ComputeT = true>
void double_in_place(LanePoint& p) {
  count_formula<ComputeT>(0, 4);
  double_in_lanes(p.lanes, p.lanes);
}
template <bool ComputeT = true, bool Affine>
void add_in_place(LanePoint& p, const LaneAddend<Affine>& q, uint64_t negative) {
  count_formula<ComputeT>(Affine ? 3 : 4);
  add_in_lanes(p.lanes, q.lanes, negative, p.lanes);
}

// p + q for an addend of field elements, converted for this addition alone.
template <bool ComputeT = true, typename Addend>
requires std::is_same_v<Addend, CachedPoint> || std::is_same_v<Addend, AffineCachedPoint> LanePoint
add(const LanePoint& p, const Addend& q) {
  return add<ComputeT>(p, lane_addend(q));
}

// The addends of points in the lanes, made there: to_cached's twin, counted as its one multiplication.
class LaneAddends {
 public:
  explicit LaneAddends(const CurveCoefficient& curve)
      : factors_(lanes_of({Fr::one().montgomery_form(), Fr::one().montgomery_form(),
                           curve.edwards_d().doubled().montgomery_form(),
                           Fr::one().doubled().montgomery_form()})) {}

  LaneAddend<false> operator()(const LanePoint& p) const {
    TARVO_COUNT(1, 0);
    LaneAddend<false> out;
    addend_in_lanes(p.lanes, factors_, out.lanes);
    return out;
  }

 private:
  Lanes4 factors_;  // the Montgomery forms of (1, 1, 2d, 2)
};

template <typename Order = PrimeOrder>
Point<Order> to_point(const LanePoint& p) {
  using ::tarvo::partly_reduced::reduced;
  return {reduced(lane_value(p.lanes, 0)), reduced(lane_value(p.lanes, 1)), reduced(lane_value(p.lanes, 2)),
          reduced(lane_value(p.lanes, 3))};
}

}  // namespace tarvo::edwards::point_lanes

#endif
