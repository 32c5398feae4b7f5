// Scalar multiplication of one fixed base point from precomputed multiples.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "crypto/curve/cached.h"
#include "crypto/curve/embedded_tables.h"

namespace tarvo::edwards {

// Invariant: windows_[j][i - 1] = i·2^(WINDOW_BITS·j)·base in affine prepared form, for j < WINDOWS and
// i = 1..ENTRIES. A scalar below l written with WINDOWS signed digits d_j in [−ENTRIES, ENTRIES − 1] of
// radix 2^WINDOW_BITS gives k·base = Σ d_j·2^(WINDOW_BITS·j)·base: the first window's entry as the
// starting point, then one addition per further window, and no doubling.
class FixedBaseTable {
 public:
  // Six bits: 42 windows of 32 entries, 41 additions, 126 KiB. Measured against five bits (50 additions),
  // seven (35 additions, 2304 entries to scan instead of 1344) and eight, six was the fastest by 5% or more.
  static constexpr unsigned WINDOW_BITS = 6;
  static constexpr size_t ENTRIES = size_t{1} << (WINDOW_BITS - 1);
  static constexpr size_t WINDOWS = (252 + WINDOW_BITS - 1) / WINDOW_BITS;
  using Window = std::array<AffineCachedPoint, ENTRIES>;

  // From the affine multiples in the order multiples() gives them; fatal for a wrong count or a
  // coordinate out of range.
  FixedBaseTable(std::span<const AffineLimbs> multiples, const CurveCoefficient& curve);

  // The table's multiples of base as affine coordinates, window by window: what the library embeds,
  // written into the committed tables and derived again by the tests.
  static std::vector<AffineLimbs> multiples(const Point<PrimeOrder>& base, const CurveCoefficient& curve);

  // The implementations of mul: the portable one, and on x86-64 the MULX/ADCX/ADOX multiplication with a
  // scan of 32 or 64 bytes per instruction, or the 64-byte scan with the additions of two accumulators in
  // the eight lanes of AVX-512 IFMA.
  enum class Kernels { portable, avx2_adx, avx512_adx, avx512_ifma };
  // Those this CPU runs, the fastest last.
  static std::vector<Kernels> available_kernels();

  // k·base with the fastest kernels; the time and the memory accesses do not depend on k.
  Point<PrimeOrder> mul(const Fs& k) const;
  // The same with the given kernels, which the CPU must run (available_kernels()).
  Point<PrimeOrder> mul(const Fs& k, Kernels kernels) const;

 private:
  std::vector<Window> windows_;
  [[maybe_unused]] CurveCoefficient curve_;  // the IFMA kernel adds its two accumulators (x86-64 only)
};

}  // namespace tarvo::edwards
