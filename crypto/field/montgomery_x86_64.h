// The x86-64 Montgomery kernels: MULX/ADCX/ADOX assembly for CPUs with BMI2 and ADX, the same functions
// as their portable twins in montgomery_portable.h, which montgomery.h picks between at run time.
// Constant time: no branch or memory index depends on the operands.
#pragma once

#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/field/montgomery_portable.h"

#if TARVO_X86_64

#if defined(__SANITIZE_ADDRESS__)
#define TARVO_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVO_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef TARVO_ADDRESS_SANITIZER
#define TARVO_ADDRESS_SANITIZER 0
#endif

namespace tarvo::montgomery {

// reduce_once for any subtrahend below 2^256, with CMOV.
TARVO_KERNEL void subtract_if_not_below_cmov(Limbs& value, const Limbs& subtrahend) {
#ifndef __OPTIMIZE__
  reduce_once(value, subtrahend);
#else
  uint64_t d0, d1, d2, d3;
  asm("movq %[v0], %[d0]\n\t"
      "movq %[v1], %[d1]\n\t"
      "movq %[v2], %[d2]\n\t"
      "movq %[v3], %[d3]\n\t"
      "subq %[s0], %[d0]\n\t"
      "sbbq %[s1], %[d1]\n\t"
      "sbbq %[s2], %[d2]\n\t"
      "sbbq %[s3], %[d3]\n\t"
      "cmovncq %[d0], %[v0]\n\t"
      "cmovncq %[d1], %[v1]\n\t"
      "cmovncq %[d2], %[v2]\n\t"
      "cmovncq %[d3], %[v3]\n\t"
      : [v0] "+r"(value[0]), [v1] "+r"(value[1]), [v2] "+r"(value[2]), [v3] "+r"(value[3]), [d0] "=&r"(d0),
        [d1] "=&r"(d1), [d2] "=&r"(d2), [d3] "=&r"(d3)
      : [s0] "m"(subtrahend[0]), [s1] "m"(subtrahend[1]), [s2] "m"(subtrahend[2]), [s3] "m"(subtrahend[3])
      : "cc");
#endif
}

// a·b·2^-256 mod p plus 0 or p (below 2p), with MULX/ADCX/ADOX: mul_adx without its final subtraction.
// Only call when cpu_has_adx().
TARVO_KERNEL Limbs mul_below_2p_adx(const Limbs& a, const Limbs& b, const Limbs& p, const uint64_t& inv) {
#ifndef __OPTIMIZE__
  return mul_portable(a, b, p, inv);  // see TARVO_KERNEL: no register allocation for the assembly
#else
  // Six registers hold the running five-word value and one scratch word; each reduction shifts the
  // value down by one word, so the roles rotate instead of moving data.
  uint64_t r0, r1, r2, r3, r4, r5;
  asm("movq 0(%[b]), %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[a]), %[r0], %[r1]\n\t"
      "mulxq 8(%[a]), %%rax, %[r2]\n\t"
      "adcxq %%rax, %[r1]\n\t"
      "mulxq 16(%[a]), %%rax, %[r3]\n\t"
      "adcxq %%rax, %[r2]\n\t"
      "mulxq 24(%[a]), %%rax, %[r4]\n\t"
      "adcxq %%rax, %[r3]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r4]\n\t"
      "movq %[r0], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[p]), %%rax, %[r5]\n\t"
      "adcxq %[r0], %%rax\n\t"
      "adcxq %[r5], %[r1]\n\t"
      "mulxq 8(%[p]), %%rax, %[r5]\n\t"
      "adoxq %%rax, %[r1]\n\t"
      "adcxq %[r5], %[r2]\n\t"
      "mulxq 16(%[p]), %%rax, %[r5]\n\t"
      "adoxq %%rax, %[r2]\n\t"
      "adcxq %[r5], %[r3]\n\t"
      "mulxq 24(%[p]), %%rax, %[r5]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r5]\n\t"
      "adoxq %[r4], %[r5]\n\t"
      "movq 8(%[b]), %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r1]\n\t"
      "adcxq %[r4], %[r2]\n\t"
      "mulxq 8(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r2]\n\t"
      "adcxq %[r4], %[r3]\n\t"
      "mulxq 16(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "adcxq %[r4], %[r5]\n\t"
      "mulxq 24(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r4]\n\t"
      "movq %[r1], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[p]), %%rax, %[r0]\n\t"
      "adcxq %[r1], %%rax\n\t"
      "adcxq %[r0], %[r2]\n\t"
      "mulxq 8(%[p]), %%rax, %[r0]\n\t"
      "adoxq %%rax, %[r2]\n\t"
      "adcxq %[r0], %[r3]\n\t"
      "mulxq 16(%[p]), %%rax, %[r0]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "adcxq %[r0], %[r5]\n\t"
      "mulxq 24(%[p]), %%rax, %[r0]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r0]\n\t"
      "adoxq %[r4], %[r0]\n\t"
      "movq 16(%[b]), %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r2]\n\t"
      "adcxq %[r4], %[r3]\n\t"
      "mulxq 8(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "adcxq %[r4], %[r5]\n\t"
      "mulxq 16(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "adcxq %[r4], %[r0]\n\t"
      "mulxq 24(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r0]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r4]\n\t"
      "movq %[r2], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[p]), %%rax, %[r1]\n\t"
      "adcxq %[r2], %%rax\n\t"
      "adcxq %[r1], %[r3]\n\t"
      "mulxq 8(%[p]), %%rax, %[r1]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "adcxq %[r1], %[r5]\n\t"
      "mulxq 16(%[p]), %%rax, %[r1]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "adcxq %[r1], %[r0]\n\t"
      "mulxq 24(%[p]), %%rax, %[r1]\n\t"
      "adoxq %%rax, %[r0]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r1]\n\t"
      "adoxq %[r4], %[r1]\n\t"
      "movq 24(%[b]), %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r3]\n\t"
      "adcxq %[r4], %[r5]\n\t"
      "mulxq 8(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "adcxq %[r4], %[r0]\n\t"
      "mulxq 16(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r0]\n\t"
      "adcxq %[r4], %[r1]\n\t"
      "mulxq 24(%[a]), %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r1]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r4]\n\t"
      "adoxq %%rax, %[r4]\n\t"
      "movq %[r3], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq 0(%[p]), %%rax, %[r2]\n\t"
      "adcxq %[r3], %%rax\n\t"
      "adcxq %[r2], %[r5]\n\t"
      "mulxq 8(%[p]), %%rax, %[r2]\n\t"
      "adoxq %%rax, %[r5]\n\t"
      "adcxq %[r2], %[r0]\n\t"
      "mulxq 16(%[p]), %%rax, %[r2]\n\t"
      "adoxq %%rax, %[r0]\n\t"
      "adcxq %[r2], %[r1]\n\t"
      "mulxq 24(%[p]), %%rax, %[r2]\n\t"
      "adoxq %%rax, %[r1]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[r2]\n\t"
      "adoxq %[r4], %[r2]\n\t"
      : [r0] "=&r"(r0), [r1] "=&r"(r1), [r2] "=&r"(r2), [r3] "=&r"(r3), [r4] "=&r"(r4), [r5] "=&r"(r5)
      // The limb arrays are read through the pointer operands; naming them as memory inputs too tells
      // the compiler exactly which memory the kernel reads, so it need not assume all of it.
      : [a] "r"(a.data()), [b] "r"(b.data()), [p] "r"(p.data()), [inv] "m"(inv), "m"(a), "m"(b), "m"(p)
      : "rax", "rdx", "cc");
  return {r5, r0, r1, r2};
#endif
}

// The same function as mul_portable with MULX/ADCX/ADOX. Only call when cpu_has_adx().
TARVO_KERNEL Limbs mul_adx(const Limbs& a, const Limbs& b, const Limbs& p, const uint64_t& inv) {
  Limbs product = mul_below_2p_adx(a, b, p, inv);
  subtract_if_not_below_cmov(product, p);
  return product;
}

// a²·2^-256 mod p for a < p with MULX/ADCX/ADOX: the six cross products once, doubled, plus the four
// squares (10 multiplications instead of 16); then the low half is reduced as in mul_adx and the high
// half, below p, added to it. Only call when cpu_has_adx().
TARVO_KERNEL Limbs sqr_adx(const Limbs& a, const Limbs& p, const uint64_t& inv) {
#if !defined(__OPTIMIZE__)
  return mul_portable(a, a, p, inv);
#elif TARVO_ADDRESS_SANITIZER
  return mul_adx(a, a, p, inv);  // AddressSanitizer keeps registers for itself: not enough are left
#else
  uint64_t t0, t1, t2, t3, t4, t5, t6, t7, tmp;
  asm("movq %[a0], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[a1], %[t1], %[t2]\n\t"
      "mulxq %[a2], %%rax, %[t3]\n\t"
      "adcxq %%rax, %[t2]\n\t"
      "mulxq %[a3], %%rax, %[t4]\n\t"
      "adcxq %%rax, %[t3]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[t4]\n\t"
      "movq %[a1], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[a2], %%rax, %[tmp]\n\t"
      "adcxq %%rax, %[t3]\n\t"
      "adoxq %[tmp], %[t4]\n\t"
      "mulxq %[a3], %%rax, %[t5]\n\t"
      "adcxq %%rax, %[t4]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[t5]\n\t"
      "adoxq %%rax, %[t5]\n\t"
      "movq %[a2], %%rdx\n\t"
      "mulxq %[a3], %%rax, %[t6]\n\t"
      "addq %%rax, %[t5]\n\t"
      "adcq $0, %[t6]\n\t"
      "xorq %[t7], %[t7]\n\t"
      "addq %[t1], %[t1]\n\t"
      "adcq %[t2], %[t2]\n\t"
      "adcq %[t3], %[t3]\n\t"
      "adcq %[t4], %[t4]\n\t"
      "adcq %[t5], %[t5]\n\t"
      "adcq %[t6], %[t6]\n\t"
      "adcq $0, %[t7]\n\t"
      "movq %[a0], %%rdx\n\t"
      "mulxq %%rdx, %[t0], %%rax\n\t"
      "addq %%rax, %[t1]\n\t"
      "movq %[a1], %%rdx\n\t"
      "mulxq %%rdx, %%rax, %[tmp]\n\t"
      "adcq %%rax, %[t2]\n\t"
      "adcq %[tmp], %[t3]\n\t"
      "movq %[a2], %%rdx\n\t"
      "mulxq %%rdx, %%rax, %[tmp]\n\t"
      "adcq %%rax, %[t4]\n\t"
      "adcq %[tmp], %[t5]\n\t"
      "movq %[a3], %%rdx\n\t"
      "mulxq %%rdx, %%rax, %[tmp]\n\t"
      "adcq %%rax, %[t6]\n\t"
      "adcq %[tmp], %[t7]\n\t"
      "movq %[t0], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[p0], %%rax, %[tmp]\n\t"
      "adcxq %[t0], %%rax\n\t"
      "adcxq %[tmp], %[t1]\n\t"
      "mulxq %[p1], %%rax, %[tmp]\n\t"
      "adoxq %%rax, %[t1]\n\t"
      "adcxq %[tmp], %[t2]\n\t"
      "mulxq %[p2], %%rax, %[tmp]\n\t"
      "adoxq %%rax, %[t2]\n\t"
      "adcxq %[tmp], %[t3]\n\t"
      "mulxq %[p3], %%rax, %[tmp]\n\t"
      "adoxq %%rax, %[t3]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[tmp]\n\t"
      "adoxq %%rax, %[tmp]\n\t"
      "movq %[t1], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[p0], %%rax, %[t0]\n\t"
      "adcxq %[t1], %%rax\n\t"
      "adcxq %[t0], %[t2]\n\t"
      "mulxq %[p1], %%rax, %[t0]\n\t"
      "adoxq %%rax, %[t2]\n\t"
      "adcxq %[t0], %[t3]\n\t"
      "mulxq %[p2], %%rax, %[t0]\n\t"
      "adoxq %%rax, %[t3]\n\t"
      "adcxq %[t0], %[tmp]\n\t"
      "mulxq %[p3], %%rax, %[t0]\n\t"
      "adoxq %%rax, %[tmp]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[t0]\n\t"
      "adoxq %%rax, %[t0]\n\t"
      "movq %[t2], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[p0], %%rax, %[t1]\n\t"
      "adcxq %[t2], %%rax\n\t"
      "adcxq %[t1], %[t3]\n\t"
      "mulxq %[p1], %%rax, %[t1]\n\t"
      "adoxq %%rax, %[t3]\n\t"
      "adcxq %[t1], %[tmp]\n\t"
      "mulxq %[p2], %%rax, %[t1]\n\t"
      "adoxq %%rax, %[tmp]\n\t"
      "adcxq %[t1], %[t0]\n\t"
      "mulxq %[p3], %%rax, %[t1]\n\t"
      "adoxq %%rax, %[t0]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[t1]\n\t"
      "adoxq %%rax, %[t1]\n\t"
      "movq %[t3], %%rdx\n\t"
      "imulq %[inv], %%rdx\n\t"
      "xorq %%rax, %%rax\n\t"
      "mulxq %[p0], %%rax, %[t2]\n\t"
      "adcxq %[t3], %%rax\n\t"
      "adcxq %[t2], %[tmp]\n\t"
      "mulxq %[p1], %%rax, %[t2]\n\t"
      "adoxq %%rax, %[tmp]\n\t"
      "adcxq %[t2], %[t0]\n\t"
      "mulxq %[p2], %%rax, %[t2]\n\t"
      "adoxq %%rax, %[t0]\n\t"
      "adcxq %[t2], %[t1]\n\t"
      "mulxq %[p3], %%rax, %[t2]\n\t"
      "adoxq %%rax, %[t1]\n\t"
      "movq $0, %%rax\n\t"
      "adcxq %%rax, %[t2]\n\t"
      "adoxq %%rax, %[t2]\n\t"
      "addq %[t4], %[tmp]\n\t"
      "adcq %[t5], %[t0]\n\t"
      "adcq %[t6], %[t1]\n\t"
      "adcq %[t7], %[t2]\n\t"
      "movq %[tmp], %[t4]\n\t"
      "movq %[t0], %[t5]\n\t"
      "movq %[t1], %[t6]\n\t"
      "movq %[t2], %[t7]\n\t"
      "subq %[p0], %[t4]\n\t"
      "sbbq %[p1], %[t5]\n\t"
      "sbbq %[p2], %[t6]\n\t"
      "sbbq %[p3], %[t7]\n\t"
      "cmovncq %[t4], %[tmp]\n\t"
      "cmovncq %[t5], %[t0]\n\t"
      "cmovncq %[t6], %[t1]\n\t"
      "cmovncq %[t7], %[t2]\n\t"
      : [t0] "=&r"(t0), [t1] "=&r"(t1), [t2] "=&r"(t2), [t3] "=&r"(t3), [t4] "=&r"(t4), [t5] "=&r"(t5),
        [t6] "=&r"(t6), [t7] "=&r"(t7), [tmp] "=&r"(tmp)
      // Memory operands, not pointers in registers: the kernel needs nine registers of its own besides
      // rax and rdx, which leaves none to spare in instrumented builds.
      : [a0] "m"(a[0]), [a1] "m"(a[1]), [a2] "m"(a[2]), [a3] "m"(a[3]), [p0] "m"(p[0]), [p1] "m"(p[1]),
        [p2] "m"(p[2]), [p3] "m"(p[3]), [inv] "m"(inv)
      : "rax", "rdx", "cc");
  return {tmp, t0, t1, t2};
#endif
}

}  // namespace tarvo::montgomery

#endif  // TARVO_X86_64
