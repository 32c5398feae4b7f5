// U256: 256-bit unsigned integer, four 64-bit limbs, least significant first.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "crypto/base/result.h"

namespace tarvo {

// Invariant: none beyond the limb order; every 256-bit pattern is a valid value. Arithmetic wraps
// modulo 2^256 (no transaction layout comes near the bound).
struct U256 {
  std::array<uint64_t, 4> limbs{};

  static constexpr U256 from_u64(uint64_t v) { return U256{{v, 0, 0, 0}}; }
  static constexpr U256 from_u128(unsigned __int128 v) {
    return U256{{static_cast<uint64_t>(v), static_cast<uint64_t>(v >> 64), 0, 0}};
  }
  // Refuses negative values with "Unsigned integer can't be created from negative value".
  static Result<U256> from_i128(__int128 v);
  static U256 from_le_bytes(std::span<const uint8_t, 32> bytes);
  static U256 from_be_bytes(std::span<const uint8_t, 32> bytes);

  // The shared hexadecimal text rule: one optional leading "0x", at most 64 digits, an odd count read
  // as if a 0 were prepended, digits case-insensitive, empty means 0. Errors: "Invalid string
  // length", "Invalid character '{c}' at position {i}" (i is the byte index after the padding 0;
  // c is the whole UTF-8 character found there).
  static Result<U256> from_hex(std::string_view text);

  std::array<uint8_t, 32> to_le_bytes() const;
  std::array<uint8_t, 32> to_be_bytes() const;
  // "0x" followed by exactly 64 lowercase digits, most significant first.
  std::string to_hex() const;

  bool is_zero() const { return (limbs[0] | limbs[1] | limbs[2] | limbs[3]) == 0; }
  // Bits moved past bit 255 are dropped.
  U256 shl(unsigned bits) const;

  friend U256 operator+(const U256& a, const U256& b);
  friend bool operator==(const U256& a, const U256& b) = default;
};

// Removes every leading "0x", then every leading "0X" (0x0X12 becomes 12, 0X0x12 becomes 0x12).
std::string_view trim_hex_prefixes(std::string_view text);

}  // namespace tarvo
