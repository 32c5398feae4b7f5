// The x86-64 dot-product and multiply-add kernels (MULX/ADCX/ADOX), the same functions as their portable
// twins in montgomery_dot.h, which picks between them at run time. How the accumulation works is
// described there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/field/montgomery_x86_64.h"

#if TARVO_X86_64

namespace tarvo::montgomery {

// The four products a[j]·rdx of a multiply-accumulate: low words into c0..c3 on the CF chain, high
// words into c1..c4 on the OF chain. Needs both flags clear; leaves the carries out of c3 (CF) and c4
// (OF) pending.
#define TARVO_MULTIPLY_ROW_ADX       \
  "mulxq %[a0], %[low], %[high]\n\t" \
  "adcxq %[low], %[c0]\n\t"          \
  "adoxq %[high], %[c1]\n\t"         \
  "mulxq %[a1], %[low], %[high]\n\t" \
  "adcxq %[low], %[c1]\n\t"          \
  "adoxq %[high], %[c2]\n\t"         \
  "mulxq %[a2], %[low], %[high]\n\t" \
  "adcxq %[low], %[c2]\n\t"          \
  "adoxq %[high], %[c3]\n\t"         \
  "mulxq %[a3], %[low], %[high]\n\t" \
  "adcxq %[low], %[c3]\n\t"          \
  "adoxq %[high], %[c4]\n\t"

// (c0..c5) += a·b, for an accumulator that cannot overflow its six words, with the carry out of c3
// collected in carry4 (the weight of c4) instead of being folded in at once: each carry chain then
// ends in one addition to a word that cannot overflow, and both flags end clear. The low-product
// register then serves as the zero of those additions (MOV leaves the flags alone): one register fewer,
// which instrumented builds with a frame pointer need.
TARVO_KERNEL void multiply_accumulate_adx(uint64_t& c0, uint64_t& c1, uint64_t& c2, uint64_t& c3,
                                          uint64_t& c4, uint64_t& c5, uint64_t& carry4, const Limbs& a,
                                          uint64_t b) {
  uint64_t low, high;
  asm("xorl %k[low], %k[low]\n\t" TARVO_MULTIPLY_ROW_ADX
      "movl $0, %k[low]\n\t"
      "adcxq %[low], %[carry4]\n\t"
      "adoxq %[low], %[c5]\n\t"
      : [c0] "+r"(c0), [c1] "+r"(c1), [c2] "+r"(c2), [c3] "+r"(c3), [c4] "+r"(c4), [c5] "+r"(c5),
        [carry4] "+r"(carry4), [low] "=&r"(low), [high] "=&r"(high)
      : [a0] "m"(a[0]), [a1] "m"(a[1]), [a2] "m"(a[2]), [a3] "m"(a[3]), "d"(b)
      : "cc");
}

// One Montgomery step of the accumulator: adds m·p with m = c0·inv mod 2^64, which clears c0, and folds
// carry4 into c4 and c5, leaving carry4 zero. Written out rather than as a multiply-accumulate followed
// by the fold in C++, which made the Poseidon permutation 2.5 % slower.
TARVO_KERNEL void montgomery_step_adx(uint64_t& c0, uint64_t& c1, uint64_t& c2, uint64_t& c3, uint64_t& c4,
                                      uint64_t& c5, uint64_t& carry4, const Limbs& p, const uint64_t& inv) {
  uint64_t low, high;
  asm("movq %[c0], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorl %k[low], %k[low]\n\t" TARVO_MULTIPLY_ROW_ADX
      "adcxq %[carry4], %[c4]\n\t"
      "movl $0, %k[low]\n\t"
      "adoxq %[low], %[c5]\n\t"
      "adcxq %[low], %[c5]\n\t"
      "xorl %k[carry4], %k[carry4]\n\t"
      : [c0] "+r"(c0), [c1] "+r"(c1), [c2] "+r"(c2), [c3] "+r"(c3), [c4] "+r"(c4), [c5] "+r"(c5),
        [carry4] "+r"(carry4), [low] "=&r"(low), [high] "=&r"(high)
      : [a0] "m"(p[0]), [a1] "m"(p[1]), [a2] "m"(p[2]), [a3] "m"(p[3]), [inv] "m"(inv)
      : "rdx", "cc");
}

#undef TARVO_MULTIPLY_ROW_ADX

// A value below 4p brought below p: conditional subtractions of 2p and p.
TARVO_KERNEL Limbs reduce_below_4p(Limbs value, const Limbs& p) {
  uint64_t carry = 0;
  Limbs twice_p;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) twice_p[i] = add_with_carry(p[i], p[i], carry);
  subtract_if_not_below_cmov(value, twice_p);
  subtract_if_not_below_cmov(value, p);
  return value;
}

// (Σ a[t]·b[t] + M·p)·2^-256 + c with M < 2^256, below (N/4 + 1)·p + c for p < 2^254, with
// MULX/ADCX/ADOX. The accumulator's six words rotate instead of moving: after row i the cleared low
// word becomes the new top word. c joins as c·2^256 from the start: its low words fill the top of the
// first accumulator, the high ones the words the first two rows clear. Before each shift the
// accumulator stays below (N + 2)·p·2^64 + c·2^256 < 2^384.
template <size_t N>
TARVO_KERNEL Limbs dot_add_unreduced_adx(std::span<const Limbs, N> a, std::span<const Limbs, N> b,
                                         const Limbs& c, const Limbs& p, uint64_t inv) {
  std::array<uint64_t, 6> acc = {0, 0, 0, 0, c[0], c[1]};
  uint64_t carry4 = 0;
#pragma GCC unroll 4
  for (size_t i = 0; i < 4; ++i) {
    uint64_t &c0 = acc[i % 6], &c1 = acc[(i + 1) % 6], &c2 = acc[(i + 2) % 6], &c3 = acc[(i + 3) % 6],
             &c4 = acc[(i + 4) % 6], &c5 = acc[(i + 5) % 6];
#pragma GCC unroll 16
    for (size_t t = 0; t < N; ++t) multiply_accumulate_adx(c0, c1, c2, c3, c4, c5, carry4, a[t], b[t][i]);
    montgomery_step_adx(c0, c1, c2, c3, c4, c5, carry4, p, inv);
    if (i < 2) c0 = c[i + 2];
  }
  return {acc[4], acc[5], acc[0], acc[1]};
}

// The same function as dot_portable; only call when cpu_has_adx().
template <size_t N>
TARVO_KERNEL Limbs dot_adx(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& p,
                           uint64_t inv) {
  static_assert(N >= 1 && N <= 12, "the final reduction covers sums below 4p");
  return reduce_below_4p(dot_add_unreduced_adx<N>(a, b, Limbs{}, p, inv), p);
}

// The same function as dot_add_portable; only call when cpu_has_adx().
template <size_t N>
TARVO_KERNEL Limbs dot_add_adx(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& c,
                               const Limbs& p, uint64_t inv) {
  static_assert(N >= 1 && N <= 8, "the final reduction covers sums below 4p");
  return reduce_below_4p(dot_add_unreduced_adx<N>(a, b, c, p, inv), p);
}

// The same function as mul_add_portable with MULX/ADCX/ADOX: c joins the product before its final
// reduction, which brings the sum, below 3p, below p. Only call when cpu_has_adx().
TARVO_KERNEL Limbs mul_add_adx(const Limbs& a, const Limbs& b, const Limbs& c, const Limbs& p, uint64_t inv) {
  Limbs sum = mul_below_2p_adx(a, b, p, inv);
  uint64_t carry = 0;
  TARVO_UNROLLED
  for (int i = 0; i < 4; ++i) sum[i] = add_with_carry(sum[i], c[i], carry);
  return reduce_below_4p(sum, p);
}

}  // namespace tarvo::montgomery

#endif  // TARVO_X86_64
