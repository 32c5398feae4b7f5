// The constant-time scan of a fixed-base window (fixed_base_constants.h) for a signed digit's entry, in
// portable C++ with vectors of 32-bit lanes: 16 bytes per instruction on every 64-bit target, 32 with
// AVX2 on x86-64. The AVX-512 scan is window_scan_avx512_x86_64.h. The fixed-base kernels (fixed_base.cpp)
// run the scans in steps between the multiplications of their additions.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "crypto/base/kernel.h"
#include "crypto/base/target.h"
#include "crypto/curve/fixed_base_constants.h"
#include "crypto/curve/signed_digits.h"

namespace tarvo::edwards::fixed_base {

constexpr AffineCachedPoint kNeutral{};

// The lookup of a signed digit's entry in one window: window[|digit| − 1] with y + x and y − x exchanged
// for a negative digit (which leaves the negation of 2d·x·y to the addition), the neutral element for 0.
// Every entry is read and blended alike, so the digit steers neither a branch nor an address. The scan
// runs in steps, spread between the multiplications of the previous window's addition: it needs the
// vector units and the loads, the multiplications the integer multiplier, so the CPU runs both at once.
// Lanes is a vector of 32-bit lanes: 16 bytes (SSE2, NEON) or 32 (AVX2).
template <typename Lanes>
class WindowScan {
 public:
  static constexpr size_t STEPS = 8;

  TARVO_KERNEL WindowScan(const Window& window, int digit)
      : next_(reinterpret_cast<const unsigned char*>(window.data())) {
    const auto [magnitude, negative] = magnitude_and_sign(digit);
    negative_ = negative;
    const unsigned char* neutral = reinterpret_cast<const unsigned char*>(&kNeutral);
    const Lanes is_zero = (Lanes)(Lanes{} + magnitude == Lanes{});
    std::memcpy(selected_.data(), neutral, sizeof selected_);
    for (Lanes& v : selected_) v &= is_zero;
    wanted_ = magnitude - 1;  // past the end for magnitude 0
  }

  // The Step-th of STEPS equal parts of the window.
  template <size_t Step>
  TARVO_KERNEL void step() {
    static_assert(Step < STEPS);
    for (uint32_t i = Step * ENTRIESPerStep; i < (Step + 1) * ENTRIESPerStep; ++i) {
      const unsigned char* entry = next_ + i * sizeof(AffineCachedPoint);
      for (size_t v = 0; v < kVectors; ++v) {
        Lanes lanes;
        std::memcpy(&lanes, entry + v * sizeof lanes, sizeof lanes);
        selected_[v] = (Lanes{} + wanted_ == Lanes{} + i) ? lanes : selected_[v];
      }
    }
  }

  TARVO_KERNEL void all_steps() {
    static_assert(STEPS == 8);
    step<0>(), step<1>(), step<2>(), step<3>(), step<4>(), step<5>(), step<6>(), step<7>();
  }

  // After all steps.
  TARVO_KERNEL AffineCachedPoint entry() {
    const Lanes exchange = Lanes{} - negative_;
    for (size_t v = 0; v < kThird; ++v) {
      const Lanes difference = (selected_[v] ^ selected_[v + kThird]) & exchange;
      selected_[v] ^= difference;
      selected_[v + kThird] ^= difference;
    }
    // Gathered lane by lane the words stay in registers, where a copy of the vectors would take a detour
    // through memory.
    std::array<uint32_t, sizeof(AffineCachedPoint) / sizeof(uint32_t)> words;
    for (size_t v = 0; v < kVectors; ++v) {
      for (size_t lane = 0; lane < kLanes; ++lane) words[v * kLanes + lane] = selected_[v][lane];
    }
    return std::bit_cast<AffineCachedPoint>(words);
  }

  uint64_t negative() const { return negative_; }

 private:
  static constexpr size_t kVectors = sizeof(AffineCachedPoint) / sizeof(Lanes), kThird = kVectors / 3;
  static constexpr size_t kLanes = sizeof(Lanes) / sizeof(uint32_t);
  static constexpr uint32_t ENTRIESPerStep = ENTRIES / STEPS;
  static_assert(kVectors * sizeof(Lanes) == sizeof(AffineCachedPoint) && kThird * 3 == kVectors);
  static_assert(ENTRIES % STEPS == 0 && std::is_trivially_copyable_v<AffineCachedPoint>);

  std::array<Lanes, kVectors> selected_;
  const unsigned char* next_;
  uint32_t wanted_;
  uint32_t negative_;
};

// The scan of 16 bytes per instruction, which every 64-bit target has.
using WindowScanPortable = WindowScan<uint32_t __attribute__((vector_size(16)))>;

#if TARVO_X86_64
// The scan with AVX2, in the portable code's form.
using WindowScanAvx2 = WindowScan<uint32_t __attribute__((vector_size(32)))>;
#endif

}  // namespace tarvo::edwards::fixed_base
