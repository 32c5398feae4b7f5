#include "crypto/curve/cached.h"

#include "crypto/base/fatal.h"

namespace tarvo::edwards {

std::vector<AffineCachedPoint> to_affine_cached_var(std::span<const Point<PrimeOrder>> points,
                                                    const JubjubParams& params) {
  // Montgomery's trick: prefix products of z, one inversion, then each inverse in two multiplications.
  std::vector<Fr> prefix(points.size());
  Fr acc = Fr::one();
  for (size_t i = 0; i < points.size(); ++i) {
    prefix[i] = acc;
    acc *= points[i].z;
  }
  const std::optional<Fr> total_inverse = acc.inverse_var();
  ensure(total_inverse.has_value(), "point with z = 0 has no affine form");
  Fr inverse = *total_inverse;
  const Fr d2 = params.edwards_d().doubled();
  std::vector<AffineCachedPoint> affine(points.size());
  for (size_t i = points.size(); i-- > 0;) {
    const Fr z_inverse = inverse * prefix[i];
    inverse *= points[i].z;
    const Fr x = points[i].x * z_inverse, y = points[i].y * z_inverse;
    affine[i] = {y + x, y - x, d2 * x * y};
  }
  return affine;
}

}  // namespace tarvo::edwards
