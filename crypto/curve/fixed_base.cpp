#include "crypto/curve/fixed_base.h"

#include <openssl/crypto.h>

#include <bit>
#include <cstring>

#include "crypto/base/cpu_features.h"
#include "crypto/base/fatal.h"
#include "crypto/base/target.h"
#include "crypto/curve/select.h"
#include "crypto/field/lazy_fr_x86_64.h"

#if TARVO_X86_64
#include <immintrin.h>
#endif

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

#if TARVO_X86_64

// The additions with the MULX/ADCX/ADOX multiplication named directly, no dispatch per operation, and
// partly reduced values: the multiplication takes factors with a·b < p·2^256 (then its result is below 2p,
// and its running sum below a + p < 2^256 for a first factor a < 2^256 − p), which p < 2^256 / 5 leaves
// room for. The bound of every value is stated where it is made; all values are congruent to the field
// elements of the plain additions above.
namespace partly_reduced {

using namespace lazy_fr;

// An extended point with x, y, t below 2p and z below p.
struct LazyPoint {
  Limbs x, y, t, z;

  TARVO_KERNEL explicit LazyPoint(const Point<PrimeOrder>& p)
      : x(p.x.montgomery_form()),
        y(p.y.montgomery_form()),
        t(p.t.montgomery_form()),
        z(p.z.montgomery_form()) {}
  TARVO_KERNEL LazyPoint(const Limbs& x, const Limbs& y, const Limbs& t, const Limbs& z)
      : x(x), y(y), t(t), z(z) {}
};

struct Product {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return product(a, b); }
};
struct ReducedProduct {
  TARVO_KERNEL Limbs operator()(const Limbs& a, const Limbs& b) const { return reduced_product(a, b); }
};

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

TARVO_KERNEL Fr reduced(Limbs value) {
  montgomery::subtract_if_not_below_cmov(value, kP);
  return Fr::from_montgomery_form(value);
}

TARVO_KERNEL Point<PrimeOrder> to_point(const LazyPoint& p) {
  return {reduced(p.x), reduced(p.y), reduced(p.t), Fr::from_montgomery_form(p.z)};
}

}  // namespace partly_reduced

#endif

TARVO_KERNEL Point<PrimeOrder> to_point(const Point<PrimeOrder>& p) { return p; }

// Σ digits[j]·2^(kWindowBits·j)·base, with the additions on Accumulator: Point<PrimeOrder>, or a point of
// partly reduced values.
template <typename Scan, typename Accumulator>
TARVO_KERNEL Point<PrimeOrder> sum_of_windows(const std::vector<Window>& windows, const Digits& digits) {
  // The first window's entry is the starting point.
  Scan scan(windows[0], digits[0]);
  scan.all_steps();
  Accumulator acc(to_extended(scan.entry()));
  scan = Scan(windows[1], digits[1]);
  scan.all_steps();
  for (size_t j = 1; j + 1 < kWindows; ++j) {
    Scan next(windows[j + 1], digits[j + 1]);
    acc = add_signed(acc, scan.entry(), scan.negative(), next);
    scan = next;
  }
  NothingBetween nothing;  // the last addition: nothing is left to scan
  return to_point(add_signed(acc, scan.entry(), scan.negative(), nothing));
}

Point<PrimeOrder> sum_of_windows_portable(const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<WindowScan<uint32_t __attribute__((vector_size(16)))>, Point<PrimeOrder>>(windows,
                                                                                                  digits);
}

#if TARVO_X86_64

__attribute__((target("avx2"))) Point<PrimeOrder> sum_of_windows_avx2_adx(const std::vector<Window>& windows,
                                                                          const Digits& digits) {
  return sum_of_windows<WindowScan<uint32_t __attribute__((vector_size(32)))>, partly_reduced::LazyPoint>(
      windows, digits);
}

#define TARVO_AVX512 inline __attribute__((target("avx512f,avx512vl,avx512bw")))

// WindowScan with AVX-512: one comparison per entry into a mask register, under which two blends take the
// entry's 64 and 32 bytes (about half the instructions of the AVX2 scan). Its functions need the target's
// instructions, so they cannot be forced inline into the generic additions; sum_of_windows_avx512_adx
// flattens them into itself.
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

 private:
  static constexpr int kEntriesPerStep = kEntries / STEPS;
  static_assert(sizeof(AffineCachedPoint) == 96);
  __m512i low_;
  __m256i high_;
  __m512i wanted_;
  const unsigned char* next_;
  uint32_t negative_;
};

__attribute__((target("avx512f,avx512vl,avx512bw"), flatten)) Point<PrimeOrder> sum_of_windows_avx512_adx(
    const std::vector<Window>& windows, const Digits& digits) {
  return sum_of_windows<WindowScanAvx512, partly_reduced::LazyPoint>(windows, digits);
}

#endif

}  // namespace

FixedBaseTable::FixedBaseTable(std::span<const AffineLimbs> multiples, const CurveCoefficient& curve)
    : windows_(WINDOWS) {
  ensure(multiples.size() == WINDOWS * ENTRIES, "fixed-base table size");
  const Fr twice_d = curve.edwards_d().doubled();
  for (size_t i = 0; i < multiples.size(); ++i) {
    const Result<Fr> x = Fr::from_repr(multiples[i].x), y = Fr::from_repr(multiples[i].y);
    ensure(x.ok() && y.ok(), "fixed-base table entry out of range");
    windows_[i / ENTRIES][i % ENTRIES] = to_affine_cached(*x, *y, twice_d);
  }
}

std::vector<AffineLimbs> FixedBaseTable::multiples(const Point<PrimeOrder>& base,
                                                   const CurveCoefficient& curve) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::vector<Point<PrimeOrder>> points;
  points.reserve(WINDOWS * ENTRIES);
  Point<PrimeOrder> power = base;  // 2^(WINDOW_BITS·j)·base
  for (size_t j = 0; j < WINDOWS; ++j) {
    Point<PrimeOrder> multiple = power;
    for (size_t i = 1; i <= ENTRIES; ++i) {
      points.push_back(multiple);
      multiple = add(multiple, power, curve);
    }
    for (unsigned d = 0; d < WINDOW_BITS; ++d) power = doubled(power);
  }
  std::vector<AffineLimbs> affine;
  affine.reserve(points.size());
  for (const auto& [x, y] : to_affine_var(points)) affine.push_back({x.into_repr(), y.into_repr()});
  return affine;
}

std::vector<FixedBaseTable::Kernels> FixedBaseTable::available_kernels() {
  std::vector<Kernels> kernels = {Kernels::portable};
#if TARVO_X86_64
  const CpuFeatures& cpu = cpu_features();
  if (cpu.adx && cpu.avx2) kernels.push_back(Kernels::avx2_adx);
  if (cpu.adx && cpu.avx512) kernels.push_back(Kernels::avx512_adx);
#endif
  return kernels;
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k) const {
  static const Kernels fastest = available_kernels().back();
  return mul(k, fastest);
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k, Kernels kernels) const {
  Limbs bits = k.into_repr();
  Digits digits = signed_digits(bits);
  Point<PrimeOrder> product;
  switch (kernels) {
#if TARVO_X86_64
    case Kernels::avx2_adx:
      product = sum_of_windows_avx2_adx(windows_, digits);
      break;
    case Kernels::avx512_adx:
      product = sum_of_windows_avx512_adx(windows_, digits);
      break;
#endif
    default:
      product = sum_of_windows_portable(windows_, digits);
  }
  OPENSSL_cleanse(bits.data(), sizeof bits);
  OPENSSL_cleanse(digits.data(), sizeof digits);
  return product;
}

}  // namespace tarvo::edwards
