// The SHA-256 compression in plain C++ (FIPS 180-4, section 6.2.2): the kernel of every CPU without SHA
// instructions, and the reference the instruction kernels are tested against. Rotations, additions and
// bitwise selections only, the loops over public counts and unrolled: no branch and no memory index
// depends on the data.
#include <bit>

#include "crypto/base/sha256.h"

namespace tarvo::sha256_kernel {

namespace {

uint32_t big_sigma0(uint32_t x) { return std::rotr(x, 2) ^ std::rotr(x, 13) ^ std::rotr(x, 22); }
uint32_t big_sigma1(uint32_t x) { return std::rotr(x, 6) ^ std::rotr(x, 11) ^ std::rotr(x, 25); }
uint32_t small_sigma0(uint32_t x) { return std::rotr(x, 7) ^ std::rotr(x, 18) ^ (x >> 3); }
uint32_t small_sigma1(uint32_t x) { return std::rotr(x, 17) ^ std::rotr(x, 19) ^ (x >> 10); }
uint32_t choose(uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); }
uint32_t majority(uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); }

}  // namespace

void compress_portable(Sha256State& state, const Sha256Block& block) {
  Sha256Block w = block;  // the schedule's last 16 words, a ring
  uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
#pragma GCC unroll 64
  for (size_t t = 0; t < 64; ++t) {
    if (t >= 16) {  // compile-time after unrolling
      w[t % 16] += small_sigma1(w[(t + 14) % 16]) + w[(t + 9) % 16] + small_sigma0(w[(t + 1) % 16]);
    }
    const uint32_t t1 = h + big_sigma1(e) + choose(e, f, g) + ROUND_CONSTANTS[t] + w[t % 16];
    const uint32_t t2 = big_sigma0(a) + majority(a, b, c);
    h = g;
    g = f;
    f = e;
    e = d + t1;
    d = c;
    c = b;
    b = a;
    a = t1 + t2;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  state[4] += e;
  state[5] += f;
  state[6] += g;
  state[7] += h;
}

}  // namespace tarvo::sha256_kernel
