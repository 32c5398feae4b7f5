#include "crypto/base/utf8.h"

namespace tarvo {

Utf8Char utf8_char_at(std::string_view text, std::size_t i) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const uint8_t lead = bytes[i];
  if (lead < 0x80) return {lead, 1};
  // The lead byte gives the length and its own bits; the second byte's range depends on the lead byte
  // (RFC 3629's table), which shuts out the overlong forms, the surrogates and what lies above U+10FFFF;
  // later bytes are 80..BF.
  constexpr Utf8Char kMalformed = {0, 0};
  std::size_t length = 0;
  uint32_t code_point = 0;
  uint8_t low = 0x80;
  uint8_t high = 0xbf;
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
    code_point = lead & 0x1f;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    code_point = lead & 0x0f;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    code_point = lead & 0x07;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return kMalformed;
  }
  if (text.size() - i < length) return kMalformed;
  for (std::size_t k = 1; k < length; ++k) {
    const uint8_t byte = bytes[i + k];
    if (byte < low || byte > high) return kMalformed;
    code_point = (code_point << 6) | (byte & 0x3f);
    low = 0x80;
    high = 0xbf;
  }
  return {code_point, length};
}

bool is_utf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<uint8_t>(text[i]) < 0x80) {  // the bulk of most texts, passed over in line
      ++i;
      continue;
    }
    const std::size_t length = utf8_char_at(text, i).length;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace tarvo
