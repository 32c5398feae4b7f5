// The SHA-256 compression on the x86-64 SHA extensions. SHA256RNDS2 does two rounds on the chaining
// value held as (A, B, E, F) and (C, D, G, H); SHA256MSG1/MSG2 extend the message schedule four words at
// a time. The 32 round instructions of one block form a single dependency chain, so two independent
// blocks interleaved take about the time of one. No branch or memory index depends on the data.
#include "crypto/base/kernel.h"
#include "crypto/base/sha256.h"
#include "crypto/base/target.h"

#if TARVO_X86_64
#include <immintrin.h>
#endif

namespace tarvo::sha256_kernel {

#if TARVO_X86_64

namespace {

// One chaining value in the instructions' layout: A, B, E, F (A in the top lane) and C, D, G, H.
struct Lanes {
  __m128i abef;
  __m128i cdgh;
};

TARVO_VECTOR_KERNEL TARVO_TARGET_SHA Lanes load_state(const Sha256State& state) {
  const __m128i badc = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[0])), 0xB1);
  const __m128i hgfe = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&state[4])), 0x1B);
  return {_mm_alignr_epi8(badc, hgfe, 8), _mm_blend_epi16(hgfe, badc, 0xF0)};
}

TARVO_VECTOR_KERNEL TARVO_TARGET_SHA void store_state(const Lanes& lanes, Sha256State& state) {
  const __m128i abef = _mm_shuffle_epi32(lanes.abef, 0x1B);
  const __m128i ghcd = _mm_shuffle_epi32(lanes.cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[0]), _mm_blend_epi16(abef, ghcd, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&state[4]), _mm_alignr_epi8(ghcd, abef, 8));
}

// Compresses blocks[i] into states[i] for every i, the N chains interleaved round by round.
template <size_t N>
TARVO_VECTOR_KERNEL TARVO_TARGET_SHA void compress_interleaved(
    const std::array<Sha256State*, N>& states, const std::array<const Sha256Block*, N>& blocks) {
  Lanes lanes[N];
  Lanes initial[N];
  __m128i words[N][4];  // the schedule's last 16 words, a ring of four groups
  for (size_t n = 0; n < N; ++n) {
    lanes[n] = initial[n] = load_state(*states[n]);
    for (size_t g = 0; g < 4; ++g)
      words[n][g] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(blocks[n]->data() + 4 * g));
  }
#pragma GCC unroll 16
  for (size_t group = 0; group < 16; ++group) {
    const __m128i constants = _mm_load_si128(reinterpret_cast<const __m128i*>(&ROUND_CONSTANTS[4 * group]));
    for (size_t n = 0; n < N; ++n) {
      __m128i* w = words[n];
      if (group >= 4) {  // W[t..t+3] from W[t-16..t-1]; compile-time after unrolling
        __m128i& next = w[group % 4];
        next = _mm_sha256msg1_epu32(next, w[(group + 1) % 4]);
        next = _mm_add_epi32(next, _mm_alignr_epi8(w[(group + 3) % 4], w[(group + 2) % 4], 4));
        next = _mm_sha256msg2_epu32(next, w[(group + 3) % 4]);
      }
      const __m128i keyed = _mm_add_epi32(w[group % 4], constants);
      // Two rounds make the old (A, B, E, F) the new (C, D, G, H): the two registers swap roles.
      lanes[n].cdgh = _mm_sha256rnds2_epu32(lanes[n].cdgh, lanes[n].abef, keyed);
      lanes[n].abef = _mm_sha256rnds2_epu32(lanes[n].abef, lanes[n].cdgh, _mm_shuffle_epi32(keyed, 0x0E));
    }
    // Every chain's rounds of this group before any of the next group: clang would otherwise schedule the
    // chains one after the other, and the interleaving would be lost.
    for (size_t n = 0; n < N; ++n) asm volatile("" : "+x"(lanes[n].abef), "+x"(lanes[n].cdgh));
  }
  for (size_t n = 0; n < N; ++n) {
    lanes[n].abef = _mm_add_epi32(lanes[n].abef, initial[n].abef);
    lanes[n].cdgh = _mm_add_epi32(lanes[n].cdgh, initial[n].cdgh);
    store_state(lanes[n], *states[n]);
  }
}

}  // namespace

TARVO_TARGET_SHA void compress_sha_ni(Sha256State& state, const Sha256Block& block) {
  compress_interleaved<1>({&state}, {&block});
}

TARVO_TARGET_SHA void compress_pair_sha_ni(Sha256State& first, const Sha256Block& first_block,
                                           Sha256State& second, const Sha256Block& second_block) {
  compress_interleaved<2>({&first, &second}, {&first_block, &second_block});
}

#endif

}  // namespace tarvo::sha256_kernel
