#include "crypto/base/bytes.h"

#include <algorithm>

#include "crypto/base/utf8.h"

namespace tarvo {

namespace {

// '0'..'9' for 0..9 and 'a'..'f' for 10..15, without a table: the offset to the letters is added under
// a mask that is all ones exactly when n > 9. The digits can be a private key's: the empty asm hides the
// mask's origin from the optimiser, which clang otherwise turns back into a comparison and a branch.
char hex_digit(uint8_t n) {
  int32_t letter_mask = (9 - int32_t{n}) >> 31;
  asm("" : "+r"(letter_mask));
  return static_cast<char>('0' + n + (letter_mask & ('a' - '0' - 10)));
}

}  // namespace

std::string hex_encode(std::span<const uint8_t> bytes, std::string_view prefix) {
  // Sized once and written in place: a push_back per digit is a call each where the library keeps it
  // out of line (libc++).
  std::string text(prefix.size() + 2 * bytes.size(), '\0');
  char* out = std::copy(prefix.begin(), prefix.end(), text.data());
  for (uint8_t byte : bytes) {
    *out++ = hex_digit(byte >> 4);
    *out++ = hex_digit(byte & 15);
  }
  return text;
}

Error invalid_hex_character(std::string_view text, size_t index, size_t position) {
  // A caller's text is UTF-8 (the bindings see to it); a malformed byte is quoted alone.
  const std::string c(text.substr(index, std::max<size_t>(utf8_char_at(text, index).length, 1)));
  return Error("Invalid character '" + c + "' at position " + std::to_string(position));
}

}  // namespace tarvo
