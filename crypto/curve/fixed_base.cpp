#include "crypto/curve/fixed_base.h"

#include "crypto/base/check.h"
#include "crypto/base/fatal.h"
#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/base/wipe.h"
#include "crypto/curve/fixed_base_ifma_x86_64.h"
#include "crypto/curve/fixed_base_portable.h"
#include "crypto/curve/partly_reduced_x86_64.h"
#include "crypto/curve/signed_digits.h"
#include "crypto/curve/window_scan.h"
#include "crypto/curve/window_scan_avx512_x86_64.h"

namespace tarvo::edwards {

namespace fixed_base {
namespace {

using Digits = std::array<int8_t, WINDOWS>;

// The windows cover every bit of a scalar below l < 2^251, and the top digit, which takes the last carry,
// stays below kEntries, so that no carry is lost.
constexpr Limbs kLMinusOne = {Fs::characteristic()[0] - 1, Fs::characteristic()[1], Fs::characteristic()[2],
                              Fs::characteristic()[3]};
static_assert(WINDOW_BITS * WINDOWS >= 251 && kLMinusOne[3] >> 59 == 0);
static_assert(window_bits<WINDOW_BITS>(kLMinusOne, WINDOW_BITS*(WINDOWS - 1)) + 1 < ENTRIES);

// Σ digits[j]·2^(WINDOW_BITS·j)·base, with the additions on Accumulator: Point<PrimeOrder>, or a point of
// partly reduced values.
template <typename Scan, typename Accumulator>
TARVO_KERNEL Point<PrimeOrder> sum_of_windows(const std::vector<Window>& windows, const Digits& digits) {
  // The first window's entry is the starting point.
  Scan scan(windows[0], digits[0]);
  scan.all_steps();
  Accumulator acc(to_extended(scan.entry()));
  scan = Scan(windows[1], digits[1]);
  scan.all_steps();
  for (size_t j = 1; j + 1 < WINDOWS; ++j) {
    Scan next(windows[j + 1], digits[j + 1]);
    acc = add_signed(acc, scan.entry(), scan.negative(), next);
    scan = next;
  }
  NothingBetween nothing;  // the last addition: nothing is left to scan
  return to_point(add_signed(acc, scan.entry(), scan.negative(), nothing));
}

Point<PrimeOrder> sum_of_windows_portable(const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<WindowScanPortable, Point<PrimeOrder>>(windows, digits);
}

#if TARVO_X86_64

TARVO_TARGET_AVX2 Point<PrimeOrder> sum_of_windows_avx2_adx(const std::vector<Window>& windows,
                                                            const Digits& digits) {
  return sum_of_windows<WindowScanAvx2, partly_reduced::PartlyReducedPoint>(windows, digits);
}

TARVO_TARGET_AVX512 __attribute__((flatten)) Point<PrimeOrder> sum_of_windows_avx512_adx(
    const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<WindowScanAvx512, partly_reduced::PartlyReducedPoint>(windows, digits);
}

// The windows in two halves, one per accumulator of the lanes, added at the end.
TARVO_TARGET_IFMA __attribute__((flatten)) Point<PrimeOrder> sum_of_windows_avx512_ifma(
    const std::vector<Window>& windows, const Digits& digits, const CurveCoefficient& curve) {
  constexpr size_t kHalf = WINDOWS / 2;
  static_assert(kHalf * 2 == WINDOWS);
  ifma::Scans scans(windows[0], digits[0], windows[kHalf], digits[kHalf]);
  scans.all_steps();
  ifma::Scans next(windows[1], digits[1], windows[kHalf + 1], digits[kHalf + 1]);
  // Counted as additions of affine points (Z·2 a doubling), the first of each accumulator as its closing
  // step alone.
  count_formula(0), count_formula(0);
  ifma::Vector sums = ifma::add_entries_to_neutral(scans, next);
  scans = next;
  for (size_t j = 2; j < kHalf; ++j) {
    next = ifma::Scans(windows[j], digits[j], windows[kHalf + j], digits[kHalf + j]);
    count_formula(3), count_formula(3);
    TARVO_CHECK(ifma::lanes_at_most(sums, ifma::SUM_BOUND), "the fixed-base lanes' sums below 1.2r");
    sums = ifma::add_entries(ifma::first_factors(sums), scans, next);
    scans = next;
  }
  NothingBetween nothing;  // the last addition: nothing is left to scan
  count_formula(3), count_formula(3);
  sums = ifma::add_entries(ifma::first_factors(sums), scans, nothing);
  TARVO_CHECK(ifma::lanes_at_most(sums, ifma::SUM_BOUND), "the fixed-base lanes' sums below 1.2r");
  const auto [first, second] = ifma::accumulators(sums);
  return add(first, to_cached(second, curve));
}

#endif

}  // namespace
}  // namespace fixed_base

FixedBaseTable::FixedBaseTable(std::span<const AffineLimbs> multiples, const CurveCoefficient& curve)
    : windows_(fixed_base::WINDOWS), curve_(curve) {
  ensure(multiples.size() == fixed_base::WINDOWS * fixed_base::ENTRIES, "fixed-base table size");
  const Fr twice_d = curve.edwards_d().doubled();
  for (size_t i = 0; i < multiples.size(); ++i) {
    const Result<Fr> x = Fr::from_repr(multiples[i].x), y = Fr::from_repr(multiples[i].y);
    ensure(x.ok() && y.ok(), "fixed-base table entry out of range");
    windows_[i / fixed_base::ENTRIES][i % fixed_base::ENTRIES] = to_affine_cached(*x, *y, twice_d);
  }
}

std::vector<AffineLimbs> FixedBaseTable::multiples(const Point<PrimeOrder>& base,
                                                   const CurveCoefficient& curve) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::vector<Point<PrimeOrder>> points;
  points.reserve(fixed_base::WINDOWS * fixed_base::ENTRIES);
  Point<PrimeOrder> power = base;  // 2^(WINDOW_BITS·j)·base
  for (size_t j = 0; j < fixed_base::WINDOWS; ++j) {
    Point<PrimeOrder> multiple = power;
    for (size_t i = 1; i <= fixed_base::ENTRIES; ++i) {
      points.push_back(multiple);
      multiple = add(multiple, power, curve);
    }
    for (unsigned d = 0; d < fixed_base::WINDOW_BITS; ++d) power = doubled(power);
  }
  std::vector<AffineLimbs> affine;
  affine.reserve(points.size());
  for (const auto& [x, y] : to_affine_var(points)) affine.push_back({x.into_repr(), y.into_repr()});
  return affine;
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k, FixedBaseKernels kernels) const {
  Limbs bits = k.into_repr();
  fixed_base::Digits digits = signed_digits<fixed_base::WINDOW_BITS, fixed_base::WINDOWS>(bits);
  TARVO_CHECK(windows_.size() == fixed_base::WINDOWS, "fixed-base table size");
  Point<PrimeOrder> product;
  switch (kernels) {
#if TARVO_X86_64
    case FixedBaseKernels::avx2_adx:
      product = fixed_base::sum_of_windows_avx2_adx(windows_, digits);
      break;
    case FixedBaseKernels::avx512_adx:
      product = fixed_base::sum_of_windows_avx512_adx(windows_, digits);
      break;
    case FixedBaseKernels::avx512_ifma:
      product = fixed_base::sum_of_windows_avx512_ifma(windows_, digits, curve_);
      break;
#endif
    default:
      product = fixed_base::sum_of_windows_portable(windows_, digits);
  }
  wipe(bits.data(), sizeof bits);
  wipe(digits.data(), sizeof digits);
  return product;
}

}  // namespace tarvo::edwards
