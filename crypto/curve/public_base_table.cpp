#include "crypto/curve/public_base_table.h"

#include <vector>

namespace tarvo::edwards {

PublicBaseTable::PublicBaseTable(const Point<PrimeOrder>& base, const CurveCoefficient& curve) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::array<Point<PrimeOrder>, 2 * ENTRIES> multiples;
  Point<PrimeOrder> power = base;  // 2^(126·h)·base
  for (size_t h = 0; h < halves_.size(); ++h) {
    const CachedPoint twice = to_cached(doubled(power), curve);
    multiples[h * ENTRIES] = power;
    for (size_t i = 1; i < ENTRIES; ++i)
      multiples[h * ENTRIES + i] = add(multiples[h * ENTRIES + i - 1], twice);
    for (unsigned d = 0; d < SPLIT; ++d) power = doubled(power);
  }
  const std::vector<std::pair<Fr, Fr>> affine = to_affine_var(multiples);
  const Fr twice_d = curve.edwards_d().doubled();
  for (size_t i = 0; i < affine.size(); ++i) {
    AffineCachedPoint& entry = halves_[i / ENTRIES][i % ENTRIES];
    entry = to_affine_cached(affine[i].first, affine[i].second, twice_d);
#if TARVO_X86_64
    lane_halves_[i / ENTRIES][i % ENTRIES] = point_lanes::lane_addend(entry);
#endif
  }
}

}  // namespace tarvo::edwards
