// Points of the twisted Edwards curve -x^2 + y^2 = 1 + d·x^2·y^2 over Fr, the coefficient d that the point
// arithmetic reads, and the interface of the curve parameter set built on it.
#pragma once

#include <cstddef>
#include <type_traits>

#include "crypto/field/fr.h"
#include "crypto/field/fs.h"

namespace tarvo::edwards {

class PublicBaseTable;

// What is known about a point. The markers carry no data and change no behaviour.
struct PrimeOrder {};  // in the subgroup of prime order l: the fixed generators and their multiples
struct Unknown {};     // decoded from outside data: may have a small-order component

// Extended coordinates of the affine point (x/z, y/z).
// Invariant: (x/z, y/z) lies on the curve, z != 0 and t·z = x·y. The default value is the neutral
// element (0, 1).
template <typename Order>
struct Point {
  Fr x;
  Fr y = Fr::one();
  Fr t;
  Fr z = Fr::one();

  // A subgroup point may stand wherever an unchecked one is expected.
  operator Point<Unknown>() const  // NOLINT: implicit by design
      requires std::is_same_v<Order, PrimeOrder> {
    return {x, y, t, z};
  }
};

// The marker of a result built from points marked A and B.
template <typename A, typename B>
using Joined =
    std::conditional_t<std::is_same_v<A, PrimeOrder> && std::is_same_v<B, PrimeOrder>, PrimeOrder, Unknown>;

}  // namespace tarvo::edwards

namespace tarvo {

// The curve's coefficient d of AltJubjubBn256, the one constant the point arithmetic reads: all that the
// search for the generators and the tables built from them need.
class CurveCoefficient {
 public:
  // d from its decimal text.
  CurveCoefficient();

  const Fr& edwards_d() const { return d_; }

 private:
  Fr d_;
};

// The curve parameter set (jubjub_params.h).
class AltJubjubBn256;

}  // namespace tarvo
