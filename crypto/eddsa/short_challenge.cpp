#include "crypto/eddsa/short_challenge.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "crypto/field/fs.h"

namespace tarvo::eddsa {

namespace {

unsigned bit_length(const Limbs& a) {
  for (int i = 3; i >= 0; --i) {
    if (a[i] != 0) return static_cast<unsigned>(64 * i + std::bit_width(a[i]));
  }
  return 0;
}

// Bits shift .. shift + 127 of a.
u128 bits_from(const Limbs& a, unsigned shift) {
  const auto limb = [&a](unsigned i) { return i < 4 ? a[i] : 0; };
  const unsigned word = shift / 64, bit = shift % 64;
  const auto word_at = [&](unsigned i) {
    return bit == 0 ? limb(i) : (limb(i) >> bit) | (limb(i + 1) << (64 - bit));
  };
  return u128(word_at(word)) | (u128(word_at(word + 1)) << 64);
}

// a −= b, for b ≤ a.
void subtract(Limbs& a, const Limbs& b) {
  uint64_t borrow = 0;
  for (size_t i = 0; i < 4; ++i) a[i] = sub_with_borrow(a[i], b[i], borrow);
}

// a −= q·b, for q·b ≤ a.
void subtract_multiple(Limbs& a, const Limbs& b, u128 q) {
  Limbs product{};
  for (size_t j = 0; j < 2; ++j) {
    const uint64_t q_word = static_cast<uint64_t>(q >> (64 * j));
    uint64_t carry = 0;
    for (size_t i = 0; i + j < 4; ++i) {
      const u128 t = u128(b[i]) * q_word + product[i + j] + carry;
      product[i + j] = static_cast<uint64_t>(t);
      carry = static_cast<uint64_t>(t >> 64);
    }
  }
  subtract(a, product);
}

// Replaces a by a mod b (b > 0) and returns floor(a / b), which the caller knows to be below 2^128.
// Most quotients are small (1 in 42% of the steps, at most 3 in 68%), so b is first subtracted a few
// times. Each later round subtracts a multiple of b that the top 128 bits of a and b show to be at most
// the remaining quotient: the top of a rounded down over the top of b rounded up.
u128 reduce_var(Limbs& a, const Limbs& b) {
  constexpr u128 kSubtractions = 4;
  u128 quotient = 0;
  for (; quotient < kSubtractions && !limbs_less_var(a, b); ++quotient) subtract(a, b);
  while (!limbs_less_var(a, b)) {
    const unsigned shift = std::max(bit_length(a), 128u) - 128;
    const u128 b_top_ceiling = bits_from(b, shift) + 1;
    // b ≤ a, so the top of b wraps to zero only when both tops are all ones: then a < 2·b.
    const u128 estimate = b_top_ceiling == 0 ? 1 : std::max<u128>(1, bits_from(a, shift) / b_top_ceiling);
    subtract_multiple(a, b, estimate);
    quotient += estimate;
  }
  return quotient;
}

bool below_2_126(const Limbs& a) { return (a[3] | a[2] | (a[1] >> 62)) == 0; }

}  // namespace

// The remainders r_0 = l, r_1 = m, r_(i+1) = r_(i−1) mod r_i and their cofactors t_0 = 0, t_1 = 1,
// t_(i+1) = t_(i−1) − q_i·t_i keep r_i ≡ t_i·m (mod l). The cofactors alternate in sign, so their
// magnitudes add: |t_(i+1)| = |t_(i−1)| + q_i·|t_i|, and |t_(i+1)|·r_i + |t_i|·r_(i+1) = l for every i.
// At the first r_k below 2^126, r_(k−1) ≥ 2^126 (or k = 1, t_1 = 1), so |t_k| ≤ l / r_(k−1) < 2^125;
// the same bound holds for every cofactor and quotient on the way, which therefore fit 128 bits.
ShortChallenge short_challenge_var(const Limbs& m) {
  Limbs r_previous = FsParams::MODULUS, r = m;
  u128 t_previous = 0, t = 1;
  bool t_negative = false;
  while (!below_2_126(r)) {
    const u128 q = reduce_var(r_previous, r);
    std::swap(r_previous, r);
    t_previous += q * t;
    std::swap(t_previous, t);
    t_negative = !t_negative;
  }
  return {t, t_negative, u128(r[0]) | (u128(r[1]) << 64)};
}

}  // namespace tarvo::eddsa
