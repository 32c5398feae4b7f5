// Decimal text of 128-bit integers for test messages and checks; the standard library has none.
#pragma once

#include <string>

namespace tarvo::testing {

inline std::string u128_to_string(unsigned __int128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

inline std::string i128_to_string(__int128 value) {
  if (value >= 0) return u128_to_string(static_cast<unsigned __int128>(value));
  return "-" + u128_to_string(-static_cast<unsigned __int128>(value));
}

}  // namespace tarvo::testing
