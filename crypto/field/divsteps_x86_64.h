// The steps of a divstep round of the constant-time inversion (divsteps.h) in x86-64 assembly, the same
// function as its portable twin in divsteps_portable.h: branch-free, at most 20 steps, unrolled. In an
// unnamed namespace like the rest of the divsteps (see divsteps.h).
#pragma once

#include <cstdint>

#include "crypto/base/target.h"

#if TARVO_X86_64

namespace tarvo::modinv {
namespace {

// The steps of round_steps_portable with CMOV and the carry flag, three instructions from one g to the
// next: the shift that halves g leaves its low bit in the carry, which selects the addend (h, or
// ~h = -h - 1 when zeta < 0) and adds the 1 (ADC). A test of g against the sign bit of zeta sets the flag of
// the swap, which selects g >> 1 for h and -zeta - 2 for the next zeta (zeta - 1 without a swap).
template <int Steps>
void round_steps_cmov(int64_t& zeta, int64_t& h, int64_t& g) {
#pragma GCC unroll 20
  for (int i = 0; i < Steps; ++i) {
    int64_t next_g, g_half, next_zeta, swapped_zeta, may_swap_bit, addend;
    asm("movq %[zeta], %[may_swap_bit]\n\t"
        "shrq $63, %[may_swap_bit]\n\t"
        "movq %[zeta], %[addend]\n\t"
        "sarq $63, %[addend]\n\t"
        "xorq %[h], %[addend]\n\t"
        "leaq -1(%[zeta]), %[next_zeta]\n\t"
        "leaq 1(%[zeta]), %[swapped_zeta]\n\t"
        "notq %[swapped_zeta]\n\t"
        "xorl %k[next_g], %k[next_g]\n\t"
        "movq %[g], %[g_half]\n\t"
        "sarq $1, %[g_half]\n\t"
        "cmovcq %[addend], %[next_g]\n\t"
        "adcq %[g_half], %[next_g]\n\t"
        "testq %[may_swap_bit], %[g]\n\t"
        "cmovnzq %[g_half], %[h]\n\t"
        "cmovnzq %[swapped_zeta], %[next_zeta]\n\t"
        : [next_g] "=&r"(next_g), [g_half] "=&r"(g_half), [next_zeta] "=&r"(next_zeta),
          [swapped_zeta] "=&r"(swapped_zeta), [may_swap_bit] "=&r"(may_swap_bit), [addend] "=&r"(addend),
          [h] "+r"(h)
        : [g] "r"(g), [zeta] "r"(zeta)
        : "cc");
    g = next_g;
    zeta = next_zeta;
  }
}

}  // namespace
}  // namespace tarvo::modinv

#endif
