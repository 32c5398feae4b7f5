// Odd multiples of a public base point and of 2^126 times it, so that a multiplication of the base by a
// full-width public scalar joins a chain of 126 doublings shared with half-size terms (the verification
// equation): the NAF digits of the scalar at positions below 126 pick multiples of the base, those at
// 126 and above multiples of 2^126·base.
#pragma once

#include <array>

#include "crypto/curve/cached.h"

namespace tarvo::edwards {

// Invariant: halves_[h][i] = (2i + 1)·2^(126·h)·base in affine prepared form, for h < 2, i < ENTRIES.
class PublicBaseTable {
 public:
  static constexpr unsigned SPLIT = 126;
  static constexpr unsigned NAF_WIDTH = 8;  // odd digits in [−127, 127]
  static constexpr size_t ENTRIES = size_t{1} << (NAF_WIDTH - 2);
  using OddMultiples = std::array<AffineCachedPoint, ENTRIES>;

  PublicBaseTable(const Point<PrimeOrder>& base, const CurveCoefficient& curve);

  // (2i + 1)·2^(126·half)·base at index i.
  const OddMultiples& odd_multiples(size_t half) const { return halves_[half]; }

 private:
  std::array<OddMultiples, 2> halves_;
};

}  // namespace tarvo::edwards
