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
    const int32_t digit = hex_digit_value(hex[i]);
    if (digit > 15) throw std::invalid_argument("test value needs hexadecimal digits");
    limbs[3 - i / 16] |= uint64_t(digit) << (4 * (15 - i % 16));
  }
  return limbs;
}

inline std::array<uint8_t, 32> le_bytes_from_hex(std::string_view hex) {
  return limbs_to_le_bytes(limbs_from_hex(hex));
}

}  // namespace tarvo::test
