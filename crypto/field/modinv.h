// Modular inversion by divsteps (Bernstein and Yang, "Fast constant-time gcd computation and modular
// inversion"), for odd moduli below 2^254.
//
// The integers are held as five signed 62-bit limbs (value = Σ v[i]·2^(62·i)), so that a batch of
// divsteps, applied as one 2x2 transition matrix with entries of at most 2^62, multiplies and shifts
// every limb within 128-bit arithmetic. Both functions run the same half-delta divstep; `inverse`
// does a fixed 586 of them (the bound for moduli below 2^254, divsteps.h) with no branch or memory
// index depending on the value, `inverse_var` stops as soon as the gcd is found and skips runs of zero
// bits at once.
#pragma once

#include <cstdint>

#include "crypto/field/limbs.h"

namespace tarvo::modinv {

inline constexpr uint64_t LIMB_MASK = (uint64_t{1} << 62) - 1;

struct Signed62 {
  int64_t v[5];
};

// Invariant: `p` is the odd modulus as normalised signed limbs (each in [0, 2^62)), `p_inverse` =
// p^-1 mod 2^62 and `scale` < p; the inverses come out multiplied by `scale`.
struct Modulus {
  Signed62 p;
  uint64_t p_inverse;
  Signed62 scale;
};

constexpr Signed62 to_signed62(const Limbs& a) {
  return {{static_cast<int64_t>(a[0] & LIMB_MASK), static_cast<int64_t>((a[0] >> 62 | a[1] << 2) & LIMB_MASK),
           static_cast<int64_t>((a[1] >> 60 | a[2] << 4) & LIMB_MASK),
           static_cast<int64_t>((a[2] >> 58 | a[3] << 6) & LIMB_MASK), static_cast<int64_t>(a[3] >> 56)}};
}

// From the modulus and the Montgomery constant -p^-1 mod 2^64 the fields already carry.
constexpr Modulus make_modulus(const Limbs& p, uint64_t minus_p_inverse, const Limbs& scale) {
  return {to_signed62(p), (uint64_t{0} - minus_p_inverse) & LIMB_MASK, to_signed62(scale)};
}

// scale·x^-1 mod p for 0 < x < p; 0 for x = 0. Constant time.
Limbs inverse(const Limbs& x, const Modulus& modulus);

// The same function in variable time, for public values only.
Limbs inverse_var(const Limbs& x, const Modulus& modulus);

}  // namespace tarvo::modinv
