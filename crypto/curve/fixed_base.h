// Scalar multiplication of one fixed base point from precomputed multiples.
#pragma once

#include <array>
#include <vector>

#include "crypto/curve/point.h"

namespace tarvo::edwards {

// Invariant: tables_[j][i] = i·16^j·base for j < 64, i < 16, so k·base is the sum over the 4-bit
// digits k_j of k of tables_[j][k_j]: 64 additions and no doubling.
class FixedBaseTable {
 public:
  FixedBaseTable(const Point<PrimeOrder>& base, const JubjubParams& params);

  // k·base; the time and the memory accesses do not depend on k.
  Point<PrimeOrder> mul(const Fs& k, const JubjubParams& params) const;

 private:
  std::vector<std::array<Point<PrimeOrder>, 16>> tables_;
};

}  // namespace tarvo::edwards
