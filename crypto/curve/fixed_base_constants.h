// The shape of the fixed-base table (fixed_base.h), which its kernels share: windows of signed digits,
// each window holding the multiples 1..ENTRIES of its power of the base as prepared affine points.
#pragma once

#include <array>
#include <cstddef>

#include "crypto/curve/cached.h"

namespace tarvo::edwards::fixed_base {

// Six bits: 42 windows of 32 entries, 41 additions, 126 KiB. Measured against five bits (50 additions),
// seven (35 additions, 2304 entries to scan instead of 1344) and eight, six was the fastest by 5% or more.
inline constexpr unsigned WINDOW_BITS = 6;
inline constexpr size_t ENTRIES = size_t{1} << (WINDOW_BITS - 1);
inline constexpr size_t WINDOWS = (252 + WINDOW_BITS - 1) / WINDOW_BITS;
using Window = std::array<AffineCachedPoint, ENTRIES>;

}  // namespace tarvo::edwards::fixed_base
