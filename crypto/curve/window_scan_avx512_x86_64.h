// The constant-time scan of a fixed-base window with AVX-512, the twin of WindowScan (window_scan.h): the
// digit steers neither a branch nor an address.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "crypto/base/target.h"
#include "crypto/curve/window_scan.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::edwards::fixed_base {

// WindowScan with AVX-512: one comparison per entry into a mask register, under which two blends take the
// entry's 64 and 32 bytes (about half the instructions of the AVX2 scan). Its functions need the target's
// instructions, so they cannot be forced inline into the generic additions; the caller flattens them into
// a function compiled for the target (fixed_base.cpp's sum_of_windows_avx512_adx).
class WindowScanAvx512 {
 public:
  static constexpr size_t STEPS = 8;

  inline TARVO_TARGET_AVX512 WindowScanAvx512(const Window& window, int digit)
      : next_(reinterpret_cast<const unsigned char*>(window.data())) {
    const auto [magnitude, negative] = magnitude_and_sign(digit);
    negative_ = negative;
    const unsigned char* neutral = reinterpret_cast<const unsigned char*>(&kNeutral);
    const __mmask16 is_zero =
        _mm512_cmpeq_epi32_mask(_mm512_set1_epi32(static_cast<int>(magnitude)), _mm512_setzero_si512());
    __m512i low = _mm512_loadu_si512(neutral);
    __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(neutral + 64));
    asm("" : "+v"(low), "+v"(high));  // as in step()
    low_ = _mm512_maskz_mov_epi32(is_zero, low);
    high_ = _mm256_maskz_mov_epi32(static_cast<__mmask8>(is_zero), high);
    wanted_ = _mm512_set1_epi32(static_cast<int>(magnitude - 1));  // past the end for magnitude 0
  }

  // The Step-th of STEPS equal parts of the window.
  template <size_t Step>
  inline TARVO_TARGET_AVX512 void step() {
    for (int i = Step * ENTRIESPerStep; i < static_cast<int>((Step + 1) * ENTRIESPerStep); ++i) {
      const unsigned char* entry = next_ + i * sizeof(AffineCachedPoint);
      const __mmask16 hit = _mm512_cmpeq_epi32_mask(wanted_, _mm512_set1_epi32(i));
      __m512i low = _mm512_loadu_si512(entry);
      __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(entry + 64));
      // Whole loads, then blends in registers: a load under the mask is not left for the compiler to make.
      asm("" : "+v"(low), "+v"(high));
      low_ = _mm512_mask_blend_epi32(hit, low_, low);
      high_ = _mm256_mask_blend_epi32(static_cast<__mmask8>(hit), high_, high);
    }
    // The step's blends stay here, between the multiplications of the addition it is interleaved with:
    // clang would otherwise gather the blends of all steps after the last multiplication.
    asm volatile("" : "+v"(low_), "+v"(high_));
  }

  inline TARVO_TARGET_AVX512 void all_steps() {
    static_assert(STEPS == 8);
    step<0>(), step<1>(), step<2>(), step<3>(), step<4>(), step<5>(), step<6>(), step<7>();
  }

  inline TARVO_TARGET_AVX512 AffineCachedPoint entry() {
    // y + x and y − x exchange halves for a negative digit.
    const __m512i low =
        _mm512_mask_shuffle_i64x2(low_, static_cast<__mmask8>(0 - negative_), low_, low_, 0x4e);
    std::array<unsigned char, sizeof(AffineCachedPoint)> bytes;
    _mm512_storeu_si512(bytes.data(), low);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes.data() + 64), high_);
    return std::bit_cast<AffineCachedPoint>(bytes);
  }

  uint64_t negative() const { return negative_; }

  // After all steps, for kernels that place the entry's values themselves: its y + x and y − x, not
  // exchanged for a negative digit, and its 2d·x·y.
  inline TARVO_TARGET_AVX512 __m512i sum_and_difference() const { return low_; }
  inline TARVO_TARGET_AVX512 __m256i t2d() const { return high_; }

 private:
  static constexpr int ENTRIESPerStep = ENTRIES / STEPS;
  static_assert(sizeof(AffineCachedPoint) == 96);
  __m512i low_;
  __m256i high_;
  __m512i wanted_;
  const unsigned char* next_;
  uint32_t negative_;
};

}  // namespace tarvo::edwards::fixed_base

#endif
