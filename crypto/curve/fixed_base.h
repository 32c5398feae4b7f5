// Scalar multiplication of one fixed base point from precomputed multiples.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "crypto/base/kernel_choice.h"
#include "crypto/curve/cached.h"
#include "crypto/curve/embedded_tables.h"
#include "crypto/curve/fixed_base_constants.h"

namespace tarvo::edwards {

// The implementations of FixedBaseTable::mul: the portable one, and on x86-64 the MULX/ADCX/ADOX
// multiplication with a scan of 32 or 64 bytes per instruction, or the 64-byte scan with the additions of
// two accumulators in the eight lanes of AVX-512 IFMA.
enum class FixedBaseKernels { portable, avx2_adx, avx512_adx, avx512_ifma };
inline constexpr KernelEntry<FixedBaseKernels> FIXED_BASE_KERNELS[] = {
    {FixedBaseKernels::portable, "portable", Capability::none},
    {FixedBaseKernels::avx2_adx, "avx2_adx", Capability::avx2_adx},
    {FixedBaseKernels::avx512_adx, "avx512_adx", Capability::avx512_adx},
    {FixedBaseKernels::avx512_ifma, "avx512_ifma", Capability::avx512_ifma}};
constexpr std::span<const KernelEntry<FixedBaseKernels>> kernel_list(FixedBaseKernels) {
  return FIXED_BASE_KERNELS;
}

// Invariant: windows_[j][i - 1] = i·2^(WINDOW_BITS·j)·base in affine prepared form, for j < WINDOWS and
// i = 1..ENTRIES. A scalar below l written with WINDOWS signed digits d_j in [−ENTRIES, ENTRIES − 1] of
// radix 2^WINDOW_BITS gives k·base = Σ d_j·2^(WINDOW_BITS·j)·base: the first window's entry as the
// starting point, then one addition per further window, and no doubling.
class FixedBaseTable {
 public:
  // From the affine multiples in the order multiples() gives them; fatal for a wrong count or a
  // coordinate out of range.
  FixedBaseTable(std::span<const AffineLimbs> multiples, const CurveCoefficient& curve);

  // The table's multiples of base as affine coordinates, window by window: what the library embeds,
  // written into the committed tables and derived again by the tests.
  static std::vector<AffineLimbs> multiples(const Point<PrimeOrder>& base, const CurveCoefficient& curve);

  // k·base with the given kernels, which the CPU must run (by default the fastest); the time and the
  // memory accesses do not depend on k.
  Point<PrimeOrder> mul(const Fs& k, FixedBaseKernels kernels = fastest_kernels<FixedBaseKernels>()) const;

 private:
  std::vector<fixed_base::Window> windows_;
  [[maybe_unused]] CurveCoefficient curve_;  // the IFMA kernel adds its two accumulators (x86-64 only)
};

}  // namespace tarvo::edwards
