// The addition of the fixed-base multiplication (fixed_base.cpp) in portable C++: a window's entry, which
// a scan (window_scan.h) selects, added to the accumulator. Its twins are add_signed on partly reduced
// values (partly_reduced_x86_64.h) and the additions in the lanes of AVX-512 IFMA (fixed_base_ifma_x86_64.h).
#pragma once

#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/curve/cached.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/select.h"

namespace tarvo::edwards::fixed_base {

// p + q, or p − q when negative is 1 and q comes with y + x and y − x exchanged: negating q's 2d·x·y as well
// would negate c, which exchanges f and g. Between the multiplications, the steps of the next scan.
template <typename NextScan>
TARVO_KERNEL Point<PrimeOrder> add_signed(const Point<PrimeOrder>& p, const AffineCachedPoint& q,
                                          uint64_t negative, NextScan& next) {
  next.template step<0>();
  const Fr a = (p.y - p.x) * q.y_minus_x;
  next.template step<1>();
  const Fr b = (p.y + p.x) * q.y_plus_x;
  next.template step<2>();
  const Fr c = p.t * q.t2d;
  next.template step<3>();
  const Fr d = p.z.doubled();
  const Fr e = b - a, h = b + a, d_minus_c = d - c, d_plus_c = d + c;
  const Fr f = conditional_select(d_minus_c, d_plus_c, negative);
  const Fr g = conditional_select(d_plus_c, d_minus_c, negative);
  return closing_step<Point<PrimeOrder>, true, 4>(e, f, g, h, next);
}

// The prepared affine point (y + x, y − x, ·) in extended coordinates scaled by 4: (4x, 4y, 4xy, 4).
TARVO_KERNEL Point<PrimeOrder> to_extended(const AffineCachedPoint& q) {
  const Fr twice_x = q.y_plus_x - q.y_minus_x, twice_y = q.y_plus_x + q.y_minus_x;
  return {twice_x.doubled(), twice_y.doubled(), twice_x * twice_y, Fr::one().doubled().doubled()};
}

// The sum of add_signed as a point: itself.
TARVO_KERNEL Point<PrimeOrder> to_point(const Point<PrimeOrder>& p) { return p; }

}  // namespace tarvo::edwards::fixed_base
