#include "crypto/curve/fixed_base.h"

#include <openssl/crypto.h>

#include <bit>
#include <cstring>

#include "crypto/base/fatal.h"
#include "crypto/base/target.h"
#include "crypto/curve/select.h"

namespace tarvo::edwards {

namespace {

using Window = FixedBaseTable::Window;
using Digits = std::array<int8_t, FixedBaseTable::WINDOWS>;
constexpr unsigned kWindowBits = FixedBaseTable::WINDOW_BITS;
constexpr size_t kWindows = FixedBaseTable::WINDOWS;
constexpr size_t kEntries = FixedBaseTable::ENTRIES;

// Bits [bit, bit + kWindowBits) of k.
constexpr uint64_t window_bits(const Limbs& k, unsigned bit) {
  const size_t limb = bit / 64;
  const unsigned shift = bit % 64;
  uint64_t value = k[limb] >> shift;
  if (shift + kWindowBits > 64 && limb + 1 < k.size()) value |= k[limb + 1] << (64 - shift);
  return value & ((uint64_t{1} << kWindowBits) - 1);
}

// The windows cover every bit of a scalar below l < 2^251, and the top digit, which takes the last carry,
// stays below kEntries, so that no carry is lost.
constexpr Limbs kLMinusOne = {Fs::characteristic()[0] - 1, Fs::characteristic()[1], Fs::characteristic()[2],
                              Fs::characteristic()[3]};
static_assert(kWindowBits * kWindows >= 251 && kLMinusOne[3] >> 59 == 0);
static_assert(window_bits(kLMinusOne, kWindowBits*(kWindows - 1)) + 1 < kEntries);

// Signed digits of k < l: k = Σ digits[j]·2^(kWindowBits·j) with every digit in [−kEntries, kEntries − 1].
// Branch-free: the scalar is secret.
Digits signed_digits(const Limbs& k) {
  Digits digits{};
  int carry = 0;
  for (size_t j = 0; j < digits.size(); ++j) {
    const int value = static_cast<int>(window_bits(k, static_cast<unsigned>(kWindowBits * j))) + carry;
    carry = (value + static_cast<int>(kEntries)) >> kWindowBits;  // 1 when the value is kEntries or more
    digits[j] = static_cast<int8_t>(value - (carry << kWindowBits));
  }
  return digits;
}

constexpr AffineCachedPoint kNeutral{};

// The magnitude and the sign (1 for negative) of a digit, branch-free.
TARVO_KERNEL std::pair<uint32_t, uint32_t> magnitude_and_sign(int digit) {
  const uint32_t negative = static_cast<uint32_t>(digit) >> 31;
  const uint32_t magnitude = (static_cast<uint32_t>(digit) ^ (0 - negative)) + negative;
  return {magnitude, negative};
}

// The lookup of a signed digit's entry in one window: window[|digit| − 1] with y + x and y − x exchanged
// for a negative digit (which leaves the negation of 2d·x·y to the addition), the neutral element for 0.
// Every entry is read and masked alike, so the digit steers neither a branch nor an address. The scan
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
    std::memcpy(selected_.data(), &kNeutral, sizeof kNeutral);
    const Lanes is_zero = (Lanes)(Lanes{} + magnitude == Lanes{});
    for (Lanes& v : selected_) v &= is_zero;
    wanted_ = Lanes{} + (magnitude - 1);  // past the end for magnitude 0
  }

  // One STEPS-th of the window.
  TARVO_KERNEL void step() {
    for (size_t i = 0; i < kEntries / STEPS; ++i, next_ += sizeof(AffineCachedPoint)) {
      const Lanes mask = (Lanes)(position_ == wanted_);
      for (size_t v = 0; v < kVectors; ++v) {
        Lanes lanes;
        std::memcpy(&lanes, next_ + v * sizeof lanes, sizeof lanes);
        selected_[v] |= lanes & mask;
      }
      position_ += 1;
    }
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
  static_assert(kVectors * sizeof(Lanes) == sizeof(AffineCachedPoint) && kThird * 3 == kVectors);
  static_assert(kEntries % STEPS == 0 && std::is_trivially_copyable_v<AffineCachedPoint>);

  std::array<Lanes, kVectors> selected_;
  Lanes wanted_;
  Lanes position_{};
  const unsigned char* next_;
  uint32_t negative_;
};

// For the last addition, after which nothing is left to scan.
struct NothingToScan {
  TARVO_KERNEL void step() {}
};

// p + q, or p − q when negative is 1 and q comes with y + x and y − x exchanged: negating q's 2d·x·y as well
// would negate c, which exchanges f and g. Between the multiplications, the steps of the next scan.
template <typename NextScan>
TARVO_KERNEL Point<PrimeOrder> add_signed(const Point<PrimeOrder>& p, const AffineCachedPoint& q,
                                          uint64_t negative, NextScan& next) {
  next.step();
  const Fr a = (p.y - p.x) * q.y_minus_x;
  next.step();
  const Fr b = (p.y + p.x) * q.y_plus_x;
  next.step();
  const Fr c = p.t * q.t2d;
  next.step();
  const Fr d = p.z.doubled();
  const Fr e = b - a, h = b + a, d_minus_c = d - c, d_plus_c = d + c;
  const Fr f = conditional_select(d_minus_c, d_plus_c, negative);
  const Fr g = conditional_select(d_plus_c, d_minus_c, negative);
  const Fr x = e * f;
  next.step();
  const Fr y = g * h;
  next.step();
  const Fr t = e * h;
  next.step();
  const Fr z = f * g;
  next.step();
  return {x, y, t, z};
}

// The prepared affine point (y + x, y − x, ·) in extended coordinates scaled by 4: (4x, 4y, 4xy, 4).
TARVO_KERNEL Point<PrimeOrder> to_extended(const AffineCachedPoint& q) {
  const Fr twice_x = q.y_plus_x - q.y_minus_x, twice_y = q.y_plus_x + q.y_minus_x;
  return {twice_x.doubled(), twice_y.doubled(), twice_x * twice_y, Fr::one().doubled().doubled()};
}

template <typename Lanes>
TARVO_KERNEL Point<PrimeOrder> sum_of_windows(const std::vector<Window>& windows, const Digits& digits) {
  // The first window's entry is the starting point.
  WindowScan<Lanes> scan(windows[0], digits[0]);
  for (size_t s = 0; s < WindowScan<Lanes>::STEPS; ++s) scan.step();
  Point<PrimeOrder> acc = to_extended(scan.entry());
  scan = WindowScan<Lanes>(windows[1], digits[1]);
  for (size_t s = 0; s < WindowScan<Lanes>::STEPS; ++s) scan.step();
  for (size_t j = 1; j + 1 < kWindows; ++j) {
    WindowScan<Lanes> next(windows[j + 1], digits[j + 1]);
    acc = add_signed(acc, scan.entry(), scan.negative(), next);
    scan = next;
  }
  NothingToScan nothing;
  return add_signed(acc, scan.entry(), scan.negative(), nothing);
}

Point<PrimeOrder> sum_of_windows_portable(const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<uint32_t __attribute__((vector_size(16)))>(windows, digits);
}

#if TARVO_X86_64
__attribute__((target("avx2"))) Point<PrimeOrder> sum_of_windows_avx2(const std::vector<Window>& windows,
                                                                      const Digits& digits) {
  return sum_of_windows<uint32_t __attribute__((vector_size(32)))>(windows, digits);
}
#endif

}  // namespace

FixedBaseTable::FixedBaseTable(std::span<const AffineLimbs> multiples, const JubjubParams& params)
    : windows_(WINDOWS) {
  ensure(multiples.size() == WINDOWS * ENTRIES, "fixed-base table size");
  const Fr twice_d = params.edwards_d().doubled();
  for (size_t i = 0; i < multiples.size(); ++i) {
    const Result<Fr> x = Fr::from_repr(multiples[i].x), y = Fr::from_repr(multiples[i].y);
    ensure(x.ok() && y.ok(), "fixed-base table entry out of range");
    windows_[i / ENTRIES][i % ENTRIES] = to_affine_cached(*x, *y, twice_d);
  }
}

std::vector<AffineLimbs> FixedBaseTable::multiples(const Point<PrimeOrder>& base,
                                                   const JubjubParams& params) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::vector<Point<PrimeOrder>> points;
  points.reserve(WINDOWS * ENTRIES);
  Point<PrimeOrder> power = base;  // 2^(WINDOW_BITS·j)·base
  for (size_t j = 0; j < WINDOWS; ++j) {
    Point<PrimeOrder> multiple = power;
    for (size_t i = 1; i <= ENTRIES; ++i) {
      points.push_back(multiple);
      multiple = add(multiple, power, params);
    }
    for (unsigned d = 0; d < WINDOW_BITS; ++d) power = doubled(power);
  }
  std::vector<AffineLimbs> affine;
  affine.reserve(points.size());
  for (const auto& [x, y] : to_affine_var(points)) affine.push_back({x.into_repr(), y.into_repr()});
  return affine;
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k) const {
  Limbs bits = k.into_repr();
  Digits digits = signed_digits(bits);
#if TARVO_X86_64
  static const bool has_avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  const Point<PrimeOrder> product =
      has_avx2 ? sum_of_windows_avx2(windows_, digits) : sum_of_windows_portable(windows_, digits);
#else
  const Point<PrimeOrder> product = sum_of_windows_portable(windows_, digits);
#endif
  OPENSSL_cleanse(bits.data(), sizeof bits);
  OPENSSL_cleanse(digits.data(), sizeof digits);
  return product;
}

}  // namespace tarvo::edwards
