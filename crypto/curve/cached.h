// Addends prepared for repeated addition. Additions in the scalar multiplications use these forms of
// the same points; results are projectively equal to those of the plain formulas.
#pragma once

#include "crypto/curve/edwards.h"

namespace tarvo::edwards {

// An extended point as an addend: (y + x, y − x, 2d·t, 2z). Adding one costs 8 multiplications
// instead of 9, and negating one is a swap and one negation.
struct CachedPoint {
  Fr y_plus_x;
  Fr y_minus_x;
  Fr t2d;
  Fr z2;
};

// An affine point (z = 1) as an addend: (y + x, y − x, 2d·x·y). Adding one costs 7 multiplications.
// The default value is the neutral element.
struct AffineCachedPoint {
  Fr y_plus_x = Fr::one();
  Fr y_minus_x = Fr::one();
  Fr t2d;
};

template <typename Order>
CachedPoint to_cached(const Point<Order>& p, const CurveCoefficient& curve) {
  return {p.y + p.x, p.y - p.x, (curve.edwards_d() + curve.edwards_d()) * p.t, p.z.doubled()};
}

// The affine point (x, y) as an addend; twice_d = 2d, computed once by callers preparing many points.
inline AffineCachedPoint to_affine_cached(const Fr& x, const Fr& y, const Fr& twice_d) {
  return {y + x, y - x, twice_d * x * y};
}

inline CachedPoint negate(const CachedPoint& q) { return {q.y_minus_x, q.y_plus_x, -q.t2d, q.z2}; }
inline AffineCachedPoint negate(const AffineCachedPoint& q) { return {q.y_minus_x, q.y_plus_x, -q.t2d}; }

// p + q with the unified formulas for a = −1 on the prepared addend. Without t (the default computes it)
// the result's t is left zero, for a sum that only a doubling reads: one multiplication less.
template <bool ComputeT = true, typename Order>
Point<Order> add(const Point<Order>& p, const CachedPoint& q) {
  const Fr a = (p.y - p.x) * q.y_minus_x;
  const Fr b = (p.y + p.x) * q.y_plus_x;
  const Fr c = p.t * q.t2d;
  const Fr d = p.z * q.z2;
  const Fr e = b - a, f = d - c, g = d + c, h = b + a;
  return closing_step<Point<Order>, ComputeT>(e, f, g, h);
}

template <bool ComputeT = true, typename Order>
Point<Order> add(const Point<Order>& p, const AffineCachedPoint& q) {
  const Fr a = (p.y - p.x) * q.y_minus_x;
  const Fr b = (p.y + p.x) * q.y_plus_x;
  const Fr c = p.t * q.t2d;
  const Fr d = p.z.doubled();
  const Fr e = b - a, f = d - c, g = d + c, h = b + a;
  return closing_step<Point<Order>, ComputeT>(e, f, g, h);
}

}  // namespace tarvo::edwards
