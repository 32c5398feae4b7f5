// A challenge m of the verification equation traded for two half-size integers: c·m ≡ d (mod l) with
// 0 < |c| < 2^125 and 0 ≤ d < 2^126. Multiplying s·G = R + m·A by c turns the two full-width scalars on
// A and R into two of half the width, so one chain of half as many doublings serves both.
#pragma once

#include "crypto/field/limbs.h"

namespace tarvo::eddsa {

struct ShortChallenge {
  u128 c_magnitude;  // |c|, never zero
  bool c_negative;
  u128 d;
};

// c and d for a challenge m < l, by the extended Euclidean algorithm on (l, m) stopped halfway: the
// first remainder below 2^126 is d, its cofactor is c. Variable time: for public challenges only.
ShortChallenge short_challenge_var(const Limbs& m);

}  // namespace tarvo::eddsa
