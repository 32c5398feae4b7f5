// Dot products Σ a[t]·b[t]·2^-256 mod p of N field elements in Montgomery form, fully reduced, the same
// plus an addend c, and the multiply-add a·b·2^-256 + c mod p.
//
// The assembly kernel (montgomery_dot_x86_64.h) accumulates all N products before reducing: row by row over
// the limbs of b, the N products with b[t][i] join a six-word accumulator, then one Montgomery step (add m·p,
// m chosen to clear the low word) shifts it down by a word, as the interleaved (CIOS) multiplication does for
// one product. That is one reduction for the whole sum instead of one per product, and no modular addition.
// The result is (Σ a[t]·b[t] + M·p) / 2^256 with M < 2^256, below (N/4 + 1)·p for p < 2^254, brought
// below p by conditional subtractions of 2p and p. Constant time.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "crypto/base/kernel.h"
#include "crypto/field/montgomery.h"
#include "crypto/field/montgomery_dot_x86_64.h"

namespace tarvo::montgomery {

// Σ a[t]·b[t]·2^-256 mod p for a[t], b[t] < p; portable C++, one Montgomery product per term.
template <size_t N>
TARVO_KERNEL Limbs dot_portable(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& p,
                                uint64_t inv) {
  Limbs sum = mul_portable(a[0], b[0], p, inv);
#pragma GCC unroll 16
  for (size_t t = 1; t < N; ++t) sum = add_mod(sum, mul_portable(a[t], b[t], p, inv), p);
  return sum;
}

// Σ a[t]·b[t]·2^-256 + c mod p for a[t], b[t], c < p; portable C++.
template <size_t N>
TARVO_KERNEL Limbs dot_add_portable(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& c,
                                    const Limbs& p, uint64_t inv) {
  return add_mod(dot_portable<N>(a, b, p, inv), c, p);
}

// a·b·2^-256 + c mod p for a, c < p; portable C++.
TARVO_KERNEL Limbs mul_add_portable(const Limbs& a, const Limbs& b, const Limbs& c, const Limbs& p,
                                    uint64_t inv) {
  return add_mod(mul_portable(a, b, p, inv), c, p);
}

template <size_t N>
TARVO_KERNEL Limbs dot(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& p,
                       uint64_t inv) {
#if TARVO_X86_64
  if (cpu_has_adx()) return dot_adx<N>(a, b, p, inv);
#endif
  return dot_portable<N>(a, b, p, inv);
}

template <size_t N>
TARVO_KERNEL Limbs dot_add(std::span<const Limbs, N> a, std::span<const Limbs, N> b, const Limbs& c,
                           const Limbs& p, uint64_t inv) {
#if TARVO_X86_64
  if (cpu_has_adx()) return dot_add_adx<N>(a, b, c, p, inv);
#endif
  return dot_add_portable<N>(a, b, c, p, inv);
}

TARVO_KERNEL Limbs mul_add(const Limbs& a, const Limbs& b, const Limbs& c, const Limbs& p, uint64_t inv) {
#if TARVO_X86_64
  if (cpu_has_adx()) return mul_add_adx(a, b, c, p, inv);
#endif
  return mul_add_portable(a, b, c, p, inv);
}

}  // namespace tarvo::montgomery
