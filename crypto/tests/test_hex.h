// Test data helpers: 256-bit values written as "0x" and 64 hexadecimal digits, most significant first.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "crypto/field/limbs.h"

namespace tarvo::test {

inline Limbs limbs_from_hex(std::string_view hex) {
  if (hex.substr(0, 2) == "0x") hex.remove_prefix(2);
  if (hex.size() != 64) throw std::invalid_argument("test value needs 64 digits");
  Limbs limbs{};
  for (size_t i = 0; i < 64; ++i) {
    const char c = hex[i];
    const uint64_t digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    limbs[3 - i / 16] |= digit << (4 * (15 - i % 16));
  }
  return limbs;
}

inline std::array<uint8_t, 32> le_bytes(const Limbs& limbs) {
  std::array<uint8_t, 32> bytes{};
  for (size_t i = 0; i < 32; ++i) bytes[i] = static_cast<uint8_t>(limbs[i / 8] >> (8 * (i % 8)));
  return bytes;
}

inline std::array<uint8_t, 32> le_bytes_from_hex(std::string_view hex) {
  return le_bytes(limbs_from_hex(hex));
}

}  // namespace tarvo::test
