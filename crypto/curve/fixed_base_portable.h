// The kernels of the fixed-base multiplication (fixed_base.cpp) in portable C++: the constant-time scan of
// a window's entries and the addition of the entry it selects. The x86-64 scans with 32 and 64 bytes per
// instruction and the additions on partly reduced values are their twins in fixed_base_x86_64.h.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "crypto/base/kernel.h"
#include "crypto/curve/cached.h"
#include "crypto/curve/edwards.h"
#include "crypto/curve/fixed_base.h"
#include "crypto/curve/select.h"
#include "crypto/curve/signed_digits.h"

namespace tarvo::edwards::fixed_base {

using Window = FixedBaseTable::Window;
inline constexpr size_t kEntries = FixedBaseTable::ENTRIES;

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
    for (uint32_t i = Step * kEntriesPerStep; i < (Step + 1) * kEntriesPerStep; ++i) {
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
  static constexpr uint32_t kEntriesPerStep = kEntries / STEPS;
  static_assert(kVectors * sizeof(Lanes) == sizeof(AffineCachedPoint) && kThird * 3 == kVectors);
  static_assert(kEntries % STEPS == 0 && std::is_trivially_copyable_v<AffineCachedPoint>);

  std::array<Lanes, kVectors> selected_;
  const unsigned char* next_;
  uint32_t wanted_;
  uint32_t negative_;
};

// The scan of 16 bytes per instruction, which every 64-bit target has.
using WindowScanPortable = WindowScan<uint32_t __attribute__((vector_size(16)))>;

// p + q, or p − q when negative is 1 and q comes with y + x and y − x exchanged: negating q's 2d·x·y as well
// would negate c, which exchanges f and g. Between the multiplications, the steps of the next scan.
template <typename NextScan>
TARVO_KERNEL Point<PrimeOrder> add_signed(const Point<PrimeOrder>& p, const AffineCachedPoint& q,
                                          uint64_t negative, NextScan& next) {
  next.template step<0>();
  const Fr a = (p.y - p.x) * q.y_minus_x;
  next.template step<1>();
  const Fr b = (p.y + p.x) * q.y_plus_x;
  next.template step<2>();
  const Fr c = p.t * q.t2d;
  next.template step<3>();
  const Fr d = p.z.doubled();
  const Fr e = b - a, h = b + a, d_minus_c = d - c, d_plus_c = d + c;
  const Fr f = conditional_select(d_minus_c, d_plus_c, negative);
  const Fr g = conditional_select(d_plus_c, d_minus_c, negative);
  return closing_step<Point<PrimeOrder>, true, 4>(e, f, g, h, next);
}

// The prepared affine point (y + x, y − x, ·) in extended coordinates scaled by 4: (4x, 4y, 4xy, 4).
TARVO_KERNEL Point<PrimeOrder> to_extended(const AffineCachedPoint& q) {
  const Fr twice_x = q.y_plus_x - q.y_minus_x, twice_y = q.y_plus_x + q.y_minus_x;
  return {twice_x.doubled(), twice_y.doubled(), twice_x * twice_y, Fr::one().doubled().doubled()};
}

// The sum of add_signed as a point: itself.
TARVO_KERNEL Point<PrimeOrder> to_point(const Point<PrimeOrder>& p) { return p; }

}  // namespace tarvo::edwards::fixed_base
