// The SHA-256 compression on the ARMv8 SHA-2 instructions. SHA256H and SHA256H2 do four rounds on the
// chaining value held as (A, B, C, D) and (E, F, G, H); SHA256SU0/SU1 extend the message schedule four
// words at a time. The rounds of a block form one dependency chain, so two independent blocks interleaved
// take about the time of one. No branch or memory index depends on the data.
#include "crypto/base/kernel.h"
#include "crypto/base/sha256.h"
#include "crypto/base/target.h"

#if TARVO_AARCH64
#include <arm_neon.h>
#endif

namespace tarvo::sha256_kernel {

#if TARVO_AARCH64

namespace {

// Compresses blocks[i] into states[i] for every i, the N chains interleaved four rounds at a time.
template <size_t N>
TARVO_VECTOR_KERNEL TARVO_TARGET_ARMV8_SHA2 void compress_interleaved(
    const std::array<Sha256State*, N>& states, const std::array<const Sha256Block*, N>& blocks) {
  uint32x4_t abcd[N], efgh[N], initial_abcd[N], initial_efgh[N];
  uint32x4_t words[N][4];  // the schedule's next 16 words, a ring of four groups
  for (size_t n = 0; n < N; ++n) {
    abcd[n] = initial_abcd[n] = vld1q_u32(&(*states[n])[0]);
    efgh[n] = initial_efgh[n] = vld1q_u32(&(*states[n])[4]);
    for (size_t g = 0; g < 4; ++g) words[n][g] = vld1q_u32(blocks[n]->data() + 4 * g);
  }
#pragma GCC unroll 16
  for (size_t group = 0; group < 16; ++group) {
    const uint32x4_t constants = vld1q_u32(&ROUND_CONSTANTS[4 * group]);
    for (size_t n = 0; n < N; ++n) {
      uint32x4_t* w = words[n];
      const uint32x4_t keyed = vaddq_u32(w[group % 4], constants);
      if (group < 12) {  // W[t+16..t+19] in place of W[t..t+3]; compile-time after unrolling
        w[group % 4] = vsha256su1q_u32(vsha256su0q_u32(w[group % 4], w[(group + 1) % 4]), w[(group + 2) % 4],
                                       w[(group + 3) % 4]);
      }
      const uint32x4_t previous_abcd = abcd[n];
      abcd[n] = vsha256hq_u32(abcd[n], efgh[n], keyed);
      efgh[n] = vsha256h2q_u32(efgh[n], previous_abcd, keyed);
    }
    // Every chain's rounds of this group before any of the next group, as on x86-64.
    for (size_t n = 0; n < N; ++n) asm volatile("" : "+w"(abcd[n]), "+w"(efgh[n]));
  }
  for (size_t n = 0; n < N; ++n) {
    vst1q_u32(&(*states[n])[0], vaddq_u32(abcd[n], initial_abcd[n]));
    vst1q_u32(&(*states[n])[4], vaddq_u32(efgh[n], initial_efgh[n]));
  }
}

}  // namespace

TARVO_TARGET_ARMV8_SHA2 void compress_armv8(Sha256State& state, const Sha256Block& block) {
  compress_interleaved<1>({&state}, {&block});
}

TARVO_TARGET_ARMV8_SHA2 void compress_pair_armv8(Sha256State& first, const Sha256Block& first_block,
                                                 Sha256State& second, const Sha256Block& second_block) {
  compress_interleaved<2>({&first, &second}, {&first_block, &second_block});
}

#endif

}  // namespace tarvo::sha256_kernel
