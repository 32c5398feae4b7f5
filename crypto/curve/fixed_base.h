// Scalar multiplication of one fixed base point from precomputed multiples.
#pragma once

#include <array>
#include <vector>

#include "crypto/curve/cached.h"

namespace tarvo::edwards {

// Invariant: tables_[j][i - 1] = i·16^j·base in affine prepared form, for j < 64 and i = 1..8. A scalar
// below 2^252 written with 64 signed base-16 digits d_j in [−8, 7] (and a last carry-free digit) gives
// k·base = Σ d_j·16^j·base: 64 additions of table entries and no doubling.
class FixedBaseTable {
 public:
  static constexpr size_t WINDOWS = 64;
  static constexpr size_t ENTRIES = 8;

  FixedBaseTable(const Point<PrimeOrder>& base, const JubjubParams& params);

  // k·base; the time and the memory accesses do not depend on k.
  Point<PrimeOrder> mul(const Fs& k) const;

 private:
  std::vector<std::array<AffineCachedPoint, ENTRIES>> tables_;
};

}  // namespace tarvo::edwards
