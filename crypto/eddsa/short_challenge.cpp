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

// a·u mod 2^256.
Limbs times(const Limbs& a, uint64_t u) {
  Limbs product;
  uint64_t carry = 0;
  for (size_t i = 0; i < 4; ++i) {
    const u128 t = u128(a[i]) * u + carry;
    product[i] = static_cast<uint64_t>(t);
    carry = static_cast<uint64_t>(t >> 64);
  }
  return product;
}

uint64_t magnitude(int64_t v) { return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v); }

// The quotients of one batch, as the matrix taking (x, y) to the remainders after them:
// (x, y) ← (a·x + b·y, c·x + d·y). a, b have opposite signs (or one is zero), and so have c, d.
struct Batch {
  int64_t a = 1, b = 0, c = 0, d = 1;
  unsigned steps = 0;
};

// Lehmer's step: the leading quotients of x / y found from x_top and y_top, the bits from some 2^shift up
// of x and y (x_top below 2^62). Scaled by 2^−shift, x and y after the quotients so far lie between
// x_top + a and x_top + b, and between y_top + c and y_top + d (the lower end included only where its
// cofactor is zero); a quotient is taken only when both ends give it, so it is the true one, and only
// while the remainder it leaves is surely at least `floor` (2^126 scaled). Stops at the first doubt.
Batch lehmer_batch(int64_t x_top, int64_t y_top, int64_t floor) {
  using i128 = __int128;
  constexpr i128 kLimit = i128{1} << 62;
  Batch m;
  for (;;) {
    if (y_top + std::min(m.c, m.d) <= 0 || x_top + std::min(m.a, m.b) < 0) break;
    const int64_t numerator = x_top + m.a, denominator = y_top + m.c;
    // Most quotients are below 4 (68%): counted without a division.
    const u128 n = static_cast<u128>(numerator), v = static_cast<u128>(denominator);
    const int64_t q = n >= 4 * v ? numerator / denominator : (n >= v) + (n >= 2 * v) + (n >= 3 * v);
    const i128 other = i128{q} * (y_top + m.d);
    if (q == 0 || other > x_top + m.b || x_top + m.b >= other + (y_top + m.d)) break;
    const i128 c = m.a - i128{q} * m.c, d = m.b - i128{q} * m.d, remainder = x_top - i128{q} * y_top;
    if (c <= -kLimit || c >= kLimit || d <= -kLimit || d >= kLimit || remainder + std::min(c, d) < floor)
      break;
    m = {m.c, m.d, static_cast<int64_t>(c), static_cast<int64_t>(d), m.steps + 1};
    x_top = y_top;
    y_top = static_cast<int64_t>(remainder);
  }
  return m;
}

// u·x + v·y for one row of a batch (u and v of opposite signs), a remainder and so below 2^256.
Limbs combine(int64_t u, const Limbs& x, int64_t v, const Limbs& y) {
  Limbs positive = v > 0 ? times(y, magnitude(v)) : times(x, magnitude(u));
  subtract(positive, v > 0 ? times(x, magnitude(u)) : times(y, magnitude(v)));
  return positive;
}

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
    // r_previous > r ≥ 2^126, so the shift is at least 65 and 2^126 scaled by it at most 2^61.
    const unsigned shift = bit_length(r_previous) - 62;
    const int64_t floor = shift >= 126 ? 1 : int64_t{1} << (126 - shift);
    const Batch batch = lehmer_batch(static_cast<int64_t>(bits_from(r_previous, shift)),
                                     static_cast<int64_t>(bits_from(r, shift)), floor);
    if (batch.steps == 0) {  // a quotient the tops do not settle: one step on the whole numbers
      const u128 q = reduce_var(r_previous, r);
      std::swap(r_previous, r);
      t_previous += q * t;
      std::swap(t_previous, t);
      t_negative = !t_negative;
      continue;
    }
    // The cofactors follow the same matrix; alternating in sign, their magnitudes add.
    const Limbs next_previous = combine(batch.a, r_previous, batch.b, r);
    r = combine(batch.c, r_previous, batch.d, r);
    r_previous = next_previous;
    const u128 next_t_previous = magnitude(batch.a) * t_previous + magnitude(batch.b) * t;
    t = magnitude(batch.c) * t_previous + magnitude(batch.d) * t;
    t_previous = next_t_previous;
    t_negative = t_negative != ((batch.steps & 1) != 0);
  }
  return {t, t_negative, u128(r[0]) | (u128(r[1]) << 64)};
}

}  // namespace tarvo::eddsa
