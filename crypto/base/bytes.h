// Byte orders and hexadecimal text, written once for every layer: 256-bit integers as four 64-bit limbs
// (least significant first) to and from 32 bytes in either byte order, the value of a hexadecimal digit
// and lowercase hexadecimal encoding. Everything here runs in constant time: no branch and no memory
// index depends on the bytes or digits, so keys and nonces may pass through.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "crypto/base/error.h"

namespace tarvo {

using Limbs = std::array<uint64_t, 4>;

// 32 bytes read as a little-endian 256-bit integer: byte 0 is the least significant.
inline Limbs limbs_from_le_bytes(std::span<const uint8_t, 32> bytes) {
  Limbs limbs{};
  for (size_t i = 0; i < 32; ++i) limbs[i / 8] |= uint64_t{bytes[i]} << (8 * (i % 8));
  return limbs;
}

// 32 bytes read as a big-endian 256-bit integer: byte 0 is the most significant.
inline Limbs limbs_from_be_bytes(std::span<const uint8_t, 32> bytes) {
  Limbs limbs{};
  for (size_t i = 0; i < 32; ++i) limbs[3 - i / 8] |= uint64_t{bytes[i]} << (8 * (7 - i % 8));
  return limbs;
}

inline std::array<uint8_t, 32> limbs_to_le_bytes(const Limbs& limbs) {
  std::array<uint8_t, 32> bytes{};
  for (size_t i = 0; i < 32; ++i) bytes[i] = static_cast<uint8_t>(limbs[i / 8] >> (8 * (i % 8)));
  return bytes;
}

inline std::array<uint8_t, 32> limbs_to_be_bytes(const Limbs& limbs) {
  std::array<uint8_t, 32> bytes{};
  for (size_t i = 0; i < 32; ++i) bytes[i] = static_cast<uint8_t>(limbs[3 - i / 8] >> (8 * (7 - i % 8)));
  return bytes;
}

// The value of a hexadecimal digit of either case, or a value above 15 (bit 8 set) for any other
// character.
inline int32_t hex_digit_value(char c) {
  const int32_t x = static_cast<uint8_t>(c);
  // All ones when lo <= x <= hi, else zero.
  const auto in_range = [x](int32_t lo, int32_t hi) { return ~(((x - lo) | (hi - x)) >> 31); };
  const int32_t digit = in_range('0', '9'), lower = in_range('a', 'f'), upper = in_range('A', 'F');
  const int32_t value = ((x - '0') & digit) | ((x - 'a' + 10) & lower) | ((x - 'A' + 10) & upper);
  return value | (~(digit | lower | upper) & 0x100);
}

// `prefix` followed by two lowercase hexadecimal digits per byte, in the order given, built in one
// buffer (no partial copy of a secret is left behind by reallocation).
std::string hex_encode(std::span<const uint8_t> bytes, std::string_view prefix = "");

// "0x" followed by the limbs from the most significant down, 16 lowercase digits each.
inline std::string limbs_to_hex(const Limbs& limbs) { return hex_encode(limbs_to_be_bytes(limbs), "0x"); }

// The error of a hexadecimal text with a non-digit at byte `index`: "Invalid character '{c}' at position
// {position}", where c is the whole UTF-8 character starting there.
Error invalid_hex_character(std::string_view text, size_t index, size_t position);

}  // namespace tarvo
