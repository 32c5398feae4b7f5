#include "crypto/curve/fixed_base.h"

#include "crypto/base/cpu_features.h"
#include "crypto/base/fatal.h"
#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/base/wipe.h"
#include "crypto/curve/fixed_base_ifma_x86_64.h"
#include "crypto/curve/fixed_base_portable.h"
#include "crypto/curve/fixed_base_x86_64.h"
#include "crypto/curve/signed_digits.h"

namespace tarvo::edwards {

namespace fixed_base {
namespace {

using Digits = std::array<int8_t, FixedBaseTable::WINDOWS>;
constexpr unsigned kWindowBits = FixedBaseTable::WINDOW_BITS;
constexpr size_t kWindows = FixedBaseTable::WINDOWS;

// The windows cover every bit of a scalar below l < 2^251, and the top digit, which takes the last carry,
// stays below kEntries, so that no carry is lost.
constexpr Limbs kLMinusOne = {Fs::characteristic()[0] - 1, Fs::characteristic()[1], Fs::characteristic()[2],
                              Fs::characteristic()[3]};
static_assert(kWindowBits * kWindows >= 251 && kLMinusOne[3] >> 59 == 0);
static_assert(window_bits<kWindowBits>(kLMinusOne, kWindowBits*(kWindows - 1)) + 1 < kEntries);

// Σ digits[j]·2^(kWindowBits·j)·base, with the additions on Accumulator: Point<PrimeOrder>, or a point of
// partly reduced values.
template <typename Scan, typename Accumulator>
TARVO_KERNEL Point<PrimeOrder> sum_of_windows(const std::vector<Window>& windows, const Digits& digits) {
  // The first window's entry is the starting point.
  Scan scan(windows[0], digits[0]);
  scan.all_steps();
  Accumulator acc(to_extended(scan.entry()));
  scan = Scan(windows[1], digits[1]);
  scan.all_steps();
  for (size_t j = 1; j + 1 < kWindows; ++j) {
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

__attribute__((target("avx2"))) Point<PrimeOrder> sum_of_windows_avx2_adx(const std::vector<Window>& windows,
                                                                          const Digits& digits) {
  return sum_of_windows<WindowScanAvx2, partly_reduced::LazyPoint>(windows, digits);
}

__attribute__((target("avx512f,avx512vl,avx512bw"), flatten)) Point<PrimeOrder> sum_of_windows_avx512_adx(
    const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<WindowScanAvx512, partly_reduced::LazyPoint>(windows, digits);
}

// The windows in two halves, one per accumulator of the lanes, added at the end.
__attribute__((target("avx512f,avx512vl,avx512bw,avx512ifma"), flatten)) Point<PrimeOrder>
sum_of_windows_avx512_ifma(const std::vector<Window>& windows, const Digits& digits,
                           const CurveCoefficient& curve) {
  constexpr size_t kHalf = kWindows / 2;
  static_assert(kHalf * 2 == kWindows);
  ifma::Scans scans(windows[0], digits[0], windows[kHalf], digits[kHalf]);
  scans.all_steps();
  ifma::Scans next(windows[1], digits[1], windows[kHalf + 1], digits[kHalf + 1]);
  ifma::Vector sums = ifma::add_entries_to_neutral(scans, next);
  scans = next;
  for (size_t j = 2; j < kHalf; ++j) {
    next = ifma::Scans(windows[j], digits[j], windows[kHalf + j], digits[kHalf + j]);
    sums = ifma::add_entries(ifma::first_factors(sums), scans, next);
    scans = next;
  }
  NothingBetween nothing;  // the last addition: nothing is left to scan
  sums = ifma::add_entries(ifma::first_factors(sums), scans, nothing);
  const auto [first, second] = ifma::accumulators(sums);
  return add(first, to_cached(second, curve));
}

#endif

}  // namespace
}  // namespace fixed_base

FixedBaseTable::FixedBaseTable(std::span<const AffineLimbs> multiples, const CurveCoefficient& curve)
    : windows_(WINDOWS), curve_(curve) {
  ensure(multiples.size() == WINDOWS * ENTRIES, "fixed-base table size");
  const Fr twice_d = curve.edwards_d().doubled();
  for (size_t i = 0; i < multiples.size(); ++i) {
    const Result<Fr> x = Fr::from_repr(multiples[i].x), y = Fr::from_repr(multiples[i].y);
    ensure(x.ok() && y.ok(), "fixed-base table entry out of range");
    windows_[i / ENTRIES][i % ENTRIES] = to_affine_cached(*x, *y, twice_d);
  }
}

std::vector<AffineLimbs> FixedBaseTable::multiples(const Point<PrimeOrder>& base,
                                                   const CurveCoefficient& curve) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::vector<Point<PrimeOrder>> points;
  points.reserve(WINDOWS * ENTRIES);
  Point<PrimeOrder> power = base;  // 2^(WINDOW_BITS·j)·base
  for (size_t j = 0; j < WINDOWS; ++j) {
    Point<PrimeOrder> multiple = power;
    for (size_t i = 1; i <= ENTRIES; ++i) {
      points.push_back(multiple);
      multiple = add(multiple, power, curve);
    }
    for (unsigned d = 0; d < WINDOW_BITS; ++d) power = doubled(power);
  }
  std::vector<AffineLimbs> affine;
  affine.reserve(points.size());
  for (const auto& [x, y] : to_affine_var(points)) affine.push_back({x.into_repr(), y.into_repr()});
  return affine;
}

std::vector<FixedBaseTable::Kernels> FixedBaseTable::available_kernels() {
  std::vector<Kernels> kernels = {Kernels::portable};
#if TARVO_X86_64
  const CpuFeatures& cpu = cpu_features();
  if (cpu.adx && cpu.avx2) kernels.push_back(Kernels::avx2_adx);
  if (cpu.adx && cpu.avx512) kernels.push_back(Kernels::avx512_adx);
  if (cpu.adx && cpu.avx512 && cpu.ifma) kernels.push_back(Kernels::avx512_ifma);
#endif
  return kernels;
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k) const {
  static const Kernels fastest = available_kernels().back();
  return mul(k, fastest);
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k, Kernels kernels) const {
  Limbs bits = k.into_repr();
  fixed_base::Digits digits = signed_digits<fixed_base::kWindowBits, fixed_base::kWindows>(bits);
  Point<PrimeOrder> product;
  switch (kernels) {
#if TARVO_X86_64
    case Kernels::avx2_adx:
      product = fixed_base::sum_of_windows_avx2_adx(windows_, digits);
      break;
    case Kernels::avx512_adx:
      product = fixed_base::sum_of_windows_avx512_adx(windows_, digits);
      break;
    case Kernels::avx512_ifma:
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
