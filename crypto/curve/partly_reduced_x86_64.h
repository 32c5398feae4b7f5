// Points of partly reduced values for the curve kernels on x86-64 with the MULX/ADCX/ADOX multiplication
// named directly, no dispatch per operation (crypto/field/partly_reduced_x86_64.h): the multiplication takes
// factors with a·b < p·2^256 (then its result is below 2p, and its running sum below a + p < 2^256 for a
// first factor a < 2^256 − p), which p < 2^256 / 5 leaves room for. The bound of every value is stated where
// it is made; all values are congruent to the field elements of the portable formulas on Fr. Only call these
// where cpu_has_adx().
#pragma once

#include <type_traits>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/cached.h"
#include "crypto/field/partly_reduced_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::partly_reduced {

using namespace ::tarvo::partly_reduced;

// An extended point with x, y, t below 2p and z below p.
struct PartlyReducedPoint {
  Limbs x, y, t, z;

  template <typename Order>
  TARVO_KERNEL explicit PartlyReducedPoint(const Point<Order>& p)
      : x(p.x.montgomery_form()),
        y(p.y.montgomery_form()),
        t(p.t.montgomery_form()),
        z(p.z.montgomery_form()) {}
  TARVO_KERNEL PartlyReducedPoint(const Limbs& x, const Limbs& y, const Limbs& t, const Limbs& z)
      : x(x), y(y), t(t), z(z) {}
};

struct Product {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return product(a, b); }
};
struct ReducedProduct {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return reduced_product(a, b); }
};

// The d of an addition: z·2z' for a prepared point, 2z for an affine one (z' = 1); below 2p.
TARVO_KERNEL Limbs twice_z_product(const PartlyReducedPoint& p, const CachedPoint& q) {
  return product(q.z2.montgomery_form(), p.z);  // p·p
}
TARVO_KERNEL Limbs twice_z_product(const PartlyReducedPoint& p, const AffineCachedPoint&) {
  return sum(p.z, p.z);
}

// add (cached.h) on partly reduced values, for an addend of field elements (below p).
template <bool ComputeT = true, typename Addend>
TARVO_KERNEL PartlyReducedPoint add(const PartlyReducedPoint& p, const Addend& q) {
  count_formula<ComputeT>(std::is_same_v<Addend, CachedPoint> ? 4 : 3);
  const auto [y_plus_x, y_minus_x] = sum_and_difference_plus_twice_p(p.y, p.x);  // below 4p
  const Limbs a = product(q.y_minus_x.montgomery_form(), y_minus_x);             // p·4p
  const Limbs b = product(q.y_plus_x.montgomery_form(), y_plus_x);               // p·4p
  const Limbs c = product(q.t2d.montgomery_form(), p.t);                         // p·2p
  const Limbs d = twice_z_product(p, q);
  const Limbs e = difference_mod_twice_p(b, a), h = sum_mod_twice_p(b, a);  // below 2p
  const Limbs f = difference_mod_twice_p(d, c), g = sum_mod_twice_p(d, c);  // below 2p
  // Products of factors below 2p: x, y and t below 2p, z below p.
  return closing_step<PartlyReducedPoint, ComputeT>(e, f, g, h, NothingBetween{}, Product{},
                                                    ReducedProduct{});
}

// doubled (edwards.h) on partly reduced values. It passes −f and −h to the closing step, which saves
// their negations and gives (−x, −y, −t, −z): the same point.
template <bool ComputeT = true>
TARVO_KERNEL PartlyReducedPoint doubled(const PartlyReducedPoint& p) {
  count_formula<ComputeT>(0, 4);
  const Limbs a = square(p.x), b = square(p.y), z2 = square(p.z);    // below p
  const Limbs c = sum(z2, z2);                                       // below 2p
  const Limbs x_plus_y_squared = square(sum_mod_twice_p(p.x, p.y));  // below p
  const Limbs minus_h = sum(a, b);                                   // below 2p
  const Limbs e = difference_mod_twice_p(x_plus_y_squared, minus_h);
  const Limbs g = difference_mod_twice_p(b, a);
  const Limbs minus_f = difference_mod_twice_p(c, g);  // below 2p, as e and g
  return closing_step<PartlyReducedPoint, ComputeT>(e, minus_f, g, minus_h, NothingBetween{}, Product{},
                                                    ReducedProduct{});
}

// add_signed (fixed_base_portable.h) on partly reduced values, the steps of the next scan between the
// products.
template <typename NextScan>
TARVO_KERNEL PartlyReducedPoint add_signed(const PartlyReducedPoint& p, const AffineCachedPoint& q,
                                           uint64_t negative, NextScan& next) {
  count_formula(3);
  const Limbs q_t2d = negated_if(q.t2d.montgomery_form(), negative);
  next.template step<0>();
  const auto [y_plus_x, y_minus_x] = sum_and_difference_plus_twice_p(p.y, p.x);  // below 4p
  const Limbs a = product(q.y_minus_x.montgomery_form(), y_minus_x);             // p·4p
  next.template step<1>();
  const Limbs b = product(q.y_plus_x.montgomery_form(), y_plus_x);  // p·4p
  next.template step<2>();
  const Limbs c = product(q_t2d, p.t);  // 2p·2p
  next.template step<3>();
  const Limbs d = sum(p.z, p.z);                                            // below 2p
  const Limbs e = difference_mod_twice_p(b, a), h = sum_mod_twice_p(b, a);  // below 2p
  const Limbs f = difference_mod_twice_p(d, c), g = sum_mod_twice_p(d, c);  // below 2p
  // Products of factors below 2p: x, y and t below 2p, z below p.
  return closing_step<PartlyReducedPoint, true, 4>(e, f, g, h, next, Product{}, ReducedProduct{});
}

template <typename Order = PrimeOrder>
TARVO_KERNEL Point<Order> to_point(const PartlyReducedPoint& p) {
  return {reduced(p.x), reduced(p.y), reduced(p.t), Fr::from_montgomery_form(p.z)};
}

}  // namespace tarvo::edwards::partly_reduced

#endif
