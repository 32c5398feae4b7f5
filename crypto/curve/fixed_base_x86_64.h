// The x86-64 kernels of the fixed-base multiplication (fixed_base.cpp), twins of those in
// fixed_base_portable.h: the scans of a window with AVX2 (32 bytes per instruction) and AVX-512 (64), and
// the additions with the MULX/ADCX/ADOX multiplication on partly reduced values. fixed_base.cpp runs them
// where the CPU has these instructions. Constant time: the digit steers neither a branch nor an address.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/fixed_base_portable.h"
#include "crypto/curve/partly_reduced_x86_64.h"

#if TARVO_X86_64

#include <immintrin.h>

namespace tarvo::edwards::fixed_base {

// The scan with AVX2, in the portable code's form.
using WindowScanAvx2 = WindowScan<uint32_t __attribute__((vector_size(32)))>;

}  // namespace tarvo::edwards::fixed_base

// The fixed-base addition on partly reduced values (partly_reduced_x86_64.h states their bounds).
namespace tarvo::edwards::partly_reduced {

// add_signed on partly reduced values.
template <typename NextScan>
TARVO_KERNEL LazyPoint add_signed(const LazyPoint& p, const AffineCachedPoint& q, uint64_t negative,
                                  NextScan& next) {
  const Limbs q_t2d = negated_if(q.t2d.montgomery_form(), negative);
  next.template step<0>();
  const auto [y_plus_x, y_minus_x] = sum_and_difference_plus_twice_p(p.y, p.x);  // below 4p
  const Limbs a = product(q.y_minus_x.montgomery_form(), y_minus_x);             // p·4p
  next.template step<1>();
  const Limbs b = product(q.y_plus_x.montgomery_form(), y_plus_x);  // p·4p
  next.template step<2>();
  const Limbs c = product(q_t2d, p.t);  // 2p·2p
  next.template step<3>();
  const Limbs d = sum(p.z, p.z);                                            // below 2p
  const Limbs e = difference_mod_twice_p(b, a), h = sum_mod_twice_p(b, a);  // below 2p
  const Limbs f = difference_mod_twice_p(d, c), g = sum_mod_twice_p(d, c);  // below 2p
  // Products of factors below 2p: x, y and t below 2p, z below p.
  return closing_step<LazyPoint, true, 4>(e, f, g, h, next, Product{}, ReducedProduct{});
}

}  // namespace tarvo::edwards::partly_reduced

namespace tarvo::edwards::fixed_base {

#define TARVO_AVX512 inline __attribute__((target("avx512f,avx512vl,avx512bw")))

// WindowScan with AVX-512: one comparison per entry into a mask register, under which two blends take the
// entry's 64 and 32 bytes (about half the instructions of the AVX2 scan). Its functions need the target's
// instructions, so they cannot be forced inline into the generic additions; the caller flattens them into
// a function compiled for the target (fixed_base.cpp's sum_of_windows_avx512_adx).
class WindowScanAvx512 {
 public:
  static constexpr size_t STEPS = 8;

  TARVO_AVX512 WindowScanAvx512(const Window& window, int digit)
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
  TARVO_AVX512 void step() {
    for (int i = Step * kEntriesPerStep; i < static_cast<int>((Step + 1) * kEntriesPerStep); ++i) {
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

  TARVO_AVX512 void all_steps() {
    static_assert(STEPS == 8);
    step<0>(), step<1>(), step<2>(), step<3>(), step<4>(), step<5>(), step<6>(), step<7>();
  }

  TARVO_AVX512 AffineCachedPoint entry() {
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
  TARVO_AVX512 __m512i sum_and_difference() const { return low_; }
  TARVO_AVX512 __m256i t2d() const { return high_; }

 private:
  static constexpr int kEntriesPerStep = kEntries / STEPS;
  static_assert(sizeof(AffineCachedPoint) == 96);
  __m512i low_;
  __m256i high_;
  __m512i wanted_;
  const unsigned char* next_;
  uint32_t negative_;
};

}  // namespace tarvo::edwards::fixed_base

#endif
