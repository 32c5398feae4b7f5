// Arithmetic in Fr on Montgomery forms that are only partly reduced (below a small multiple of p, not
// below p), for the curve kernels: x86-64 assembly, branch-free, constant time. Each kernel states the
// bounds it takes and gives; the callers keep their values within them. p < 2^256 / 5 leaves the room.
#pragma once

#include <utility>

#include "crypto/base/check.h"
#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/field/fr.h"
#include "crypto/field/montgomery_x86_64.h"

#if TARVO_X86_64

namespace tarvo::partly_reduced {

inline constexpr Limbs kP = Fr::MODULUS;
inline constexpr Limbs kTwiceP = twice(kP);
static_assert(kP[3] < 0x3333333333333333, "5p < 2^256");
inline constexpr uint64_t kInv = FrParams::INV;
inline constexpr Limbs kMinusP = {~kP[0] + 1, ~kP[1], ~kP[2], ~kP[3]};  // 2^256 − p

// Whether both values are below 2p, as the kernels below take them (checked build, check.h).
inline bool both_below_twice_p(const Limbs& a, const Limbs& b) {
  return (int{limbs_less(a, kTwiceP)} & int{limbs_less(b, kTwiceP)}) != 0;
}

// a + b, for a + b < 2^256.
TARVO_KERNEL Limbs sum(const Limbs& a, const Limbs& b) {
  Limbs s = a;
  asm("addq %[b0], %[s0]\n\t"
      "adcq %[b1], %[s1]\n\t"
      "adcq %[b2], %[s2]\n\t"
      "adcq %[b3], %[s3]\n\t"
      : [s0] "+r"(s[0]), [s1] "+r"(s[1]), [s2] "+r"(s[2]), [s3] "+r"(s[3])
      : [b0] "rm"(b[0]), [b1] "rm"(b[1]), [b2] "rm"(b[2]), [b3] "rm"(b[3])
      : "cc");
  TARVO_CHECK(!limbs_less(s, a), "a partly reduced sum below 2^256");
  return s;
}

// {a + b, a − b + 2p}, for a, b < 2p: both below 4p.
TARVO_KERNEL std::pair<Limbs, Limbs> sum_and_difference_plus_twice_p(const Limbs& a, const Limbs& b) {
  TARVO_CHECK(both_below_twice_p(a, b), "sum and difference of values below 2p");
  Limbs s = a, d = a;
  asm("addq %[b0], %[s0]\n\t"
      "adcq %[b1], %[s1]\n\t"
      "adcq %[b2], %[s2]\n\t"
      "adcq %[b3], %[s3]\n\t"
      "addq %[q0], %[d0]\n\t"
      "adcq %[q1], %[d1]\n\t"
      "adcq %[q2], %[d2]\n\t"
      "adcq %[q3], %[d3]\n\t"
      "subq %[b0], %[d0]\n\t"
      "sbbq %[b1], %[d1]\n\t"
      "sbbq %[b2], %[d2]\n\t"
      "sbbq %[b3], %[d3]\n\t"
      : [s0] "+r"(s[0]), [s1] "+r"(s[1]), [s2] "+r"(s[2]), [s3] "+r"(s[3]), [d0] "+r"(d[0]), [d1] "+r"(d[1]),
        [d2] "+r"(d[2]), [d3] "+r"(d[3])
      : [b0] "rm"(b[0]), [b1] "rm"(b[1]), [b2] "rm"(b[2]), [b3] "rm"(b[3]), [q0] "m"(kTwiceP[0]),
        [q1] "m"(kTwiceP[1]), [q2] "m"(kTwiceP[2]), [q3] "m"(kTwiceP[3])
      : "cc");
  return {s, d};
}

// a + b reduced into [0, 2p), for a, b < 2p.
TARVO_KERNEL Limbs sum_mod_twice_p(const Limbs& a, const Limbs& b) {
  TARVO_CHECK(both_below_twice_p(a, b), "sum mod 2p of values below 2p");
  Limbs s = sum(a, b);
  montgomery::subtract_if_not_below_cmov(s, kTwiceP);
  return s;
}

// a − b reduced into [0, 2p), for a, b < 2p.
TARVO_KERNEL Limbs difference_mod_twice_p(const Limbs& a, const Limbs& b) {
  TARVO_CHECK(both_below_twice_p(a, b), "difference mod 2p of values below 2p");
  Limbs d = a;
  uint64_t m0, m1, m2, m3;
  asm("subq %[b0], %[d0]\n\t"
      "sbbq %[b1], %[d1]\n\t"
      "sbbq %[b2], %[d2]\n\t"
      "sbbq %[b3], %[d3]\n\t"
      "sbbq %[m0], %[m0]\n\t"
      "movq %[m0], %[m1]\n\t"
      "movq %[m0], %[m2]\n\t"
      "movq %[m0], %[m3]\n\t"
      "andq %[q0], %[m0]\n\t"
      "andq %[q1], %[m1]\n\t"
      "andq %[q2], %[m2]\n\t"
      "andq %[q3], %[m3]\n\t"
      "addq %[m0], %[d0]\n\t"
      "adcq %[m1], %[d1]\n\t"
      "adcq %[m2], %[d2]\n\t"
      "adcq %[m3], %[d3]\n\t"
      : [d0] "+r"(d[0]), [d1] "+r"(d[1]), [d2] "+r"(d[2]), [d3] "+r"(d[3]), [m0] "=&r"(m0), [m1] "=&r"(m1),
        [m2] "=&r"(m2), [m3] "=&r"(m3)
      : [b0] "rm"(b[0]), [b1] "rm"(b[1]), [b2] "rm"(b[2]), [b3] "rm"(b[3]), [q0] "m"(kTwiceP[0]),
        [q1] "m"(kTwiceP[1]), [q2] "m"(kTwiceP[2]), [q3] "m"(kTwiceP[3])
      : "cc");
  return d;
}

// −a as 2p − a (0 for 0) when negative is 1, else a; for a < 2p, and the result is below 2p.
TARVO_KERNEL Limbs negated_if(const Limbs& a, uint64_t negative) {
  TARVO_CHECK(limbs_less(a, kTwiceP), "negation of a value below 2p");
  Limbs out = a;
  const Limbs negated = difference_mod_twice_p(Limbs{}, a);
  asm("testq %[negative], %[negative]\n\t"
      "cmovnzq %[n0], %[o0]\n\t"
      "cmovnzq %[n1], %[o1]\n\t"
      "cmovnzq %[n2], %[o2]\n\t"
      "cmovnzq %[n3], %[o3]\n\t"
      : [o0] "+r"(out[0]), [o1] "+r"(out[1]), [o2] "+r"(out[2]), [o3] "+r"(out[3])
      : [negative] "r"(negative), [n0] "r"(negated[0]), [n1] "r"(negated[1]), [n2] "r"(negated[2]),
        [n3] "r"(negated[3])
      : "cc");
  return out;
}

// a·b·2^-256 mod p plus 0 or p, for a·b < p·2^256 and a < 2^256 − p: the result is then below
// a·b·2^-256 + p < 2p, and the kernel's running sum below a + p < 2^256.
TARVO_KERNEL Limbs product(const Limbs& a, const Limbs& b) {
  TARVO_CHECK(limbs_less(a, kMinusP), "a product's first factor below 2^256 - p");
  const Limbs out = montgomery::mul_below_2p_adx(a, b, kP, kInv);
  TARVO_CHECK(limbs_less(out, kTwiceP), "a partly reduced product below 2p");
  return out;
}

// a²·2^-256 mod p, below p, for a² < p·2^256 (so for every a < 2p): the squaring's high half is then below
// p, so that its one subtraction of p leaves the sum of both halves below p.
TARVO_KERNEL Limbs square(const Limbs& a) {
  TARVO_CHECK(limbs_less(a, kTwiceP), "a square of a value below 2p");
#ifdef __OPTIMIZE__
  const Limbs out = montgomery::sqr_adx(a, kP, kInv);
#else
  const Limbs out = montgomery::mul_adx(a, a, kP, kInv);  // sqr_adx's unoptimised stand-in takes a < p only
#endif
  TARVO_CHECK(limbs_less(out, kP), "a square below p");
  return out;
}

// a·b·2^-256 mod p, below p, for a·b < p·2^256.
TARVO_KERNEL Limbs reduced_product(const Limbs& a, const Limbs& b) {
  Limbs out = product(a, b);  // mul_adx: the product, then one subtraction of p
  montgomery::subtract_if_not_below_cmov(out, kP);
  return out;
}

// The element of a value below 2p.
TARVO_KERNEL Fr reduced(Limbs value) {
  TARVO_CHECK(limbs_less(value, kTwiceP), "a partly reduced value below 2p");
  montgomery::subtract_if_not_below_cmov(value, kP);
  return Fr::from_montgomery_form(value);
}

}  // namespace tarvo::partly_reduced

#endif
