// Signed-digit recoding of secret scalars for the constant-time multiplications: half the table entries
// of unsigned digits, a negative digit costing only a negation of the selected entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "crypto/base/bytes.h"
#include "crypto/base/check.h"
#include "crypto/base/kernel.h"

namespace tarvo::edwards {

// Bits [bit, bit + Width) of k, zero beyond its 256 bits.
template <unsigned Width>
constexpr uint64_t window_bits(const Limbs& k, unsigned bit) {
  const size_t limb = bit / 64;
  if (limb >= k.size()) return 0;
  const unsigned shift = bit % 64;
  uint64_t value = k[limb] >> shift;
  if (shift + Width > 64 && limb + 1 < k.size()) value |= k[limb + 1] << (64 - shift);
  return value & ((uint64_t{1} << Width) - 1);
}

// Whether every digit lies in [−2^(Width−1), 2^(Width−1) − 1] (checked build, check.h), without a branch.
template <unsigned Width, size_t Count>
bool digits_within(const std::array<int8_t, Count>& digits) {
  bool all = true;
  for (const int8_t digit : digits) all &= static_cast<uint32_t>(digit + (1 << (Width - 1))) < (1u << Width);
  return all;
}

// k = Σ digits[j]·2^(Width·j) with every digit in [−2^(Width−1), 2^(Width−1) − 1], provided the last
// window of k is small enough to take the carry from below (the callers assert it). Branch-free: the
// scalar is secret.
template <unsigned Width, size_t Count>
std::array<int8_t, Count> signed_digits(const Limbs& k) {
  constexpr int kHalf = 1 << (Width - 1);
  std::array<int8_t, Count> digits{};
  int carry = 0;
  for (size_t j = 0; j < Count; ++j) {
    const int value = static_cast<int>(window_bits<Width>(k, static_cast<unsigned>(Width * j))) + carry;
    carry = (value + kHalf) >> Width;  // 1 when the value is 2^(Width−1) or more
    digits[j] = static_cast<int8_t>(value - (carry << Width));
  }
  TARVO_CHECK(carry == 0, "no carry left past the last digit");
  TARVO_CHECK(digits_within<Width>(digits), "signed digits within their range");
  return digits;
}

// The magnitude and the sign (1 for negative) of a digit, branch-free.
TARVO_KERNEL std::pair<uint32_t, uint32_t> magnitude_and_sign(int digit) {
  const uint32_t negative = static_cast<uint32_t>(digit) >> 31;
  const uint32_t magnitude = (static_cast<uint32_t>(digit) ^ (0 - negative)) + negative;
  return {magnitude, negative};
}

}  // namespace tarvo::edwards
