#include "crypto/curve/fixed_base.h"

#include <openssl/crypto.h>

#include "crypto/base/fatal.h"
#include "crypto/curve/select.h"

namespace tarvo::edwards {

namespace {

// Signed base-16 digits of k < 2^252: k = Σ digits[j]·16^j with every digit in [−8, 7]. Branch-free:
// the scalar is secret.
std::array<int8_t, FixedBaseTable::WINDOWS> signed_digits(const Limbs& k) {
  std::array<int8_t, FixedBaseTable::WINDOWS> digits{};
  int carry = 0;
  for (size_t j = 0; j < digits.size(); ++j) {
    const int nibble = static_cast<int>((k[j / 16] >> (4 * (j % 16))) & 15) + carry;
    carry = (nibble + 8) >> 4;  // 1 when the nibble is 8 or more
    digits[j] = static_cast<int8_t>(nibble - (carry << 4));
  }
  return digits;
}

// The entry |digit|·16^j·base, negated for a negative digit; the neutral element for 0.
AffineCachedPoint lookup(const std::array<AffineCachedPoint, FixedBaseTable::ENTRIES>& table, int digit) {
  const uint64_t negative = static_cast<uint64_t>(digit) >> 63;  // 1 for a negative digit
  const uint64_t magnitude =
      static_cast<uint64_t>((digit ^ -static_cast<int>(negative)) + static_cast<int>(negative));
  const uint64_t nonzero = (magnitude | (0 - magnitude)) >> 63;
  // For digit 0 the index wraps past the table, so select() yields all zeros; the neutral element
  // replaces that.
  const AffineCachedPoint entry =
      conditional_select(AffineCachedPoint{}, select(table, magnitude - 1), nonzero);
  return conditional_select(entry, negate(entry), negative);
}

}  // namespace

FixedBaseTable::FixedBaseTable(const Point<PrimeOrder>& base, const JubjubParams& params) : tables_(WINDOWS) {
  // All multiples in extended form first, then one shared inversion to make them affine.
  std::vector<Point<PrimeOrder>> multiples;
  multiples.reserve(WINDOWS * ENTRIES);
  Point<PrimeOrder> power = base;  // 16^j·base
  for (size_t j = 0; j < WINDOWS; ++j) {
    Point<PrimeOrder> multiple = power;
    for (size_t i = 1; i <= ENTRIES; ++i) {
      multiples.push_back(multiple);
      multiple = add(multiple, power, params);
    }
    for (int d = 0; d < 4; ++d) power = doubled(power);
  }
  // Montgomery's trick: prefix products of z, one inversion, then each inverse in two multiplications.
  std::vector<Fr> prefix(multiples.size());
  Fr acc = Fr::one();
  for (size_t i = 0; i < multiples.size(); ++i) {
    prefix[i] = acc;
    acc *= multiples[i].z;
  }
  const std::optional<Fr> total_inverse = acc.inverse_var();  // multiples of a public base
  ensure(total_inverse.has_value(), "point with z = 0 has no affine form");
  Fr inverse = *total_inverse;
  const Fr d2 = params.edwards_d().doubled();
  for (size_t i = multiples.size(); i-- > 0;) {
    const Fr z_inverse = inverse * prefix[i];
    inverse *= multiples[i].z;
    const Fr x = multiples[i].x * z_inverse, y = multiples[i].y * z_inverse;
    tables_[i / ENTRIES][i % ENTRIES] = {y + x, y - x, d2 * x * y};
  }
}

Point<PrimeOrder> FixedBaseTable::mul(const Fs& k) const {
  Limbs bits = k.into_repr();
  std::array<int8_t, WINDOWS> digits = signed_digits(bits);
  Point<PrimeOrder> acc;
  for (size_t j = 0; j < WINDOWS; ++j) acc = add(acc, lookup(tables_[j], digits[j]));
  OPENSSL_cleanse(bits.data(), sizeof bits);
  OPENSSL_cleanse(digits.data(), sizeof digits);
  return acc;
}

}  // namespace tarvo::edwards
