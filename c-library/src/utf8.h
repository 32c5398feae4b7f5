// Whether a text is well-formed UTF-8, the texts a Python str can be encoded into: no overlong form, no
// surrogate, nothing above U+10FFFF, no cut-off sequence.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarvo::c_library {

inline bool is_utf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const std::size_t size = text.size();
  std::size_t i = 0;
  while (i < size) {
    const uint8_t lead = bytes[i];
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // The second byte's range depends on the lead byte (RFC 3629's table); later bytes are 80..BF.
    std::size_t length = 0;
    uint8_t low = 0x80;
    uint8_t high = 0xbf;
    if (lead >= 0xc2 && lead <= 0xdf) {
      length = 2;
    } else if (lead >= 0xe0 && lead <= 0xef) {
      length = 3;
      if (lead == 0xe0) low = 0xa0;   // no overlong form
      if (lead == 0xed) high = 0x9f;  // no surrogate
    } else if (lead >= 0xf0 && lead <= 0xf4) {
      length = 4;
      if (lead == 0xf0) low = 0x90;   // no overlong form
      if (lead == 0xf4) high = 0x8f;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (size - i < length || bytes[i + 1] < low || bytes[i + 1] > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      if ((bytes[i + k] & 0xc0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace tarvo::c_library
