// Odd multiples of a public base point and of 2^126 times it, so that a multiplication of the base by a
// full-width public scalar joins a chain of 126 doublings shared with half-size terms (the verification
// equation): the NAF digits of the scalar at positions below 126 pick multiples of the base, those at
// 126 and above multiples of 2^126·base.
#pragma once

#include <array>

#include "crypto/base/target.h"
#include "crypto/curve/cached.h"
#include "crypto/curve/point_lanes_ifma_x86_64.h"

namespace tarvo::edwards {

// Invariant: halves_[h][i] = (2i + 1)·2^(126·h)·base in affine prepared form, for h < 2, i < ENTRIES; on
// x86-64 lane_halves_ holds the same as addends of the lanes' additions.
class PublicBaseTable {
 public:
  static constexpr unsigned SPLIT = 126;
  static constexpr unsigned NAF_WIDTH = 8;  // odd digits in [−127, 127]
  static constexpr size_t ENTRIES = size_t{1} << (NAF_WIDTH - 2);
  using OddMultiples = std::array<AffineCachedPoint, ENTRIES>;

  PublicBaseTable(const Point<PrimeOrder>& base, const CurveCoefficient& curve);

  // (2i + 1)·2^(126·half)·base at index i.
  const OddMultiples& odd_multiples(size_t half) const { return halves_[half]; }

#if TARVO_X86_64
  using LaneOddMultiples = std::array<point_lanes::LaneAddend<true>, ENTRIES>;
  const LaneOddMultiples& lane_odd_multiples(size_t half) const { return lane_halves_[half]; }
#endif

 private:
  std::array<OddMultiples, 2> halves_;
#if TARVO_X86_64
  std::array<LaneOddMultiples, 2> lane_halves_;
#endif
};

}  // namespace tarvo::edwards
