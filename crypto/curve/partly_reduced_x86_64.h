// Points of partly reduced values for the curve kernels on x86-64 with the MULX/ADCX/ADOX multiplication
// named directly, no dispatch per operation (lazy_fr_x86_64.h): the multiplication takes factors with
// a·b < p·2^256 (then its result is below 2p, and its running sum below a + p < 2^256 for a first factor
// a < 2^256 − p), which p < 2^256 / 5 leaves room for. The bound of every value is stated where it is made;
// all values are congruent to the field elements of the portable formulas on Fr. Only call these where
// cpu_has_adx().
#pragma once

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/point.h"
#include "crypto/field/lazy_fr_x86_64.h"
#include "crypto/field/montgomery_x86_64.h"

#if TARVO_X86_64

namespace tarvo::edwards::partly_reduced {

using namespace lazy_fr;

// An extended point with x, y, t below 2p and z below p.
struct LazyPoint {
  Limbs x, y, t, z;

  template <typename Order>
  TARVO_KERNEL explicit LazyPoint(const Point<Order>& p)
      : x(p.x.montgomery_form()),
        y(p.y.montgomery_form()),
        t(p.t.montgomery_form()),
        z(p.z.montgomery_form()) {}
  TARVO_KERNEL LazyPoint(const Limbs& x, const Limbs& y, const Limbs& t, const Limbs& z)
      : x(x), y(y), t(t), z(z) {}
};

struct Product {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return product(a, b); }
};
struct ReducedProduct {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return reduced_product(a, b); }
};

TARVO_KERNEL Fr reduced(Limbs value) {
  montgomery::subtract_if_not_below_cmov(value, kP);
  return Fr::from_montgomery_form(value);
}

template <typename Order = PrimeOrder>
TARVO_KERNEL Point<Order> to_point(const LazyPoint& p) {
  return {reduced(p.x), reduced(p.y), reduced(p.t), Fr::from_montgomery_form(p.z)};
}

}  // namespace tarvo::edwards::partly_reduced

#endif
