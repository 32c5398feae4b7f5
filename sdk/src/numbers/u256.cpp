#include "sdk/src/numbers/u256.h"

#include "crypto/base/bytes.h"

namespace tarvo {

Result<U256> U256::from_i128(__int128 v) {
  if (v < 0) return Error("Unsigned integer can't be created from negative value");
  return from_u128(static_cast<unsigned __int128>(v));
}

U256 U256::from_le_bytes(std::span<const uint8_t, 32> bytes) { return U256{limbs_from_le_bytes(bytes)}; }
U256 U256::from_be_bytes(std::span<const uint8_t, 32> bytes) { return U256{limbs_from_be_bytes(bytes)}; }
std::array<uint8_t, 32> U256::to_le_bytes() const { return limbs_to_le_bytes(limbs); }
std::array<uint8_t, 32> U256::to_be_bytes() const { return limbs_to_be_bytes(limbs); }
std::string U256::to_hex() const { return limbs_to_hex(limbs); }

Result<U256> U256::from_hex(std::string_view text) {
  if (text.starts_with("0x")) text.remove_prefix(2);
  if (text.size() > 64) return Error("Invalid string length");
  const size_t pad = text.size() % 2;  // an odd count reads as if a 0 stood in front
  U256 value;
  const size_t digits = text.size() + pad;
  for (size_t i = 0; i < text.size(); ++i) {
    const int32_t d = hex_digit_value(text[i]);
    if (d > 15) return invalid_hex_character(text, i, i + pad);
    const size_t nibble = digits - 1 - (i + pad);  // 0 is the least significant nibble
    value.limbs[nibble / 16] |= uint64_t(d) << (4 * (nibble % 16));
  }
  return value;
}

std::string_view trim_hex_prefixes(std::string_view text) {
  while (text.starts_with("0x")) text.remove_prefix(2);
  while (text.starts_with("0X")) text.remove_prefix(2);
  return text;
}

U256 U256::shl(unsigned bits) const {
  U256 r;
  if (bits >= 256) return r;
  const unsigned words = bits / 64, rem = bits % 64;
  for (int i = 3; i >= static_cast<int>(words); --i) {
    uint64_t v = limbs[i - words] << rem;
    if (rem != 0 && i - static_cast<int>(words) - 1 >= 0) v |= limbs[i - words - 1] >> (64 - rem);
    r.limbs[i] = v;
  }
  return r;
}

U256 operator+(const U256& a, const U256& b) {
  U256 r;
  unsigned __int128 carry = 0;
  for (int i = 0; i < 4; ++i) {
    carry += static_cast<unsigned __int128>(a.limbs[i]) + b.limbs[i];
    r.limbs[i] = static_cast<uint64_t>(carry);
    carry >>= 64;
  }
  return r;
}

}  // namespace tarvo
