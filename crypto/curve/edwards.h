// Point arithmetic on the curve (a = -1) in extended coordinates, the 32-byte point encoding and
// scalar multiplication.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "crypto/base/kernel.h"
#include "crypto/base/kernel_choice.h"
#include "crypto/base/result.h"
#include "crypto/curve/point.h"
#include "crypto/field/op_counts.h"

namespace tarvo::edwards {

template <typename Order = PrimeOrder>
constexpr Point<Order> zero() {
  return {};
}

// The affine pair as a point when y^2 - x^2 = 1 + d·x^2·y^2; no subgroup check.
std::optional<Point<Unknown>> from_xy(const Fr& x, const Fr& y, const CurveCoefficient& curve);

// Decodes the first 32 bytes: y little-endian in bits 0..254, bit 255 the parity of x. Errors:
// "failed to fill whole buffer" (fewer than 32 bytes), "y is not in field", "not on curve".
Result<Point<Unknown>> read(std::span<const uint8_t> bytes, const CurveCoefficient& curve);
// The results of read for two encodings, their square roots' exponentiations in lockstep.
std::array<Result<Point<Unknown>>, 2> read_both(std::span<const uint8_t> first,
                                                std::span<const uint8_t> second,
                                                const CurveCoefficient& curve);

// The 32-byte encoding of the affine point.
template <typename Order>
std::array<uint8_t, 32> write(const Point<Order>& p);
// The same from affine coordinates.
std::array<uint8_t, 32> write_affine(const Fr& x, const Fr& y);

// (x/z, y/z).
template <typename Order>
std::pair<Fr, Fr> to_affine(const Point<Order>& p);

// The affine forms of two points with one inversion (Montgomery's trick). The inversion is the
// constant-time one even where both points are public: z of a point that a multiplication by a secret
// scalar produced tells of that scalar, although the affine point does not.
template <typename A, typename B>
std::array<std::pair<Fr, Fr>, 2> to_affine(const Point<A>& p, const Point<B>& q);
// The affine forms of any number of public points made from public scalars only, all with one
// variable-time inversion.
std::vector<std::pair<Fr, Fr>> to_affine_var(std::span<const Point<PrimeOrder>> points);

// Runs nothing between the products of closing_step.
struct NothingBetween {
  template <size_t Step>
  TARVO_KERNEL void step() {}
};

struct FieldProduct {
  TARVO_KERNEL Fr operator()(const Fr& a, const Fr& b) const { return a * b; }
};

// The closing step of every addition and doubling formula below: the point (E·F, G·H, E·H, F·G) from the
// formula's E, F, G and H. Without t (ComputeT false) the result's t is left zero, for a point that only a
// doubling reads. The fixed-base kernels pass values and products of their own (partly reduced limbs,
// whose z `product_z` reduces fully) and scan their next table entry meanwhile:
// `between.step<FirstStep + i>()` runs after the i-th product.
template <typename Result, bool ComputeT = true, size_t FirstStep = 0, typename Value,
          typename Between = NothingBetween, typename Product = FieldProduct,
          typename ProductZ = FieldProduct>
TARVO_KERNEL Result closing_step(const Value& e, const Value& f, const Value& g, const Value& h,
                                 Between&& between = {}, Product product = {}, ProductZ product_z = {}) {
  const Value x = product(e, f);
  between.template step<FirstStep>();
  const Value y = product(g, h);
  between.template step<FirstStep + 1>();
  const Value t = ComputeT ? product(e, h) : Value{};
  between.template step<FirstStep + 2>();
  const Value z = product_z(f, g);
  between.template step<FirstStep + 3>();
  return {x, y, t, z};
}

// The counting build's tally (op_counts.h) of one formula on values other than Fr (partly reduced, or in
// vector lanes), as its twin on Fr counts: `first` multiplications and `squarings` before the closing step,
// whose products are 4, or 3 without t.
template <bool ComputeT = true>
TARVO_KERNEL void count_formula(uint64_t first, uint64_t squarings = 0) {
  TARVO_COUNT(first + (ComputeT ? 4 : 3), squarings);
}

// Unified addition of Hisil, Wong, Carter and Dawson (locals named after the letters of their
// formulas): no special case for equal inputs or the neutral element, which it handles correctly
// because d is not a square.
template <typename A, typename B>
Point<Joined<A, B>> add(const Point<A>& p, const Point<B>& q, const CurveCoefficient& curve) {
  const Fr a = p.x * q.x;
  const Fr b = p.y * q.y;
  const Fr c = curve.edwards_d() * p.t * q.t;
  const Fr d = p.z * q.z;
  const Fr h = b + a;  // b - (-1)·a
  const Fr e = (p.x + p.y) * (q.x + q.y) - h;
  const Fr f = d - c;
  const Fr g = d + c;
  return closing_step<Point<Joined<A, B>>>(e, f, g, h);
}

// Doubling does not read t, nor d. Without t (the default computes it) the result's t is left zero:
// for a doubling followed by another doubling, which never reads it, one multiplication less.
template <bool ComputeT = true, typename Order>
Point<Order> doubled(const Point<Order>& p) {
  const Fr a = p.x.square();
  const Fr b = p.y.square();
  const Fr c = p.z.square().doubled();
  const Fr d = -a;
  const Fr e = (p.x + p.y).square() - a - b;
  const Fr g = d + b;
  const Fr f = g - c;
  const Fr h = d - b;
  return closing_step<Point<Order>, ComputeT>(e, f, g, h);
}

template <typename Order>
Point<Order> negate(const Point<Order>& p) {
  return {-p.x, p.y, -p.t, p.z};
}

// Projective equality; t is not compared.
template <typename A, typename B>
bool operator==(const Point<A>& p, const Point<B>& q) {
  return p.x * q.z == q.x * p.z && p.y * q.z == q.y * p.z;
}

template <typename Order>
bool is_zero(const Point<Order>& p) {
  return p.x.is_zero() && p.y == p.z;
}

// The point arithmetic of the loops of the multiplications below: the formulas above on Fr (every
// target), the same formulas on partly reduced values with the MULX/ADCX/ADOX multiplication named
// directly (x86-64 with ADX), or with the four values of each step side by side in the lanes of AVX-512
// IFMA (x86-64 with ADX and IFMA). The results are the same points.
enum class PointKernels { portable, adx, ifma };
inline constexpr KernelEntry<PointKernels> POINT_KERNELS[] = {
    {PointKernels::portable, "portable", Capability::none},
    {PointKernels::adx, "adx", Capability::adx},
    {PointKernels::ifma, "ifma", Capability::avx512_ifma}};
constexpr std::span<const KernelEntry<PointKernels>> kernel_list(PointKernels) { return POINT_KERNELS; }

// k·p with signed 4-bit windows over the prepared multiples 0..8·p: the time and the memory accesses do
// not depend on k.
template <typename Order>
Point<Order> mul(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve,
                 PointKernels kernels = fastest_kernels<PointKernels>());
template <typename Order>
Point<Order> mul(const Point<Order>& p, const Fs& k, const CurveCoefficient& curve);

// k·p with a width-5 NAF; variable time, for public scalars only (l in the subgroup checks, the
// message scalar in verification).
template <typename Order>
Point<Order> mul_var(const Point<Order>& p, const Limbs& k, const CurveCoefficient& curve,
                     PointKernels kernels = fastest_kernels<PointKernels>());

// j·p + k·q with one shared chain of doublings (Straus), width-5 NAFs; variable time, for public
// scalars only (the verification equation).
template <typename A, typename B>
Point<Joined<A, B>> mul_sum_var(const Point<A>& p, const Limbs& j, const Point<B>& q, const Limbs& k,
                                const CurveCoefficient& curve,
                                PointKernels kernels = fastest_kernels<PointKernels>());

// k·base + i·p + j·q with the public table of base (k of any width), one chain of doublings as long as
// the longest of i, j and k/2^126; variable time, for public values only (the verification equation).
Point<Unknown> mul_sum_var(const PublicBaseTable& base, const Limbs& k, const Point<Unknown>& p,
                           const Limbs& i, const Point<Unknown>& q, const Limbs& j,
                           const CurveCoefficient& curve,
                           PointKernels kernels = fastest_kernels<PointKernels>());

}  // namespace tarvo::edwards
